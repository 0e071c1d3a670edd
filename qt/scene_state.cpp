// SPDX-License-Identifier: MIT
#include "qt/scene_state.h"

#include <algorithm>
#include <cmath>

#include "qt/label_texts.h"

namespace vandrel::qt {

namespace {

// Far beyond any screen, yet far from overflowing a painter's arithmetic.
constexpr double kFarPixels = 1.0e6;

SceneState::LineLook lookOf(const Line& line) {
    return {toPixel(line.X1), toPixel(line.Y1), toPixel(line.X2), toPixel(line.Y2),
            line.BorderColor, line.BorderWidth, line.Visible};
}

SceneState::ShapeLook lookOf(const Shape& shape) {
    QRect box = pixelBox(shape.Left, shape.Top, shape.Width, shape.Height);
    return {box.left(),      box.top(),         box.width(),       box.height(),
            shape.FillColor, shape.BorderColor, shape.BorderWidth, shape.Visible};
}

}  // namespace

// Everything a line may cover, with room for its pen and square caps.
QRect footprint(const SceneState::LineLook& line) {
    if (!line.Visible) return QRect();
    int pad = line.BorderWidth / 2 + 2;
    return QRect(QPoint(std::min(line.x1, line.x2), std::min(line.y1, line.y2)),
                 QPoint(std::max(line.x1, line.x2), std::max(line.y1, line.y2)))
        .adjusted(-pad, -pad, pad, pad);
}

QRect footprint(const SceneState::ShapeLook& shape) {
    if (!shape.Visible) return QRect();
    int pad = shape.BorderWidth + 1;
    return QRect(shape.left, shape.top, shape.width, shape.height).adjusted(-pad, -pad, pad, pad);
}

QRect hullReach(const Form1View& view) {
    const Point hub = view.hullCentre();
    const double cx = hub.X, cy = hub.Y;
    double reach = 0;
    int pen = 0;
    for (const Line& line : view.state().ship) {
        reach = std::max({reach, std::hypot(line.X1 - cx, line.Y1 - cy),
                          std::hypot(line.X2 - cx, line.Y2 - cy)});
        pen = std::max<int>(pen, line.BorderWidth);
    }
    const int radius = static_cast<int>(std::ceil(reach / kTwipsPerPixel)) + pen;
    const QPoint centre(toPixel(hub.X), toPixel(hub.Y));
    return QRect(centre - QPoint(radius, radius), centre + QPoint(radius, radius));
}

int toPixel(float twips) {
    double pixels = static_cast<double>(twips) / kTwipsPerPixel;
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kFarPixels, kFarPixels)));
}

QRect pixelBox(float left, float top, float width, float height) {
    int x = toPixel(left), y = toPixel(top);
    return QRect(x, y, toPixel(left + width) - x, toPixel(top + height) - y);
}

const SceneState::LineLook& SceneState::lineLook(SceneControl control) const {
    const auto index = static_cast<std::size_t>(control.index);
    switch (control.kind) {
        case SceneControl::Kind::Ground:
            return Ground[index];
        case SceneControl::Kind::ship:
            return ship[index];
        default:
            return Fire;  // the last line
    }
}

SceneState SceneState::capture(const Form1View& view) {
    SceneState state;
    state.BackColor = view.state().BackColor;
    for (int i = 0; i < LabelTexts::kCount; ++i) {
        const Label& label = LabelTexts::label(view, i);
        state.labels[static_cast<std::size_t>(i)] = {label.Visible, label.BackColor,
                                                     label.ForeColor};
    }
    for (std::size_t i = 0; i < state.shpStar.size(); ++i)
        state.shpStar[i] = lookOf(view.state().shpStar(static_cast<int>(i)));
    for (std::size_t i = 0; i < state.Ground.size(); ++i)
        state.Ground[i] = lookOf(view.state().Ground(static_cast<int>(i)));
    for (std::size_t i = 0; i < state.ship.size(); ++i)
        state.ship[i] = lookOf(view.state().ship(static_cast<int>(i)));
    state.Fire = lookOf(view.state().Fire);
    return state;
}

}  // namespace vandrel::qt
