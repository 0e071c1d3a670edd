// SPDX-License-Identifier: MIT
// A fixed flight through the dispatcher, replayed to the last bit: the golden flight of the
// pinned flights (tests/flights/golden.txt), whose every dump is summed up here in readable
// values, so that a difference shows where the flight went another way.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "shell/script/script.h"
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

/// What the game showed at one dump of the script.
struct Dumped {
    std::string summary;
    std::size_t boxes;  // message boxes opened so far
};

/// Plays a pinned flight's script through the game's dispatcher, line by line as the trace
/// tool does, and sums up the game at each dump.
std::vector<Dumped> fly(Game& g, const std::string& name) {
    std::ifstream script(std::string(VANDREL_FLIGHTS_DIR) + "/" + name + ".txt");
    EXPECT_TRUE(script.is_open()) << name;
    std::vector<Dumped> dumps;
    Command command;
    std::string reason;
    for (std::string line; std::getline(script, line);) {
        EXPECT_TRUE(parseLine(line, command, reason)) << line << ": " << reason;
        switch (command.kind) {
            case CommandKind::Down:
                g.press(command.keyCode);
                break;
            case CommandKind::Up:
                g.release(command.keyCode);
                break;
            case CommandKind::Click:
                g.d.click(command.menuName);
                break;
            case CommandKind::Tick:
                g.ticks(static_cast<int>(command.count));
                break;
            case CommandKind::Dump:
                dumps.push_back({summary(g), g.platform.boxes.size()});
                break;
            case CommandKind::Close:
            case CommandKind::Nothing:
                break;
        }
    }
    return dumps;
}

TEST(GoldenFlight, ReplaysToTheLastBit) {
    Game g;
    const std::vector<Dumped> dumps = fly(g, "golden");
    ASSERT_EQ(dumps.size(), 2u);

    // Landed in the 457th tick.
    ASSERT_EQ(dumps[0].boxes, 1u);
    EXPECT_EQ(g.platform.boxes[0].title, "Landed!");
    EXPECT_EQ(dumps[0].summary,
              "ticks 457 speed -15225 -48388 fuel 4727000 angle 49000 thrust 1500 over 1 engine 1\n"
              "ground1 3836.48438 ground8 5052.47705 3236.48657 5772.47705 ground12 10210.4893 "
              "3836.48438\n"
              "star0 10797.9521 596.490112 star12 8652.48926 2516.48706\n"
              "ship0 5159.17529 3119.58838 fire 5282.82861 3274.98535 0 hull 65280\n"
              "Fuel: 473|Thrust: 1.5|Height: 38.36485|Score: 1,389|Press 'P' to start");

    // After R, P and two steps up, with the engine stuck on.
    EXPECT_EQ(dumps[1].boxes, 1u);
    EXPECT_EQ(dumps[1].summary,
              "ticks 482 speed 15 -13200 fuel 4998500 angle 49000 thrust 2500 over 0 engine 0\n"
              "ground1 5988.2998 ground8 9452.51367 5388.30225 10172.5137 ground12 -1294.96973 "
              "5988.2998\n"
              "star0 10797.9883 584.7901 star12 8652.52637 2504.78711\n"
              "ship0 5159.17529 3119.58838 fire 5283.34326 3324.98291 1 hull 16777215\n"
              "Fuel: 500|Thrust: 2.5|Height: 59.883|Score: |Press 'P' to start");
}

}  // namespace
}  // namespace vandrel::test
