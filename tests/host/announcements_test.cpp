// SPDX-License-Identifier: MIT
// What a screen reader is told of a game, and when, on a clock the test moves.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/announcements.h"
#include "tests/core/game.h"

namespace vandrel::host::test {
namespace {

using vandrel::test::kP;
using vandrel::test::kR;
using vandrel::test::kSpace;
constexpr std::int64_t kPause = Announcements::kHeightPause.count();

// A game heard from its start, one tick of 10 ms at a time.
struct Heard {
    vandrel::test::Game game;
    Announcements announcements{game.view};
    std::int64_t now = 0;  // ms
    bool boxUp = false;
    Announcements::Step last;

    /// Catches up, as a host does after every event; what was said now, or "".
    std::string update() {
        last = announcements.update(game.view, boxUp, now);
        return last.say ? last.say->text : "";
    }
    std::string key(std::int16_t code) {
        game.press(code);
        game.release(code);
        return update();
    }
    std::string tick() {
        now += 10;
        game.ticks(1);
        return update();
    }
    /// Starts a climb with no gravity, the engine held: the height changes on every tick.
    void climb() {
        game.d.click("mnuGNone");
        key(kP);
        game.press(kSpace);
        while (tick().empty())
            ASSERT_LT(now, 100) << "the height never changed";
    }
    const std::string& height() const { return game.state.lblHeight.Caption; }
};

TEST(Announcements, PromptAndScoreAtOnceAndThePromptBeforeTheScore) {
    Heard h;
    EXPECT_EQ(h.update(), "");
    EXPECT_EQ(h.key(kP), "");  // the prompt hides: the height will tell of the flight
    EXPECT_EQ(h.key(kP), "Paused");
    EXPECT_TRUE(h.last.say->atOnce);
    EXPECT_FALSE(h.last.due);
    EXPECT_EQ(h.key(kR), "Press 'P' to start");
    EXPECT_EQ(h.key(kR), "");  // shown already

    h.key(kP);
    h.game.state.lblScore.Caption = "Score: 1389";  // as a landing writes it
    EXPECT_EQ(h.update(), "Score: 1389");
    EXPECT_TRUE(h.last.say->atOnce);
    // A reset clears the score as it shows the prompt: one moment, one thing to say.
    EXPECT_EQ(h.key(kR), "Press 'P' to start");
    EXPECT_EQ(h.update(), "");
}

// While a flight runs the height is said as it changes, once a pause at most, and a change
// that came within the pause is said at its end with the value it has then.
TEST(Announcements, HeightAtMostOncePerPauseAlwaysWithTheValueItSettlesOn) {
    Heard h;
    h.climb();
    EXPECT_EQ(h.last.say->text, h.height());
    EXPECT_FALSE(h.last.say->atOnce);
    std::vector<std::int64_t> saidAt{h.now};
    while (h.now < 5000) {
        const std::string said = h.tick();
        if (said.empty()) {
            ASSERT_EQ(h.last.due, saidAt.back() + kPause) << "at " << h.now;
            continue;
        }
        EXPECT_EQ(said, h.height());
        EXPECT_EQ(h.now - saidAt.back(), kPause);
        EXPECT_FALSE(h.last.due);
        saidAt.push_back(h.now);
    }
    EXPECT_EQ(saidAt.size(), 5u);

    // Right after it was said, the height changes once more, then holds still: the end of the
    // pause says it.
    while (h.tick().empty()) {
    }
    h.tick();
    h.now += 30;
    EXPECT_EQ(h.update(), "");
    ASSERT_EQ(h.last.due, h.now - 40 + kPause);
    h.now = *h.last.due;
    EXPECT_EQ(h.update(), h.height());
    EXPECT_FALSE(h.last.due);
    h.now += 5000;
    EXPECT_EQ(h.update(), "");  // said already
}

// Nothing is said, and nothing falls due, while the game waits: paused, over, or under a box,
// whose own words the player hears. The height waits a pause after any words.
TEST(Announcements, NothingWhileTheGameWaits) {
    Heard h;
    h.climb();
    h.tick();
    ASSERT_TRUE(h.last.due);
    EXPECT_EQ(h.key(kP), "Paused");
    EXPECT_FALSE(h.last.due);  // the height left unsaid is not said later
    const std::int64_t paused = h.now;
    h.key(kP);
    h.tick();
    EXPECT_EQ(h.last.due, paused + kPause);
    EXPECT_EQ(h.key(kP), "Paused");
    h.now += 10 * kPause;
    EXPECT_EQ(h.update(), "");
    EXPECT_FALSE(h.last.due);

    h.key(kP);
    h.boxUp = true;
    EXPECT_EQ(h.tick(), "");
    EXPECT_FALSE(h.last.due);
    h.game.state.lblScore.Caption = "Score: 833";  // a landing's score, as its box comes
    EXPECT_EQ(h.update(), "Score: 833");
    EXPECT_FALSE(h.last.due);

    h.boxUp = false;
    h.game.state.GameOver = true;  // the box answered: the flight is over
    h.tick();
    h.now += 10 * kPause;
    EXPECT_EQ(h.update(), "");
    EXPECT_FALSE(h.last.due);
}

}  // namespace
}  // namespace vandrel::host::test
