#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes flight/trig_table.cpp: the correctly rounded cosine and sine of every angle the game
can ever turn to.

The game takes cosine and sine only of (Angle + d) / 3.14, where Angle is a Currency on the
attitude lattice from -4.7 to 14.9 in steps of 0.2 and d is one of 0 and the hull corners'
offsets +-2.45, +-4.9, +-7.35; those constants are read from flight/trig_table.h, where the
game states them. In ten-thousandths every such sum is a multiple of 500 between -120500 and
222500. The table holds all 687 of those multiples, indexed by count / 500 (the 543 the game
reaches and the 144 gaps between them near the ends), so that a lookup is one subtraction and
one division.

Each argument is formed exactly as the game forms it: the count converted to double, divided
by 10000.0, then divided by 3.14, each step one IEEE double operation rounded to nearest
(Python's float arithmetic is the same IEEE double arithmetic). Its cosine and sine are then
computed with mpmath at 256 bits and rounded to the nearest double.

    scripts/gen_trig_table.py            print the table's source on standard output
    scripts/gen_trig_table.py --check F  recompute everything and compare with the file F;
                                         exit 1 when they differ
"""
import decimal
import os
import re
import sys

import mpmath

HEADER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "flight", "trig_table.h")
WORKING_BITS = 256


def game_constants():
    """The header's Currency constants (kName = -4.7_cur) and integers, in ten-thousandths."""
    with open(HEADER, encoding="utf-8") as f:
        text = f.read()
    constants = {name: int(decimal.Decimal(value) * 10000) for name, value in
                 re.findall(r"constexpr Currency (k\w+) = (-?[0-9.]+)_cur;", text)}
    constants.update((name, int(value)) for name, value in
                     re.findall(r"constexpr std::int64_t (k\w+) = (-?[0-9]+);", text))
    return constants


GAME = game_constants()
STEP = GAME["kTrigStep"]  # ten-thousandths of an angle unit between neighbouring entries
LOWEST = GAME["kLowestAngle"] - GAME["kLowDiagonal"]
HIGHEST = GAME["kHighestAngle"] + GAME["kLowDiagonal"]
OFFSETS = (0, *(sign * GAME[name] for name in ("kDiagonal", "kSide", "kLowDiagonal")
                for sign in (1, -1)))


def reachable_counts():
    """Every sum Angle + d, in ten-thousandths, that the game can form."""
    angles = range(GAME["kLowestAngle"], GAME["kHighestAngle"] + 1, GAME["kTurnStep"])
    return sorted({angle + d for angle in angles for d in OFFSETS})


def nearest_double(function, argument):
    """function(argument) rounded to the nearest double, refusing a value too close to a tie."""
    with mpmath.workprec(WORKING_BITS):
        exact = function(mpmath.mpf(argument))
    with mpmath.workprec(53):
        rounded = +exact  # mpmath rounds to nearest
    result = float(rounded)
    # The 256-bit value is within 2^-250 (relative) of the true one; a result is certain when
    # the true value cannot lie on the other side of a halfway point between two doubles.
    with mpmath.workprec(WORKING_BITS):
        ulp = mpmath.mpf(2) ** (mpmath.floor(mpmath.log(abs(exact), 2)) - 52)
        distance = abs(exact - mpmath.mpf(result))
        if abs(distance - ulp / 2) < abs(exact) * mpmath.mpf(2) ** -240:
            sys.exit(f"gen_trig_table: {function.__name__}({argument!r}) is too close to a tie")
        assert distance <= ulp / 2
    return result


def source():
    counts = list(range(LOWEST, HIGHEST + 1, STEP))
    if not set(reachable_counts()) <= set(counts):
        sys.exit("gen_trig_table: an angle the game reaches lies outside the table")
    lines = [
        "// SPDX-License-Identifier: MIT",
        "// Written by scripts/gen_trig_table.py; do not edit. Run the script to regenerate it.",
        "//",
        "// Entry n holds, for the angle count c = kTrigLowestCount + n * kTrigStep",
        "// (ten-thousandths), the radians c / 10000.0 / 3.14 as the game forms them and their",
        "// correctly rounded cosine and sine.",
        '#include "flight/trig_table.h"',
        "",
        "namespace vandrel {",
        "",
        "// clang-format off",
        "const std::array<TrigEntry, kTrigEntries> kTrigTable = {{",
    ]
    for count in counts:
        radians = float(count) / 10000.0 / 3.14
        cos = nearest_double(mpmath.cos, radians)
        sin = nearest_double(mpmath.sin, radians)
        lines.append(f"    {{{radians.hex()}, {cos.hex()}, {sin.hex()}}},  // {count}")
    lines += ["}};", "// clang-format on", "", "}  // namespace vandrel", ""]
    return "\n".join(lines)


def main(argv):
    text = source()
    if len(argv) == 3 and argv[1] == "--check":
        with open(argv[2], encoding="utf-8") as f:
            if f.read() != text:
                print(f"gen_trig_table: {argv[2]} differs from the recomputed table",
                      file=sys.stderr)
                return 1
        print(f"gen_trig_table: all {HIGHEST // STEP - LOWEST // STEP + 1} entries are the "
              "correctly rounded values")
        return 0
    if len(argv) != 1:
        print("usage: gen_trig_table.py [--check FILE]", file=sys.stderr)
        return 2
    sys.stdout.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
