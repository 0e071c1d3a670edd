// SPDX-License-Identifier: MIT
// Start-up: the options read back from the check marks, the start values and readouts.
#include <cmath>
#include <sstream>
#include <string>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

TEST(FormLoad, DesignTimeCheckMarksGiveTheDefaultFlight) {
    Game g;
    EXPECT_EQ(g.state.Gravity, 0.07_cur);
    EXPECT_EQ(g.state.Fuel, 500_cur);
    EXPECT_FALSE(g.state.NoLimiter);
    EXPECT_EQ(g.state.Angle, 4.9_cur);
    EXPECT_EQ(g.state.Thrust, 0.15_cur);
    EXPECT_EQ(g.state.SpeedX, Currency());
    EXPECT_EQ(g.state.SpeedY, Currency());
    EXPECT_FALSE(g.state.Timer1.Enabled);
    EXPECT_EQ(g.state.lblPause.Caption, "Press 'P' to start");
    EXPECT_TRUE(g.state.lblPause.Visible);
    EXPECT_FALSE(g.state.Fire.Visible);
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 500");
    EXPECT_EQ(g.state.lblThrust.Caption, "Thrust: 1.5");
    EXPECT_EQ(g.state.lblHeight.Caption, "Height: 60");
    EXPECT_EQ(g.state.lblScore.Caption, "Score: ");
    EXPECT_TRUE(g.platform.boxes.empty());
    EXPECT_EQ(g.d.tick(), Outcome::Dropped);  // nothing runs before the player presses P
}

TEST(FormLoad, OptionsFromTheFirstCheckedItemOfEachGroup) {
    struct Case {
        const char* marks;  // "+name" checks an item, "-name" unchecks it, before the load
        Currency gravity, fuel;
        bool noLimiter;
    };
    const Case cases[] = {
        {"", 0.07_cur, 500_cur, false},
        {"+mnuGNone -mnuGNormal", Currency(), 500_cur, false},
        {"+mnuGLow -mnuGNormal", 0.03_cur, 500_cur, false},
        {"+mnuGHigh -mnuGNormal", 0.14_cur, 500_cur, false},
        {"-mnuGNormal", 0.28_cur, 500_cur, false},             // nothing checked: the fallback
        {"+mnuGVHigh -mnuGNormal", 0.28_cur, 500_cur, false},  // never read
        {"+mnuGNone +mnuGHigh -mnuGNormal", Currency(), 500_cur, false},
        {"+mnuGLow +mnuGVHigh", 0.03_cur, 500_cur, false},
        {"+mnuF250 -mnuF500", 0.07_cur, 250_cur, false},
        {"+mnuF1000 -mnuF500", 0.07_cur, 1000_cur, false},
        {"-mnuF500", 0.07_cur, 9999_cur, false},
        {"+mnuFOver9000 -mnuF500", 0.07_cur, 9999_cur, false},
        {"+mnuF250 +mnuF1000 -mnuF500", 0.07_cur, 250_cur, false},
        {"+mnuF1000", 0.07_cur, 500_cur, false},
        {"-mnuTOn", 0.07_cur, 500_cur, true},    // neither On nor Off checked
        {"+mnuTOff", 0.07_cur, 500_cur, false},  // Off is never read
        {"+mnuTOff -mnuTOn", 0.07_cur, 500_cur, true},
    };
    for (const Case& c : cases) {
        Game g(false);
        std::istringstream words(c.marks);
        for (std::string w; words >> w;)
            g.item(w.substr(1)).Checked = w[0] == '+';
        const std::string before = snapshot(g.view);
        ASSERT_EQ(g.d.load(), Outcome::Ran);
        SCOPED_TRACE(c.marks);
        EXPECT_EQ(g.state.Gravity, c.gravity);
        EXPECT_EQ(g.state.Fuel, c.fuel);
        EXPECT_EQ(g.state.NoLimiter, c.noLimiter);
        EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: " + std::to_string(c.fuel.count() / 10000));
        // The check marks (the snapshot's last line) are read, never written.
        auto marks = [](const std::string& shot) { return shot.substr(shot.rfind('\n')); };
        EXPECT_EQ(marks(snapshot(g.view)), marks(before));
    }
}

TEST(FormLoad, KeepsEngineGameOverAndTurnKeysButTurnsForHeldArrows) {
    Game g;
    g.state.EngineOn = true;
    g.state.GameOver = true;
    g.state.TurnKey(0) = true;
    P::Form_Load(g.form);
    EXPECT_TRUE(g.state.EngineOn);
    EXPECT_TRUE(g.state.GameOver);
    EXPECT_TRUE(g.state.TurnKey(0));
    EXPECT_FALSE(g.state.TurnKey(1));
    EXPECT_EQ(g.state.Angle, 4.7_cur);  // one turning step for the held left arrow
    g.state.TurnKey(0) = false;
    g.state.TurnKey(1) = true;
    P::Form_Load(g.form);
    EXPECT_EQ(g.state.Angle, 5.1_cur);
    g.state.TurnKey(0) = true;
    P::Form_Load(g.form);
    EXPECT_EQ(g.state.Angle, 4.9_cur);
}

TEST(FormLoad, PlacesTheShipBeforeSettingTheThrust) {
    Game g;
    auto tip = [&g] { return std::hypot(g.state.Fire.X2 - 5280.0, g.state.Fire.Y2 - 3000.0); };
    EXPECT_NEAR(tip(), 200, 1e-3);  // placed with the thrust 0 of a new window
    g.state.Thrust = 1_cur;
    g.state.lblScore.Caption = "Score: 1,389";
    P::Form_Load(g.form);
    EXPECT_NEAR(tip(), 700, 1e-3);  // the thrust from before the reload
    EXPECT_EQ(g.state.Thrust, 0.15_cur);
    EXPECT_EQ(g.state.lblScore.Caption, "Score: ");
}

TEST(FormLoad, HeightReadoutFromTheSecondGroundSegment) {
    struct Case {
        float y1;
        const char* text;
    };
    const Case cases[] = {
        {5999.929f, "Height: 59.99929"},   {-150, "Height: -1.5"}, {6000.5f, "Height: 60.005"},
        {123456789.0f, "Height: 1234568"}, {0, "Height: 0"},       {1e12f, "Height: 1E+10"}};
    for (const Case& c : cases) {
        Game g;
        g.ground(0).Y1 = 1;  // element 0 is not the one read
        g.ground(1).Y1 = c.y1;
        P::Form_Load(g.form);
        EXPECT_EQ(g.state.lblHeight.Caption, c.text);
    }
}

}  // namespace
}  // namespace vandrel::test
