// SPDX-License-Identifier: MIT
// Replays as every host plays them: a script read in pieces and kept compact, and played a
// share of its events a period, in order and between the same ticks, whatever it holds.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "host/driver.h"
#include "shell/script/recorder.h"
#include "tests/host/recorded_toolkit.h"

namespace vandrel::host::test {
namespace {

std::string repeated(std::string_view line, std::size_t times) {
    std::string text;
    text.reserve(line.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        text += line;
    return text;
}

ReplayReader::Result readInPieces(std::string_view text, std::size_t piece,
                                  std::vector<std::string>* notes = nullptr) {
    ReplayReader reader("flight.txt", [notes](const std::string& note) {
        if (notes) notes->push_back(note);
    });
    for (std::size_t at = 0; at < text.size(); at += piece) {
        if (!reader.more(text.substr(at, piece))) break;
    }
    return reader.end();
}

// Whether a long text is `wanted`, naming the first line where it is not.
testing::AssertionResult sameText(const std::string& text, const std::string& wanted) {
    if (text == wanted) return testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < text.size() && at < wanted.size() && text[at] == wanted[at])
        ++at;
    const std::size_t line =
        static_cast<std::size_t>(std::count(text.begin(), text.begin() + at, '\n'));
    return testing::AssertionFailure() << "they part at line " << line + 1 << ": "
                                       << text.substr(at, 20) << " / " << wanted.substr(at, 20);
}

std::vector<std::string> stepsOf(const ReplayScript& script) {
    std::vector<std::string> steps;
    for (std::size_t at = 0; at < script.size();) {
        const ReplayScript::Step s = script.next(at);
        steps.push_back(std::to_string(static_cast<int>(s.kind)) + " " + std::to_string(s.keyCode) +
                        " " + std::to_string(s.count) + " " + std::string(s.menuName));
    }
    return steps;
}

// The script is kept a few bytes a command, never more than its lines took; read in pieces of
// any size it is the same script, refused at the same line.
TEST(ReplayScript, CompactAndTheSameInAnyPieces) {
    const std::string text =
        "# Vandrel 1.00 recording\r\ndown -32768\nup 32767\n  tick\ntick 1000000000\n\n"
        "click mnuFOver9000\ndump\nclose\n# end: close\nup 1";
    const ReplayScript whole = ReplayScript::of(text);
    EXPECT_EQ(stepsOf(whole),
              (std::vector<std::string>{"1 -32768 0 ", "2 32767 0 ", "4 0 1 ", "4 0 1000000000 ",
                                        "3 0 0 mnuFOver9000", "5 0 0 ", "6 0 0 ", "2 1 0 "}));
    for (std::string_view line : {"up 1", "tick", "tick 2", "click mnuExit", "dump", "close"})
        EXPECT_LE(ReplayScript::of(line).size(), line.size()) << line;
    EXPECT_LE(ReplayScript::of(repeated("up 1\n", 1000)).size(), 3000u);
    for (std::size_t piece : {1u, 2u, 7u, 65536u}) {
        const ReplayReader::Result read = readInPieces(text, piece);
        ASSERT_TRUE(std::holds_alternative<ReplayScript>(read)) << piece;
        EXPECT_EQ(stepsOf(std::get<ReplayScript>(read)), stepsOf(whole)) << piece;
    }

    // A malformed line, or one too long, is refused at its number; a line too long is never
    // held whole, and nothing after it is read.
    const std::string bad = "down 80\ntick 5\n\n<b>jump</b>\ndown 32\n";
    const std::string huge = "tick\n" + std::string(65537, '#') + "\ntick\n";
    for (std::size_t piece : {1u, 3u, 65536u}) {
        ReplayReader::Result read = readInPieces(bad, piece);
        ASSERT_TRUE(std::holds_alternative<ReplayRefusal>(read)) << piece;
        EXPECT_EQ(std::get<ReplayRefusal>(read).text("flight.txt"),
                  "flight.txt: line 4: unknown command \"<b>jump</b>\"");
        read = readInPieces(huge, piece);
        ASSERT_TRUE(std::holds_alternative<ReplayRefusal>(read)) << piece;
        EXPECT_EQ(std::get<ReplayRefusal>(read).text("x"), "x: line 2: longer than 65536 bytes");
    }
    ReplayReader reader("x", {});
    EXPECT_FALSE(reader.more(huge.substr(0, 65536 + 8)));
    EXPECT_FALSE(reader.more("tick\n"));  // refused already

    // A recording of another version plays after its note; a name is shown with what would
    // drive a terminal or reorder the message escaped.
    std::vector<std::string> notes;
    EXPECT_TRUE(std::holds_alternative<ReplayScript>(
        readInPieces("# Vandrel 0.99 recording\ndown 80\n", 5, &notes)));
    EXPECT_EQ(notes, std::vector<std::string>{
                         "flight.txt was recorded by Vandrel 0.99; this is Vandrel 1.00"});
    EXPECT_EQ((ReplayRefusal{3, "why"}.text("evil\xe2\x80\xaetxt.exe\x1b")),
              "evil\\xe2\\x80\\xaetxt.exe\\x1b: line 3: why");
}

// A driver replaying a script on a toolkit that writes down what it is asked, with the game
// recorded, as a window or a page records the flights it replays.
struct Replayed : Driven {
    StringSink recording;
    explicit Replayed(std::string_view script) {
        driver.record(recording);
        driver.replay(ReplayScript::of(script));
    }
    // Runs periods of the clock until the replay has finished: how many it took.
    int play() {
        int periods = 0;
        while (driver.replaying() && !driver.replaying()->finished() && periods < 100000) {
            driver.tick();
            ++periods;
        }
        return periods;
    }
};

// However many events a script holds between two ticks, a period delivers a share of them and
// hands the host its control back; they reach the game in their order and between the same
// ticks, so the game is recorded as the script says, and a screen reader is told what each
// period left, never each event.
TEST(ReplayPacing, APeriodDeliversAShareInOrderBetweenTheSameTicks) {
    // P pressed 10,001 times (running, paused, ...) before a tick, a turn held for 5,000
    // repeats, the gravity chosen 6,000 times (each a new flight), and a start.
    const std::string script = repeated("down 80\nup 80\n", 10001) + "tick 7\n" +
                               repeated("down 37\n", 5000) + "up 37\ntick 3\n" +
                               repeated("click mnuGHigh\nclick mnuGLow\n", 3000) +
                               "down 80\ntick 2\nup 80\n";
    Replayed r(script);
    const std::size_t steps = 2 * 10001 + 7 + 5001 + 3 + 6000 + 3 + 1;
    // A tick is raised once a period at most, after the events before it.
    const int periods = r.play();
    EXPECT_GE(periods, static_cast<int>((steps + Replay::kMostSteps - 1) / Replay::kMostSteps));
    EXPECT_LE(periods, static_cast<int>(steps / Replay::kMostSteps + 12 + 4));
    EXPECT_TRUE(sameText(r.recording.text, recordingHeader() + "\n" + script));
    EXPECT_EQ(r.driver.game().ticks(), 12u);
    EXPECT_TRUE(r.state.Timer1.Enabled);  // running after an odd number of presses
    // What was said: a few words a period at most, never one for each of 20,002 prompts.
    EXPECT_LE(r.calls("say").size(), static_cast<std::size_t>(periods));
    EXPECT_LE(r.calls("checks").size(), static_cast<std::size_t>(periods));
}

// A period also ends once it has taken its share of the host's time, whatever its steps cost.
TEST(ReplayPacing, APeriodEndsAtItsShareOfTheHostsTime) {
    const std::string script = "down 80\n" + repeated("down 32\nup 32\n", 3000) + "tick 1\nup 80\n";
    Replayed r(script);
    r.toolkit.timePerReading = 0.25;  // each look at the clock finds a quarter ms gone
    r.driver.tick();
    const std::size_t lines = r.recording.text.size() / std::string_view("up 32\n").size();
    EXPECT_GT(lines, 32u);
    EXPECT_LT(lines, 40u * static_cast<std::size_t>(Replay::kPeriodShare / 0.25 + 2));
    EXPECT_EQ(r.driver.game().ticks(), 0u);
    r.play();
    EXPECT_TRUE(sameText(r.recording.text, recordingHeader() + "\n" + script));
}

}  // namespace
}  // namespace vandrel::host::test
