// SPDX-License-Identifier: MIT
// A fixed flight through the dispatcher, replayed to the last bit: tilt right under power,
// drift towards the 720-wide pad, coast, brake with the space bar held down to a landing,
// then reset with the engine still stuck on and fly a little further.
#include <cstdio>
#include <string>

#include "tests/core/game.h"

namespace vandrel::test {
namespace {

std::string summary(Game& g) {
    const Form1View& v = g.view;
    char text[1024];
    std::snprintf(
        text, sizeof text,
        "ticks %llu speed %lld %lld fuel %lld angle %lld thrust %lld over %d engine %d\n"
        "ground1 %.9g ground8 %.9g %.9g %.9g ground12 %.9g %.9g\n"
        "star0 %.9g %.9g star12 %.9g %.9g\n"
        "ship0 %.9g %.9g fire %.9g %.9g %d hull %d\n"
        "%s|%s|%s|%s|%s",
        static_cast<unsigned long long>(g.d.ticks()), static_cast<long long>(v.SpeedX().count()),
        static_cast<long long>(v.SpeedY().count()), static_cast<long long>(v.Fuel().count()),
        static_cast<long long>(v.Angle().count()), static_cast<long long>(v.Thrust().count()),
        v.GameOver(), v.EngineOn(), v.Ground()(1).Y1, v.Ground()(8).X1, v.Ground()(8).Y1,
        v.Ground()(8).X2, v.Ground()(12).X1, v.Ground()(12).Y2, v.shpStar()(0).Left,
        v.shpStar()(0).Top, v.shpStar()(12).Left, v.shpStar()(12).Top, v.ship()(0).X1,
        v.ship()(0).Y1, v.Fire().X2, v.Fire().Y2, v.Fire().Visible, v.ship()(4).BorderColor,
        v.lblFuel().Caption.c_str(), v.lblThrust().Caption.c_str(), v.lblHeight().Caption.c_str(),
        v.lblScore().Caption.c_str(), v.lblPause().Caption.c_str());
    return text;
}

TEST(GoldenFlight, ReplaysToTheLastBit) {
    Game g;
    g.press(kP);
    g.press(kRight);  // three steps right, to 5.5, under power
    g.press(kSpace);
    g.ticks(3);
    g.release(kRight);
    g.ticks(60);
    g.press(kLeft);  // and back upright
    g.ticks(3);
    g.release(kLeft);
    g.release(kSpace);
    g.ticks(275);
    g.press(kSpace);  // brake until the legs touch
    for (int k = 0; k < 1000 && !g.view.GameOver(); ++k)
        g.d.tick();

    ASSERT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(g.platform.boxes[0].title, "Landed!");
    EXPECT_EQ(summary(g),
              "ticks 457 speed -15225 -48388 fuel 4727000 angle 49000 thrust 1500 over 1 engine 1\n"
              "ground1 3836.48438 ground8 5052.47705 3236.48657 5772.47705 ground12 10210.4893 "
              "3836.48438\n"
              "star0 10797.9521 596.490112 star12 8652.48926 2516.48706\n"
              "ship0 5159.17529 3119.58838 fire 5282.82861 3274.98535 0 hull 65280\n"
              "Fuel: 473|Thrust: 1.5|Height: 38.36485|Score: 1,389|Press 'P' to start");

    g.release(kSpace);  // ignored: the flight is over
    g.ticks(5);
    g.press(kR);  // the stuck engine fires once inside the reset
    g.press(kP);
    g.press(kUp);
    g.press(kUp);
    g.ticks(20);
    EXPECT_EQ(g.platform.boxes.size(), 1u);
    EXPECT_EQ(summary(g),
              "ticks 482 speed 15 -13200 fuel 4998500 angle 49000 thrust 2500 over 0 engine 0\n"
              "ground1 5988.2998 ground8 9452.51367 5388.30225 10172.5137 ground12 -1294.96973 "
              "5988.2998\n"
              "star0 10797.9883 584.7901 star12 8652.52637 2504.78711\n"
              "ship0 5159.17529 3119.58838 fire 5283.34326 3324.98291 1 hull 16777215\n"
              "Fuel: 500|Thrust: 2.5|Height: 59.883|Score: |Press 'P' to start");
}

}  // namespace
}  // namespace vandrel::test
