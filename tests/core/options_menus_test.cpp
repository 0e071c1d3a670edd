// SPDX-License-Identifier: MIT
// The Options menu: each choice restarts the flight and moves its group's check mark.
#include <string>
#include <string_view>
#include <vector>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

// A submenu's items, in menu order, from the game's own menu tree.
std::vector<std::string_view> itemsOf(std::string_view submenu) {
    const Game g(false);
    std::vector<std::string_view> names;
    for (const MenuItem* item : g.view.menuItem(submenu)->Children)
        names.push_back(item->Name);
    return names;
}

const std::vector<std::string_view> kGravity = itemsOf("mnuGravity");
const std::vector<std::string_view> kFuel = itemsOf("mnuFuel");
const std::vector<std::string_view> kLimiter = itemsOf("mnuThrust");

// The names of the checked items of a group.
std::vector<std::string> checked(Game& g, const std::vector<std::string_view>& group) {
    std::vector<std::string> on;
    for (std::string_view name : group) {
        if (g.item(name).Checked) on.emplace_back(name);
    }
    return on;
}

void expectRestarted(Game& g) {
    EXPECT_FALSE(g.state.Timer1.Enabled);
    EXPECT_TRUE(g.state.lblPause.Visible);
    EXPECT_EQ(g.state.lblPause.Caption, "Press 'P' to start");
    EXPECT_FALSE(g.state.GameOver);
    EXPECT_EQ(g.state.Thrust, 0.15_cur);
}

TEST(OptionsMenus, GravityItems) {
    const Currency values[] = {Currency(), 0.03_cur, 0.07_cur, 0.14_cur, 0.28_cur};
    for (std::size_t k = 0; k < kGravity.size(); ++k) {
        Game g;
        g.press(kP);
        g.ticks(4);
        EXPECT_EQ(g.d.click(kGravity[k]), Outcome::Ran);
        expectRestarted(g);
        EXPECT_EQ(g.state.Gravity, values[k]) << kGravity[k];
        EXPECT_EQ(checked(g, kGravity), std::vector<std::string>{std::string(kGravity[k])});
        // The reset inside ran with the previous gravity, Normal.
        EXPECT_EQ(g.state.SpeedY, neg(0.07_cur));
        EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 500");
        g.press(kR);  // the check mark brings the same gravity back
        EXPECT_EQ(g.state.Gravity, values[k]) << kGravity[k];
        EXPECT_EQ(g.state.SpeedY, Currency() - values[k]);
    }
}

TEST(OptionsMenus, FuelItemsShowTheNewAmountAtOnce) {
    const Currency values[] = {250_cur, 500_cur, 1000_cur, 9999_cur};
    const char* texts[] = {"Fuel: 250", "Fuel: 500", "Fuel: 1000", "Fuel: 9999"};
    for (std::size_t k = 0; k < kFuel.size(); ++k) {
        Game g;
        g.press(kP);
        g.press(kSpace);
        g.ticks(4);
        EXPECT_EQ(g.d.click(kFuel[k]), Outcome::Ran);
        expectRestarted(g);
        EXPECT_EQ(g.state.Fuel, values[k]) << kFuel[k];
        EXPECT_EQ(g.state.lblFuel.Caption, texts[k]);
        EXPECT_EQ(checked(g, kFuel), std::vector<std::string>{std::string(kFuel[k])});
        EXPECT_EQ(g.state.Gravity, 0.07_cur);
        g.press(kR);
        EXPECT_EQ(g.state.Fuel, values[k]) << kFuel[k];
        EXPECT_EQ(g.state.lblFuel.Caption, texts[k]);
    }
}

TEST(OptionsMenus, LimiterItems) {
    Game g;
    g.d.click("mnuTOff");
    EXPECT_TRUE(g.state.NoLimiter);
    EXPECT_EQ(checked(g, kLimiter), std::vector<std::string>{"mnuTOff"});
    g.press(kR);
    EXPECT_TRUE(g.state.NoLimiter);
    for (int k = 0; k < 18; ++k)
        g.press(kUp);
    EXPECT_EQ(g.state.Thrust, 1.05_cur);
    g.d.click("mnuTOn");
    EXPECT_FALSE(g.state.NoLimiter);
    EXPECT_EQ(checked(g, kLimiter), std::vector<std::string>{"mnuTOn"});
    expectRestarted(g);
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 500");
}

TEST(OptionsMenus, ChoosingTheCheckedItemStillRestarts) {
    Game g;
    g.press(kP);
    g.ticks(3);
    g.state.GameOver = true;
    g.d.click("mnuGNormal");
    expectRestarted(g);
    EXPECT_EQ(g.state.Ground(0).X1, 1880);  // the terrain moved 4400 to the right
    EXPECT_EQ(checked(g, kGravity), std::vector<std::string>{"mnuGNormal"});
}

TEST(OptionsMenus, GravityAndLimiterLeaveTheFuelReadoutOfTheCheckedAmount) {
    Game g;
    g.d.click("mnuF1000");
    g.press(kP);
    g.press(kSpace);
    g.ticks(10);
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 999");  // 998.5 burnt down
    g.release(kSpace);
    g.d.click("mnuGHigh");
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 1000");
    EXPECT_EQ(g.state.Fuel, 1000_cur);
    g.d.click("mnuTOff");
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 1000");
    EXPECT_EQ(g.state.Gravity, 0.14_cur);
}

TEST(OptionsMenus, EachGroupKeepsExactlyOneCheckMark) {
    Game g;
    const char* clicks[] = {"mnuGHigh",     "mnuF250",  "mnuGHigh",  "mnuTOff",  "mnuGNone",
                            "mnuFOver9000", "mnuTOn",   "mnuGVHigh", "mnuF1000", "mnuTOn",
                            "mnuGLow",      "mnuReset", "mnuGVHigh", "mnuF250"};
    for (const char* name : clicks) {
        g.d.click(name);
        EXPECT_EQ(checked(g, kGravity).size(), 1u) << name;
        EXPECT_EQ(checked(g, kFuel).size(), 1u) << name;
        EXPECT_EQ(checked(g, kLimiter).size(), 1u) << name;
    }
    EXPECT_EQ(checked(g, kGravity), std::vector<std::string>{"mnuGVHigh"});
    EXPECT_EQ(checked(g, kFuel), std::vector<std::string>{"mnuF250"});
    EXPECT_EQ(checked(g, kLimiter), std::vector<std::string>{"mnuTOff"});
    EXPECT_EQ(g.state.Gravity, 0.28_cur);
    EXPECT_EQ(g.state.Fuel, 250_cur);
    EXPECT_TRUE(g.state.NoLimiter);
}

TEST(OptionsMenus, ResetTurnsTheLimiterOffAndResetsThreeTimes) {
    Game g;
    g.d.click("mnuGHigh");
    g.d.click("mnuF250");
    Game fresh;
    EXPECT_EQ(fresh.d.click("mnuReset"), Outcome::Ran);
    expectRestarted(fresh);
    EXPECT_EQ(checked(fresh, kGravity), std::vector<std::string>{"mnuGNormal"});
    EXPECT_EQ(checked(fresh, kFuel), std::vector<std::string>{"mnuF500"});
    EXPECT_EQ(checked(fresh, kLimiter), std::vector<std::string>{"mnuTOff"});
    EXPECT_TRUE(fresh.view.state().NoLimiter);
    EXPECT_EQ(fresh.view.state().Gravity, 0.07_cur);
    EXPECT_EQ(fresh.view.state().Fuel, 500_cur);
    EXPECT_EQ(fresh.view.state().lblFuel.Caption, "Fuel: 500");
    EXPECT_EQ(fresh.view.state().SpeedY, neg(0.07_cur));

    // 3 x 4400 to the right of the design, each reset wrapping what passed the margin.
    const float x[kGroundCount][2] = {
        {10680, 11880}, {11880, 12600}, {12600, 13320}, {13320, 14160}, {-1745, -785},
        {-785, 535},    {535, 1495},    {1495, 3055},   {3055, 3775},   {3775, 5575},
        {5575, 6895},   {6895, 8215},   {8213, 10695}};
    for (int i = 0; i < kGroundCount; ++i) {
        EXPECT_EQ(fresh.ground(i).X1, x[i][0]) << i;
        EXPECT_EQ(fresh.ground(i).X2, x[i][1]) << i;
    }
    for (int k = 0; k < 20; ++k)
        fresh.press(kUp);
    EXPECT_EQ(fresh.view.state().Thrust, 1.15_cur);

    g.d.click("mnuReset");  // from other options: back to Normal and 500
    EXPECT_EQ(g.state.Gravity, 0.07_cur);
    EXPECT_EQ(g.state.Fuel, 500_cur);
    EXPECT_EQ(g.state.lblFuel.Caption, "Fuel: 500");
    // The first two resets inside still saw High gravity; the last one saw Normal.
    EXPECT_EQ(g.state.SpeedY, neg(0.07_cur));
}

}  // namespace
}  // namespace vandrel::test
