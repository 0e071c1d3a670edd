// SPDX-License-Identifier: MIT
#include "shell/runtime/text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "shell/runtime/float_chars.h"

namespace vandrel {

namespace {

// The decimal digits of a whole number.
std::string digits(std::uint64_t n) {
    char buffer[20];
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, n);
    return std::string(buffer, written.ptr);
}

// A number as its exact decimal digits: sign, whole part and fraction, no rounding yet.
struct Decimal {
    bool negative = false;
    std::string whole;  // at least one digit
    std::string fraction;
};

Decimal exactDecimal(Currency value) {
    Decimal d;
    std::int64_t count = value.count();
    d.negative = count < 0;
    // The magnitude as unsigned, so that the most negative count has one too.
    std::uint64_t magnitude =
        d.negative ? std::uint64_t{0} - static_cast<std::uint64_t>(count) : std::uint64_t(count);
    d.whole = digits(magnitude / 10000);
    d.fraction = digits(10000 + magnitude % 10000).substr(1);  // four digits, leading zeros kept
    return d;
}

Decimal exactDecimal(double value) {
    Decimal d;
    d.negative = std::signbit(value);
    // Fixed notation with as many decimals as a double's exact binary value can have (1074)
    // is exact; the whole part of a finite double has at most 309 digits.
    constexpr int kExactDecimals = 1074;
    char buffer[309 + 1 + kExactDecimals];
    const auto written = toChars(buffer, buffer + sizeof buffer, std::fabs(value),
                                 std::chars_format::fixed, kExactDecimals);
    const std::string_view text(buffer, static_cast<std::size_t>(written.ptr - buffer));
    const std::size_t point = text.find('.');
    d.whole = text.substr(0, point);
    d.fraction = text.substr(point + 1);
    return d;
}

// Adds one unit in the last place of a string of decimal digits; returns false on a carry out.
bool incrementDigits(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return true;
        }
        digits[i] = '0';
    }
    return false;
}

// Rounds to `digits` decimals, halves away from zero: on an exact expansion the first dropped
// digit alone decides, because 5 followed by anything is at least half.
void roundAwayFromZero(Decimal& d, int digits) {
    std::size_t keep = static_cast<std::size_t>(digits);
    if (d.fraction.size() < keep) d.fraction.append(keep - d.fraction.size(), '0');
    bool up = d.fraction.size() > keep && d.fraction[keep] >= '5';
    d.fraction.resize(keep);
    if (up && !incrementDigits(d.fraction) && !incrementDigits(d.whole)) {
        d.whole.insert(d.whole.begin(), '1');
    }
    bool zero = d.whole.find_first_not_of('0') == std::string::npos &&
                d.fraction.find_first_not_of('0') == std::string::npos;
    if (zero) d.negative = false;  // a value that rounds to zero shows no sign
}

bool resolve(Tristate flag, bool regionalDefault) {
    return flag == Tristate::UseDefault ? regionalDefault : flag == Tristate::True;
}

// The whole part with the group separator every three digits.
void appendGrouped(std::string& out, const std::string& whole, const std::string& separator) {
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += separator;
        out += whole[i];
    }
}

std::string format(Decimal d, int digits, Tristate leadingZero, Tristate parentheses,
                   Tristate grouping, const Regional& regional) {
    if (digits < 0) digits = 0;
    roundAwayFromZero(d, digits);
    const bool parenthesised = d.negative && resolve(parentheses, regional.parentheses);
    std::string out;
    out.reserve(16);
    if (parenthesised) {
        out += '(';
    } else if (d.negative) {
        out += regional.negativeSign;
    }
    if (d.whole == "0" && digits > 0 && !resolve(leadingZero, regional.leadingZero)) {
        // ".5"
    } else if (resolve(grouping, regional.grouping)) {
        appendGrouped(out, d.whole, regional.groupSeparator);
    } else {
        out += d.whole;
    }
    if (digits > 0) {
        out += regional.decimalSeparator;
        out += d.fraction;
    }
    if (parenthesised) out += ')';
    return out;
}

}  // namespace

Regional invariantRegional() {
    return Regional{};
}

std::string FormatNumber(Currency value, int digits, Tristate leadingZero, Tristate parentheses,
                         Tristate grouping, const Regional& regional) {
    return format(exactDecimal(value), digits, leadingZero, parentheses, grouping, regional);
}

std::string FormatNumber(double value, int digits, Tristate leadingZero, Tristate parentheses,
                         Tristate grouping, const Regional& regional) {
    if (!std::isfinite(value))
        return std::isnan(value) ? "NaN" : value > 0 ? "Infinity" : "-Infinity";
    return format(exactDecimal(value), digits, leadingZero, parentheses, grouping, regional);
}

std::string SingleToText(float value, const Regional& regional) {
    if (value == 0.0f) return "0";
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";

    // Seven significant digits of the exact value, "d.dddddde+XX", rounded to nearest.
    char buffer[32];
    const auto written =
        toChars(buffer, buffer + sizeof buffer, std::fabs(static_cast<double>(value)),
                std::chars_format::scientific, 6);
    const char significant[7] = {buffer[0], buffer[2], buffer[3], buffer[4],
                                 buffer[5], buffer[6], buffer[7]};
    int exponent = 0;  // after "e" and its sign
    std::from_chars(buffer + 10, written.ptr, exponent);
    if (buffer[9] == '-') exponent = -exponent;
    std::size_t used = 7;  // the significant digits without their trailing zeros
    while (used > 1 && significant[used - 1] == '0')
        --used;

    std::string out;
    out.reserve(16);
    if (value < 0) out += '-';
    if (exponent > -5 && exponent < 7) {
        if (exponent < 0) {
            out += '0';
            out += regional.decimalSeparator;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out.append(significant, used);
            return out;
        }
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        out.append(significant, whole);
        if (used > whole) {
            out += regional.decimalSeparator;
            out.append(significant + whole, used - whole);
        }
        return out;
    }
    out += significant[0];
    if (used > 1) {
        out += regional.decimalSeparator;
        out.append(significant + 1, used - 1);
    }
    // At least two exponent digits: a Single's decimal exponent lies within -45..38.
    out += exponent < 0 ? "E-" : "E+";
    if (std::abs(exponent) < 10) out += '0';
    out += digits(static_cast<std::uint64_t>(std::abs(exponent)));
    return out;
}

}  // namespace vandrel
