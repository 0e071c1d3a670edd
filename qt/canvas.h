// SPDX-License-Identifier: MIT
// Where the scene is drawn when not by QPainter into Qt's backing store: a surface of the
// display's own that keeps the whole last frame, so that each frame draws only what changed.
#pragma once

#include <QPalette>

#include "host/scene_state.h"
#include "qt/host_rects.h"
#include "qt/label_texts.h"
#include "shell/form1_view.h"

namespace vandrel::qt {

class Canvas {
  public:
    virtual ~Canvas() = default;
    /// Draws the part `area` of the frame `state`; the rest of it is there already. The
    /// labels' fixed looks and places come from `view`, their texts from `texts`.
    virtual void draw(const host::Damage& area, const host::SceneState& state,
                      const Form1View& view, const LabelTexts& texts, const QPalette& palette) = 0;
    /// Puts the frame drawn last on the screen, where it differs in the part `area`.
    virtual void show(const host::Damage& area) = 0;
    /// Forgets what it keeps of the labels' looks (the fonts or the palette changed).
    virtual void invalidateLabels() = 0;
};

}  // namespace vandrel::qt
