// SPDX-License-Identifier: MIT
// The stand-ins for std::to_chars's floating-point overloads. A finite binary value is
// mantissa × 2^e; its exact decimal digits come from whole-number arithmetic (times 2^e, or
// times 5^-e over 10^-e), and every rounding is then done on those digits.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "shell/runtime/bit_cast.h"
#include "shell/runtime/float_chars.h"

namespace vandrel::exact {

namespace {

// A whole number of any size, in 32-bit limbs, the least significant first.
class Natural {
  public:
    explicit Natural(std::uint64_t n)
        : limbs_{static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(n >> 32)} {}

    void multiply(std::uint32_t factor) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
    }

    void multiplyByPowerOfTwo(int n) {
        limbs_.insert(limbs_.begin(), static_cast<std::size_t>(n / 32), 0);
        multiply(std::uint32_t{1} << (n % 32));
    }

    void multiplyByPowerOfFive(int n) {
        constexpr std::uint32_t kFiveToThe13 = 1220703125;  // the largest power of 5 in a limb
        for (; n >= 13; n -= 13)
            multiply(kFiveToThe13);
        std::uint32_t rest = 1;
        for (; n > 0; --n)
            rest *= 5;
        multiply(rest);
    }

    /// The decimal digits, without leading zeros ("0" for zero).
    std::string digits() const {
        constexpr std::uint32_t kBillion = 1'000'000'000;
        std::vector<std::uint32_t> n = limbs_;
        std::string reversed;
        while (!n.empty()) {
            // Divided by 10^9, the remainder is the next nine digits from the right.
            std::uint64_t remainder = 0;
            for (std::size_t i = n.size(); i-- > 0;) {
                const std::uint64_t part = (remainder << 32) | n[i];
                n[i] = static_cast<std::uint32_t>(part / kBillion);
                remainder = part % kBillion;
            }
            while (!n.empty() && n.back() == 0)
                n.pop_back();
            for (int d = 0; d < 9; ++d, remainder /= 10)
                reversed += static_cast<char>('0' + remainder % 10);
        }
        while (reversed.size() > 1 && reversed.back() == '0')
            reversed.pop_back();
        return std::string(reversed.rbegin(), reversed.rend());
    }

  private:
    std::vector<std::uint32_t> limbs_;
};

// A value as decimal digits and the power of ten of the last one: digits × 10^exponent.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

// mantissa × 2^binaryExponent, exactly.
Decimal exactly(std::uint64_t mantissa, int binaryExponent) {
    Natural n(mantissa);
    if (binaryExponent >= 0) {
        n.multiplyByPowerOfTwo(binaryExponent);
        return {n.digits(), 0};
    }
    n.multiplyByPowerOfFive(-binaryExponent);
    return {n.digits(), binaryExponent};
}

// Whether the digits after the first `keep` round them up: to nearest, and a tie (a 5 and
// nothing after it) to even.
bool roundsUp(const std::string& digits, std::size_t keep) {
    if (keep >= digits.size()) return false;
    if (digits[keep] != '5') return digits[keep] > '5';
    if (digits.find_first_not_of('0', keep + 1) != std::string::npos) return true;
    return keep > 0 && (digits[keep - 1] - '0') % 2 == 1;
}

// The first `keep` digits, rounded; a carry out of the first adds a leading 1.
void roundTo(std::string& digits, std::size_t keep) {
    const bool up = roundsUp(digits, keep);
    digits.resize(std::min(keep, digits.size()));
    if (!up) return;
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// "1234.5600" for precision 4: the whole part, then `precision` decimals.
std::string fixed(Decimal d, int precision) {
    std::size_t decimals = d.exponent < 0 ? static_cast<std::size_t>(-d.exponent) : 0;
    if (d.exponent > 0) d.digits.append(static_cast<std::size_t>(d.exponent), '0');
    // At least one digit before the decimal point.
    if (d.digits.size() <= decimals) d.digits.insert(0, decimals + 1 - d.digits.size(), '0');
    const auto wanted = static_cast<std::size_t>(precision);
    if (decimals > wanted) {
        roundTo(d.digits, d.digits.size() - (decimals - wanted));
        decimals = wanted;
    }
    const std::size_t whole = d.digits.size() - decimals;
    const std::size_t zeros = std::min(d.digits.find_first_not_of('0'), whole - 1);
    std::string out = d.digits.substr(zeros, whole - zeros);
    if (wanted > 0) {
        out += '.';
        out.append(d.digits, whole);
        out.append(wanted - decimals, '0');
    }
    return out;
}

// "1.234560e+07" for precision 6: one digit, `precision` more after the point, and an
// exponent of at least two digits.
std::string scientific(Decimal d, int precision) {
    int exponent = d.digits == "0" ? 0 : d.exponent + static_cast<int>(d.digits.size()) - 1;
    const auto kept = static_cast<std::size_t>(precision) + 1;
    if (d.digits.size() > kept) {
        roundTo(d.digits, kept);
        if (d.digits.size() > kept) {  // 9.99 became 10.0
            d.digits.pop_back();
            ++exponent;
        }
    }
    d.digits.append(kept - d.digits.size(), '0');
    std::string out(1, d.digits[0]);
    if (kept > 1) {
        out += '.';
        out.append(d.digits, 1);
    }
    out += exponent < 0 ? "e-" : "e+";
    if (exponent > -10 && exponent < 10) out += '0';
    char text[8];
    out.append(text,
               std::to_chars(text, text + sizeof text, exponent < 0 ? -exponent : exponent).ptr);
    return out;
}

std::to_chars_result write(char* first, char* last, bool negative, const std::string& text) {
    if (last - first < static_cast<std::ptrdiff_t>(text.size() + (negative ? 1 : 0)))
        return {last, std::errc::value_too_large};
    if (negative) *first++ = '-';
    return {std::copy(text.begin(), text.end(), first), std::errc{}};
}

// The decimal number of a prefix of digits (at most 19 of them).
std::uint64_t number(const std::string& digits, std::size_t count) {
    std::uint64_t n = 0;
    for (std::size_t i = 0; i < count; ++i)
        n = n * 10 + static_cast<std::uint64_t>(digits[i] - '0');
    return n;
}

}  // namespace

std::to_chars_result toChars(char* first, char* last, float value) {
    const auto bits = bitCast<std::uint32_t>(value);
    const bool negative = (bits >> 31) != 0;
    const std::uint32_t biased = (bits >> 23) & 0xFF;
    const std::uint32_t fraction = bits & 0x7FFFFF;
    if (biased == 0xFF) return {first, std::errc::invalid_argument};
    if (biased == 0 && fraction == 0) return write(first, last, negative, "0");
    const std::uint64_t m = biased == 0 ? fraction : fraction | 0x800000;
    const int e = biased == 0 ? -149 : static_cast<int>(biased) - 150;

    // What reads back as this Single lies between the midpoints to its neighbours (the one
    // below is nearer at a power of two), the midpoints included when its mantissa is even,
    // since a tie reads back to even. In quarters of its last bit: low, value, high.
    const bool nearerBelow = fraction == 0 && biased > 1;
    Decimal low = exactly(4 * m - (nearerBelow ? 1 : 2), e - 2);
    Decimal exactValue = exactly(4 * m, e - 2);
    const Decimal high = exactly(4 * m + 2, e - 2);
    const bool midpointsReadBack = m % 2 == 0;
    const std::size_t length = high.digits.size();
    low.digits.insert(0, length - low.digits.size(), '0');
    exactValue.digits.insert(0, length - exactValue.digits.size(), '0');

    // The fewest digits from high's first that still reach a number in the range; of those
    // numbers the nearest to the value, ties to even.
    Decimal shortest;
    for (std::size_t n = 1; shortest.digits.empty(); ++n) {
        std::uint64_t lowest = number(low.digits, n);
        std::uint64_t highest = number(high.digits, n);
        const bool lowCut = low.digits.find_first_not_of('0', n) != std::string::npos;
        const bool highCut = high.digits.find_first_not_of('0', n) != std::string::npos;
        if (lowCut || !midpointsReadBack) ++lowest;
        if (!highCut && !midpointsReadBack) --highest;
        if (lowest > highest) continue;
        std::uint64_t nearest =
            number(exactValue.digits, n) + (roundsUp(exactValue.digits, n) ? 1 : 0);
        nearest = std::clamp(nearest, lowest, highest);
        char text[24];
        shortest.digits.assign(text, std::to_chars(text, text + sizeof text, nearest).ptr);
        shortest.exponent = high.exponent + static_cast<int>(length - n);
    }
    while (shortest.digits.size() > 1 && shortest.digits.back() == '0') {
        shortest.digits.pop_back();
        ++shortest.exponent;
    }

    // Fixed notation shows a whole number's every digit, not the shortest ones and zeros.
    const std::string fixedText =
        shortest.exponent >= 0 ? fixed(exactly(m, e), 0) : fixed(shortest, -shortest.exponent);
    const std::string scientificText =
        scientific(shortest, static_cast<int>(shortest.digits.size()) - 1);
    return write(first, last, negative,
                 fixedText.size() <= scientificText.size() ? fixedText : scientificText);
}

std::to_chars_result toChars(char* first, char* last, double value, std::chars_format format,
                             int precision) {
    const auto bits = bitCast<std::uint64_t>(value);
    const bool negative = (bits >> 63) != 0;
    const std::uint64_t biased = (bits >> 52) & 0x7FF;
    const std::uint64_t fraction = bits & 0xFFFFFFFFFFFFF;
    if (biased == 0x7FF || precision < 0 ||
        (format != std::chars_format::fixed && format != std::chars_format::scientific))
        return {first, std::errc::invalid_argument};
    const Decimal d =
        biased == 0 ? exactly(fraction, -1074)
                    : exactly(fraction | std::uint64_t{1} << 52, static_cast<int>(biased) - 1075);
    return write(
        first, last, negative,
        format == std::chars_format::fixed ? fixed(d, precision) : scientific(d, precision));
}

}  // namespace vandrel::exact
