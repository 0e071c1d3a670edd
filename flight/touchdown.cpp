// SPDX-License-Identifier: MIT
// The end of a flight: a contact with the ground is a landing or a crash.
#include "shell/form1.h"
#include "shell/runtime/text.h"

namespace vandrel {

void Form1::Touchdown(std::int16_t& index) {
    Fire.Visible = false;

    // The landing window, every bound exclusive, every test made (no early exit).
    const Line& pad = Ground(index);
    const bool flat = toSingle(static_cast<double>(pad.Y2) - pad.Y1) == 0.0f;
    const bool slowDescent = SpeedY.toDouble() > -8.0;
    const bool notTippedLeft = Angle.toDouble() > 4.4;
    const bool notTippedRight = Angle.toDouble() < 5.5;
    const bool littleDriftRight = SpeedX.toDouble() < 5.0;
    const bool littleDriftLeft = SpeedX.toDouble() > -5.0;

    if (flat && slowDescent && notTippedLeft && notTippedRight && littleDriftRight &&
        littleDriftLeft) {
        for (std::int16_t i = 0; i < ship.size(); ++i)
            ship(i).BorderColor = kGreen;
        // The narrower the pad, the higher the score.
        const double width = static_cast<double>(Ground(index).X2) - Ground(index).X1;
        const double score = checkedDivide(1000000.0, width);
        lblScore.Caption =
            "Score: " + FormatNumber(score, 0, Tristate::UseDefault, Tristate::UseDefault,
                                     Tristate::UseDefault, platform_.regional());
        platform_.MsgBox("Great Sucsess!\r\nPress 'R' to reset", 0, "Landed!");
    } else {
        for (std::int16_t i = 0; i < ship.size(); ++i)
            ship(i).BorderColor = kRed;
        platform_.MsgBox("You have Failed!\r\nPress 'R' to reset", 0, "Crashed!");
    }

    GameOver = true;
}

}  // namespace vandrel
