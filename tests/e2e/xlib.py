# SPDX-License-Identifier: MIT
"""The one Xlib binding of the window checks and the window benchmark (Debian's python3-xlib).

xdotool covers keys, mouse and window search in the checks. What it cannot do, or not fast
enough to time a frame (a new xdotool process needs tens of milliseconds to connect), is done
here on one open connection: listing the mapped top-level windows with their geometry (menu
popups have no name to search for), asking a window to close the way a window manager does
(a WM_DELETE_WINDOW client message; `xdotool windowclose` destroys the window instead),
finding a process's window by title, reading a window's pixels, and pressing keys through
XTEST.
"""

import sys

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
        try:
            self._d = xdisplay.Display(name)
        except (error.DisplayError, error.ConnectionClosedError) as fault:
            raise OSError(f"cannot open X display {name}") from fault
        # A window can vanish between listing it and asking about it: the request that
        # follows fails, and its error is not worth a message.
        self._d.set_error_handler(lambda *_: None)
        self._root = self._d.screen().root

    def close(self):
        if self._d:
            self._d.close()
            self._d = None

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

    def find(self, pid, title):
        """A viewable top-level window of process `pid` whose title starts with `title`."""
        pid_atom, name_atom = self._atom("_NET_WM_PID"), self._atom("_NET_WM_NAME")
        for window in self._children(self._root):
            try:
                owner = window.get_full_property(pid_atom, X.AnyPropertyType)
                if owner is None or owner.value[0] != pid:
                    continue
                name = window.get_full_property(name_atom, X.AnyPropertyType)
            except error.XError:
                continue
            text = name.value.decode("utf-8", "replace") if name else ""
            if text.startswith(title) and self._viewable_geometry(window):
                return window.id
        return None

    def height(self, wid):
        geometry = self._viewable_geometry(self._window(wid))
        return geometry[3] if geometry else None

    def pixels(self, wid, x0, y0, x1, y1):
        """The (r, g, b) pixels of the window's rectangle x0..x1, y0..y1 (inclusive), row by
        row; [] when the window is gone. The screen is 24-bit true colour, 4 bytes a pixel."""
        try:
            data = self._window(wid).get_image(x0, y0, x1 - x0 + 1, y1 - y0 + 1, X.ZPixmap,
                                               _ALL_PLANES).data
        except error.XError:
            return []
        return list(zip(data[2::4], data[1::4], data[0::4]))

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
