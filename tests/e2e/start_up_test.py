#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The game's start before any window: its options and every way it cannot open a display.

    start_up_test.py PATH/TO/vandrel

Each case runs the game in an environment with no display of its own and checks the exit
status (never a signal), which stream speaks and what it says. Prints one line a case and
a closing "N passed, N failed" line.
"""

import os
import resource
import subprocess
import sys

DISPLAY_VARIABLES = ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE")

# (name, arguments, environment added, status, standard output, standard error): the
# outputs are texts that must appear in that stream, None where the stream must stay empty.
CASES = [
    ("--version", ["--version"], {}, 0, "Vandrel 1.00\n", None),
    ("-v", ["-v"], {}, 0, "Vandrel 1.00\n", None),
    ("--help", ["--help"], {}, 0, "Usage: vandrel [options]", None),
    ("--help names --version", ["-h"], {}, 0, "--version", None),
    ("--version with no display is still 0", ["--version"], {"DISPLAY": ":999"}, 0,
     "Vandrel 1.00", None),
    ("an unknown option", ["--fullscreen"], {}, 2, None, "Unknown option 'fullscreen'"),
    ("a Qt option is refused too", ["-platform", "offscreen"], {}, 2, None,
     "Unknown option 'platform'"),
    ("a stray argument", ["level2"], {}, 2, None, "Unexpected argument 'level2'"),
    ("an argument after --version", ["--version", "x"], {}, 2, None, "'vandrel --help'"),
    ("no display set", [], {}, 1, None, "neither DISPLAY nor WAYLAND_DISPLAY is set"),
    ("no X server at DISPLAY", [], {"DISPLAY": ":999"}, 1, None,
     'cannot open a window on the X display ":999" (DISPLAY).'),
    ("an unknown QT_QPA_PLATFORM", [], {"QT_QPA_PLATFORM": "bogus"}, 1, None,
     'cannot open a window on Qt\'s platform "bogus" (QT_QPA_PLATFORM). '
     "Available platform plugins are: "),
]


def run_case(program, arguments, extra):
    env = {k: v for k, v in os.environ.items() if k not in DISPLAY_VARIABLES}
    env.update(extra)
    # No core file, whatever the caller's limit: a crash must show as a signal, not a file.
    return subprocess.run([program, *arguments], env=env, capture_output=True, text=True,
                          timeout=60,
                          preexec_fn=lambda: resource.setrlimit(resource.RLIMIT_CORE, (0, 0)))


def check(result, status, out, err):
    faults = []
    if result.returncode < 0:
        faults.append(f"killed by signal {-result.returncode}")
    elif result.returncode != status:
        faults.append(f"status {result.returncode}, expected {status}")
    for stream, text, expected in (("stdout", result.stdout, out), ("stderr", result.stderr, err)):
        if expected is None and text:
            faults.append(f"{stream} should be empty")
        elif expected is not None and expected not in text:
            faults.append(f"{stream} lacks {expected!r}")
    if "einstall" in result.stderr or "Aborted" in result.stderr:
        faults.append("Qt's abort message leaked")
    if faults and result.returncode >= 0:
        faults.append(f"stdout {result.stdout!r}, stderr {result.stderr!r}")
    return faults


def main(argv):
    if len(argv) != 2 or not os.access(argv[1], os.X_OK):
        print(f"usage: {argv[0]} PATH/TO/vandrel", file=sys.stderr)
        return 2
    passed = failed = 0
    for name, arguments, extra, status, out, err in CASES:
        faults = check(run_case(argv[1], arguments, extra), status, out, err)
        if faults:
            failed += 1
            print(f"FAIL {name}\n     " + "\n     ".join(faults), flush=True)
        else:
            passed += 1
            print(f"ok   {name}", flush=True)
    print(f"{passed} passed, {failed} failed", flush=True)
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
