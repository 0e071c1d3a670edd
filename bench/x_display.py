"""The X display as window_driver.py needs it, through libX11 itself (ctypes) on one open
connection: the top-level windows with their titles and owners, their pixels, and the server's
time stamps of the key presses that reach them.
"""
import ctypes
import sys
import time

CLIENT_H = 503  # the height of the game's client area below the menu bar, pixels
HULL_BOX = (328, 176, 48, 48)  # x, y, w, h in the client area around the hull centre (352, 200)


def place_stamp(stamp, now_ms):
    """A server time stamp (milliseconds of the monotonic clock, 32 bits wide, so it wraps) as
    seconds of the full clock, taking it to lie at most 49 days before `now_ms`."""
    return (now_ms - ((now_ms - stamp) & 0xFFFFFFFF)) / 1000.0


class XDisplay:
    """The top-level windows of the display, their titles, and their pixels."""

    class Attributes(ctypes.Structure):  # XWindowAttributes
        _fields_ = [(n, ctypes.c_int) for n in ("x", "y", "width", "height", "border", "depth")] + [
            ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong), ("klass", ctypes.c_int),
            ("bit_gravity", ctypes.c_int), ("win_gravity", ctypes.c_int),
            ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
            ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int),
            ("colormap", ctypes.c_ulong), ("map_installed", ctypes.c_int),
            ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
            ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
            ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]

    class KeyEvent(ctypes.Structure):  # XKeyEvent, padded to the size of an XEvent
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                    ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                    ("window", ctypes.c_ulong), ("root", ctypes.c_ulong),
                    ("subwindow", ctypes.c_ulong), ("time", ctypes.c_ulong)] + [
            (n, ctypes.c_int) for n in ("x", "y", "x_root", "y_root")] + [
            ("state", ctypes.c_uint), ("keycode", ctypes.c_uint), ("same_screen", ctypes.c_int),
            ("pad", ctypes.c_long * 16)]

    IS_VIEWABLE, Z_PIXMAP, ALL_PLANES, KEY_PRESS_MASK = 2, 2, 0xFFFFFFFFFFFFFFFF, 1

    def __init__(self):
        x = self.x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype = ctypes.c_void_p
        x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XInternAtom.restype = ctypes.c_ulong
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
        x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]
        x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                         ctypes.c_long, ctypes.c_long, ctypes.c_int,
                                         ctypes.c_ulong] + [ctypes.c_void_p] * 5
        x.XGetImage.restype = ctypes.c_void_p
        x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                                ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
        x.XGetPixel.restype = ctypes.c_ulong
        x.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
        x.XDestroyImage.argtypes = [ctypes.c_void_p]
        x.XFree.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler.argtypes = [ctypes.c_void_p]
        x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
        x.XCheckMaskEvent.argtypes = [ctypes.c_void_p, ctypes.c_long, ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XStringToKeysym.restype = ctypes.c_ulong
        x.XStringToKeysym.argtypes = [ctypes.c_char_p]
        x.XKeysymToKeycode.restype = ctypes.c_ubyte
        x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        # A window can vanish between listing and asking about it: ignore such errors.
        self._ignore = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(
            lambda display, event: 0)
        x.XSetErrorHandler(ctypes.cast(self._ignore, ctypes.c_void_p))
        self.dpy = x.XOpenDisplay(None)
        if not self.dpy:
            sys.exit("window_driver: cannot open the display")
        self.root = x.XDefaultRootWindow(self.dpy)
        self.net_wm_name = x.XInternAtom(self.dpy, b"_NET_WM_NAME", 0)
        self.net_wm_pid = x.XInternAtom(self.dpy, b"_NET_WM_PID", 0)

    def _property(self, wid, atom):
        kind, form, count, after = ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong()
        data = ctypes.c_void_p()
        status = self.x.XGetWindowProperty(self.dpy, wid, atom, 0, 1024, 0, 0, ctypes.byref(kind),
                                           ctypes.byref(form), ctypes.byref(count),
                                           ctypes.byref(after), ctypes.byref(data))
        if status != 0 or not data.value:
            return None
        try:
            if form.value == 32:
                return ctypes.cast(data, ctypes.POINTER(ctypes.c_ulong))[0]
            return ctypes.string_at(data, count.value).decode("utf-8", "replace")
        finally:
            self.x.XFree(data)

    def attributes(self, wid):
        attributes = self.Attributes()
        ok = self.x.XGetWindowAttributes(self.dpy, wid, ctypes.byref(attributes))
        return attributes if ok else None

    def _children(self, wid):
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = ctypes.POINTER(ctypes.c_ulong)(), ctypes.c_uint()
        if not self.x.XQueryTree(self.dpy, wid, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return []
        try:
            return [children[k] for k in range(count.value)]
        finally:
            if children:
                self.x.XFree(children)

    def find(self, pid, title):
        """A window of process `pid` that is shown and whose title starts with `title`."""
        for wid in self._children(self.root):
            if self._property(wid, self.net_wm_pid) != pid:
                continue
            name = self._property(wid, self.net_wm_name) or ""
            attributes = self.attributes(wid)
            if name.startswith(title) and attributes and attributes.map_state == self.IS_VIEWABLE:
                return wid
        return None

    def watch_keys(self, wid):
        """From now on this connection also receives the key presses that reach `wid` or any
        window inside it (the game's scene is a window of its own, and has the focus)."""
        windows = [wid]
        while windows:
            window = windows.pop()
            self.x.XSelectInput(self.dpy, window, self.KEY_PRESS_MASK)
            windows.extend(self._children(window))
        self.x.XSync(self.dpy, 0)

    def last_press(self, name):
        """When the key `name` last reached a watched window, in seconds of the monotonic
        clock."""
        self.x.XSync(self.dpy, 0)
        keycode = self.x.XKeysymToKeycode(self.dpy, self.x.XStringToKeysym(name.encode()))
        event, stamp = self.KeyEvent(), None
        while self.x.XCheckMaskEvent(self.dpy, self.KEY_PRESS_MASK, ctypes.byref(event)):
            if event.keycode == keycode:
                stamp = event.time
        if stamp is None:
            sys.exit(f"window_driver: the key {name} never reached the window")
        return place_stamp(stamp, int(time.monotonic() * 1000))

    def hull_is_white(self, wid):
        """True when the window's pixels show white lines around the hull centre."""
        attributes = self.attributes(wid)
        if not attributes:
            return False
        top = attributes.height - CLIENT_H  # the menu bar sits above the client area
        x, y, w, h = HULL_BOX
        image = self.x.XGetImage(self.dpy, wid, x, top + y, w, h, self.ALL_PLANES, self.Z_PIXMAP)
        if not image:
            return False
        try:
            white = 0
            for py in range(h):
                for px in range(w):
                    pixel = self.x.XGetPixel(image, px, py)
                    if min(pixel & 0xFF, (pixel >> 8) & 0xFF, (pixel >> 16) & 0xFF) >= 200:
                        white += 1
            return 30 <= white <= w * h // 2
        finally:
            self.x.XDestroyImage(image)
