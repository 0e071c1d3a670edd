#include "qt/scene_state.h"

#include "qt/label_texts.h"

namespace vandrel::qt {

namespace {

SceneState::LineLook lookOf(const Line& line) {
    return {line.X1, line.Y1, line.X2, line.Y2, line.BorderColor, line.BorderWidth, line.Visible};
}

}  // namespace

SceneState SceneState::capture(const Form1View& view) {
    SceneState state;
    state.BackColor = view.BackColor();
    for (int i = 0; i < LabelTexts::kCount; ++i) {
        const Label& label = LabelTexts::label(view, i);
        state.labels[static_cast<std::size_t>(i)] = {label.Visible, label.BackColor,
                                                     label.ForeColor};
    }
    for (int i = 0; i < 13; ++i)
        state.ground[static_cast<std::size_t>(i)] = lookOf(view.Ground()(i));
    for (int i = 0; i < 9; ++i)
        state.ship[static_cast<std::size_t>(i)] = lookOf(view.ship()(i));
    state.fire = lookOf(view.Fire());
    for (int i = 0; i < 13; ++i) {
        const Shape& star = view.shpStar()(i);
        state.stars[static_cast<std::size_t>(i)] = {star.Left, star.Top, star.Visible};
    }
    return state;
}

}  // namespace vandrel::qt
