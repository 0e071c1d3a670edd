// SPDX-License-Identifier: MIT
#include "qt/painter_surface.h"

#include <QPainter>
#include <QRegion>

#include "qt/host_rects.h"

namespace vandrel::qt {

namespace {

QColor toQColor(host::Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// The pens and brushes of the last frames: a frame uses a handful.
struct CachedPen {
    host::Rgb colour;
    int width = -1;  // none cached yet
    QPen pen;
};
struct CachedBrush {
    host::Rgb colour;
    bool used = false;
    QBrush brush;
};
thread_local std::array<CachedPen, 12> pens;
thread_local std::array<CachedBrush, 8> brushes;
thread_local std::size_t nextPen = 0, nextBrush = 0;

}  // namespace

PainterSurface::PainterSurface(QPainter& painter, const LabelTexts& texts)
    : painter_(painter), texts_(texts) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

const QPen& PainterSurface::pen(host::Rgb colour, int width) {
    for (const CachedPen& cached : pens) {
        if (cached.width == width && cached.colour == colour) return cached.pen;
    }
    CachedPen& slot = pens[nextPen];
    nextPen = (nextPen + 1) % pens.size();
    slot.colour = colour;
    slot.width = width;
    slot.pen = QPen(toQColor(colour), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    return slot.pen;
}

const QBrush& PainterSurface::brush(host::Rgb colour) {
    for (const CachedBrush& cached : brushes) {
        if (cached.used && cached.colour == colour) return cached.brush;
    }
    CachedBrush& slot = brushes[nextBrush];
    nextBrush = (nextBrush + 1) % brushes.size();
    slot.colour = colour;
    slot.used = true;
    slot.brush = QBrush(toQColor(colour));
    return slot.brush;
}

void PainterSurface::begin(const std::vector<host::Rect>& area) {
    static thread_local std::vector<QRect> parts;  // reused from frame to frame
    parts.clear();
    for (const host::Rect& part : area)
        parts.push_back(toQRect(part));
    QRegion region;
    region.setRects(parts.data(), static_cast<int>(parts.size()));
    painter_.setClipRegion(region);
}

void PainterSurface::fill(const host::Rect& box, host::Rgb colour) {
    painter_.fillRect(toQRect(box), brush(colour));
}

void PainterSurface::line(int x1, int y1, int x2, int y2, host::Rgb colour, int width) {
    painter_.setPen(pen(colour, width));
    painter_.drawLine(x1, y1, x2, y2);
}

void PainterSurface::oval(const host::Rect& box, host::Rgb fill, host::Rgb border, int width) {
    painter_.setPen(pen(border, width));
    painter_.setBrush(brush(fill));
    painter_.drawEllipse(toQRect(box));
}

void PainterSurface::text(int label, int x, int y, host::Rgb ink, host::Rgb /*paper*/,
                          const std::optional<host::Rect>& clip) {
    painter_.setPen(pen(ink, 1));
    const QGlyphRun& glyphs = texts_.text(label).glyphs;
    if (!clip) {
        painter_.drawGlyphRun(QPointF(x, y), glyphs);
        return;
    }
    const QRegion frame = painter_.clipRegion();
    painter_.setClipRect(toQRect(*clip), Qt::IntersectClip);
    painter_.drawGlyphRun(QPointF(x, y), glyphs);
    painter_.setClipRegion(frame);
}

}  // namespace vandrel::qt
