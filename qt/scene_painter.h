// SPDX-License-Identifier: MIT
// Paints the scene from the bottom up: the stars, the terrain, the hull and the flame in the
// order the window creates them, so that later ones lie on top, then the labels over all of
// them, so that no star or line crosses a readout's text (SceneState::forEachInDrawingOrder).
//
// It paints whole pixels from a SceneState, without antialiasing (the scene is pixel art at
// any pixel density), and reuses its pens, brushes and laid-out texts, so that a frame
// allocates nothing of its own.
#pragma once

#include <array>

#include <QBrush>
#include <QPen>
#include <QRegion>

#include "host/scene_state.h"
#include "qt/label_texts.h"
#include "shell/form1_view.h"

class QPainter;
class QPalette;

namespace vandrel::qt {

class ScenePainter {
  public:
    /// Paints the part `area` of the frame `state`; controls wholly outside it are skipped.
    /// The labels' fixed looks and places come from `view`.
    void paint(QPainter& painter, const QRegion& area, const host::SceneState& state,
               const Form1View& view, const LabelTexts& texts, const QPalette& palette);
    /// Forgets the cached pens and brushes (the palette changed).
    void invalidate();

  private:
    /// Paints the part `area` of one label: its box, border and text.
    void paintLabel(QPainter& painter, const QRegion& area, const Label& label,
                    const host::SceneState::LabelLook& look, const LabelTexts::Text& text,
                    const QPalette& palette);
    void paintLine(QPainter& painter, const QRegion& area, const host::SceneState::LineLook& line,
                   const QPalette& palette);
    void paintShape(QPainter& painter, const QRegion& area,
                    const host::SceneState::ShapeLook& shape, const QPalette& palette);
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
