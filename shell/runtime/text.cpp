#include "shell/runtime/text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

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
    const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
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

std::string group(const std::string& whole, const std::string& separator) {
    std::string out;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0) out += separator;
        out += whole[i];
    }
    return out;
}

std::string format(Decimal d, int digits, Tristate leadingZero, Tristate parentheses,
                   Tristate grouping, const Regional& regional) {
    if (digits < 0) digits = 0;
    roundAwayFromZero(d, digits);
    std::string body;
    if (d.whole == "0" && digits > 0 && !resolve(leadingZero, regional.leadingZero)) {
        body.clear();  // ".5"
    } else {
        body = resolve(grouping, regional.grouping) ? group(d.whole, regional.groupSeparator)
                                                    : d.whole;
    }
    if (digits > 0) body += regional.decimalSeparator + d.fraction;
    if (!d.negative) return body;
    if (resolve(parentheses, regional.parentheses)) return "(" + body + ")";
    return regional.negativeSign + body;
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
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(static_cast<double>(value)),
                      std::chars_format::scientific, 6);
    std::string mantissa = std::string(1, buffer[0]) + std::string(buffer + 2, 6);
    int exponent = 0;  // after "e" and its sign
    std::from_chars(buffer + 10, written.ptr, exponent);
    if (buffer[9] == '-') exponent = -exponent;

    std::string out = value < 0 ? "-" : "";
    if (exponent > -5 && exponent < 7) {
        std::string whole;
        std::string fraction;
        if (exponent >= 0) {
            whole = mantissa.substr(0, static_cast<std::size_t>(exponent) + 1);
            fraction = mantissa.substr(static_cast<std::size_t>(exponent) + 1);
        } else {
            whole = "0";
            fraction = std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
        }
        fraction.erase(fraction.find_last_not_of('0') + 1);
        out += whole;
        if (!fraction.empty()) out += regional.decimalSeparator + fraction;
        return out;
    }
    std::string fraction = mantissa.substr(1);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    out += mantissa.substr(0, 1);
    if (!fraction.empty()) out += regional.decimalSeparator + fraction;
    // At least two exponent digits: a Single's decimal exponent lies within -45..38.
    const std::string magnitude = digits(static_cast<std::uint64_t>(std::abs(exponent)));
    return out + (exponent < 0 ? "E-" : "E+") + (magnitude.size() < 2 ? "0" : "") + magnitude;
}

}  // namespace vandrel
