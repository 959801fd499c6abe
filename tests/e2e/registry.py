# SPDX-License-Identifier: MIT
"""The end-to-end scenarios, each registered once, by @scenario, in a module of
scenarios/, with what its test needs: CTest's tests are made from this list
(e2e_test.py --list), and e2e_test.py runs each of them."""

import importlib
import os
import pkgutil
from dataclasses import dataclass, field

SCENARIOS = {}


@dataclass
class Scenario:
    name: str
    play: object  # play(session)
    start: dict = None
    python: str = "any"
    needs: tuple = ()
    variants: dict = field(default_factory=dict)
    timeout: int = 120
    serial: bool = False
    keep: tuple = ()
    listed: bool = True


def scenario(start=None, python="any", needs=(), variants=None, timeout=120, serial=False, keep=(), listed=True):
    """Registers play(session) as the scenario of its name.

    start: the settings of Session.start for the session to start Quillan
      with before play, {} for the defaults; None where play starts what it
      needs itself.
    python: "system" for Debian's own /usr/bin/python3, where pyatspi and
      Orca live; "any" for the Python CMake finds.
    needs: what the test needs beyond the X tools, each a list of tools that
      tests/e2e/CMakeLists.txt looks for: "wayland", "orca".
    variants: the tests the scenario runs as, by name, each with the
      variables of the environment it sets (None to unset one); by default
      one test of the scenario's own name, in CTest's environment.
    timeout, serial: CTest's TIMEOUT and RUN_SERIAL.
    keep: files of the session's folder kept on a failure.
    listed: False for a scenario that is no test (scripts/screenshot's).

    Each test is named e2e_<name> in CTest."""

    def register(play):
        name = play.__name__
        if name in SCENARIOS:
            raise ValueError(f"two scenarios named {name}")
        SCENARIOS[name] = Scenario(name, play, start, python, tuple(needs), variants or {name: {}}, timeout,
                                   serial, tuple(keep), listed)
        return play
    return register


def load():
    """Every scenario of the modules in scenarios/."""
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "scenarios")
    for module in pkgutil.iter_modules([folder]):
        importlib.import_module(f"scenarios.{module.name}")
    return SCENARIOS


def environment_modification(variables):
    """CTest's ENVIRONMENT_MODIFICATION for the variables a test sets."""
    return [f"{name}=unset:" if value is None else f"{name}=set:{value}" for name, value in variables.items()]


def tests():
    """The tests CTest runs, in the order the scenarios are found, for
    tests/e2e/CMakeLists.txt: each one's needs and environment as a CMake
    list."""
    return [{"test": f"e2e_{test}", "scenario": found.name, "python": found.python, "needs": ";".join(found.needs),
             "environment": ";".join(environment_modification(variables)), "timeout": found.timeout,
             "serial": found.serial}
            for found in load().values() if found.listed for test, variables in found.variants.items()]
