// SPDX-License-Identifier: MIT
#include "qt/scene_widget.h"

#include <QGuiApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

namespace vandrel::qt {

SceneWidget::SceneWidget(const Form1View& view, QWidget* parent) : QWidget(parent), view_(view) {
    setFixedSize(toPixel(view.state().ScaleWidth), toPixel(view.state().ScaleHeight));
    unpainted_ = Damage(size());
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
    texts_.sync(view_, font());
    shown_ = SceneState::capture(view_);
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

bool SceneWidget::refresh(Pace pace) {
    SceneState now = SceneState::capture(view_);
    std::array<bool, LabelTexts::kCount> relaid = texts_.sync(view_, font());
    bool changed = false;
    auto mark = [&](const QRect& area) {
        if (!area.intersects(rect())) return;
        unpainted_.add(area);
        changed = true;
    };
    if (now.BackColor != shown_.BackColor) mark(rect());
    for (std::size_t i = 0; i < LabelTexts::kCount; ++i) {
        if (!relaid[i] && now.labels[i] == shown_.labels[i]) continue;
        const Label& label = LabelTexts::label(view_, static_cast<int>(i));
        mark(pixelBox(label.Left, label.Top, label.Width, label.Height));
    }
    // The old and the new places of every line and star that moved.
    SceneState::forEachChange(shown_, now, mark);
    shown_ = now;
    // An event that changed nothing on the screen (a held key's repeat) does not hurry the
    // ticks' changes onto it.
    if (!changed && pace == Pace::Event) pace = Pace::Display;
    if (unpainted_.isEmpty()) return false;
    if (pace != Pace::Now && frames_ == Frames::FrameCallback && awaitingFrame_) {
        // A key's change is painted when the compositor asks for the next frame, a tick's
        // with a later tick.
        eventWaiting_ = eventWaiting_ || pace == Pace::Event;
        return true;
    }
    if (pace == Pace::Display && frames_ != Frames::EveryChange && sinceFrame_.isValid() &&
        sinceFrame_.nsecsElapsed() < displayFrameNs(*this)) {
        return true;  // painted with a later tick's frame
    }
    paintChanges();
    return true;
}

void SceneWidget::paintChanges() {
    if (canvas_) {
        // The server draws it now: no paint event need come round through Qt's queue.
        paintOnServer(QRegion());
    } else if (frames_ == Frames::FrameCallback) {
        // Painted and handed to the compositor now, so that the request below waits for the
        // frame callback of this very frame.
        repaint(unpainted_.region());
        if (QWindow* top = window()->windowHandle()) {
            if (!awaitingFrame_) top->installEventFilter(this);
            awaitingFrame_ = true;
            top->requestUpdate();
        }
    } else {
        update(unpainted_.region());
    }
    unpainted_.clear();
    eventWaiting_ = false;
    sinceFrame_.start();
}

bool SceneWidget::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::UpdateRequest || !awaitingFrame_) {
        return QWidget::eventFilter(watched, event);
    }
    // The compositor asks for the next frame: a key's change waiting goes into it. Qt's own
    // handling of the request would repaint the whole window.
    awaitingFrame_ = false;
    watched->removeEventFilter(this);
    if (eventWaiting_) paintChanges();
    return true;
}

QPaintEngine* SceneWidget::paintEngine() const {
    return onServer_ ? nullptr : QWidget::paintEngine();
}

void SceneWidget::paintEvent(QPaintEvent* event) {
    if (onServer_) {
        paintOnServer(event->region());
        return;
    }
    QPainter painter(this);
    painter_.paint(painter, event->region(), shown_, view_, texts_, palette());
}

void SceneWidget::paintOnServer(const QRegion& exposed) {
    if (!canvas_) canvas_ = X11Canvas::attach(*this);
    if (!canvas_) {
        // Not a display the canvas serves: paint with QPainter from now on.
        onServer_ = false;
        setAttribute(Qt::WA_PaintOnScreen, false);
        update();
        return;
    }
    // The canvas keeps the last frame, and draws what changed into it.
    if (canvasStale_) {
        unpainted_.addAll();
        canvasStale_ = false;
    }
    // An exposed part is drawn again too: exposures are rare.
    for (const QRect& part : exposed)
        unpainted_.add(part);
    canvas_->draw(unpainted_, shown_, view_, texts_, palette());
    canvas_->show(unpainted_);
    unpainted_.clear();
}

void SceneWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        painter_.invalidate();
        if (canvas_) canvas_->invalidateLabels();
        canvasStale_ = true;
        update();
    } else if (event->type() == QEvent::FontChange) {
        texts_.invalidate();
        if (canvas_) canvas_->invalidateLabels();
        canvasStale_ = true;
        refresh();
    }
    QWidget::changeEvent(event);
}

}  // namespace vandrel::qt
