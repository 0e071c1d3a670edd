// SPDX-License-Identifier: MIT
// The runtime's number-to-text services: FormatNumber and the default text of a Single.
#pragma once

#include <cstdint>
#include <string>

#include "shell/runtime/numbers.h"

namespace vandrel {

/// A formatting flag: True, False or the regional default.
enum class Tristate : std::int16_t { True = -1, False = 0, UseDefault = -2 };

/// The regional settings the formatting services apply.
struct Regional {
    std::string decimalSeparator = ".";
    std::string groupSeparator = ",";
    std::string negativeSign = "-";
    bool leadingZero = true;   // 0.5 rather than .5
    bool parentheses = false;  // (5) rather than -5
    bool grouping = true;      // 1,389 rather than 1389
};

/// The fixed settings of the headless tool, so that its output never depends on the machine.
Regional invariantRegional();

/// The value rounded to `digits` decimals (halves away from zero, on its exact value), with the
/// three flags deciding the leading zero, parentheses for negatives and digit grouping.
std::string FormatNumber(Currency value, int digits, Tristate leadingZero, Tristate parentheses,
                         Tristate grouping, const Regional& regional);
std::string FormatNumber(double value, int digits, Tristate leadingZero, Tristate parentheses,
                         Tristate grouping, const Regional& regional);

/// The default text of a Single: shortest form with at most 7 significant digits, plain
/// notation for decimal exponents -4..6 and E notation beyond, no leading blank.
std::string SingleToText(float value, const Regional& regional);

}  // namespace vandrel
