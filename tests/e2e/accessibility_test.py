#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The game's window as a screen reader finds it and as a blind player hears it: the
accessibility tree read through AT-SPI, and Orca itself, on a private Xvfb and a private
session bus.

    dbus-run-session -- accessibility_test.py PATH/TO/vandrel PATH/TO/orca

One game, with Orca listening from its start: the readouts and the prompt are found with
their texts where they are painted; a flight steered by the height it reads lands, and the
'Landed!' box is an alert holding its title and prompt. What Orca says is read from its debug
file: the start prompt when the scene takes the keyboard, "Paused" after P and P, the height
while flying, at most about once a second, the score, the box's title and prompt, and the
start prompt again after R. Prints one line a check and a closing "N passed, N failed" line;
exits 1 when a check failed.
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from session import CLIENT_HEIGHT, CLIENT_WIDTH, Game, die_with_parent, wait_until  # noqa: E402
from window_test import run_checks  # noqa: E402
from xsession import XSession  # noqa: E402

# After xsession: an interpreter other than Debian's finds Debian's packages from there on.
import pyatspi  # noqa: E402

START_TEXTS = ["Fuel: 500", "Thrust: 1.5", "Height: 60", "Score: ", "Press 'P' to start"]
# Under Low gravity at the least thrust the ship falls freely to this height, then brakes
# with the engine down to the next, and touches the flat ground at about 45.6 slowly enough
# to land (worked out with vandrel-trace: any start of the burn from 54 to 47 lands).
BURN_FROM, BURN_TO = 53.5, 47.5
HEIGHT_PAUSE = 1.0  # seconds from anything said to the height said after it
START = "Press 'P' to start"


def value(readout):
    """The figure of a readout: 'Height: 52,3' is 52.3."""
    return float(readout.split(": ", 1)[1].replace(",", "."))


# Orca 43 writes its debug file through a buffer and leaves it unwritten until it exits; run
# through these lines, it writes each line as it comes. Another Orca of the same user, in
# another session, is none of this one's business.
FLUSHED_ORCA = """
import runpy, sys
orca = runpy.run_path(sys.argv[1], run_name="orca_launcher")
debug = sys.modules["orca.debug"]
println = debug.println
def flushed(*args, **kwargs):
    println(*args, **kwargs)
    debug.debugFile and debug.debugFile.flush()
debug.println = flushed
orca["otherOrcas"] = lambda: []
sys.argv = sys.argv[1:]
sys.exit(orca["main"]())
"""
UTTERANCE = re.compile(r"^(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*?)' ?\{", re.M | re.S)


class ScreenReader:
    """Orca in a home of its own, its speech on a null sound device, every utterance in its
    debug file; said() reads them back as (seconds, text)."""

    def __init__(self, session, orca):
        self._home = tempfile.TemporaryDirectory(prefix="vandrel-orca-")
        home = self._home.name
        # Without a sound device speech-dispatcher hangs, and Orca falls silent after its
        # first words.
        os.makedirs(os.path.join(home, ".config", "speech-dispatcher"))
        with open(os.path.join(home, ".asoundrc"), "w") as asoundrc:
            asoundrc.write("pcm.!default { type null }\n")
        with open(os.path.join(home, ".config", "speech-dispatcher", "speechd.conf"), "w") as conf:
            conf.write('AudioOutputMethod "alsa"\n')
        self._runtime = session.env["XDG_RUNTIME_DIR"]
        env = dict(session.env, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                   XDG_CACHE_HOME=os.path.join(home, ".cache"), GSETTINGS_BACKEND="memory")
        self.log = os.path.join(home, "orca.debug")
        with open(orca, "rb") as script:
            python = script.readline()[2:].decode().strip()  # its own interpreter, from #!
        self._output = open(os.path.join(home, "orca.out"), "w+")
        self.process = subprocess.Popen(
            [python, "-c", FLUSHED_ORCA, orca, "--debug-file", self.log], env=env,
            stdin=subprocess.DEVNULL, stdout=self._output, stderr=subprocess.STDOUT,
            preexec_fn=die_with_parent)
        if not wait_until(lambda: self.heard("Screen reader on"), 30, 0.1):
            self._output.seek(0)
            output = self._output.read().strip()
            self.close()
            raise RuntimeError("Orca never said it was on" + (f":\n{output}" if output else ""))

    def said(self):
        try:
            with open(self.log, errors="replace") as log:
                text = log.read()
        except FileNotFoundError:
            return []
        heard, day = [], 0
        for hours, minutes, seconds, words in UTTERANCE.findall(text):
            at = 3600 * int(hours) + 60 * int(minutes) + float(seconds) + day
            if heard and at < heard[-1][0] - 43200:  # past midnight
                day += 86400
                at += 86400
            # Orca ends a sentence with a full stop of its own, and indents a line's followers.
            heard.append((at, re.sub(r"\n +", "\n", words).removesuffix(".")))
        return heard

    def heard(self, words, since=None):
        """The time Orca said `words` (all of an utterance), after `since` if given."""
        return next((at for at, said in self.said()
                     if said == words and (since is None or at > since)), None)

    def now(self):
        """Orca's time of its last utterance, to tell what it says from now on."""
        said = self.said()
        return said[-1][0] if said else 0.0

    def close(self):
        # Orca's handler of SIGTERM runs only when Python next runs: a second signal, and then
        # SIGKILL, end it when nothing wakes it. The flushed debug file has lost nothing.
        for end in (signal.SIGTERM, signal.SIGTERM, signal.SIGKILL):
            if self.process.poll() is not None:
                break
            self.process.send_signal(end)
            try:
                self.process.wait(1)
            except subprocess.TimeoutExpired:
                pass
        self.process.wait()
        # The speech server Orca started outlives it by seconds; it is ended at once.
        try:
            with open(os.path.join(self._runtime, "speech-dispatcher", "pid",
                                   "speech-dispatcher.pid")) as pid:
                os.kill(int(pid.read()), signal.SIGTERM)
        except (FileNotFoundError, ProcessLookupError, ValueError):
            pass
        self._output.close()
        self._home.cleanup()


class AccessibilityChecks:
    def __init__(self, session, program, orca):
        self.session = session
        session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        # Orca first, so that it hears the game's window come and take the keyboard.
        self.reader = ScreenReader(session, orca)
        self.game = None
        try:
            self.game = Game(session, program)
            self.app = wait_until(self._app, 20, 0.2)
            if not self.app:
                raise RuntimeError("the game never appeared on the accessibility bus")
        except Exception:
            self.close()
            raise

    def close(self):
        if self.game:
            self.game.close()
        self.reader.close()

    def checks(self):
        return [
            ("Orca says the scene's name and the start prompt as it takes the keyboard",
             self.focus),
            ("the scene offers the readouts and the prompt, top down, where they are painted",
             self.start_screen),
            ("P, then P: Orca says 'Paused'", self.pause),
            ("a flight steered by the height read lands; Orca says the height at most about "
             "once a second, and the score", self.landing),
            ("the 'Landed!' box is an alert with its title and prompt, which Orca says; Return "
             "answers it", self.box),
            ("R: Orca says the start prompt again", self.reset),
        ]

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

    def _hears(self, words, since, what):
        assert wait_until(lambda: self.reader.heard(words, since), 10, 0.1), \
            f"Orca did not say {words!r} {what}; it said {self._since(since)}"

    def _since(self, since):
        return [words for at, words in self.reader.said() if at > since]

    def focus(self):
        self._hears("Vandrel canvas", None, "of the scene")
        self._hears(START, self.reader.heard("Vandrel canvas"), "after the scene's name")

    def start_screen(self):
        scene = self._scene()
        assert scene.name == "Vandrel" and scene.description == START, \
            f"the scene is named {scene.name!r} and described as {scene.description!r}"
        labels = [child for child in scene if child.getRoleName() == "label"]
        texts = [label.name for label in labels]
        assert texts == START_TEXTS, f"the scene's labels read {texts}"
        client = self.game.client
        for label in labels:
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

    def pause(self):
        since = self.reader.now()
        self.session.keys("p", "p")
        self._hears("Paused", since, "after P and P")

    def landing(self):
        self._choose("Low")
        self.game.focus()
        since = self.reader.now()
        self.session.keys("Down", "Down", "p")  # the least thrust; start
        started = time.monotonic()
        assert wait_until(lambda: "Press" not in self._labels(), 5), "P left the prompt up"
        height = self._labels()["Height"]
        for low, down in ((BURN_FROM, True), (BURN_TO, False)):
            reached = wait_until(lambda: value(height.name) <= low, 30, 0.02)
            assert reached, f"the height read {height.name!r}, never {low} in 30 s"
            self.session.key("space", down)
        assert wait_until(self._alerts, 20), "no box came"
        flown = time.monotonic() - started

        score = self._labels()["Score"].name
        assert score != "Score: " and value(score) > 0, f"the score reads {score!r}"
        self._hears(score, since, "as the ship landed")
        # Counted, not timed: on a busy machine Orca gets round to an utterance late at times,
        # and then to the next one at once.
        heights = [words for at, words in self.reader.said()
                   if at > since and words.startswith("Height: ")]
        assert 3 <= len(heights) <= flown / HEIGHT_PAUSE + 1, \
            f"Orca said the height {len(heights)} times in a {flown:.1f} s flight: {heights}"

    def box(self):
        alerts = self._alerts()
        assert len(alerts) == 1, f"{len(alerts)} alerts are up"
        alert = alerts[0]
        assert alert.name == "Landed!", f"the alert is titled {alert.name!r}"
        prompt = "Great Sucsess!\nPress 'R' to reset"
        assert alert.description == prompt, f"the alert is described as {alert.description!r}"
        shown = [a.name for a in pyatspi.findAllDescendants(alert, lambda a: a.name)]
        assert prompt in shown and "OK" in shown, f"the alert holds {shown}"
        self._hears("alert Landed!", None, "of the box")
        said = self.reader.heard("alert Landed!")
        self._hears(prompt, said, "after the box's title")
        self.session.keys("Return")
        assert wait_until(lambda: not self._alerts(), 10), "Return left the box up"
        # The scene has the keyboard back, its prompt hidden: Orca says its name alone.
        self._hears("Vandrel canvas", said, "as the box went")
        time.sleep(0.2)  # a description would follow in the same breath
        after = [words for words in self._since(self.reader.heard("Vandrel canvas", said))
                 if not words.endswith(" ")]  # Orca's echo of a key ends in a blank
        assert not after, f"as the box went, Orca said {after} after the scene's name"

    def reset(self):
        since = self.reader.now()
        self.session.keys("r")
        self._hears(START, since, "after R")


def main(argv):
    if len(argv) < 3 or not all(os.access(program, os.X_OK) for program in argv[1:3]):
        print(f"usage: dbus-run-session -- {argv[0]} PATH/TO/vandrel PATH/TO/orca",
              file=sys.stderr)
        return 2
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        print(f"{argv[0]}: no session bus: run it under dbus-run-session", file=sys.stderr)
        return 2
    return run_checks(XSession, "x11", lambda session, tally: tally.run_all(
        lambda: AccessibilityChecks(session, argv[1], argv[2])))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
