// What the scene shows, apart from the label texts, as plain values: two frames that compare
// equal look the same, so the window repaints only when this changes.
#pragma once

#include <array>

#include "shell/form1_view.h"

namespace vandrel::qt {

struct SceneState {
    struct LabelLook {
        bool Visible;
        Color BackColor, ForeColor;
        friend bool operator==(const LabelLook&, const LabelLook&) = default;
    };
    struct LineLook {
        float X1, Y1, X2, Y2;
        Color BorderColor;
        std::int16_t BorderWidth;
        bool Visible;
        friend bool operator==(const LineLook&, const LineLook&) = default;
    };
    struct StarLook {
        float Left, Top;
        bool Visible;
        friend bool operator==(const StarLook&, const StarLook&) = default;
    };

    Color BackColor = 0;
    std::array<LabelLook, 5> labels{};
    std::array<LineLook, 13> ground{};
    std::array<LineLook, 9> ship{};
    LineLook fire{};
    std::array<StarLook, 13> stars{};

    static SceneState capture(const Form1View& view);
    friend bool operator==(const SceneState&, const SceneState&) = default;
};

}  // namespace vandrel::qt
