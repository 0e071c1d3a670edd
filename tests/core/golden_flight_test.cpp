// SPDX-License-Identifier: MIT
// A fixed flight through the dispatcher, replayed to the last bit: the golden flight of the
// pinned flights (tests/flights/golden.txt), whose every dump is summed up here in readable
// values, so that a difference shows where the flight went another way.
#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "shell/script/dump.h"
#include "shell/script/fd_io.h"
#include "shell/script/script_reader.h"
#include "tests/core/game.h"

namespace vandrel::test {
namespace {

// The summary reads the game's state from its dump, the one serialiser of the state: a value
// by its key, an element of an array by its index, each as the dump's own text.
std::string_view field(std::string_view dump, std::string_view key) {
    const std::string marker = "\"" + std::string(key) + "\":";
    const std::size_t found = dump.find(marker);
    if (found == std::string_view::npos) return {};
    std::string_view rest = dump.substr(found + marker.size());
    if (rest.front() == '"') return rest.substr(1, rest.find('"', 1) - 1);
    std::size_t end = 0;
    for (int depth = 0; end < rest.size(); ++end) {
        const char c = rest[end];
        if (c == '[') ++depth;
        if (c == ']') --depth;
        if (depth <= 0 && (c == ',' || c == '}' || c == ']')) break;
    }
    return rest.substr(0, end + (rest.front() == '['));
}

std::string_view element(std::string_view array, int index) {
    int depth = 0, at = 0;
    std::size_t begin = 1;
    for (std::size_t i = 1; i < array.size(); ++i) {
        const char c = array[i];
        if (c == '[') ++depth;
        if (c == ']' && depth-- == 0) return at == index ? array.substr(begin, i - begin) : "";
        if (c == ',' && depth == 0) {
            if (at++ == index) return array.substr(begin, i - begin);
            begin = i + 1;
        }
    }
    return {};
}

// A Currency's count from its text ("-1.5225"), a Single from its shortest text.
long long count(std::string_view text) {
    std::string digits(text);
    digits.erase(digits.find('.'), 1);
    long long value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}
double single(std::string_view text) {
    float value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}
long long integer(std::string_view text) {
    if (text == "true" || text == "false") return text == "true";
    long long value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

std::string summary(Game& g) {
    std::string dump;
    appendDump(dump, g.view, g.d.ticks());
    const std::string_view d = dump, ground = field(d, "Ground"), stars = field(d, "shpStar");
    const std::string_view fire = field(d, "Fire"), ship = field(d, "ship");
    const std::string_view pause = element(field(d, "lblPause"), 0);  // its caption, quoted
    auto at = [](std::string_view array, int row, int column) {
        return element(element(array, row), column);
    };
    auto text = [&](std::string_view key) { return std::string(field(d, key)); };
    char out[1024];
    std::snprintf(
        out, sizeof out,
        "ticks %llu speed %lld %lld fuel %lld angle %lld thrust %lld over %lld engine %lld\n"
        "ground1 %.9g ground8 %.9g %.9g %.9g ground12 %.9g %.9g\n"
        "star0 %.9g %.9g star12 %.9g %.9g\n"
        "ship0 %.9g %.9g fire %.9g %.9g %lld hull %lld\n"
        "%s|%s|%s|%s|%s",
        static_cast<unsigned long long>(integer(field(d, "ticks"))), count(field(d, "SpeedX")),
        count(field(d, "SpeedY")), count(field(d, "Fuel")), count(field(d, "Angle")),
        count(field(d, "Thrust")), integer(field(d, "GameOver")), integer(field(d, "EngineOn")),
        single(at(ground, 1, 1)), single(at(ground, 8, 0)), single(at(ground, 8, 1)),
        single(at(ground, 8, 2)), single(at(ground, 12, 0)), single(at(ground, 12, 3)),
        single(at(stars, 0, 0)), single(at(stars, 0, 1)), single(at(stars, 12, 0)),
        single(at(stars, 12, 1)), single(at(ship, 0, 0)), single(at(ship, 0, 1)),
        single(element(fire, 2)), single(element(fire, 3)), integer(element(fire, 4)),
        integer(at(ship, 4, 4)), text("lblFuel").c_str(), text("lblThrust").c_str(),
        text("lblHeight").c_str(), text("lblScore").c_str(),
        std::string(pause.substr(1, pause.size() - 2)).c_str());
    return out;
}

/// What the game showed at one dump of the script.
struct Dumped {
    std::string summary;
    std::size_t boxes;  // message boxes opened so far
};

/// Plays a pinned flight's script through the game's dispatcher, read by the trace tool's
/// reader, and sums up the game at each dump.
std::vector<Dumped> fly(Game& g, const std::string& name) {
    const File file(std::string(VANDREL_FLIGHTS_DIR) + "/" + name + ".txt", File::Mode::Read);
    if (!file.valid()) {
        ADD_FAILURE() << name << ": " << file.reason();
        return {};
    }
    FdSource source(file.fd());
    ScriptReader reader(source);
    std::vector<Dumped> dumps;
    for (Command command;;) {
        const ScriptReader::Result result = reader.next(command);
        if (result == ScriptReader::Result::End) break;
        EXPECT_EQ(result, ScriptReader::Result::Command)
            << "line " << reader.lineNumber() << ": " << reader.reason();
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
