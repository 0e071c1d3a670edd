# SPDX-License-Identifier: MIT
"""A private Wayland compositor (sway, headless, software rendering) for the window checks.

sway refuses to run as root, so under root it runs as the user nobody, in a runtime
directory of its own; the games connect to its socket by path (root may, whoever owns it).
Keys come from wtype, screenshots from grim, the window tree and close requests from
swaymsg. Each wtype call is a new virtual keyboard whose first key the compositor can miss,
so every call starts with a short pause; a key is held within one call.

A headless sway has no keyboard of its own: the seat would have one only while a wtype call
runs, and would take the keyboard from the game after each, as if the player had left its
window. One idle virtual keyboard stays for the whole session, as a desktop's keyboard does.

Run as a script, it runs a program as a client of its own private sway (the window tests'
binary, for one).
"""

import contextlib
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

import image
from session import Game, die_with_parent, stop, wait_until

NOBODY = 65534
SCREEN = (1024, 768)
# Every window floats at its own size, the game's centred on the screen, with no border, on
# sway's plain background; no X server beside it.
CONFIG = f"""xwayland disable
output HEADLESS-1 mode {SCREEN[0]}x{SCREEN[1]}
default_border none
default_floating_border none
focus_follows_mouse no
for_window [app_id=".*"] floating enable
"""
FIRST_KEY_MS = 300  # the pause that lets a new virtual keyboard settle


class WaylandSession:
    kind = "wayland"

    def __init__(self):
        missing = [t for t in ("sway", "swaymsg", "wtype", "grim") if shutil.which(t) is None]
        if missing:
            raise RuntimeError("missing programs: " + " ".join(missing))
        self._tmp = tempfile.TemporaryDirectory(prefix="vandrel-wayland-")
        os.chmod(self._tmp.name, 0o755)
        # As root, sway and swaymsg run as nobody; as anyone else, as that user.
        self._as = (["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
                    if os.geteuid() == 0 else [])
        runtime = os.path.join(self._tmp.name, "sway")
        os.mkdir(runtime, 0o700)
        config = os.path.join(self._tmp.name, "config")
        with open(config, "w") as out:
            out.write(CONFIG)
        os.chmod(config, 0o644)
        if self._as:
            os.chown(runtime, NOBODY, NOBODY)
        self._log = open(os.path.join(self._tmp.name, "sway.log"), "wb")
        self._keyboard = None
        # setpriv changes the user, which clears a death signal set before: it sets its own.
        self._sway = subprocess.Popen(
            [*self._as, "--pdeathsig", "TERM"] * bool(self._as) + ["sway", "-c", config],
            env=dict(PATH=os.environ.get("PATH", "/usr/bin:/bin"), HOME=self._tmp.name,
                     XDG_RUNTIME_DIR=runtime, WLR_BACKENDS="headless", WLR_RENDERER="pixman",
                     WLR_LIBINPUT_NO_DEVICES="1"),
            stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT,
            preexec_fn=die_with_parent)
        self.server_pid = self._sway.pid
        sockets = wait_until(lambda: self._sockets(runtime), 20)
        if sockets:
            self.name, self._ipc = sockets
        if not sockets or not wait_until(lambda: self._swaymsg("-t", "get_outputs"), 20):
            self.close()
            raise RuntimeError("sway did not start" + self.sway_output())
        game_runtime = os.path.join(self._tmp.name, "game")
        os.mkdir(game_runtime, 0o700)
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "XAUTHORITY", "QT_QPA_PLATFORM", "SWAYSOCK")}
        self.env.update(WAYLAND_DISPLAY=self.name, QT_QPA_PLATFORM="wayland",
                        XDG_RUNTIME_DIR=game_runtime)
        self._keyboard = subprocess.Popen(["wtype", "-s", str(24 * 3600 * 1000)], env=self.env,
                                          preexec_fn=die_with_parent)
        if not wait_until(self._seat_has_keyboard, 20):
            self.close()
            raise RuntimeError("sway's seat never got the session's keyboard")

    def _seat_has_keyboard(self):
        return any(d.get("type") == "keyboard" for d in self._swaymsg("-t", "get_inputs") or [])

    @staticmethod
    def _sockets(runtime):
        ipc = glob.glob(os.path.join(runtime, "sway-ipc.*.sock"))
        display = [p for p in glob.glob(os.path.join(runtime, "wayland-*"))
                   if not p.endswith(".lock")]
        return (display[0], ipc[0]) if ipc and display else None

    def _swaymsg(self, *args):
        """swaymsg's parsed answer, or None when it failed."""
        env = dict(PATH=os.environ.get("PATH", "/usr/bin:/bin"), SWAYSOCK=self._ipc)
        done = subprocess.run([*self._as, "swaymsg", "-r", *args], env=env,
                              capture_output=True, text=True, timeout=20)
        if done.returncode != 0:
            return None
        return json.loads(done.stdout) if done.stdout.strip() else True

    def command(self, text):
        answer = self._swaymsg(text)
        if not answer or not all(part.get("success") for part in answer):
            raise RuntimeError(f"swaymsg {text!r}: {answer}")

    def windows(self):
        """[{id, name, pid, rect: Rect}] of the windows in sway's tree."""
        found = []

        def walk(node):
            if node.get("pid"):
                r = node["rect"]
                found.append(dict(id=node["id"], name=node.get("name") or "", pid=node["pid"],
                                  rect=image.Rect(r["x"], r["y"], r["x"] + r["width"] - 1,
                                                  r["y"] + r["height"] - 1)))
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                walk(child)
        walk(self._swaymsg("-t", "get_tree") or {})
        return found

    def find_window(self, title, pid=None, timeout=0.0, interval=0.1):
        """The id of a window whose title matches the regex `title`, or None."""
        def search():
            return next((w["id"] for w in self.windows() if re.search(title, w["name"])
                         and (pid is None or w["pid"] == pid)), None)
        return search() if timeout <= 0 else wait_until(search, timeout, interval)

    def geometry(self, window):
        return next((w["rect"] for w in self.windows() if w["id"] == window), None)

    def focus(self, window):
        self.command(f"[con_id={window}] focus")

    def request_close(self, window):
        self.command(f"[con_id={window}] kill")

    @staticmethod
    def _wtype(combo):
        *modifiers, key = combo.split("+")
        args = [arg for m in modifiers for arg in ("-M", m)] + ["-k", key]
        return args + [arg for m in reversed(modifiers) for arg in ("-m", m)]

    def keys(self, *combos):
        """Taps each key, "alt+o" holding Alt, in one wtype call."""
        args = ["-s", str(FIRST_KEY_MS)]
        for combo in combos:
            args += self._wtype(combo) + ["-s", "150"]
        subprocess.run(["wtype", *args], env=self.env, check=True, timeout=30)

    @contextlib.contextmanager
    def hold(self, name, seconds):
        """Holds a key for `seconds` from the start of the with-block, which must end sooner:
        its end waits for the release."""
        typing = subprocess.Popen(["wtype", "-s", str(FIRST_KEY_MS), "-P", name, "-s",
                                   str(round(seconds * 1000)), "-p", name], env=self.env)
        try:
            yield
        finally:
            try:
                typing.wait(seconds + 10)
            finally:
                stop(typing)

    @contextlib.contextmanager
    def focus_taken(self, program):
        """A second game opens, takes the focus for the with-block, and is moved below the
        first one, out of its way."""
        other = Game(self, program)
        try:
            self.command(f"[con_id={other.window}] move absolute position 0 {SCREEN[1] - 60}")
            yield
        finally:
            other.close()

    def _grim(self, *args):
        out = subprocess.run(["grim", "-t", "ppm", *args, "-"], env=self.env, check=True,
                             capture_output=True, timeout=30).stdout
        return image.Image.from_ppm(out)

    def pixels(self, rect):
        """The screen's rectangle as RGB bytes, row by row."""
        return self._grim("-g", f"{rect.x0},{rect.y0} {rect.x1 - rect.x0 + 1}x"
                                f"{rect.y1 - rect.y0 + 1}").rgb

    def grab(self):
        return self._grim()

    def sway_output(self):
        with open(self._log.name, "rb") as log:
            text = log.read().decode(errors="replace").strip()
        return "\n--- sway output ---\n" + text if text else ""

    def close(self):
        if self._keyboard:
            stop(self._keyboard)
        stop(self._sway)
        self._log.close()
        self._tmp.cleanup()


def main(argv):
    """waysession.py PROGRAM [ARGUMENTS...]: runs a program as a client of a private sway, as
    the window tests' own binary is run there; its exit status is this script's."""
    if len(argv) < 2:
        print(f"usage: {argv[0]} PROGRAM [ARGUMENTS...]", file=sys.stderr)
        return 2
    session = WaylandSession()
    try:
        return subprocess.run(argv[1:], env=session.env).returncode
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv))
