// SPDX-License-Identifier: MIT
// A flight that never touches the ground, for timing whole ticks.
//
// Gravity is off, the engine fires at the lowest thrust and the terrain starts well below the
// hull, so every tick moves the world, burns fuel, places the ship and scans all 117 pairs of
// hull and ground segments without finding a contact. The speeds grow by the thrust every
// tick; reseat() puts the flight back to where it started, so a benchmark can run as many
// ticks as it likes by reseating now and then outside its timed region.
#pragma once

#include <array>

#include "shell/form1.h"
#include "shell/session.h"
#include "tests/support/form1_probe.h"
#include "tests/support/recording_platform.h"

namespace vandrel::bench {

class NoContactFlight {
  public:
    /// Ticks after which the ground is still far below the hull and fuel is left.
    static constexpr int kTicksPerSeat = 1024;
    /// How far the terrain is lowered below its start height, twips.
    static constexpr float kTerrainDrop = 3000.0f;

    NoContactFlight();
    NoContactFlight(const NoContactFlight&) = delete;
    NoContactFlight& operator=(const NoContactFlight&) = delete;

    /// Back to the state right after construction: terrain, stars, speeds and fuel.
    void reseat();
    /// One tick, as the timer raises it.
    void tick();
    /// True while the flight is as intended, from its first tick on: not over, the flame lit,
    /// no message box.
    bool intact() const;

    Form1& form() { return form_; }
    /// The game the flight runs in, for events through the dispatcher.
    Session& game() { return game_; }
    const RecordingPlatform& platform() const { return platform_; }

  private:
    RecordingPlatform platform_;
    Session game_{platform_};
    Form1& form_ = game_.form();
    std::array<Line, Form1Scene::GroundLines::size()> ground_{};
    std::array<Shape, Form1Scene::Stars::size()> stars_{};
    Currency speedX_, speedY_, fuel_;
};

/// Runs `cross` over all 117 pairs in the tick's order (hull outer, ground inner, the ground
/// segment first), with every coordinate read from the controls, and counts the pairs that meet.
template <class Cross>
int countContacts(Form1& f, Cross cross) {
    int contacts = 0;
    for (int i = 0; i < Form1Scene::HullLines::size(); ++i) {
        for (int j = 0; j < Form1Scene::GroundLines::size(); ++j) {
            const Line& g = Form1Probe::state(f).Ground(j);
            const Line& s = Form1Probe::state(f).ship(i);
            if (cross(g.X1, g.Y1, g.X2, g.Y2, s.X1, s.Y1, s.X2, s.Y2)) ++contacts;
        }
    }
    return contacts;
}

}  // namespace vandrel::bench
