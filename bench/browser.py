# SPDX-License-Identifier: MIT
"""The game's web page in a private headless Chromium, for bench/window_driver.py --web.

The page's folder (build-web/site) is served and Chromium started as the page checks do
(tests/e2e/pagesession.py), and close() ends both. Before any script of a
document, one of ours counts the animation frames and timers the page asks for, marks the frame
that first shows the scene, and keeps the game's module, so that the count of ticks raised can
be read between two frames (from the recording so far, whose last line holds it).

The CPU of the browser is that of all of chromedriver's descendants (browser, renderers, GPU
process, utilities), by the scheduler's nanosecond count of each thread.
"""
import collections
import os
import re
import sys
import time

# Before the page's scripts: the counters, the mark of the first frame that shows the scene (the
# animation frame after the page first paints on its canvas), and the module caught when the
# game's glue code stores its export on it (Module["_vandrel_recording"] = ...).
COUNTERS = """(() => {
  const bench = { frames: 0, timers: 0, module: null, draws: {}, stalls: [], last: 0 };
  window.vandrelBench = bench;
  bench.raf = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => {
    bench.frames++;
    return bench.raf((time) => {
      if (time - bench.last > 50 && time - bench.last < 1000) bench.stalls.push(time - bench.last);
      bench.last = time;
      callback(time);
    });
  };
  for (const name of ["setTimeout", "setInterval"]) {
    const original = window[name].bind(window);
    window[name] = (...rest) => { bench.timers++; return original(...rest); };
  }
  Object.defineProperty(Object.prototype, "_vandrel_recording", { configurable: true, set(value) {
    Object.defineProperty(this, "_vandrel_recording", { value, writable: true, configurable: true });
    bench.module = this;
  } });
  const fill = CanvasRenderingContext2D.prototype.fillRect;
  CanvasRenderingContext2D.prototype.fillRect = function (...rest) {
    if (!bench.painted) {
      bench.painted = true;
      bench.raf(() => performance.mark("vandrel-first-frame"));
    }
    return fill.apply(this, rest);
  };
  if (COUNT_DRAWS) {
    const proto = CanvasRenderingContext2D.prototype;
    for (const name of Object.getOwnPropertyNames(proto)) {
      const call = Object.getOwnPropertyDescriptor(proto, name).value;
      if (typeof call !== "function" || name === "constructor") continue;
      proto[name] = function (...rest) {
        bench.draws[name] = (bench.draws[name] || 0) + 1;
        return call.apply(this, rest);
      };
    }
  }
})();"""

# After the page's next animation frame has run: [ticks raised, the frame's time in ms].
TICKS = """const done = arguments[arguments.length - 1];
const bench = window.vandrelBench;
bench.raf((time) => {
  const recording = bench.module.ccall("vandrel_recording", "string", [], []);
  done([Number(recording.match(/# final: \{"ticks":(\d+)/)[1]), time]);
});"""



def kind_of(cmdline):
    """A Chromium process's kind from its command line (the arguments apart by NULs, or by
    blanks once Chromium has set its title): its --type, with a utility's service; the
    browser process has none."""
    arguments = re.split("[\0 ]", cmdline)
    kind = next((a[7:] for a in arguments if a.startswith("--type=")), "browser")
    service = next((a.rsplit(".", 1)[-1] for a in arguments
                    if a.startswith("--utility-sub-type=")), None)
    return f"{kind} ({service})" if service else kind


def threads(pids):
    """{(pid, tid): (kind, thread name, ns on a CPU)} of the processes' threads now."""
    found = {}
    for pid in pids:
        try:
            with open(f"/proc/{pid}/cmdline") as cmdline:
                kind = kind_of(cmdline.read())
            for tid in os.listdir(f"/proc/{pid}/task"):
                with open(f"/proc/{pid}/task/{tid}/comm") as comm, \
                        open(f"/proc/{pid}/task/{tid}/schedstat") as stat:
                    found[(pid, tid)] = (kind, comm.read().strip(), int(stat.read().split()[0]))
        except (FileNotFoundError, ProcessLookupError):
            pass  # it just ended
    return found


def shares(before, after, seconds, key=lambda kind, name: kind):
    """Percent of a core used between two samples of threads(), summed by key(kind, name):
    a thread in both by its difference, one started in between whole, one ended not at all."""
    totals = collections.Counter()
    for thread, (kind, name, ns) in after.items():
        totals[key(kind, name)] += ns - before.get(thread, (kind, name, 0))[2]
    return {k: 100.0 * ns / 1e9 / seconds for k, ns in totals.items()}


def thread_kind(kind, name):
    """Threads of a pool as one: 'renderer: CompositorTileW'; a process's first thread, named
    after the program, is its main thread."""
    return f"{kind}: {'main' if name == 'chromium' else re.sub(r'[0-9]+$', '', name)}"


def descendants(root):
    """The pids of every process below `root`."""
    children = collections.defaultdict(list)
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    children[int(stat.read().rsplit(")", 1)[1].split()[1])].append(int(entry))
            except FileNotFoundError:
                pass
    found, todo = [], [root]
    while todo:
        below = children[todo.pop()]
        found += below
        todo += below
    return found


def self_times(profile):
    """{(function, file): ms} of a CDP profile's samples, the time before a sample given to it."""
    nodes = {n["id"]: n["callFrame"] for n in profile["nodes"]}
    totals = collections.Counter()
    for node, delta in zip(profile["samples"], profile["timeDeltas"][1:] + [0]):
        frame = nodes[node]
        totals[(frame["functionName"] or "(anonymous)", frame["url"].rsplit("/", 1)[-1])] += delta
    return {k: us / 1000.0 for k, us in totals.items()}


class Browser:
    """Chromium showing the page from `site` (the page checks' session, tests/e2e/pagesession.py);
    `count_draws` also counts the canvas's calls; `device` is a phone's screen it emulates, as
    the page checks' sessions do."""

    def __init__(self, site, count_draws=False, device=None):
        sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..",
                                        "tests", "e2e"))
        from pagesession import PageSession  # with selenium, which only a browser needs

        self.session = PageSession(site, device=device)
        self.driver, self.address = self.session.driver, self.session.name
        self.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
            "source": COUNTERS.replace("COUNT_DRAWS", "true" if count_draws else "false")})

    def pids(self):
        return descendants(self.driver.service.process.pid)

    def threads(self):
        return threads(self.pids())

    def open(self, address=None):
        """The page (or `address`), once the game has started in it."""
        self.driver.get(address or self.address)
        if address:
            return
        deadline = time.monotonic() + 20
        while not self.js("return !!(vandrelBench.module && document.getElementById('menubar')"
                          ".childElementCount)"):
            if time.monotonic() > deadline:
                raise RuntimeError("the game never started in the page")
            time.sleep(0.05)

    def first_frame(self):
        """Milliseconds from the page's navigation to the frame that first shows its scene."""
        self.driver.get(self.address)
        deadline = time.monotonic() + 20
        while not (marks := self.js("return performance.getEntriesByName('vandrel-first-frame')"
                                    ".map((m) => m.startTime)")):
            if time.monotonic() > deadline:
                raise RuntimeError("the page never drew its first frame")
            time.sleep(0.02)
        return marks[0]

    def js(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def ticks(self):
        """(ticks raised, the page's clock in ms), just after one of its animation frames."""
        return tuple(self.driver.execute_async_script(TICKS))

    def counts(self):
        """(animation frames asked for, timers set, {canvas call: count}, [ms between two frames
        of the page's that came more than 50 ms apart]) so far."""
        return tuple(self.js("const b = vandrelBench; return [b.frames, b.timers, b.draws, "
                             "b.stalls]"))

    def keys(self, *combos):
        """Taps each key as window_driver names them ("alt+o", "Return", "p")."""
        self.session.keys(*combos)

    def hold(self, name, seconds):
        with self.session.hold(name):
            time.sleep(seconds)

    def box(self):
        """The title of the box that is up, or None."""
        return self.js("return document.getElementById('box').hidden ? null : "
                       "document.getElementById('box-title').textContent")

    def close(self):
        self.session.close()
