#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""End-to-end checks of the game's window: a private display server, real key and mouse
events, and the pixels of screenshots.

    window_test.py PATH/TO/vandrel x11|wayland [flight] [close]

x11 runs the game under Xvfb with no window manager, wayland under sway (headless). "flight"
plays one game from the start screen to its end; "close" starts more games and closes each
by its window's close request. Both run when none is named. With VANDREL_SHOTS set, a
screenshot with each box up is kept there. Prints one line a check and a closing
"N passed, N failed" line; exits 1 when a check failed.
"""

import os
import signal
import sys
import time
import traceback

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from flight_checks import FlightChecks, close_request  # noqa: E402
from waysession import WaylandSession  # noqa: E402
from xsession import XSession  # noqa: E402

SESSIONS = {"x11": XSession, "wayland": WaylandSession}


class Tally:
    def __init__(self):
        self.passed = self.failed = 0

    def run(self, name, check, *args):
        start = time.monotonic()
        try:
            check(*args)
        except AssertionError as fault:
            self.failed += 1
            print(f"FAIL {name} ({time.monotonic() - start:.1f} s)\n     {fault}", flush=True)
            return
        except Exception:  # a broken tool or a vanished window fails this check only
            self.failed += 1
            print(f"FAIL {name}\n{traceback.format_exc()}", flush=True)
            return
        self.passed += 1
        print(f"ok   {name} ({time.monotonic() - start:.1f} s)", flush=True)


def _stop(signum, _frame):
    raise SystemExit(128 + signum)  # unwinds through the finally blocks that end the server


def main(argv):
    if len(argv) < 3 or not os.access(argv[1], os.X_OK) or argv[2] not in SESSIONS:
        print(f"usage: {argv[0]} PATH/TO/vandrel x11|wayland [flight] [close]", file=sys.stderr)
        return 2
    program, wanted = argv[1], set(argv[3:]) or {"flight", "close"}
    signal.signal(signal.SIGTERM, _stop)
    signal.signal(signal.SIGINT, _stop)
    tally = Tally()
    session = SESSIONS[argv[2]]()
    try:
        print(f"{argv[2]} display {session.name}", flush=True)
        if "flight" in wanted:
            flight = None
            try:
                flight = FlightChecks(session, program)
                for name, check in flight.checks():
                    tally.run(name, check)
            except Exception as fault:
                tally.failed += 1
                print(f"FAIL starting the game: {fault}", flush=True)
            finally:
                if flight:
                    flight.close()
        if "close" in wanted:
            tally.run("closing the window ends the game with status 0",
                      close_request, session, program)
    finally:
        session.close()
    print(f"{tally.passed} passed, {tally.failed} failed", flush=True)
    return 0 if tally.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
