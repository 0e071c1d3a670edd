#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end checks of the game's web page in a private headless Chromium: WebDriver's key
and mouse events, and the pixels of the browser's screenshots.

    page_checks.py SITE PATH/TO/vandrel-trace

SITE is the page's folder (build-web/site/); the native trace tool replays what the page
saves. One page plays the window checks' flight (start screen, P, the flame, a pause, the
help box, a hidden tab, a turn, a crash, R), then the page's own: the Gravity menu, keys
that leave the page where it is, a flight saved and replayed by the trace tool, and File >
Exit. Then flights chosen from files, another language, an embedding page of another origin
and a display of device scale 2, each on a page of its own; links, installing and offline
play; and flights made to hurt, as files and as links, with the longest task of the page's
main thread and the renderer's memory measured. With VANDREL_SHOTS set, a
screenshot with each box up is kept there. Prints one line a check and a closing
"N passed, N failed" line; exits 1 when a check failed.
"""

import base64
import hashlib
import json
import os
import re
import shutil
import sys
import time
import zlib

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import image  # noqa: E402
from flight_checks import FlightChecks  # noqa: E402
from pagesession import Page, PageSession, Server  # noqa: E402
from recording_checks import ANSWER, GROWTH, HEADER, LIMIT, hostile_flight, trace  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402 (found by pagesession)
from scene import View, wait_view  # noqa: E402
from session import HULL, wait_until  # noqa: E402
from window_test import run_checks  # noqa: E402

FLIGHTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "flights")
# The golden flight lands on the narrowest pad, 720 twips wide, in its 457th tick.
GOLDEN = os.path.join(FLIGHTS, "golden.txt")
GRAVITY = ["mnuGNone", "mnuGLow", "mnuGNormal", "mnuGHigh", "mnuGVHigh"]


def focused(page):
    return page.run("return document.activeElement.id")


class PageFlightChecks(FlightChecks):
    """The window checks' flight on one page, and then the page's own checks on it."""

    def __init__(self, session, tool):
        self.session, self.tool, self.program = session, tool, None
        self.game = session.open()

    def checks(self):
        return [
            ("start screen: white hull, red prompt, four readouts with text; the scene has the"
             " keyboard", self.start_screen),
            ("P starts the flight: the prompt goes and the scene moves", self.p_starts),
            ("holding space keeps the flame burning; releasing it puts it out", self.space_held),
            ("P pauses under a shorter prompt, stands still and asks for no frame; P resumes",
             self.pause),
            ("Help > Controls (Alt+H, Return) shows 'Game Help'; the flight stands still under"
             " it", self.help_box),
            ("another tab opened and chosen while space is held: the flame goes out, the fuel"
             " stops, the flight pauses; P resumes", self.focus_leaves),
            # Last before the crash: a screenshot takes long enough for the hull to turn far.
            ("the left arrow turns the hull", self.left_turns),
            ("the ship crashes: a dialog beside the red hull, focus on OK; Return"
             " answers and the scene has the keyboard again", self.crash),
            ("R brings back the white hull and the prompt", self.reset),
            ("heard: the scene named 'Vandrel' and described by the prompt shown as it takes the"
             " keyboard; P, P says 'Paused'; flying, the height in words at most once every 2 s;"
             " R says the start prompt", self.heard),
            ("Options > Gravity: High by Alt+O and arrows, Low by clicks, twice; the check"
             " marks follow the game", self.gravity),
            ("the game's keys leave a page taller than the window where it is; Page Down"
             " scrolls it", self.keys_stay),
            ("Save flight downloads vandrel-YYYYMMDD-HHMMSS.txt; the trace tool replays it to"
             " its '# final:' line", self.save_flight),
            ("File > Exit (Alt+F, X) mid-flight: 'Vandrel has ended.', nothing reaches the game"
             " after, the flight saved ends '# end: exit' and replays to its final state",
             self.file_exit),
        ]

    def start_screen(self):
        super().start_screen()
        assert focused(self.game) == "scene", f"the keyboard is on {focused(self.game)!r}"
        assert not self.game.shown("click-to-play"), "'Click to play' shows on the page itself"

    def notices(self):
        """'Click to play', while the scene has no keyboard."""
        return [image.Rect(*self.game.place("click-to-play"))] if self.game.shown(
            "click-to-play") else []

    def crash(self):
        assert wait_view(self.game, View.box, 40), "no outcome box within 40 s of falling"
        dialog = self.game.run("const box = document.getElementById('box');"
                               "return [box.getAttribute('role'), box.getAttribute('aria-modal')]")
        assert dialog == ["dialog", "true"], f"the box's role and modality: {dialog}"
        assert focused(self.game) == "box-ok", f"the keyboard is on {focused(self.game)!r}"
        super().crash()
        assert focused(self.game) == "scene", \
            f"after the box the keyboard is on {focused(self.game)!r}"

    def heard(self):
        self._alive()
        for name in ("mnuOptions", "mnuGravity", "mnuGNone"):  # no crash while it is heard
            self.game.click(name)
        assert wait_until(lambda: focused(self.game) == "scene", 5), "the menus kept the keyboard"
        assert self._described() == ["Vandrel", "Press 'P' to start"], \
            f"the scene's name and description: {self._described()}"
        # Each text a live region is given, in order, with the page's time.
        self.game.run("""window.said = [];
            for (const id of ["said", "said-now"]) {
                const region = document.getElementById(id);
                new MutationObserver(() => region.textContent && window.said.push(
                    [performance.now(), id, region.textContent])).observe(region,
                    {childList: true, characterData: true, subtree: true});
            }""")
        self.game.keys("p", "p")
        assert wait_until(lambda: ["said-now", "Paused"] in self._said(), 5), \
            f"P, P: heard {self._said()}"
        # The description holds still while the scene has the keyboard, which hears the prompt
        # as it changes, and is the prompt shown when the scene takes the keyboard again.
        assert self._described()[1] == "Press 'P' to start", \
            f"described as {self._described()[1]!r} while the scene has the keyboard"
        self.game.run("document.getElementById('save').focus()")
        assert wait_until(lambda: self._described()[1] == "Paused", 5), \
            f"described as {self._described()[1]!r} once the scene is left"
        self.game.focus()
        self.game.keys("p")
        with self.session.hold("space", 0.3):  # a push: the ship rises on and on
            time.sleep(0.3)
        time.sleep(3.2)
        self.game.keys("p", "r")
        assert wait_until(lambda: self._said()[-1:] == [["said-now", "Press 'P' to start"]], 5), \
            f"R: heard {self._said()[-3:]}"
        said = self.game.run("return window.said")
        times = [at for at, region, text in said if re.fullmatch(r"Height (minus )?\d+", text)]
        assert 1 <= len(times) <= 2, f"the height heard {len(times)} times in 3.5 s: {said}"
        assert all(b - a >= 1990 for a, b in zip(times, times[1:])), \
            f"the height heard sooner than 2 s apart: {times}"
        assert not [text for _, _, text in said if text.startswith("Height:")], \
            f"the height heard as its readout: {said}"

    def _described(self):
        """The scene's name and description, as the browser gives them to a screen reader."""
        cdp = self.session.driver.execute_cdp_cmd
        scene = cdp("Runtime.evaluate", {"expression": "document.getElementById('scene')"})
        node = cdp("DOM.describeNode", {"objectId": scene["result"]["objectId"]})["node"]
        ax = cdp("Accessibility.getPartialAXTree", {"backendNodeId": node["backendNodeId"],
                                                     "fetchRelatives": False})["nodes"][0]
        return [ax.get("name", {}).get("value"), ax.get("description", {}).get("value")]

    def _said(self):
        return [[region, text] for _, region, text in self.game.run("return window.said")]

    def gravity(self):
        self._alive()
        self.game.focus()
        self.game.keys("alt+o", "Right", "Down", "Down", "Down", "Return")
        self._gravity_is("mnuGHigh")
        for _ in range(2):  # the second click, on the item checked already, changes nothing
            for name in ("mnuOptions", "mnuGravity", "mnuGLow"):
                self.game.click(name)
            self._gravity_is("mnuGLow")

    def _gravity_is(self, checked):
        """The menus closed and the scene has the keyboard, a new flight waits, and the
        Gravity menu marks `checked` alone, to a screen reader and on the screen."""
        assert wait_until(lambda: focused(self.game) == "scene", 5), \
            f"after the choice the keyboard is on {focused(self.game)!r}"
        assert wait_view(self.game, lambda v: v.prompt() >= 15, 5), "no new flight waits"
        wanted = [name == checked for name in GRAVITY]
        marks = self.game.run("return arguments[0].map((id) =>"
                              " document.getElementById(id).getAttribute('aria-checked'))",
                              GRAVITY)
        assert marks == ["true" if w else "false" for w in wanted], \
            f"aria-checked of {GRAVITY}: {marks}"
        self.game.focus()  # the pointer out of the menus' way
        self.game.keys("alt+o", "Right")  # the submenu open, the keyboard on None
        try:
            shown = [self._ink(name) > 3 for name in GRAVITY]
        finally:
            self.game.keys("Escape", "Escape", "Escape")
        assert shown == wanted, f"check marks shown by {GRAVITY}: {shown}"

    def _ink(self, name):
        """Dark pixels in the check column of a menu item (text on the menu's face)."""
        x0, y0, x1, y1 = self.game.place(name)
        return count(self.session.shot(image.Rect(x0 + 2, y0 + 2, x0 + 18, y1 - 2)),
                     image.is_dark)

    def keys_stay(self):
        self._alive()
        self.game.run("document.body.style.minHeight = '400vh'")
        try:
            self.game.focus()
            for key in ["Up", "Down", "space", "Left", "Right"]:
                self.game.keys(key)
                scrolled = self.game.run("return [window.scrollX, window.scrollY]")
                assert scrolled == [0, 0], f"{key} scrolled the page to {scrolled}"
                assert focused(self.game) == "scene", f"{key} moved the keyboard"
            self.game.keys("Page_Down")
            assert wait_until(lambda: self.game.run("return window.scrollY") > 0, 5), \
                "Page Down does not scroll the page either: nothing to scroll"
        finally:
            self.game.run("document.body.style.minHeight = ''; window.scrollTo(0, 0)")

    def _save(self):
        """Saves the flight: the downloaded file's lines."""
        before = self.session.downloaded() or set()
        self.game.click("save")
        found = wait_until(lambda: (self.session.downloaded() or before) - before, 10)
        assert found and len(found) == 1, f"Save flight downloaded {found}"
        path = found.pop()
        name = os.path.basename(path)
        assert re.fullmatch(r"vandrel-\d{8}-\d{6}\.txt", name), f"saved as {name}"
        with open(path, encoding="utf-8") as saved:
            script = saved.read()
        lines = script.splitlines()
        assert lines[0] == HEADER, f"the first line is {lines[0]!r}"
        assert lines[-1].startswith('# final: {"ticks":'), f"the last line is {lines[-1][:40]!r}"
        status, out, err = trace(self.tool, script + "dump\n")
        assert status == 0 and err == "", f"the trace tool: status {status}: {err}"
        assert "# final: " + out[-1] == lines[-1], \
            f"the trace ends in another state than the page:\n{out[-1]}\n{lines[-1]}"
        return lines

    def save_flight(self):
        lines = self._save()
        body = lines[1:-1]
        for wanted in ["down 80", "down 32", "up 32", "down 37", "up 37", "down 82",
                       "click mnuGHigh", "click mnuGLow"]:
            assert wanted in body, f"no line {wanted!r} in the saved flight"
        assert self.game.text("message").startswith("Saved vandrel-"), \
            f"the page says {self.game.text('message')!r}"

    def file_exit(self):
        self._alive()
        self.game.focus()
        self.game.keys("p", "alt+f", "x")
        assert wait_until(lambda: not self.game.running(), 5), "the game still runs after Exit"
        assert self.game.text("ended").split() == "Vandrel has ended. Start again".split(), \
            f"the notice reads {self.game.text('ended')!r}"
        assert focused(self.game) == "again", f"the keyboard is on {focused(self.game)!r}"
        self.game.focus()  # the scene, where the game's keys went
        ended = View(self.game)
        self.game.keys("p", "r", "Left", "Up", "alt+o")
        later = View(self.game)
        changed = later.changed_since(ended)
        assert changed == 0, f"{changed} pixels of the scene changed after Exit"
        assert not self.game.run("return document.querySelector('[aria-expanded=true]')"), \
            "a menu opened after Exit"
        woken = self.game.wakeups(0.3)
        assert woken == 0, f"the page asked for {woken} frames after Exit"
        lines = self._save()
        assert lines[-2] == "# end: exit", f"after Exit the saved flight goes on: {lines[-3:-1]}"


class PageChecks:
    """Flights chosen from files, another language, an embedding page and a display of
    device scale 2: each on a page of its own."""

    def __init__(self, session, tool):
        self.session, self.tool, self.path = session, tool, session.path
        with open(GOLDEN, encoding="utf-8") as golden:
            status, out, _ = trace(tool, golden.read())
        self.golden_box = out[0] if status == 0 else None

    def close(self):
        pass  # the session removes the files

    def checks(self):
        return [
            ("a desktop flight replayed in the page shows the trace's 'Landed!' box beside the"
             " green hull, with 'Score: 1,389'", self.desktop_flight),
            ("with ?lang=de-DE the same landing scores 'Score: 1.389'", self.german),
            ("a flight that overflows shows 'Run-time error: Overflow' in a box titled"
             " 'Vandrel', then the game has ended", self.overflow),
            ("a malformed flight is refused as 'NAME: line N: REASON', shown as text with the"
             " characters that would reorder it escaped, and nothing plays; one of another"
             " version plays after a note", self.malformed),
            ("a flight of 64 MiB is read and refused for its line; one byte more is refused"
             " while it is read", self.too_large),
            ("in an iframe of another origin: 'Click to play', no keys until a click; then P"
             " starts the flight", self.framed),
            ("at device scale 2 the canvas holds 1454x1006 pixels and a hull line is as sharp,"
             " twice as thick", self.crisp),
        ]

    def _landing(self, query):
        """Replays the golden flight on a page opened with `query`: the view with its box
        up, and the texts painted until then."""
        assert self.golden_box, "the trace tool does not replay the golden flight"
        page = self.session.open(query)
        page.replay(os.path.abspath(GOLDEN))
        view = wait_view(page, View.box, 20)
        assert view, "no box within 20 s of the replay" + page.output()
        assert page.text("message") == "Replaying golden.txt.", \
            f"the page says {page.text('message')!r}"
        return page, view, page.painted()

    def desktop_flight(self):
        page, view, painted = self._landing("")
        title, prompt = page.text("box-title"), page.text("box-prompt")
        assert f'"title":"{title}"' in self.golden_box, f"the page's box: {title!r}"
        wanted = re.search(r'"prompt":"([^"]*)"', self.golden_box).group(1)
        assert prompt == wanted.replace("\\r\\n", "\n"), f"the box's prompt: {prompt!r}"
        green = view.count(HULL, image.is_green)
        assert green >= 40 and view.hull_red() == 0, f"the hull has {green} green pixels"
        faults = view.box_faults(view.box())
        assert not faults, "; ".join(faults)
        assert "Score: 1,389" in painted, f"the readouts painted: {painted[-4:]}"

    def german(self):
        _, _, painted = self._landing("?lang=de-DE")
        assert "Score: 1.389" in painted, f"the readouts painted: {painted[-4:]}"

    def overflow(self):
        # The build writes the overflow flight beside the trace tool.
        path = os.path.join(os.path.dirname(self.tool), "tests", "flights", "overflow.txt")
        page = self.session.open()
        page.replay(os.path.abspath(path))
        # The page's own box: the scenery thrown past its range may draw what looks like one.
        assert wait_until(lambda: page.shown("box"), 20), "no box within 20 s of the replay"
        said = [page.text("box-title"), page.text("box-prompt")]
        assert said == ["Vandrel", "Run-time error: Overflow"], f"the box says {said}"
        page.keys("Return")
        assert wait_until(lambda: not page.running(), 5), "the game goes on after the error"
        assert focused(page) == "again", f"the keyboard is on {focused(page)!r}"

    def _refused(self, path, message, timeout=10):
        """Chooses the file to replay: the page must say `message` as text, and go on as
        before."""
        page = self.session.open()
        before = View(page)
        page.replay(path)
        assert wait_until(lambda: page.text("message"), timeout), "the page says nothing"
        said = page.run("const m = document.getElementById('message');"
                        "return [m.textContent, m.childElementCount]")
        assert said == [message, 0], f"the page says {said[0]!r} in {said[1]} elements"
        time.sleep(0.3)
        changed = View(page).changed_since(before)
        assert changed == 0 and page.wakeups(0.2) == 0, \
            f"the refused flight plays: {changed} pixels changed"

    def malformed(self):
        path = self.path("<i>flight.txt")
        with open(path, "w", encoding="utf-8") as script:
            script.write("down 80\ntick 5\n<b>jump</b>\n")
        self._refused(path, '<i>flight.txt: line 3: unknown command "<b>jump</b>"')
        # Characters that would reorder the message, in the name and in the line, show as
        # their bytes, as control characters do.
        path = self.path("flight\u202etxt.exe")
        with open(path, "w", encoding="utf-8") as script:
            script.write("click mnu\u2066Exit\n")
        self._refused(path, "flight\\xe2\\x80\\xaetxt.exe: line 1: no menu item with a click "
                            'handler named "mnu\\xe2\\x81\\xa6Exit"')
        path = self.path("old\u2067.txt")
        with open(path, "w", encoding="utf-8") as script:
            script.write("# Vandrel 0.99 recording\ndown 80\n")
        page = self.session.open()
        page.replay(path)
        assert wait_until(lambda: page.text("message"), 5) == \
            "old\\xe2\\x81\\xa7.txt was recorded by Vandrel 0.99; this is Vandrel 1.00." \
            " Replaying old\\xe2\\x81\\xa7.txt.", f"the page says {page.text('message')!r}"
        assert wait_until(lambda: page.wakeups(0.1) > 0, 5), "the old flight does not play"

    def too_large(self):
        path = self.path("huge.txt")
        with open(path, "wb") as script:
            script.truncate(LIMIT)  # a hole: nothing but NUL bytes
        self._refused(path, "huge.txt: line 1: longer than 65536 bytes", 30)
        with open(path, "wb") as script:
            script.truncate(LIMIT + 1)
        self._refused(path, "huge.txt: larger than 64 MiB", 30)

    def framed(self):
        plain = View(self.session.open())
        folder = self.path("embedding")
        os.mkdir(folder)
        with open(os.path.join(folder, "index.html"), "w", encoding="utf-8") as page:
            page.write("<!doctype html>\n<title>Games</title>\n<p>A game from another site:</p>\n"
                       f'<iframe src="{self.session.name}" width="780" height="640"></iframe>\n')
        page = self.session.open(frame=self.session.serve(folder))
        # The player is on the embedding page, a click on its text away from the game.
        driver = self.session.driver
        driver.switch_to.default_content()
        driver.find_element(By.TAG_NAME, "p").click()
        page.enter()
        assert wait_until(lambda: page.shown("click-to-play"), 5), "no 'Click to play'"
        assert page.text("click-to-play") == "Click to play"
        hint = View(page).changed_since(plain)
        assert hint > 100, f"'Click to play' changed {hint} pixels of the scene"
        page.keys("p")
        time.sleep(0.3)
        assert View(page).prompt() >= 15, "P reached the game before a click"
        page.focus()
        assert wait_until(lambda: not page.shown("click-to-play"), 5), \
            "'Click to play' stays after a click"
        page.keys("p")
        gone = wait_view(page, lambda v: v.prompt() == 0, 5)
        assert gone, "P after the click does not start the flight"
        assert wait_view(page, lambda v: v.changed_since(gone) > 20, 5), "nothing moves"

    def crisp(self):
        self.session.open()
        small = self.session.shot(image.Rect(*HULL))
        sharp = PageSession(self.session.site, scale=2)
        try:
            page = sharp.open()
            store = page.run("const canvas = document.getElementById('canvas');"
                             "return [window.devicePixelRatio, canvas.width, canvas.height]")
            assert store == [2, 1454, 1006], f"device pixel ratio, backing store: {store}"
            big = sharp.shot(image.Rect(*HULL))
        finally:
            sharp.close()
        thin, thick = line_widths(small), line_widths(big)
        assert thin and thick == [2 * w for w in thin], \
            f"the hull's lines are {thin} pixels thick at scale 1, {thick} at scale 2"
        fuzz = [count(shot, lambda p: max(p) > 30 and min(p) < 200) / count(shot, image.is_white)
                for shot in (small, big)]
        assert fuzz[1] <= fuzz[0] * 1.25, \
            f"grey edge pixels per white one: {fuzz[0]:.2f} at scale 1, {fuzz[1]:.2f} at 2"


class ShippingChecks:
    """The page as it is shipped: its flights as links, installable, offline, on its own
    origin alone."""

    def __init__(self, session, tool):
        self.session, self.tool = session, tool
        self.cdp = session.driver.execute_cdp_cmd

    def close(self):
        pass  # the session removes the files

    def checks(self):
        return [
            ("Copy link at a landing's box: the link replays the flight to the same box and the"
             " same final state", self.link),
            ("a damaged link and one that unpacks past 64 MiB are refused with their messages,"
             " and nothing plays", self.bad_links),
            ("installable (a manifest with its name, icons and start, opening full screen; no"
             " installability errors), and every request stays on the page's origin",
             self.installable),
            ("after one visit the page plays with its server stopped; a new version half"
             " deployed is refused whole and the old one runs; new files replace the cache on"
             " the next visit", self.offline),
        ]

    def _final(self, page, before):
        """The final line of the flight saved since the downloads `before`."""
        found = wait_until(lambda: (self.session.downloaded() or before) - before, 10)
        assert found, "Save flight downloaded nothing"
        with open(found.pop(), encoding="utf-8") as saved:
            return saved.read().splitlines()[-1]

    def link(self):
        page = self.session.open()
        self.cdp("Browser.grantPermissions", {"origin": self.session.name.rstrip("/"),
                                              "permissions": ["clipboardReadWrite",
                                                              "clipboardSanitizedWrite"]})
        page.replay(os.path.abspath(GOLDEN))
        assert wait_view(page, View.box, 20), "no box within 20 s of the replay"
        before = self.session.downloaded()
        page.click("copy-link")  # with the box up: both done once it is answered
        page.click("save")
        page.keys("Return")
        assert wait_until(lambda: page.text("message") == "The link to this flight is copied.",
                          10), f"the page says {page.text('message')!r}"
        link = self.session.driver.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0])")
        assert link.startswith(self.session.name + "#flight="), f"the link is {link[:60]!r}"
        final = self._final(page, before)
        # Opened afresh, as a friend opens it (a query makes it a new load, not a new fragment).
        again = self.session.open("?shared#flight=" + link.split("#flight=", 1)[1])
        assert wait_view(again, View.box, 20), "the link replays to no box" + again.output()
        title = again.text("box-title")
        before = self.session.downloaded()
        again.keys("Return")
        assert title == "Landed!", f"the link's flight ends in {title!r}"
        again.click("save")
        assert self._final(again, before) == final, "the link's flight ends in another state"

    def bad_links(self):
        page = self.session.open("#flight=not*base64")
        assert wait_until(lambda: page.text("message"), 5) == \
            "This link is damaged: it holds no flight, and nothing was replayed.", \
            f"a damaged link: {page.text('message')!r}"
        assert page.wakeups(0.3) == 0, "the damaged link plays"
        # Blank lines past the largest flight, packed small.
        packer = zlib.compressobj(9, zlib.DEFLATED, -15)
        packed = packer.compress(b"\n" * (LIMIT + 1)) + packer.flush()
        fragment = base64.urlsafe_b64encode(packed).decode().rstrip("=")
        # Its first frame waits for the page to have read what it refuses.
        driver = self.session.driver
        driver.get(self.session.name + "?big#flight=" + fragment)
        said = wait_until(lambda: driver.execute_script(
            "return document.getElementById('message').textContent"), 30)
        assert said == "This link's flight is larger than 64 MiB: nothing was replayed.", \
            f"an oversized link: {said!r}"
        assert Page(self.session, False).wakeups(0.3) == 0, "the oversized link plays"

    def installable(self):
        page = self.session.open()
        manifest = wait_until(lambda: self.cdp("Page.getAppManifest", {}).get("data"), 10)
        assert manifest, "no manifest"
        fields = json.loads(manifest)
        wanted = {"name": "Vandrel", "start_url": ".", "display": "fullscreen",
                  "orientation": "any", "background_color": "#000000"}
        assert {k: fields.get(k) for k in wanted} == wanted, f"the manifest: {manifest}"
        sizes = sorted(icon["sizes"] for icon in fields["icons"])
        assert sizes == ["192x192", "512x512", "any"], f"the icons' sizes: {sizes}"
        errors = self.cdp("Page.getInstallabilityErrors", {})["installabilityErrors"]
        assert errors == [], f"installability errors: {errors}"
        asked = page.run("return [location.href].concat(performance.getEntriesByType('resource')"
                         ".map((entry) => entry.name))")
        elsewhere = [url for url in asked if not url.startswith(self.session.name)]
        assert len(asked) >= 5 and not elsewhere, f"requests elsewhere: {elsewhere}"

    def offline(self):
        folder = self.session.path("site")  # a copy of the page's own, on an origin of its own
        shutil.copytree(self.session.site, folder)
        server = Server(folder)
        driver = self.session.driver
        try:
            driver.get(server.address)
            assert wait_until(lambda: self._cached() == 1, 20), \
                f"the service worker keeps {self._cached()} caches"
            first = self._cache_name()
            # A new version caught half deployed: its worker is there, its page.css not yet.
            # The worker is refused whole, and the page runs the version before, whole.
            with open(os.path.join(folder, "page.css"), encoding="utf-8") as css:
                newer = css.read() + "/* a new version */\n"
            with open(os.path.join(folder, "sw.js"), encoding="utf-8") as worker:
                script = worker.read().replace('"vandrel-', '"vandrel-new-', 1)
            script = re.sub(r'\["page\.css",\s*"sha256-[^"]*"\]', '["page.css", "sha256-' +
                            base64.b64encode(hashlib.sha256(newer.encode()).digest()).decode() +
                            '"]', script)
            with open(os.path.join(folder, "sw.js"), "w", encoding="utf-8") as worker:
                worker.write(script)
            driver.get(server.address)
            Page(self.session, False)
            tried = self._update()
            assert tried in ("redundant", "none"), f"the half-deployed worker is {tried}"
            assert self._cached() == 1 and self._cache_name() == first, \
                f"a half-deployed version is kept: {self._cache_name()}"
            # The rest of it arrives: the next visit finds the new worker, which replaces the
            # cache once the page runs.
            with open(os.path.join(folder, "page.css"), "w", encoding="utf-8") as css:
                css.write(newer)
            driver.get(server.address)
            assert wait_until(lambda: self._cached() == 1 and
                              self._cache_name().startswith("vandrel-new-"), 20), \
                "the new files replace no cache"
        finally:
            server.close()
        driver.get(server.address + "?lang=de-DE")
        page = Page(self.session, False)  # waits for the white hull
        css = driver.execute_async_script(
            "fetch('page.css').then((r) => r.text()).then(arguments[0])")
        assert css.endswith("/* a new version */\n"), "offline, the page is the old version"
        page.keys("p")
        assert wait_until(lambda: page.wakeups(0.2) > 0, 5), "offline, P starts no flight"

    def _cache_name(self):
        return self.session.driver.execute_async_script(
            "caches.keys().then((names) => arguments[0](names.join(' ')))")

    def _update(self):
        """Asks the page's service worker to look for a new version: what became of the one
        found ("redundant" when it failed to install), or "none"."""
        return self.session.driver.execute_async_script("""
            const done = arguments[0];
            navigator.serviceWorker.getRegistration().then(async (registration) => {
                await registration.update().catch(() => {});
                const worker = registration.installing || registration.waiting;
                if (!worker) return done("none");
                const settled = () => ["redundant", "activated"].includes(worker.state) &&
                    done(worker.state);
                worker.addEventListener("statechange", settled);
                settled();
            });""")

    def _cached(self):
        """How many caches the page's service worker keeps, once it is ready."""
        return self.session.driver.execute_async_script(
            "navigator.serviceWorker.ready.then(() => caches.keys())"
            ".then((names) => arguments[0](names.length))")


# The screens the page must fit: width, height, device pixel ratio, and whether it is a touch
# screen (phones held upright and sideways, a small laptop, a desktop monitor).
SCREENS = [(320, 568, 2, True), (390, 844, 3, True), (844, 390, 3, True), (1024, 600, 1, False),
           (1920, 1080, 1, False)]
PHONE = (844, 390, 3, True)  # held sideways

# Before the page's script: a gamepad the checks hold in place of the browser's (which has no
# pads headless), and the count of the animation frames and timers the page asks for.
HANDS = """(() => {
  const pad = { index: 0, id: "checks", mapping: "standard", connected: true, axes: [0, 0, 0, 0],
                buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
  const checks = window.checks = { pad, plugged: false, frames: 0, timers: 0 };
  checks.press = (button, down) => { pad.buttons[button] = { pressed: down, value: down ? 1 : 0 }; };
  checks.plug = () => {
    checks.plugged = true;
    const event = new Event("gamepadconnected");
    event.gamepad = pad;
    window.dispatchEvent(event);
  };
  navigator.getGamepads = () => [checks.plugged ? pad : null];
  const frame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (f) => { checks.frames++; return frame(f); };
  const timeout = window.setTimeout.bind(window);
  window.setTimeout = (...rest) => { checks.timers++; return timeout(...rest); };
})();"""

# Where things are, in the viewport's CSS pixels: [left, top, right, bottom] of each element.
PLACES = """return Array.from(document.querySelectorAll(arguments[0])).map((e) => {
  const r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; });"""


class EveryScreenChecks:
    """The page on phones, tablets and monitors, played by touch and with a gamepad: each
    screen in a browser of its own."""

    def __init__(self, session, tool):
        self.site, self.tool = session.site, tool
        self.screen = None

    def close(self):
        if self.screen:
            self.screen.close()

    def checks(self):
        return [
            ("the window fits phones of 320x568, 390x844 and 844x390 and screens of 1024x600 and"
             " 1920x1080: in view, nothing scrolled or zoomed out, its shape kept, crisp; the"
             " seven controls on touch screens alone, 44 px at least, in view, off the scene",
             self.fits),
            ("by touch on a phone held sideways: P starts the flight, the engine burns while a"
             " second finger turns, the thrust steps, OK answers the box and Save flight saves"
             " it; the trace tool replays it to the page's final state", self.touch_flight),
            ("by taps: Options > Gravity > None; the Fullscreen control takes the page to full"
             " screen and the scene keeps the keyboard", self.taps),
            ("a gamepad: Start starts the flight from Ready and A burns; a waiting page reads"
             " it at most 10 times a second, and asks for no frame and no timer without one",
             self.gamepad),
        ]

    def _open(self, device):
        """A browser of `device`'s screen with the game loaded in it and settled."""
        if self.screen:
            self.screen.close()
        self.screen = PageSession(self.site, device=device)
        driver = self.screen.driver
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": HANDS})
        driver.get(self.screen.name)
        assert wait_until(lambda: driver.execute_script(
            "return document.getElementById('menubar').childElementCount > 0"), 20), \
            f"the game never started on {device}" + self.screen.console()
        time.sleep(0.5)
        return driver

    def fits(self):
        for width, height, ratio, touch in SCREENS:
            driver = self._open((width, height, ratio, touch))
            where = f"{width}x{height}"
            seen = driver.execute_script(
                "const d = document.documentElement; return [innerWidth, d.scrollWidth,"
                " visualViewport.scale, scrollX, scrollY, devicePixelRatio,"
                " document.getElementById('canvas').width];")
            assert seen[:5] == [width, width, 1, 0, 0], \
                f"{where}: viewport, page width, zoom and scroll are {seen[:5]}"
            [window] = driver.execute_script(PLACES, ".window")
            assert window[0] >= 0 and window[1] >= 0 and window[2] <= width and \
                window[3] <= height, f"{where}: the window lies at {window}"
            [scene] = driver.execute_script(PLACES, "#scene")
            shown = (scene[2] - scene[0], scene[3] - scene[1])
            assert abs(shown[0] / shown[1] - 727 / 503) < 0.01, f"{where}: the scene is {shown}"
            if not touch:
                assert shown == (727, 503), f"{where}: the scene is {shown}, not its own size"
            assert abs(seen[6] - shown[0] * seen[5]) <= 1, \
                f"{where}: {seen[6]} pixels across the canvas's store for {shown[0]} shown"
            controls = driver.execute_script(PLACES, ".control")
            shown = [c for c in controls if c[2] > c[0]]
            if not touch:
                assert not shown, f"{where}: {len(shown)} on-screen controls on a screen of no touch"
                continue
            assert len(shown) == 7, f"{where}: {len(shown)} on-screen controls"
            gestures = driver.execute_script(
                "const c = getComputedStyle(document.querySelector('.control'));"
                "return [c.touchAction, c.userSelect, getComputedStyle(document.body)"
                ".overscrollBehaviorY];")
            assert gestures == ["none", "none", "none"], \
                f"{where}: touch-action, user-select and overscroll are {gestures}"
            for left, top, right, bottom in shown:
                assert right - left >= 44 and bottom - top >= 44, \
                    f"{where}: a control of {right - left}x{bottom - top}"
                assert left >= 0 and top >= 0 and right <= width and bottom <= height, \
                    f"{where}: a control at {left},{top} out of view"
                off = right <= scene[0] or left >= scene[2] or bottom <= scene[1] or \
                    top >= scene[3]
                assert off, f"{where}: a control at {left},{top} lies over the scene"

    def _saved(self, by_touch=True):
        """The flight Save flight downloads, tapped or clicked."""
        before = self.screen.downloaded() or set()
        if by_touch:
            self.screen.tap("save")
        else:
            self.screen.driver.find_element(By.ID, "save").click()
        found = wait_until(lambda: (self.screen.downloaded() or before) - before, 10)
        assert found and len(found) == 1, f"Save flight downloaded {found}"
        with open(found.pop(), encoding="utf-8") as saved:
            return saved.read()

    def touch_flight(self):
        driver = self._open(PHONE)
        tap = self.screen.tap
        control = lambda name: f".control[aria-label^='{name}']"  # noqa: E731
        tap(control("Start or pause"))
        (sx, sy), (lx, ly) = self.screen.centre(control("Engine")), self.screen.centre(
            control("Turn left"))
        self.screen.touch("touchStart", (sx, sy, 1))
        time.sleep(0.3)
        self.screen.touch("touchStart", (sx, sy, 1), (lx, ly, 2))  # a second finger turns
        time.sleep(0.3)
        self.screen.touch("touchEnd", (lx, ly, 2))
        time.sleep(0.2)
        self.screen.touch("touchEnd", (sx, sy, 1))
        tap(control("More thrust"))
        assert wait_until(lambda: not driver.execute_script(
            "return document.getElementById('box').hidden"), 40), "no box within 40 s"
        title = driver.execute_script("return document.getElementById('box-title').textContent")
        [ok] = driver.execute_script(PLACES, "#box-ok")
        assert ok[3] - ok[1] >= 44, f"OK is {ok[3] - ok[1]} pixels high on a touch screen"
        tap("box-ok")
        assert wait_until(lambda: driver.execute_script(
            "return document.activeElement.id") == "scene", 5), "OK did not answer the box"
        script = self._saved()
        lines = script.splitlines()
        wanted = ["down 80", "up 80", "down 32", "down 37", "up 37", "up 32", "down 38", "up 38"]
        assert presses(lines)[:len(wanted)] == wanted, f"the flight's keys: {presses(lines)}"
        status, out, err = trace(self.tool, script + "dump\n")
        assert status == 0 and err == "", f"the trace tool: status {status}: {err}"
        assert f'"msgbox":{{"title":"{title}"' in "\n".join(out), f"no {title!r} box in the trace"
        assert "# final: " + out[-1] == lines[-1], "the trace ends in another state than the page"

    def taps(self):
        driver = self._open(PHONE)
        for name in ("mnuOptions", "mnuGravity", "mnuGNone"):
            [item] = driver.execute_script(PLACES, "#" + name)
            assert item[3] - item[1] >= 44, f"{name} is {item[3] - item[1]} pixels high"
            self.screen.tap(name)
        assert wait_until(lambda: driver.execute_script(
            "return document.getElementById('mnuGNone').getAttribute('aria-checked')") == "true",
            5), "None is not checked after the taps"
        self.screen.tap("fullscreen")
        full = wait_until(lambda: driver.execute_script(
            "return [!!document.fullscreenElement, document.activeElement.id]"), 5)
        assert full == [True, "scene"], f"after the Fullscreen control: {full}"

    def gamepad(self):
        driver = self._open((1024, 600, 1, False))
        asked = lambda: driver.execute_script("return [checks.frames, checks.timers]")  # noqa: E731
        before = asked()
        time.sleep(1)
        assert asked() == before, f"waiting, the page asked for {asked()} since {before}"
        driver.execute_script("checks.plug()")
        before = asked()
        time.sleep(1)
        polls = asked()[1] - before[1]
        assert 5 <= polls <= 11, f"a waiting page read the pad {polls} times in a second"
        for button in (9, 0):  # Start, then A held
            driver.execute_script("checks.press(arguments[0], true)", button)
            time.sleep(0.4)
            driver.execute_script("checks.press(arguments[0], false)", button)
            time.sleep(0.3)
        keys = presses(self._saved(by_touch=False).splitlines())
        assert keys[:4] == ["down 80", "up 80", "down 32", "up 32"], f"the pad gave the keys {keys}"


def presses(lines):
    """A recording's key lines without the repeats of a key held."""
    held, keys = set(), []
    for line in lines:
        word, _, code = line.partition(" ")
        if word == "down" and code not in held:
            held.add(code)
            keys.append(line)
        elif word == "up":
            held.discard(code)
            keys.append(line)
    return keys


def packed(path):
    """A file's text as a flight link's fragment: deflated raw, in base64url."""
    packer = zlib.compressobj(9, zlib.DEFLATED, -15)
    parts = []
    with open(path, "rb") as text:
        while chunk := text.read(1 << 24):
            parts.append(packer.compress(chunk))
    parts.append(packer.flush())
    return base64.urlsafe_b64encode(b"".join(parts)).decode().rstrip("=")


class HostileChecks:
    """Flights made to hurt, chosen as files and opened as links, and links that arrive
    without the player asking: each on a page of its own."""

    # What the page says of each hostile flight (recording_checks.hostile_flight) chosen as a
    # file and opened as a link: each long one plays, the frames coming all the while.
    SAID = {
        "presses": ("Replaying presses.txt.", "Replaying link."),
        "dumps": ("Replaying dumps.txt.", "Replaying link."),
        "keys": ("Replaying keys.txt.", "Replaying link."),
        "few_presses": ("Replaying few_presses.txt.", "Replaying link."),
        "nuls": ("nuls.txt: larger than 64 MiB", "link: line 1: longer than 65536 bytes"),
        "feeds": ("feeds.txt: larger than 64 MiB",
                  "This link's flight is larger than 64 MiB: nothing was replayed."),
    }

    def __init__(self, session, tool):
        self.session, self.tool = session, tool
        self.folder = session.path("hostile")
        os.makedirs(self.folder, exist_ok=True)

    def close(self):
        pass  # the session removes the files

    def checks(self):
        return [
            ("hostile flights as files and as links (64 MiB of P, of dump, every key code held"
             " then one pressed, 200,000 P, 1 GiB of NUL bytes and of line feeds): each plays or"
             " is refused, no task of the page takes 50 ms, frames come all the while, and the"
             " renderer grows by less than 256 MiB", self.hostile),
            ("a link is read once: its flight leaves the address, and 'Start again' after the"
             " Exit it holds starts a fresh game", self.read_once),
            ("a link that arrives during a flight (a framing page changes the fragment) waits"
             " for the player's word, and one under a box is said; the player's word replays"
             " it", self.unasked),
            ("a flight the module has no memory for is refused as one that cannot be read, and"
             " the game goes on", self.no_memory),
        ]

    def _arrives(self, page, fragment):
        """A link's flight arrives in the address of the page (as if pasted): the page says so
        and offers to replay it."""
        page.run("location.hash = arguments[0]", "#flight=" + fragment)
        assert wait_until(lambda: page.shown("replay-link"), 5), \
            f"a link arrived and the page says {page.text('message')!r}"

    def hostile(self):
        faults = []
        for name, said in self.SAID.items():
            path = hostile_flight(self.folder, name)
            for how, wanted in zip(("file", "link"), said):
                page = self.session.open()
                page.longest_task(reset=True)
                self.session.memory_mark()
                if how == "file":
                    page.replay(path)
                else:
                    self._arrives(page, packed(path))
                    page.click("replay-link")
                message = wait_until(lambda: page.text("message") == wanted, 60)
                frames = page.wakeups(1) if wanted.startswith("Replaying") else None
                if frames is not None and name != "few_presses" and frames < 30:
                    faults.append(f"{name} as a {how}: {frames} frames in 1 s of its replay")
                longest, grown = page.longest_task(), self.session.memory_growth()
                print(f"     {name} as a {how}: longest task {longest:.0f} ms, renderer"
                      f" +{grown:.0f} MiB, {frames} frames in 1 s", flush=True)
                if not message:
                    faults.append(f"{name} as a {how}: the page says {page.text('message')!r}")
                if longest >= 1000 * ANSWER:
                    faults.append(f"{name} as a {how}: a task of {longest:.0f} ms")
                if grown >= GROWTH:
                    faults.append(f"{name} as a {how}: the renderer grew by {grown:.0f} MiB")
        assert not faults, "; ".join(faults)

    def read_once(self):
        exit_flight = base64.urlsafe_b64encode(zlib.compress(b"click mnuExit\n")[2:-4])
        page = self.session.open("?once#flight=" + exit_flight.decode().rstrip("="))
        assert wait_until(lambda: not page.running(), 10), "the link's Exit did not end the game"
        address = page.run("return location.href")
        assert address == self.session.name + "?once", f"after the link the address is {address}"
        page.run("window.before_again = true")
        page.click("again")
        assert wait_until(lambda: page.run("return window.before_again === undefined"), 10), \
            "'Start again' loads no page"
        again = Page(self.session, False)  # waits for the white hull
        time.sleep(0.5)
        assert again.running() and again.text("message") == "", \
            f"after 'Start again' the game has ended: {again.text('message')!r}"
        again.keys("p")
        assert wait_until(lambda: again.wakeups(0.2) > 0, 5), "after 'Start again' P starts nothing"

    def unasked(self):
        with open(GOLDEN, "rb") as golden:
            landing = base64.urlsafe_b64encode(zlib.compress(golden.read(), 9)[2:-4])
        landing = landing.decode().rstrip("=")
        folder = self.session.path("framing")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "index.html"), "w", encoding="utf-8") as framing:
            framing.write("<!doctype html>\n<title>Games</title>\n"
                          f'<iframe src="{self.session.name}" width="780" height="640"></iframe>\n')
        page = self.session.open(frame=self.session.serve(folder))
        page.focus()
        page.keys("p")
        flying = wait_view(page, lambda v: v.prompt() == 0, 5)
        assert flying, "P does not start the flight"
        # The framing page, of another origin, sends the game to another flight.
        driver = self.session.driver
        driver.switch_to.default_content()
        driver.execute_script("document.querySelector('iframe').src = arguments[0]",
                              self.session.name + "#flight=" + landing)
        page.enter()
        assert wait_until(lambda: page.shown("replay-link"), 5), \
            f"the framing page's link: the page says {page.text('message')!r}"
        time.sleep(0.5)
        assert page.text("message").startswith("A link to another flight has arrived"), \
            f"the page says {page.text('message')!r}"
        assert wait_view(page, lambda v: v.changed_since(flying) > 20, 5) and \
            page.run("return location.hash") == "", "the flight stopped, or the link stays"
        page.click("replay-link")
        assert wait_until(lambda: page.shown("box") and page.text("box-title") == "Landed!", 30), \
            f"the link's flight, chosen, lands in no box: {page.text('message')!r}"
        page.keys("Return")
        # A link that arrives under a box is said, and waits for the box and the player.
        page = self.session.open()
        page.keys("alt+h", "Return")
        assert wait_until(lambda: page.shown("box"), 5), "Help > Controls shows no box"
        self._arrives(page, landing)
        page.click("replay-link")
        assert wait_until(lambda: page.text("message") == "This waits until the box is answered.",
                          5), f"under the box the page says {page.text('message')!r}"
        page.keys("Return")
        assert wait_until(lambda: page.text("message") == "Replaying link.", 10), \
            f"after the box the page says {page.text('message')!r}"

    def no_memory(self):
        page = self.session.open()
        # The module's memory cannot grow from here on, as on a device that has no more.
        page.run("WebAssembly.Memory.prototype.grow = () => { throw new RangeError('none'); }")
        before = View(page)
        page.replay(hostile_flight(self.folder, "presses"))
        assert wait_until(lambda: page.text("message") == "presses.txt: cannot read: out of memory",
                          60), f"the page says {page.text('message')!r}"
        assert View(page).changed_since(before) == 0 and page.running(), "the game changed"
        page.keys("p")
        assert wait_until(lambda: page.wakeups(0.2) > 0, 5), "P starts no flight after"


def line_widths(shot):
    """How many rows each of the horizontal lines of a shot of the hull takes: rows white
    over a third of the width at least, next to each other."""
    rows = [y for y in range(shot.height)
            if shot.count(image.Rect(0, y, shot.width - 1, y), image.is_white) >= shot.width // 3]
    widths = []
    for i, y in enumerate(rows):
        if i > 0 and rows[i - 1] == y - 1:
            widths[-1] += 1
        else:
            widths.append(1)
    return widths


def count(shot, test):
    """How many pixels of a whole shot pass `test`."""
    return shot.count(image.Rect(0, 0, shot.width - 1, shot.height - 1), test)


def main(argv):
    if len(argv) != 3 or not os.path.isfile(os.path.join(argv[1], "index.html")) \
            or not os.access(argv[2], os.X_OK):
        print(f"usage: {argv[0]} SITE PATH/TO/vandrel-trace", file=sys.stderr)
        return 2

    def body(session, tally):
        tally.run_all(lambda: PageFlightChecks(session, argv[2]))
        tally.run_all(lambda: PageChecks(session, argv[2]))
        tally.run_all(lambda: ShippingChecks(session, argv[2]))
        tally.run_all(lambda: EveryScreenChecks(session, argv[2]))
        tally.run_all(lambda: HostileChecks(session, argv[2]))
    return run_checks(lambda: PageSession(argv[1]), "page", body)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
