// SPDX-License-Identifier: MIT
// The stand-ins for std::to_chars's floating-point overloads, which the WebAssembly build
// uses, write exactly what this machine's C++ library writes.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "shell/runtime/float_chars.h"

namespace vandrel {
namespace {

// Random values per run; the sanitizers' build, many times slower, takes fewer.
#ifdef __SANITIZE_ADDRESS__
constexpr int kRandomSingles = 20'000, kRandomDoubles = 500;
#else
constexpr int kRandomSingles = 200'000, kRandomDoubles = 5'000;
#endif

// Nothing when exact::toChars writes what std::to_chars writes, otherwise both texts.
template <class... Args>
std::string difference(Args... args) {
    char theirs[1500], ours[1500];
    const auto standard = std::to_chars(theirs, theirs + sizeof theirs, args...);
    const auto exact = exact::toChars(ours, ours + sizeof ours, args...);
    const std::string_view expected(theirs, standard.ptr), written(ours, exact.ptr);
    if (written == expected && exact.ec == std::errc{}) return {};
    return std::string(written) + " instead of " + std::string(expected);
}

// Powers of two and of ten, each with its neighbours; both zeros, the ends of the subnormal
// and normal ranges. (The random values bring the negative ones.)
template <class T>
std::vector<T> edgeValues() {
    using limits = std::numeric_limits<T>;
    std::vector<T> centres = {-T{0}, limits::denorm_min(), limits::min() - limits::denorm_min(),
                              limits::min(), limits::max()};
    for (int k = limits::min_exponent - limits::digits; k < limits::max_exponent; ++k)
        centres.push_back(std::ldexp(T{1}, k));
    for (int k = limits::min_exponent10; k <= limits::max_exponent10; ++k)
        centres.push_back(static_cast<T>(std::pow(10.0L, k)));
    std::vector<T> values;
    for (T v : centres) {
        for (T x : {v, std::nextafter(v, T{0}), std::nextafter(v, limits::infinity())}) {
            if (std::isfinite(x)) values.push_back(x);
        }
    }
    return values;
}

// Finite values of random bit patterns, of every exponent.
template <class Bits, class T>
std::vector<T> randomValues(int count) {
    std::mt19937_64 random(20260215);
    std::vector<T> values;
    while (static_cast<int>(values.size()) < count) {
        const T v = std::bit_cast<T>(static_cast<Bits>(random()));
        if (std::isfinite(v)) values.push_back(v);
    }
    return values;
}

TEST(FloatChars, ShortestSingleAsTheLibraryWritesIt) {
    // 123456792 shows all its digits, not 123456790; 0.001 is fixed on a tie with 1e-03;
    // 5400.03125 is a tie between two shortest candidates.
    std::vector<float> values = {123456792.0f, 16777216.0f, 0.001f, 1e-4f, 5400.03125f, 59.9993f};
    for (float v : edgeValues<float>())
        values.push_back(v);
    for (float v : randomValues<std::uint32_t, float>(kRandomSingles))
        values.push_back(v);
    for (float v : values)
        ASSERT_EQ(difference(v), "") << std::bit_cast<std::uint32_t>(v);
}

TEST(FloatChars, DoubleInFixedAndScientificAsTheLibraryWritesIt) {
    // Ties to even at every place: 0.125 to two decimals, 2.5 to none, 1e23 (below its
    // nearest double), 999999.5 carried into a new digit.
    for (double v : {0.5, 1.5, 2.5, 0.125, 0.375, 9.5, 999999.5, 1e23, 0.0009765625}) {
        for (int precision = 0; precision <= 17; ++precision) {
            ASSERT_EQ(difference(v, std::chars_format::fixed, precision), "") << v;
            ASSERT_EQ(difference(v, std::chars_format::scientific, precision), "") << v;
        }
    }
    // The game's own uses, every decimal of the exact value and seven significant digits, and
    // any other precision.
    std::vector<double> values = edgeValues<double>();
    for (double v : randomValues<std::uint64_t, double>(kRandomDoubles))
        values.push_back(v);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> precision(0, 40);
    for (double v : values) {
        ASSERT_EQ(difference(v, std::chars_format::fixed, 1074), "") << v;
        ASSERT_EQ(difference(v, std::chars_format::scientific, 6), "") << v;
        ASSERT_EQ(difference(v, std::chars_format::fixed, precision(random)), "") << v;
        ASSERT_EQ(difference(v, std::chars_format::scientific, precision(random)), "") << v;
    }
}

TEST(FloatChars, RefusesWhatItCannotWrite) {
    char text[8];
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(exact::toChars(text, text + sizeof text, inf).ec, std::errc::invalid_argument);
    EXPECT_EQ(exact::toChars(text, text + sizeof text, 1.5, std::chars_format::general, 2).ec,
              std::errc::invalid_argument);
    const auto tooLong =
        exact::toChars(text, text + sizeof text, 1e-30, std::chars_format::fixed, 8);
    EXPECT_EQ(tooLong.ec, std::errc::value_too_large);
    EXPECT_EQ(tooLong.ptr, text + sizeof text);
}

}  // namespace
}  // namespace vandrel
