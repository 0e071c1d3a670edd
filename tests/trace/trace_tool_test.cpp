// The vandrel-trace binary end to end: its exit statuses, the end and error lines, and that a
// long flight comes out the same to the byte every time.
#include <gtest/gtest.h>

#include <cctype>

#include "json_check.h"
#include "trace/trace_run.h"
#include "trace_runner.h"

namespace vandrel::headless {
namespace {

using testing::jsonKeys;
using testing::traceBinary;
using testing::traceLibrary;

TEST(TraceTool, StartUpDump) {
    const auto result = traceBinary("dump\n");
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.err, "");
    // Byte for byte what the library writes, whose fields the dump tests check one by one.
    EXPECT_EQ(result.out, traceLibrary("dump\n").out);
    ASSERT_EQ(result.lines().size(), 1u);
    EXPECT_NE(result.out.find("\"Ground\":[[-2520,6000,-1320,6000],[-1320,6000,-600,5400],"),
              std::string::npos);
    EXPECT_NE(result.out.find("\"lblPause\":[\"Press 'P' to start\",true]"), std::string::npos);
}

TEST(TraceTool, CloseAndExitEndTheTraceWithStatusZero) {
    const auto closed = traceBinary("down 80\nclose\ndump\nnonsense\n");
    EXPECT_EQ(closed.status, kExitOk);
    EXPECT_EQ(closed.out, "{\"end\":\"close\"}\n");
    EXPECT_EQ(closed.err, "");

    const auto exited = traceBinary("click mnuABout\nclick mnuExit\ndump\nnonsense\n");
    EXPECT_EQ(exited.status, kExitOk);
    EXPECT_EQ(exited.out,
              "{\"msgbox\":{\"title\":\"About\",\"prompt\":\"Programed by Tamsbrook\","
              "\"buttons\":0}}\n{\"end\":\"exit\"}\n");
}

TEST(TraceTool, AMalformedLineExitsWithStatusTwo) {
    const auto result = traceBinary("dump\n# a comment\n\ndown 0x26\ndump\n");
    EXPECT_EQ(result.status, kExitScriptError);
    EXPECT_EQ(result.err, "vandrel-trace: line 4: malformed number \"0x26\"\n");
    EXPECT_EQ(result.lines().size(), 1u);
}

TEST(TraceTool, AnOverflowEndsTheTraceWithStatusThree) {
    // Limiter off and the thrust far beyond any fuel, the ship turned to fly sideways: one
    // burn throws the scenery past the 16-bit range of the terrain wrap.
    std::string script = "click mnuTOff\n";
    for (int press = 0; press < 640'000; ++press)
        script += "down 38\n";
    script += "down 37\ndown 80\ntick 24\nup 37\ndown 32\ntick 5000\ndump\n";
    const auto result = traceBinary(script);
    EXPECT_EQ(result.status, kExitRuntimeError);
    EXPECT_EQ(result.err, "");
    ASSERT_FALSE(result.lines().empty());
    EXPECT_EQ(result.lines().back(), "{\"error\":\"Overflow\"}");
    EXPECT_EQ(result.out.find("msgbox"), std::string::npos);
}

TEST(TraceTool, ALandingWritesItsBoxAndTheFinalState) {
    const auto result = traceLibrary("click mnuGNone\ndown 80\ntick 100000\ndump\n");
    ASSERT_EQ(result.status, kExitOk);
    const auto lines = result.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "{\"msgbox\":{\"title\":\"Landed!\",\"prompt\":\"Great Sucsess!\\r\\nPress 'R' to "
              "reset\",\"buttons\":0}}");
    // Ticks after the flight ended count too; the hull is green and the score shown.
    EXPECT_EQ(lines[1].substr(0, 16), "{\"ticks\":100000,");
    EXPECT_NE(lines[1].find("\"GameOver\":true"), std::string::npos);
    EXPECT_NE(lines[1].find(",65280],"), std::string::npos);
    EXPECT_EQ(lines[1].find(",16777215],"), std::string::npos);
    const auto score = lines[1].find("\"lblScore\":\"Score: ");
    ASSERT_NE(score, std::string::npos);
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(lines[1][score + 19])));
}

TEST(TraceTool, ALongFlightIsTheSameToTheByte) {
    std::string script = "click mnuFOver9000\nclick mnuGNone\ndown 80\ndown 32\n";
    for (int leg = 0; leg < 10; ++leg) {
        const char* key = leg % 2 ? "37" : "39";
        script += std::string("down ") + key + "\ntick 5\nup " + key + "\ntick 19995\ndump\n";
    }
    const auto first = traceBinary(script);
    const auto second = traceLibrary(script);
    ASSERT_EQ(first.status, kExitOk);
    EXPECT_EQ(first.out, second.out);
    const auto lines = first.lines();
    ASSERT_EQ(lines.size(), 10u);
    for (const auto& line : lines)
        EXPECT_TRUE(jsonKeys(line)) << line;
    EXPECT_EQ(lines.back().substr(0, 16), "{\"ticks\":200000,");
    EXPECT_NE(lines.back().find("\"GameOver\":false"), std::string::npos);
}

}  // namespace
}  // namespace vandrel::headless
