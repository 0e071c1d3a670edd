// SPDX-License-Identifier: MIT
// The scene in a Wayland surface of its own, above the window's, in buffers the window fills
// itself.
//
// Qt 6.4 hands the compositor the whole window in shared memory, and each frame, as the
// compositor still holds the last buffer, it copies all of that buffer into the next before it
// paints: a copy of the whole window a frame, the largest part of the game's work. The scene
// here lies instead in a sub-surface of the window's, whose buffers the canvas keeps: each
// frame goes into a buffer the compositor has let go: what changed since that buffer was last
// drawn is copied from the buffer of the frame before, only this frame's changes are painted,
// and the compositor is told the few rectangles that changed. A compositor that tracks only a few
// rectangles a frame (wlroots' keep up to 20, and draw their bounding box beyond) is given at most
// kReportedRects of them.
//
// The compositor is asked for a frame callback with each frame, and the next frame waits for
// it: frames come no faster than the compositor takes them, whatever the game's tick rate.
//
// The canvas serves a window at one device pixel per pixel, on a compositor that draws the
// window's frame itself (the window's surface then begins at its client area). A box over the
// scene is Qt's to paint into the window's own surface: cover() takes the scene's surface
// away meanwhile, so that the window's own pixels show.
#pragma once

#include <functional>
#include <memory>

#include <QImage>

#include "qt/canvas.h"
#include "qt/label_texts.h"

class QWidget;

namespace vandrel::qt {

class WaylandCanvas final : public Canvas {
  public:
    static constexpr std::size_t kReportedRects = 8;

    /// A canvas over `widget`, in its window's surface, or null when the window is not on a
    /// Wayland display the canvas serves; `frameTaken` runs, in the widget's thread, when the
    /// compositor asks for the frame after the one shown. `texts` are the labels' texts.
    static std::unique_ptr<WaylandCanvas> attach(QWidget& widget, const LabelTexts& texts,
                                                 std::function<void()> frameTaken);
    /// True when attach() may succeed for widgets of this application: it runs on Wayland.
    static bool available();
    ~WaylandCanvas() override;
    WaylandCanvas(const WaylandCanvas&) = delete;
    WaylandCanvas& operator=(const WaylandCanvas&) = delete;

    void draw(const host::Scene& scene, const host::Damage& area) override;
    /// Hands the compositor the frame drawn, with a frame callback.
    void show(const host::Damage& area) override;
    void invalidateLabels() override {}
    /// Takes the scene's surface off the screen; the next frame shown puts it back.
    void cover();
    bool covered() const { return covered_; }

    /// The frame last handed to the compositor, what the screen shows (the tests' view).
    QImage lastFrame() const;
    struct Surface;

  private:
    WaylandCanvas(std::unique_ptr<Surface> surface, const LabelTexts& texts);

    std::unique_ptr<Surface> s_;
    const LabelTexts& texts_;
    bool covered_ = true;  // nothing shown yet
};

}  // namespace vandrel::qt
