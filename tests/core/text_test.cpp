// SPDX-License-Identifier: MIT
// The runtime's number-to-text services: FormatNumber and the default text of a Single.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

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

// French settings: a decimal comma and a narrow no-break space (U+202F) between groups.
Regional french() {
    Regional r;
    r.decimalSeparator = ",";
    r.groupSeparator = "\u202F";
    r.negativeSign = "\u2212";  // a real minus sign, three bytes
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

TEST(FormatNumber, MultiByteRegionalSeparatorsAndSigns) {
    const Regional r = french();
    EXPECT_EQ(fmt(1e6 / 720, 0, Def, Def, Def, r), "1\u202F389");
    EXPECT_EQ(fmt(1234567.5, 0, Def, Def, Def, r), "1\u202F234\u202F568");
    EXPECT_EQ(fmt(-1234.5_cur, 1, Def, Def, Def, r), "\u22121\u202F234,5");
    EXPECT_EQ(fmt(-1234.5_cur, 1, Def, Yes, Def, r), "(1\u202F234,5)");
    EXPECT_EQ(SingleToText(-59.99929f, r), "-59,99929");  // a Single's sign is always "-"
    EXPECT_EQ(SingleToText(12345678.0f, r), "1,234568E+07");
}

TEST(FormatNumber, EveryDigitOfADoublesExactValue) {
    // The exact expansions against the C library's, away from the halves where the two
    // roundings differ, over doubles of every magnitude from the least denormal up.
    char exact[1500];
    char expected[1500];
    std::uint64_t bits = 0x9E3779B97F4A7C15u;
    int compared = 0;
    for (int k = 0; k < 2000; ++k) {
        bits = bits * 6364136223846793005u + 1442695040888963407u;
        const double v = std::bit_cast<double>(bits & 0x7FEFFFFFFFFFFFFFu);  // finite, positive
        const int digits = k % 7 == 0 ? 0 : k % 13;
        std::snprintf(exact, sizeof exact, "%.1100f", v);
        const std::string_view after(std::strchr(exact, '.') + 1 + digits);
        if (after.find_first_not_of('0', 1) == std::string_view::npos && after[0] == '5') continue;
        std::snprintf(expected, sizeof expected, "%.*f", digits, v);
        ASSERT_EQ(fmt(v, digits, Yes, No, No), expected) << std::bit_cast<std::uint64_t>(v);
        ++compared;
    }
    EXPECT_GT(compared, 1990);
    EXPECT_EQ(fmt(0x1p-1074, 0), "0");
    EXPECT_EQ(fmt(0x1p-1074, 12), "0.000000000000");
    EXPECT_EQ(fmt(1.7976931348623157e308, 0, Def, Def, No).size(), 309u);
}

// The texts of every formatting routine, for values that take every path: rounding carries,
// groups, signs, E notation both ways, denormals, a score of every pad.
std::vector<std::string> everyKindOfText() {
    std::vector<std::string> texts;
    for (double v : {0.0, -0.0, 0.5, -0.5, 2.5, 999.5, 1.005, 1e6 / 720, 1e6 / 840, 1e6 / 1200,
                     1e6 / 1320, -1234567.5, 1e300, 0x1p-1074, 123456.789}) {
        for (int digits : {0, 1, 2, 6}) {
            texts.push_back(fmt(v, digits));
            texts.push_back(fmt(v, digits, No, Yes, No, french()));
        }
    }
    for (Currency c : {0_cur, 0.05_cur, 1.5_cur, 9999_cur, 922337203685477.5807_cur,
                       Currency::fromCount(-5000), Currency::fromCount(INT64_MIN)}) {
        texts.push_back(fmt(c, 0));
        texts.push_back(fmt(c, 1, No, Yes, Yes, european()));
        texts.push_back(fmt(c, 4));
    }
    for (float f : {60.0f, 59.99929f, 0.0001f, 1234567.0f, 12345678.0f, 0.00001f, -1.5f, 1e-40f,
                    3.4028235e38f, -0.000015f}) {
        texts.push_back(SingleToText(f, kFixed));
        texts.push_back(SingleToText(f, french()));
    }
    return texts;
}

// The process's C locale decides nothing: under a comma-decimal locale every routine writes
// exactly what it writes under "C". The window's process runs in the user's locale.
TEST(FormatNumber, NoTextDependsOnTheProcesssLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    const std::vector<std::string> expected = everyKindOfText();
    EXPECT_EQ(expected[0], "0");
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_ALL, name) == nullptr) {
            // The test command generates both; only a bare developer machine may lack them.
            const char* ci = std::getenv("CI");
            if (ci != nullptr && std::string(ci) == "true") {
                ADD_FAILURE() << "the locale " << name << " is not installed";
                continue;
            }
            std::setlocale(LC_ALL, "C");
            GTEST_SKIP() << "the locale " << name << " is not installed (run locale-gen)";
        }
        // The locale really writes a decimal comma, so the comparison can catch a fault.
        char probe[8];
        std::snprintf(probe, sizeof probe, "%.1f", 1.5);
        EXPECT_STREQ(probe, "1,5") << name;
        EXPECT_EQ(everyKindOfText(), expected) << name;
    }
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace vandrel
