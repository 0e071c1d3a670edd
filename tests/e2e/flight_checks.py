# SPDX-License-Identifier: MIT
"""One flight played through the real window: start screen, keys, crash, reset, menus, Exit.

The checks run in order on one game; each one leaves the game in the state the next one
expects (Ready, Running, Over, Ready again). Under Wayland the menus are driven by keys only
(their popups are in no window tree there), so the Gravity menu's check marks and File > Exit
are left out, and so is the turn, which would hold the arrow for a set time.
"""

import contextlib
import os
import re
import time

import image
from image import Rect
from menus import Menus
from scene import View, box_shown, hull_moved, wait_view
from session import Game, wait_until

# A game that waits is woken by no timer: a few wake-ups at most in half a second (its ticks
# would wake it 50 times).
WAKEUPS = 10


def open_help(game, row):
    """Opens Help > Controls (row 0) or Help > About (row 1): by mouse on X, by keys
    elsewhere (on Wayland popup menus are not in the window tree)."""
    if game.session.kind != "x11":
        game.keys("alt+h", *["Down"] * row, "Return")
    else:
        menus = Menus(game)
        menus.click(menus.open("h", "the Help menu", 2), row)


def box_title_fault(game, pattern):
    """What is wrong with the title of the box up over the scene, or None. Under X the box
    has a window of its own inside the game's, named after its title, and in a web page its
    own element; under Wayland it has none, and its title is left to the widget tests."""
    if game.session.kind == "wayland":
        return None
    titles = [t for t in game.session.inner_titles(game.window) if t != "Vandrel"]
    if len(titles) == 1 and re.fullmatch(pattern, titles[0]):
        return None
    return f"the box's window is titled {titles}, not {pattern!r}"


def save_shot(game, name, view=None):
    """Keeps a screenshot of the whole screen as SHOTS/<window system>-<name>.png, when the
    SHOTS directory is given (the test registration gives it)."""
    folder = os.environ.get("VANDREL_SHOTS")
    if folder:
        os.makedirs(folder, exist_ok=True)
        shot = (view or View(game)).shot
        image.save_png(shot, Rect(0, 0, shot.width - 1, shot.height - 1),
                       os.path.join(folder, f"{game.session.kind}-{name}.png"))


class FlightChecks:
    def __init__(self, session, program):
        self.session, self.program = session, program
        self.game = Game(session, program)
        self.menus = Menus(self.game)

    def close(self):
        self.game.close()

    def checks(self):
        x11 = self.session.kind == "x11"
        return [check for check in [
            ("start screen: white hull, red prompt, four readouts with text", self.start_screen),
            ("P starts the flight: the prompt goes and the scene moves", self.p_starts),
            ("holding space keeps the flame burning; releasing it puts it out", self.space_held),
            ("P pauses under a shorter prompt and stands still; P again resumes", self.pause),
            ("Help > Controls shows 'Game Help' and the flight stands still under it",
             self.help_box),
            x11 and ("the left arrow turns the hull", self.left_turns),
            ("another window takes the focus while space is held: the flame goes out, the fuel"
             " stops, the flight pauses; P resumes", self.focus_leaves),
            ("the ship falls and crashes: 'Crashed!', dismissed with Return, red hull",
             self.crash),
            ("R brings back the white hull and the prompt", self.reset),
            x11 and ("Options > Gravity > High by mouse moves the check mark", self.gravity_high),
            x11 and ("File > Exit ends the game with status 0", self.file_exit),
        ] if check]

    def notices(self):
        """Where the host shows a notice of its own over the scene now (a window, none)."""
        return []

    def _alive(self):
        assert self.game.running(), "the game is not running any more" + self.game.output()

    def start_screen(self):
        view = wait_view(self.game, lambda v: v.prompt() >= 15 and v.hull_white() >= 40, 15)
        assert view, "the start screen never showed the white hull and the red prompt"
        assert view.flame() == 0, f"the flame shows before the flight ({view.flame()} px)"
        faults = view.readout_faults()
        assert not faults, "; ".join(faults)
        self.start_view = view

    def p_starts(self):
        self._alive()
        self.game.focus()
        self.game.keys("p")
        gone = wait_view(self.game, lambda v: v.prompt() == 0, 10)
        assert gone, "the prompt is still showing after P"
        # Gravity pulls the ship down: terrain and stars start to move up the window.
        moved = wait_view(self.game, lambda v: v.changed_since(gone) > 20, 10)
        assert moved, "nothing in the scene moves after P"

    @contextlib.contextmanager
    def _burning(self, seconds):
        """Holds space (for at most `seconds`) once the flame burns under the ship."""
        self._alive()
        self.game.focus()
        with self.session.hold("space", seconds):
            lit = wait_view(self.game, lambda v: v.flame() >= 8, 10)
            assert lit, "no flame under the ship while space is held"
            yield

    def _p_resumes(self, what):
        self.game.keys("p")
        resumed = wait_view(self.game, lambda v: v.prompt() == 0, 10)
        assert resumed, f"the prompt stays after {what}"
        assert wait_view(self.game, lambda v: v.changed_since(resumed) > 20, 10), \
            "nothing moves after the flight was resumed"

    def space_held(self):
        with self._burning(4):
            shots, start = 0, time.monotonic()
            while time.monotonic() - start < 1.5:
                view = View(self.game)
                shots += 1
                assert view.flame() >= 8, (f"the flame went out {time.monotonic() - start:.2f} s"
                                           f" into the hold ({view.flame()} px)")
            assert shots >= 3, f"only {shots} screenshots in 1.5 s"
        out = wait_view(self.game, lambda v: v.flame() == 0, 5)
        assert out, "the flame still burns after space was released"

    def pause(self):
        self._alive()
        self.game.focus()
        self.game.keys("p")
        paused = wait_view(self.game, lambda v: v.paused(self.start_view), 10)
        assert paused, "no short red prompt after P during the flight"
        woken = self.game.wakeups(0.5)
        assert woken < WAKEUPS, f"the paused game was woken {woken} times in 0.5 s"
        changed = View(self.game).changed_since(paused)
        assert changed == 0, f"{changed} pixels of the scene changed while paused"
        self._p_resumes("the second P")

    def help_box(self):
        self._alive()
        open_help(self.game, 0)
        assert wait_view(self.game, View.box, 10), "no box over the scene after Help > Controls"
        fault = box_title_fault(self.game, "Game Help")
        assert not fault, fault
        time.sleep(0.3)  # the scene under the closed popup is repainted
        first = View(self.game)
        frame = first.box()
        hole = Rect(frame.x0 - 4, frame.y0 - 4, frame.x1 + 4, frame.y1 + 4)
        save_shot(self.game, "help", first)
        faults = first.box_faults(frame)
        assert not faults, "; ".join(faults)
        assert first.hull_white() >= 40, "the hull is hidden while the help box is up"
        woken = self.game.wakeups(0.6)
        assert woken < WAKEUPS, f"the game was woken {woken} times in 0.6 s under the box"
        second = View(self.game)
        changed = second.changed_since(first, [hole])
        assert changed == 0, f"{changed} pixels of the scene changed under the help box"
        self.game.keys("Return")
        assert wait_until(lambda: not box_shown(self.game), 10), \
            "the help box is still open after Return"
        moving = wait_view(self.game, lambda v: v.changed_since(second) > 20, 10)
        assert moving, "the flight does not go on after the help box"
        assert moving.prompt() == 0, "the game shows its prompt after the help box"

    def left_turns(self):
        self._alive()
        self.game.focus()
        before = View(self.game)
        with self.session.hold("Left", 10):
            turned = wait_view(self.game, lambda v: hull_moved(before, v) >= 40, 10)
        assert turned, "the hull did not move while the left arrow was held"

    def focus_leaves(self):
        with self._burning(6):
            with self.session.focus_taken(self.program):
                out = wait_view(self.game, lambda v: v.flame() == 0, 5)
                assert out, "the flame still burns after another window took the focus"
                paused = wait_view(self.game, lambda v: v.paused(self.start_view), 5)
                assert paused, "no 'Paused' after another window took the focus"
                notices = self.notices()
                time.sleep(0.5)
                later = View(self.game)
                burnt = later.readout_changes(out, "fuel")
                assert burnt == 0, f"the fuel readout changed ({burnt} px) with the focus away"
                assert later.flame() == 0, "the flame came back with the focus away"
        # Back in the window, the flight stays paused until P, with no flame.
        self.game.focus()
        time.sleep(0.5)
        back = View(self.game)
        assert back.paused(self.start_view), "the flight did not stay paused with the focus back"
        changed = back.changed_since(paused, notices)
        assert changed == 0, f"{changed} pixels of the scene changed before P"
        self._p_resumes("P")
        assert View(self.game).flame() == 0, "the flame burns again after P"

    def crash(self):
        self._alive()
        assert wait_view(self.game, View.box, 40), "no outcome box within 40 s of falling"
        # The box leaves the ship in view: the player sees the red hull while it is up (a
        # landing's would be green).
        red = wait_view(self.game, lambda v: v.hull_red() >= 20, 5)
        assert red, "no red hull while the outcome box is up: not 'Crashed!'"
        fault = box_title_fault(self.game, "Crashed!")
        assert not fault, fault
        save_shot(self.game, "crashed", red)
        faults = red.box_faults(red.box())
        assert not faults, "; ".join(faults)
        self.game.keys("Return")
        assert wait_until(lambda: not box_shown(self.game), 10), \
            "the 'Crashed!' box is still open after Return"
        red = wait_view(self.game, lambda v: v.hull_red() >= 20, 5)
        assert red, "the hull is not red after the crash"
        woken = self.game.wakeups(0.5)
        assert woken < WAKEUPS, f"the game was woken {woken} times in 0.5 s after the crash"

    def reset(self):
        self._alive()
        self.game.focus()
        self.game.keys("r")
        ready = wait_view(self.game, lambda v: v.prompt() >= 15 and v.hull_red() == 0
                          and v.hull_white() >= 40, 10)
        assert ready, "no white hull and prompt after R"

    def gravity_high(self):
        self._alive()
        before = self._gravity_submenu()
        self.menus.click(before, 3)  # None, Low, Normal, High, Very High
        assert self.menus.wait_closed(10), "the menus stay open after choosing High"
        assert wait_view(self.game, lambda v: v.prompt() >= 15, 10), "the prompt is not shown"
        after = self._gravity_submenu()
        try:
            assert after.rect == before.rect, f"the submenu moved: {before.rect}, {after.rect}"
            rows = before.rows()
            changed = [before.shot.differing(after.shot, row) for row in rows]
            assert changed[2] and changed[3], f"Normal and High look the same: {changed}"
            assert not (changed[0] or changed[1] or changed[4]), f"other items changed: {changed}"
            normal = before.ink(rows[2]) - after.ink(rows[2])
            high = after.ink(rows[3]) - before.ink(rows[3])
            assert normal > 0 and high > 0, "the check mark did not move from Normal to High"
        finally:
            self.menus.close_all()

    def _gravity_submenu(self):
        options = self.menus.open("o", "the Options menu", 4)
        return self.menus.hover(options, 0, "the Gravity submenu", 5)

    def file_exit(self):
        self._alive()
        popup = self.menus.open("f", "the File menu", 1)
        self.menus.click(popup, 0)
        status = self.game.wait_exit(10)
        assert status is not None, "the game still runs 10 s after File > Exit"
        assert status == 0, f"the game ended with status {status}" + self.game.output()


def close_request(session, program):
    """Games closed by their window's close request end at once with status 0: at the start
    screen, and while each kind of box is up (Qt itself drops the close request of a window
    that a modal box blocks)."""
    def help_box(game):
        open_help(game, 0)
        return "Game Help"

    def about_box(game):
        open_help(game, 1)
        return "About"

    def outcome_box(game):
        game.focus()
        game.keys("p")
        return "(Crashed|Landed)!"

    for what, open_box in [("at the start screen", None), ("under Help > Controls", help_box),
                           ("under Help > About", about_box), ("under the outcome box",
                                                               outcome_box)]:
        game = Game(session, program)
        try:
            view = wait_view(game, lambda v: v.prompt() >= 15, 15)
            assert view, f"the game closed {what} never showed its prompt"
            if open_box:
                title = open_box(game)
                assert wait_view(game, View.box, 40), f"no box opened {what}"
                fault = box_title_fault(game, title)
                assert not fault, fault
                if open_box is about_box:
                    time.sleep(0.3)  # the scene under the closed popup is repainted
                    save_shot(game, "about")
            session.request_close(game.window)
            status = game.wait_exit(10)
            if status is None:
                up = session.find_window("^Vandrel$", game.pid)
                raise AssertionError(f"the game still runs 10 s after the close request {what}: "
                                     + ("its window is still up" if up else
                                        "its window is gone, the process hangs on its way out"))
            assert status == 0, f"closed {what}, the game ended with status {status}" + \
                game.output()
        finally:
            game.close()
