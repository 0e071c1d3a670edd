// SPDX-License-Identifier: MIT
// The window and its scene as created, before Form_Load runs.
#include <cmath>
#include <string>
#include <vector>

#include "tests/core/game.h"
#include "tests/core/scene_data.h"

namespace vandrel::test {
namespace {

void expectAt(const Line& l, const float (&at)[4]) {
    EXPECT_EQ(l.X1, at[0]);
    EXPECT_EQ(l.Y1, at[1]);
    EXPECT_EQ(l.X2, at[2]);
    EXPECT_EQ(l.Y2, at[3]);
}

TEST(Scene, WindowTimerAndLabels) {
    Game g(false);
    EXPECT_EQ(g.state.Caption, "Vandrel");
    EXPECT_EQ(g.state.ScaleWidth, kW);
    EXPECT_EQ(g.state.ScaleHeight, kH);
    EXPECT_EQ(g.state.BackColor, kBlack);
    EXPECT_TRUE(g.state.Timer1.Enabled);  // until Form_Load disables it
    EXPECT_EQ(g.state.Timer1.Interval, 10);

    // The four readouts: a column in the top-left corner, 360 apart, empty until loaded.
    float top = 120;
    for (const Label* l :
         {&g.state.lblFuel, &g.state.lblThrust, &g.state.lblHeight, &g.state.lblScore}) {
        EXPECT_EQ(l->Caption, "");
        EXPECT_TRUE(l->Visible);
        EXPECT_EQ((std::vector<float>{l->Left, l->Top, l->Width, l->Height}),
                  (std::vector<float>{120, top, 1215, 255}));
        EXPECT_FALSE(l->OwnFont.has_value());
        top += 360;
    }
    const Label& pause = g.state.lblPause;
    EXPECT_EQ(pause.Caption, "Press 'P' to start");
    EXPECT_TRUE(pause.Visible);
    EXPECT_EQ((std::vector<float>{pause.Left, pause.Top, pause.Width, pause.Height}),
              (std::vector<float>{4440, 2160, 1695, 255}));
    EXPECT_LE(std::abs(pause.Left + pause.Width / 2 - 5280), 8);  // centred above the ship
    EXPECT_EQ(pause.TextAlign, Alignment::Center);
    EXPECT_EQ(pause.ForeColor, kRed);
    ASSERT_TRUE(pause.OwnFont.has_value());
    EXPECT_EQ(pause.OwnFont->Name, "MS Sans Serif");
    EXPECT_EQ(pause.OwnFont->Size, 9.75);
}

TEST(Scene, TerrainHullFlameStarsAndMarkers) {
    Game g(false);
    std::vector<int> level;  // width * 100 + index of each level segment
    for (int i = 0; i < kGroundCount; ++i) {
        const Line& l = g.state.Ground(i);
        expectAt(l, kGround[i]);
        EXPECT_EQ(l.BorderColor, kWhite);
        EXPECT_EQ(l.BorderWidth, 2);
        EXPECT_TRUE(l.Visible);
        if (l.Y1 == l.Y2) level.push_back(static_cast<int>(l.X2 - l.X1) * 100 + i);
    }
    EXPECT_EQ(level, (std::vector<int>{120000, 84003, 132005, 72008, 132010}));

    for (int i = 0; i < kHullCount; ++i) {
        expectAt(g.state.ship(i), kShip[i]);
        EXPECT_EQ(g.state.ship(i).BorderColor, kWhite);
        EXPECT_EQ(g.state.ship(i).BorderWidth, 2);
    }
    const Line& fire = g.state.Fire;
    expectAt(fire, {5280, 3120, 5280, 3600});
    EXPECT_FALSE(fire.Visible);
    EXPECT_EQ(fire.BorderColor, kRed);
    EXPECT_EQ(fire.BorderWidth, 5);

    for (int i = 0; i < kStarCount; ++i) {
        const Shape& s = g.state.shpStar(i);
        EXPECT_EQ(s.Left, kStars[i][0]) << i;
        EXPECT_EQ(s.Top, kStars[i][1]) << i;
        EXPECT_EQ(s.Width, 60);
        EXPECT_EQ(s.Height, 60);
        EXPECT_EQ(s.Kind, ShapeKind::Oval);
        EXPECT_TRUE(s.FillSolid);
        EXPECT_EQ(s.FillColor, kWhite);
        EXPECT_EQ(s.BorderColor, systemColor(SystemColor::WindowText));
    }

    expectAt(g.state.Line2, {10920, 2160, 10920, 1440});
    expectAt(g.state.Line3, {13420, 3600, 13420, 4200});
    EXPECT_EQ(g.state.Line2.BorderColor, systemColor(SystemColor::WindowBackground));
    EXPECT_THROW(g.state.Ground(13), RuntimeError);
    EXPECT_THROW(g.state.ship(-1), RuntimeError);
    EXPECT_THROW(g.state.TurnKey(2), RuntimeError);
}

// The menu tree as "name(caption)" with "*" for a check mark and [...] around a submenu.
std::string tree(const MenuItem& item) {
    EXPECT_TRUE(item.Enabled && item.Visible) << item.Name;
    std::string text =
        std::string(item.Name) + "(" + item.Caption + ")" + (item.Checked ? "*" : "");
    if (item.Children.empty()) return text;
    text += "[";
    for (const MenuItem* child : item.Children)
        text += tree(*child) + " ";
    text.back() = ']';
    return text;
}

TEST(Scene, MenuTreeWithCaptionsAndCheckMarks) {
    Game g(false);
    std::string bar;
    for (const MenuItem* top : g.state.menuBar)
        bar += tree(*top) + " ";
    EXPECT_EQ(bar,
              "mnuFile(&File)[mnuExit(E&xit)] "
              "mnuOptions(&Options)[mnuGravity(Gravity)[mnuGNone(None) mnuGLow(Low) "
              "mnuGNormal(Normal)* mnuGHigh(High) mnuGVHigh(Very High)] "
              "mnuFuel(Fuel)[mnuF250(250) mnuF500(500)* mnuF1000(1000) "
              "mnuFOver9000(Over 9000!)] "
              "mnuThrust(Thrust limiter)[mnuTOn(On)* mnuTOff(Off)] mnuReset(Reset)] "
              "mnuHelp(&Help)[mnuControls(Controls) mnuABout(About)] ");
    EXPECT_EQ(g.view.menuItem("mnuNothing"), nullptr);
    EXPECT_EQ(g.state.Fuel, Currency());  // the state is all zero before the load
    EXPECT_FALSE(g.state.EngineOn || g.state.GameOver || g.state.NoLimiter);
}

}  // namespace
}  // namespace vandrel::test
