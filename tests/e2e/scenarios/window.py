# SPDX-License-Identifier: MIT
"""The window on a plain X display, driven with the mouse and the keyboard:
its start, a hand played, the warnings, closing it during a run, pastes with
nothing to paste, the pointer over the sheet, two monitors of different
scales, and the failures when there is no display to start on."""

import os
import subprocess

from registry import scenario
from session import (CLEAR_PROMPT, Failure, app_environment, check_failure, free_display_number, run_ended,
                     wait_for, with_plugins)
from x11_close import click_then_close

# Qt's own command-line options and a Wayland session beside the X display:
# Quillan takes no command line, and prefers X, where it can stay on top.
IGNORED_ARGUMENTS = ["-qwindowtitle", "Foo", "-qwindowgeometry", "200x150", "-reverse", "-platform", "offscreen"]
WAYLAND_DESKTOP = {"WAYLAND_DISPLAY": "wayland-quillan-e2e", "XDG_SESSION_TYPE": "wayland",
                   "XDG_CURRENT_DESKTOP": "KDE"}


@scenario(start={"args": IGNORED_ARGUMENTS, "desktop": WAYLAND_DESKTOP})
def window(session):
    output = session.app_output()
    if output.strip():
        raise Failure("Quillan printed on a normal start:\n" + output)
    title, _, _, width, height = session.window_info()
    if title != "Quillan":
        raise Failure(f"the window is titled {title!r}, not 'Quillan'")
    if (width, height) != session.places.window:
        raise Failure(f"client area is {width}x{height}, not {'x'.join(map(str, session.places.window))}")
    state = session.run("xprop", "-id", str(session.window), "_NET_WM_STATE").stdout.decode()
    if "_NET_WM_STATE_ABOVE" not in state:
        raise Failure("the window does not ask to stay on top: " + state)


HOLE_CARDS = ("AS", "KD")  # the hand played, into slots 1 and 2


def play_hand(session):
    """The ace of spades and the king of diamonds against three players, played to the end of the run."""
    for card in HOLE_CARDS:
        session.pick(card)
    session.set_players("4")
    session.click(session.places.center("Play Hands"))
    session.copy_text("Status", run_ended, "three result lines adding up to 100", timeout=30)


def check_hole_cards_shown(session):
    """Each hole-card slot shows its card pixel for pixel as the bright card sheet draws it."""
    made = session.run(session.places_program, "cells", session.workdir, *HOLE_CARDS)
    if made.returncode != 0:
        raise Failure("e2e_places cells failed: " + made.stderr.decode())
    screenshot, left, top = session.screenshot()
    width, height = session.places.card_size
    for number, card in enumerate(HOLE_CARDS, 1):
        x, y = session.places.slot(number)
        expected = session.pixels(os.path.join(session.workdir, card + ".png"))
        shown = session.pixels(screenshot, "-crop", f"{width}x{height}+{left + x}+{top + y}", "+repage")
        if shown != expected:
            wrong = sum(shown[i:i + 3] != expected[i:i + 3] for i in range(0, len(expected), 3))
            os.replace(screenshot, os.path.abspath("e2e_play_failure.png"))
            raise Failure(f"the slot at {(x, y)} differs from the sheet's {card} in {wrong} of {width * height} "
                          "pixels; screenshot kept as e2e_play_failure.png")


@scenario(start={})
def play(session):
    play_hand(session)
    check_hole_cards_shown(session)


def raise_card(session, card):
    """Moves the pointer onto a card of the sheet and waits for the screen to show it raised."""
    x, y = session.places.corner(card)
    width, height = session.places.card_size
    lift = session.places.raised_lift
    area = (x, y - lift, width, height + lift)
    before = session.shown(*area)
    session.move_to(session.places.pick(card))
    session.wait_for_change(f"the {card} to rise", *area, before)


@scenario(start={}, listed=False)
def screenshot(session):
    """The README's picture: ace-king against three players after a run, with
    the pointer raising the six of hearts."""
    output = session.options["output"]
    play_hand(session)
    session.xdo("key", "ctrl+End")  # lets go of the text the run's check selected
    raise_card(session, "6H")
    session.run("import", "-silent", "-window", str(session.window), output)
    print(f"wrote {output}")


@scenario(start={})
def warnings(session):
    session.click(session.places.center("Clear Cards"))
    session.click(session.places.center("Play Hands"))
    session.close_warning()
    session.copy_text("Status", lambda text: text.startswith(CLEAR_PROMPT), "the prompt in the status box")

    # With both hole cards in place, a refused count must still start no run.
    for card in HOLE_CARDS:
        session.pick(card)
    session.set_players("11")
    session.click(session.places.center("Play Hands"))
    session.close_warning()
    session.copy_text("Number of players", lambda text: text == "2", 'the player box to read "2"')
    session.copy_text("Status", lambda text: text.startswith(CLEAR_PROMPT),
                      "the status box to keep its prompt (no run)")


@scenario(start={})
def close_during_run(session):
    for card in HOLE_CARDS:
        session.pick(card)
    session.set_players("10")
    _, left, top, _, _ = session.window_info()
    x, y = session.places.center("Play Hands")
    click_then_close(session.display, session.window, left + x, top + y)
    try:
        status = session.app.wait(timeout=1)
    except subprocess.TimeoutExpired:
        raise Failure("Quillan still runs a second after its window was closed")
    if status != 0:
        raise Failure(f"Quillan ended with status {status} after its window was closed")


def paste_with_no_owner(session):
    """Nobody owns the selection or the clipboard on the fresh display: pasting
    them must insert nothing and keep Quillan alive."""
    session.click(session.places.center("Status"))
    session.xdo("type", "kept")
    for box in ("Status", "Number of players"):
        session.xdo("mousemove", "--window", session.window, *session.places.center(box), "click", 2)
        session.click(session.places.center(box))
        session.xdo("key", "ctrl+v", "shift+Insert")
    session.copy_text("Status", lambda text: text == "kept", "the status box to keep its text")


def paste_after_owner_quit(session):
    """Paste from the context menu after the clipboard's owner has quit while
    the menu was open, as a password manager clearing it on a timer does."""
    owner = session.spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=session.env,
                          stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    owner.stdin.write(b"gone")
    owner.stdin.close()
    wait_for("xclip to own the clipboard",
             lambda: session.run("xclip", "-o", "-selection", "clipboard").stdout == b"gone", 5)
    session.xdo("mousemove", "--window", session.window, *session.places.center("Status"), "click", 3)
    wait_for("the context menu", lambda: len(session.app_windows()) > 1, 5)
    owner.terminate()
    owner.wait(timeout=5)
    session.xdo("key", "p")  # the menu's Paste
    # The menu closes once its Paste has been handled, or Quillan has ended on it.
    wait_for("the context menu to close",
             lambda: session.app.poll() is not None or len(session.app_windows()) <= 1, 5)
    session.still_running("on a paste from the context menu")
    session.copy_text("Status", lambda text: text == "kept", "the status box to keep its text after the menu's paste")


def jump_onto_sheet(session):
    """From a button onto the sheet in one jump: the first move must raise the
    card under the pointer, the four of spades, and the screen shows only what
    changed anew: the four must come down when the pointer moves on to the
    five."""
    places = session.places
    four_of_spades = places.pick("4S")
    # Inside the raised card, the table's green at rest.
    above_sheet = (four_of_spades[0], places.corner("4S")[1] - places.raised_lift + 2)
    button = places.control("Play Hands")
    at_rest = session.shown(*button)
    session.move_to(places.center("Play Hands"))
    session.wait_for_change("Play Hands to show the pointer over it", *button, at_rest)
    session.move_to(four_of_spades)

    def raised():
        return session.shown(*above_sheet) != places.table_green

    wait_for("the four of spades to rise", raised, 5)
    session.move_to(places.pick("5S"))
    wait_for("the four of spades to come down", lambda: not raised(), 5)
    session.still_running()


@scenario(start={})
def paste_and_pointer(session):
    paste_with_no_owner(session)
    paste_after_owner_quit(session)
    jump_onto_sheet(session)


# Two monitors side by side on one X screen, the right one at twice the
# scale, as KDE Plasma on X11 sets it.
TWO_MONITORS = {"screen": "2048x1024", "monitors": (("left", "1024/270x1024/270+0+0"),
                                                    ("right", "1024/270x1024/270+1024+0")),
                "desktop": {"QT_SCREEN_SCALE_FACTORS": "left=1;right=2"}}


def scaled_places(places):
    """Places of the table, the card pictures and the controls, in client
    pixels, that show the same colours at twice the scale: inside a control,
    away from its frame and its text."""
    slot_x, slot_y = places.slot(7)
    ace_x, ace_y = places.corner("AD")
    return {"table": places.bare_table,
            "community card 5": (slot_x + 46, slot_y + 25),
            "ace of spades": places.pick("AS"),
            "ace of diamonds": (ace_x + 41, ace_y + 60),
            "status box": places.inside("Status", -13, -5),
            "player box": places.inside("Number of players", -3, -3),
            "Play Hands": places.inside("Play Hands", 4, 4),
            "Clear Cards": places.inside("Clear Cards", -4, -4)}


@scenario(start=TWO_MONITORS)
def two_monitors(session):
    """Moved onto the monitor at twice the scale and back, the window keeps its
    size in the user's terms, and a size the user gave it: twice the pixels
    there, each place showing what it shows on the other monitor."""
    points = scaled_places(session.places)

    def shown():
        screenshot, left, top = session.screenshot()
        scale = 2 if left >= 1024 else 1  # the right monitor's
        return {name: session.pixels(screenshot, "-crop", f"1x1+{left + x * scale}+{top + y * scale}")
                for name, (x, y) in points.items()}

    on_left = shown()
    width, height = session.places.window
    given = (350, 520)  # a size the user gives the window
    right, left = ("windowmove", session.window, 1100, 0), ("windowmove", session.window, 100, 100)
    steps = [(right, (2 * width, 2 * height)), (left, (width, height)),
             (("windowsize", session.window, *given), given), (right, (2 * given[0], 2 * given[1])), (left, given)]
    for command, size in steps:
        session.xdo(*command)
        try:
            wait_for(f"the window to be {size[0]}x{size[1]}", lambda: session.window_info()[3:] == size, 5)
        except Failure as failure:
            now_width, now_height = session.window_info()[3:]
            raise Failure(f"after xdotool {' '.join(map(str, command))}, {failure}: it is {now_width}x{now_height}")
        if (now := shown()) != on_left:
            wrong = [name for name in on_left if now[name] != on_left[name]]
            raise Failure(f"after xdotool {' '.join(map(str, command))}, {', '.join(wrong)} show other "
                          "colours than on the left monitor")


@scenario()
def no_display(session):
    """A display that cannot be opened is named as such; a platform that
    cannot start, on a display that works, by the platform and Qt's reason,
    and a plugin that is not there by the package that brings it. Debugging
    output the user asks for comes before the reason, which stays the last
    line."""
    quillan = session.quillan
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
