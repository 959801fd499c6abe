# SPDX-License-Identifier: MIT
"""Quillan's window as assistive technology in its session reads it, over
AT-SPI with Debian's pyatspi: its elements, their texts and actions, and the
events it sends unasked."""

from session import wait_for


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def text_of(node):
    return node.queryText().getText(0, -1)


def act(node):
    node.queryAction().doAction(0)  # "Press"


class AtSpiClient:
    def __init__(self, session):
        self.session = session
        self.pyatspi = session.pyatspi()
        from gi.repository import GLib
        self.context = GLib.MainContext.default()
        self.events = []  # (type, source's name, data) of each event heard, once listening

    def application(self):
        for app in self.pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.session.app.pid:
                return app

    def app(self):
        return wait_for("Quillan on the accessibility bus", self.application, 15)

    def frame(self):
        """The main window, once Quillan is on the bus."""
        return next(child for child in children(self.app()) if child.name == "Quillan")

    def controls(self, frame=None):
        """The main window's children by name."""
        return {child.name: child for child in children(frame or self.frame())}

    def listen(self):
        """Keeps every event of the window's elements in events from now on."""
        self.pyatspi.Registry.registerEventListener(
            lambda event: self.events.append((event.type, event.source.name if event.source else None,
                                              event.any_data)), "object")

    def pump(self):
        """Hands the events that have arrived to the listener."""
        while self.context.pending():
            self.context.iteration(False)

    def settled(self, what, check, timeout=15):
        """Waits for check() to hold, the events that arrive meanwhile heard."""
        def pumped():
            self.pump()
            return check()
        return wait_for(what, pumped, timeout)

    def answered(self):
        """Lets every event Quillan sent for what was just done arrive: it
        answers calls in the order they come, after what it did on the calls
        before, and sends each event before its next answer, so once a
        question asked now is answered, the events are here to hear."""
        text_of(self.controls()["Status"])
        self.pump()

    def pressed(self, node):
        return node.getState().contains(self.pyatspi.STATE_PRESSED)

    def checked(self, node):
        return node.getState().contains(self.pyatspi.STATE_CHECKED)
