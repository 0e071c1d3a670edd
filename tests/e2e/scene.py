# SPDX-License-Identifier: MIT
"""Where things are in the game's scene (pixels of the 727x503 client area) and what a
screenshot of it shows.
"""

import image
from session import HULL, wait_until

FLAME = (345, 206, 359, 242)  # under the cabin floor, where the flame burns
PROMPT = (296, 144, 409, 161)  # lblPause, "Press 'P' to start" or "Paused"
# The four readouts, fuel at the top and score at the bottom, 24 pixels apart.
READOUTS = [("fuel", (8, 8, 89, 25)), ("thrust", (8, 32, 89, 49)),
            ("height", (8, 56, 89, 73)), ("score", (8, 80, 89, 97))]


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
