#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The game's window and its web page as a screen reader finds them and as a blind player
hears them: the accessibility tree read through AT-SPI, and Orca itself, on a private Xvfb and
a private session bus.

    dbus-run-session -- accessibility_test.py PATH/TO/vandrel PATH/TO/orca
    dbus-run-session -- accessibility_test.py SITE PATH/TO/orca

The window: one game, with Orca listening from its start: the readouts and the prompt are
found with their texts where they are painted; a flight steered by the height it reads lands,
and the 'Landed!' box is an alert holding its title and prompt. What Orca says is read from its
debug file: the start prompt when the scene takes the keyboard, "Paused" after P and P, the
height while flying in a few short words at most once every 2 s, the score, the box's title,
prompt and OK once each within a second of it, and the start prompt again after R.

The page (SITE, the page's folder, build-web/site/): Chromium shown on the Xvfb, its keys from
the X server as a keyboard's, Orca with its default settings: on load the game's name and its
prompt and nothing of the rest of the page; the Options menu's items with their check states,
no glyph named; each of the page's buttons on Tab and the scene again on Shift+Tab; P starting
the flight (the keys reach the game: a height heard, Orca's own commands not run), "Paused";
a landing steered by the height painted, heard as in the window; the scene again as the box
goes, and the start prompt after R.

Prints one line a check and a closing "N passed, N failed" line; exits 1 when a check failed.
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
from pagesession import PageSession  # noqa: E402

# After xsession: an interpreter other than Debian's finds Debian's packages from there on.
import pyatspi  # noqa: E402

START_TEXTS = ["Fuel: 500", "Thrust: 1.5", "Height: 60", "Score: ", "Press 'P' to start"]
# Under Low gravity at the least thrust the ship falls freely to this height, then brakes
# with the engine down to the next, and touches the flat ground at about 45.6 slowly enough
# to land (worked out with vandrel-trace: any start of the burn from 54 to 47 lands).
BURN_FROM, BURN_TO = 53.5, 47.5
HEIGHT_PAUSE = 2.0  # seconds from anything said to the height said after it
START = "Press 'P' to start"
SPOKEN_HEIGHT = re.compile(r"Height (minus )?\d+")
LANDED = "Great Sucsess!"  # the landing box's prompt begins so
# What Orca may say as the page loads: its own words of a window and of loading, the page's
# name, the scene's name and prompt, and that the keys go to the game.
ON_LOAD = re.compile(r".* frame|Loading\.  Please wait|Finished loading Vandrel|"
                     r"Vandrel document web|Focus mode|Vandrel game|" + re.escape(START))


def value(readout):
    """The figure of a readout: 'Height: 52,3' is 52.3."""
    return float(readout.split(": ", 1)[1].replace(",", "."))


def spoken_score(readout):
    """What a screen reader is told of a score readout: 'Score: 1,190' is 'Score 1190'."""
    return "Score " + re.sub(r"\D", "", readout)


def local_seconds(epoch):
    """A moment as the seconds of its day in local time, as Orca's debug file writes it."""
    moment = time.localtime(epoch)
    return moment.tm_hour * 3600 + moment.tm_min * 60 + moment.tm_sec + epoch % 1


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
# Orca writes each utterance's voice after it: {...}, or [{...}] for one it spoke as a list.
UTTERANCE = re.compile(r"^(\d\d):(\d\d):(\d\d\.\d+) - SPEECH OUTPUT: '(.*?)' ?\[?\{", re.M | re.S)


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

    def quiet(self, seconds=1.0, timeout=20):
        """Waits until Orca has said nothing new for `seconds`: the time of its last words."""
        last = self.now()
        start = still = time.monotonic()
        while time.monotonic() - still < seconds and time.monotonic() - start < timeout:
            time.sleep(0.1)
            if self.now() != last:
                last, still = self.now(), time.monotonic()
        return last

    def since(self, since, echoes=False):
        """The (time, words) Orca said after `since`, without its echoes of keys (which end in
        a blank) unless `echoes`."""
        return [(at, words) for at, words in self.said()
                if at > since and (echoes or not words.endswith(" "))]

    def hears(self, words, since, what, timeout=10):
        """Waits for Orca to say `words` after `since`: the time it did."""
        at = wait_until(lambda: self.heard(words, since), timeout, 0.1)
        assert at, f"Orca did not say {words!r} {what}; it said {self.since(since, True)}"
        return at

    def check_flight(self, since, flown):
        """What Orca said of a flight after `since` that lasted `flown` seconds: the height in
        a few words, at most once a pause (counted, not timed: on a busy machine Orca gets round
        to an utterance late at times, and then to the next one at once)."""
        heights = [words for _, words in self.since(since) if words.startswith("Height")]
        assert all(SPOKEN_HEIGHT.fullmatch(words) for words in heights), \
            f"Orca said the height as {heights}"
        assert 1 <= len(heights) <= flown / HEIGHT_PAUSE + 1, \
            f"Orca said the height {len(heights)} times in a {flown:.1f} s flight: {heights}"

    def check_box(self, opened, title, said):
        """A box opened at `opened` (local seconds): Orca says its title, its prompt and its OK
        once each, beginning within a second; `said` are the words that name its title."""
        heard = self.since(opened - 1)
        for words, count in ((said, 1), (LANDED, 1), ("OK push button", 1)):
            found = [at for at, text in heard if words in text]
            assert len(found) == count, \
                f"Orca said {words!r} {len(found)} times for the box: {heard}"
        first = min(at for at, text in heard if title in text)
        assert first - opened <= 1.0, \
            f"Orca began the box {first - opened:.2f} s after it opened: {heard}"

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
        self.game = self.opened = None
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
            ("a flight steered by the height read lands; Orca says the height in a few words at "
             "most once every 2 s, and the score", self.landing),
            ("the 'Landed!' box is an alert with its title and prompt, which Orca says once each "
             "with its OK within a second; Return answers it", self.box),
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

    def focus(self):
        named = self.reader.hears("Vandrel canvas", None, "of the scene")
        self.reader.hears(START, named, "after the scene's name")

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
        self.reader.hears("Paused", since, "after P and P")

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
        assert wait_until(self._alerts, 20, 0.02), "no box came"
        self.opened = local_seconds(time.time())
        flown = time.monotonic() - started

        score = self._labels()["Score"].name
        assert score != "Score: " and value(score) > 0, f"the score reads {score!r}"
        self.reader.hears(spoken_score(score), since, "as the ship landed")
        self.reader.check_flight(since, flown)

    def box(self):
        alerts = self._alerts()
        assert len(alerts) == 1, f"{len(alerts)} alerts are up"
        alert = alerts[0]
        assert alert.name == "Landed!", f"the alert is titled {alert.name!r}"
        prompt = "Great Sucsess!\nPress 'R' to reset"
        assert alert.description == prompt, f"the alert is described as {alert.description!r}"
        shown = [a.name for a in pyatspi.findAllDescendants(alert, lambda a: a.name)]
        assert prompt in shown and "OK" in shown, f"the alert holds {shown}"
        assert self.opened, "no landing came"
        said = self.reader.hears("OK push button", self.opened - 1, "of the box")
        time.sleep(0.5)  # anything said twice would follow
        self.reader.check_box(self.opened, "Landed!", "alert Landed!")
        self.session.keys("Return")
        assert wait_until(lambda: not self._alerts(), 10), "Return left the box up"
        # The scene has the keyboard back, its prompt hidden: Orca says its name alone.
        named = self.reader.hears("Vandrel canvas", said, "as the box went")
        time.sleep(0.2)  # a description would follow in the same breath
        after = [words for _, words in self.reader.since(named)]
        assert not after, f"as the box went, Orca said {after} after the scene's name"

    def reset(self):
        since = self.reader.now()
        self.session.keys("r")
        self.reader.hears(START, since, "after R")


class PageAccessibilityChecks:
    """The page in Chromium shown on the Xvfb, Orca listening from before it loads; the keys
    come from the X server, as a keyboard's, so that Orca meets them first."""

    def __init__(self, session, site, orca):
        self.session = session
        session.env["ACCESSIBILITY_ENABLED"] = "1"
        session.env.pop("NO_AT_BRIDGE", None)
        self.reader = ScreenReader(session, orca)
        self.pages = self.page = self.opened = self.flying = None
        try:
            self.pages = PageSession(site, env=session.env)
            # The browser's window has the keyboard before the page loads, as a player's has.
            window = session.find_window(r"Chromium$", timeout=20)
            if not window:
                raise RuntimeError("no window of Chromium's showed")
            session.focus(window)
            # Orca has read the browser's new tab: what it says from here on is of the game.
            self.loading = self.reader.quiet()
            self.page = self.pages.open()
            self.page.run("""window.boxOpenedAt = 0;
                const box = document.getElementById("box");
                new MutationObserver(() => {
                    if (!box.hidden && !window.boxOpenedAt) window.boxOpenedAt = Date.now();
                }).observe(box, {attributes: true});""")
        except Exception:
            self.close()
            raise

    def close(self):
        if self.pages:
            self.pages.close()
        self.reader.close()

    def checks(self):
        return [
            ("on load Orca says the game's name and its prompt, and nothing else of the page",
             self.load),
            ("the Options menu by keys: its items as menu items with their check states, no "
             "glyph named; back in the scene Orca says it", self.menus),
            ("Tab: Orca says each of the page's buttons, the first as the scene is left; "
             "Shift+Tab back: the scene", self.buttons),
            ("P starts the flight: a height heard, no command of Orca's run; P: 'Paused'",
             self.keys),
            ("a flight steered by the height painted lands: the height in a few words at most "
             "once every 2 s, the score, the box's title, prompt and OK once each within a "
             "second", self.landing),
            ("Return answers the box: Orca says the scene; R: the start prompt", self.after),
        ]

    def _focused(self):
        return self.page.run("return document.activeElement.id")

    def load(self):
        self.reader.hears(START, self.loading, "as the page loaded")
        time.sleep(1.0)  # the rest of the page would follow
        heard = [words for _, words in self.reader.since(self.loading)]
        assert "Vandrel game" in heard and heard.index("Vandrel game") < heard.index(START), \
            f"as the page loaded Orca said {heard}"
        others = [words for words in heard if not ON_LOAD.fullmatch(words)]
        assert not others, f"as the page loaded Orca said {others} too"

    def menus(self):
        since = self.reader.now()
        said = since
        for keys, words in ((["alt+o"], "Options menu"),
                            (["Right"], "None check menu item not checked"),
                            (["Down"], "Low check menu item not checked"),
                            (["Return"], "Vandrel game"),  # Low chosen: a new flight waits
                            (["alt+o", "Right", "Down"], "Low check menu item checked"),
                            (["Escape", "Escape", "Escape"], "Vandrel game")):
            self.session.keys(*keys)
            said = self.reader.hears(words, said, f"after {'+'.join(keys)}")
        assert self._focused() == "scene", f"the keyboard is on {self._focused()!r}"
        heard = [words for _, words in self.reader.since(since)]
        named = [words for words in heard if re.search("triangle|check mark|[▸✓]", words)]
        assert not named, f"Orca named the menus' glyphs: {named}"
        twice = [words for words in heard if len(re.findall(r"\bchecked\b", words)) > 1]
        assert not twice, f"Orca said a check state twice: {twice}"

    def buttons(self):
        said = self.reader.now()
        for name in ("Save flight", "Replay a flight…", "Copy link"):
            self.session.keys("Tab")
            said = self.reader.hears(f"{name} push button", said, "on Tab")
        self.session.keys("Shift_L+Tab", "Shift_L+Tab", "Shift_L+Tab")
        self.reader.hears("Vandrel game", said, "back in the scene by Shift+Tab")
        assert self._focused() == "scene", f"the keyboard is on {self._focused()!r}"

    def keys(self):
        self.flying = since = self.reader.now()
        self.started = time.monotonic()
        self.session.keys("Down", "Down", "p")  # the least thrust; start
        heights = lambda: [words for _, words in self.reader.since(since)  # noqa: E731
                           if SPOKEN_HEIGHT.fullmatch(words)]
        assert wait_until(heights, 5, 0.1), \
            f"after P Orca said no height: {self.reader.since(since, True)}"
        run = [words for _, words in self.reader.since(since)
               if "Wrapping" in words or "drop a recording" in words]
        assert not run, f"P ran a command of Orca's: {run}"
        said = self.reader.now()
        self.session.keys("p")
        self.reader.hears("Paused", said, "after P")
        self.session.keys("p")

    def landing(self):
        assert self.flying, "no flight started"
        page = self.page
        page.painted()
        shown = {"Height": "Height: 60", "Score": "Score: "}

        def readout(name):
            for text in page.painted():
                label = text.split(": ", 1)[0]
                if label in ("Height", "Score"):
                    shown[label] = text
            return shown[name]

        for low, down in ((BURN_FROM, True), (BURN_TO, False)):
            reached = wait_until(lambda: value(readout("Height")) <= low, 30, 0.02)
            assert reached, f"the height painted was {readout('Height')!r}, never {low} in 30 s"
            self.session.key("space", down)
        opened = wait_until(lambda: page.run("return window.boxOpenedAt"), 20, 0.05)
        assert opened, "no box came"
        flown = time.monotonic() - self.started
        self.opened = local_seconds(opened / 1000)
        assert page.text("box-title") == "Landed!", f"the box says {page.text('box-title')!r}"

        score = readout("Score")
        self.reader.hears(spoken_score(score), self.flying, "as the ship landed")
        self.reader.check_flight(self.flying, flown)
        self.reader.hears("OK push button", self.opened - 1, "of the box")
        time.sleep(0.5)  # anything said twice would follow
        self.reader.check_box(self.opened, "Landed!", "Landed! dialog")

    def after(self):
        said = self.reader.now()
        self.session.keys("Return")
        said = self.reader.hears("Vandrel game", said, "as the box went")
        self.session.keys("r")
        self.reader.hears(START, said, "after R")


def main(argv):
    page = len(argv) == 3 and os.path.isfile(os.path.join(argv[1], "index.html"))
    if len(argv) != 3 or not all(os.access(program, os.X_OK) for program in argv[1:3]):
        print(f"usage: dbus-run-session -- {argv[0]} PATH/TO/vandrel|SITE PATH/TO/orca",
              file=sys.stderr)
        return 2
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        print(f"{argv[0]}: no session bus: run it under dbus-run-session", file=sys.stderr)
        return 2
    checks = PageAccessibilityChecks if page else AccessibilityChecks
    return run_checks(XSession, "x11", lambda session, tally: tally.run_all(
        lambda: checks(session, argv[1], argv[2])))


if __name__ == "__main__":
    sys.exit(main(sys.argv))
