// SPDX-License-Identifier: MIT
// A read-only view of Form1: its state, the order of its scene, and the questions of the
// game's rules a host asks instead of answering them from the fields. It never changes the form.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "shell/form1_state.h"

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
    std::array<SceneControl, 1 + kLabelCount + Form1Scene::Stars::size() +
                                 Form1Scene::GroundLines::size() + Form1Scene::HullLines::size() +
                                 3>
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

/// The questions a host asks of the game's state, answered by the game.
class Form1View {
  public:
    explicit Form1View(const Form1State& state) : s_(state) {}

    /// Everything the game keeps: the window, the scene, the menus and the variables.
    const Form1State& state() const { return s_; }

    /// A label of the scene, one of those in kLabels.
    const Label& label(SceneControl control) const;

    /// A menu item by name, or nullptr.
    const MenuItem* menuItem(std::string_view name) const;
    /// Every menu item in menu order, each submenu's header before its items.
    std::vector<const MenuItem*> menuItems() const;
    /// The items whose check marks hold the options: those of the submenus inside a menu,
    /// in menu order.
    std::vector<const MenuItem*> optionItems() const;

    /// True while a tick changes anything: Timer1 runs and the flight is on. After a landing
    /// or a crash every tick returns at once, though Timer1 stays enabled.
    bool tickChangesAnything() const { return s_.Timer1.Enabled && !s_.GameOver; }
    /// The point the hull turns round, twips; it never moves.
    Point hullCentre() const { return vandrel::hullCentre(s_); }

  private:
    const Form1State& s_;
};

}  // namespace vandrel
