"""Drives the game's window on an X display for bench/window_bench.sh (see there).

Usage: window_driver.py GAME TRACE FLIGHTS, with DISPLAY set to a display nobody else uses.
Every process it ends is one it started itself.

Keys go to the game as real X key events from xdotool. Windows are found, screenshots taken and
the moment of the P key read (the server's time stamp on its KeyPress event, in milliseconds of
the monotonic clock) through libX11 itself (ctypes), on one open connection: a new xdotool or
import process needs tens of milliseconds to connect here, too coarse for timing a flight.
"""
import os
import re
import statistics
import subprocess
import sys
import time

from x_display import XDisplay

CLK_TCK = os.sysconf("SC_CLK_TCK")
now = time.monotonic  # the clock of the key stamps from XDisplay.last_press


def xdotool(*args):
    done = subprocess.run(["xdotool", *args], capture_output=True, text=True)
    return done.stdout.split() if done.returncode == 0 else []


def key(*names):
    for name in names:
        xdotool("key", "--delay", "0", name)
        time.sleep(0.15)  # let a menu open before the next key


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


def cpu_ns(pid):
    """Time on a CPU of all the process's threads, from /proc/PID/task/*/schedstat, in ns."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as schedstat:
                total += int(schedstat.read().split()[0])
        except FileNotFoundError:
            pass  # a thread that just ended
    return total


def cpu_share(pid, seconds):
    """The share of one core the process used over the next `seconds`, in percent: from
    utime+stime (10 ms steps), and from the scheduler's nanosecond count."""
    cpu0, ns0, wall0 = cpu_seconds(pid), cpu_ns(pid), now()
    time.sleep(seconds)
    wall = now() - wall0
    return (100.0 * (cpu_seconds(pid) - cpu0) / wall, 100.0 * (cpu_ns(pid) - ns0) / 1e9 / wall)


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        kib = int(re.search(r"VmHWM:\s+(\d+) kB", status.read()).group(1))
    return kib / 1024.0


class Game:
    """One run of the game: launched, its first frame awaited, and ended by terminate()."""

    def __init__(self, display, path):
        self.display = display
        start = now()
        self.process = subprocess.Popen([path], stdout=subprocess.DEVNULL)
        self.pid = self.process.pid
        while (wid := display.find(self.pid, "Vandrel")) is None:
            if self.process.poll() is not None or now() - start > 20:
                sys.exit("window_driver: the game window never appeared")
            time.sleep(0.0005)
        self.wid, self.mapped_ms = wid, 1000 * (now() - start)
        while not display.hull_is_white(wid):
            if now() - start > 20:
                sys.exit("window_driver: the hull never showed")
            time.sleep(0.0005)
        self.frame_ms = 1000 * (now() - start)
        xdotool("windowfocus", "--sync", str(wid))
        display.watch_keys(wid)

    def press_p(self):
        xdotool("keydown", "p")
        xdotool("keyup", "p")
        return self.display.last_press("p")

    def wait_for_crash(self, since, limit):
        while now() - since < limit:
            if self.display.find(self.pid, "Crashed!") is not None:
                return now() - since
            time.sleep(0.0005)
        return None

    def terminate(self):
        self.process.terminate()
        self.process.wait()


def crash_flight(display, game_path, menu_keys, ticks):
    """One flight from P to the crash box: the seconds it took, and the CPU shares in Ready and
    while falling (from 0.2 s after P until 0.25 s before the crash, so that neither the key
    nor the box counts)."""
    game = Game(display, game_path)
    key(*menu_keys)
    time.sleep(1.0)
    ready = cpu_share(game.pid, 3.0)
    pressed = game.press_p()
    time.sleep(max(0.0, pressed + 0.2 - now()))
    falling = cpu_share(game.pid, ticks / 100.0 - 0.45)
    seconds = game.wait_for_crash(pressed, ticks / 100.0 + 5.0)
    result = dict(mapped=game.mapped_ms, frame=game.frame_ms, ready=ready, falling=falling,
                  seconds=seconds, rss=peak_rss_mib(game.pid))
    game.terminate()
    if seconds is None:
        sys.exit("window_driver: no crash box appeared")
    return result


def endless_flight(display, game_path):
    """Gravity None and the engine held: CPU while running and while paused, peak RSS."""
    game = Game(display, game_path)
    key("alt+o", "Right", "Return")  # Options, Gravity, None
    time.sleep(0.5)
    game.press_p()
    xdotool("keydown", "space")
    time.sleep(1.0)
    running = cpu_share(game.pid, 6.0)
    crashed = game.wait_for_crash(now(), 0.01) is not None
    xdotool("keyup", "space")
    game.press_p()
    time.sleep(0.5)
    paused = cpu_share(game.pid, 3.0)
    rss = peak_rss_mib(game.pid)
    game.terminate()
    if crashed:
        sys.exit("window_driver: the endless flight crashed: Gravity None was not chosen")
    return running, paused, rss


# The flights timed from P to the crash: a name, the keys that set them up in the window, and
# the same set-up as trace script lines. The second falls from higher up, more slowly.
FLIGHTS = [
    ("default options", [], ""),
    ("Low gravity after two resets", ["alt+o", "Right", "Down", "Return", "r", "r"],
     "click mnuGLow\ndown 82\ndown 82\n"),
]


def main():
    game_path, trace, flights = sys.argv[1], sys.argv[2], int(sys.argv[3])
    display = XDisplay()
    results = []
    for name, keys, prefix in FLIGHTS:
        ticks = ticks_to_crash(trace, prefix)
        runs = [crash_flight(display, game_path, keys, ticks) for _ in range(flights)]
        rates = [ticks / r["seconds"] for r in runs]
        print(f"{name}: {ticks} ticks from P to the crash box; {statistics.mean(rates):.2f} "
              "ticks/s (flights: " + ", ".join(f"{r:.2f}" for r in rates) + ")")
        results.append((ticks, statistics.mean(r["seconds"] for r in runs), runs))
    running, paused, endless_rss = endless_flight(display, game_path)

    (short_ticks, short_s, _), (long_ticks, long_s, _) = results
    print(f"Rate free of constant delays: {(long_ticks - short_ticks) / (long_s - short_s):.2f} "
          f"ticks/s ({long_ticks - short_ticks} more ticks in {long_s - short_s:.3f} s more); "
          "goal 100.0 +- 0.5")
    everything = [r for _, _, runs in results for r in runs]
    ready = tuple(statistics.mean(r["ready"][k] for r in everything) for k in (0, 1))
    falling = tuple(statistics.mean(r["falling"][k] for r in everything) for k in (0, 1))
    print(f"CPU, utime+stime: falling to the crash {falling[0]:.1f}%, running with the engine "
          f"held {running[0]:.1f}% of one core (goal <= 2%); ready {ready[0]:.1f}%, paused "
          f"{paused[0]:.1f}% (goal 0.0%); by the scheduler's count: {falling[1]:.2f}%, "
          f"{running[1]:.2f}%, {ready[1]:.3f}%, {paused[1]:.3f}%")
    rss = max([endless_rss] + [r["rss"] for r in everything])
    print(f"Peak RSS: {rss:.1f} MiB (goal <= 40 MiB)")
    print(f"Launch to window mapped: median "
          f"{statistics.median(r['mapped'] for r in everything):.0f} ms; to the first frame "
          f"with the white hull: median {statistics.median(r['frame'] for r in everything):.0f}"
          f" ms, max {max(r['frame'] for r in everything):.0f} ms (goal <= 100 ms)")


if __name__ == "__main__":
    main()
