# SPDX-License-Identifier: MIT
"""Where things are in Quillan's window, in client pixels, as the program
itself places them: e2e_places prints them from window/layout.h and
table/table.h, and the test reads them once per session. Controls are named
as assistive technology names them ("Play Hands", "Number of players",
"Status"), cards by their codes ("AS", "0H", "KD"), slots by number, 1 and 2
the hole cards, 3 to 7 the community cards."""

from collections import namedtuple

Rect = namedtuple("Rect", "x y width height")


class Places:
    """The places, from what e2e_places printed, parsed."""

    def __init__(self, places):
        self._places = places
        self.window = (places["window"]["width"], places["window"]["height"])
        self.card_size = (places["card"]["width"], places["card"]["height"])
        self.raised_lift = places["card"]["raised_lift"]
        self.bare_table = tuple(places["bare_table"])  # hovers no card, shows no slot or control
        self.table_green = bytes(places["table_green"])  # as a screenshot's RGB pixel

    def control(self, name):
        place = self._places["controls"][name]
        return Rect(place["x"], place["y"], place["width"], place["height"])

    def center(self, name):
        return tuple(self._places["controls"][name]["center"])

    def inside(self, name, dx, dy):
        """A point dx, dy pixels in from a control's top-left corner, or for a
        negative dx or dy, in from its right or bottom edge."""
        x, y, width, height = self.control(name)
        return (x + dx if dx >= 0 else x + width + dx, y + dy if dy >= 0 else y + height + dy)

    def slot(self, number):
        """The top-left corner of a slot."""
        slot = self._places["slots"][number - 1]
        return (slot["x"], slot["y"])

    def corner(self, card):
        """The top-left corner of a card of the sheet at rest."""
        cell = self._places["sheet"][card]
        return (cell["x"], cell["y"])

    def pick(self, card):
        """A point where a release picks the card: the middle of the part of it
        no other card covers."""
        return tuple(self._places["sheet"][card]["pick"])

    def row(self, number):
        """The codes of a row of the sheet, two to ace: 1 spades, 2 hearts, 3 clubs, 4 diamonds."""
        return [card for card, cell in self._places["sheet"].items() if cell["row"] == number]
