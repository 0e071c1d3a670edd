# SPDX-License-Identifier: MIT
"""Drives the game's window on an X display for bench/window_bench.sh (see there).

Usage: window_driver.py [--wayland] GAME TRACE FLIGHTS MENU_SECONDS, or
       window_driver.py [--wayland] --in-turn ROUNDS GAME [GAME ...], or
       window_driver.py --web SITE ROUNDS GAME
It starts its own Xvfb, or with --wayland its own headless sway. Every process it ends is one
it started itself. With --in-turn the builds GAME ... fly the scrolling flight one after the
other, ROUNDS times, and each one's CPU while the scene scrolls is compared with the first's
pair by pair: the machine's drift falls on both alike. With --web the page in SITE (in a
headless Chromium, bench/browser.py) and the window of GAME take turns in the same way.

The game runs in the window checks' X session (tests/e2e): keys reach it through XTEST,
windows are found and pixels read on one open connection, fast enough to time a flight or a
key's way to the screen.
"""
import collections
import contextlib
import os
import re
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import browser  # noqa: E402
import image  # noqa: E402
from scene import FLAME, PROMPT, box_shown  # noqa: E402
from session import SCHED_NS, Game, schedstat  # noqa: E402
from waysession import WaylandSession  # noqa: E402
from xsession import XSession  # noqa: E402

CLK_TCK = os.sysconf("SC_CLK_TCK")
now = time.monotonic
WAIT_SECONDS = 5.0  # each waiting state is measured this long
SCROLL_SECONDS = 10.0  # and the scene scrolling
SAMPLES = 10  # key presses and releases timed to the screen


def ticks_to_crash(trace, prefix):
    """The tick in which the flight that `prefix` sets up crashes, after P and no other key."""
    script = prefix + "down 80\n" + "tick 1\ndump\n" * 5000
    out = subprocess.run([trace], input=script, capture_output=True, text=True).stdout
    boxed = False
    for line in out.splitlines():
        if line.startswith('{"msgbox"'):
            if '"title":"Crashed!"' not in line:
                sys.exit(f"window_driver: the flight ends otherwise: {line}")
            boxed = True
        elif boxed and line.startswith('{"ticks"'):
            return int(re.match(r'\{"ticks":(\d+)', line).group(1))
    sys.exit("window_driver: the trace flight never crashed")


def cpu_seconds_in_stat(stat):
    """utime + stime from the text of /proc/PID/stat, whose command name may hold ") "."""
    fields = stat.rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        return cpu_seconds_in_stat(stat.read())


def cpu_shares(pids, seconds):
    """The share of one core each process used over the same next `seconds`, in percent:
    [(from utime+stime in 10 ms steps, from the scheduler's nanosecond count)]."""
    before = [(cpu_seconds(pid), schedstat(pid, SCHED_NS)) for pid in pids]
    wall0 = now()
    time.sleep(seconds)
    wall = now() - wall0
    return [(100.0 * (cpu_seconds(pid) - s0) / wall,
             100.0 * (schedstat(pid, SCHED_NS) - ns0) / 1e9 / wall)
            for pid, (s0, ns0) in zip(pids, before)]


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        kib = int(re.search(r"VmHWM:\s+(\d+) kB", status.read()).group(1))
    return kib / 1024.0


def time_to_screen(game, key, down, area, shown):
    """Milliseconds from pressing (down) or releasing `key` until the red pixels of `area` are
    shown (or gone); None after 2 s."""
    start = now()
    game.session.key(key, down)
    while now() - start < 2:
        if (game.count(area, image.is_red) > 0) == shown:
            return 1000 * (now() - start)
    return None


def wait_red(game, area, at_least, limit=5):
    start = now()
    while game.count(area, image.is_red) < at_least:
        if now() - start > limit:
            sys.exit(f"window_driver: nothing red came up in {area}")
        time.sleep(0.002)


def wait_box(game, since, limit):
    """Seconds from `since` until a box shows over the scene; None after `limit`."""
    while now() - since < limit:
        if box_shown(game):
            return now() - since
        time.sleep(0.0005)
    return None


def cpu(game, seconds=WAIT_SECONDS):
    """(game, display server) shares of a core over the next `seconds` (see cpu_shares)."""
    return cpu_shares([game.pid, game.session.server_pid], seconds)


def crash_flight(session, game_path, menu_keys, ticks, wait_over):
    """One flight from P to the crash box: the seconds it took, launch times, and the CPU
    while falling (from 0.2 s after P until 0.25 s before the crash, so that neither the key
    nor the box counts) and, if `wait_over`, under the crash box and in Over after it."""
    game = Game(session, game_path)
    game.keys(*menu_keys)
    time.sleep(0.5)
    pressed = now()
    game.keys("p")
    time.sleep(max(0.0, pressed + 0.2 - now()))
    falling = cpu(game, ticks / 100.0 - 0.45)
    seconds = wait_box(game, pressed, ticks / 100.0 + 5.0)
    if seconds is None:
        sys.exit("window_driver: no crash box appeared")
    boxed = over = None
    if wait_over:
        time.sleep(1.0)
        boxed = cpu(game)
        game.keys("Return")
        time.sleep(1.0)
        over = cpu(game)
    result = dict(mapped=game.mapped_ms, frame=game.frame_ms, falling=falling, boxed=boxed,
                  over=over, seconds=seconds, rss=peak_rss_mib(game.pid))
    game.close()
    return result


def scrolling_flight(session, game_path):
    """Gravity None, the ship turned on its side and pushed: the scene scrolls on every tick.
    CPU in Ready, scrolling, Paused and under the help box; keys timed to the screen."""
    game = Game(session, game_path)
    key = session.key
    game.keys("alt+o", "Right", "Return")  # Options, Gravity, None
    time.sleep(1.0)
    ready = cpu(game)
    # P hides the prompt; P again shows "Paused".
    presses = []
    for _ in range(SAMPLES):
        presses.append(time_to_screen(game, "p", True, PROMPT, False))
        key("p", False)
        time.sleep(0.05)
        game.keys("p")
        wait_red(game, PROMPT, 15)
    game.keys("p")  # running
    # Releasing the space bar puts out the flame under the upright ship.
    releases = []
    for _ in range(SAMPLES):
        key("space", True)
        wait_red(game, FLAME, 8)
        releases.append(time_to_screen(game, "space", False, FLAME, False))
        time.sleep(0.1)
    # About 20 ticks of a left turn lay the ship nearly on its side (never past it, where the
    # engine would push it down); a long burn then pushes it sideways at more than a pixel a
    # tick, for good: with no gravity the scene scrolls on every tick.
    key("Left", True)
    time.sleep(0.2)
    key("Left", False)
    key("space", True)
    time.sleep(1.5)
    key("space", False)
    result = scrolling_then_waiting(game)
    if None in presses or None in releases:
        sys.exit("window_driver: the scrolling flight went wrong (a key not shown)")
    return dict(result, ready=ready, presses=presses, releases=releases)


def scrolling_then_waiting(game):
    """The CPU while the scene scrolls for good after the push, then Paused and under the help
    box; the peak RSS, and the game closed."""
    time.sleep(1.0)
    scrolling = cpu(game, SCROLL_SECONDS)
    game.keys("p")
    time.sleep(1.0)
    paused = cpu(game)
    game.keys("alt+h", "Return")  # Help, Controls
    if wait_box(game, now(), 5) is None:
        sys.exit("window_driver: the help box never showed")
    time.sleep(1.0)
    boxed = cpu(game)
    game.keys("Return")
    time.sleep(0.3)
    crashed = box_shown(game)  # the help box is gone: a box now is the crash's
    rss = peak_rss_mib(game.pid)
    game.close()
    if crashed or scrolling[0][0] == 0:
        sys.exit("window_driver: the scrolling flight went wrong (a crash, or it never ran)")
    return dict(scrolling=scrolling, paused=paused, boxed=boxed, rss=rss, mapped=game.mapped_ms,
                frame=game.frame_ms)


def pushed_flight(session, game_path):
    """The scrolling flight of scrolling_flight by keys alone, no key timed to the screen (under
    Wayland keys come from wtype, and a held key is held within one call)."""
    game = Game(session, game_path)
    game.keys("alt+o", "Right", "Return")  # Options, Gravity, None
    time.sleep(1.0)
    ready = cpu(game)
    game.keys("p")  # running
    for name, seconds in (("Left", 0.2), ("space", 1.5)):
        with session.hold(name, seconds):
            time.sleep(seconds)
    return dict(scrolling_then_waiting(game), ready=ready)


def in_turn(session, rounds, games):
    """Each build's scrolling flight in turn, `rounds` times: every run's shares by the
    scheduler's count, then each build's median and its median ratio to the first build, game
    and server together."""
    totals = {game: [] for game in games}
    for _ in range(rounds):
        for game in games:
            scrolling = pushed_flight(session, game)["scrolling"]
            totals[game].append(scrolling[0][1] + scrolling[1][1])
            print(f"{game}: {shares(scrolling, by_scheduler=True)}", flush=True)
    for line in in_turn_summary(totals):
        print(line)


def in_turn_summary(totals):
    """Lines of each build's median and, after the first, the median of its ratios to the
    first build's runs, pair by pair; `totals` maps each build to its runs in turn."""
    games = list(totals)
    first = totals[games[0]]
    lines = []
    for game in games:
        runs = totals[game]
        line = f"{game}: median {statistics.median(runs):.2f}% of {len(runs)} runs"
        if game != games[0]:
            ratio = statistics.median(a / b for a, b in zip(runs, first))
            line += f"; {ratio:.2f} x the first, pair by pair"
        lines.append(line)
    return lines


def browser_cpu(page, seconds=WAIT_SECONDS):
    """All the browser's processes over the next `seconds`: the share of a core of each kind
    of process and of each kind of thread, and how many animation frames a second and timers
    the page asked for."""
    frames, timers, _, stalls = page.counts()
    before = page.threads()
    wall0 = now()
    time.sleep(seconds)
    wall = now() - wall0
    after = page.threads()
    frames_after, timers_after, _, stalls_after = page.counts()
    kinds = browser.shares(before, after, wall)
    return dict(kinds=kinds, total=sum(kinds.values()),
                threads=browser.shares(before, after, wall, browser.thread_kind),
                frames=(frames_after - frames) / wall, timers=timers_after - timers,
                stalls=stalls_after[len(stalls):])


def wait_page_box(page, title, limit):
    deadline = now() + limit
    while page.box() != title:
        if now() > deadline:
            sys.exit(f"window_driver: no box '{title}' in the page")
        time.sleep(0.05)


def page_gravity_none(page):
    """A fresh game in the page, Gravity None chosen by the menus."""
    page.open()
    page.keys("alt+o", "Right", "Return")  # Options, Gravity, None
    if page.js("return document.getElementById('mnuGNone').ariaChecked") != "true":
        sys.exit("window_driver: Gravity None was not chosen in the page")
    time.sleep(1.0)


def page_push(page):
    """P, and the ship laid on its side and pushed as in pushed_flight: the scene scrolls."""
    page.keys("p")
    page.hold("Left", 0.2)
    page.hold("space", 1.5)
    time.sleep(1.0)


def page_flights(page):
    """The page's scrolling flight as pushed_flight flies it, a flight falling to the crash,
    then a blank tab: the browser's CPU in each state (browser_cpu), and the ticks a second
    over the scrolling by the page's own clock, counted after a frame at both ends."""
    page_gravity_none(page)
    time.sleep(2.0)  # the page's start settles, as the blank tab's below
    result = dict(Ready=browser_cpu(page))
    page_push(page)
    ticks, clock = page.ticks()
    result["scrolling"] = browser_cpu(page, SCROLL_SECONDS)
    ticks_after, clock_after = page.ticks()
    if page.box() is not None or ticks_after == ticks:
        sys.exit("window_driver: the scrolling flight went wrong in the page (a crash, or no tick)")
    result["rate"] = 1000.0 * (ticks_after - ticks) / (clock_after - clock)
    page.keys("p")
    time.sleep(1.0)
    result["Paused"] = browser_cpu(page)
    page.keys("alt+h", "Return")  # Help, Controls
    time.sleep(1.0)
    if page.box() in (None, "Crashed!"):
        sys.exit("window_driver: the scrolling flight went wrong in the page (no help box)")
    result["help box"] = browser_cpu(page)
    page.keys("Return")
    page.open()  # a fresh game, falling under the default gravity
    page.keys("p")
    wait_page_box(page, "Crashed!", 60)
    time.sleep(1.0)
    result["crash box"] = browser_cpu(page)
    page.keys("Return")
    time.sleep(1.0)
    result["Over"] = browser_cpu(page)
    page.open("about:blank")
    time.sleep(3.0)
    # Chromium's own work comes in bursts (one about every 30 s here): the blank tab's median
    # over as many windows as the waiting states are measured in, and its range.
    blank = sorted(browser_cpu(page)["total"] for _ in PAGE_WAITING)
    result["blank"] = dict(total=statistics.median(blank), low=blank[0], high=blank[-1])
    return result


PAGE_WAITING = ("Ready", "Paused", "help box", "crash box", "Over")


def above_blank(result, state):
    """The share of a core all the browser's processes took in `state` above the blank tab."""
    return result[state]["total"] - result["blank"]["total"]


def by_share(shares, at_least=0.05):
    return ", ".join(f"{k} {v:.2f}%" for k, v in sorted(shares.items(), key=lambda kv: -kv[1])
                     if v >= at_least)


def print_page_round(result):
    scroll, blank, stalls = result["scrolling"], result["blank"], result["scrolling"]["stalls"]
    print(f"page: {result['rate']:.2f} ticks/s ({len(stalls)} frames more than 50 ms after the "
          f"last{', the longest %.0f ms' % max(stalls) if stalls else ''}); scrolling: Chromium "
          f"{scroll['total']:.2f}% against {blank['total']:.2f}% for a blank tab "
          f"({blank['low']:.2f}-{blank['high']:.2f}% in {len(PAGE_WAITING)} windows), "
          f"{scroll['frames']:.1f} frames a second; by process: {by_share(scroll['kinds'])}")
    print(f"page: by thread while scrolling: {by_share(scroll['threads'], 0.2)}")
    print("page waiting, above the blank tab (frames a second, timers asked for): " + "; ".join(
        f"{state} {above_blank(result, state):+.2f}% ({result[state]['frames']:.1f}, "
        f"{result[state]['timers']})" for state in PAGE_WAITING), flush=True)


SETTLE_SECONDS = 75  # Chromium's own work after its start comes about 30 and 60 s in


def web_in_turn(session, site, rounds, game_path):
    """The window's scrolling flight and the page's (page_flights) in turn, `rounds` times,
    in one browser that has settled after its start: the window's game + X server against all
    of Chromium above a blank tab, pair by pair."""
    totals = {"window, game + X server": [], "page, Chromium above a blank tab": []}
    rates = []
    waiting = {state: [] for state in PAGE_WAITING}
    asked = 0  # frames and timers the page asked for while waiting
    page = browser.Browser(site)
    try:
        page.open("about:blank")
        time.sleep(SETTLE_SECONDS)
        for _ in range(rounds):
            scrolling = pushed_flight(session, game_path)["scrolling"]
            print(f"window: {shares(scrolling, by_scheduler=True)}", flush=True)
            result = page_flights(page)
            print_page_round(result)
            rates.append(result["rate"])
            totals["window, game + X server"].append(scrolling[0][1] + scrolling[1][1])
            totals["page, Chromium above a blank tab"].append(above_blank(result, "scrolling"))
            for state in PAGE_WAITING:
                waiting[state].append(above_blank(result, state))
                asked += result[state]["frames"] + result[state]["timers"]
    finally:
        page.close()
    for line in in_turn_summary(totals):
        print(line)
    print("page waiting, median above the blank tab (goal 0.0%): " + "; ".join(
        f"{state} {statistics.median(runs):+.2f}%" for state, runs in waiting.items()) +
        f"; frames and timers asked for in all: {asked:.0f}")
    print("page tick rate (goal 100.0 +- 0.5): " + ", ".join(f"{r:.2f}" for r in rates))
    page_start(site)
    page_where(site)


START_VISITS = 10  # the page loaded again and again, its files in the service worker's cache


def page_start(site):
    """Navigation to the first frame of the scene, from the local server: the first visit of
    a fresh browser, and then the visits after it, as a player comes back."""
    page = browser.Browser(site)
    try:
        first = page.first_frame()
        later = sorted(page.first_frame() for _ in range(START_VISITS))
    finally:
        page.close()
    print(f"page: navigation to the first frame (goal 300 ms): first visit {first:.0f} ms; "
          f"then median {statistics.median(later):.0f} ms ({later[0]:.0f}-{later[-1]:.0f}) "
          f"in {START_VISITS} visits")


@contextlib.contextmanager
def scrolling_page(site, count_draws=False):
    """A browser of its own with the page's scene scrolling (page_push)."""
    page = browser.Browser(site, count_draws)
    try:
        page_gravity_none(page)
        page_push(page)
        yield page
    finally:
        page.close()


def page_where(site):
    """Where the page's time goes while the scene scrolls: the canvas's calls per frame,
    counted in one browser, and in another the self time of the functions on the renderer's
    main thread from a sampling profile (Chrome DevTools Protocol)."""
    with scrolling_page(site, count_draws=True) as page:
        frames, _, draws, _ = page.counts()
        time.sleep(WAIT_SECONDS)
        frames_after, _, draws_after, _ = page.counts()
    frames = frames_after - frames
    print(f"page: canvas calls a frame ({frames} frames): " + ", ".join(
        f"{name} {(count - draws.get(name, 0)) / frames:.1f}"
        for name, count in sorted(draws_after.items(), key=lambda kv: -kv[1])
        if count > draws.get(name, 0)))
    with scrolling_page(site) as page:
        page.driver.execute_cdp_cmd("Profiler.enable", {})
        page.driver.execute_cdp_cmd("Profiler.start", {})
        time.sleep(SCROLL_SECONDS)
        profile = page.driver.execute_cdp_cmd("Profiler.stop", {})["profile"]
    times = browser.self_times(profile)
    busy = sum(ms for (name, _), ms in times.items() if name != "(idle)")
    groups = collections.Counter()
    for (name, where), ms in times.items():
        special = not where and name.startswith("(")  # (program), (garbage collector) ...
        groups[name if special else PROFILE_GROUPS.get(where, "built-ins")] += ms
    del groups["(idle)"]
    print(f"page: the renderer's main thread busy {busy / SCROLL_SECONDS / 10:.1f}% of the time"
          ", of which " + ", ".join(f"{group} {100 * ms / busy:.1f}%"
                                    for group, ms in groups.most_common()) +
          "; by function: " + ", ".join(
              f"{name} ({where or 'built-in'}) {100 * ms / busy:.1f}%"
              for (name, where), ms in sorted(times.items(), key=lambda kv: -kv[1])[:12]
              if name != "(idle)"))


# A profile's functions by their file; the rest are the browser's own (canvas, DOM).
PROFILE_GROUPS = {"page.js": "the page's script", "vandrel.js": "the module's glue",
                  "vandrel.wasm": "WebAssembly"}


def menu_session(session, game_path, seconds):
    """Every menu and submenu opened, each of their items highlighted in turn, and closed
    again, by key, for `seconds`: the peak RSS after."""
    game = Game(session, game_path)
    start = now()
    while now() - start < seconds:
        game.keys("alt+f", "Escape", "alt+o", "Right", *["Down"] * 4, "Escape", "Down", "Right",
                  *["Down"] * 3, "Escape", "Down", "Right", "Down", "Escape", "Down", "Escape",
                  "alt+h", "Down", "Escape")
    rss = peak_rss_mib(game.pid)
    game.close()
    return rss


# The flights timed from P to the crash: a name, the keys that set them up in the window, and
# the same set-up as trace script lines. The second falls from higher up, more slowly.
FLIGHTS = [
    ("default options", [], ""),
    ("Low gravity after two resets", ["alt+o", "Right", "Down", "Return", "r", "r"],
     "click mnuGLow\ndown 82\ndown 82\n"),
]


SERVER = "X server"  # or the compositor, under Wayland


def shares(pair, by_scheduler=False):
    """'game G%, X server X%, together T%' from cpu_shares's utime+stime figures, or to two
    places from the scheduler's."""
    which, digits = (1, 2) if by_scheduler else (0, 1)
    game, server = pair[0][which], pair[1][which]
    return (f"game {game:.{digits}f}%, {SERVER} {server:.{digits}f}%, together "
            f"{game + server:.{digits}f}%")


PHONE = (844, 390, 3, True)  # held sideways
PHONE_THROTTLING = 4  # a mid-range phone, as Chromium's own presets have it


def phone_rounds(site, rounds):
    """The page's scrolling flight on a phone's screen with the browser's main thread slowed
    as a phone's CPU is: the tick rate by the page's clock over SCROLL_SECONDS, and the frames
    that came more than 50 ms after the one before."""
    rates, stalls = [], []
    for _ in range(rounds):
        page = browser.Browser(site, device=PHONE)
        try:
            page.driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate",
                                        {"rate": PHONE_THROTTLING})
            page_gravity_none(page)
            page_push(page)
            ticks, clock = page.ticks()
            late = len(page.counts()[3])
            time.sleep(SCROLL_SECONDS)
            ticks_after, clock_after = page.ticks()
            if page.box() is not None or ticks_after == ticks:
                sys.exit("window_driver: the scrolling flight went wrong on the phone")
            rates.append(1000.0 * (ticks_after - ticks) / (clock_after - clock))
            stalls.append(page.counts()[3][late:])
        finally:
            page.close()
        print(f"phone: {rates[-1]:.2f} ticks/s, {len(stalls[-1])} frames more than 50 ms after "
              f"the last{' (%.0f ms the longest)' % max(stalls[-1]) if stalls[-1] else ''}",
              flush=True)
    print(f"phone ({PHONE[0]}x{PHONE[1]}, pixel ratio {PHONE[2]}, CPU {PHONE_THROTTLING}x slower):"
          f" tick rate (goal 100.0 +- 0.5) " + ", ".join(f"{r:.2f}" for r in rates) +
          f"; frames more than 50 ms after the last (goal none): "
          + ", ".join(str(len(s)) for s in stalls))


def main():
    global SERVER
    args = sys.argv[1:]
    if args[:1] == ["--phone"]:
        phone_rounds(args[1], int(args[2]))
        return
    wayland = args[:1] == ["--wayland"]
    if wayland:
        args, SERVER = args[1:], "compositor"
    session = WaylandSession() if wayland else XSession()
    try:
        if args[:1] == ["--in-turn"]:
            in_turn(session, int(args[1]), args[2:])
        elif args[:1] == ["--web"]:
            web_in_turn(session, args[1], int(args[2]), args[3])
        else:
            game_path, trace, flights = args[0], args[1], int(args[2])
            report(session, game_path, trace, flights, float(args[3]))
    finally:
        session.close()


def report(session, game_path, trace, flights, menu_seconds):
    results = []
    for k, (name, keys, prefix) in enumerate(FLIGHTS):
        ticks = ticks_to_crash(trace, prefix)
        runs = [crash_flight(session, game_path, keys, ticks, k == 0 and i == 0)
                for i in range(flights)]
        rates = [ticks / r["seconds"] for r in runs]
        print(f"{name}: {ticks} ticks from P to the crash box; {statistics.mean(rates):.2f} "
              "ticks/s (flights: " + ", ".join(f"{r:.2f}" for r in rates) + ")")
        results.append((ticks, statistics.mean(r["seconds"] for r in runs), runs))
    (short_ticks, short_s, _), (long_ticks, long_s, _) = results
    print(f"Rate free of constant delays: {(long_ticks - short_ticks) / (long_s - short_s):.2f} "
          f"ticks/s ({long_ticks - short_ticks} more ticks in {long_s - short_s:.3f} s more); "
          "goal 100.0 +- 0.5")

    wayland = session.kind == "wayland"
    scroll = (pushed_flight if wayland else scrolling_flight)(session, game_path)
    print(f"CPU while the scene scrolls on every tick (10 s): {shares(scroll['scrolling'])} "
          f"(the game's by the scheduler's count {scroll['scrolling'][0][1]:.2f}%)")
    everything = [r for _, _, runs in results for r in runs]
    falling = statistics.mean(r["falling"][0][0] for r in everything)
    print(f"CPU of the game while falling to the crash: {falling:.1f}% (goal <= 2%)")
    waiting = [("Ready", scroll["ready"]), ("Paused", scroll["paused"]),
               ("crash box open", everything[0]["boxed"]), ("Over", everything[0]["over"]),
               ("help box open", scroll["boxed"])]
    print(f"CPU while waiting, {WAIT_SECONDS:.0f} s each (goal 0.0% for the game): " + "; ".join(
        f"{name}: {shares(pair)} (game {pair[0][1]:.3f}% by the scheduler)"
        for name, pair in waiting))
    if not wayland:
        print(f"Key to screen, median of {SAMPLES}: press {statistics.median(scroll['presses']):.1f}"
              f" ms (P hides the prompt; max {max(scroll['presses']):.1f}), release "
              f"{statistics.median(scroll['releases']):.1f} ms (the flame goes with the space "
              f"bar; max {max(scroll['releases']):.1f}); goal <= 5 ms")

    menu_rss = menu_session(session, game_path, menu_seconds)
    rss = max([scroll["rss"]] + [r["rss"] for r in everything])
    print(f"Peak RSS: {menu_rss:.1f} MiB after {menu_seconds:.0f} s of opening and closing "
          f"menus (goal <= 40 MiB); {rss:.1f} MiB in the flights")
    launches = everything + [scroll]
    print(f"Launch to window mapped: median "
          f"{statistics.median(r['mapped'] for r in launches):.0f} ms; to the first frame "
          f"with the white hull: median {statistics.median(r['frame'] for r in launches):.0f}"
          f" ms, max {max(r['frame'] for r in launches):.0f} ms (goal <= 100 ms)")


if __name__ == "__main__":
    main()
