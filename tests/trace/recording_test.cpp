// SPDX-License-Identifier: MIT
// The flight recorder: the lines it writes for what the game is given, that the trace tool
// replays them to the recorded final state, and what a failed write or another version does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/runtime/key_codes.h"
#include "shell/script/recorder.h"
#include "shell/session.h"
#include "tests/support/recording_platform.h"
#include "trace/trace_run.h"
#include "trace_runner.h"

namespace vandrel::headless {
namespace {

using namespace keys;
using testing::BinarySetup;
using testing::FailingSink;
using testing::traceBinary;
using testing::traceLibrary;

std::vector<std::string> linesOf(const std::string& text) {
    testing::TraceResult result;
    result.out = text;
    return result.lines();
}

// A game with a recorder on it, and the failures the recorder reported.
struct RecordedGame {
    explicit RecordedGame(OutputSink& sink)
        : recorder(sink, [this](const IoError& e) { failures.push_back(e.reason); }) {
        game.observe(&recorder);
        EXPECT_EQ(game.load(), Session::Outcome::Ran);
    }
    void ticks(int n) {
        for (int k = 0; k < n; ++k)
            game.tick();
    }

    std::vector<std::string> failures;
    RecordingPlatform platform;
    Session game{platform};
    Recorder recorder;
};

TEST(Recorder, WritesEachEventAndTheTicksBetweenThemInRuns) {
    StringSink sink;
    RecordedGame r(sink);
    r.game.keyDown(kP);
    r.game.keyDown(kSpace);
    r.game.keyDown(kSpace);  // a held key's repeat is one more key-down
    r.ticks(1);
    r.game.keyDown(kRight);
    r.ticks(250);  // written a hundred at a time, the rest with the next event
    EXPECT_EQ(linesOf(sink.text).back(), "tick 100");
    r.game.keyUp(kRight);
    r.game.click("mnuOptions");  // a menu that only opens a submenu reaches no handler
    r.game.click("mnuTOff");
    r.game.keyUp(kSpace);  // released for the player when the window loses the keyboard
    r.game.keyDown(kP);    // and the pause that leaving brings
    r.game.keyUp(kP);
    r.ticks(5);  // paused: no tick reaches the game
    EXPECT_EQ(sink.text,
              "# Vandrel 1.00 recording\n"
              "down 80\ndown 32\ndown 32\ntick 1\ndown 39\ntick 100\ntick 100\ntick 50\nup 39\n"
              "click mnuTOff\nup 32\ndown 80\nup 80\n");
    EXPECT_TRUE(r.failures.empty());
}

TEST(Recorder, ReplaysToTheFinalStateThroughALandingAndAReset) {
    StringSink sink;
    RecordedGame r(sink);
    // The golden flight: tilt right under power, coast, brake down to a landing.
    r.game.keyDown(kP);
    r.game.keyDown(kRight);
    r.game.keyDown(kSpace);
    r.ticks(3);
    r.game.keyUp(kRight);
    r.ticks(60);
    r.game.keyDown(kLeft);
    r.ticks(3);
    r.game.keyUp(kLeft);
    r.game.keyUp(kSpace);
    r.ticks(275);
    r.game.keyDown(kSpace);
    std::string underTheBox;
    r.platform.whileOpen = [&] {
        underTheBox = sink.text;
        r.game.keyDown(kR);  // dropped under the box, so never written
    };
    for (int k = 0; k < 1000 && !r.game.view().state().GameOver; ++k)
        r.game.tick();
    ASSERT_EQ(r.platform.boxes.size(), 1u);
    // The ticks up to the landing are written before its box opens.
    EXPECT_EQ(underTheBox, sink.text);
    EXPECT_EQ(linesOf(underTheBox).back(), "tick 16");  // 341 before the brake, 100 after, 16
    r.game.keyDown(kR);
    r.game.keyDown(kP);
    r.ticks(40);
    const std::string killed = sink.text;
    r.recorder.finish(Ending::Close, r.game.view(), r.game.ticks());

    const auto lines = linesOf(sink.text);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "tick 40");
    EXPECT_EQ(lines[lines.size() - 2], "# end: close");
    const std::string final = lines.back();
    ASSERT_EQ(final.rfind("# final: {\"ticks\":497,", 0), 0u) << final;

    const auto replay = traceLibrary(sink.text + "dump\n");
    EXPECT_EQ(replay.status, kExitOk);
    EXPECT_EQ(replay.err, "");
    ASSERT_EQ(replay.lines().size(), 2u);  // the landing's box, then the dump
    EXPECT_EQ("# final: " + replay.lines().back(), final);
    // A game killed before its end left a valid script of what it wrote.
    const auto partial = traceLibrary(killed + "dump\n");
    EXPECT_EQ(partial.status, kExitOk);
    EXPECT_NE(partial.out.find("{\"ticks\":457,"), std::string::npos);
}

TEST(Recorder, ExitIsTheEndLineAndTheReplayGoesOnPastIt) {
    StringSink sink;
    RecordedGame r(sink);
    r.game.keyDown(kP);
    r.ticks(7);
    EXPECT_EQ(r.game.click("mnuExit"), Session::Outcome::Ended);
    r.recorder.finish(Ending::Exit, r.game.view(), r.game.ticks());
    const auto lines = linesOf(sink.text);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "# end: exit");
    const auto replay = traceLibrary(sink.text + "dump\n");
    EXPECT_EQ(replay.status, kExitOk);
    EXPECT_EQ("# final: " + replay.out, lines[4] + '\n');
}

TEST(Recorder, AFailedWriteIsReportedOnceAndTheGameGoesOn) {
    FailingSink sink(2);  // the first line and one event
    RecordedGame r(sink);
    r.game.keyDown(kP);
    EXPECT_FALSE(r.recorder.failed());
    EXPECT_EQ(r.game.keyDown(kSpace), Session::Outcome::Ran);
    r.ticks(300);
    r.game.keyUp(kSpace);
    r.recorder.finish(Ending::Close, r.game.view(), r.game.ticks());
    EXPECT_TRUE(r.recorder.failed());
    EXPECT_EQ(r.failures, std::vector<std::string>{"Broken pipe"});
    EXPECT_EQ(sink.text, "# Vandrel 1.00 recording\ndown 80\n");
    EXPECT_EQ(r.game.ticks(), 300u);
}

TEST(Recorder, ARecordingOfAnotherVersionReplaysWithAWarning) {
    const std::string flight = "down 80\ntick 3\ndump\n";
    auto result = traceLibrary("# Vandrel 0.99 recording\r\n" + flight);
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.err,
              "vandrel-trace: standard input was recorded by Vandrel 0.99; this is Vandrel "
              "1.00\n");
    EXPECT_EQ(result.out, traceLibrary(flight).out);
    // This version, another game, the header anywhere but first, or no version in it (a
    // terminal's escape sequence never reaches the terminal): no warning.
    for (const std::string& script :
         {recordingHeader() + '\n', std::string("# Lander 0.99 recording\n"),
          std::string("\n# Vandrel 0.99 recording\n"), std::string("# Vandrel recording\n"),
          std::string("# Vandrel \x1b]0;owned\x07 recording\n"),
          std::string("# Vandrel 1.00 2 recording\n")}) {
        EXPECT_EQ(traceLibrary(script + flight).err, "") << script;
    }
    // Named on the command line, the file is named in the warning and in a bad line's message.
    result = traceBinary("# Vandrel 2.5 recording\ndump\njump\n",
                         {.input = BinarySetup::Input::Argument});
    EXPECT_EQ(result.status, kExitScriptError);
    EXPECT_EQ(result.err, "vandrel-trace: " + result.scriptPath +
                              " was recorded by Vandrel 2.5; this is Vandrel 1.00\n"
                              "vandrel-trace: " +
                              result.scriptPath + ": line 3: unknown command \"jump\"\n");
    EXPECT_EQ(result.lines().size(), 1u);
}

// A recording kept in memory grows in pieces, never copied whole, and reads back whole.
TEST(Recorder, APiecesSinkKeepsEverythingInOrder) {
    PiecesSink sink;
    std::string whole;
    for (const std::size_t size : {std::size_t{1}, std::size_t{1} << 20, std::size_t{3},
                                   std::size_t{3} << 20, std::size_t{0}, std::size_t{5}}) {
        const std::string piece(size, static_cast<char>('a' + whole.size() % 26));
        sink.write(piece);
        whole += piece;
    }
    EXPECT_TRUE(sink.text() == whole);
}

}  // namespace
}  // namespace vandrel::headless
