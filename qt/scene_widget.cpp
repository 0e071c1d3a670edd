// SPDX-License-Identifier: MIT
#include "qt/scene_widget.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include "qt/host_rects.h"
#include "qt/painter_surface.h"
#include "qt/x11_canvas.h"

namespace vandrel::qt {

SceneWidget::SceneWidget(QSize size, QWidget* parent) : QWidget(parent) {
    setFixedSize(size);
    setFocusPolicy(Qt::StrongFocus);
    // Every frame covers the whole area: Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        frames_ = Frames::EveryChange;
    } else if (platform.startsWith(QLatin1String("wayland"))) {
        frames_ = Frames::FrameCallback;
    }
    if (X11Canvas::available()) {
        // A window of its own, which Qt neither paints nor clears: the canvas draws it.
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_PaintOnScreen);
        setAttribute(Qt::WA_NoSystemBackground);
        onServer_ = true;
    }
    surfaceWanted_ = WaylandCanvas::available();
}

namespace {

// The shortest time between two frames the display can show apart.
std::int64_t displayFrameNs(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    double hertz = screen != nullptr ? screen->refreshRate() : 0;
    if (hertz < 1) hertz = 60;
    return static_cast<std::int64_t>(1e9 / hertz) - 1'000'000;  // a millisecond of leeway
}

}  // namespace

void SceneWidget::changed(host::Pace pace) {
    if (upToDate()) return;
    if (pace != host::Pace::Now && frames_ == Frames::FrameCallback &&
        (awaitingFrame_ || awaitingUpdate_)) {
        return;  // painted when the compositor asks for the next frame
    }
    if (pace == host::Pace::Display && frames_ != Frames::EveryChange && sinceFrame_.isValid() &&
        sinceFrame_.nsecsElapsed() < displayFrameNs(*this)) {
        return;  // painted with a later tick's frame
    }
    paintChanges();
}

void SceneWidget::paintChanges() {
    host::Damage& unpainted = driver_->scene().unpainted();
    if (onServer_) {
        // The server draws it now: no paint event need come round through Qt's queue.
        paintOnCanvas(QRegion());
    } else if (frames_ == Frames::FrameCallback) {
        if (!paintOnSurface()) {
            // Painted and handed to the compositor now, so that the request below waits for
            // the frame callback of this very frame.
            repaint(toRegion(unpainted));
            if (QWindow* top = window()->windowHandle()) {
                if (!awaitingUpdate_) top->installEventFilter(this);
                awaitingUpdate_ = true;
                top->requestUpdate();
            }
        }
    } else {
        update(toRegion(unpainted));
    }
    unpainted.clear();
    sinceFrame_.start();
}

void SceneWidget::frameTaken() {
    awaitingFrame_ = false;
    if (!upToDate() && !awaitingUpdate_) paintChanges();
}

bool SceneWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::UpdateRequest || !awaitingUpdate_) {
        return QWidget::eventFilter(watched, event);
    }
    // The compositor asks for the window's next frame; Qt's own handling of the request would
    // repaint the whole window.
    watched->removeEventFilter(this);
    awaitingUpdate_ = false;
    if (!upToDate() && !awaitingFrame_) paintChanges();
    return true;
}

QPaintEngine* SceneWidget::paintEngine() const {
    return onServer_ ? nullptr : QWidget::paintEngine();
}

void SceneWidget::paintEvent(QPaintEvent* event) {
    if (driver_ == nullptr) return;
    if (onServer_) {
        paintOnCanvas(event->region());
        return;
    }
    // The window's own pixels under the scene's surface do not show.
    if (wayland_ != nullptr && !wayland_->covered() && !boxOver_) return;
    QPainter painter(this);
    PainterSurface surface(painter, texts_);
    host::Damage exposed(width(), height());
    for (const QRect& part : event->region())
        exposed.add(fromQRect(part));
    driver_->scene().paint(surface, exposed);
    if (surfaceWanted_ && !boxOver_) {
        // The window is on the screen, with the scene as Qt painted it: the scene's own
        // surface takes over with the next turn of the event loop.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (wayland_ == nullptr) paintOnSurface();
            },
            Qt::QueuedConnection);
    }
}

bool SceneWidget::canvasReady() {
    if (canvas_) return true;
    if (onServer_) {
        canvas_ = X11Canvas::attach(*this, texts_);
        if (!canvas_) {
            // Not a display the canvas serves: paint with QPainter from now on.
            onServer_ = false;
            setAttribute(Qt::WA_PaintOnScreen, false);
            update();
        }
    } else if (surfaceWanted_) {
        // Once the window is on the screen, which gives it its surface.
        const QWindow* top = window()->windowHandle();
        if (top == nullptr || !top->isExposed()) return false;
        surfaceWanted_ = false;
        auto canvas = WaylandCanvas::attach(*this, texts_, [this] { frameTaken(); });
        wayland_ = canvas.get();
        canvas_ = std::move(canvas);
    }
    canvasStale_ = true;
    return canvas_ != nullptr;
}

void SceneWidget::paintOnCanvas(const QRegion& exposed) {
    if (driver_ == nullptr || !canvasReady()) return;
    host::Damage& unpainted = driver_->scene().unpainted();
    // The canvas keeps the last frame, and draws what changed into it.
    if (canvasStale_) {
        unpainted.addAll();
        canvasStale_ = false;
    }
    // An exposed part is drawn again too: exposures are rare.
    for (const QRect& part : exposed)
        unpainted.add(fromQRect(part));
    canvas_->draw(driver_->scene(), unpainted);
    canvas_->show(unpainted);
    unpainted.clear();
}

bool SceneWidget::paintOnSurface() {
    if (boxOver_ || !canvasReady()) return false;
    paintOnCanvas(QRegion());
    awaitingFrame_ = true;  // the canvas asked for the frame callback
    return true;
}

void SceneWidget::setBoxOver(bool over) {
    boxOver_ = over;
    if (over) {
        changed(host::Pace::Now);
        repaint();
        // Qt paints the box into the window's own surface, which now shows the scene too.
        if (wayland_ != nullptr) wayland_->cover();
    } else if (wayland_ != nullptr) {
        canvasStale_ = true;  // Qt painted the frames meanwhile
        paintChanges();
    }
}

void SceneWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (driver_ == nullptr) return;
    const bool colours = event->type() == QEvent::PaletteChange;
    if (!colours && event->type() != QEvent::FontChange) return;
    // The glyphs a canvas keeps are the old fonts' in the old colours.
    if (canvas_) canvas_->invalidateLabels();
    canvasStale_ = true;
    if (colours) {
        driver_->coloursChanged();
    } else {
        driver_->fontsChanged();
    }
}

}  // namespace vandrel::qt
