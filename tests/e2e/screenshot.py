#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes a PNG of the game's window at its start screen, taken under a private Xvfb.

    screenshot.py PATH/TO/vandrel OUT.png
"""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import image  # noqa: E402
from scene import wait_view  # noqa: E402
from session import Game  # noqa: E402
from xsession import XSession  # noqa: E402


def main(argv):
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
