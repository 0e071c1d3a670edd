# SPDX-License-Identifier: MIT
"""The one Xlib binding of the window checks and the window benchmark (Debian's python3-xlib).

Everything the X session does goes over one open connection, fast enough to time a frame:
listing the mapped top-level windows with their geometry (menu popups have no name to search
for), finding a process's window by title, giving a window the focus, asking a window to
close the way a window manager does (a WM_DELETE_WINDOW client message) and pinging it (_NET_WM_PING, which
the client answers from its event loop), reading the screen's pixels, pressing keys and moving and clicking the pointer through XTEST, and a
window of its own that can take the focus from the game.
"""

import re
import select
import sys
import time

try:
    import Xlib  # noqa: F401
except ImportError:
    # Debian's python3-xlib is pure Python: an interpreter other than Debian's own (one from
    # pyenv, say) can use it from where Debian puts it.
    sys.path.append("/usr/lib/python3/dist-packages")
from Xlib import X, XK, error, protocol  # noqa: E402
from Xlib import display as xdisplay  # noqa: E402
from Xlib.ext import xtest  # noqa: E402

_ALL_PLANES = 0xFFFFFFFF


class Display:
    """One connection to an X server, closed by close() or at the end of a with-block."""

    def __init__(self, name=None):
        self._name, self._pings, self._stamp = name, None, 0
        try:
            self._d = xdisplay.Display(name)
        except (error.DisplayError, error.ConnectionClosedError) as fault:
            raise OSError(f"cannot open X display {name}") from fault
        # A window can vanish between listing it and asking about it: the request that
        # follows fails, and its error is not worth a message.
        self._d.set_error_handler(lambda *_: None)
        self._root = self._d.screen().root

    def close(self):
        for connection in (self._pings, self._d):
            if connection:
                connection.close()
        self._pings = self._d = None

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def _window(self, wid):
        return self._d.create_resource_object("window", wid)

    def _atom(self, name):
        return self._d.intern_atom(name)

    def _children(self, window):
        try:
            return window.query_tree().children
        except error.XError:
            return []

    def _viewable_geometry(self, window):
        """(x, y, width, height) of a window that is mapped with all its ancestors, or None."""
        try:
            if window.get_attributes().map_state != X.IsViewable:
                return None
            g = window.get_geometry()
        except error.XError:
            return None
        return g.x, g.y, g.width, g.height

    def mapped_toplevels(self):
        """[(window, x, y, width, height)] of the root's viewable children, bottom first.

        With no window manager every top-level window, popup menu and message box is a
        direct child of the root, at its own screen position.
        """
        found = []
        for window in self._children(self._root):
            geometry = self._viewable_geometry(window)
            if geometry:
                found.append((window.id, *geometry))
        return found

    def request_close(self, window):
        """Ask a window to close, as a window manager's close button does."""
        protocols = self._atom("WM_PROTOCOLS")
        event = protocol.event.ClientMessage(
            window=window, client_type=protocols,
            data=(32, [self._atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        self._window(window).send_event(event, event_mask=0)
        self._d.flush()

    def ping(self, wid, timeout):
        """Seconds until the window's client answers a ping (_NET_WM_PING, sent back to the
        root window from its event loop, as a window manager asks to tell a client that hangs),
        or None after `timeout` seconds. The answer comes on a connection of its own, which
        takes the root window's redirection (as a window manager would) only while it waits:
        the client answers only such a connection, and windows map as ever between pings."""
        if self._pings is None:
            self._pings = xdisplay.Display(self._name)
        pings = self._pings
        root = pings.screen().root
        root.change_attributes(event_mask=X.SubstructureNotifyMask | X.SubstructureRedirectMask)
        pings.sync()
        self._stamp += 1
        ping = self._atom("_NET_WM_PING")
        event = protocol.event.ClientMessage(
            window=wid, client_type=self._atom("WM_PROTOCOLS"),
            data=(32, [ping, self._stamp, wid, 0, 0]))
        start = time.monotonic()
        self._window(wid).send_event(event, event_mask=0)
        self._d.flush()
        try:
            while (left := start + timeout - time.monotonic()) > 0:
                while pings.pending_events():
                    answer = pings.next_event()
                    if answer.type == X.ClientMessage and \
                            list(answer.data[1][:2]) == [ping, self._stamp]:
                        return time.monotonic() - start
                select.select([pings.fileno()], [], [], left)
            return None
        finally:
            root.change_attributes(event_mask=0)
            pings.sync()

    def _title(self, window):
        name = window.get_full_property(self._atom("_NET_WM_NAME"), X.AnyPropertyType)
        return name.value.decode("utf-8", "replace") if name else ""

    def find(self, title, pid=None):
        """A viewable top-level window whose title matches the regular expression `title`
        (of process `pid`, if given), or None."""
        pid_atom = self._atom("_NET_WM_PID")
        for window in self._children(self._root):
            try:
                if pid is not None:
                    owner = window.get_full_property(pid_atom, X.AnyPropertyType)
                    if owner is None or owner.value[0] != pid:
                        continue
                text = self._title(window)
            except error.XError:
                continue
            if re.search(title, text) and self._viewable_geometry(window):
                return window.id
        return None

    def titles_within(self, wid):
        """The titles of the viewable windows inside a window (those that have one)."""
        found, pending = [], self._children(self._window(wid))
        while pending:
            window = pending.pop()
            try:
                text = self._title(window)
            except error.XError:
                continue
            if text and self._viewable_geometry(window):
                found.append(text)
            pending += self._children(window)
        return found

    def geometry(self, wid):
        """(x, y, width, height) of a viewable window, or None; with no window manager a
        top-level window's position is its place on the screen."""
        return self._viewable_geometry(self._window(wid))

    def rgb(self, x0, y0, x1, y1):
        """The screen's rectangle x0..x1, y0..y1 (inclusive) as RGB bytes, row by row; b""
        when it cannot be read. The screen is 24-bit true colour, 4 bytes a pixel."""
        try:
            data = self._root.get_image(x0, y0, x1 - x0 + 1, y1 - y0 + 1, X.ZPixmap,
                                        _ALL_PLANES).data
        except error.XError:
            return b""
        rgb = bytearray(len(data) // 4 * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = data[2::4], data[1::4], data[0::4]
        return bytes(rgb)

    def focus(self, wid):
        """Gives the window the keyboard focus, as a window manager does on a click."""
        self._window(wid).set_input_focus(X.RevertToParent, X.CurrentTime)
        self._d.sync()

    def key(self, name, down):
        """Presses (down) or releases the key named by its keysym ("p", "space") as the
        keyboard would, and returns once the server has taken it."""
        code = self._d.keysym_to_keycode(XK.string_to_keysym(name))
        xtest.fake_input(self._d, X.KeyPress if down else X.KeyRelease, code)
        self._d.sync()

    def pointer(self, x, y):
        """Moves the pointer to a place on the screen."""
        xtest.fake_input(self._d, X.MotionNotify, x=x, y=y)
        self._d.sync()

    def button(self, down, number=1):
        xtest.fake_input(self._d, X.ButtonPress if down else X.ButtonRelease, number)
        self._d.sync()

    def focus_taker(self, x, y):
        """Maps a small window of this connection at (x, y) and gives it the focus, as a
        player's click on another program does; returns its id (for destroy)."""
        window = self._root.create_window(x, y, 16, 16, 0, X.CopyFromParent,
                                          event_mask=X.ExposureMask)
        window.set_wm_name("focus taker")
        window.map()
        self._d.sync()  # with no window manager, mapped (and so focusable) from here on
        self.focus(window.id)
        return window.id

    def destroy(self, wid):
        self._window(wid).destroy()
        self._d.sync()
