// SPDX-License-Identifier: MIT
#include "bench/flight_fixture.h"

#include "shell/form1_view.h"
#include "tests/support/form1_probe.h"

namespace vandrel::bench {

using P = Form1Probe;

NoContactFlight::NoContactFlight() {
    game_.load();
    P::Gravity(form_) = 0.0_cur;
    P::Thrust(form_) = 0.05_cur;
    P::Fuel(form_) = 9999.0_cur;
    P::EngineOn(form_) = true;
    P::Timer1(form_).Enabled = true;
    for (int i = 0; i < Form1::GroundLines::size(); ++i) {
        Line& g = P::Ground(form_, i);
        g.Y1 += kTerrainDrop;
        g.Y2 += kTerrainDrop;
        ground_[static_cast<std::size_t>(i)] = g;
    }
    for (int i = 0; i < Form1::Stars::size(); ++i)
        stars_[static_cast<std::size_t>(i)] = P::shpStar(form_, i);
    speedX_ = P::SpeedX(form_);
    speedY_ = P::SpeedY(form_);
    fuel_ = P::Fuel(form_);
}

void NoContactFlight::reseat() {
    for (int i = 0; i < Form1::GroundLines::size(); ++i)
        P::Ground(form_, i) = ground_[static_cast<std::size_t>(i)];
    for (int i = 0; i < Form1::Stars::size(); ++i)
        P::shpStar(form_, i) = stars_[static_cast<std::size_t>(i)];
    P::SpeedX(form_) = speedX_;
    P::SpeedY(form_) = speedY_;
    P::Fuel(form_) = fuel_;
}

void NoContactFlight::tick() {
    P::Timer1_Timer(form_);
}

bool NoContactFlight::intact() const {
    const Form1View& view = game_.view();
    return !view.GameOver() && view.Fire().Visible && platform_.boxes.empty();
}

}  // namespace vandrel::bench
