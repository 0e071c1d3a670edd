// SPDX-License-Identifier: MIT
// What a screen reader is told of a game, and when, on a clock the test moves.
#include <gtest/gtest.h>

#include <cmath>
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
    /// Starts a climb with no gravity, the engine held: the height changes on and on.
    void climb() {
        game.d.click("mnuGNone");
        key(kP);
        game.press(kSpace);
        while (tick().empty())
            ASSERT_LT(now, 5000) << "the height never changed";
    }
    /// The height readout's figure, rounded as it is spoken.
    long long readout() const {
        return std::llround(std::stod(game.state.lblHeight.Caption.substr(8)));
    }
    float& ground() { return game.state.Ground(1).Y1; }
};

// The height and the score in words a speech engine says as words: whole numbers after their
// names, nothing it spells out; the readouts keep their texts.
TEST(Announcements, WordsAreWholeNumbersAfterTheirNames) {
    Heard h;
    EXPECT_EQ(heightWords(h.game.view), "Height 60");
    EXPECT_EQ(h.game.state.lblHeight.Caption, "Height: 60");
    for (const auto& [twips, words] :
         std::vector<std::pair<float, std::string>>{{5660.43f, "Height 57"},
                                                    {5649.9f, "Height 56"},
                                                    {50.f, "Height 1"},
                                                    {-40.f, "Height 0"},
                                                    {-340.f, "Height minus 3"},
                                                    {-350.f, "Height minus 4"}}) {
        h.ground() = twips;
        EXPECT_EQ(heightWords(h.game.view), words) << twips;
    }
    h.ground() = 1e30f;  // beyond any flight: as the readout shows it
    h.game.state.lblHeight.Caption = "Height: 1E+28";
    EXPECT_EQ(heightWords(h.game.view), "Height: 1E+28");

    for (const auto& [caption, words] :
         std::vector<std::pair<std::string, std::string>>{{"Score: ", ""},
                                                          {"Score: 833", "Score 833"},
                                                          {"Score: 1,389", "Score 1389"},
                                                          {"Score: 1.389", "Score 1389"},
                                                          {"Score: 1\u202f389", "Score 1389"}}) {
        h.game.state.lblScore.Caption = caption;
        EXPECT_EQ(scoreWords(h.game.view), words) << caption;
    }
}

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
    h.game.state.lblScore.Caption = "Score: 1,389";  // as a landing writes it
    EXPECT_EQ(h.update(), "Score 1389");
    EXPECT_TRUE(h.last.say->atOnce);
    // A reset clears the score as it shows the prompt: one moment, one thing to say.
    EXPECT_EQ(h.key(kR), "Press 'P' to start");
    EXPECT_EQ(h.update(), "");

    // A score with no figure yet says nothing, also to a host that listened before the game
    // had loaded its readouts.
    h.game.state.lblScore.Caption = "";
    h.announcements.hearAll(h.game.view);
    h.game.state.lblScore.Caption = "Score: ";
    EXPECT_EQ(h.update(), "");
}

// While a flight runs the height is said as its words change, once a pause at most, and a
// change that came within the pause is said at its end with the value it has then: a newer
// height takes the place of the one not yet said.
TEST(Announcements, HeightAtMostOncePerPauseAlwaysWithTheValueItSettlesOn) {
    Heard h;
    h.climb();
    EXPECT_EQ(h.last.say->text, "Height " + std::to_string(h.readout()));
    EXPECT_FALSE(h.last.say->atOnce);
    std::vector<std::int64_t> saidAt{h.now};
    while (h.now < saidAt.front() + 4 * kPause) {
        const std::string said = h.tick();
        if (said.empty()) {  // the words may not have changed yet
            ASSERT_EQ(h.last.due.value_or(saidAt.back() + kPause), saidAt.back() + kPause)
                << "at " << h.now;
            continue;
        }
        EXPECT_EQ(said, "Height " + std::to_string(h.readout()));
        EXPECT_EQ(h.now - saidAt.back(), kPause);
        EXPECT_FALSE(h.last.due);
        saidAt.push_back(h.now);
    }
    EXPECT_EQ(saidAt.size(), 5u);

    // Right after it was said, the height changes twice, then holds still: the end of the
    // pause says the second alone.
    const std::int64_t said = h.now;
    h.ground() -= 300;
    h.now += 20;
    EXPECT_EQ(h.update(), "");
    h.ground() -= 300;
    h.now += 30;
    EXPECT_EQ(h.update(), "");
    ASSERT_EQ(h.last.due, said + kPause);
    h.now = *h.last.due;
    EXPECT_EQ(h.update(), heightWords(h.game.view));
    EXPECT_FALSE(h.last.due);
    h.ground() -= 10;  // a change the words do not show
    h.now += 5000;
    EXPECT_EQ(h.update(), "");
    EXPECT_FALSE(h.last.due);
}

// Nothing is said, and nothing falls due, while the game waits: paused, over, or under a box,
// whose own words the player hears. The height waits a pause after any words.
TEST(Announcements, NothingWhileTheGameWaits) {
    Heard h;
    h.climb();
    h.ground() -= 300;
    h.tick();
    ASSERT_TRUE(h.last.due);
    EXPECT_EQ(h.key(kP), "Paused");
    EXPECT_FALSE(h.last.due);  // the height left unsaid is not said later
    const std::int64_t paused = h.now;
    h.key(kP);
    h.ground() -= 300;
    h.tick();
    EXPECT_EQ(h.last.due, paused + kPause);
    EXPECT_EQ(h.key(kP), "Paused");
    h.now += 10 * kPause;
    EXPECT_EQ(h.update(), "");
    EXPECT_FALSE(h.last.due);

    h.key(kP);
    h.boxUp = true;
    h.ground() -= 300;
    EXPECT_EQ(h.tick(), "");
    EXPECT_FALSE(h.last.due);
    h.game.state.lblScore.Caption = "Score: 833";  // a landing's score, as its box comes
    EXPECT_EQ(h.update(), "Score 833");
    EXPECT_FALSE(h.last.due);

    h.boxUp = false;
    h.game.state.GameOver = true;  // the box answered: the flight is over
    h.ground() -= 300;
    h.tick();
    h.now += 10 * kPause;
    EXPECT_EQ(h.update(), "");
    EXPECT_FALSE(h.last.due);
}

}  // namespace
}  // namespace vandrel::host::test
