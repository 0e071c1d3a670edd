// The runtime's number-to-text services: FormatNumber and the default text of a Single.
#include <gtest/gtest.h>

#include <string>

#include "shell/runtime/numbers.h"
#include "shell/runtime/text.h"

namespace vandrel {
namespace {

constexpr Tristate Yes = Tristate::True;
constexpr Tristate No = Tristate::False;
constexpr Tristate Def = Tristate::UseDefault;

const Regional kFixed = invariantRegional();

Regional european() {
    Regional r;
    r.decimalSeparator = ",";
    r.groupSeparator = ".";
    return r;
}

std::string fmt(double v, int digits, Tristate lead = Def, Tristate paren = Def,
                Tristate group = Def, const Regional& r = kFixed) {
    return FormatNumber(v, digits, lead, paren, group, r);
}
std::string fmt(Currency v, int digits, Tristate lead = Def, Tristate paren = Def,
                Tristate group = Def, const Regional& r = kFixed) {
    return FormatNumber(v, digits, lead, paren, group, r);
}

TEST(FormatNumber, RoundsHalvesAwayFromZeroOnTheExactValue) {
    EXPECT_EQ(fmt(499.5_cur, 0, Def, Def, No), "500");
    EXPECT_EQ(fmt(500.5_cur, 0, Def, Def, No), "501");  // not to even
    EXPECT_EQ(fmt(Currency::fromCount(-5000), 0), "-1");
    EXPECT_EQ(fmt(-499.5, 0), "-500");
    EXPECT_EQ(fmt(1e6 / 1200, 0), "833");
    EXPECT_EQ(fmt(1e6 / 720, 0), "1,389");
    EXPECT_EQ(fmt(1e6 / 1320, 0), "758");
    EXPECT_EQ(fmt(1e6 / 840, 0), "1,190");
    EXPECT_EQ(fmt(0.125, 2), "0.13");  // an exact binary half
    EXPECT_EQ(fmt(1.005, 2), "1.00");  // the double lies just below 1.005
    EXPECT_EQ(fmt(2.5, 0), "3");
}

TEST(FormatNumber, AValueThatRoundsToZeroHasNoSign) {
    EXPECT_EQ(fmt(Currency::fromCount(-500), 0), "0");
    EXPECT_EQ(fmt(Currency::fromCount(-4999), 0, Def, Yes), "0");
    EXPECT_EQ(fmt(-0.0, 1), "0.0");
    EXPECT_EQ(fmt(Currency::fromCount(-500), 0, Def, Def, No), "0");
}

TEST(FormatNumber, DigitsAfterThePoint) {
    EXPECT_EQ(fmt(0.15_cur * 10, 1), "1.5");
    EXPECT_EQ(fmt(10_cur, 1), "10.0");
    EXPECT_EQ(fmt(0.5_cur, 1), "0.5");
    EXPECT_EQ(fmt(1000_cur, 1), "1,000.0");
    EXPECT_EQ(fmt(9999_cur, 0, Def, Def, No), "9999");
    EXPECT_EQ(fmt(0_cur, 0), "0");
}

TEST(FormatNumber, LeadingZeroParenthesesAndGroupingFlags) {
    EXPECT_EQ(fmt(0.5_cur, 1, Yes), "0.5");
    EXPECT_EQ(fmt(0.5_cur, 1, No), ".5");
    EXPECT_EQ(fmt(0.5, 1, No, Yes), ".5");
    EXPECT_EQ(fmt(-5.0, 0, Def, Yes), "(5)");
    EXPECT_EQ(fmt(-5.0, 0, Def, No), "-5");
    EXPECT_EQ(fmt(-0.5, 1, No, Yes), "(.5)");
    EXPECT_EQ(fmt(1234567.5, 0, Def, Def, Yes), "1,234,568");
    EXPECT_EQ(fmt(1234567.5, 0, Def, Def, No), "1234568");
    EXPECT_EQ(fmt(-1389.0, 0, Def, Def, Yes), "-1,389");
    EXPECT_EQ(fmt(999.5, 0), "1,000");  // the rounding carries into a new group
    EXPECT_EQ(fmt(100.0, 0), "100");
}

TEST(FormatNumber, RegionalDefaultsApplyOnlyWhereAFlagAsksForThem) {
    Regional r = european();
    r.leadingZero = false;
    r.parentheses = true;
    r.grouping = false;
    r.negativeSign = "~";
    EXPECT_EQ(fmt(0.5_cur, 1, Def, Def, Def, r), ",5");
    EXPECT_EQ(fmt(0.5_cur, 1, Yes, Def, Def, r), "0,5");
    EXPECT_EQ(fmt(-5.0, 0, Def, Def, Def, r), "(5)");
    EXPECT_EQ(fmt(-5.0, 0, Def, No, Def, r), "~5");
    EXPECT_EQ(fmt(1e6 / 720, 0, Def, Def, Def, r), "1389");
    EXPECT_EQ(fmt(1e6 / 720, 0, Def, Def, Yes, r), "1.389");
    EXPECT_EQ(fmt(1.5, 1, Def, Def, Def, european()), "1,5");
}

TEST(SingleToText, PlainNotationUpToSevenSignificantDigits) {
    EXPECT_EQ(SingleToText(60.0f, kFixed), "60");
    EXPECT_EQ(SingleToText(59.99929f, kFixed), "59.99929");
    EXPECT_EQ(SingleToText(5999.93f / 100.0f, kFixed), "59.9993");
    EXPECT_EQ(SingleToText(0.0001f, kFixed), "0.0001");
    EXPECT_EQ(SingleToText(1234567.0f, kFixed), "1234567");
    EXPECT_EQ(SingleToText(9999999.0f, kFixed), "9999999");
    EXPECT_EQ(SingleToText(0.5f, kFixed), "0.5");
    EXPECT_EQ(SingleToText(1.0f / 3.0f, kFixed), "0.3333333");
    EXPECT_EQ(SingleToText(1234567.875f, kFixed), "1234568");
}

TEST(SingleToText, ENotationOutsideTheExponentsMinusFourToSix) {
    EXPECT_EQ(SingleToText(12345678.0f, kFixed), "1.234568E+07");
    EXPECT_EQ(SingleToText(10000000.0f, kFixed), "1E+07");
    EXPECT_EQ(SingleToText(0.00001f, kFixed), "1E-05");
    EXPECT_EQ(SingleToText(0.000015f, kFixed), "1.5E-05");
    EXPECT_EQ(SingleToText(1e20f, kFixed), "1E+20");
    EXPECT_EQ(SingleToText(1e-40f, kFixed), "9.999946E-41");  // a denormal keeps its digits
}

TEST(SingleToText, ZeroNegativesAndTheRegionalSeparator) {
    EXPECT_EQ(SingleToText(0.0f, kFixed), "0");
    EXPECT_EQ(SingleToText(-0.0f, kFixed), "0");
    EXPECT_EQ(SingleToText(-60.0f, kFixed), "-60");
    EXPECT_EQ(SingleToText(-1.5f, kFixed), "-1.5");
    EXPECT_EQ(SingleToText(-12345678.0f, kFixed), "-1.234568E+07");
    EXPECT_EQ(SingleToText(59.99929f, european()), "59,99929");
    EXPECT_EQ(SingleToText(0.000015f, european()), "1,5E-05");
    Regional r;
    r.negativeSign = "~";
    EXPECT_EQ(SingleToText(-1.5f, r), "-1.5");
}

}  // namespace
}  // namespace vandrel
