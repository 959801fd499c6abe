# SPDX-License-Identifier: MIT
"""A hand played as a blind player does: the real Orca screen reader, speaking
through speech-dispatcher and espeak-ng to no sound card, and its own keys
alone. What Orca says is read from its debug log, where every utterance is a
SPEECH OUTPUT line; what the table holds is read over AT-SPI. Its session
has its own home folder and speech server besides."""

import os
import re
import subprocess
import sys
import time

from at_spi import AtSpiClient
from registry import scenario
from session import Failure, run_ended, wait_for

# Orca's desktop layout, with Num Lock off: flat review by line and by word,
# and its click on the reviewed item.
PREVIOUS_LINE, CURRENT_LINE, NEXT_LINE = "KP_Home", "KP_Up", "KP_Prior"
PREVIOUS_WORD, CURRENT_WORD, NEXT_WORD = "KP_Left", "KP_Begin", "KP_Right"
TOP_OF_WINDOW = "Insert+KP_Home"
CLICK = "KP_Divide"
MOVE_POINTER_THERE = "Insert+KP_Divide"

# Orca started as /usr/bin/orca refuses to run beside a user's own Orca, and
# --replace would end it: the test's Orca is started past that check, and
# writes its debug log line by line, so that the test reads each utterance
# as it is said.
ORCA = """
import builtins, importlib.machinery, importlib.util, sys
loader = importlib.machinery.SourceFileLoader("orca_launcher", "/usr/bin/orca")
launcher = importlib.util.module_from_spec(importlib.util.spec_from_loader("orca_launcher", loader))
loader.exec_module(launcher)
launcher.otherOrcas = lambda: []
launcher.setProcessName = lambda name: None
launcher.open = lambda name, mode="r": builtins.open(name, mode, buffering=1)
sys.exit(launcher.main())
"""

# Each utterance in Orca's debug log. A key it echoes is logged as 'tab ' {...},
# a word of flat review as 'two '[{...}].
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*)'(\[?)\{")


class Orca:
    """The test's Orca, and what it has said."""

    def __init__(self, session):
        self.session = session
        home = os.path.join(session.workdir, "home")
        config = os.path.join(home, ".config")
        os.makedirs(os.path.join(config, "speech-dispatcher"))
        with open(os.path.join(home, ".libao"), "w") as libao:
            libao.write("default_driver=null\n")
        with open(os.path.join(config, "speech-dispatcher", "speechd.conf"), "w") as speechd:
            speechd.write('AudioOutputMethod "libao"\nDefaultModule espeak-ng\n'
                          'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\nTimeout 0\n')
        session.env.update(HOME=home, XDG_CONFIG_HOME=config)
        self.log = os.path.join(session.workdir, "orca.log")
        prefs = os.path.join(session.workdir, "orca-prefs")
        os.mkdir(prefs)
        self.process = session.spawn([sys.executable, "-c", ORCA, "-u", prefs, "--debug-file", self.log],
                                     env=session.env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.heard = 0
        self.until("Orca to start", "Screen reader on.")

    def alive(self):
        if self.process.poll() is not None:
            raise Failure(f"Orca ended with status {self.process.returncode}")

    def said(self):
        """Everything Orca has said so far, but the keys it echoed."""
        if not os.path.exists(self.log):
            return []
        with open(self.log, errors="replace") as log:
            found = (SPEECH.search(line) for line in log)
            return [said.group(1).rstrip() for said in found
                    if said and not (said.group(1).endswith(" ") and not said.group(2))]

    def until(self, what, wanted, timeout=30):
        """What Orca said since the last call, once it has said wanted: an
        utterance, or a test of the list of utterances."""
        def heard():
            self.alive()
            new = self.said()[self.heard:]
            return new if (wanted(new) if callable(wanted) else wanted in new) else None
        try:
            new = wait_for(what, heard, timeout)
        except Failure as failure:
            raise Failure(f"{failure}; Orca said {self.said()[self.heard:]}")
        self.heard += len(new)
        return new

    def quiet(self, seconds=1.5):
        """What Orca says in the next seconds, when nothing more is asked of it."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.alive()
            time.sleep(0.05)
        new = self.said()[self.heard:]
        self.heard += len(new)
        return new

    def press(self, *keys):
        for key in keys:
            self.session.xdo("key", key)

    def click(self, what, said, move_pointer=False):
        """Orca's click on the item under review, the pointer moved there first
        or not, its key held until Orca has said what the click did, as a
        person's finger stays on the key a moment."""
        if move_pointer:
            self.press(MOVE_POINTER_THERE)
        self.session.xdo("keydown", CLICK)
        try:
            return self.until(what, said)
        finally:
            self.session.xdo("keyup", CLICK)

    def say_next(self, *keys):
        """Presses keys, the last of which Orca answers by saying one thing,
        and returns the last thing it said once it has fallen silent: on a
        busy machine Orca may still be answering an earlier key."""
        self.press(*keys)
        new = self.until(f"Orca to answer {keys[-1]}", bool)
        while more := self.quiet(0.25):
            new += more
        return new[-1]

    def review_line(self, containing):
        """Flat review, from the top of the window down to the first line containing this."""
        self.quiet(0.5)
        line = self.say_next(TOP_OF_WINDOW)
        for _ in range(30):
            if containing in line:
                return line
            line = self.say_next(NEXT_LINE)
        raise Failure(f"flat review found no line containing {containing!r}")

    def review_word(self, starting):
        """Flat review, word by word along the line, to the word or item starting with this."""
        for _ in range(60):
            word = self.say_next(NEXT_WORD)
            if word.startswith(starting):
                return word
        raise Failure(f"flat review found no word starting {starting!r} on its line")


def notification(text):
    """A test that Orca said a notification starting with text."""
    return lambda new: any(said.startswith("notification " + text) for said in new)


def said_once(new, text, what):
    times = sum(text in said for said in new)
    if times != 1:
        raise Failure(f"{what}: Orca said {text!r} {times} times: {new}")


class Table:
    """The table as Orca reads it, and what the places hold, over AT-SPI."""

    def __init__(self, session, reader, client):
        self.session = session
        self.reader = reader
        self.controls = client.controls()
        self.status = self.controls["Status"].queryText()

    def places(self):
        group = self.controls["Card table"].getChildAtIndex(0)
        return [group.getChildAtIndex(i).name.split(": ")[1] for i in range(group.childCount)]

    def expect_places(self, wanted, after):
        if self.places() != wanted:
            raise Failure(f"after {after} the places hold {self.places()}, expected {wanted}")

    def tab_to(self, name):
        """Tabs on until Orca says the control named."""
        for _ in range(6):
            self.reader.press("Tab")
            new = self.reader.until("the focus to move on", lambda new: any(
                said.endswith(("push button.", "text.")) for said in new))
            if any(said.startswith(name) for said in new):
                return
        raise Failure(f"Tab never reached {name}")


EMPTY = ["empty"] * 7
PLACES = ["hole card 1", "hole card 2", "community card 1", "community card 2", "community card 3",
          "community card 4", "community card 5"]


def start_orca(session):
    """Orca, reading the window once a window manager has given it the focus, as on a desktop."""
    session.spawn(["openbox", "--sm-disable"], env=session.env, stdin=subprocess.DEVNULL,
                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    reader = Orca(session)
    wait_for("openbox to manage the window", lambda: session.run(
        "xprop", "-root", "_NET_SUPPORTING_WM_CHECK").returncode == 0 and b"window id" in session.run(
        "xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout, 10)
    session.xdo("windowactivate", "--sync", session.window)
    reader.until("Orca to read the window as it takes the focus", "Quillan frame.")
    return reader


def one_click_one_card(reader, table):
    """One click command, one card: each card of the clubs row goes into the
    next place. The first is clicked with the pointer left elsewhere, where
    Orca falls back to clicking the card's middle and to its action, each a
    pick of the same card; the others with the pointer moved there first."""
    clubs = ["two", "three", "four", "five", "six", "seven"]
    reader.review_line("two of clubs")
    for number, rank in enumerate(clubs):
        if number:
            reader.review_word(rank)
        new = reader.click(f"the pick of the {rank} of clubs", notification(
            f"{rank.capitalize()} of clubs in {PLACES[number]}. Next card: {PLACES[number + 1]}."),
                           move_pointer=number > 0)
        said_once(new + reader.quiet(), f"{rank.capitalize()} of clubs in", f"one click on the {rank} of clubs")
        table.expect_places([f"{r} of clubs" for r in clubs[:number + 1]] + EMPTY[number + 1:],
                            f"one click on the {rank} of clubs")


def clear_cards_and_warning(reader, table):
    """Clear Cards: the emptied table and the prompt, whole; then the
    hole-card warning, said once, which its OK closes."""
    table.tab_to("Clear Cards push button")
    reader.press("space")
    reader.until("Clear Cards", notification(
        "All places empty. Next card: hole card 1. "
        "Select cards. Make sure the number of players in this round is correct."))
    table.expect_places(EMPTY, "Clear Cards")

    table.tab_to("Play Hands push button")
    reader.press("space")
    new = reader.until("the hole-card warning", "OK push button.")
    said_once(new, "Select your hole cards.", "the hole-card warning")
    reader.press("Return")
    reader.until("the warning to close", lambda new: any(said.startswith("Status text") for said in new))


def hole_cards_and_place(reader, table):
    """The hole cards, the pointer moved onto each first, then a place chosen."""
    # Review from a button: where Orca answers a key late, Qt gives the key
    # to the focused control too, and a box would take it as typing.
    table.tab_to("Play Hands push button")
    reader.review_line("two of spades")
    reader.review_word("three")
    reader.click("the three of spades", notification("Three of spades in hole card 1. Next card: hole card 2."),
                 move_pointer=True)
    reader.review_line("two of diamonds")
    reader.click("the two of diamonds", notification("Two of diamonds in hole card 2. Next card: community card 1."),
                 move_pointer=True)
    reader.review_line("Community card 1")
    reader.review_word("Community card 3")
    reader.click("the place chosen", notification("Next card: community card 3."))
    table.expect_places(["three of spades", "two of diamonds"] + EMPTY[2:], "the place chosen")


def pointer_says_nothing(session, reader):
    """A pointer moved over the sheet raises cards and says nothing."""
    reader.quiet(0.5)
    for card in session.places.row(1):
        session.move_to(session.places.pick(card))
    if any(said.startswith("notification") for said in reader.quiet()):
        raise Failure("a pointer moved over the sheet was announced")


def two_runs(reader, table):
    """Two runs: each result said once, all three figures together."""
    for run in ("first", "second"):
        table.tab_to("Play Hands push button")
        reader.press("space")
        new = reader.until(f"the {run} run's result", lambda new: any("Win Chance" in said for said in new), 60)
        new += reader.quiet()
        said_once(new, "Win Chance", f"the {run} run")
        figures = table.status.getText(0, -1)
        if not run_ended(figures):
            raise Failure(f"the status box reads {figures!r} after the {run} run")
        spoken = "notification " + ", ".join(figures.splitlines())
        if spoken not in new:
            raise Failure(f"the {run} run's figures {figures!r} were said as {new}")


def count_warning(session, reader, table):
    """The count's warning, said once."""
    table.tab_to("Number of players text")
    session.xdo("type", "11")
    reader.press("Tab")
    new = reader.until("the count's warning", "OK push button.")
    said_once(new, "Must be a number between 2 and 10", "the count's warning")
    reader.press("Return")
    reader.until("the count's warning to close", lambda new: any("Number of players" in said for said in new))


def double_click(session, reader, table):
    """A person's double click on a card still moves it on."""
    reader.quiet(0.5)
    session.xdo("mousemove", "--window", session.window, *session.places.pick("AS"), "click", "--repeat", "2",
                "--delay", "120", "1")
    reader.until("the double click's second pick", notification("Ace of spades in community card 4."), 10)
    table.expect_places(["three of spades", "two of diamonds", "empty", "empty", "empty", "ace of spades", "empty"],
                        "a double click on the ace of spades")


# Orca answers slowly on a busy machine: it runs alone.
@scenario(start={"accessible": True}, python="system", needs=["orca"], keep=["orca.log"], timeout=240, serial=True)
def orca(session):
    """A hand played with Orca's keys alone: picks by flat review and its
    click, with and without the pointer moved there, a place chosen, two runs,
    Clear Cards and both warnings, each checked against what Orca said and
    what the table holds."""
    # The test's own client joins the accessibility bus before Orca starts:
    # with one that connects while Orca runs, some of Orca's later key
    # commands never reach it as commands, and it echoes its click key as a
    # slash typed.
    client = AtSpiClient(session)
    reader = start_orca(session)
    table = Table(session, reader, client)
    one_click_one_card(reader, table)
    clear_cards_and_warning(reader, table)
    hole_cards_and_place(reader, table)
    pointer_says_nothing(session, reader)
    two_runs(reader, table)
    count_warning(session, reader, table)
    double_click(session, reader, table)
    output = session.app_output()
    if output.strip():
        raise Failure("Quillan printed while Orca read it:\n" + output)
