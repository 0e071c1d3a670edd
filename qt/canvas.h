// SPDX-License-Identifier: MIT
// Where the scene is drawn when not by QPainter into Qt's backing store: a surface of the
// display's own that keeps the whole last frame, so that each frame draws only what changed.
#pragma once

#include "host/damage.h"
#include "host/scene.h"

namespace vandrel::qt {

class Canvas {
  public:
    virtual ~Canvas() = default;
    /// Draws the part `area` of the scene as it is now; the rest of the frame is there already.
    virtual void draw(const host::Scene& scene, const host::Damage& area) = 0;
    /// Puts the frame drawn last on the screen, where it differs in the part `area`.
    virtual void show(const host::Damage& area) = 0;
    /// Forgets what it keeps of the labels' looks (the fonts changed).
    virtual void invalidateLabels() = 0;
};

}  // namespace vandrel::qt
