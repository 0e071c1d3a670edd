// SPDX-License-Identifier: MIT
#include "bench/flight_fixture.h"

#include "shell/form1_view.h"
#include "tests/support/form1_probe.h"

namespace vandrel::bench {

using P = Form1Probe;

NoContactFlight::NoContactFlight() {
    game_.load();
    P::state(form_).Gravity = 0.0_cur;
    P::state(form_).Thrust = 0.05_cur;
    P::state(form_).Fuel = 9999.0_cur;
    P::state(form_).EngineOn = true;
    P::state(form_).Timer1.Enabled = true;
    for (int i = 0; i < Form1Scene::GroundLines::size(); ++i) {
        Line& g = P::state(form_).Ground(i);
        g.Y1 += kTerrainDrop;
        g.Y2 += kTerrainDrop;
        ground_[static_cast<std::size_t>(i)] = g;
    }
    for (int i = 0; i < Form1Scene::Stars::size(); ++i)
        stars_[static_cast<std::size_t>(i)] = P::state(form_).shpStar(i);
    speedX_ = P::state(form_).SpeedX;
    speedY_ = P::state(form_).SpeedY;
    fuel_ = P::state(form_).Fuel;
}

void NoContactFlight::reseat() {
    for (int i = 0; i < Form1Scene::GroundLines::size(); ++i)
        P::state(form_).Ground(i) = ground_[static_cast<std::size_t>(i)];
    for (int i = 0; i < Form1Scene::Stars::size(); ++i)
        P::state(form_).shpStar(i) = stars_[static_cast<std::size_t>(i)];
    P::state(form_).SpeedX = speedX_;
    P::state(form_).SpeedY = speedY_;
    P::state(form_).Fuel = fuel_;
}

void NoContactFlight::tick() {
    P::Timer1_Timer(form_);
}

bool NoContactFlight::intact() const {
    const Form1View& view = game_.view();
    return !view.state().GameOver && view.state().Fire.Visible && platform_.boxes.empty();
}

}  // namespace vandrel::bench
