#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes a PNG of the game's window at its start screen, taken under a private Xvfb; or, with
--phone, of the page on a phone held sideways, with its on-screen controls, in a headless
Chromium of that screen.

    screenshot.py PATH/TO/vandrel OUT.png
    screenshot.py --phone SITE OUT.png
"""

import base64
import os
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import image  # noqa: E402
from scene import wait_view  # noqa: E402
from session import Game, wait_until  # noqa: E402
from xsession import XSession  # noqa: E402


def phone(site, out):
    from pagesession import PageSession  # with selenium, which only a browser needs
    session = PageSession(site, device=(844, 390, 2, True))
    try:
        session.driver.get(session.name)
        started = wait_until(lambda: session.driver.execute_script(
            "return document.getElementById('menubar').childElementCount > 0"), 20)
        if not started:
            print("the page never started" + session.console(), file=sys.stderr)
            return 1
        time.sleep(1)
        shot = session.driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png"})
        with open(out, "wb") as png:
            png.write(base64.b64decode(shot["data"]))
    finally:
        session.close()
    return 0


def main(argv):
    if len(argv) == 4 and argv[1] == "--phone":
        return phone(argv[2], argv[3])
    if len(argv) != 3:
        print(f"usage: {argv[0]} PATH/TO/vandrel OUT.png", file=sys.stderr)
        return 2
    session = XSession()
    try:
        game = Game(session, argv[1])
        try:
            # The start screen is complete once the hull and the prompt are painted.
            view = wait_view(game, lambda v: v.prompt() >= 15 and v.hull_white() >= 40, 20)
            if not view:
                print("the start screen never appeared" + game.output(), file=sys.stderr)
                return 1
            image.save_png(view.shot, game.frame, argv[2])
        finally:
            game.close()
    finally:
        session.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
