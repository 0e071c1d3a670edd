// SPDX-License-Identifier: MIT
#include "qt/scene_painter.h"

#include <QPainter>
#include <QPalette>

#include "qt/colors.h"
#include "qt/host_rects.h"

namespace vandrel::qt {

void ScenePainter::invalidate() {
    for (CachedPen& cached : pens_)
        cached.width = -1;
    for (CachedBrush& cached : brushes_)
        cached.used = false;
}

const QPen& ScenePainter::pen(Color color, int width, const QPalette& palette) {
    for (const CachedPen& cached : pens_) {
        if (cached.width == width && cached.color == color) return cached.pen;
    }
    CachedPen& slot = pens_[nextPen_];
    nextPen_ = (nextPen_ + 1) % pens_.size();
    slot.color = color;
    slot.width = width;
    slot.pen = QPen(toQColor(color, palette), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    return slot.pen;
}

const QBrush& ScenePainter::brush(Color color, const QPalette& palette) {
    for (const CachedBrush& cached : brushes_) {
        if (cached.used && cached.color == color) return cached.brush;
    }
    CachedBrush& slot = brushes_[nextBrush_];
    nextBrush_ = (nextBrush_ + 1) % brushes_.size();
    slot.color = color;
    slot.used = true;
    slot.brush = QBrush(toQColor(color, palette));
    return slot.brush;
}

void ScenePainter::paint(QPainter& painter, const QRegion& area, const host::SceneState& state,
                         const Form1View& view, const LabelTexts& texts, const QPalette& palette) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (const QRect& part : area) {
        painter.fillRect(part, brush(state.BackColor, palette));
    }

    state.forEachInDrawingOrder(
        [&](int index, const host::SceneState::LabelLook& look) {
            paintLabel(painter, area, LabelTexts::label(view, index), look, texts.text(index),
                       palette);
        },
        [&](const host::SceneState::ShapeLook& shape) {
            paintShape(painter, area, shape, palette);
        },
        [&](const host::SceneState::LineLook& line) { paintLine(painter, area, line, palette); });
}

void ScenePainter::paintLabel(QPainter& painter, const QRegion& area, const Label& label,
                              const host::SceneState::LabelLook& look, const LabelTexts::Text& text,
                              const QPalette& palette) {
    const LabelPlace place = placeOf(label, text);
    if (!look.Visible || !area.intersects(place.box)) return;
    if (place.bordered) {
        // Filled rather than stroked, so that the border covers exactly its ring at any pixel
        // density (a one-pixel pen would straddle the box's edge on a display of two device
        // pixels a pixel).
        painter.fillRect(place.box, brush(systemColor(SystemColor::WindowText), palette));
    }
    painter.fillRect(place.inner, brush(look.BackColor, palette));
    if (place.overflows) painter.setClipRect(place.inner);
    painter.setPen(pen(look.ForeColor, 1, palette));
    painter.drawGlyphRun(place.text, text.glyphs);
    if (place.overflows) painter.setClipping(false);
}

void ScenePainter::paintLine(QPainter& painter, const QRegion& area,
                             const host::SceneState::LineLook& line, const QPalette& palette) {
    if (!area.intersects(toQRect(host::footprint(line)))) return;
    painter.setPen(pen(line.BorderColor, line.BorderWidth, palette));
    painter.drawLine(line.x1, line.y1, line.x2, line.y2);
}

void ScenePainter::paintShape(QPainter& painter, const QRegion& area,
                              const host::SceneState::ShapeLook& shape, const QPalette& palette) {
    if (!area.intersects(toQRect(host::footprint(shape)))) return;
    painter.setPen(pen(shape.BorderColor, shape.BorderWidth, palette));
    painter.setBrush(brush(shape.FillColor, palette));
    // An outline drawn on a box of w x h pixels covers w+1 x h+1: shrink it by one.
    painter.drawEllipse(QRect(shape.left, shape.top, shape.width - 1, shape.height - 1));
}

}  // namespace vandrel::qt
