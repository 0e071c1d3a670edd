// SPDX-License-Identifier: MIT
// The vandrel-trace binary end to end: its exit statuses, the end and error lines, failures
// to read or write, and that a long flight comes out the same to the byte every time.
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

#include "json_check.h"
#include "trace/trace_run.h"
#include "trace_runner.h"

namespace vandrel::headless {
namespace {

using testing::BinarySetup;
using testing::FailingSink;
using testing::flightScript;
using testing::jsonKeys;
using testing::traceBinary;
using testing::traceLibrary;
using Input = BinarySetup::Input;
using Output = BinarySetup::Output;

// A script read in small pieces that fails after `goodBytes`, counting how often it was read.
class FailingSource : public ScriptSource {
  public:
    FailingSource(std::string_view text, std::size_t goodBytes) : text_(text), good_(goodBytes) {}
    std::size_t read(char* buffer, std::size_t capacity) override {
        ++reads;
        if (good_ == 0) throw IoError{IoError::Direction::Read, "Input/output error"};
        const std::size_t count = text_.copy(buffer, std::min({capacity, good_, std::size_t{4}}));
        text_.remove_prefix(count);
        good_ -= count;
        return count;
    }
    int reads = 0;

  private:
    std::string_view text_;
    std::size_t good_;
};

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
    const auto result = traceBinary(flightScript("overflow"));
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
    const std::string script = flightScript("long");
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

namespace vandrel::headless {
namespace {

TEST(TraceToolFailures, OutputThatCannotBeWrittenEndsTheRunWithStatusFour) {
    // A landing and a thousand dumps: the failure stops the run at the first write.
    std::string script = "click mnuGNone\ndown 80\ntick 100000\n";
    for (int dump = 0; dump < 1000; ++dump)
        script += "dump\n";
    const struct {
        Output output;
        std::string_view err;
    } cases[] = {
        {Output::Full, "vandrel-trace: cannot write: No space left on device\n"},
        {Output::Closed, "vandrel-trace: cannot write: Bad file descriptor\n"},
        {Output::BrokenPipe, "vandrel-trace: cannot write: Broken pipe\n"},
    };
    for (const auto& c : cases) {
        const auto result = traceBinary(script, {.output = c.output});
        EXPECT_EQ(result.status, kExitIoError) << c.err;
        EXPECT_EQ(result.err, c.err);
    }
}

TEST(TraceToolFailures, InputThatCannotBeReadEndsTheRunWithStatusFour) {
    // Never the end of the script: the line after would have been malformed, too.
    auto result = traceBinary("", {.input = Input::Directory});
    EXPECT_EQ(result.status, kExitIoError);
    EXPECT_EQ(result.err, "vandrel-trace: cannot read: Is a directory\n");
    EXPECT_EQ(result.out, "");
    result = traceBinary("", {.input = Input::Closed});
    EXPECT_EQ(result.status, kExitIoError);
    EXPECT_EQ(result.err, "vandrel-trace: cannot read: Bad file descriptor\n");
}

TEST(TraceToolFailures, AReadErrorKeepsWhatTheLinesBeforeWrote) {
    const std::string_view script = "dump\ndown 80\ntick 5\ndump\nnonsense\n";
    FailingSource in(script, 14);  // "dump\ndown 80\nt"
    StringSink out;
    std::ostringstream err;
    EXPECT_EQ(runTrace(in, out, err), kExitIoError);
    EXPECT_EQ(err.str(), "vandrel-trace: cannot read: Input/output error\n");
    EXPECT_EQ(out.text, traceLibrary("dump\n").out);  // the half line never ran
}

TEST(TraceToolFailures, AWriteErrorStopsTheScriptAtOnce) {
    std::string script;
    for (int line = 0; line < 100; ++line)
        script += "dump\n";
    FailingSource in(script, script.size());
    FailingSink out(1);
    std::ostringstream err;
    EXPECT_EQ(runTrace(in, out, err), kExitIoError);
    EXPECT_EQ(err.str(), "vandrel-trace: cannot write: Broken pipe\n");
    // The script comes four bytes at a time and each wait writes what is pending: the first
    // write carries the first dump, the second fails, and nothing more is read.
    EXPECT_EQ(out.text, traceLibrary("dump\n").out);
    EXPECT_LE(in.reads, 4);
}

TEST(TraceToolFailures, AHugeLineIsNeverReadWhole) {
    // 256 MiB of a line through a pipe: the trace stops after 64 KiB of it, and takes no more
    // memory than for a pipe of short lines (a sanitized build's own overhead included).
    const auto piped = traceBinary("dump\n", {.input = Input::Pipe});
    EXPECT_EQ(piped.status, kExitOk);
    EXPECT_EQ(piped.lines().size(), 2u);
    const auto result =
        traceBinary("dump\n", {.input = Input::Pipe, .longLine = std::size_t{256} << 20});
    EXPECT_EQ(result.status, kExitScriptError);
    EXPECT_EQ(result.err, "vandrel-trace: line 2: longer than 65536 bytes\n");
    EXPECT_EQ(result.lines().size(), 1u);
    EXPECT_GT(piped.peakKiB, 0);
    EXPECT_LT(result.peakKiB, piped.peakKiB + 4 * 1024);
}

}  // namespace
}  // namespace vandrel::headless
