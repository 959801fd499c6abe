#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Drives the real Quillan program on a private Xvfb display with real X input,
as a user would, and checks what the screen and the clipboard show.

    e2e_test.py <quillan> <e2e_places> <scenario>
    e2e_test.py <quillan> <picture.png> screenshot

Each scenario starts its own display and its own Quillan, and leaves neither
behind, whatever happens.
"""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
from x11_close import click_then_close

AT_SPI_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# Places in the window's client area.
PLAY_HANDS = (208, 36)
CLEAR_CARDS = (280, 36)
PLAYER_BOX = (292, 64)
STATUS_BOX = (244, 104)
OFF_SHEET = (300, 200)  # bare table: hovers no card
HOLE_SLOTS = {"AS": (30, 55), "KD": (86, 55)}


def sheet_corner(column, row):
    """The middle of the visible top-left strip of a card in the fanned sheet."""
    return (33 + 18 * (column - 1) + 9, 280 + 40 * (row - 1) + 20)


ACE_OF_SPADES = sheet_corner(13, 1)
KING_OF_DIAMONDS = sheet_corner(12, 4)

RESULT = re.compile(r"Win Chance: ([\d.]+)%\nLose Chance: ([\d.]+)%\nDraw Chance: ([\d.]+)%")


def run_ended(text):
    """Whether a status text is the result of a whole run: three figures adding up to 100."""
    found = RESULT.fullmatch(text.strip())
    return bool(found) and abs(sum(map(float, found.groups())) - 100) < 0.01
CLEAR_PROMPT = "Select cards."


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


class Session:
    def __init__(self, workdir):
        self.workdir = workdir
        self.children = []
        self.app_log = None

    def start(self, quillan, args=(), desktop=None, accessible=False, screen="1024x768", monitors=()):
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
            self.spawn([AT_SPI_BUS_LAUNCHER, "--launch-immediately"], env=self.env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
            # This script reads the window as a screen reader in the same
            # session would: over its buses, which pyatspi finds from here.
            os.environ.clear()
            os.environ.update(self.env)
        self.app_log = open(os.path.join(self.workdir, "quillan.log"), "w+")
        self.quillan = quillan
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

    def start_xvfb(self, screen="1024x768"):
        read_end, write_end = os.pipe()
        log = open(os.path.join(self.workdir, "xvfb.log"), "w+")
        try:
            self.spawn(["Xvfb", "-displayfd", str(write_end), "-screen", "0", screen + "x24",
                        "-nolisten", "tcp", "-noreset"],
                       pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=log, stderr=log)
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

    def visible_window(self, *criteria):
        found = self.run("xdotool", "search", "--onlyvisible", *criteria).stdout.split()
        return int(found[0]) if found else None

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

    def click(self, point):
        self.xdo("mousemove", "--window", self.window, *point, "click", 1)

    def pick(self, card):
        self.xdo("mousemove", "--window", self.window, *card)  # hover: the card rises
        self.click(card)
        self.xdo("mousemove", "--window", self.window, *OFF_SHEET)  # the slot shows it on the next move

    def set_players(self, text):
        self.click(PLAYER_BOX)
        self.xdo("key", "ctrl+a", "type", text)

    def copy_text(self, point, done, what, timeout=10):
        """Copies a box's text with click, ctrl+a, ctrl+c until done(text) holds."""
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

    def close_warning(self):
        warning = wait_for("a window titled Warning", lambda: self.visible_window("--name", "^Warning$"), 15)
        wait_for("the Warning box to take the keyboard",
                 lambda: self.xdo("getwindowfocus").strip() == str(warning), 5)
        self.xdo("key", "Return")
        wait_for("the Warning box to close", lambda: self.visible_window("--name", "^Warning$") is None, 5)

    def pixels(self, *image):
        """The raw RGB bytes of an image, read by ImageMagick."""
        ppm = self.run("convert", *image, "-depth", "8", "ppm:-").stdout
        if not ppm.startswith(b"P6\n"):
            raise Failure(f"ImageMagick could not read {image}")
        return ppm.split(b"\n", 3)[3]


# Qt's own command-line options and a Wayland session beside the X display:
# Quillan takes no command line, and prefers X, where it can stay on top.
IGNORED_ARGUMENTS = ["-qwindowtitle", "Foo", "-qwindowgeometry", "200x150", "-reverse", "-platform", "offscreen"]
WAYLAND_DESKTOP = {"WAYLAND_DISPLAY": "wayland-quillan-e2e", "XDG_SESSION_TYPE": "wayland",
                   "XDG_CURRENT_DESKTOP": "KDE"}


def window(session, _):
    output = session.app_output()
    if output.strip():
        raise Failure("Quillan printed on a normal start:\n" + output)
    title, _, _, width, height = session.window_info()
    if title != "Quillan":
        raise Failure(f"the window is titled {title!r}, not 'Quillan'")
    if (width, height) != (331, 500):
        raise Failure(f"client area is {width}x{height}, not 331x500")
    state = session.run("xprop", "-id", str(session.window), "_NET_WM_STATE").stdout.decode()
    if "_NET_WM_STATE_ABOVE" not in state:
        raise Failure("the window does not ask to stay on top: " + state)


def play(session, sprite_cells):
    session.pick(ACE_OF_SPADES)
    session.pick(KING_OF_DIAMONDS)
    session.set_players("4")
    session.click(PLAY_HANDS)

    session.copy_text(STATUS_BOX, run_ended, "three result lines adding up to 100", timeout=30)
    if sprite_cells is None:
        return

    made = session.run(sprite_cells, "cells", session.workdir, *HOLE_SLOTS)
    if made.returncode != 0:
        raise Failure("e2e_places cells failed: " + made.stderr.decode())
    screenshot = os.path.join(session.workdir, "screen.png")
    session.run("import", "-silent", "-window", "root", screenshot)
    _, left, top, _, _ = session.window_info()
    for card, (x, y) in HOLE_SLOTS.items():
        expected = session.pixels(os.path.join(session.workdir, card + ".png"))
        shown = session.pixels(screenshot, "-crop", f"52x70+{left + x}+{top + y}", "+repage")
        if shown != expected:
            wrong = sum(shown[i:i + 3] != expected[i:i + 3] for i in range(0, len(expected), 3))
            os.replace(screenshot, os.path.abspath("e2e_play_failure.png"))
            raise Failure(f"the slot at {(x, y)} differs from the sheet's {card} in {wrong} of 3640 "
                          "pixels; screenshot kept as e2e_play_failure.png")


def screenshot(session, output):
    """The README's picture: ace-king against three players after a run, with
    the pointer raising the six of hearts."""
    play(session, None)
    session.xdo("key", "ctrl+End")  # lets go of the text the run's check selected
    session.xdo("mousemove", "--window", session.window, *sheet_corner(5, 2))
    time.sleep(0.3)
    session.run("import", "-silent", "-window", str(session.window), output)
    print(f"wrote {output}")


def warnings(session, _):
    session.click(CLEAR_CARDS)
    session.click(PLAY_HANDS)
    session.close_warning()
    session.copy_text(STATUS_BOX, lambda text: text.startswith(CLEAR_PROMPT), "the prompt in the status box")

    # With both hole cards in place, a refused count must still start no run.
    session.pick(ACE_OF_SPADES)
    session.pick(KING_OF_DIAMONDS)
    session.set_players("11")
    session.click(PLAY_HANDS)
    session.close_warning()
    session.copy_text(PLAYER_BOX, lambda text: text == "2", 'the player box to read "2"')
    session.copy_text(STATUS_BOX, lambda text: text.startswith(CLEAR_PROMPT),
                      "the status box to keep its prompt (no run)")


def close_during_run(session, _):
    session.pick(ACE_OF_SPADES)
    session.pick(KING_OF_DIAMONDS)
    session.set_players("10")
    _, left, top, _, _ = session.window_info()
    click_then_close(session.display, session.window, left + PLAY_HANDS[0], top + PLAY_HANDS[1])
    try:
        status = session.app.wait(timeout=1)
    except subprocess.TimeoutExpired:
        raise Failure("Quillan still runs a second after its window was closed")
    if status != 0:
        raise Failure(f"Quillan ended with status {status} after its window was closed")


def paste_and_pointer(session, _):
    # Nobody owns the selection or the clipboard on the fresh display: pasting
    # them must insert nothing and keep Quillan alive.
    session.click(STATUS_BOX)
    session.xdo("type", "kept")
    for box in (STATUS_BOX, PLAYER_BOX):
        session.xdo("mousemove", "--window", session.window, *box, "click", 2)
        session.click(box)
        session.xdo("key", "ctrl+v", "shift+Insert")
    session.copy_text(STATUS_BOX, lambda text: text == "kept", "the status box to keep its text")

    # Paste from the context menu after the clipboard's owner has quit while
    # the menu was open, as a password manager clearing it on a timer does.
    owner = session.spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=session.env,
                          stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    owner.stdin.write(b"gone")
    owner.stdin.close()
    wait_for("xclip to own the clipboard",
             lambda: session.run("xclip", "-o", "-selection", "clipboard").stdout == b"gone", 5)
    session.xdo("mousemove", "--window", session.window, *STATUS_BOX, "click", 3)
    app_windows = lambda: session.run("xdotool", "search", "--onlyvisible", "--pid", str(session.app.pid)).stdout.split()
    wait_for("the context menu", lambda: len(app_windows()) > 1, 5)
    owner.terminate()
    owner.wait(timeout=5)
    session.xdo("key", "p")  # the menu's Paste
    time.sleep(0.3)
    if session.app.poll() is not None:
        raise Failure(f"Quillan ended with status {session.app.returncode} on a paste from the context menu")
    session.copy_text(STATUS_BOX, lambda text: text == "kept", "the status box to keep its text after the menu's paste")

    # From a button onto the sheet in one jump: the first move must raise the
    # card under the pointer, the four of spades.
    four_of_spades = sheet_corner(3, 1)
    above_sheet = (four_of_spades[0], 280 - 26 + 2)  # inside the raised card, green at rest
    session.xdo("mousemove", "--window", session.window, *PLAY_HANDS)
    time.sleep(0.2)
    session.xdo("mousemove", "--window", session.window, *four_of_spades)

    def raised():
        screenshot = os.path.join(session.workdir, "screen.png")
        session.run("import", "-silent", "-window", "root", screenshot)
        _, left, top, _, _ = session.window_info()
        pixel = session.pixels(screenshot, "-crop", f"1x1+{left + above_sheet[0]}+{top + above_sheet[1]}")
        return pixel != bytes([0, 128, 0])

    wait_for("the four of spades to rise", raised, 5)
    # The screen shows only what changed anew: the four must come down when
    # the pointer moves on to the five.
    session.xdo("mousemove", "--window", session.window, *sheet_corner(4, 1))
    wait_for("the four of spades to come down", lambda: not raised(), 5)
    if session.app.poll() is not None:
        raise Failure(f"Quillan ended with status {session.app.returncode}")


# Two monitors side by side on one X screen, the right one at twice the
# scale, as KDE Plasma on X11 sets it.
TWO_MONITORS = {"screen": "2048x1024", "monitors": (("left", "1024/270x1024/270+0+0"),
                                                    ("right", "1024/270x1024/270+1024+0")),
                "desktop": {"QT_SCREEN_SCALE_FACTORS": "left=1;right=2"}}
# Places of the table, the card pictures and the controls, in client pixels,
# that show the same colours at twice the scale.
SCALED_PLACES = {"table": (320, 260), "community card 5": (300, 200), "ace of spades": ACE_OF_SPADES,
                 "ace of diamonds": (290, 460), "status box": (300, 124), "player box": (302, 70),
                 "Play Hands": (180, 28), "Clear Cards": (309, 45)}


def two_monitors(session, _):
    """Moved onto the monitor at twice the scale and back, the window keeps its
    size in the user's terms, and a size the user gave it: twice the pixels
    there, each place showing what it shows on the other monitor."""

    def shown():
        screenshot = os.path.join(session.workdir, "screen.png")
        session.run("import", "-silent", "-window", "root", screenshot)
        _, left, top, _, _ = session.window_info()
        scale = 2 if left >= 1024 else 1  # the right monitor's
        return {name: session.pixels(screenshot, "-crop", f"1x1+{left + x * scale}+{top + y * scale}")
                for name, (x, y) in SCALED_PLACES.items()}

    on_left = shown()
    right, left = ("windowmove", session.window, 1100, 0), ("windowmove", session.window, 100, 100)
    steps = [(right, (662, 1000)), (left, (331, 500)),
             (("windowsize", session.window, 350, 520), (350, 520)), (right, (700, 1040)), (left, (350, 520))]
    for command, size in steps:
        session.xdo(*command)
        try:
            wait_for(f"the window to be {size[0]}x{size[1]}", lambda: session.window_info()[3:] == size, 5)
        except Failure as failure:
            width, height = session.window_info()[3:]
            raise Failure(f"after xdotool {' '.join(map(str, command))}, {failure}: it is {width}x{height}")
        if (now := shown()) != on_left:
            wrong = [name for name in on_left if now[name] != on_left[name]]
            raise Failure(f"after xdotool {' '.join(map(str, command))}, {', '.join(wrong)} show other "
                          "colours than on the left monitor")


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


def no_display(quillan, session):
    """A display that cannot be opened is named as such; a platform that
    cannot start, on a display that works, by the platform and Qt's reason,
    and a plugin that is not there by the package that brings it. Debugging
    output the user asks for comes before the reason, which stays the last
    line."""
    working = session.start_xvfb()
    absent = ":" + str(free_display_number())
    no_plugins = with_plugins(quillan, os.path.join(session.workdir, "no-plugins"))
    cases = [({}, "cannot open a display (DISPLAY is not set)"),
             ({"DISPLAY": absent}, f"cannot open a display (DISPLAY is {absent})"),
             ({"DISPLAY": working, "QT_QPA_PLATFORM": "nosuchplatform"},
              'platform "nosuchplatform": Could not find the Qt platform plugin "nosuchplatform"'),
             ({"DISPLAY": working, "QT_QPA_PLATFORM": "wayland"},
              'platform "wayland": Could not find the Qt platform plugin "wayland"', no_plugins),
             ({"DISPLAY": working, "QT_QPA_PLATFORM": "wayland"}, "install the Debian package qt6-wayland",
              no_plugins),
             ({"DISPLAY": working, "QT_QPA_PLATFORM": "xcb"}, "install the Debian package libqt6gui6", no_plugins)]
    for settings, expected, *program in cases:
        check_failure(*program or [quillan], app_environment(session.workdir, **settings), expected, settings)
    for debugging, value, search in (("QT_LOGGING_RULES", "qt.qpa.*=true", 'Attempting to load Qt platform plugin "xcb"'),
                                     ("QT_DEBUG_PLUGINS", "1", "/platforms")):
        settings = {"DISPLAY": absent, debugging: value}
        shown = check_failure(quillan, app_environment(session.workdir, **settings),
                              f"cannot open a display (DISPLAY is {absent})", settings, debugging=True)
        if not any(search in line for line in shown):
            raise Failure(f"with {settings} Quillan showed none of Qt's search for its platform plugin: {shown}")


def accessibility(session, _):
    """Reads and plays the window as a screen reader or a voice-control tool
    does, over AT-SPI: what the tree shows, what it announces, a whole hand
    played through actions alone, warnings that hold for actions too, and that
    no way in lets a count past the check."""
    import pyatspi
    from gi.repository import GLib

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == session.app.pid:
                return app

    def frame_of_app():
        app = wait_for("Quillan on the accessibility bus", application, 15)
        return next(app.getChildAtIndex(i) for i in range(app.childCount)
                    if app.getChildAtIndex(i).name == "Quillan")

    def children(node):
        return [node.getChildAtIndex(i) for i in range(node.childCount)]

    frame = frame_of_app()
    # What the window says unasked comes through notifications that never
    # show on the screen; the rest are the window's controls and its table.
    notifications = [child for child in children(frame) if child.getRoleName() == "notification"]
    if len(notifications) != 3 or any(n.getState().contains(pyatspi.STATE_SHOWING) for n in notifications):
        raise Failure(f"the window has {len(notifications)} notifications, some showing; expected 3 unseen")
    controls = {child.name: child for child in children(frame) if child not in notifications}
    expected = {"Play Hands": "push button", "Clear Cards": "push button", "Number of players": "text",
                "Status": "text", "Hole Cards:": "label", "Community Cards:": "label",
                "Number of players:": "label", "Card table": "panel"}
    roles = {name: control.getRoleName() for name, control in controls.items()}
    if roles != expected:
        raise Failure(f"the window's children are {roles}, expected {expected}")

    def nameless_leaves(node, path):
        if node.childCount == 0:
            showing = node.getState().contains(pyatspi.STATE_SHOWING)
            return [path] if showing and not node.name else []
        return [leaf for child in children(node)
                for leaf in nameless_leaves(child, f"{path}/{child.getRoleName()}")]
    if leaves := nameless_leaves(frame, "frame"):
        raise Failure(f"nameless elements a screen reader would stop at: {leaves}")

    # The table: its places, then the sheet in rows by suit, two to ace.
    table = controls["Card table"]
    groups = {group.name: group for group in children(table)}
    if list(groups) != ["Card places", "Card sheet"]:
        raise Failure(f"the card table holds {list(groups)}, expected the places, then the sheet")
    place_names = ["Hole card 1", "Hole card 2"] + [f"Community card {n}" for n in range(1, 6)]
    ranks = "two three four five six seven eight nine ten jack queen king ace".split()
    card_names = [f"{rank} of {suit}" for suit in ("spades", "hearts", "clubs", "diamonds") for rank in ranks]
    places = children(groups["Card places"])
    cards = {card.name: card for card in children(groups["Card sheet"])}
    seen = ([(p.name, p.getRoleName()) for p in places], [(c.name, c.getRoleName()) for c in cards.values()])
    wanted = ([(f"{name}: empty", "radio button") for name in place_names],
              [(name, "push button") for name in card_names])
    if seen != wanted:
        raise Failure(f"the places and cards read {seen}, expected {wanted}")

    events = []
    pyatspi.Registry.registerEventListener(
        lambda event: events.append((event.type, event.source.name if event.source else None, event.any_data)),
        "object")
    context = GLib.MainContext.default()

    def pump():
        while context.pending():
            context.iteration(False)

    def settled(what, check, timeout=15):
        def pumped():
            pump()
            return check()
        return wait_for(what, pumped, timeout)

    def quiet():
        """Lets the events of what was just done arrive."""
        time.sleep(0.3)
        pump()

    status, count = controls["Status"], controls["Number of players"]
    text_of = lambda control: control.queryText().getText(0, -1)
    act = lambda node: node.queryAction().doAction(0)  # "Press"
    press = lambda name: act(controls[name])
    checked = lambda node: node.getState().contains(pyatspi.STATE_CHECKED)
    warnings_open = lambda: len(session.run("xdotool", "search", "--onlyvisible", "--name", "^Warning$").stdout.split())

    # A whole hand through actions alone, no pointer: the hole cards, then
    # community card 2 chosen, leaving a gap, and two board cards there. Each
    # step tells a screen reader what changed, in a handful of events: the
    # place's new name, the card's state and description, the glow's move.
    def picked(card, place, next_place):
        said = f"{card.capitalize()} in {place.lower()}. Next card: {next_place.lower()}."
        return [("name", f"{place}: {card}"), ("checked", f"{place}: {card}"), ("checked", f"{next_place}: empty"),
                ("checked", card), ("description", card), ("description", "Card table"), ("showing", said)]
    hand = [(cards["ace of spades"], picked("ace of spades", "Hole card 1", "Hole card 2")),
            (cards["king of diamonds"], picked("king of diamonds", "Hole card 2", "Community card 1")),
            (places[3], [("checked", "Community card 1: empty"), ("checked", "Community card 2: empty"),
                         ("description", "Card table"), ("showing", "Next card: community card 2.")]),
            (cards["queen of hearts"], picked("queen of hearts", "Community card 2", "Community card 3")),
            (cards["jack of clubs"], picked("jack of clubs", "Community card 3", "Community card 4"))]
    kinds = {"object:property-change:accessible-name": "name", "object:state-changed:checked": "checked",
             "object:property-change:accessible-description": "description", "object:state-changed:showing": "showing"}
    for node, expected in hand:
        events.clear()
        act(node)
        settled(f"pressing {node.name} to reach the table's description",
                lambda: ("object:property-change:accessible-description", "Card table") in
                [(kind, name) for kind, name, _ in events])
        quiet()
        heard = sorted((kinds.get(kind, kind), name) for kind, name, _ in events if name != "Quillan")
        if heard != sorted(expected):
            raise Failure(f"pressing {node.name} told a screen reader {heard}, expected {sorted(expected)}")
    if not (checked(cards["ace of spades"]) and cards["ace of spades"].description == "In hole card 1."
            and checked(places[5]) and not checked(places[0])):
        raise Failure("the ace of spades and the active place do not say where they are")
    described = ("Hole cards: ace of spades, king of diamonds. Community cards: empty, queen of hearts, "
                 "jack of clubs. Next card: community card 4.")
    settled("the card table to name the cards pressed", lambda: table.description == described)
    count.queryEditableText().setTextContents("4")
    events.clear()
    press("Play Hands")
    settled("the run to end", lambda: run_ended(text_of(status)), 30)
    quiet()
    from_status = [(kind, data) for kind, name, data in events if name == "Status" and kind.startswith("object:text")]
    if len(from_status) > 4 or not any(kind == "object:text-changed:insert" and "Win Chance" in str(data)
                                        for kind, data in from_status):
        raise Failure(f"a run sent {len(from_status)} text events from the status box, "
                      f"expected the final figures once: {from_status[:6]}")
    played_by_actions = text_of(status)

    # Warnings hold for actions: with the count's warning open, Play Hands
    # pressed, a card pressed and the count set change nothing and open no
    # second warning; the warning's own button closes it.
    count.queryEditableText().setTextContents("50")
    press("Play Hands")
    wait_for("the count's warning", warnings_open, 15)
    for _ in range(5):
        press("Play Hands")
    act(cards["two of clubs"])
    count.queryEditableText().setTextContents("7")
    quiet()
    if warnings_open() != 1 or table.description != described or text_of(status) != played_by_actions:
        raise Failure(f"under the open warning ({warnings_open()} open) actions played, picked or warned: "
                      f"{table.description!r}, {text_of(status)!r}")
    app = application()
    warning = next(child for child in children(app) if child.name == "Warning")
    buttons = lambda node: [node] if node.getRoleName() == "push button" else [
        button for child in children(node) for button in buttons(child)]
    act(buttons(warning)[0])
    settled("the warning's button to close it", lambda: warnings_open() == 0)
    settled('the count box to read "2"', lambda: text_of(count) == "2")
    act(cards["two of clubs"])
    settled("a pick to land once the warning is closed", lambda: "two of clubs" in table.description)

    # Clear Cards: a screen reader is told of the emptied table.
    quiet()
    events.clear()
    press("Clear Cards")
    emptied = "Hole cards: none. Community cards: none. Next card: hole card 1."
    settled("the emptied table to be announced", lambda: table.description == emptied and any(
        kind.endswith("accessible-description") and name == "Card table" for kind, name, _ in events))

    # The hole-card warning: five more presses open no second one.
    press("Play Hands")
    wait_for("the hole-card warning", warnings_open, 15)
    for _ in range(5):
        press("Play Hands")
    quiet()
    if warnings_open() != 1:
        raise Failure(f"five presses under the hole-card warning left {warnings_open()} warnings open")
    session.close_warning()

    # A count set over AT-SPI, then Play Hands pressed there.
    result = text_of(status)
    count.queryEditableText().setTextContents("50")
    press("Play Hands")
    session.close_warning()
    settled('the count box to read "2"', lambda: text_of(count) == "2")
    if text_of(status) != result:
        raise Failure("a run read a count of 50 set by assistive technology")

    # A count typed into the focused box, then Clear Cards pressed over AT-SPI:
    # its handler moves the focus to the status box.
    session.set_players("50")
    press("Clear Cards")
    session.close_warning()
    settled('the count box to read "2" after Clear Cards', lambda: text_of(count) == "2")

    # The same hand with the mouse in a fresh process, each card clicked at
    # the middle of the extents AT-SPI gives for it: the first run after a
    # start plays the same deals, so the figures must be the same.
    session.restart_app()
    frame = frame_of_app()
    controls = {child.name: child for child in children(frame)}
    groups = {group.name: group for group in children(controls["Card table"])}
    places = children(groups["Card places"])
    cards = {card.name: card for card in children(groups["Card sheet"])}

    def click_middle(node):
        box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        session.xdo("mousemove", box.x + box.width // 2, box.y + box.height // 2)
        session.xdo("click", 1)
        session.xdo("mousemove", "--window", session.window, *OFF_SHEET)

    for node, place in ((cards["ace of spades"], 0), (cards["king of diamonds"], 1), (places[3], None),
                        (cards["queen of hearts"], 3), (cards["jack of clubs"], 4)):
        click_middle(node)
        if place is not None:
            settled(f"a click in the middle of the {node.name} to pick it",
                    lambda: places[place].name.endswith(node.name))
    session.set_players("4")
    session.click(PLAY_HANDS)
    status = controls["Status"]
    settled("the mouse's run to end", lambda: run_ended(text_of(status)), 30)
    if text_of(status) != played_by_actions:
        raise Failure(f"the hand played through actions gave {played_by_actions!r}, "
                      f"with the mouse {text_of(status)!r}")


def hostile_client(session, _):
    """An accessibility client that sends the two boxes every text and
    editable-text call with offsets and lengths at 0, at the text's end, past
    it and at the ends of the integers, then edits and presses under a
    warning: every call answers at once, nothing grows, nothing under the
    warning acts, and Quillan says nothing."""
    import pyatspi

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == session.app.pid:
                return app
    app = wait_for("Quillan on the accessibility bus", application, 15)
    frame = app.getChildAtIndex(0)
    controls = {frame.getChildAtIndex(i).name: frame.getChildAtIndex(i) for i in range(frame.childCount)}
    status, count = controls["Status"], controls["Number of players"]
    text_of = lambda box: box.queryText().getText(0, -1)

    def resident_mb():
        with open(f"/proc/{session.app.pid}/status") as info:
            return int(re.search(r"VmRSS:\s+(\d+)", info.read()).group(1)) // 1024

    def call(what, function, *arguments):
        # A call that Qt once answered by looping for ever, or by inserting a
        # billion characters, must answer within the client's own time-out.
        try:
            return function(*arguments)
        except Exception as error:
            if session.app.poll() is not None:
                raise Failure(f"Quillan ended with status {session.app.returncode} on {what}{arguments}")
            raise Failure(f"{what}{arguments} got no answer: {error}")

    big, small = 2**31 - 1, -2**31
    for name, box in (("status box", status), ("count box", count)):
        text, editable = box.queryText(), box.queryEditableText()
        length = text.characterCount
        offsets = (0, length, length + 1, big, small, -1)
        for offset in offsets:
            for kind in range(7):
                call(f"{name} getTextAtOffset", text.getTextAtOffset, offset, kind)
                call(f"{name} getTextBeforeOffset", text.getTextBeforeOffset, offset, kind)
                call(f"{name} getTextAfterOffset", text.getTextAfterOffset, offset, kind)
            call(f"{name} getCharacterAtOffset", text.getCharacterAtOffset, offset)
            call(f"{name} getCharacterExtents", text.getCharacterExtents, offset, pyatspi.DESKTOP_COORDS)
            call(f"{name} getAttributeRun", text.getAttributeRun, offset, True)
            call(f"{name} setCaretOffset", text.setCaretOffset, offset)
            for end in offsets:
                call(f"{name} getText", text.getText, offset, end)
                call(f"{name} getRangeExtents", text.getRangeExtents, offset, end, pyatspi.DESKTOP_COORDS)
                call(f"{name} addSelection", text.addSelection, offset, end)
                call(f"{name} setSelection", text.setSelection, 0, offset, end)
                call(f"{name} removeSelection", text.removeSelection, 0)
                call(f"{name} copyText", editable.copyText, offset, end)
            for sent in (0, 2, length, big, small, 2**24):
                call(f"{name} insertText", editable.insertText, offset, "ab", sent)
            call(f"{name} deleteText", editable.deleteText, offset, big)
            call(f"{name} cutText", editable.cutText, small, offset)
            call(f"{name} pasteText", editable.pasteText, offset)
        if len(text_of(box)) > 10000:
            raise Failure(f"the {name} grew to {len(text_of(box))} characters")
    if resident_mb() > 400:
        raise Failure(f"Quillan grew to {resident_mb()} MB")

    # The program's own next write, which once crashed on a box that took a
    # length of 2^31: Clear Cards by the mouse, with a count that passes.
    call("count setTextContents", count.queryEditableText().setTextContents, "2")
    call("status insertText", status.queryEditableText().insertText, 0, "ab", big)
    session.click(CLEAR_CARDS)
    wait_for("the prompt after Clear Cards", lambda: call("getText", text_of, status).startswith(CLEAR_PROMPT), 10)
    call("status setTextContents", status.queryEditableText().setTextContents, "kept")

    # Under the count's warning, the status box takes no edit, gives no text
    # to the clipboard, and a press of either button acts neither under the
    # warning nor once it has closed, however soon.
    count.queryEditableText().setTextContents("50")
    controls["Play Hands"].queryAction().doAction(0)
    warning = wait_for("the count's warning", lambda: next(
        (child for child in map(app.getChildAtIndex, range(app.childCount)) if child.name == "Warning"), None), 15)
    status_edits = status.queryEditableText()
    refused = [call("status setTextContents", status_edits.setTextContents, "changed"),
               call("status insertText", status_edits.insertText, 0, "x", 1),
               call("status cutText", status_edits.cutText, 0, 4),
               call("status deleteText", status_edits.deleteText, 0, 4),
               call("Play Hands doAction", controls["Play Hands"].queryAction().doAction, 0),
               call("Clear Cards doAction", controls["Clear Cards"].queryAction().doAction, 0)]

    def buttons(node):
        if node.getRoleName() == "push button":
            return [node]
        return [b for i in range(node.childCount) for b in buttons(node.getChildAtIndex(i))]
    # Questions still get their answers under the warning.
    call("status getSelection", status.queryText().getSelection, 0)
    call("status copyText", status_edits.copyText, 0, 1)
    buttons(warning)[0].queryAction().doAction(0)
    time.sleep(0.5)
    if any(refused):
        raise Failure(f"under a warning these were done: {refused}")
    if text_of(status) != "kept":
        raise Failure(f"under a warning the status box became {text_of(status)!r}")
    clipboard = session.run("xclip", "-o", "-selection", "clipboard").stdout
    if b"kept" in clipboard:
        raise Failure(f"under a warning the status box's text reached the clipboard: {clipboard!r}")
    output = session.app_output()
    if output.strip():
        raise Failure("Quillan printed under a hostile client:\n" + output)


def accessibility_in_desktop(session, quillan, sprite_cells):
    """The accessibility scenario run from inside a desktop session whose
    screen reader's bus is up: afterwards the desktop's accessibility bus is
    the one it had, on the same socket, still answering, and its display
    still points to it."""
    runtime = os.path.join(session.workdir, "desktop-runtime")
    os.mkdir(runtime, 0o700)
    desktop = app_environment(runtime, DISPLAY=session.start_xvfb())
    desktop["DBUS_SESSION_BUS_ADDRESS"] = session.start_dbus(desktop)
    session.spawn([AT_SPI_BUS_LAUNCHER, "--launch-immediately"], env=desktop, stdin=subprocess.DEVNULL,
                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    socket = os.path.join(runtime, "at-spi", "bus_" + desktop["DISPLAY"].lstrip(":"))

    run = lambda *command: subprocess.run(command, env=desktop, capture_output=True, timeout=10, check=False)

    def bus_state():
        """The socket's file, the id its bus answers with, and the display's pointer to the bus."""
        if not os.path.exists(socket):
            return None
        answer = run("dbus-send", f"--bus=unix:path={socket}", "--print-reply", "--dest=org.freedesktop.DBus",
                     "/org/freedesktop/DBus", "org.freedesktop.DBus.GetId").stdout.decode()
        pointer = run("xprop", "-root", "AT_SPI_BUS").stdout.decode()
        info = os.stat(socket)
        return (info.st_dev, info.st_ino), answer.partition("\n")[2].strip(), pointer.strip()

    before = wait_for("the desktop's accessibility bus", lambda: (state := bus_state()) and state[1] and state, 15)
    try:
        scenario = subprocess.run([sys.executable, os.path.abspath(__file__), quillan, sprite_cells, "accessibility"],
                                  env=desktop, capture_output=True, timeout=90, check=False)
    except subprocess.TimeoutExpired:
        raise Failure("the accessibility scenario did not end within 90 s inside the desktop session")
    if scenario.returncode != 0:
        raise Failure("the accessibility scenario failed inside the desktop session:\n" + scenario.stderr.decode())
    after = bus_state()
    if after != before:
        raise Failure(f"the desktop's accessibility bus (socket, id, the display's pointer) was {before}, "
                      f"and is {after} after the scenario")


def free_display_number():
    return next(n for n in range(400, 500) if not os.path.exists(f"/tmp/.X11-unix/X{n}"))


SCENARIOS = {f.__name__: f for f in (window, play, warnings, close_during_run, paste_and_pointer, accessibility,
                                     hostile_client, two_monitors, screenshot)}
START = {"window": {"args": IGNORED_ARGUMENTS, "desktop": WAYLAND_DESKTOP}, "accessibility": {"accessible": True},
         "hostile_client": {"accessible": True}, "two_monitors": TWO_MONITORS}


def main():
    if len(sys.argv) != 4 or sys.argv[3] not in [*SCENARIOS, "no_display", "accessibility_in_desktop"]:
        sys.exit(f"usage: {sys.argv[0]} <quillan> <e2e_places> "
                 f"{'|'.join(SCENARIOS)}|no_display|accessibility_in_desktop")
    quillan, sprite_cells, scenario = sys.argv[1:]

    def play(session):
        if scenario == "no_display":
            no_display(quillan, session)
        elif scenario == "accessibility_in_desktop":
            accessibility_in_desktop(session, quillan, sprite_cells)
        else:
            session.start(quillan, **START.get(scenario, {}))
            SCENARIOS[scenario](session, sprite_cells)
    run_scenario(scenario, play)


def run_scenario(name, play, keep=()):
    """Runs play(session) in a session of its own and reports it as the
    scenario name: passed, or failed with what Quillan printed. The session
    ends whatever happens, a killed test included; the files named in keep,
    in the session's folder, are kept in the current folder on a failure."""
    for number in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(number, lambda *_: sys.exit("interrupted"))
    with tempfile.TemporaryDirectory(prefix="quillan-e2e-") as workdir:
        session = Session(workdir)
        try:
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


if __name__ == "__main__":
    main()
