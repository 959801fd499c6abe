# SPDX-License-Identifier: MIT
"""The window as a screen reader or a voice-control tool reads and plays it,
over AT-SPI on the session's own accessibility bus: what the tree shows,
what it announces, a whole hand played through actions alone, warnings that
hold for actions too; the same run from inside a desktop whose bus must stay
as it was; and a client sending every text call wrong."""

import os
import re
import subprocess
import sys
from dataclasses import dataclass

from at_spi import AtSpiClient, act, children, text_of
from registry import scenario
from session import CLEAR_PROMPT, Failure, app_environment, run_ended, wait_for

# pyatspi is Debian's own, for its /usr/bin/python3.
AT_SPI = {"python": "system"}


@dataclass
class Window:
    """The window's elements as assistive technology finds them."""
    controls: dict
    table: object
    places: list  # the card places, hole card 1 first
    cards: dict  # the cards of the sheet by name, "ace of spades"

    @property
    def status(self):
        return self.controls["Status"]

    @property
    def count(self):
        return self.controls["Number of players"]

    def press(self, name):
        act(self.controls[name])


def window_of(frame):
    controls = {child.name: child for child in children(frame) if child.getRoleName() != "notification"}
    table = controls["Card table"]
    groups = {group.name: group for group in children(table)}
    return Window(controls, table, children(groups["Card places"]),
                  {card.name: card for card in children(groups["Card sheet"])})


PLACE_NAMES = ["Hole card 1", "Hole card 2"] + [f"Community card {n}" for n in range(1, 6)]
RANKS = "two three four five six seven eight nine ten jack queen king ace".split()
CARD_NAMES = [f"{rank} of {suit}" for suit in ("spades", "hearts", "clubs", "diamonds") for rank in RANKS]


def check_tree(client, frame):
    """What the window says unasked comes through notifications that never
    show on the screen; the rest are the window's controls and its table: its
    places, then the sheet in rows by suit, two to ace."""
    pyatspi = client.pyatspi
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

    groups = {group.name: group for group in children(controls["Card table"])}
    if list(groups) != ["Card places", "Card sheet"]:
        raise Failure(f"the card table holds {list(groups)}, expected the places, then the sheet")
    window = window_of(frame)
    seen = ([(p.name, p.getRoleName()) for p in window.places],
            [(c.name, c.getRoleName()) for c in window.cards.values()])
    wanted = ([(f"{name}: empty", "radio button") for name in PLACE_NAMES],
              [(name, "push button") for name in CARD_NAMES])
    if seen != wanted:
        raise Failure(f"the places and cards read {seen}, expected {wanted}")
    return window


def picked(card, place, next_place):
    """What a pick tells a screen reader: the place's new name, the card's
    state and description, the glow's move, and what is said."""
    said = f"{card.capitalize()} in {place.lower()}. Next card: {next_place.lower()}."
    return [("name", f"{place}: {card}"), ("checked", f"{place}: {card}"), ("checked", f"{next_place}: empty"),
            ("checked", card), ("description", card), ("description", "Card table"), ("showing", said)]


EVENT_KINDS = {"object:property-change:accessible-name": "name", "object:state-changed:checked": "checked",
               "object:property-change:accessible-description": "description",
               "object:state-changed:showing": "showing"}
DESCRIBED = ("Hole cards: ace of spades, king of diamonds. Community cards: empty, queen of hearts, "
             "jack of clubs. Next card: community card 4.")


def play_by_actions(client, window):
    """A whole hand through actions alone, no pointer: the hole cards, then
    community card 2 chosen, leaving a gap, and two board cards there. Each
    step tells a screen reader what changed, in a handful of events. Returns
    the run's figures."""
    cards, places = window.cards, window.places
    hand = [(cards["ace of spades"], picked("ace of spades", "Hole card 1", "Hole card 2")),
            (cards["king of diamonds"], picked("king of diamonds", "Hole card 2", "Community card 1")),
            (places[3], [("checked", "Community card 1: empty"), ("checked", "Community card 2: empty"),
                         ("description", "Card table"), ("showing", "Next card: community card 2.")]),
            (cards["queen of hearts"], picked("queen of hearts", "Community card 2", "Community card 3")),
            (cards["jack of clubs"], picked("jack of clubs", "Community card 3", "Community card 4"))]
    events = client.events
    for node, expected in hand:
        events.clear()
        act(node)
        client.settled(f"pressing {node.name} to reach the table's description",
                       lambda: ("object:property-change:accessible-description", "Card table") in
                       [(kind, name) for kind, name, _ in events])
        client.answered()
        heard = sorted((EVENT_KINDS.get(kind, kind), name) for kind, name, _ in events if name != "Quillan")
        if heard != sorted(expected):
            raise Failure(f"pressing {node.name} told a screen reader {heard}, expected {sorted(expected)}")
    if not (client.checked(cards["ace of spades"]) and cards["ace of spades"].description == "In hole card 1."
            and client.checked(places[5]) and not client.checked(places[0])):
        raise Failure("the ace of spades and the active place do not say where they are")
    client.settled("the card table to name the cards pressed", lambda: window.table.description == DESCRIBED)

    window.count.queryEditableText().setTextContents("4")
    events.clear()
    window.press("Play Hands")
    client.settled("the run to end", lambda: run_ended(text_of(window.status)), 30)
    client.answered()
    from_status = [(kind, data) for kind, name, data in events if name == "Status" and kind.startswith("object:text")]
    if len(from_status) > 4 or not any(kind == "object:text-changed:insert" and "Win Chance" in str(data)
                                        for kind, data in from_status):
        raise Failure(f"a run sent {len(from_status)} text events from the status box, "
                      f"expected the final figures once: {from_status[:6]}")
    return text_of(window.status)


def warnings_open(session):
    return len(session.visible_windows("--name", "^Warning$"))


def handled_under_warning(client, window):
    """Lets Quillan answer what was just asked of it under a warning: every
    call answered, and Play Hands up again, as it would be once a press that
    got through had clicked."""
    client.answered()
    client.settled("Play Hands to be up", lambda: not client.pressed(window.controls["Play Hands"]), 5)


def buttons(node):
    if node.getRoleName() == "push button":
        return [node]
    return [button for child in children(node) for button in buttons(child)]


def warnings_hold_for_actions(session, client, window, played):
    """With the count's warning open, Play Hands pressed, a card pressed and
    the count set change nothing and open no second warning; the warning's
    own button closes it, and a pick lands once it is closed."""
    window.count.queryEditableText().setTextContents("50")
    window.press("Play Hands")
    wait_for("the count's warning", lambda: warnings_open(session), 15)
    for _ in range(5):
        window.press("Play Hands")
    act(window.cards["two of clubs"])
    window.count.queryEditableText().setTextContents("7")
    handled_under_warning(client, window)
    if (warnings_open(session) != 1 or window.table.description != DESCRIBED
            or text_of(window.status) != played):
        raise Failure(f"under the open warning ({warnings_open(session)} open) actions played, picked or warned: "
                      f"{window.table.description!r}, {text_of(window.status)!r}")
    warning = next(child for child in children(client.app()) if child.name == "Warning")
    act(buttons(warning)[0])
    client.settled("the warning's button to close it", lambda: warnings_open(session) == 0)
    client.settled('the count box to read "2"', lambda: text_of(window.count) == "2")
    act(window.cards["two of clubs"])
    client.settled("a pick to land once the warning is closed", lambda: "two of clubs" in window.table.description)


def clear_cards_announced(client, window):
    """Clear Cards: a screen reader is told of the emptied table."""
    client.answered()
    client.events.clear()
    window.press("Clear Cards")
    emptied = "Hole cards: none. Community cards: none. Next card: hole card 1."
    client.settled("the emptied table to be announced", lambda: window.table.description == emptied and any(
        kind.endswith("accessible-description") and name == "Card table" for kind, name, _ in client.events))


def one_hole_card_warning(session, client, window):
    """The hole-card warning: five more presses open no second one."""
    window.press("Play Hands")
    wait_for("the hole-card warning", lambda: warnings_open(session), 15)
    for _ in range(5):
        window.press("Play Hands")
    handled_under_warning(client, window)
    if warnings_open(session) != 1:
        raise Failure(f"five presses under the hole-card warning left {warnings_open(session)} warnings open")
    session.close_warning()


def counts_past_the_check(session, client, window):
    """A count set over AT-SPI, then Play Hands pressed there; a count typed
    into the focused box, then Clear Cards pressed over AT-SPI, whose handler
    moves the focus to the status box: neither lets the count through."""
    result = text_of(window.status)
    window.count.queryEditableText().setTextContents("50")
    window.press("Play Hands")
    session.close_warning()
    client.settled('the count box to read "2"', lambda: text_of(window.count) == "2")
    if text_of(window.status) != result:
        raise Failure("a run read a count of 50 set by assistive technology")

    session.set_players("50")
    window.press("Clear Cards")
    session.close_warning()
    client.settled('the count box to read "2" after Clear Cards', lambda: text_of(window.count) == "2")


def same_hand_with_mouse(session, client, played):
    """The same hand with the mouse in a fresh process, each card clicked at
    the middle of the extents AT-SPI gives for it: the first run after a
    start plays the same deals, so the figures must be the same."""
    session.restart_app()
    window = window_of(client.frame())

    def click_middle(node):
        box = node.queryComponent().getExtents(client.pyatspi.DESKTOP_COORDS)
        session.xdo("mousemove", box.x + box.width // 2, box.y + box.height // 2)
        session.xdo("click", 1)
        session.move_to(session.places.bare_table)

    cards, places = window.cards, window.places
    for node, place in ((cards["ace of spades"], 0), (cards["king of diamonds"], 1), (places[3], None),
                        (cards["queen of hearts"], 3), (cards["jack of clubs"], 4)):
        click_middle(node)
        if place is not None:
            client.settled(f"a click in the middle of the {node.name} to pick it",
                           lambda: places[place].name.endswith(node.name))
    session.set_players("4")
    session.click(session.places.center("Play Hands"))
    client.settled("the mouse's run to end", lambda: run_ended(text_of(window.status)), 30)
    if text_of(window.status) != played:
        raise Failure(f"the hand played through actions gave {played!r}, "
                      f"with the mouse {text_of(window.status)!r}")


# Run with DISPLAY unset, and empty as some CI runners export it.
@scenario(start={"accessible": True}, **AT_SPI,
          variants={"accessibility": {"DISPLAY": None}, "accessibility_empty_display": {"DISPLAY": ""}})
def accessibility(session):
    """Reads and plays the window as a screen reader or a voice-control tool
    does, over AT-SPI: what the tree shows, what it announces, a whole hand
    played through actions alone, warnings that hold for actions too, and that
    no way in lets a count past the check."""
    client = AtSpiClient(session)
    window = check_tree(client, client.frame())
    client.listen()
    played = play_by_actions(client, window)
    warnings_hold_for_actions(session, client, window, played)
    clear_cards_announced(client, window)
    one_hole_card_warning(session, client, window)
    counts_past_the_check(session, client, window)
    same_hand_with_mouse(session, client, played)


@scenario(**AT_SPI)
def accessibility_in_desktop(session):
    """The accessibility scenario run from inside a desktop session whose
    screen reader's bus is up: afterwards the desktop's accessibility bus is
    the one it had, on the same socket, still answering, and its display
    still points to it."""
    runtime = os.path.join(session.workdir, "desktop-runtime")
    os.mkdir(runtime, 0o700)
    desktop = app_environment(runtime, DISPLAY=session.start_xvfb())
    desktop["DBUS_SESSION_BUS_ADDRESS"] = session.start_dbus(desktop)
    session.start_accessibility_bus(desktop)
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
    runner = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "e2e_test.py")
    try:
        played = subprocess.run([sys.executable, runner, session.quillan, session.places_program, "accessibility"],
                                env=desktop, capture_output=True, timeout=90, check=False)
    except subprocess.TimeoutExpired:
        raise Failure("the accessibility scenario did not end within 90 s inside the desktop session")
    if played.returncode != 0:
        raise Failure("the accessibility scenario failed inside the desktop session:\n" + played.stderr.decode())
    after = bus_state()
    if after != before:
        raise Failure(f"the desktop's accessibility bus (socket, id, the display's pointer) was {before}, "
                      f"and is {after} after the scenario")


def resident_mb(pid):
    with open(f"/proc/{pid}/status") as info:
        return int(re.search(r"VmRSS:\s+(\d+)", info.read()).group(1)) // 1024


BIG, SMALL = 2**31 - 1, -2**31


class Hostile:
    """Calls on Quillan's elements that must each answer within the client's own time-out."""

    def __init__(self, session):
        self.session = session

    def __call__(self, what, function, *arguments):
        # A call that Qt once answered by looping for ever, or by inserting a
        # billion characters, must answer within the client's own time-out.
        try:
            return function(*arguments)
        except Exception as error:
            if self.session.app.poll() is not None:
                raise Failure(f"Quillan ended with status {self.session.app.returncode} on {what}{arguments}")
            raise Failure(f"{what}{arguments} got no answer: {error}")


def every_offset(call, pyatspi, name, box):
    """Every text and editable-text call with offsets and lengths at 0, at the
    text's end, past it and at the ends of the integers: nothing grows."""
    text, editable = box.queryText(), box.queryEditableText()
    length = text.characterCount
    offsets = (0, length, length + 1, BIG, SMALL, -1)
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
        for sent in (0, 2, length, BIG, SMALL, 2**24):
            call(f"{name} insertText", editable.insertText, offset, "ab", sent)
        call(f"{name} deleteText", editable.deleteText, offset, BIG)
        call(f"{name} cutText", editable.cutText, SMALL, offset)
        call(f"{name} pasteText", editable.pasteText, offset)
    if len(text_of(box)) > 10000:
        raise Failure(f"the {name} grew to {len(text_of(box))} characters")


def nothing_under_warning(session, client, call, controls):
    """Under the count's warning, the status box takes no edit, gives no text
    to the clipboard, and a press of either button acts neither under the
    warning nor once it has closed, however soon."""
    status, count = controls["Status"], controls["Number of players"]
    count.queryEditableText().setTextContents("50")
    controls["Play Hands"].queryAction().doAction(0)
    app = client.app()
    warning = wait_for("the count's warning", lambda: next(
        (child for child in children(app) if child.name == "Warning"), None), 15)
    status_edits = status.queryEditableText()
    refused = [call("status setTextContents", status_edits.setTextContents, "changed"),
               call("status insertText", status_edits.insertText, 0, "x", 1),
               call("status cutText", status_edits.cutText, 0, 4),
               call("status deleteText", status_edits.deleteText, 0, 4),
               call("Play Hands doAction", controls["Play Hands"].queryAction().doAction, 0),
               call("Clear Cards doAction", controls["Clear Cards"].queryAction().doAction, 0)]
    # Questions still get their answers under the warning.
    call("status getSelection", status.queryText().getSelection, 0)
    call("status copyText", status_edits.copyText, 0, 1)
    buttons(warning)[0].queryAction().doAction(0)
    wait_for("the warning to close", lambda: session.warning_open() is None, 5)
    client.answered()
    if any(refused):
        raise Failure(f"under a warning these were done: {refused}")
    if text_of(status) != "kept":
        raise Failure(f"under a warning the status box became {text_of(status)!r}")
    clipboard = session.run("xclip", "-o", "-selection", "clipboard").stdout
    if b"kept" in clipboard:
        raise Failure(f"under a warning the status box's text reached the clipboard: {clipboard!r}")


@scenario(start={"accessible": True}, **AT_SPI)
def hostile_client(session):
    """An accessibility client that sends the two boxes every text and
    editable-text call with offsets and lengths at 0, at the text's end, past
    it and at the ends of the integers, then edits and presses under a
    warning: every call answers at once, nothing grows, nothing under the
    warning acts, and Quillan says nothing."""
    client = AtSpiClient(session)
    controls = client.controls()
    status, count = controls["Status"], controls["Number of players"]
    call = Hostile(session)
    for name, box in (("status box", status), ("count box", count)):
        every_offset(call, client.pyatspi, name, box)
    if resident_mb(session.app.pid) > 400:
        raise Failure(f"Quillan grew to {resident_mb(session.app.pid)} MB")

    # The program's own next write, which once crashed on a box that took a
    # length of 2^31: Clear Cards by the mouse, with a count that passes.
    call("count setTextContents", count.queryEditableText().setTextContents, "2")
    call("status insertText", status.queryEditableText().insertText, 0, "ab", BIG)
    session.click(session.places.center("Clear Cards"))
    wait_for("the prompt after Clear Cards", lambda: call("getText", text_of, status).startswith(CLEAR_PROMPT), 10)
    call("status setTextContents", status.queryEditableText().setTextContents, "kept")

    nothing_under_warning(session, client, call, controls)
    output = session.app_output()
    if output.strip():
        raise Failure("Quillan printed under a hostile client:\n" + output)
