#include "qt/scene_painter.h"

#include <cmath>

#include <QPainter>
#include <QPalette>

#include "qt/colors.h"

namespace vandrel::qt {

namespace {

double px(float twips) {
    return static_cast<double>(twips) / kTwipsPerPixel;
}

// A whole-pixel box for a control's twip rectangle.
QRect pixelBox(float left, float top, float width, float height) {
    int x = static_cast<int>(std::lround(px(left)));
    int y = static_cast<int>(std::lround(px(top)));
    return QRect(x, y, static_cast<int>(std::lround(px(left + width))) - x,
                 static_cast<int>(std::lround(px(top + height))) - y);
}

bool finite(float a, float b, float c, float d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// A box far outside any screen is not drawn: its pixel corners would not fit an int.
bool nearScreen(float left, float top, float width, float height) {
    constexpr float kFar = 1.0e8f;  // twips
    return finite(left, top, width, height) && std::fabs(left) < kFar && std::fabs(top) < kFar &&
           std::fabs(width) < kFar && std::fabs(height) < kFar;
}

}  // namespace

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
    slot.pen = QPen(toQColor(color, palette), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
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

void ScenePainter::paint(QPainter& painter, const Form1View& view, const LabelTexts& texts,
                         const QPalette& palette) {
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(painter.window(), brush(view.BackColor(), palette));

    // The creation order: labels, stars 12 to 0, Line3, Ground 12 to 10, Line2, ship 8 to 2,
    // ship 0, ship 1, Ground 9 to 0, and the flame last.
    for (int i = 0; i < LabelTexts::kCount; ++i) {
        paintLabel(painter, LabelTexts::label(view, i), texts.text(i), palette);
    }
    for (int i = 12; i >= 0; --i)
        paintShape(painter, view.shpStar()(i), palette);
    paintLine(painter, view.Line3(), palette);
    for (int i = 12; i >= 10; --i)
        paintLine(painter, view.Ground()(i), palette);
    paintLine(painter, view.Line2(), palette);
    for (int i = 8; i >= 2; --i)
        paintLine(painter, view.ship()(i), palette);
    paintLine(painter, view.ship()(0), palette);
    paintLine(painter, view.ship()(1), palette);
    for (int i = 9; i >= 0; --i)
        paintLine(painter, view.Ground()(i), palette);
    paintLine(painter, view.Fire(), palette);
}

void ScenePainter::paintLabel(QPainter& painter, const Label& label, const LabelTexts::Text& text,
                              const QPalette& palette) {
    if (!label.Visible) return;
    QRect box = pixelBox(label.Left, label.Top, label.Width, label.Height);
    painter.fillRect(box, brush(label.BackColor, palette));
    QRect inner = box;
    if (label.Border == BorderStyle::FixedSingle) {
        painter.setPen(pen(systemColor(SystemColor::WindowText), 1, palette));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        inner = box.adjusted(1, 1, -1, -1);
    }
    int textWidth = static_cast<int>(std::ceil(text.width));
    int x = inner.left() + 1;
    if (label.TextAlign == Alignment::Center) {
        x = inner.left() + (inner.width() - textWidth) / 2;
    } else if (label.TextAlign == Alignment::Right) {
        x = inner.right() - textWidth;
    }
    bool overflows = textWidth > inner.width() || text.prepared.size().height() > inner.height();
    if (overflows) painter.setClipRect(inner);
    painter.setPen(pen(label.ForeColor, 1, palette));
    painter.drawStaticText(QPoint(x, inner.top()), text.prepared);
    if (overflows) painter.setClipping(false);
}

void ScenePainter::paintLine(QPainter& painter, const Line& line, const QPalette& palette) {
    if (!line.Visible || !finite(line.X1, line.Y1, line.X2, line.Y2)) return;
    painter.setPen(pen(line.BorderColor, line.BorderWidth, palette));
    painter.drawLine(QLineF(px(line.X1), px(line.Y1), px(line.X2), px(line.Y2)));
}

void ScenePainter::paintShape(QPainter& painter, const Shape& shape, const QPalette& palette) {
    if (!shape.Visible || !nearScreen(shape.Left, shape.Top, shape.Width, shape.Height)) return;
    QRect box = pixelBox(shape.Left, shape.Top, shape.Width, shape.Height);
    painter.setPen(pen(shape.BorderColor, shape.BorderWidth, palette));
    if (shape.FillSolid) {
        painter.setBrush(brush(shape.FillColor, palette));
    } else {
        painter.setBrush(Qt::NoBrush);
    }
    // An outline drawn on a box of w x h pixels covers w+1 x h+1: shrink it by one.
    QRect outline = box.adjusted(0, 0, -1, -1);
    if (shape.Kind == ShapeKind::Oval) {
        painter.drawEllipse(outline);
    } else {
        painter.drawRect(outline);
    }
}

}  // namespace vandrel::qt
