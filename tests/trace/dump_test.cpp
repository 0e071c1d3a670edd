// SPDX-License-Identifier: MIT
// The JSON of the output lines: numbers that read back exactly, the state object's key order
// and its values at start-up.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "json_check.h"
#include "shell/script/json_writer.h"
#include "trace/trace_run.h"
#include "trace_runner.h"

namespace vandrel::headless {
namespace {

using testing::jsonKeys;
using testing::keysAt;

std::string currencyText(std::int64_t count) {
    std::string out;
    appendCurrency(out, Currency::fromCount(count));
    return out;
}

std::string singleText(float value) {
    std::string out;
    appendSingle(out, value);
    return out;
}

TEST(JsonWriter, CurrencyHasExactlyFourDecimals) {
    EXPECT_EQ(currencyText(0), "\"0.0000\"");
    EXPECT_EQ(currencyText(5), "\"0.0005\"");
    EXPECT_EQ(currencyText(-700), "\"-0.0700\"");
    EXPECT_EQ(currencyText(49000), "\"4.9000\"");
    EXPECT_EQ(currencyText(INT64_MAX), "\"922337203685477.5807\"");
    EXPECT_EQ(currencyText(INT64_MIN), "\"-922337203685477.5808\"");
}

TEST(JsonWriter, SinglesReadBackExactly) {
    EXPECT_EQ(singleText(6000.0f), "6000");
    EXPECT_EQ(singleText(-2520.0f), "-2520");
    EXPECT_EQ(singleText(59.99929f), "59.99929");
    EXPECT_EQ(singleText(1e20f), "1e+20");
    EXPECT_EQ(singleText(std::numeric_limits<float>::infinity()), "\"inf\"");
    EXPECT_EQ(singleText(-std::numeric_limits<float>::infinity()), "\"-inf\"");
    EXPECT_EQ(singleText(std::nanf("")), "\"nan\"");
    // A walk over the whole binary32 range, subnormals and both signs included.
    for (std::uint64_t bits = 0; bits < 0x1'0000'0000; bits += 0x00F1'2345) {
        const auto value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        if (!std::isfinite(value)) continue;
        const std::string text = singleText(value);
        EXPECT_TRUE(jsonKeys(text)) << text;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(std::strtof(text.c_str(), nullptr)),
                  static_cast<std::uint32_t>(bits))
            << text;
    }
}

TEST(JsonWriter, StringsEscapeQuotesBackslashesAndControls) {
    std::string out;
    appendJsonString(out, "a\"b\\c\r\nd\t\x01\x1f Z");
    EXPECT_EQ(out, "\"a\\\"b\\\\c\\r\\nd\\t\\u0001\\u001f Z\"");
    EXPECT_TRUE(jsonKeys(out));
}

TEST(Dump, StartUpStateInTheDocumentedKeyOrder) {
    const auto result = testing::traceLibrary("dump\n");
    ASSERT_EQ(result.status, kExitOk);
    ASSERT_EQ(result.lines().size(), 1u);
    const std::string line = result.lines()[0];
    const auto keys = jsonKeys(line);
    ASSERT_TRUE(keys) << line;
    EXPECT_EQ(keysAt(*keys, 1),
              (std::vector<std::string>{
                  "ticks",     "SpeedX",   "SpeedY",   "Thrust",    "Angle",   "Fuel",
                  "Gravity",   "EngineOn", "GameOver", "NoLimiter", "TurnKey", "Timer1",
                  "Ground",    "ship",     "Fire",     "shpStar",   "lblFuel", "lblThrust",
                  "lblHeight", "lblScore", "lblPause", "checked"}));
    EXPECT_EQ(keysAt(*keys, 2).size(), 11u);

    const std::string_view parts[] = {
        "{\"ticks\":0,\"SpeedX\":\"0.0000\",\"SpeedY\":\"0.0000\",\"Thrust\":\"0.1500\","
        "\"Angle\":\"4.9000\",\"Fuel\":\"500.0000\",\"Gravity\":\"0.0700\",\"EngineOn\":false,"
        "\"GameOver\":false,\"NoLimiter\":false,\"TurnKey\":[false,false],\"Timer1\":false,",
        "\"Ground\":[[-2520,6000,-1320,6000],[-1320,6000,-600,5400],[-600,5400,120,4680],"
        "[120,4680,960,4680],[960,4680,1920,5160],[1920,5160,3240,5160],[3240,5160,4200,5880],"
        "[4200,5880,5760,5400],[5760,5400,6480,5400],[6480,5400,8280,6120],"
        "[8280,6120,9600,6120],[9600,6120,10920,4920],[10918,4920,13400,6000]],\"ship\":[[",
        ",5280,3000,16777215],[",  // the hull centre, the second end of ship(1)
        ",false],\"shpStar\":[[600,2760],[3120,960],[1800,1560],[7320,1440],[6840,3120],"
        "[8760,960],[9120,3240],[5520,1080],[3720,4320],[9840,1920],[2280,3240],[7080,4800],"
        "[9360,4680]],",
        "\"lblFuel\":\"Fuel: 500\",\"lblThrust\":\"Thrust: 1.5\",\"lblHeight\":\"Height: 60\","
        "\"lblScore\":\"Score: \",\"lblPause\":[\"Press 'P' to start\",true],",
        "\"checked\":{\"mnuGNone\":false,\"mnuGLow\":false,\"mnuGNormal\":true,"
        "\"mnuGHigh\":false,\"mnuGVHigh\":false,\"mnuF250\":false,\"mnuF500\":true,"
        "\"mnuF1000\":false,\"mnuFOver9000\":false,\"mnuTOn\":true,\"mnuTOff\":false}}",
    };
    for (std::string_view part : parts)
        EXPECT_NE(line.find(part), std::string::npos) << part;
    // Nine hull rows of five columns, all white; the flame's row ends in its visibility.
    std::size_t hullRows = 0;
    for (auto at = line.find(",16777215]"); at != std::string::npos;
         at = line.find(",16777215]", at + 1)) {
        ++hullRows;
    }
    EXPECT_EQ(hullRows, 9u);
}

}  // namespace
}  // namespace vandrel::headless
