// SPDX-License-Identifier: MIT
#include "host/scene_state.h"

#include <algorithm>
#include <cmath>

namespace vandrel::host {

namespace {

// Far beyond any screen, yet far from overflowing a painter's arithmetic.
constexpr double kFarPixels = 1.0e6;

SceneState::LineLook lookOf(const Line& line) {
    return {toPixel(line.X1), toPixel(line.Y1), toPixel(line.X2), toPixel(line.Y2),
            line.BorderColor, line.BorderWidth, line.Visible};
}

SceneState::ShapeLook lookOf(const Shape& shape) {
    const Rect box = pixelBox(shape.Left, shape.Top, shape.Width, shape.Height);
    return {box.left,        box.top,           box.width,         box.height,
            shape.FillColor, shape.BorderColor, shape.BorderWidth, shape.Visible};
}

}  // namespace

// Everything a line may cover, with room for its pen and square caps.
std::optional<Segment> lineWithin(const SceneState::LineLook& line, const Rect& area, int margin) {
    if (!footprint(line).intersects(area)) return std::nullopt;  // nothing of it shows
    const Rect reach = area.adjusted(-margin, -margin, margin, margin);
    // Liang-Barsky: the part of the segment inside the reach, as parameters t0..t1 from end 1.
    const double x1 = line.x1, y1 = line.y1;
    const double dx = line.x2 - x1, dy = line.y2 - y1;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - reach.left, reach.right() - x1, y1 - reach.top, reach.bottom() - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return std::nullopt;  // parallel to this edge and beyond it
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            t0 = std::max(t0, t);
        } else {
            t1 = std::min(t1, t);
        }
    }
    if (t0 > t1) return std::nullopt;
    // An end inside the reach stays exactly where it is.
    auto at = [&](double t) {
        if (t == 0) return std::pair{line.x1, line.y1};
        if (t == 1) return std::pair{line.x2, line.y2};
        return std::pair{static_cast<int>(std::lround(x1 + t * dx)),
                         static_cast<int>(std::lround(y1 + t * dy))};
    };
    const auto [ax, ay] = at(t0);
    const auto [bx, by] = at(t1);
    return Segment{ax, ay, bx, by};
}

Rect footprint(const SceneState::LineLook& line) {
    if (!line.Visible) return Rect();
    int pad = line.BorderWidth / 2 + 2;
    return Rect::corners(std::min(line.x1, line.x2), std::min(line.y1, line.y2),
                         std::max(line.x1, line.x2), std::max(line.y1, line.y2))
        .adjusted(-pad, -pad, pad, pad);
}

Rect footprint(const SceneState::ShapeLook& shape) {
    if (!shape.Visible) return Rect();
    int pad = shape.BorderWidth + 1;
    return Rect{shape.left, shape.top, shape.width, shape.height}.adjusted(-pad, -pad, pad, pad);
}

Rect hullReach(const Form1View& view) {
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
    const int x = toPixel(hub.X), y = toPixel(hub.Y);
    return Rect::corners(x - radius, y - radius, x + radius, y + radius);
}

int toPixel(float twips) {
    double pixels = static_cast<double>(twips) / kTwipsPerPixel;
    if (std::isnan(pixels)) return 0;
    return static_cast<int>(std::lround(std::clamp(pixels, -kFarPixels, kFarPixels)));
}

Rect pixelBox(float left, float top, float width, float height) {
    int x = toPixel(left), y = toPixel(top);
    return Rect{x, y, toPixel(left + width) - x, toPixel(top + height) - y};
}

Rect sceneArea(const Form1View& view) {
    return {0, 0, toPixel(view.state().ScaleWidth), toPixel(view.state().ScaleHeight)};
}

Rect labelBox(const Label& label) {
    return pixelBox(label.Left, label.Top, label.Width, label.Height);
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
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        const Label& label = view.label(kLabels[i]);
        state.labels[i] = {label.Visible, label.BackColor, label.ForeColor};
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

}  // namespace vandrel::host
