// SPDX-License-Identifier: MIT
// The touchdown judgement: the landing window, hull colours, score and outcome boxes.
#include <string>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

const char kLanded[] = "Great Sucsess!\r\nPress 'R' to reset";
const char kCrashed[] = "You have Failed!\r\nPress 'R' to reset";

struct Flight {
    Currency speedX, speedY, angle;
};

// Judges a contact with ground segment `index` at the given speeds and attitude; true for
// a landing, and checks that the outcome is shown consistently either way.
bool judge(Flight f, std::int16_t index = 8) {
    Game g;
    g.state.SpeedX = f.speedX;
    g.state.SpeedY = f.speedY;
    g.state.Angle = f.angle;
    P::Touchdown(g.form, index);
    EXPECT_EQ(g.platform.boxes.size(), 1u);
    if (g.platform.boxes.empty()) return false;
    const bool landed = g.platform.boxes[0].title == "Landed!";
    EXPECT_EQ(g.platform.boxes[0].prompt, landed ? kLanded : kCrashed);
    if (!landed) {
        EXPECT_EQ(g.platform.boxes[0].title, "Crashed!");
    }
    EXPECT_EQ(g.platform.boxes[0].buttons, 0);
    for (int i = 0; i < kHullCount; ++i)
        EXPECT_EQ(g.state.ship(i).BorderColor, landed ? kGreen : kRed);
    if (!landed) {
        EXPECT_EQ(g.state.lblScore.Caption, "Score: ");
    }
    EXPECT_TRUE(g.state.GameOver);
    EXPECT_EQ(g.state.SpeedX, f.speedX);  // judged, never changed
    EXPECT_EQ(g.state.SpeedY, f.speedY);
    EXPECT_EQ(g.state.Angle, f.angle);
    return landed;
}

const Currency k0 = Currency();

TEST(Touchdown, InsideTheLandingWindowLands) {
    EXPECT_TRUE(judge({k0, k0, 4.9_cur}));
    EXPECT_TRUE(judge({k0, neg(7.9999_cur), 4.9_cur}));
    EXPECT_TRUE(judge({4.9999_cur, k0, 4.9_cur}));
    EXPECT_TRUE(judge({neg(4.9999_cur), k0, 4.9_cur}));
    EXPECT_TRUE(judge({k0, 3_cur, 4.9_cur}));  // rising
    for (Currency a : {4.5_cur, 4.7_cur, 5.1_cur, 5.3_cur})
        EXPECT_TRUE(judge({k0, k0, a}));
    EXPECT_TRUE(judge({k0, k0, 4.4001_cur}));
    EXPECT_TRUE(judge({k0, k0, 5.4999_cur}));
}

TEST(Touchdown, EveryBoundIsExclusive) {
    EXPECT_FALSE(judge({k0, neg(8_cur), 4.9_cur}));
    EXPECT_FALSE(judge({5_cur, k0, 4.9_cur}));
    EXPECT_FALSE(judge({neg(5_cur), k0, 4.9_cur}));
    EXPECT_FALSE(judge({k0, k0, 4.4_cur}));
    EXPECT_FALSE(judge({k0, k0, 5.5_cur}));  // three steps right of upright
    EXPECT_FALSE(judge({k0, k0, 4.3_cur}));
    EXPECT_FALSE(judge({k0, neg(20_cur), 4.9_cur}));
    EXPECT_FALSE(judge({neg(6_cur), neg(9_cur), 7.3_cur}));
}

TEST(Touchdown, SlopedGroundAlwaysCrashes) {
    for (std::int16_t sloped : {1, 2, 4, 6, 7, 9, 11, 12}) {
        EXPECT_FALSE(judge({k0, k0, 4.9_cur}, sloped)) << sloped;
    }
    Game g;  // a slope of a thousandth is still a slope
    g.ground(3).Y2 = 4680.001f;
    P::Touchdown(g.form, 3);
    EXPECT_EQ(g.platform.boxes.at(0).title, "Crashed!");
}

TEST(Touchdown, ScoreIsAMillionOverThePadWidth) {
    struct Case {
        std::int16_t index;
        const char* text;
    };
    for (Case c : {Case{0, "Score: 833"}, Case{3, "Score: 1,190"}, Case{5, "Score: 758"},
                   Case{8, "Score: 1,389"}, Case{10, "Score: 758"}}) {
        Game g;
        P::Touchdown(g.form, c.index);
        EXPECT_EQ(g.state.lblScore.Caption, c.text);
    }
    Game moved;  // only the width counts, wherever the pad is
    moved.ground(8).X1 = -2400.25f;
    moved.ground(8).X2 = -1900.25f;
    moved.ground(8).Y1 = moved.ground(8).Y2 = 3000.5f;
    P::Touchdown(moved.form, 8);
    EXPECT_EQ(moved.view.state().lblScore.Caption, "Score: 2,000");
}

TEST(Touchdown, ScoreFollowsTheRegionalSettings) {
    Game g;
    g.platform.regionalSettings.groupSeparator = ".";
    g.platform.regionalSettings.grouping = false;
    P::Touchdown(g.form, 8);
    EXPECT_EQ(g.state.lblScore.Caption, "Score: 1389");
}

TEST(Touchdown, HidesTheFlameAndKeepsEverythingElse) {
    Game g;
    g.state.Fire.Visible = true;
    g.state.EngineOn = true;
    g.state.Timer1.Enabled = true;
    g.state.lblPause.Visible = false;
    const Currency fuel = g.state.Fuel;
    const Line pad = g.state.Ground(5);
    P::Touchdown(g.form, 7);
    EXPECT_FALSE(g.state.Fire.Visible);
    EXPECT_TRUE(g.state.EngineOn);
    EXPECT_TRUE(g.state.Timer1.Enabled);
    EXPECT_FALSE(g.state.lblPause.Visible);
    EXPECT_EQ(g.state.Fuel, fuel);
    EXPECT_EQ(g.state.Ground(5).X1, pad.X1);
    EXPECT_EQ(g.state.Ground(5).Y2, pad.Y2);
}

TEST(Touchdown, GameOverOnlyAfterTheBoxIsClosed) {
    Game g;
    bool overWhileOpen = true;
    Color hullWhileOpen = kWhite;
    std::string scoreWhileOpen;
    g.platform.whileOpen = [&] {
        overWhileOpen = g.state.GameOver;
        hullWhileOpen = g.state.ship(8).BorderColor;
        scoreWhileOpen = g.state.lblScore.Caption;
    };
    P::Touchdown(g.form, 10);
    EXPECT_FALSE(overWhileOpen);
    EXPECT_EQ(hullWhileOpen, kGreen);  // the player sees the outcome behind the box
    EXPECT_EQ(scoreWhileOpen, "Score: 758");
    EXPECT_TRUE(g.state.GameOver);
}

TEST(Touchdown, AFlatPadOfNoWidthIsADivisionByZero) {
    Game g;
    g.ground(3).X2 = g.ground(3).X1;
    try {
        P::Touchdown(g.form, 3);
        ADD_FAILURE() << "no error raised";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.code(), ErrorCode::DivisionByZero);
    }
}

}  // namespace
}  // namespace vandrel::test
