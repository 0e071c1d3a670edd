#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The flight recorder end to end: a flight played with real X keys and recorded, replayed by
the trace tool and in the window, a recording killed halfway, the recorder's failures, and
recordings made to hurt, replayed while the window's answers to pings and its memory are
measured.

    recording_checks.py PATH/TO/vandrel PATH/TO/vandrel-trace

Runs under a private Xvfb. Prints one line a check and a closing "N passed, N failed" line;
exits 1 when a check failed.
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from scene import View, box_shown, wait_view  # noqa: E402
from session import Game, wait_until  # noqa: E402
from window_test import Tally, _stop  # noqa: E402
from xsession import XSession  # noqa: E402

HEADER = "# Vandrel 1.00 recording"
LIMIT = 64 * 1024 * 1024  # the largest flight the page reads
# The window and the page answer a key, a close request and the next frame within this, in
# seconds, whatever a replay holds; and hold this much memory at most, in MiB, for any file.
ANSWER, GROWTH = 0.050, 256


def hostile_flight(folder, name):
    """A recording made to hurt, written to `folder` once: its path. Each is a valid script,
    or all but: "presses" holds P pressed 8,388,604 times (64 MiB), "few_presses" 200,000
    times, "dumps" 13.4 million dump lines (64 MiB), "keys" every key code pressed and held,
    then 32767 pressed to 64 MiB; "nuls" is 1 GiB of NUL bytes and "feeds" 1 GiB of line
    feeds, for a host that reads too much before it refuses."""
    path = os.path.join(folder, name + ".txt")
    if os.path.exists(path):
        return path
    with open(path, "wb") as script:
        if name in ("presses", "few_presses"):
            script.write(b"down 80\n" * (8_388_604 if name == "presses" else 200_000))
        elif name == "dumps":
            script.write(b"dump\n" * (LIMIT // 5))
        elif name == "keys":
            every = b"".join(b"down %d\n" % code for code in range(-32768, 32768))
            script.write(every + b"down 32767\n" * ((LIMIT - len(every)) // 11))
        elif name == "nuls":
            script.truncate(1 << 30)  # a hole: no disk taken
        elif name == "feeds":
            for _ in range(64):
                script.write(b"\n" * (1 << 24))
    return path


def read_lines(path):
    with open(path, encoding="utf-8") as recording:
        return recording.read().splitlines()


def trace(tool, script):
    """The trace tool's status, output lines and errors for a script."""
    done = subprocess.run([tool], input=script, capture_output=True, text=True, timeout=60)
    return done.returncode, done.stdout.splitlines(), done.stderr


def outcome_title(session, game, timeout):
    """The title of the outcome box once it is up, told by the hull beside it: "Crashed!"
    (red) or "Landed!" (green, neither red nor white)."""
    view = wait_view(game, View.box, timeout)
    assert view, f"no outcome box within {timeout} s" + game.output()
    title = "Crashed!" if view.hull_red() >= 20 else "Landed!"
    return view, title


def answer(session, game, box):
    game.focus()
    game.keys("Return")
    assert wait_until(lambda: not box_shown(game), 10), "the outcome box is still open after Return"


class RecordingChecks:
    def __init__(self, session, program, tool):
        self.session, self.program, self.tool = session, program, tool
        self._tmp = tempfile.TemporaryDirectory(prefix="vandrel-recordings-")
        self.flight = self.path("flight.txt")
        self.title = None

    def path(self, name):
        return os.path.join(self._tmp.name, name)

    def close(self):
        self._tmp.cleanup()

    def checks(self):
        return [
            ("a flight with turns, burns, thrust steps, its outcome, R, a pause and a close "
             "request is recorded", self.record_flight),
            ("the trace tool replays the recording to the window's final state", self.trace_replay),
            ("--replay shows the same outcome box and ends in the same state", self.window_replay),
            ("during a replay P pauses and resumes it and the player's game keys do nothing",
             self.replay_keys),
            ("a killed recording is a valid script of the flight so far", self.killed),
            ("--help lists both options; a recording that cannot be written or read: status 2 "
             "before any window, or status 4 after play; a file's name and words shown with "
             "the characters that would reorder them escaped", self.failures),
            ("hostile recordings (64 MiB of P, of dump, every key code held then one pressed): "
             "--replay answers pings within 50 ms, grows by less than 256 MiB over a plain "
             "game, and a close request ends it within 1 s; 1 GiB of NUL bytes is refused at "
             "its first line", self.hostile),
        ]

    def record_flight(self):
        game = Game(self.session, self.program, ["--record", self.flight])
        try:
            assert wait_view(game, lambda v: v.prompt() >= 15, 15), "no start screen"
            # Some two seconds of flight before the ground: thrust steps, a turn each way and
            # a burn, all before it.
            game.keys("p", "Up", "Up", "Up", "Down")
            with self.session.hold("Right"):
                time.sleep(0.3)
            with self.session.hold("space"):
                time.sleep(0.6)
            with self.session.hold("Left"):
                time.sleep(0.3)
            box, self.title = outcome_title(self.session, game, 60)
            answer(self.session, game, box)
            game.keys("r", "p")
            time.sleep(0.5)
            game.keys("p")  # paused
            time.sleep(0.3)
            self.session.request_close(game.window)
            status = game.wait_exit(10)
            assert status == 0, f"the game ended with status {status}" + game.output()
        finally:
            game.close()
        lines = read_lines(self.flight)
        assert lines[0] == HEADER, f"the first line is {lines[0]!r}"
        assert lines[-2] == "# end: close", f"the end line is {lines[-2]!r}"
        assert lines[-1].startswith('# final: {"ticks":'), f"the last line is {lines[-1][:40]!r}"
        body = lines[1:-2]
        for wanted in ["down 80", "down 39", "up 39", "down 37", "up 37", "down 32", "up 32",
                       "down 38", "down 40", "down 82"]:
            assert wanted in body, f"no line {wanted!r} in the recording"
        assert body.count("down 80") >= 3, "the start, the start after R and the pause"
        bad = [line for line in body if not re.fullmatch(r"(down|up) -?\d+|tick \d+", line)]
        assert not bad, f"lines that are no events: {bad[:3]}"
        ticks = [int(line.split()[1]) for line in body if line.startswith("tick ")]
        assert all(1 <= n <= 100 for n in ticks), f"tick runs out of bounds: {ticks}"
        assert sum(ticks) >= 200, f"only {sum(ticks)} ticks recorded"

    def trace_replay(self):
        assert self.title, "no recorded flight"
        with open(self.flight, encoding="utf-8") as recording:
            script = recording.read()
        status, out, err = trace(self.tool, script + "dump\n")
        assert status == 0 and err == "", f"status {status}: {err}"
        assert f'"title":"{self.title}"' in out[0], f"the trace's first box is {out[0]}"
        final = read_lines(self.flight)[-1]
        assert "# final: " + out[-1] == final, "the trace ends in another state than the window"

    def window_replay(self):
        assert self.title, "no recorded flight"
        again = self.path("again.txt")
        game = Game(self.session, self.program, ["--replay", self.flight, "--record", again])
        try:
            box, title = outcome_title(self.session, game, 60)
            assert title == self.title, f"the replay shows {title}, the flight {self.title}"
            answer(self.session, game, box)
            # The rest of the flight plays; the replay rewrites it event for event.
            body = read_lines(self.flight)[1:-2]
            assert wait_until(lambda: read_lines(again)[1:] == body, 30), \
                "the replay's recording never caught up with the flight"
            self.session.request_close(game.window)
            status = game.wait_exit(10)
            assert status == 0, f"the replay ended with status {status}" + game.output()
        finally:
            game.close()
        assert read_lines(again)[-1] == read_lines(self.flight)[-1], \
            "the replay ends in another state than the flight"

    def replay_keys(self):
        slow = self.path("slow.txt")
        with open(slow, "w", encoding="utf-8") as script:
            script.write("click mnuGLow\ndown 80\ntick 6000\n")  # a minute of slow falling
        game = Game(self.session, self.program, ["--replay", slow])
        try:
            assert wait_view(game, lambda v: v.prompt() == 0, 10), "the replay never started"
            game.keys("p")
            time.sleep(0.2)
            paused = View(game)
            with self.session.hold("space"):
                time.sleep(0.5)
            game.keys("Left", "Up", "r")
            still = View(game)
            assert still.flame() == 0, "the player's space burns during the replay"
            changed = still.changed_since(paused)
            assert changed == 0, f"{changed} pixels changed while the replay was paused"
            game.keys("p")
            assert wait_view(game, lambda v: v.changed_since(paused) > 20, 10), \
                "the replay does not go on after P"
            assert game.running(), "the game ended" + game.output()
        finally:
            game.close()

    def killed(self):
        halfway = self.path("killed.txt")
        game = Game(self.session, self.program, ["--record", halfway])
        try:
            game.keys("p")
            with self.session.hold("space"):
                time.sleep(1.0)
            time.sleep(1.5)
            game.process.send_signal(signal.SIGKILL)
            game.wait_exit(10)
        finally:
            game.close()
        lines = read_lines(halfway)
        assert lines[0] == HEADER and "# end: close" not in lines, f"lines: {lines[:3]}"
        status, out, err = trace(self.tool, "\n".join(lines) + "\ndump\n")
        assert status == 0 and err == "", f"status {status}: {err}"
        ticks = int(re.match(r'{"ticks":(\d+),', out[-1]).group(1))
        assert ticks >= 150, f"only {ticks} of some 250 ticks were written"

    def failures(self):
        env = self.session.env
        done = subprocess.run([self.program, "--help"], env=env, capture_output=True, text=True,
                              timeout=30)
        assert "--record <FILE>" in done.stdout and "--replay <FILE>" in done.stdout, done.stdout
        done = subprocess.run([self.program, "--record", "/nonexistent/flight.txt"], env=env,
                              capture_output=True, text=True, timeout=30)
        assert done.returncode == 2, f"status {done.returncode}"
        assert done.stderr.endswith(
            "vandrel: cannot write '/nonexistent/flight.txt': No such file or directory\n"), \
            done.stderr
        broken = self.path("broken.txt")
        with open(broken, "w", encoding="utf-8") as script:
            script.write("down 80\ntick 5\njump\n")
        done = subprocess.run([self.program, "--replay", broken], env=env, capture_output=True,
                              text=True, timeout=30)
        assert done.returncode == 2, f"status {done.returncode}"
        assert done.stderr == f'vandrel: {broken}: line 3: unknown command "jump"\n', done.stderr
        # A right-to-left override in the name and in the line would show the message
        # reversed; control characters in the name would drive the terminal.
        folder = self.path("")
        reversed_name = "flight\u202etxt.exe\x1b[2J"
        with open(os.path.join(folder, reversed_name), "w", encoding="utf-8") as script:
            script.write("click \u2067mnuExit\n")
        done = subprocess.run([os.path.abspath(self.program), "--replay", reversed_name],
                              env=env, cwd=folder, capture_output=True, text=True, timeout=30)
        assert done.returncode == 2, f"status {done.returncode}"
        assert done.stderr == (
            "vandrel: flight\\xe2\\x80\\xaetxt.exe\\x1b[2J: line 1: no menu item with a click "
            'handler named "\\xe2\\x81\\xa7mnuExit"\n'), done.stderr
        # A disk that is full: the game plays on unrecorded and ends with status 4.
        game = Game(self.session, self.program, ["--record", "/dev/full"])
        try:
            game.keys("p")
            time.sleep(1.2)
            self.session.request_close(game.window)
            status = game.wait_exit(10)
            output = game.output()
        finally:
            game.close()
        assert status == 4, f"status {status}" + output
        message = "vandrel: cannot write '/dev/full': No space left on device"
        assert output.count(message) == 1, output


    def hostile(self):
        plain = Game(self.session, self.program)
        try:
            baseline = plain.peak_memory()
        finally:
            plain.close()
        for name in ("presses", "dumps", "keys"):
            game = Game(self.session, self.program,
                        ["--replay", hostile_flight(self._tmp.name, name)], quiet=True)
            try:
                answers = []
                end = time.monotonic() + 2
                while time.monotonic() < end:
                    answers.append(self.session.ping(game.window, 5))
                    assert answers[-1] is not None, f"{name}: no answer to a ping in 5 s"
                    time.sleep(0.02)
                assert game.running(), f"{name}: the game ended" + game.output()
                grown = game.peak_memory() - baseline
                start = time.monotonic()
                self.session.request_close(game.window)
                status = game.wait_exit(1)
                closed = time.monotonic() - start
            finally:
                game.close()
            print(f"     {name}: longest answer {1000 * max(answers):.1f} ms over {len(answers)}"
                  f" pings, {grown:.0f} MiB over a plain game, closed in {closed:.2f} s",
                  flush=True)
            assert max(answers) < ANSWER, f"{name}: a ping answered in {max(answers):.3f} s"
            assert grown < GROWTH, f"{name}: {grown:.0f} MiB over a plain game"
            assert status == 0, f"{name}: a close request did not end the game within 1 s"
        nuls = hostile_flight(self._tmp.name, "nuls")
        done = subprocess.run([self.program, "--replay", nuls], env=self.session.env,
                              capture_output=True, text=True, timeout=10)
        assert (done.returncode, done.stderr) == (
            2, f"vandrel: {nuls}: line 1: longer than 65536 bytes\n"), done.stderr


def main(argv):
    if len(argv) != 3 or not all(os.access(p, os.X_OK) for p in argv[1:]):
        print(f"usage: {argv[0]} PATH/TO/vandrel PATH/TO/vandrel-trace", file=sys.stderr)
        return 2
    signal.signal(signal.SIGTERM, _stop)
    signal.signal(signal.SIGINT, _stop)
    tally = Tally()
    session = XSession()
    checks = RecordingChecks(session, argv[1], argv[2])
    try:
        print(f"x11 display {session.name}", flush=True)
        for name, check in checks.checks():
            tally.run(name, check)
    finally:
        checks.close()
        session.close()
    print(f"{tally.passed} passed, {tally.failed} failed", flush=True)
    return 0 if tally.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
