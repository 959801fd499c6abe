#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Drives the real Quillan program on private displays with real input, as a
user, a screen reader or a Wayland desktop would, and checks what the
screen, the clipboard and assistive technology show.

    e2e_test.py <quillan> <e2e_places> <scenario> [--xcb-plugin <libqxcb.so>]
    e2e_test.py <quillan> <picture.png> screenshot
    e2e_test.py --list

Each scenario starts its own session, display, buses and Quillan, and leaves
none of them behind, whatever happens. The window's places come from
e2e_places, which prints them from the program's own constants; screenshot,
which writes the README's picture, runs the e2e_places of quillan's build.
--list prints the tests CTest makes of the scenarios, as JSON.

A scenario is a function play(session) in a module of scenarios/, registered
by @scenario (registry.py), which says how the session starts and what its
test needs; that is all there is to add one, CTest's test e2e_<name> included
once CMake runs again.
"""

import argparse
import json
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import registry  # noqa: E402
from session import run_scenario  # noqa: E402


def places_of_build(quillan):
    """The e2e_places of the build quillan comes from, built if it is not there yet."""
    build = os.path.dirname(os.path.abspath(quillan))
    program = os.path.join(build, "tests", "e2e", "e2e_places")
    if not os.path.exists(program):
        subprocess.run(["cmake", "--build", build, "--target", "e2e_places"], env=dict(os.environ), check=True,
                       stdout=subprocess.DEVNULL)
    return program


def main():
    scenarios = registry.load()
    if sys.argv[1:] == ["--list"]:
        print(json.dumps(registry.tests(), indent=1))
        return
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("quillan")
    parser.add_argument("places", metavar="e2e_places")
    parser.add_argument("scenario", choices=scenarios)
    parser.add_argument("--xcb-plugin", help="Qt's X platform plugin, for the Wayland scenarios")
    args = parser.parse_args()
    options = {"xcb_plugin": args.xcb_plugin}
    if args.scenario == "screenshot":
        options["output"], args.places = args.places, places_of_build(args.quillan)
    found = scenarios[args.scenario]

    def play(session):
        if found.start is not None:
            session.start(**found.start)
        found.play(session)
    run_scenario(found.name, play, args.quillan, args.places, options, keep=found.keep)


if __name__ == "__main__":
    main()
