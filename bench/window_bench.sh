#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Times the game's window from outside, on a private Xvfb display, with real X key events
# (the window checks' X session, tests/e2e/xsession.py).
# Run it by hand after building build/ (it is not a CTest test):
#
#   bench/window_bench.sh [--wayland] [FLIGHTS [MENU_SECONDS]]
#                             (default 3 flights of each kind, 60 s)
#   bench/window_bench.sh [--wayland] --in-turn ROUNDS GAME [GAME ...]
#                             (builds side by side: the CPU while the scene scrolls, in turn)
#   bench/window_bench.sh --web [ROUNDS]
#                             (the page, build-web/site, in headless Chromium, and the window
#                             in turn; default 3 rounds)
#   bench/window_bench.sh --phone [ROUNDS]
#                             (the page on a phone's screen held sideways, 844x390 at a pixel
#                             ratio of 3, its CPU slowed 4 times; default 3 rounds)
#
# With --wayland the same runs take place under a private headless sway (the window checks'
# Wayland session, tests/e2e/waysession.py), the compositor's CPU counted as the X server's
# is; keys come from wtype there, so no key is timed to the screen.
#
# It reports
#  - the tick rate: the number of ticks from P to the crash is fixed by the simulation and
#    taken from build/vandrel-trace with the same inputs; it is divided by the wall time from
#    the P key until the "Crashed!" box shows in the window's pixels. Flights under Normal
#    gravity (the default) and under Low gravity (chosen by menu) are timed; the difference of
#    the two kinds also gives a rate free of the constant delays of key delivery, box creation
#    and polling;
#  - the CPU use (utime+stime from /proc/PID/stat) of the game and of the X server over the
#    same interval, while the scene scrolls on every tick (Gravity None, the ship laid on its
#    side and pushed once: the frames the server draws are counted too), while falling to the
#    crash, and in every waiting state: Ready, Paused, Over, under the crash box and under the
#    help box;
#  - how long a key takes to reach the screen, from the key event the server takes (XTEST)
#    until the window's pixels show it: P hides the prompt; releasing the space bar puts out
#    the flame;
#  - the peak resident set (VmHWM) after opening and closing the menus for MENU_SECONDS;
#  - the time from launch until the window is mapped, and until its pixels show the white
#    hull (the first frame).
#
# With --web each round flies the window's scrolling flight, then the page's in a headless
# Chromium (bench/browser.py, Debian's chromium, chromium-driver and python3-selenium) started
# for the run and left to settle first: the same keys, a flight falling to the crash, then a
# blank tab. It reports the page's tick rate over 10 s of scrolling, counted by the page's
# own clock; the CPU of all of Chromium's processes (by the scheduler's count, by process and
# by thread) while scrolling and in each waiting state, above the blank tab's, with the
# animation frames and timers the page asked for; the window's game + X server against the
# page pair by pair; and, from two more browsers, the canvas's calls a frame and a profile of
# the renderer's main thread.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
game="${VANDREL_GAME:-$root/build/vandrel}"
trace="${VANDREL_TRACE:-$root/build/vandrel-trace}"
session=()
if [[ "${1:-}" == --wayland ]]; then session=(--wayland); shift; fi
in_turn=()
if [[ "${1:-}" == --phone ]]; then
    site="${VANDREL_SITE:-$root/build-web/site}"
    [[ -f "$site/vandrel.wasm" ]] ||
        { echo "window_bench: no $site (scripts/build.sh web)" >&2; exit 2; }
    exec /usr/bin/python3 -B "$root/bench/window_driver.py" --phone "$site" "${2:-3}"
fi
if [[ "${1:-}" == --web ]]; then
    site="${VANDREL_SITE:-$root/build-web/site}"
    [[ -f "$site/vandrel.wasm" ]] ||
        { echo "window_bench: no $site (scripts/build.sh web)" >&2; exit 2; }
    /usr/bin/python3 -c "import selenium" 2>/dev/null && [[ -x /usr/bin/chromedriver ]] ||
        { echo "window_bench: chromium-driver and python3-selenium are not installed" >&2; exit 2; }
    in_turn=(--web "$site" "${2:-3}" "$game")
    set --
elif [[ "${1:-}" == --in-turn ]]; then
    in_turn=("$@")
    game="${3:?window_bench: --in-turn needs ROUNDS and at least one GAME}"
    set --
fi
flights="${1:-3}"
menu_seconds="${2:-60}"
for tool in "$game" "$trace"; do
    [[ -x "$tool" ]] || { echo "window_bench: no $tool (build it first)" >&2; exit 2; }
done
for tool in Xvfb python3; do
    command -v "$tool" >/dev/null || { echo "window_bench: $tool is not installed" >&2; exit 2; }
done
PYTHONPATH="$root/tests/e2e" python3 -B -c "import xlib" 2>/dev/null ||
    { echo "window_bench: python3-xlib is not installed" >&2; exit 2; }

# The driver starts its own Xvfb (the window checks' X session), or sway, and ends it.
if ((${#in_turn[@]})); then
    # Debian's Python, which has selenium (a python3 earlier on the PATH may not).
    exec /usr/bin/python3 -B "$root/bench/window_driver.py" "${session[@]}" "${in_turn[@]}"
fi
python3 -B "$root/bench/window_driver.py" "${session[@]}" "$game" "$trace" "$flights" "$menu_seconds"
