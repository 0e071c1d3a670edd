#include "qt/scene_widget.h"

#include <cmath>

#include <QKeyEvent>
#include <QPainter>

#include "qt/key_repeat_filter.h"

namespace vandrel::qt {

SceneWidget::SceneWidget(const Form1View& view, KeyRepeatFilter& keys, QWidget* parent)
    : QWidget(parent), view_(view), keys_(keys) {
    setFixedSize(static_cast<int>(std::lround(view.ScaleWidth() / kTwipsPerPixel)),
                 static_cast<int>(std::lround(view.ScaleHeight() / kTwipsPerPixel)));
    setFocusPolicy(Qt::StrongFocus);
    // Every frame covers the whole area: Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    texts_.sync(view_, font());
    shown_ = SceneState::capture(view_);
}

bool SceneWidget::refresh() {
    bool changed = texts_.sync(view_, font());
    SceneState now = SceneState::capture(view_);
    if (!(now == shown_)) {
        shown_ = now;
        changed = true;
    }
    if (changed) update();
    return changed;
}

void SceneWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter_.paint(painter, view_, texts_, palette());
    ++frames_;
}

void SceneWidget::keyPressEvent(QKeyEvent* event) {
    keys_.press(*event);
    event->accept();
}

void SceneWidget::keyReleaseEvent(QKeyEvent* event) {
    keys_.release(*event);
    event->accept();
}

bool SceneWidget::focusNextPrevChild(bool) {
    return false;  // Tab is a key of the game, not a focus move
}

void SceneWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        painter_.invalidate();
        update();
    } else if (event->type() == QEvent::FontChange) {
        texts_.invalidate();
        refresh();
    }
    QWidget::changeEvent(event);
}

}  // namespace vandrel::qt
