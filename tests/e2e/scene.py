# SPDX-License-Identifier: MIT
"""Where things are in the game's scene (pixels of the 727x503 client area) and what a
screenshot of it shows.
"""

import re

import image
from session import CLIENT_HEIGHT, CLIENT_WIDTH, HULL, wait_until

FLAME = (345, 206, 359, 242)  # under the cabin floor, where the flame burns
PROMPT = (296, 144, 409, 161)  # lblPause, "Press 'P' to start" or "Paused"
# The four readouts, fuel at the top and score at the bottom, 24 pixels apart.
READOUTS = [("fuel", (8, 8, 89, 25)), ("thrust", (8, 32, 89, 49)),
            ("height", (8, 56, 89, 73)), ("score", (8, 80, 89, 97))]
# A box is drawn over the scene, centred across it: this column of the scene crosses it from
# its title strip to its bottom edge, and the lines of its text.
CENTRE_COLUMN = (CLIENT_WIDTH // 2, 0, CLIENT_WIDTH // 2, CLIENT_HEIGHT - 1)
BOX_HEIGHT = 30  # a box is at least this tall; the terrain and the texts cross in a few pixels
GLYPH = 12  # a letter is at most this tall: the dark of a text line is not the black around


def _runs(rgb, pick, floor, gap=0):
    """[(first, last)] pixel indices of each run of RGB pixels whose pick (max or min) of
    their channels is at least floor; runs apart by `gap` pixels or fewer count as one."""
    values = bytes(map(pick, rgb[0::3], rgb[1::3], rgb[2::3]))
    runs = []
    for m in re.finditer(b"[%c-\xff]+" % floor, values):
        if runs and m.start() - runs[-1][1] - 1 <= gap:
            runs[-1] = (runs[-1][0], m.end() - 1)
        else:
            runs.append((m.start(), m.end() - 1))
    return runs


def _longest(runs, at_least):
    longest = max(runs, key=lambda r: r[1] - r[0], default=(0, -1))
    return longest if longest[1] - longest[0] + 1 >= at_least else None


def box_span(column):
    """(first, last) index of a box's pixels in the centre column (RGB bytes, top to bottom),
    or None: the longest run of pixels that are not black, the dark of its text included."""
    return _longest(_runs(column, max, 60, GLYPH), BOX_HEIGHT)


def box_shown(game):
    """Whether a box is up over the scene, from one column of pixels (fast enough to time)."""
    return box_span(game.session.pixels(game.rect(*CENTRE_COLUMN))) is not None


class View:
    """One screenshot, read in scene coordinates."""

    def __init__(self, game, shot=None):
        self.game = game
        self.shot = shot or game.session.grab()

    def count(self, area, test):
        return self.shot.count(self.game.rect(*area), test)

    def hull_white(self):
        return self.count(HULL, image.is_white)

    def hull_red(self):
        return self.count(HULL, image.is_red)

    def hull_points(self):
        return self.shot.points(self.game.rect(*HULL), image.is_white)

    def flame(self):
        return self.count(FLAME, image.is_red)

    def prompt(self):
        return self.count(PROMPT, image.is_red)

    def paused(self, start_view):
        """"Paused" is shorter than the start prompt: fewer red pixels, but some."""
        return 0 < self.prompt() < start_view.prompt() * 0.7

    def readout_changes(self, other, name):
        """Pixels of a readout's box ("fuel", ...) that differ from an earlier view."""
        return self.shot.differing(other.shot, self.game.rect(*dict(READOUTS)[name]))

    def readout_faults(self):
        """What is wrong with the readouts' boxes: light grey, with dark text inside."""
        faults = []
        for name, (x0, y0, x1, y1) in READOUTS:
            inner = (x0 + 2, y0 + 2, x1 - 2, y1 - 2)
            area = image.Rect(*inner).area()
            light, dark = self.count(inner, image.is_light), self.count(inner, image.is_dark)
            if light < area // 2:
                faults.append(f"{name} box is not light ({light} of {area} pixels light)")
            elif dark < 6:
                faults.append(f"{name} box holds no text ({dark} dark pixels)")
        return faults

    def box(self):
        """The screen rectangle of a box drawn over the scene, or None: found where it crosses
        the centre column; its width is that of the widest run of light pixels there (a row
        of its margin), its height that of the pixels that are not black down its left
        margin, where no text is."""
        client = self.game.client
        centre = self.game.rect(*CENTRE_COLUMN).x0
        span = box_span(self._column(centre))
        if not span:
            return None
        light = [run for y in range(client.y0 + span[0], client.y0 + span[1] + 1)
                 for run in _runs(self.shot.row(y, client.x0, client.x1), min, 150)  # is_light
                 if run[0] <= centre - client.x0 <= run[1]]
        if not light:
            return None
        x0, x1 = (client.x0 + x for x in max(light, key=lambda r: r[1] - r[0]))
        middle = (span[0] + span[1]) // 2
        edge = [run for run in _runs(self._column(x0 + 2), max, 60) if run[0] <= middle <= run[1]]
        return image.Rect(x0, client.y0 + edge[0][0], x1, client.y0 + edge[0][1]) if edge else None

    def _column(self, x):
        """A column of the scene as RGB bytes, top to bottom."""
        return b"".join(self.shot.row(y, x, x) for y in range(self.game.client.y0,
                                                                self.game.client.y1 + 1))

    def box_faults(self, frame):
        """What a box whose frame is on the screen at `frame` hides or gets wrong: it must
        leave the hull and the readouts in view, centred across the scene."""
        faults = []
        covered = [name for name, area in [("hull", HULL)] + READOUTS
                   if frame.overlaps(self.game.rect(*area))]
        if covered:
            faults.append(f"the box at {frame} hides the {', '.join(covered)}")
        centre, scene = (frame.x0 + frame.x1) / 2, self.game.client
        if abs(centre - (scene.x0 + scene.x1) / 2) > 2:
            faults.append(f"the box at {frame} is not centred across the scene at {scene}")
        return faults

    def changed_since(self, other, holes=()):
        """Pixels of the scene that differ from an earlier view, outside the holes."""
        return self.shot.differing(other.shot, self.game.client, holes)


def wait_view(game, condition, timeout):
    """The first view for which condition(view) holds, or None after timeout seconds."""
    def look():
        view = View(game)
        return view if condition(view) else None
    return wait_until(look, timeout, 0.05)


def hull_moved(before, after):
    """How many white hull pixels appeared or vanished between two views."""
    return len(before.hull_points() ^ after.hull_points())
