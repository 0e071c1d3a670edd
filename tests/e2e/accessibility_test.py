#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The game's window as a screen reader finds it: the accessibility tree and events read
through AT-SPI, on a private Xvfb and a private session bus.

    dbus-run-session -- accessibility_test.py PATH/TO/vandrel

One game: the readouts and the prompt are found with their texts where they are painted; a
flight steered by the height it reads lands, the score it announces is read back, and the
'Landed!' box is an alert holding its title and prompt. Prints one line a check and a
closing "N passed, N failed" line; exits 1 when a check failed.
"""

import os
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from session import CLIENT_HEIGHT, CLIENT_WIDTH, Game, wait_until  # noqa: E402
from window_test import run_checks  # noqa: E402
from xsession import XSession  # noqa: E402

# After xsession: an interpreter other than Debian's finds Debian's packages from there on.
import pyatspi  # noqa: E402
from gi.repository import GLib  # noqa: E402

START_TEXTS = ["Fuel: 500", "Thrust: 1.5", "Height: 60", "Score: ", "Press 'P' to start"]
# Under Low gravity at the least thrust the ship falls freely to this height, then brakes
# with the engine down to the next, and touches the flat ground at about 45.6 slowly enough
# to land (worked out with vandrel-trace: any start of the burn from 54 to 47 lands).
BURN_FROM, BURN_TO = 53.5, 47.5
READOUT_RATE = 5  # announcements a second, at most, of one readout


def value(readout):
    """The figure of a readout: 'Height: 52,3' is 52.3."""
    return float(readout.split(": ", 1)[1].replace(",", "."))


class AccessibilityChecks:
    def __init__(self, session, program):
        self.session = session
        session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.game = Game(session, program)
        self.heard = []  # (seconds, role, name) of every name change announced
        self.app = wait_until(self._app, 20, 0.2)
        if not self.app:
            raise RuntimeError("the game never appeared on the accessibility bus")
        # Only once the game is on the bus: it learns of the listeners that come later, but
        # one that came while it started up may pass it by.
        pyatspi.Registry.registerEventListener(self._hear,
                                               "object:property-change:accessible-name")

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._hear,
                                                 "object:property-change:accessible-name")
        self.game.close()

    def checks(self):
        return [
            ("the scene offers the readouts and the prompt, top down, where they are painted",
             self.start_screen),
            ("a flight steered by the height read lands; the score is announced and read back",
             self.landing),
            ("the 'Landed!' box is an alert with its title and prompt; Return answers it",
             self.box),
        ]

    def _hear(self, event):
        self.heard.append((time.monotonic(), event.source.getRoleName(), event.source.name))

    def _pump(self, seconds=0.0):
        """Delivers the events that came, for `seconds` at least."""
        end = time.monotonic() + seconds
        context = GLib.MainContext.default()
        while True:
            while context.iteration(False):
                pass
            if time.monotonic() >= end:
                return
            time.sleep(0.01)

    def _app(self):
        desktop = pyatspi.Registry.getDesktop(0)
        return next((a for a in desktop if a is not None and a.name == "Vandrel"), None)

    def _frame(self):
        return next(w for w in self.app if w is not None and w.getRoleName() == "frame")

    def _scene(self):
        return next(c for c in self._frame() if c.getRoleName() == "canvas")

    def _labels(self):
        return {c.name.split(":")[0]: c for c in self._scene() if c.getRoleName() == "label"}

    def _alerts(self):
        return [c for c in self._scene() if c.getRoleName() == "alert"]

    def start_screen(self):
        scene = self._scene()
        texts = [label.name for label in scene]
        assert texts == START_TEXTS, f"the scene's labels read {texts}"
        assert all(label.getRoleName() == "label" for label in scene)
        client = self.game.client
        for label in scene:
            box = label.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            assert 0 < box.width < CLIENT_WIDTH and 0 < box.height < CLIENT_HEIGHT, \
                f"{label.name!r} is {box.width}x{box.height}"
            assert client.x0 <= box.x and box.x + box.width - 1 <= client.x1 and \
                client.y0 <= box.y and box.y + box.height - 1 <= client.y1, \
                f"{label.name!r} at {box.x},{box.y} lies outside the scene {client}"

    def _choose(self, name):
        item = pyatspi.findDescendant(self._frame(),
                                      lambda a: a.getRoleName() == "menu item" and a.name == name)
        assert item, f"no menu item {name!r}"
        item.queryAction().doAction(0)

    def landing(self):
        self._choose("Low")
        self.game.focus()
        self.session.keys("Down", "Down", "p")  # the least thrust; start
        assert wait_until(lambda: len(self._scene()) == 4, 5), "P left the prompt up"
        height = self._labels()["Height"]
        started = time.monotonic()
        self.heard.clear()
        for low, down in ((BURN_FROM, True), (BURN_TO, False)):
            reached = wait_until(lambda: value(height.name) <= low, 30, 0.02)
            assert reached, f"the height read {height.name!r}, never {low} in 30 s"
            self.session.key("space", down)
        assert wait_until(self._alerts, 20), "no box came"
        flown = time.monotonic() - started
        self._pump(0.5)

        score = self._labels()["Score"].name
        assert score != "Score: " and value(score) > 0, f"the score reads {score!r}"
        announced = [name for _, _, name in self.heard if name.startswith("Score")]
        assert announced, "the score's change was not announced"
        heights = [t for t, _, name in self.heard if name.startswith("Height")]
        assert 2 <= len(heights) <= READOUT_RATE * flown + 1, \
            f"{len(heights)} announcements of the height in a {flown:.1f} s flight"

    def box(self):
        alerts = self._alerts()
        assert len(alerts) == 1, f"{len(alerts)} alerts are up"
        alert = alerts[0]
        assert alert.name == "Landed!", f"the alert is titled {alert.name!r}"
        prompt = "Great Sucsess!\nPress 'R' to reset"
        assert alert.description == prompt, f"the alert is described as {alert.description!r}"
        shown = [a.name for a in pyatspi.findAllDescendants(alert, lambda a: a.name)]
        assert prompt in shown and "OK" in shown, f"the alert holds {shown}"
        self.session.keys("Return")
        assert wait_until(lambda: not self._alerts(), 10), "Return left the box up"


def main(argv):
    if len(argv) < 2 or not os.access(argv[1], os.X_OK):
        print(f"usage: dbus-run-session -- {argv[0]} PATH/TO/vandrel", file=sys.stderr)
        return 2
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        print(f"{argv[0]}: no session bus: run it under dbus-run-session", file=sys.stderr)
        return 2
    return run_checks(XSession, "x11", lambda session, tally: tally.run_all(
        lambda: AccessibilityChecks(session, argv[1])))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
