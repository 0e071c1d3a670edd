"""The few Xlib calls the window checks need, through ctypes (no third-party module).

xdotool covers keys, mouse and window search. Two things it cannot do are done here:
listing the mapped top-level windows with their geometry (menu popups have no name to
search for), and asking a window to close the way a window manager does, with a
WM_DELETE_WINDOW client message (`xdotool windowclose` destroys the window instead).
"""

import ctypes
import ctypes.util

_CLIENT_MESSAGE = 33  # X event type
_IS_VIEWABLE = 2  # map_state of a window that is mapped and whose ancestors are mapped


class _WindowAttributes(ctypes.Structure):
    _fields_ = [
        ("x", ctypes.c_int),
        ("y", ctypes.c_int),
        ("width", ctypes.c_int),
        ("height", ctypes.c_int),
        ("border_width", ctypes.c_int),
        ("depth", ctypes.c_int),
        ("visual", ctypes.c_void_p),
        ("root", ctypes.c_ulong),
        ("c_class", ctypes.c_int),
        ("bit_gravity", ctypes.c_int),
        ("win_gravity", ctypes.c_int),
        ("backing_store", ctypes.c_int),
        ("backing_planes", ctypes.c_ulong),
        ("backing_pixel", ctypes.c_ulong),
        ("save_under", ctypes.c_int),
        ("colormap", ctypes.c_ulong),
        ("map_installed", ctypes.c_int),
        ("map_state", ctypes.c_int),
        ("all_event_masks", ctypes.c_long),
        ("your_event_mask", ctypes.c_long),
        ("do_not_propagate_mask", ctypes.c_long),
        ("override_redirect", ctypes.c_int),
        ("screen", ctypes.c_void_p),
    ]


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
        ("pad", ctypes.c_long * 12),  # an XEvent is 24 longs
    ]


def _load():
    name = ctypes.util.find_library("X11") or "libX11.so.6"
    lib = ctypes.CDLL(name)
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    lib.XDefaultRootWindow.restype = ctypes.c_ulong
    lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    lib.XQueryTree.argtypes = [
        ctypes.c_void_p,
        ctypes.c_ulong,
        ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
        ctypes.POINTER(ctypes.c_uint),
    ]
    lib.XGetWindowAttributes.argtypes = [
        ctypes.c_void_p,
        ctypes.c_ulong,
        ctypes.POINTER(_WindowAttributes),
    ]
    lib.XFree.argtypes = [ctypes.c_void_p]
    lib.XInternAtom.restype = ctypes.c_ulong
    lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.XSendEvent.argtypes = [
        ctypes.c_void_p,
        ctypes.c_ulong,
        ctypes.c_int,
        ctypes.c_long,
        ctypes.POINTER(_ClientMessage),
    ]
    lib.XFlush.argtypes = [ctypes.c_void_p]
    # A window that vanishes between XQueryTree and XGetWindowAttributes raises BadWindow;
    # the default handler would end this process, so report it as a failed call instead.
    handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
    lib._keep_handler = handler_type(lambda _dpy, _err: 0)
    lib.XSetErrorHandler.argtypes = [handler_type]
    lib.XSetErrorHandler(lib._keep_handler)
    return lib


_lib = None


class Display:
    """One connection to an X server, closed by close() or at the end of a with-block."""

    def __init__(self, name):
        global _lib
        if _lib is None:
            _lib = _load()
        self._dpy = _lib.XOpenDisplay(name.encode())
        if not self._dpy:
            raise OSError(f"cannot open X display {name}")
        self._root = _lib.XDefaultRootWindow(self._dpy)

    def close(self):
        if self._dpy:
            _lib.XCloseDisplay(self._dpy)
            self._dpy = None

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def mapped_toplevels(self):
        """[(window, x, y, width, height)] of the root's viewable children, bottom first.

        With no window manager every top-level window, popup menu and message box is a
        direct child of the root, at its own screen position.
        """
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not _lib.XQueryTree(
            self._dpy, self._root, ctypes.byref(root), ctypes.byref(parent),
            ctypes.byref(children), ctypes.byref(count)
        ):
            return []
        windows = [children[i] for i in range(count.value)]
        if children:
            _lib.XFree(children)
        found = []
        for window in windows:
            attrs = _WindowAttributes()
            if not _lib.XGetWindowAttributes(self._dpy, window, ctypes.byref(attrs)):
                continue
            if attrs.map_state == _IS_VIEWABLE:
                found.append((window, attrs.x, attrs.y, attrs.width, attrs.height))
        return found

    def request_close(self, window):
        """Ask a window to close, as a window manager's close button does."""
        event = _ClientMessage()
        event.type = _CLIENT_MESSAGE
        event.window = window
        event.message_type = _lib.XInternAtom(self._dpy, b"WM_PROTOCOLS", 0)
        event.format = 32
        event.data[0] = _lib.XInternAtom(self._dpy, b"WM_DELETE_WINDOW", 0)
        event.data[1] = 0  # CurrentTime
        if not _lib.XSendEvent(self._dpy, window, 0, 0, ctypes.byref(event)):
            raise OSError("XSendEvent failed")
        _lib.XFlush(self._dpy)
