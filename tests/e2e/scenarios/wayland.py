# SPDX-License-Identifier: MIT
"""Quillan in a Wayland session: weston's headless compositor, with XWayland
where the scenario wants X, and what the compositor shows checked against
the window Quillan draws on a plain Xvfb display."""

import glob
import os
import re
import subprocess

from registry import scenario
from session import Failure, app_environment, check_failure, free_display_number, wait_for, with_plugins

WAYLAND = {"needs": ["wayland"]}
SOCKET = "wayland-quillan-e2e"
SCREEN = (1024, 768)
NOT_ON_TOP = 'quillan: on Wayland the window cannot be kept above other windows; see "man quillan" for how'


def start_weston(session, xwayland):
    """Starts weston headless, drawing with pixman so that its screenshooter
    sees the windows, and returns the session's environment: its Wayland
    socket, and with xwayland the X display XWayland listens on."""
    log_path = os.path.join(session.workdir, "weston.log")
    command = ["weston", "--backend=headless-backend.so", "--use-pixman", "--debug", f"--width={SCREEN[0]}",
               f"--height={SCREEN[1]}", f"--socket={SOCKET}", "--idle-time=0", "--no-config", f"--log={log_path}"]
    if xwayland:
        # XWayland's sockets go where every X server's do.
        os.makedirs("/tmp/.X11-unix", mode=0o1777, exist_ok=True)
        command.append("--xwayland")
    env = app_environment(session.workdir, WAYLAND_DISPLAY=SOCKET, XDG_SESSION_TYPE="wayland")
    weston = session.spawn(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)

    def ready():
        if weston.poll() is not None:
            raise Failure(f"weston ended with status {weston.returncode}:\n" + log())
        if not os.path.exists(os.path.join(session.workdir, SOCKET)):
            return None
        if not xwayland:
            return True
        return re.search(r"xserver listening on display (:\d+)", log())

    def log():
        with open(log_path) as text:
            return text.read()

    found = wait_for("weston's Wayland socket" + (" and XWayland's display" if xwayland else ""), ready, 15)
    if xwayland:
        env["DISPLAY"] = found.group(1)
    return env


def screenshot(session, env):
    """What the compositor shows, as raw RGB rows, from weston's screenshooter."""
    for old in glob.glob(os.path.join(session.workdir, "wayland-screenshot-*.png")):
        os.remove(old)
    subprocess.run(["weston-screenshooter"], env=env, cwd=session.workdir, capture_output=True, timeout=10,
                   check=False)
    taken = glob.glob(os.path.join(session.workdir, "wayland-screenshot-*.png"))
    return session.pixels(taken[0]) if taken else None


def window_in(session, shot):
    """The window's client area in a screenshot, found by the table's green,
    which fills whole rows and columns of it and no more than a few pixels of
    anything else: its picture, as raw RGB rows, or None while there is none."""
    width, height = SCREEN
    green = [shot[i:i + 3] == session.places.table_green for i in range(0, len(shot), 3)]
    rows = [y for y in range(height) if sum(green[y * width:(y + 1) * width]) >= 100]
    columns = [x for x in range(width) if sum(green[x::width]) >= 100]
    if not rows or not columns or (columns[-1] - columns[0] + 1, rows[-1] - rows[0] + 1) != session.places.window:
        return None
    return b"".join(shot[3 * (y * width + columns[0]):3 * (y * width + columns[-1] + 1)]
                    for y in range(rows[0], rows[-1] + 1))


def drawn_on_x(session):
    """The window as Quillan draws it on a plain Xvfb display."""
    session.start()
    picture = os.path.join(session.workdir, "on-x.png")
    session.run("import", "-silent", "-window", str(session.window), picture, check=True)
    expected = session.pixels(picture)
    session.app.terminate()
    session.app.wait(timeout=5)
    return expected


def shown_as_on_x(session, env, expected, app):
    """Waits for the compositor to show Quillan's window as it is drawn on X."""
    last = None

    def shown():
        nonlocal last
        if app.poll() is not None:
            raise Failure(f"Quillan ended with status {app.returncode} before showing its window")
        shot = screenshot(session, env)
        last = shot and window_in(session, shot)
        return last == expected

    try:
        wait_for("the compositor to show Quillan's window as it is drawn on X", shown, 30)
    except Failure as failure:
        wrong = "no window" if last is None else \
            f"{sum(last[i:i + 3] != expected[i:i + 3] for i in range(0, len(expected), 3))} pixels differ"
        raise Failure(f"{failure}: {wrong}")


def start_quillan(session, env):
    """Starts Quillan in env, its output going to a fresh log."""
    session.env = env
    session.app_log = open(os.path.join(session.workdir, "quillan.log"), "w+")
    session.app = session.spawn([session.quillan], env=env, stdout=session.app_log, stderr=subprocess.STDOUT)
    return session.app


@scenario(**WAYLAND)
def wayland_xwayland(session):
    """On a Wayland desktop with XWayland, Quillan starts on X, asks nothing
    of Wayland, says nothing and draws its table as on any X display."""
    expected = drawn_on_x(session)
    env = start_weston(session, xwayland=True)
    start_quillan(session, env)
    session.window = wait_for("Quillan's window on XWayland", session.main_window, 30)
    title, _, _, width, height = session.window_info()
    if (title, width, height) != ("Quillan", *session.places.window):
        raise Failure(f"the window on XWayland is {title!r}, {width}x{height}")
    shown_as_on_x(session, env, expected, session.app)
    if output := session.app_output().strip():
        raise Failure("Quillan printed on a start through XWayland:\n" + output)


@scenario(**WAYLAND)
def wayland_wayland(session):
    """With DISPLAY naming no X server, as a desktop without XWayland may
    leave it, Quillan starts on Wayland, draws its table as on X and says
    once that the window cannot be kept above the others."""
    expected = drawn_on_x(session)
    env = start_weston(session, xwayland=False)
    env["DISPLAY"] = ":" + str(free_display_number())
    start_quillan(session, env)
    shown_as_on_x(session, env, expected, session.app)
    if (output := session.app_output().strip()) != NOT_ON_TOP:
        raise Failure(f"Quillan said {output!r} on Wayland; expected the one line {NOT_ON_TOP!r}")


@scenario(**WAYLAND)
def wayland_no_plugin(session):
    """On a Wayland desktop whose machine lacks Qt's Wayland plugin, with
    DISPLAY naming no X server or not set, the failure names the package."""
    if not session.options.get("xcb_plugin"):
        raise Failure("this scenario needs Qt's X platform plugin, given as --xcb-plugin")
    env = start_weston(session, xwayland=False)
    lacking = with_plugins(session.quillan, os.path.join(session.workdir, "xcb-only"), [session.options["xcb_plugin"]])
    for display in (":" + str(free_display_number()), None):
        settings = dict(env, DISPLAY=display) if display else {k: v for k, v in env.items() if k != "DISPLAY"}
        check_failure(lacking, settings, 'Qt platform plugin "wayland"', {"DISPLAY": display})
        check_failure(lacking, settings, "install the Debian package qt6-wayland", {"DISPLAY": display})
