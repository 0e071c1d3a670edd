// SPDX-License-Identifier: MIT
// The script's syntax: which lines are malformed, the line numbers of the message, and that a
// bad line stops the trace before anything of it runs.
#include <gtest/gtest.h>

#include "shell/form1_view.h"
#include "shell/script/line_reader.h"
#include "shell/script/script.h"
#include "shell/session.h"
#include "trace/headless_platform.h"
#include "trace/trace_run.h"
#include "trace_runner.h"

namespace vandrel::headless {
namespace {

using testing::traceLibrary;

TEST(ScriptLine, MalformedLinesGiveTheirReason) {
    const struct {
        std::string line, reason;
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
        // Words are quoted with every byte a terminal could act on shown as \xNN.
        {"dump\r\r", "unknown command \"dump\\x0d\""},
        {"\x1b[2Jdump", "unknown command \"\\x1b[2Jdump\""},
        {"down \x7f", "malformed number \"\\x7f\""},
        {"down \xc2\x9b"
         "31m",
         "malformed number \"\\xc2\\x9b31m\""},  // C1 CSI
        {"down \xff\xc3(\xe0\x80\x80\xed\xa0\x80\xf4\x90\x80\x80",
         "malformed number \"\\xff\\xc3(\\xe0\\x80\\x80\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80\""},
        {"click m\xc3\xa9nu\xe2\x82\xac\xf0\x9f\x9a\x80",
         "no menu item with a click handler named \"m\xc3\xa9nu\xe2\x82\xac\xf0\x9f\x9a\x80\""},
        {"click a\\x41", "no menu item with a click handler named \"a\\\\x41\""},
        // And so is every character that would reorder the message around it: the
        // bidirectional controls, U+202A-U+202E, U+2066-U+2069 and the marks; others stay.
        {"click \xe2\x80\xaenuExit\xe2\x80\xac",
         "no menu item with a click handler named \"\\xe2\\x80\\xaenuExit\\xe2\\x80\\xac\""},
        {"dump \xe2\x80\xaa\xe2\x81\xa6\xe2\x81\xa9\xe2\x80\x8f\xd8\x9c\xe2\x80\xaf",
         "a word too many: \"\\xe2\\x80\\xaa\\xe2\\x81\\xa6\\xe2\\x81\\xa9\\xe2\\x80\\x8f"
         "\\xd8\\x9c\xe2\x80\xaf\""},
        // A long word is cut short, never inside a character.
        {"click mnu" + std::string(36, 'x') + "\xc3\xa9",
         "no menu item with a click handler named \"mnu" + std::string(36, 'x') + "...\""},
        {"tick 1" + std::string(60, '0'),
         "tick count out of range (1 to 1000000000): \"1" + std::string(39, '0') + "...\""},
        // A NUL byte is reported as such, wherever it stands.
        {std::string("dump\0", 5), "a NUL byte at column 5"},
        {std::string("# \0", 3), "a NUL byte at column 3"},
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
    // Those are the items that open no submenu, taken from the game's own menu tree.
    std::string boxes;
    HeadlessPlatform platform(boxes);
    const Session game(platform);
    for (const MenuItem* item : game.view().menuItems()) {
        Command command;
        std::string reason;
        EXPECT_EQ(parseLine("click " + std::string(item->Name), command, reason),
                  item->Children.empty())
            << item->Name;
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

TEST(ScriptRun, ALineLongerThan64KiBIsMalformed) {
    // 65,536 bytes before the line feed are still a line; one more is not.
    const std::string longest = "#" + std::string(kMaxLineBytes - 1, ' ');
    auto result = traceLibrary(longest + "\ndump\n" + longest + " \ndump\n");
    EXPECT_EQ(result.status, kExitScriptError);
    EXPECT_EQ(result.err, "vandrel-trace: line 3: longer than 65536 bytes\n");
    EXPECT_EQ(result.lines().size(), 1u);
    // Also when it is the last line, without a line feed.
    result = traceLibrary("dump\n" + std::string(kMaxLineBytes + 1, 'x'));
    EXPECT_EQ(result.err, "vandrel-trace: line 2: longer than 65536 bytes\n");
    EXPECT_EQ(result.lines().size(), 1u);
    EXPECT_EQ(traceLibrary(longest).status, kExitOk);
}

TEST(ScriptRun, ALastLineWithoutLineFeedRuns) {
    const auto result = traceLibrary("down 80\ntick\ntick 2\ndump");
    EXPECT_EQ(result.status, kExitOk);
    ASSERT_EQ(result.lines().size(), 1u);
    EXPECT_EQ(result.lines()[0].substr(0, 12), "{\"ticks\":3,\"");
}

}  // namespace
}  // namespace vandrel::headless
