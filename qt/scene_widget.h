// SPDX-License-Identifier: MIT
// The client area: paints the scene and holds the keyboard focus (its keys are filtered by
// KeyRepeatFilter before it sees them).
//
// It paints only what changed since the last frame (the driver's scene keeps that), and
// nothing at all while the game waits; the damage reported to the display is that part alone.
// The timer ticks 100 times a second whatever the display does; frames follow the display:
//  - on X11 every change is drawn at once, so that every tick's frame reaches the screen;
//  - on Wayland a frame is drawn only once the compositor has asked for the next one (its
//    frame callback): the changes meanwhile wait for it;
//  - elsewhere no faster than the screen's refresh rate: a change is painted with the next
//    tick's frame, at most 20 ms later.
//
// On an X11 display the server itself draws each frame (X11Canvas), on Wayland the scene has
// a surface of its own (WaylandCanvas): both cost this process far less than Qt's backing
// store. Anywhere else, whenever the display does not suit them, and on Wayland while a box
// lies over the scene, QPainter paints into the backing store.
#pragma once

#include <memory>

#include <QElapsedTimer>
#include <QWidget>

#include "host/driver.h"
#include "qt/canvas.h"
#include "qt/label_texts.h"
#include "qt/wayland_canvas.h"

namespace vandrel::qt {

class SceneWidget : public QWidget {
  public:
    /// A scene of `size` pixels.
    SceneWidget(QSize size, QWidget* parent = nullptr);

    /// Paints the scene of `driver`, which tells it of every change in fonts and colours.
    void attach(host::Driver& driver) { driver_ = &driver; }
    /// The scene changed: its changes reach the screen at `pace`.
    void changed(host::Pace pace);
    /// A box lies over the scene from now on, or no longer: the player sees the scene as the
    /// handler left it under the box.
    void setBoxOver(bool over);
    LabelTexts& texts() { return texts_; }
    /// True while the X server draws the scene (see X11Canvas); false when QPainter does.
    bool drawnByServer() const { return onServer_; }
    /// The scene's own surface on Wayland, while there is one.
    const WaylandCanvas* waylandCanvas() const { return wayland_; }
    /// True when every change is on the screen, or handed to the compositor.
    bool upToDate() const { return driver_ == nullptr || driver_->scene().unpainted().isEmpty(); }

  protected:
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    enum class Frames {
        EveryChange,    // X11
        FrameCallback,  // Wayland
        RefreshRate,    // any other display
    };
    void paintChanges();
    /// The compositor asks for the next frame: what changed meanwhile goes into it.
    void frameTaken();
    /// The canvas, attached on first use; false when there is none.
    bool canvasReady();
    /// Draws what changed into the canvas and shows it with the part `exposed`.
    void paintOnCanvas(const QRegion& exposed);
    /// On Wayland, draws what changed into the scene's own surface, which then awaits the
    /// compositor's frame callback; false when the surface is not there or a box covers it.
    bool paintOnSurface();

    host::Driver* driver_ = nullptr;
    LabelTexts texts_;
    Frames frames_ = Frames::RefreshRate;
    QElapsedTimer sinceFrame_;
    // A frame went out, by the canvas or through Qt; the compositor has not asked for the next.
    bool awaitingFrame_ = false;
    bool awaitingUpdate_ = false;
    // On X11 the scene is drawn by the server, straight to the widget's own window; on
    // Wayland into a surface of its own.
    bool onServer_ = false;
    bool surfaceWanted_ = false;
    std::unique_ptr<Canvas> canvas_;
    WaylandCanvas* wayland_ = nullptr;  // canvas_, on Wayland
    bool canvasStale_ = true;           // the canvas does not hold the frame shown yet
    bool boxOver_ = false;
};

}  // namespace vandrel::qt
