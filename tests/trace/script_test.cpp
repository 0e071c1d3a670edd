// The script's syntax: which lines are malformed, the line numbers of the message, and that a
// bad line stops the trace before anything of it runs.
#include <gtest/gtest.h>

#include "trace/script.h"
#include "trace/trace_run.h"
#include "trace_runner.h"

namespace vandrel::headless {
namespace {

using testing::traceLibrary;

TEST(ScriptLine, MalformedLinesGiveTheirReason) {
    const struct {
        std::string_view line, reason;
    } cases[] = {
        {"jump", "unknown command \"jump\""},
        {"Dump", "unknown command \"Dump\""},
        {"down", "missing key code"},
        {"up \t ", "missing key code"},
        {"down +5", "malformed number \"+5\""},
        {"down 1.5", "malformed number \"1.5\""},
        {"down 0x10", "malformed number \"0x10\""},
        {"tick -", "malformed number \"-\""},
        {"tick --1", "malformed number \"--1\""},
        {"down 32768", "key code out of range (-32768 to 32767): \"32768\""},
        {"up -32769", "key code out of range (-32768 to 32767): \"-32769\""},
        {"down 99999999999999999999999999", "key code out of range"},
        {"tick 0", "tick count out of range (1 to 1000000000): \"0\""},
        {"tick -0", "tick count out of range"},
        {"tick 1000000001", "tick count out of range"},
        {"tick 184467440737095516170", "tick count out of range"},
        {"tick 5 6", "a word too many: \"6\""},
        {"dump now", "a word too many: \"now\""},
        {"close 1", "a word too many: \"1\""},
        {"down 32 # fire", "a word too many: \"#\""},
        {"click", "missing menu item"},
        {"click mnuExitt", "no menu item with a click handler named \"mnuExitt\""},
        {"click mnuFile", "no menu item with a click handler named \"mnuFile\""},
        {"click mnuGravity", "no menu item with a click handler named \"mnuGravity\""},
        {"click mnuHelp", "no menu item with a click handler named \"mnuHelp\""},
        {"dump\r\r", "unknown command \"dump\r\""},
    };
    for (const auto& c : cases) {
        Command command;
        std::string reason;
        EXPECT_FALSE(parseLine(c.line, command, reason)) << c.line;
        EXPECT_EQ(reason.substr(0, c.reason.size()), c.reason) << c.line;
    }
}

TEST(ScriptLine, WellFormedLines) {
    Command command;
    std::string reason;
    ASSERT_TRUE(parseLine("  \tdown\t-32768  \r", command, reason)) << reason;
    EXPECT_EQ(command.kind, CommandKind::Down);
    EXPECT_EQ(command.keyCode, -32768);
    ASSERT_TRUE(parseLine("up 0032767", command, reason)) << reason;
    EXPECT_EQ(command.kind, CommandKind::Up);
    EXPECT_EQ(command.keyCode, 32767);
    ASSERT_TRUE(parseLine("tick", command, reason));
    EXPECT_EQ(command.count, 1u);
    ASSERT_TRUE(parseLine("tick 1000000000", command, reason));
    EXPECT_EQ(command.count, 1'000'000'000u);
    ASSERT_TRUE(parseLine("click mnuABout\r", command, reason)) << reason;
    EXPECT_EQ(command.menuName, "mnuABout");
    for (std::string_view ignored : {"", "\r", " \t ", "#", "  # down x y z", "#dump"}) {
        ASSERT_TRUE(parseLine(ignored, command, reason)) << ignored;
        EXPECT_EQ(command.kind, CommandKind::Nothing) << ignored;
    }
}

TEST(ScriptLine, EveryMenuItemWithAHandlerCanBeClicked) {
    for (std::string_view name : {"mnuExit", "mnuGNone", "mnuGLow", "mnuGNormal", "mnuGHigh",
                                  "mnuGVHigh", "mnuF250", "mnuF500", "mnuF1000", "mnuFOver9000",
                                  "mnuTOn", "mnuTOff", "mnuReset", "mnuControls", "mnuABout"}) {
        Command command;
        std::string reason;
        EXPECT_TRUE(parseLine("click " + std::string(name), command, reason)) << reason;
    }
}

TEST(ScriptRun, ABadLineStopsTheTraceAndKeepsEarlierOutput) {
    // Line 6 is bad: lines 1 to 5 ran (one dump, then P), nothing of line 6 or after it did.
    const auto result = traceLibrary("dump\n\n# comment\r\n  down 80\ndump\ntick 5 6\ndump\n");
    EXPECT_EQ(result.status, kExitScriptError);
    EXPECT_EQ(result.err, "vandrel-trace: line 6: a word too many: \"6\"\n");
    const auto lines = result.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[1].find("\"ticks\":0,"), std::string::npos);
    EXPECT_NE(lines[1].find("\"Timer1\":true"), std::string::npos);
}

TEST(ScriptRun, AClickOnAHeaderIsRejectedBeforeAnyBoxOpens) {
    const auto result = traceLibrary("click mnuABout\nclick mnuOptions\nclick mnuABout\n");
    EXPECT_EQ(result.status, kExitScriptError);
    EXPECT_EQ(result.err.substr(0, 22), "vandrel-trace: line 2:");
    EXPECT_EQ(result.lines().size(), 1u);
}

TEST(ScriptRun, ALastLineWithoutLineFeedRuns) {
    const auto result = traceLibrary("down 80\ntick\ntick 2\ndump");
    EXPECT_EQ(result.status, kExitOk);
    ASSERT_EQ(result.lines().size(), 1u);
    EXPECT_EQ(result.lines()[0].substr(0, 12), "{\"ticks\":3,\"");
}

}  // namespace
}  // namespace vandrel::headless
