# SPDX-License-Identifier: MIT
"""A private X server (Xvfb, no window manager), driven through XTEST on one connection.

Keys, the pointer, the focus, window search, close requests and screenshots all go through
xlib.Display: a new process per key would take tens of milliseconds to connect, too coarse
to time a frame.
"""

import contextlib
import os
import shutil
import subprocess
import tempfile
import time

import image
import xlib
from session import die_with_parent, stop, wait_until

SCREEN = (1024, 768)


class XSession:
    kind = "x11"

    def __init__(self):
        if shutil.which("Xvfb") is None:
            raise RuntimeError("missing program: Xvfb")
        self._tmp = tempfile.TemporaryDirectory(prefix="vandrel-e2e-")
        read_fd, write_fd = os.pipe()
        # Xvfb picks a free display number itself and writes it to the pipe once it
        # accepts connections; the keyboard repeats like a desktop's (250 ms, 30 a second);
        # the root window is black, so that nothing white shows before the game paints.
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "x".join(map(str, SCREEN))
             + "x24", "-br", "-ardelay", "250", "-arinterval", "33", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            preexec_fn=die_with_parent,
        )
        os.close(write_fd)
        self.server_pid = self._xvfb.pid
        self.display = None
        try:
            self.name = ":" + self._read_display(read_fd)
            self.display = xlib.Display(self.name)
        except Exception:
            self.close()
            raise
        runtime_dir = os.path.join(self._tmp.name, "runtime")
        os.mkdir(runtime_dir, 0o700)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY")}
        self.env.update(DISPLAY=self.name, QT_QPA_PLATFORM="xcb", XDG_RUNTIME_DIR=runtime_dir)

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

    def find_window(self, title, pid=None, timeout=0.0, interval=0.1):
        """A visible top-level window whose title matches the regex `title`, or None."""
        def search():
            return self.display.find(title, pid)
        return search() if timeout <= 0 else wait_until(search, timeout, interval)

    def geometry(self, window):
        found = self.display.geometry(window)
        if not found:
            return None
        x, y, width, height = found
        return image.Rect(x, y, x + width - 1, y + height - 1)

    def inner_titles(self, window):
        """The titles of the windows inside a window: a box over the scene has one of its
        own, named after its title."""
        return self.display.titles_within(window)

    def toplevels(self):
        """{window: Rect} of every mapped top-level window, popup menus included."""
        return {w: image.Rect(x, y, x + width - 1, y + height - 1)
                for w, x, y, width, height in self.display.mapped_toplevels()}

    def focus(self, window):
        self.display.focus(window)

    def key(self, name, down):
        self.display.key(name, down)

    def keys(self, *combos):
        """Taps each key, "alt+o" holding Alt, and lets a menu open before the next one."""
        for combo in combos:
            names = ["Alt_L" if n == "alt" else n for n in combo.split("+")]
            for name in names:
                self.key(name, True)
            for name in reversed(names):
                self.key(name, False)
            time.sleep(0.15)

    @contextlib.contextmanager
    def hold(self, name, _seconds=None):
        """Holds a key down for the with-block (a Wayland session needs to know how long)."""
        self.key(name, True)
        try:
            yield
        finally:
            self.key(name, False)

    def pointer(self, x, y):
        self.display.pointer(x, y)

    def click(self):
        self.display.button(True)
        self.display.button(False)

    @contextlib.contextmanager
    def focus_taken(self, _program=None):
        """Another X client takes the focus for the with-block, as a player's click on
        another program does."""
        taker = self.display.focus_taker(SCREEN[0] - 16, 0)
        try:
            yield
        finally:
            self.display.destroy(taker)

    def request_close(self, window):
        self.display.request_close(window)

    def ping(self, window, timeout):
        """Seconds until the window's program answers a ping from its event loop, or None."""
        return self.display.ping(window, timeout)

    def pixels(self, rect):
        """The screen's rectangle as RGB bytes, row by row."""
        return self.display.rgb(rect.x0, rect.y0, rect.x1, rect.y1)

    def grab(self):
        width, height = SCREEN
        return image.Image(width, height, self.pixels(image.Rect(0, 0, width - 1, height - 1)))

    def close(self):
        if self.display:
            self.display.close()
            self.display = None
        stop(self._xvfb)
        self._tmp.cleanup()
