# SPDX-License-Identifier: MIT
"""A private X server (Xvfb, no window manager) and the game running in it.

Everything waits by bounded polling, so a busy machine makes the checks slower, never
wrong; every process started here is ended by close(), also when a check fails.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time

import image
import xlib

_libc = ctypes.CDLL(None)


def _die_with_parent():
    # If these checks are killed outright (a test timeout), the X server and the game
    # must not outlive them: the kernel sends them SIGTERM when their parent dies.
    _libc.prctl(1, signal.SIGTERM)  # PR_SET_PDEATHSIG

CLIENT_WIDTH, CLIENT_HEIGHT = 727, 503  # the scene, in pixels, below the menu bar
TOOLS = ("Xvfb", "xdotool", "import", "xdpyinfo")


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


class XSession:
    def __init__(self):
        missing = [tool for tool in TOOLS if shutil.which(tool) is None]
        if missing:
            raise RuntimeError("missing programs: " + " ".join(missing))
        self._tmp = tempfile.TemporaryDirectory(prefix="vandrel-e2e-")
        read_fd, write_fd = os.pipe()
        # Xvfb picks a free display number itself and writes it to the pipe once it
        # accepts connections; the keyboard repeats like a desktop's (250 ms, 30 a second).
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1024x768x24",
             "-ardelay", "250", "-arinterval", "33", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=_die_with_parent,
        )
        os.close(write_fd)
        self.name = ":" + self._read_display(read_fd)
        runtime_dir = os.path.join(self._tmp.name, "runtime")
        os.mkdir(runtime_dir, 0o700)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY")}
        self.env.update(DISPLAY=self.name, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime_dir)
        if not wait_until(self._answers, 20):
            raise RuntimeError(f"Xvfb on {self.name} does not accept connections")
        self.display = xlib.Display(self.name)

    def _read_display(self, fd):
        text = b""
        deadline = time.monotonic() + 20
        with os.fdopen(fd, "rb", buffering=0) as pipe:
            while not text.endswith(b"\n") and time.monotonic() < deadline:
                chunk = pipe.read(16)
                if not chunk:
                    break
                text += chunk
        if not text.strip():
            raise RuntimeError("Xvfb did not start")
        return text.decode().strip()

    def _answers(self):
        probe = subprocess.run(["xdpyinfo"], env=self.env, capture_output=True, timeout=10)
        return probe.returncode == 0

    def xdotool(self, *args, timeout=20):
        done = subprocess.run(["xdotool", *map(str, args)], env=self.env,
                              capture_output=True, text=True, timeout=timeout)
        return done.stdout if done.returncode == 0 else None

    def find_window(self, name, timeout=0.0):
        """The id of a visible window whose title matches the regex name, or None."""
        def search():
            out = self.xdotool("search", "--onlyvisible", "--name", name)
            return int(out.split()[0]) if out and out.split() else None
        return search() if timeout <= 0 else wait_until(search, timeout, 0.1)

    def geometry(self, window):
        out = self.xdotool("getwindowgeometry", "--shell", window)
        if not out:
            return None
        values = dict(line.split("=", 1) for line in out.split() if "=" in line)
        x, y = int(values["X"]), int(values["Y"])
        return image.Rect(x, y, x + int(values["WIDTH"]) - 1, y + int(values["HEIGHT"]) - 1)

    def grab(self):
        return image.grab(self.env)

    def close(self):
        if self.display:
            self.display.close()
            self.display = None
        if self._xvfb.poll() is None:
            self._xvfb.terminate()
            try:
                self._xvfb.wait(5)
            except subprocess.TimeoutExpired:
                self._xvfb.kill()
                self._xvfb.wait()
        self._tmp.cleanup()


class Game:
    """build/vandrel in the session; client is the scene's rectangle on the screen."""

    def __init__(self, session, program):
        self.session = session
        self._log = tempfile.TemporaryFile()
        self.process = subprocess.Popen([program], env=session.env, stdin=subprocess.DEVNULL,
                                        stdout=self._log, stderr=subprocess.STDOUT,
                                        preexec_fn=_die_with_parent)
        self.window = session.find_window("^Vandrel$", timeout=20)
        if not self.window:
            raise RuntimeError("no visible window titled 'Vandrel' within 20 s" + self.output())
        frame = session.geometry(self.window)
        width, height = frame.x1 - frame.x0 + 1, frame.y1 - frame.y0 + 1
        if width != CLIENT_WIDTH or height < CLIENT_HEIGHT:
            raise RuntimeError(f"window is {width}x{height}, expected {CLIENT_WIDTH} wide "
                               f"and a {CLIENT_HEIGHT}-pixel scene under the menu bar")
        self.frame = frame
        # The menu bar sits above the scene; the scene fills the rest of the window.
        self.client = image.Rect(frame.x0, frame.y1 - CLIENT_HEIGHT + 1, frame.x1, frame.y1)
        self.focus()

    def at(self, x, y):
        """Screen position of a point of the scene."""
        return self.client.x0 + x, self.client.y0 + y

    def rect(self, x0, y0, x1, y1):
        """Screen rectangle of a rectangle of the scene."""
        return image.Rect(x0, y0, x1, y1).moved(self.client.x0, self.client.y0)

    def focus(self):
        self.session.xdotool("windowfocus", "--sync", self.window)

    def running(self):
        return self.process.poll() is None

    def wakeups(self, seconds):
        """How often the game's threads were woken to run during the next `seconds`: a game
        that waits with nothing to do is not woken."""
        before = schedstat(self.process.pid, SCHED_RUNS)
        time.sleep(seconds)
        return schedstat(self.process.pid, SCHED_RUNS) - before

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
        if self.running():
            self.process.send_signal(signal.SIGTERM)
            if self.wait_exit(5) is None:
                self.process.kill()
                self.process.wait()
        self._log.close()
