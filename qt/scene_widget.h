// SPDX-License-Identifier: MIT
// The client area: paints the scene and holds the keyboard focus (its keys are filtered by
// KeyRepeatFilter before it sees them).
//
// It repaints only what changed since the last frame (refresh() is called after every event
// the game handled), so nothing at all is painted while the game waits. While the game runs,
// frames follow the display: the timer ticks 100 times a second, a display typically shows
// 60 frames, and a frame the display would never show is not painted. A change is then
// painted with the next tick's frame, at most 20 ms later.
//
// On an X11 display the server itself draws each frame (X11Canvas), which costs this process
// far less than Qt's backing store; anywhere else, and whenever the display does not suit
// the canvas, QPainter paints into the backing store.
#pragma once

#include <memory>

#include <QElapsedTimer>
#include <QRect>
#include <QWidget>

#include "qt/label_texts.h"
#include "qt/scene_painter.h"
#include "qt/scene_state.h"
#include "qt/x11_canvas.h"
#include "shell/form1_view.h"

namespace vandrel::qt {

class SceneWidget : public QWidget {
  public:
    explicit SceneWidget(const Form1View& view, QWidget* parent = nullptr);

    enum class Pace {
        Now,      // paint every change at once (a box is about to open over the scene)
        Event,    // a key or a menu: paint at once what it changed
        Display,  // a tick: paint no faster than the display shows frames
    };
    /// Catches up with the game and schedules a repaint of what changed; true if anything
    /// did.
    bool refresh(Pace pace = Pace::Now);
    /// How many frames have been painted.
    std::uint64_t frames() const { return frames_; }
    /// True while the X server draws the scene (see X11Canvas); false when QPainter does.
    bool drawnByServer() const { return onServer_; }

  protected:
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void paintOnServer(const QRect& area);

    const Form1View& view_;
    LabelTexts texts_;
    ScenePainter painter_;
    SceneState shown_;
    QRect unpainted_;  // changed since the last frame was scheduled
    QElapsedTimer sinceFrame_;
    std::uint64_t frames_ = 0;
    // On X11 the scene is drawn by the server, straight to the widget's own window.
    bool onServer_ = false;
    std::unique_ptr<X11Canvas> canvas_;
    bool canvasStale_ = true;  // the canvas does not hold the frame shown_ yet
};

}  // namespace vandrel::qt
