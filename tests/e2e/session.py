# SPDX-License-Identifier: MIT
"""The game running in a private display server: the one `Game` class of the window checks
and the window benchmark, and what both display sessions share.

A session (xsession.XSession: Xvfb with no window manager; waysession.WaylandSession: sway
headless) starts its server, sends keys, finds windows, takes screenshots and asks windows
to close; a Game is one run of build/vandrel in it. Everything waits by bounded polling, so
a busy machine makes the checks slower, never wrong; every process started here is ended by
close(), also when a check fails.
"""

import ctypes
import os
import signal
import subprocess
import tempfile
import time

import image

CLIENT_WIDTH, CLIENT_HEIGHT = 727, 503  # the scene, in pixels, below the menu bar
HULL = (330, 178, 375, 222)  # the ship around its fixed centre (352, 200)

_libc = ctypes.CDLL(None)


def die_with_parent():
    # If these checks are killed outright (a test timeout), the display server and the game
    # must not outlive them: the kernel sends them SIGTERM when their parent dies.
    _libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG


SCHED_NS, SCHED_RUNS = 0, 2  # fields of /proc/PID/task/TID/schedstat


def schedstat(pid, field):
    """A field of the scheduler's statistics (nanoseconds on a CPU, or the number of times a
    thread was run) summed over all the process's threads."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as stat:
                total += int(stat.read().split()[field])
        except FileNotFoundError:
            pass  # a thread that just ended
    return total


def wait_until(condition, timeout, interval=0.05):
    """condition()'s first true value, or None after timeout seconds."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


def stop(process, grace=5):
    """Ends a process this harness started: SIGTERM, then SIGKILL after `grace` seconds."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(grace)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Game:
    """build/vandrel in a session, from launch until its first frame shows the white hull.

    window is its main window in the session's terms, frame its rectangle on the screen and
    client the scene's; mapped_ms and frame_ms time the launch.
    """

    def __init__(self, session, program, arguments=(), quiet=False):
        """`quiet`: what the game writes on standard output (a replay's dumps) is dropped."""
        self.session = session
        self._log = tempfile.TemporaryFile()
        start = time.monotonic()
        self.process = subprocess.Popen([program, *arguments], env=session.env, stdin=subprocess.DEVNULL,
                                        stdout=subprocess.DEVNULL if quiet else self._log,
                                        stderr=self._log, preexec_fn=die_with_parent)
        self.pid = self.process.pid
        self.window = session.find_window("^Vandrel$", self.pid, timeout=20, interval=0.0005)
        if not self.window:
            self._fail("no visible window titled 'Vandrel' within 20 s")
        self.mapped_ms = 1000 * (time.monotonic() - start)
        frame = session.geometry(self.window)
        width, height = frame.x1 - frame.x0 + 1, frame.y1 - frame.y0 + 1
        if width != CLIENT_WIDTH or height < CLIENT_HEIGHT:
            self._fail(f"window is {width}x{height}, expected {CLIENT_WIDTH} wide and a "
                       f"{CLIENT_HEIGHT}-pixel scene under the menu bar")
        self.frame = frame
        # The menu bar sits above the scene; the scene fills the rest of the window.
        self.client = image.Rect(frame.x0, frame.y1 - CLIENT_HEIGHT + 1, frame.x1, frame.y1)
        hull = HULL[2] - HULL[0] + 1
        if not wait_until(lambda: 30 <= self.count(HULL, image.is_white) <= hull * hull // 2,
                          20, 0.0005):
            self._fail("the white hull never showed")
        self.frame_ms = 1000 * (time.monotonic() - start)
        self.focus()
        time.sleep(0.1)  # let Qt take the focus in

    def _fail(self, what):
        message = what + self.output()
        self.close()
        raise RuntimeError(message)

    def rect(self, x0, y0, x1, y1):
        """Screen rectangle of a rectangle of the scene."""
        return image.Rect(x0, y0, x1, y1).moved(self.client.x0, self.client.y0)

    def count(self, area, test):
        """How many pixels of the scene's rectangle `area` pass `test`, read at once."""
        rgb = self.session.pixels(self.rect(*area))
        return sum(map(test, zip(rgb[0::3], rgb[1::3], rgb[2::3])))

    def focus(self):
        self.session.focus(self.window)

    def keys(self, *combos):
        self.session.keys(*combos)

    def running(self):
        return self.process.poll() is None

    def wakeups(self, seconds):
        """How often the game's threads were woken to run during the next `seconds`: a game
        that waits with nothing to do is not woken."""
        before = schedstat(self.pid, SCHED_RUNS)
        time.sleep(seconds)
        return schedstat(self.pid, SCHED_RUNS) - before

    def peak_memory(self):
        """The most memory the game has held at once so far (VmHWM), in MiB."""
        with open(f"/proc/{self.pid}/status", encoding="ascii") as status:
            return next(int(line.split()[1]) for line in status if line.startswith("VmHWM:")) / 1024

    def wait_exit(self, timeout):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def output(self):
        self._log.seek(0)
        text = self._log.read().decode(errors="replace").strip()
        return "\n--- game output ---\n" + text if text else ""

    def close(self):
        stop(self.process)
        self._log.close()
