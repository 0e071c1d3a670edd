// Paints the scene from the game's controls: lines, star dots and labels, in the order the
// window creates them, so that later controls lie on top.
//
// Twips map to logical pixels at 15 a pixel; line widths are pixels already. Painting reads a
// const view, draws without antialiasing (the scene is pixel art at any pixel density) and
// reuses its pens, brushes and laid-out texts, so a frame allocates nothing of its own.
#pragma once

#include <array>

#include <QBrush>
#include <QPen>

#include "qt/label_texts.h"
#include "shell/form1_view.h"

class QPainter;
class QPalette;

namespace vandrel::qt {

inline constexpr double kTwipsPerPixel = 15.0;

class ScenePainter {
  public:
    void paint(QPainter& painter, const Form1View& view, const LabelTexts& texts,
               const QPalette& palette);
    /// Forgets the cached pens and brushes (the palette changed).
    void invalidate();

  private:
    void paintLabel(QPainter& painter, const Label& label, const LabelTexts::Text& text,
                    const QPalette& palette);
    void paintLine(QPainter& painter, const Line& line, const QPalette& palette);
    void paintShape(QPainter& painter, const Shape& shape, const QPalette& palette);
    const QPen& pen(Color color, int width, const QPalette& palette);
    const QBrush& brush(Color color, const QPalette& palette);

    struct CachedPen {
        Color color = 0;
        int width = -1;  // none cached yet
        QPen pen;
    };
    struct CachedBrush {
        Color color = 0;
        bool used = false;
        QBrush brush;
    };
    std::array<CachedPen, 12> pens_;
    std::array<CachedBrush, 8> brushes_;
    std::size_t nextPen_ = 0, nextBrush_ = 0;
};

}  // namespace vandrel::qt
