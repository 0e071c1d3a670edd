// SPDX-License-Identifier: MIT
#include "qt/scene_announcer.h"

#include <algorithm>

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
    : QObject(&scene), scene_(scene), view_(view), announcements_(view) {
    SceneAccessible::install();
    clock_.start();
    due_.setSingleShot(true);
    due_.setTimerType(Qt::PreciseTimer);  // never sooner than the pause
    connect(&due_, &QTimer::timeout, this, [this] {
        dueAt_.reset();
        update();
    });
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

SceneAnnouncer::~SceneAnnouncer() {
    QAccessible::removeActivationObserver(this);
}

void SceneAnnouncer::accessibilityActiveChanged(bool active) {
    listening_ = active;
    // A listener that comes reads what is shown; it is told only of later changes.
    if (active) {
        hearAll();
    } else {
        arm(std::nullopt);
    }
}

void SceneAnnouncer::hearAll() {
    announcements_.hearAll(view_);
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        const Label& label = view_.label(kLabels[i]);
        heard_[i] = {label.Caption, label.Visible};
    }
}

void SceneAnnouncer::boxOpens() {
    boxUp_ = true;
    update();
}

void SceneAnnouncer::update() {
    if (!listening_) return;
    const host::Announcements::Step step = announcements_.update(view_, boxUp_, clock_.elapsed());
    tellTree(step.say || !host::Announcements::flying(view_, boxUp_));
    if (step.say) say(step.say->text);
    arm(step.due);
}

void SceneAnnouncer::tellTree(bool readouts) {
    SceneAccessible* scene = SceneAccessible::of(&scene_);
    if (scene == nullptr) return;
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        const Label& label = view_.label(kLabels[i]);
        Heard& heard = heard_[i];
        QAccessibleInterface* object = scene->label(static_cast<int>(i));
        if (label.Visible != heard.visible) {
            heard.visible = label.Visible;
            send(object, label.Visible ? QAccessible::ObjectShow : QAccessible::ObjectHide);
        }
        if (label.Caption == heard.caption || (isReadout(kLabels[i]) && !readouts)) continue;
        heard.caption = label.Caption;
        send(object, QAccessible::NameChanged);
    }
}

void SceneAnnouncer::say(const std::string& text) {
    SceneAccessible* scene = SceneAccessible::of(&scene_);
    if (scene == nullptr) return;
    said_ = QString::fromStdString(text);
    send(scene->notification(), QAccessible::ObjectShow);
}

void SceneAnnouncer::arm(std::optional<std::int64_t> due) {
    if (!due) {
        due_.stop();
        dueAt_.reset();
        return;
    }
    if (due == dueAt_ && due_.isActive()) return;
    dueAt_ = due;
    due_.start(static_cast<int>(std::max<std::int64_t>(0, *due - clock_.elapsed())));
}

void SceneAnnouncer::send(QAccessibleInterface* object, QAccessible::Event type) {
    QAccessibleEvent event(object, type);
    if (sink_) {
        sink_(event);
    } else {
        QAccessible::updateAccessibility(&event);
    }
}

}  // namespace vandrel::qt
