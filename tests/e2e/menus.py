# SPDX-License-Identifier: MIT
"""Driving the game's menus as a player does: Alt+letter to open, the mouse to choose (on X).

A popup menu is a window of its own; it is found as the newly mapped top-level window and
its items are found as the bands of text in a screenshot of it, top to bottom.
"""

import time

import image
from session import wait_until

PARKED = (1015, 760)  # a pointer position off the game window and off every popup


def _close_colour(a, b):
    return sum(abs(x - y) for x, y in zip(a, b)) <= 60


class Popup:
    def __init__(self, window, rect, shot, items):
        self.window, self.rect, self.shot, self.items = window, rect, shot, items
        self.background = _background(shot, rect)

    def ink(self, row):
        """Pixels of a row that are not the menu's background colour."""
        return self.shot.count(row, lambda p: not _close_colour(p, self.background))

    def rows(self):
        """The rectangles of the popup's items, found as bands of text in its screenshot.

        If the bands cannot be told apart, the popup's height is divided evenly: menu
        items of one line of text are all the same height.
        """
        r, expected = self.rect, self.items
        inside = image.Rect(r.x0 + 3, r.y0 + 3, r.x1 - 3, r.y1 - 3)
        inked = [
            any(not _close_colour(self.shot.pixel(x, y), self.background)
                for x in range(inside.x0, inside.x1 + 1))
            for y in range(inside.y0, inside.y1 + 1)
        ]
        bands, start = [], None
        for i, on in enumerate(inked + [False]):
            if on and start is None:
                start = i
            elif not on and start is not None:
                if i - start >= 3:
                    bands.append((inside.y0 + start, inside.y0 + i - 1))
                start = None
        if len(bands) == expected:
            # Each item spans from halfway to the band above to halfway to the band below.
            edges = [r.y0] + [(a[1] + b[0]) // 2 for a, b in zip(bands, bands[1:])] + [r.y1]
            return [image.Rect(r.x0, edges[i] + (i > 0), r.x1, edges[i + 1])
                    for i in range(expected)]
        step = (r.y1 - r.y0 + 1) / expected
        return [image.Rect(r.x0, r.y0 + round(i * step), r.x1, r.y0 + round((i + 1) * step) - 1)
                for i in range(expected)]


def _background(shot, rect):
    counts = {}
    for _, _, p in shot.pixels(rect):
        counts[p] = counts.get(p, 0) + 1
    return max(counts, key=counts.get)


class Menus:
    def __init__(self, game):
        self.game = game
        self.session = game.session

    def _others(self):
        return {w: r for w, r in self.session.toplevels().items() if w != self.game.window}

    def _settled(self, window, rect, items, timeout=10):
        """A screenshot once the popup has been painted and stays the same."""
        last = None
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            shot = self.session.grab()
            crop = [shot.row(y, rect.x0, rect.x1) for y in range(rect.y0, rect.y1 + 1)]
            if crop == last and len(set(crop)) > 1:
                return Popup(window, rect, shot, items)
            last = crop
            time.sleep(0.1)
        raise AssertionError(f"the popup at {rect} was never painted steadily")

    def _new_popup(self, known, what, items, timeout=10):
        found = wait_until(lambda: {w: r for w, r in self._others().items() if w not in known},
                           timeout)
        if not found:
            raise AssertionError(f"{what} did not open within {timeout} s")
        window, rect = next(iter(found.items()))
        return self._settled(window, rect, items)

    def open(self, letter, what, items):
        """Opens a menu of the menu bar with Alt+letter, the pointer parked out of the way."""
        self.session.pointer(*PARKED)
        self.game.focus()
        known = self._others()
        self.game.keys(f"alt+{letter}")
        return self._new_popup(known, what, items)

    def hover(self, popup, row, what, items):
        """Rests the pointer on an item that opens a submenu and returns the submenu."""
        known = self._others()
        x, y = _centre(popup.rows()[row], popup)
        self.session.pointer(x, y)
        return self._new_popup(known, what, items)

    def click(self, popup, row):
        x, y = _centre(popup.rows()[row], popup)
        self.session.pointer(x, y)
        time.sleep(0.1)  # let the menu see the pointer on the item before the press
        self.session.click()

    def close_all(self, timeout=5):
        """Escape until no popup is left open; True when none is."""
        deadline = time.monotonic() + timeout
        while self._others() and time.monotonic() < deadline:
            self.game.keys("Escape")
            time.sleep(0.15)
        return not self._others()

    def wait_closed(self, timeout=10):
        return wait_until(lambda: not self._others(), timeout)


def _centre(row, popup):
    # The left third of an item is its check column and text: never the submenu arrow.
    return popup.rect.x0 + (popup.rect.x1 - popup.rect.x0) // 3, (row.y0 + row.y1) // 2
