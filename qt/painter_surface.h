// SPDX-License-Identifier: MIT
// The scene painted by QPainter: into the window's backing store, or into a buffer of the
// compositor's (WaylandCanvas).
//
// Whole pixels without antialiasing (the scene is pixel art at any pixel density); pens and
// brushes are kept from frame to frame, and texts are drawn from their laid-out glyphs, so
// that a frame allocates nothing of its own.
#pragma once

#include <array>

#include <QBrush>
#include <QPen>

#include "host/toolkit.h"
#include "qt/label_texts.h"

class QPainter;

namespace vandrel::qt {

class PainterSurface : public host::Surface {
  public:
    /// Paints with `painter` the labels' texts as `texts` holds them.
    PainterSurface(QPainter& painter, const LabelTexts& texts);

    void begin(const std::vector<host::Rect>& area) override;
    void fill(const host::Rect& box, host::Rgb colour) override;
    void line(int x1, int y1, int x2, int y2, host::Rgb colour, int width) override;
    void oval(const host::Rect& box, host::Rgb fill, host::Rgb border, int width) override;
    void text(int label, int x, int y, host::Rgb ink, host::Rgb paper,
              const std::optional<host::Rect>& clip) override;

  private:
    const QPen& pen(host::Rgb colour, int width);
    const QBrush& brush(host::Rgb colour);

    QPainter& painter_;
    const LabelTexts& texts_;
};

}  // namespace vandrel::qt
