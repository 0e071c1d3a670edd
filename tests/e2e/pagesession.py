# SPDX-License-Identifier: MIT
"""The game's web page in a private headless Chromium, driven through WebDriver (Debian's
chromium-driver and python3-selenium).

A PageSession serves the page's folder (build-web/site/) with Python's http.server on a free
loopback port and starts Chromium with a fresh profile, headless (or shown on an X display,
offering its accessibility tree to a screen reader); a Page is the game loaded in it, the
counterpart of session.Game, so that the window checks' views (scene.View) read it as they
read a window. The session's "screen" is the scene: its pixels are those of the browser's
own screenshot of the scene's place in the page, so a box or a notice over the canvas comes
out as the player sees it. Every process started here is ended by close(), also when a check
fails.
"""

import base64
import contextlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

import image
from session import CLIENT_HEIGHT, CLIENT_WIDTH, HULL, die_with_parent, stop, wait_until

try:
    import selenium  # noqa: F401
except ImportError:
    # Debian's python3-selenium is pure Python: an interpreter other than Debian's own (one
    # from pyenv, say) can use it from where Debian puts it.
    sys.path.append("/usr/lib/python3/dist-packages")
from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

VIEWPORT = (1000, 760)
# The names the window checks give keys (X keysyms), as WebDriver's keys.
KEYS = {"Return": Keys.RETURN, "Escape": Keys.ESCAPE, "space": Keys.SPACE, "Left": Keys.LEFT,
        "Right": Keys.RIGHT, "Up": Keys.UP, "Down": Keys.DOWN, "Page_Down": Keys.PAGE_DOWN,
        "alt": Keys.ALT}


class Server:
    """Python's http.server serving a folder on a free loopback port."""

    def __init__(self, folder):
        self.process = subprocess.Popen(
            [sys.executable, "-u", "-m", "http.server", "0", "--bind", "127.0.0.1",
             "--directory", folder], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
            stdin=subprocess.DEVNULL, text=True, preexec_fn=die_with_parent)
        # "Serving HTTP on 127.0.0.1 port N (...)", once it listens.
        found = re.search(r" port (\d+) ", self.process.stdout.readline())
        if not found:
            stop(self.process)
            raise RuntimeError(f"http.server did not start for {folder}")
        self.address = f"http://127.0.0.1:{found.group(1)}/"

    def close(self):
        stop(self.process)
        self.process.stdout.close()


class PageSession:
    kind = "page"

    def __init__(self, site, scale=1, env=None, device=None):
        """`env`: the environment of an X session and its session bus, where Chromium shows its
        window, not headless (Chromium offers AT-SPI nothing headless), for a screen reader.
        `device`: (width, height, pixel ratio, touch) of a screen the browser emulates, as a
        phone's or a tablet's, with a coarse pointer where it has touch."""
        for program in ("/usr/bin/chromium", "/usr/bin/chromedriver"):
            if not os.access(program, os.X_OK):
                raise RuntimeError(f"missing program: {program}")
        self.site = site
        self._tmp = tempfile.TemporaryDirectory(prefix="vandrel-page-")
        self.downloads = os.path.join(self._tmp.name, "downloads")
        os.mkdir(self.downloads)
        self.servers, self.driver, self.page = [], None, None
        try:
            self.name = self.serve(site)
            options = webdriver.ChromeOptions()
            options.binary_location = "/usr/bin/chromium"
            # As root in CI there is no sandbox; nothing reaches out to the network.
            shown = ["--force-renderer-accessibility", "--password-store=basic",
                     "--no-default-browser-check", "--window-position=0,0"]
            for argument in ["--no-sandbox", "--disable-gpu", "--no-first-run",
                             "--disable-background-networking", "--disable-component-update",
                             "--disable-sync", f"--force-device-scale-factor={scale}",
                             *([] if device else ["--window-size=%d,%d" % VIEWPORT]),
                             f"--user-data-dir={os.path.join(self._tmp.name, 'profile')}",
                             *(["--headless=new"] if env is None else shown)]:
                options.add_argument(argument)
            if device:
                width, height, ratio, touch = device
                options.add_experimental_option("mobileEmulation", {"deviceMetrics": {
                    "width": width, "height": height, "pixelRatio": ratio, "touch": touch}})
            if env is not None:
                # No bar saying that software drives the browser: a screen reader would read it.
                options.add_experimental_option("excludeSwitches", ["enable-automation"])
            options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
            self.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver", env=env),
                                           options=options)
            self.driver.execute_cdp_cmd("Browser.setDownloadBehavior",
                                        {"behavior": "allow", "downloadPath": self.downloads})
        except Exception:
            self.close()
            raise

    def serve(self, folder):
        """Serves one more folder, on a port (an origin) of its own: its address."""
        self.servers.append(Server(folder))
        return self.servers[-1].address

    def open(self, query="", frame=None):
        """Loads the page (its address + query) and waits for its first frame; `frame` is the
        address of a page that holds the game in an iframe instead."""
        self.driver.switch_to.default_content()
        self.driver.get(frame or self.name + query)
        return Page(self, frame is not None)

    def keys(self, *combos):
        """Taps each key, "alt+o" holding Alt, and lets a menu open before the next one."""
        for combo in combos:
            names = [KEYS.get(n, n) for n in combo.split("+")]
            actions = ActionChains(self.driver)
            for name in names:
                actions.key_down(name)
            for name in reversed(names):
                actions.key_up(name)
            actions.perform()
            time.sleep(0.1)

    @contextlib.contextmanager
    def hold(self, name, _seconds=None):
        """Holds a key down for the with-block (WebDriver sends no auto-repeat)."""
        ActionChains(self.driver).key_down(KEYS.get(name, name)).perform()
        try:
            yield
        finally:
            ActionChains(self.driver).key_up(KEYS.get(name, name)).perform()

    @contextlib.contextmanager
    def focus_taken(self, _program=None):
        """Another tab opened and chosen for the with-block, as a player does: the page's tab
        is hidden, and WebDriver still looks at it (its screenshots show it as it is)."""
        game = self.driver.current_window_handle
        self.driver.switch_to.new_window("tab")
        other = self.driver.current_window_handle
        self.driver.switch_to.window(game)  # WebDriver's eyes only: the tab stays hidden
        self.driver.execute_cdp_cmd("Target.activateTarget", {"targetId": other})
        try:
            yield
        finally:
            self.driver.switch_to.window(other)
            self.driver.close()
            self.driver.switch_to.window(game)
            self.page.enter()

    def touch(self, kind, *points):
        """A finger's event: "touchStart" with every finger down ((x, y, id) in CSS pixels),
        "touchEnd" with the one lifted alone, "touchCancel" with none."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": kind, "touchPoints": [
            {"x": x, "y": y, "id": finger} for x, y, finger in points]})

    def centre(self, element_id):
        """The middle of an element, in the viewport's CSS pixels, scrolled into view first."""
        return self.driver.execute_script(
            "const e = document.getElementById(arguments[0]) || document.querySelector(arguments[0]);"
            "e.scrollIntoView({block: 'nearest'}); const r = e.getBoundingClientRect();"
            "return [r.left + r.width / 2, r.top + r.height / 2];", element_id)

    def tap(self, element_id, finger=9):
        x, y = self.centre(element_id)
        self.touch("touchStart", (x, y, finger))
        self.touch("touchEnd", (x, y, finger))
        time.sleep(0.1)

    def pixels(self, rect):
        """The scene's rectangle (CSS pixels) as RGB bytes, row by row, at the device scale."""
        return self.shot(rect).rgb

    def shot(self, rect):
        x, y = self.page.origin
        clip = {"x": x + rect.x0, "y": y + rect.y0, "width": rect.x1 - rect.x0 + 1,
                "height": rect.y1 - rect.y0 + 1, "scale": 1}
        data = self.driver.execute_cdp_cmd("Page.captureScreenshot", {
            "format": "png", "optimizeForSpeed": True, "clip": clip})["data"]
        return image.Image.from_png(base64.b64decode(data))

    def grab(self):
        return self.shot(image.Rect(0, 0, CLIENT_WIDTH - 1, CLIENT_HEIGHT - 1))

    def inner_titles(self, _window=None):
        """The title of the box up over the scene, as the window checks read a box's."""
        return self.page.run("const box = document.getElementById('box');"
                             "return box.hidden ? [] : [box.firstElementChild.textContent];")

    def path(self, name):
        """A path for a file of the checks' own, removed with the session."""
        return os.path.join(self._tmp.name, name)

    def downloaded(self):
        """The paths of the files downloaded so far, or None while one is on its way."""
        names = os.listdir(self.downloads)
        if any(name.endswith(".crdownload") for name in names):
            return None
        return {os.path.join(self.downloads, name) for name in names}

    def renderers(self):
        """The process ids of this browser's renderers (its pages and their workers)."""
        browser = self.driver.service.process.pid  # chromedriver: the browser is below it
        children = {}
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/stat", encoding="latin-1") as stat:
                    parent = int(stat.read().rsplit(")", 1)[1].split()[1])
                with open(f"/proc/{pid}/cmdline", "rb") as line:
                    command = line.read()
            except (OSError, ValueError, IndexError):
                continue  # a process that just ended
            children.setdefault(parent, []).append((int(pid), command))
        found, pending = [], [browser]
        while pending:
            for pid, command in children.get(pending.pop(), []):
                pending.append(pid)
                if b"--type=renderer" in command:
                    found.append(pid)
        return found

    def memory_mark(self):
        """Begins a measure of the renderers' memory: each one's peak is reset to what it
        holds now (the kernel's VmHWM, reset through clear_refs)."""
        self._held = 0
        for pid in self.renderers():
            with contextlib.suppress(OSError):
                with open(f"/proc/{pid}/clear_refs", "w", encoding="ascii") as refs:
                    refs.write("5")
                self._held += _status_kib(pid, "VmRSS")

    def memory_growth(self):
        """How far the renderers' memory rose above what they held at the mark, at its
        highest, in MiB: the sum of their peaks since, less what they held then."""
        peaks = sum(_status_kib(pid, "VmHWM") for pid in self.renderers())
        return max(0, peaks - self._held) / 1024

    def console(self):
        """What the page wrote to the console since the last call, for a failure's message."""
        lines = [entry["message"] for entry in self.driver.get_log("browser")]
        return "\n--- page console ---\n" + "\n".join(lines) if lines else ""

    def close(self):
        if self.driver:
            with contextlib.suppress(Exception):
                self.driver.quit()
            self.driver = None
        for server in self.servers:
            server.close()
        self.servers = []
        shutil.rmtree(self._tmp.name, ignore_errors=True)


def _status_kib(pid, field):
    """A field of a process's status in KiB (VmRSS, VmHWM), 0 for a process that ended."""
    try:
        with open(f"/proc/{pid}/status", encoding="ascii") as status:
            for line in status:
                if line.startswith(field + ":"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


class Page:
    """The game's page loaded in a session, from its load until its first frame shows the
    white hull: session.Game's counterpart for the checks. client is the scene's rectangle
    in the session's terms (the scene itself), origin its place in the browser's viewport."""

    def __init__(self, session, framed):
        self.session, self.framed = session, framed
        self.window = None  # the browser's one window
        session.page = self
        self.client = image.Rect(0, 0, CLIENT_WIDTH - 1, CLIENT_HEIGHT - 1)
        driver = session.driver
        self.origin = (0, 0)  # of the game's document in the viewport, then of the scene
        if framed:
            frame = wait_until(lambda: driver.find_elements(By.TAG_NAME, "iframe"), 10)
            assert frame, "no iframe in the page"
            self.origin = tuple(driver.execute_script(
                "const r = arguments[0].getBoundingClientRect();"
                "return [r.left + arguments[0].clientLeft, r.top + arguments[0].clientTop];",
                frame[0]))
        self.enter()
        self.scene = wait_until(lambda: driver.find_elements(By.ID, "scene"), 10)[0]
        ready = wait_until(lambda: self.run("return document.getElementById('menubar')"
                                            ".childElementCount > 0"), 20)
        assert ready, "the game never started in the page" + session.console()
        box = self._place("scene")
        assert box[2:] == [CLIENT_WIDTH, CLIENT_HEIGHT], f"the scene is {box[2]}x{box[3]}"
        self._scene_at = box[:2]
        self.origin = (self.origin[0] + box[0], self.origin[1] + box[1])
        hull = HULL[2] - HULL[0] + 1
        assert wait_until(lambda: 30 <= self.count(HULL, image.is_white) <= hull * hull // 2,
                          20), "the white hull never showed" + session.console()
        # Counts the page's animation frames, keeps each text painted on the canvas, and the
        # longest task on its main thread (the browser reports those over 50 ms).
        self.run("""
            window.longest_task = 0;
            new PerformanceObserver((tasks) => {
                for (const task of tasks.getEntries()) {
                    window.longest_task = Math.max(window.longest_task, task.duration);
                }
            }).observe({type: "longtask"});
            window.frames_asked = 0;
            const ask = window.requestAnimationFrame.bind(window);
            window.requestAnimationFrame = (f) => { window.frames_asked += 1; return ask(f); };
            window.painted = [];
            const fill = CanvasRenderingContext2D.prototype.fillText;
            CanvasRenderingContext2D.prototype.fillText = function (text, ...rest) {
                window.painted.push(text);
                return fill.call(this, text, ...rest);
            };""")

    def enter(self):
        """WebDriver looks into the game's document (inside the iframe when framed)."""
        driver = self.session.driver
        driver.switch_to.default_content()
        if self.framed:
            driver.switch_to.frame(driver.find_element(By.TAG_NAME, "iframe"))

    def run(self, code, *args):
        return self.session.driver.execute_script(code, *args)

    def _place(self, element_id):
        return self.run("const r = document.getElementById(arguments[0]).getBoundingClientRect();"
                        "return [r.left, r.top, r.width, r.height];", element_id)

    def place(self, element_id):
        """An element's rectangle in the scene's terms, whole pixels (it may lie outside)."""
        x, y, width, height = self._place(element_id)
        x0, y0 = round(x - self._scene_at[0]), round(y - self._scene_at[1])
        return x0, y0, x0 + round(width) - 1, y0 + round(height) - 1

    def rect(self, x0, y0, x1, y1):
        return image.Rect(x0, y0, x1, y1)

    def count(self, area, test):
        rgb = self.session.pixels(self.rect(*area))
        return sum(map(test, zip(rgb[0::3], rgb[1::3], rgb[2::3])))

    def focus(self):
        """A click on the scene, as a player gives it the keyboard (a corner of the ground,
        where nothing of the game is)."""
        ActionChains(self.session.driver).move_to_element_with_offset(
            self.scene, 4 - CLIENT_WIDTH // 2, CLIENT_HEIGHT // 2 - 4).click().perform()
        time.sleep(0.05)

    def keys(self, *combos):
        self.session.keys(*combos)

    def click(self, element_id):
        self.session.driver.find_element(By.ID, element_id).click()

    def shown(self, element_id):
        return self.run(f"return !document.getElementById('{element_id}').hidden")

    def text(self, element_id):
        return self.run(f"return document.getElementById('{element_id}').textContent")

    def running(self):
        """The game goes on: not ended."""
        return not self.shown("ended")

    def wakeups(self, seconds):
        """How many animation frames the page asked for in the next `seconds`: a game that
        waits asks for none (its ticks would ask for one a frame)."""
        before = self.run("return window.frames_asked")
        time.sleep(seconds)
        return self.run("return window.frames_asked") - before

    def longest_task(self, reset=False):
        """The longest task on the page's main thread since the page loaded or the last reset,
        in ms: 0 when none took over 50 ms."""
        return self.run("const longest = window.longest_task;"
                        "if (arguments[0]) window.longest_task = 0; return longest;", reset)

    def painted(self):
        """The texts painted on the canvas since the last call."""
        return self.run("return window.painted.splice(0)")

    def replay(self, path):
        """Chooses a file for "Replay a flight…", as the file dialog would."""
        self.session.driver.find_element(By.ID, "replay-file").send_keys(path)

    def output(self):
        return self.session.console()

    def close(self):
        pass  # the session closes the browser
