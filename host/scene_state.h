// SPDX-License-Identifier: MIT
// What the scene shows, as whole pixels: every host paints from this, in the one drawing order
// below, and repaints only the parts of it that changed since the last frame.
//
// Twips map to pixels at 15 a pixel, rounded to the nearest whole pixel. Most ticks move the
// world by a fraction of a pixel; those change nothing on the screen, and nothing repaints.
// The markers Line2 and Line3 lie right of the client area and never move: they are neither
// captured nor painted. Every star is an oval filled solid.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "host/rect.h"
#include "shell/form1_view.h"

namespace vandrel::host {

inline constexpr double kTwipsPerPixel = 15.0;

/// A twip coordinate as a whole pixel, held within a range every painter can take.
int toPixel(float twips);
/// A control's twip rectangle as whole pixels.
Rect pixelBox(float left, float top, float width, float height);

struct SceneState {
    struct LineLook {
        int x1, y1, x2, y2;  // pixels
        Color BorderColor;
        std::int16_t BorderWidth;  // pixels
        bool Visible;
        friend bool operator==(const LineLook&, const LineLook&) = default;
    };
    struct ShapeLook {
        int left, top, width, height;  // pixels
        Color FillColor, BorderColor;
        std::int16_t BorderWidth;
        bool Visible;
        friend bool operator==(const ShapeLook&, const ShapeLook&) = default;
    };
    struct LabelLook {
        bool Visible;
        Color BackColor, ForeColor;
        friend bool operator==(const LabelLook&, const LabelLook&) = default;
    };

    Color BackColor = 0;
    std::array<LabelLook, kLabels.size()> labels{};  // in kLabels' order
    std::array<ShapeLook, Form1Scene::Stars::size()> shpStar{};
    std::array<LineLook, Form1Scene::GroundLines::size()> Ground{};
    std::array<LineLook, Form1Scene::HullLines::size()> ship{};
    LineLook Fire{};

    static SceneState capture(const Form1View& view);
    friend bool operator==(const SceneState&, const SceneState&) = default;

    /// Visits the visible things from the bottom up: the lines and stars in the order the
    /// window creates them, so that later ones lie on top, then the labels, so that no star or
    /// line crosses a readout's text: `shape(look)` for a star, `line(look)` for a line and
    /// `label(index, look)` for each label in kLabels' order.
    template <class OnLabel, class OnShape, class OnLine>
    void forEachInDrawingOrder(OnLabel&& label, OnShape&& shape, OnLine&& line) const;
    /// The look of a line the scene paints: one of Ground, ship and Fire.
    const LineLook& lineLook(SceneControl control) const;

    /// Calls `mark` with every part of the scene that differs between two frames: all of it
    /// when the background changed; a label's box when its look changed, or its text, which
    /// `relaid` says (the host lays texts out); the old and the new footprint of every line
    /// and star that moved, or one box round both where that is no larger.
    template <class Mark>
    static void forEachChange(const SceneState& before, const SceneState& after,
                              const std::array<bool, kLabels.size()>& relaid, const Form1View& view,
                              Mark&& mark);
};

/// The whole scene, from its top-left pixel.
Rect sceneArea(const Form1View& view);
/// A label's box.
Rect labelBox(const Label& label);

/// Whether the scene paints this control: every label, star and line but the two markers.
constexpr bool painted(SceneControl control) {
    return control.kind != SceneControl::Kind::Line2 && control.kind != SceneControl::Kind::Line3;
}

/// Every pixel the hull may cover whatever its attitude: the square round its centre, which
/// never moves, that holds a circle through its farthest end, pen included.
Rect hullReach(const Form1View& view);

/// A line's ends, pixels.
struct Segment {
    int x1, y1, x2, y2;
    friend bool operator==(const Segment&, const Segment&) = default;
};
/// The part of a visible line that lies within `margin` pixels of `area`, an end already inside
/// kept exactly: what a display that takes only short coordinates can be sent of the terrain,
/// which reaches far past the scene's edges. Nothing when no pixel of the line shows in `area`.
std::optional<Segment> lineWithin(const SceneState::LineLook& line, const Rect& area, int margin);

/// Every pixel a visible line or shape may cover, pen and line ends included; empty when
/// it is hidden.
Rect footprint(const SceneState::LineLook& line);
Rect footprint(const SceneState::ShapeLook& shape);

template <class OnLabel, class OnShape, class OnLine>
void SceneState::forEachInDrawingOrder(OnLabel&& label, OnShape&& shape, OnLine&& line) const {
    for (SceneControl control : kCreationOrder) {
        if (!painted(control)) continue;
        if (control.isShape()) {
            shape(shpStar[static_cast<std::size_t>(control.index)]);
        } else if (control.isLine()) {
            line(lineLook(control));
        }
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        label(static_cast<int>(i), labels[i]);
    }
}

template <class Mark>
void SceneState::forEachChange(const SceneState& before, const SceneState& after,
                               const std::array<bool, kLabels.size()>& relaid,
                               const Form1View& view, Mark&& mark) {
    if (before.BackColor != after.BackColor) mark(sceneArea(view));
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        if (relaid[i] || before.labels[i] != after.labels[i])
            mark(labelBox(view.label(kLabels[i])));
    }
    auto compare = [&mark](const auto& old, const auto& now) {
        if (old == now) return;
        const Rect a = footprint(old), b = footprint(now);
        // A small move: one box round both places, no larger than the two.
        const Rect both = a | b;
        if (both.area() <= a.area() + b.area()) {
            mark(both);
        } else {
            mark(a);
            mark(b);
        }
    };
    for (std::size_t i = 0; i < before.shpStar.size(); ++i) {
        compare(before.shpStar[i], after.shpStar[i]);
    }
    for (std::size_t i = 0; i < before.Ground.size(); ++i) {
        compare(before.Ground[i], after.Ground[i]);
    }
    for (std::size_t i = 0; i < before.ship.size(); ++i) {
        compare(before.ship[i], after.ship[i]);
    }
    compare(before.Fire, after.Fire);
}

}  // namespace vandrel::host
