#include "shell/runtime/numbers.h"

#include <cmath>

namespace vandrel {

namespace {

// The double nearest to x, ties to even, independent of the current rounding mode.
double roundHalfEven(double x) {
    double floor = std::floor(x);
    double diff = x - floor;
    if (diff > 0.5) return floor + 1.0;
    if (diff < 0.5) return floor;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

// 2^63 as a double: the first value that no longer fits an int64.
constexpr double kInt64Limit = 9223372036854775808.0;

}  // namespace

Currency Currency::fromInteger(std::int64_t whole) {
    std::int64_t count = 0;
    if (__builtin_mul_overflow(whole, std::int64_t{10000}, &count)) raise(ErrorCode::Overflow);
    return fromCount(count);
}

Currency Currency::fromDouble(double x) {
    double scaled = roundHalfEven(x * 10000.0);
    if (!(scaled >= -kInt64Limit && scaled < kInt64Limit)) raise(ErrorCode::Overflow);
    return fromCount(static_cast<std::int64_t>(scaled));
}

Currency operator+(Currency a, Currency b) {
    std::int64_t sum = 0;
    if (__builtin_add_overflow(a.count_, b.count_, &sum)) raise(ErrorCode::Overflow);
    return Currency::fromCount(sum);
}

Currency operator-(Currency a, Currency b) {
    std::int64_t difference = 0;
    if (__builtin_sub_overflow(a.count_, b.count_, &difference)) raise(ErrorCode::Overflow);
    return Currency::fromCount(difference);
}

Currency operator*(Currency a, std::int16_t b) {
    std::int64_t product = 0;
    if (__builtin_mul_overflow(a.count_, std::int64_t{b}, &product)) raise(ErrorCode::Overflow);
    return Currency::fromCount(product);
}

std::int16_t toInteger(double x) {
    double rounded = roundHalfEven(x);
    if (!(rounded >= -32768.0 && rounded <= 32767.0)) raise(ErrorCode::Overflow);
    return static_cast<std::int16_t>(rounded);
}

std::int16_t integerAdd(std::int16_t a, std::int16_t b) {
    int sum = int{a} + int{b};
    if (sum < -32768 || sum > 32767) raise(ErrorCode::Overflow);
    return static_cast<std::int16_t>(sum);
}

std::int16_t integerSub(std::int16_t a, std::int16_t b) {
    int difference = int{a} - int{b};
    if (difference < -32768 || difference > 32767) raise(ErrorCode::Overflow);
    return static_cast<std::int16_t>(difference);
}

float toSingle(double x) {
    if (std::isnan(x)) raise(ErrorCode::Overflow);
    if (std::isinf(x)) raise(ErrorCode::Overflow);
    // Values that round to the largest finite Single are still in range.
    constexpr double kLimit = 0x1.ffffffp+127;  // halfway past the largest Single: rounds to inf
    if (std::fabs(x) >= kLimit) raise(ErrorCode::Overflow);
    return static_cast<float>(x);
}

double checkedDivide(double numerator, double denominator) {
    if (denominator == 0.0) {
        // 0 / 0 is an invalid operation, which the runtime reports as an overflow.
        raise(numerator == 0.0 || std::isnan(numerator) ? ErrorCode::Overflow
                                                        : ErrorCode::DivisionByZero);
    }
    double quotient = numerator / denominator;
    if (!std::isfinite(quotient)) raise(ErrorCode::Overflow);
    return quotient;
}

}  // namespace vandrel
