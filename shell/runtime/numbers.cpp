// SPDX-License-Identifier: MIT
#include "shell/runtime/numbers.h"

#include <cmath>

namespace vandrel {

Currency Currency::fromInteger(std::int64_t whole) {
    std::int64_t count = 0;
    if (__builtin_mul_overflow(whole, std::int64_t{10000}, &count)) raise(ErrorCode::Overflow);
    return fromCount(count);
}

std::int16_t toInteger(double x) {
    double rounded = detail::roundHalfEven(x);
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

namespace detail {

void raiseDivisionFault(double numerator) {
    // 0 / 0 is an invalid operation, which the runtime reports as an overflow.
    raise(numerator == 0.0 || std::isnan(numerator) ? ErrorCode::Overflow
                                                    : ErrorCode::DivisionByZero);
}

}  // namespace detail

}  // namespace vandrel
