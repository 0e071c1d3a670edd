// SPDX-License-Identifier: MIT
#include "qt/scene_announcer.h"

#include <QEvent>

#include "qt/label_texts.h"
#include "qt/scene_accessible.h"

namespace vandrel::qt {

namespace {

bool isReadout(SceneControl control) {
    using K = SceneControl::Kind;
    return control.kind == K::lblFuel || control.kind == K::lblThrust ||
           control.kind == K::lblHeight;
}

}  // namespace

SceneAnnouncer::SceneAnnouncer(QWidget& scene, const Form1View& view)
    : QObject(&scene), scene_(scene), view_(view) {
    SceneAccessible::install();
    readoutsDue_.setSingleShot(true);
    readoutsDue_.setTimerType(Qt::PreciseTimer);  // never sooner than the pause
    connect(&readoutsDue_, &QTimer::timeout, this, [this] { announceReadouts(); });
    // A box is made over the scene while the handler that opens it still runs: what the
    // handler changed before (a landing's score) is announced before the box.
    scene.installEventFilter(this);
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

SceneAnnouncer::~SceneAnnouncer() {
    QAccessible::removeActivationObserver(this);
}

void SceneAnnouncer::accessibilityActiveChanged(bool active) {
    listening_ = active;
    // A listener that comes reads what is shown; it is told only of later changes.
    if (active) hearAll();
}

void SceneAnnouncer::hearAll() {
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        const Label& label = view_.label(kLabels[i]);
        heard_[i] = {label.Caption, label.Visible};
    }
}

void SceneAnnouncer::update() {
    if (!listening_) return;
    bool readoutsChanged = false;
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        const Label& label = view_.label(kLabels[i]);
        Heard& heard = heard_[i];
        const int index = static_cast<int>(i);
        if (label.Visible != heard.visible) {
            heard.visible = label.Visible;
            send(index, label.Visible ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        }
        if (label.Caption == heard.caption) continue;
        if (isReadout(kLabels[i])) {
            readoutsChanged = true;
            continue;
        }
        heard.caption = label.Caption;
        send(index, QAccessible::NameChanged);
    }
    if (!readoutsChanged || readoutsDue_.isActive()) return;
    const auto since = std::chrono::milliseconds{sinceReadouts_.isValid() ? sinceReadouts_.elapsed()
                                                                          : kReadoutPause.count()};
    if (since >= kReadoutPause) {
        announceReadouts();
    } else {
        readoutsDue_.start(kReadoutPause - since);
    }
}

void SceneAnnouncer::announceReadouts() {
    if (!listening_) return;
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        const Label& label = view_.label(kLabels[i]);
        if (!isReadout(kLabels[i]) || label.Caption == heard_[i].caption) continue;
        heard_[i].caption = label.Caption;
        send(static_cast<int>(i), QAccessible::NameChanged);
    }
    sinceReadouts_.start();
}

void SceneAnnouncer::send(int index, QAccessible::Event type) {
    SceneAccessible* scene = SceneAccessible::of(&scene_);
    if (scene == nullptr) return;
    QAccessibleEvent event(scene->label(index), type);
    if (sink_) {
        sink_(event);
    } else {
        QAccessible::updateAccessibility(&event);
    }
}

bool SceneAnnouncer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ChildAdded) update();
    return QObject::eventFilter(watched, event);
}

}  // namespace vandrel::qt
