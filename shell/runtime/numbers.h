// SPDX-License-Identifier: MIT
// The runtime's number types: Currency, Integer and Single.
//
// Every physics quantity of the game is a Currency, a signed 64-bit count of ten-thousandths,
// so that steps of 0.05 and 0.2 never drift and the exact tests of the thrust limiter and the
// attitude wrap hold. Control coordinates are Singles (IEEE binary32). Loop counters and the
// terrain wrap use Integer, 16 bits wide. Every conversion rounds the way the runtime does
// (ties to even) and every result out of range raises Overflow instead of reaching undefined
// behaviour.
#pragma once

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>

#include "shell/runtime/errors.h"

// Every double operation must round to double at once, as every machine's does: with wider
// intermediates (the x87 unit's 80 bits) the rounding below comes back unrounded and the game
// plays differently.
static_assert(FLT_EVAL_METHOD == 0,
              "Vandrel needs floating-point arithmetic without excess precision "
              "(FLT_EVAL_METHOD 0): on x86 build with -msse2 -mfpmath=sse");

namespace vandrel {

/// A 16-bit flag whose True is -1, for results whose value is observable.
using Boolean = std::int16_t;
inline constexpr Boolean True = -1;
inline constexpr Boolean False = 0;

/// Signed 64-bit fixed point with exactly four decimals (the value times 10,000).
class Currency {
  public:
    constexpr Currency() = default;

    /// The value whose count of ten-thousandths is `count` (4.9 is fromCount(49000)).
    static constexpr Currency fromCount(std::int64_t count) {
        Currency c;
        c.count_ = count;
        return c;
    }
    /// A whole number, exactly.
    static Currency fromInteger(std::int64_t whole);
    /// `x * 10000.0` in double, rounded to the nearest integer with ties to even; Overflow
    /// outside the int64 range or for a NaN.
    static Currency fromDouble(double x);
    static Currency fromSingle(float x) { return fromDouble(static_cast<double>(x)); }

    constexpr std::int64_t count() const { return count_; }
    double toDouble() const { return static_cast<double>(count_) / 10000.0; }
    float toSingle() const { return static_cast<float>(toDouble()); }

    friend Currency operator+(Currency a, Currency b);
    friend Currency operator-(Currency a, Currency b);
    /// Product with a 16-bit Integer, exact.
    friend Currency operator*(Currency a, std::int16_t b);
    friend constexpr Currency operator-(Currency a) {
        if (a.count_ == INT64_MIN) raise(ErrorCode::Overflow);
        return fromCount(-a.count_);
    }
    Currency& operator+=(Currency b) { return *this = *this + b; }
    Currency& operator-=(Currency b) { return *this = *this - b; }

    friend constexpr bool operator==(Currency a, Currency b) = default;
    friend constexpr auto operator<=>(Currency a, Currency b) = default;

  private:
    std::int64_t count_ = 0;
};

namespace detail {
// Parses a decimal literal with at most four decimals into ten-thousandths at compile time.
consteval std::int64_t parseCurrencyLiteral(const char* text) {
    std::int64_t whole = 0;
    std::int64_t fraction = 0;
    int decimals = -1;
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == '\'') continue;
        if (*p == '.') {
            decimals = 0;
            continue;
        }
        if (*p < '0' || *p > '9') throw "a Currency literal is plain decimal digits";
        if (decimals < 0) {
            whole = whole * 10 + (*p - '0');
        } else {
            if (++decimals > 4) throw "a Currency literal has at most four decimals";
            fraction = fraction * 10 + (*p - '0');
        }
    }
    for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d)
        fraction *= 10;
    return whole * 10000 + fraction;
}
}  // namespace detail

namespace detail {

// The whole number nearest to x, ties to even. Adding and taking away 2^52 leaves no bits
// below the unit, and the default rounding of the addition is to nearest, ties to even;
// larger magnitudes are whole already.
inline double roundHalfEven(double x) {
    constexpr double kTwoPow52 = 4503599627370496.0;
    const double magnitude = std::fabs(x);
    if (!(magnitude < kTwoPow52)) return x;  // whole already, or a NaN
    return std::copysign((magnitude + kTwoPow52) - kTwoPow52, x);
}

}  // namespace detail

// The arithmetic is inline: every coordinate the scenery moves goes through it.
inline Currency Currency::fromDouble(double x) {
    constexpr double kInt64Limit = 9223372036854775808.0;  // 2^63
    const double scaled = detail::roundHalfEven(x * 10000.0);
    if (!(scaled >= -kInt64Limit && scaled < kInt64Limit)) [[unlikely]]
        raise(ErrorCode::Overflow);
    return fromCount(static_cast<std::int64_t>(scaled));
}

inline Currency operator+(Currency a, Currency b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a.count_, b.count_, &sum)) [[unlikely]]
        raise(ErrorCode::Overflow);
    return Currency::fromCount(sum);
}

inline Currency operator-(Currency a, Currency b) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(a.count_, b.count_, &difference)) [[unlikely]]
        raise(ErrorCode::Overflow);
    return Currency::fromCount(difference);
}

inline Currency operator*(Currency a, std::int16_t b) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(a.count_, std::int64_t{b}, &product)) [[unlikely]]
        raise(ErrorCode::Overflow);
    return Currency::fromCount(product);
}

/// An exact Currency constant with no float involved: 0.05_cur is 500 ten-thousandths.
consteval Currency operator""_cur(const char* text) {
    return Currency::fromCount(detail::parseCurrencyLiteral(text));
}

/// A Single or Double rounded to a 16-bit Integer, halves to even; Overflow outside
/// -32768..32767 or for a NaN.
std::int16_t toInteger(double x);
/// 16-bit sums and differences; Overflow outside -32768..32767.
std::int16_t integerAdd(std::int16_t a, std::int16_t b);
std::int16_t integerSub(std::int16_t a, std::int16_t b);

/// A double result stored into a Single: Overflow when it is a NaN or rounds beyond the
/// Single range. Inline: the tick stores a few hundred Singles.
inline float toSingle(double x) {
    const float single = static_cast<float>(x);
    // A NaN stays a NaN and a value past the range rounds to infinity: both fail here.
    if (!std::isfinite(single)) [[unlikely]]
        raise(ErrorCode::Overflow);
    return single;
}

namespace detail {
[[noreturn]] void raiseDivisionFault(double numerator);
}  // namespace detail

/// A floating-point quotient: Division by zero for a zero divisor, Overflow for 0 / 0 and for
/// a result that is not finite.
inline double checkedDivide(double numerator, double denominator) {
    if (denominator == 0.0) [[unlikely]]
        detail::raiseDivisionFault(numerator);
    const double quotient = numerator / denominator;
    if (!std::isfinite(quotient)) [[unlikely]]
        raise(ErrorCode::Overflow);
    return quotient;
}

}  // namespace vandrel
