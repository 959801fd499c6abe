# SPDX-License-Identifier: MIT
"""A session of its own for each end-to-end scenario: a private folder as its
XDG_RUNTIME_DIR, its own Xvfb display, D-Bus and accessibility buses where
it asks for them, and the real Quillan driven with real X input. Every
program it starts gets its environment from the session, explicitly; the
test's own environment is read, never changed, but for the one variable
pyatspi needs (Session.pyatspi)."""

import ctypes
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from places import Places

AT_SPI_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

CLEAR_PROMPT = "Select cards."
RESULT = re.compile(r"Win Chance: ([\d.]+)%\nLose Chance: ([\d.]+)%\nDraw Chance: ([\d.]+)%")


def run_ended(text):
    """Whether a status text is the result of a whole run: three figures adding up to 100."""
    found = RESULT.fullmatch(text.strip())
    return bool(found) and abs(sum(map(float, found.groups())) - 100) < 0.01


class Failure(Exception):
    pass


def die_with_parent():
    # Runs in each child: should this script be killed outright, its
    # children go too.
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def wait_for(what, check, timeout):
    deadline = time.monotonic() + timeout
    while not (result := check()):
        if time.monotonic() > deadline:
            raise Failure(f"gave up waiting for {what} after {timeout} s")
        time.sleep(0.05)
    return result


def read_line(read_end, failure, log):
    """The first line a child writes to a pipe, within 15 s; its log if it writes none."""
    line = b""
    deadline = time.monotonic() + 15
    while not line.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], max(0, deadline - time.monotonic()))
        chunk = os.read(read_end, 256) if ready else b""
        if not chunk:
            log.seek(0)
            raise Failure(f"{failure}:\n" + log.read())
        line += chunk
    os.close(read_end)
    return line.decode().strip()


# Where a program finds the desktop session it runs in: its displays, its
# D-Bus session and accessibility buses, and what Qt takes from it. Run from a
# desktop, the test reads and replaces none of these.
SESSION_VARIABLES = ("DISPLAY", "XAUTHORITY", "WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "XDG_CURRENT_DESKTOP",
                     "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON",
                     "QT_QPA_PLATFORM", "QT_QPA_PLATFORMTHEME", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                     "QT_FONT_DPI")


def app_environment(workdir, **settings):
    """The environment of a fresh session in workdir, a folder only its user can
    enter, with the given settings."""
    env = {name: value for name, value in os.environ.items() if name not in SESSION_VARIABLES}
    env.update(LC_ALL="C.UTF-8", XDG_RUNTIME_DIR=workdir, **settings)
    env["ASAN_OPTIONS"] = ":".join(filter(None, [os.environ.get("ASAN_OPTIONS"), "detect_leaks=0"]))
    return env


def load_places(program, env):
    """The window's places, as e2e_places prints them."""
    try:
        printed = subprocess.run([program], env=env, capture_output=True, timeout=30, check=False)
    except OSError as error:
        raise Failure(f"cannot run {program}: {error}")
    if printed.returncode != 0:
        raise Failure(f"{program} failed: {printed.stderr.decode()}")
    return Places(json.loads(printed.stdout))


def free_display_number():
    return next(n for n in range(400, 500) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))


def with_plugins(quillan, folder, plugins=()):
    """A copy of Quillan in folder whose Qt finds only the given platform
    plugins, as on a machine that lacks the others' packages."""
    platforms = os.path.join(folder, "plugins", "platforms")
    os.makedirs(platforms)
    for plugin in plugins:
        os.symlink(plugin, os.path.join(platforms, os.path.basename(plugin)))
    os.mkdir(os.path.join(folder, "bin"))
    copy = shutil.copy(quillan, os.path.join(folder, "bin"))
    with open(os.path.join(folder, "bin", "qt.conf"), "w") as conf:
        conf.write(f"[Paths]\nPlugins={os.path.join(folder, 'plugins')}\n")
    return copy


def check_failure(program, env, expected, settings, debugging=False):
    """Quillan ends with status 1 and one line saying expected: its only line,
    or with debugging asked for, its last, after Qt's debugging output."""
    result = subprocess.run([program], env=env, capture_output=True, timeout=30, check=False)
    said = result.stderr.decode()
    lines = said.splitlines()
    shown_before = lines[:-1] if debugging else []
    if (result.returncode != 1 or not lines or lines[:-1] != shown_before
            or not lines[-1].startswith("quillan: ") or expected not in lines[-1]):
        raise Failure(f"with {settings or 'no DISPLAY'} Quillan ended with status {result.returncode} "
                      f"and said {said!r}; expected status 1 and "
                      f"{'last' if debugging else 'one'} line saying {expected!r}")
    return shown_before


class Session:
    """The programs of one scenario, and what it drives them with: quillan,
    the program under test; places, where the window's controls and cards
    are (places.py), as places_program, e2e_places, prints them; options,
    what the scenario was given besides."""

    def __init__(self, workdir, quillan=None, places_program=None, options=None):
        self.workdir = workdir
        self.quillan = quillan
        self.places_program = places_program
        self.places = None
        self.options = options or {}
        self.children = []
        self.app = None
        self.app_log = None
        self.accessibility_bus = None
        self.env = app_environment(workdir)

    # Starting and ending.

    def start(self, args=(), desktop=None, accessible=False, screen="1024x768", monitors=()):
        """Starts a display and Quillan on it, with any arguments, on a plain X
        display unless desktop names the session's variables to set; with
        accessible, on the accessibility bus of this D-Bus session too. The
        display's screen is split into the RandR monitors given as (name,
        geometry), the first on the screen's output."""
        self.display = self.start_xvfb(screen)
        self.env = app_environment(self.workdir, DISPLAY=self.display, QT_QPA_PLATFORM="xcb")
        for number, (name, geometry) in enumerate(monitors):
            self.run("xrandr", "--setmonitor", name, geometry, "none" if number else "screen", check=True)
        if desktop is not None:
            self.env.pop("QT_QPA_PLATFORM")
            self.env.update(desktop)
        if accessible:
            self.env["DBUS_SESSION_BUS_ADDRESS"] = self.start_dbus(self.env)
            self.accessibility_bus = self.start_accessibility_bus(self.env)
            self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.app_log = open(os.path.join(self.workdir, "quillan.log"), "w+")
        self.start_app(args)

    def start_app(self, args=()):
        self.app = self.spawn([self.quillan, *args], env=self.env, stdout=self.app_log, stderr=subprocess.STDOUT)
        self.window = wait_for("Quillan's window", self.main_window, 30)

    def restart_app(self):
        """Ends Quillan and starts it afresh on the same display and buses."""
        self.app.terminate()
        self.app.wait(timeout=5)
        self.start_app()

    def app_output(self):
        self.app_log.seek(0)
        return self.app_log.read()

    def spawn(self, command, **kwargs):
        child = subprocess.Popen(command, preexec_fn=die_with_parent, **kwargs)
        self.children.append(child)
        return child

    def start_dbus(self, env):
        """Starts a D-Bus session bus with env, listening in its XDG_RUNTIME_DIR, and returns its address."""
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.workdir, "dbus.log"), "a+")
        try:
            self.spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile", f"--print-address={write_end}",
                        f"--address=unix:path={env['XDG_RUNTIME_DIR']}/bus"],
                       env=env, pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        except OSError as error:
            raise Failure(f"cannot start dbus-daemon: {error}")
        finally:
            os.close(write_end)
        return read_line(read_end, "dbus-daemon could not start a bus", log)

    def start_accessibility_bus(self, env):
        """Starts the accessibility bus of the D-Bus session in env and returns its address."""
        self.spawn([AT_SPI_BUS_LAUNCHER, "--launch-immediately"], env=env, stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

        def ask(*call):
            return subprocess.run(["dbus-send", f"--bus={env['DBUS_SESSION_BUS_ADDRESS']}", "--print-reply", *call],
                                  env=env, capture_output=True, timeout=10, check=False).stdout.decode()

        # Asked before the launcher holds its name, the session bus would
        # start a launcher of its own.
        wait_for("the accessibility bus launcher", lambda: "boolean true" in ask(
            "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
            "string:org.a11y.Bus"), 15)
        found = re.search(r'string "(.*)"', ask("--dest=org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress"))
        if not found:
            raise Failure("the accessibility bus launcher gave no address")
        return found.group(1)

    def start_xvfb(self, screen="1024x768"):
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.workdir, "xvfb.log"), "w+")
        try:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen + "x24",
                        "-nolisten", "tcp", "-noreset"],
                       env=app_environment(self.workdir), pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=log,
                       stderr=log)
        except OSError as error:
            raise Failure(f"cannot start Xvfb: {error}")
        finally:
            os.close(write_end)
        return ":" + read_line(read_end, "Xvfb could not start a display", log)

    def close(self):
        # Quillan first, then the display, which given the time removes its
        # socket and lock file.
        for child in reversed(self.children):
            if child.poll() is None:
                child.terminate()
            try:
                child.wait(timeout=5)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()

    def pyatspi(self):
        """pyatspi, reading the window over this session's accessibility bus,
        as a screen reader in the same session would."""
        # libatspi finds the accessibility bus in the process's environment
        # alone, when pyatspi first connects: AT_SPI_BUS_ADDRESS, else through
        # the display or the D-Bus session named there. This one variable, set
        # just before, points it to the session's bus, ahead of those of any
        # desktop the test runs in; the programs the test starts each get an
        # environment of their own, without it.
        os.environ["AT_SPI_BUS_ADDRESS"] = self.accessibility_bus
        import pyatspi
        return pyatspi

    # Asking the display.

    def run(self, *command, timeout=10, check=False):
        result = subprocess.run(command, env=self.env, capture_output=True, timeout=timeout, check=False)
        if check and result.returncode != 0:
            raise Failure(f"{' '.join(command)} failed: {result.stderr.decode()}")
        return result

    def xdo(self, *args):
        result = self.run("xdotool", *map(str, args))
        if result.returncode != 0:
            raise Failure(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.decode()}")
        return result.stdout.decode()

    def visible_windows(self, *criteria):
        return [int(found) for found in self.run("xdotool", "search", "--onlyvisible", *criteria).stdout.split()]

    def visible_window(self, *criteria):
        found = self.visible_windows(*criteria)
        return found[0] if found else None

    def app_windows(self):
        """Quillan's windows on the screen: its main window, and any menu or box it shows."""
        return self.visible_windows("--pid", str(self.app.pid))

    def main_window(self):
        if self.app.poll() is not None:
            raise Failure(f"Quillan ended with status {self.app.returncode} before showing its window")
        return self.visible_window("--pid", str(self.app.pid))

    def window_info(self):
        """Title, screen position and size of the main window."""
        info = self.run("xwininfo", "-id", str(self.window)).stdout.decode()
        field = lambda name: int(re.search(rf"{name}:\s+(-?\d+)", info).group(1))
        title = re.search(r'Window id: \S+ "(.*)"', info)
        return (title.group(1) if title else None, field("Absolute upper-left X"),
                field("Absolute upper-left Y"), field("Width"), field("Height"))

    def still_running(self, after=None):
        if self.app.poll() is not None:
            raise Failure(f"Quillan ended with status {self.app.returncode}" + (f" {after}" if after else ""))

    # Driving the window, at its places.

    def move_to(self, point):
        self.xdo("mousemove", "--window", self.window, *point)

    def click(self, point):
        self.xdo("mousemove", "--window", self.window, *point, "click", 1)

    def pick(self, card):
        """Picks a card of the sheet by its code, as a user does."""
        point = self.places.pick(card)
        self.move_to(point)  # hover: the card rises
        self.click(point)
        self.move_to(self.places.bare_table)  # the slot shows it on the next move

    def set_players(self, text):
        self.click(self.places.center("Number of players"))
        self.xdo("key", "ctrl+a", "type", text)

    def copy_text(self, control, done, what, timeout=10):
        """Copies the text of a box, named as in places, with click, ctrl+a,
        ctrl+c until done(text) holds."""
        point = self.places.center(control)
        last = None

        def attempt():
            nonlocal last
            self.click(point)
            self.xdo("key", "ctrl+a", "ctrl+c")
            copied = self.run("xclip", "-o", "-selection", "clipboard", timeout=5)
            last = copied.stdout.decode() if copied.returncode == 0 else None
            return last is not None and done(last)

        try:
            wait_for(what, attempt, timeout)
        except Failure as failure:
            raise Failure(f"{failure}; the box last read {last!r}")
        return last

    def warning_open(self):
        return self.visible_window("--name", "^Warning$")

    def close_warning(self):
        warning = wait_for("a window titled Warning", self.warning_open, 15)
        wait_for("the Warning box to take the keyboard",
                 lambda: self.xdo("getwindowfocus").strip() == str(warning), 5)
        self.xdo("key", "Return")
        wait_for("the Warning box to close", lambda: self.warning_open() is None, 5)

    # Reading the screen.

    def pixels(self, *image):
        """The raw RGB bytes of an image, read by ImageMagick."""
        ppm = self.run("convert", *image, "-depth", "8", "ppm:-").stdout
        if not ppm.startswith(b"P6\n"):
            raise Failure(f"ImageMagick could not read {image}")
        return ppm.split(b"\n", 3)[3]

    def screenshot(self, name="screen.png"):
        """The whole screen as a picture in the session's folder, and the main
        window's client corner on it."""
        picture = os.path.join(self.workdir, name)
        self.run("import", "-silent", "-window", "root", picture)
        _, left, top, _, _ = self.window_info()
        return picture, left, top

    def shown(self, x, y, width=1, height=1, scale=1):
        """The pixels the screen shows of a part of the window, given in client
        pixels at scale, as raw RGB rows."""
        picture, left, top = self.screenshot()
        return self.pixels(picture, "-crop", f"{width}x{height}+{left + x * scale}+{top + y * scale}", "+repage")

    def wait_for_change(self, what, x, y, width, height, before, timeout=5):
        """Waits for a part of the window to show other pixels than before: a repaint seen."""
        return wait_for(what, lambda: self.shown(x, y, width, height) != before, timeout)


def run_scenario(name, play, quillan=None, places=None, options=None, keep=()):
    """Runs play(session) in a session of its own and reports it as the
    scenario name: passed, or failed with what Quillan printed. places is the
    e2e_places program, whose places the session drives the window by. The
    session ends whatever happens, a killed test included; the files named in
    keep, in the session's folder, are kept in the current folder on a
    failure."""
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, lambda *_: sys.exit("interrupted"))
    with tempfile.TemporaryDirectory(prefix="quillan-e2e-") as workdir:
        session = Session(workdir, quillan, places, options)
        try:
            if places:
                session.places = load_places(places, session.env)
            play(session)
        except Failure as failure:
            print(f"FAILED ({name}): {failure}", file=sys.stderr)
            for file in keep:
                if os.path.exists(os.path.join(workdir, file)):
                    os.replace(os.path.join(workdir, file), os.path.abspath(f"e2e_{file}"))
                    print(f"kept as e2e_{file}", file=sys.stderr)
            if session.app_log:
                print("Quillan's output:\n" + session.app_output(), file=sys.stderr)
            sys.exit(1)
        finally:
            session.close()
    print(f"{name}: passed")
