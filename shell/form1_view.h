// SPDX-License-Identifier: MIT
// A read-only view of Form1: what the platform paints, and what the trace tool and the tests
// read back. It never changes the form.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "shell/form1.h"

namespace vandrel {

/// One control of the scene: which, and its index when it is an element of a control array
/// (0 for a single control).
struct SceneControl {
    enum class Kind : std::uint8_t {
        Timer1,
        lblPause,
        lblScore,
        lblHeight,
        lblThrust,
        lblFuel,
        shpStar,
        Ground,
        ship,
        Line2,
        Line3,
        Fire,
    };
    Kind kind = Kind::Timer1;
    std::int16_t index = 0;

    constexpr bool isLabel() const { return kind >= Kind::lblPause && kind <= Kind::lblFuel; }
    constexpr bool isLine() const { return kind >= Kind::Ground; }
    constexpr bool isShape() const { return kind == Kind::shpStar; }
};

/// The labels: lblPause and the four readouts.
inline constexpr std::size_t kLabelCount = static_cast<std::size_t>(SceneControl::Kind::lblFuel) -
                                           static_cast<std::size_t>(SceneControl::Kind::lblPause) +
                                           1;

/// Every control of the scene in the order the window's definition lists them, which is the
/// order the window creates them in: the timer, the labels, the stars from the last down, the
/// marker and the right end of the terrain, the hull, the rest of the terrain, the flame last.
inline constexpr auto kCreationOrder = [] {
    using K = SceneControl::Kind;
    std::array<SceneControl, 1 + kLabelCount + Form1::Stars::size() + Form1::GroundLines::size() +
                                 Form1::HullLines::size() + 3>
        order{};
    std::size_t next = 0;
    auto add = [&](K kind, int index) {
        order[next++] = SceneControl{kind, static_cast<std::int16_t>(index)};
    };
    for (K single : {K::Timer1, K::lblPause, K::lblScore, K::lblHeight, K::lblThrust, K::lblFuel})
        add(single, 0);
    for (int i = 12; i >= 0; --i)
        add(K::shpStar, i);
    add(K::Line3, 0);
    for (int i : {12, 11, 10})
        add(K::Ground, i);
    add(K::Line2, 0);
    for (int i : {8, 7, 6, 5, 4, 3, 2, 0, 1})
        add(K::ship, i);
    for (int i = 9; i >= 0; --i)
        add(K::Ground, i);
    add(K::Fire, 0);
    // The timer, the labels, the stars, the terrain and the hull, the markers and the flame:
    // a list that does not fill the array exactly does not compile.
    if (next != order.size()) throw "the creation order lists every control";
    return order;
}();

/// The labels, in the order the window creates them.
inline constexpr auto kLabels = [] {
    std::array<SceneControl, kLabelCount> labels{};
    std::size_t next = 0;
    for (SceneControl control : kCreationOrder) {
        if (control.isLabel()) labels[next++] = control;
    }
    if (next != labels.size()) throw "the scene has its five labels";
    return labels;
}();

/// The widest texts the readouts show in a normal flight: a host chooses their font so that
/// each of them fits whole.
inline constexpr std::string_view kWidestReadouts[] = {"Height: 57.38", "Thrust: 10.0",
                                                       "Score: 1,389", "Fuel: 9999"};

class Form1View {
  public:
    explicit Form1View(const Form1& form) : f_(form) {}

    // The window.
    const std::string& Caption() const { return f_.Caption; }
    Color BackColor() const { return f_.BackColor; }
    float ScaleWidth() const { return f_.ScaleWidth; }
    float ScaleHeight() const { return f_.ScaleHeight; }

    // The scene.
    const Timer& Timer1() const { return f_.Timer1; }
    const Label& lblPause() const { return f_.lblPause; }
    const Label& lblScore() const { return f_.lblScore; }
    const Label& lblHeight() const { return f_.lblHeight; }
    const Label& lblThrust() const { return f_.lblThrust; }
    const Label& lblFuel() const { return f_.lblFuel; }
    const Form1::Stars& shpStar() const { return f_.shpStar; }
    const Form1::GroundLines& Ground() const { return f_.Ground; }
    const Form1::HullLines& ship() const { return f_.ship; }
    const Line& Line2() const { return f_.Line2; }
    const Line& Line3() const { return f_.Line3; }
    const Line& Fire() const { return f_.Fire; }
    /// A label of the scene, one of those in kLabels.
    const Label& label(SceneControl control) const;

    /// The menus on the menu bar, in order; each item lists its submenu's items.
    const std::vector<const MenuItem*>& menuBar() const { return f_.menuBar_; }
    /// A menu item by name, or nullptr.
    const MenuItem* menuItem(std::string_view name) const;
    /// Every menu item in menu order, each submenu's header before its items.
    std::vector<const MenuItem*> menuItems() const;
    /// The items whose check marks hold the options: those of the submenus inside a menu,
    /// in menu order.
    std::vector<const MenuItem*> optionItems() const;

    // The game state.
    Currency SpeedX() const { return f_.SpeedX; }
    Currency SpeedY() const { return f_.SpeedY; }
    Currency Thrust() const { return f_.Thrust; }
    Currency Angle() const { return f_.Angle; }
    Currency Fuel() const { return f_.Fuel; }
    Currency Gravity() const { return f_.Gravity; }
    bool EngineOn() const { return f_.EngineOn; }
    bool GameOver() const { return f_.GameOver; }
    bool NoLimiter() const { return f_.NoLimiter; }
    bool TurnKey(int index) const { return f_.TurnKey(index); }

    // The game's rules, answered for a host.
    /// True while a tick changes anything: Timer1 runs and the flight is on. After a landing
    /// or a crash every tick returns at once, though Timer1 stays enabled.
    bool tickChangesAnything() const { return f_.Timer1.Enabled && !f_.GameOver; }
    /// The point the hull turns round, twips; it never moves.
    Point hullCentre() const { return f_.HullCentre(); }

  private:
    const Form1& f_;
};

}  // namespace vandrel
