// SPDX-License-Identifier: MIT
// The runtime's number types: Currency, Integer and the checked Single conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "shell/runtime/errors.h"
#include "shell/runtime/numbers.h"

namespace vandrel {
namespace {

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// Runs `f` and expects it to raise the runtime error `code`.
template <class F>
void expectError(F f, ErrorCode code) {
    try {
        f();
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.code(), code) << e.what();
    }
}

TEST(Currency, FromFloatingPointRoundsToNearestTenThousandthTiesToEven) {
    // 5400.03125 is exact as a Single and lies halfway between two ten-thousandths.
    EXPECT_EQ(Currency::fromSingle(5400.03125f).count(), 54000312);
    EXPECT_EQ(Currency::fromSingle(5400.09375f).count(), 54000938);
    EXPECT_EQ(Currency::fromSingle(-5400.03125f).count(), -54000312);
    EXPECT_EQ(Currency::fromDouble(0.149992).count(), 1500);
    EXPECT_EQ(Currency::fromDouble(0.0015429).count(), 15);
    EXPECT_EQ(Currency::fromDouble(-0.00004).count(), 0);
    EXPECT_EQ(Currency::fromDouble(1234.56789).count(), 12345679);
}

TEST(Currency, OutOfRangeOrNaNIsOverflow) {
    expectError([] { Currency::fromDouble(1e15); }, ErrorCode::Overflow);
    expectError([] { Currency::fromDouble(-1e15); }, ErrorCode::Overflow);
    expectError([] { Currency::fromDouble(kNaN); }, ErrorCode::Overflow);
    expectError([] { Currency::fromDouble(kInf); }, ErrorCode::Overflow);
    expectError([] { Currency::fromSingle(std::numeric_limits<float>::max()); },
                ErrorCode::Overflow);
    EXPECT_EQ(Currency::fromDouble(9e14).count(), 9000000000000000000);
}

TEST(Currency, ArithmeticIsExactAndChecked) {
    EXPECT_EQ((4.9_cur).count(), 49000);  // literals involve no float
    EXPECT_EQ((0.0001_cur).count(), 1);
    EXPECT_EQ(0.15_cur + 0.05_cur * 17, 1_cur);
    EXPECT_EQ(4.9_cur - 0.2_cur * 48 + 4.7_cur, Currency());
    EXPECT_EQ(4.9_cur + 0.2_cur * 50, 14.9_cur);
    EXPECT_EQ(0.1_cur - 0.15_cur, Currency::fromCount(-500));
    EXPECT_EQ(0.15_cur * -1, Currency::fromCount(-1500));

    expectError([] { (void)(Currency::fromCount(kMax) + Currency::fromCount(1)); },
                ErrorCode::Overflow);
    expectError([] { (void)(Currency::fromCount(kMin) - Currency::fromCount(1)); },
                ErrorCode::Overflow);
    expectError([] { (void)(Currency::fromCount(kMax / 2 + 1) * 2); }, ErrorCode::Overflow);
    expectError([] { (void)(Currency::fromCount(kMin) * -1); }, ErrorCode::Overflow);
    EXPECT_EQ((Currency::fromCount(kMin) + Currency::fromCount(kMax)).count(), -1);
}

TEST(Integer, RoundsHalvesToEven) {
    EXPECT_EQ(toInteger(2.5), 2);
    EXPECT_EQ(toInteger(3.5), 4);
    EXPECT_EQ(toInteger(-2.5), -2);
    EXPECT_EQ(toInteger(-3.5), -4);
    EXPECT_EQ(toInteger(2600.4), 2600);
    EXPECT_EQ(toInteger(2500.5f), 2500);
    EXPECT_EQ(toInteger(2501.5f), 2502);
    EXPECT_EQ(toInteger(0.49999999999999994), 0);
    EXPECT_EQ(toInteger(32767.4), 32767);
    EXPECT_EQ(toInteger(-32768.5), -32768);
}

TEST(Integer, OutOfRangeIsOverflow) {
    expectError([] { toInteger(32767.5); }, ErrorCode::Overflow);
    expectError([] { toInteger(-32769.5); }, ErrorCode::Overflow);
    expectError([] { toInteger(1e10); }, ErrorCode::Overflow);
    expectError([] { toInteger(kNaN); }, ErrorCode::Overflow);
    expectError([] { toInteger(-kInf); }, ErrorCode::Overflow);

    EXPECT_EQ(integerAdd(32000, 767), 32767);
    EXPECT_EQ(integerSub(-32000, 768), -32768);
    expectError([] { integerAdd(32767, 1); }, ErrorCode::Overflow);
    expectError([] { integerAdd(-32768, -1); }, ErrorCode::Overflow);
    expectError([] { integerSub(-32768, 1); }, ErrorCode::Overflow);
    expectError([] { integerSub(0, -32768); }, ErrorCode::Overflow);
}

TEST(Single, StoringADoubleIsChecked) {
    EXPECT_EQ(toSingle(59.9993), 59.9993f);
    EXPECT_EQ(toSingle(1e-50), 0.0f);  // underflow is no fault
    expectError([] { toSingle(1e39); }, ErrorCode::Overflow);
    expectError([] { toSingle(-1e39); }, ErrorCode::Overflow);
    expectError([] { toSingle(kNaN); }, ErrorCode::Overflow);

    EXPECT_EQ(checkedDivide(6000, 100), 60.0);
    expectError([] { checkedDivide(1, 0); }, ErrorCode::DivisionByZero);
    expectError([] { checkedDivide(-1, 0); }, ErrorCode::DivisionByZero);
}

}  // namespace
}  // namespace vandrel
