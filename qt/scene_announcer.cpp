// SPDX-License-Identifier: MIT
#include "qt/scene_announcer.h"

#include "qt/scene_accessible.h"

namespace vandrel::qt {

namespace {

bool isReadout(SceneControl control) {
    using K = SceneControl::Kind;
    return control.kind == K::lblFuel || control.kind == K::lblThrust ||
           control.kind == K::lblHeight;
}

}  // namespace

SceneAnnouncer::SceneAnnouncer(QWidget& scene, const Form1View& view,
                               std::function<void()> listenerCame)
    : QObject(&scene), scene_(scene), view_(view), listenerCame_(std::move(listenerCame)) {
    SceneAccessible::install();
    QAccessible::installActivationObserver(this);
    accessibilityActiveChanged(QAccessible::isActive());
}

SceneAnnouncer::~SceneAnnouncer() {
    QAccessible::removeActivationObserver(this);
}

void SceneAnnouncer::accessibilityActiveChanged(bool active) {
    listening_ = active;
    if (!active) return;
    // A listener that comes reads what is shown; it is told only of later changes.
    for (std::size_t i = 0; i < heard_.size(); ++i) {
        const Label& label = view_.label(kLabels[i]);
        heard_[i] = {label.Caption, label.Visible};
    }
    listenerCame_();
}

void SceneAnnouncer::tellTree(bool readouts) {
    SceneAccessible* scene = listening_ ? SceneAccessible::of(&scene_) : nullptr;
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

void SceneAnnouncer::say(std::string_view text) {
    tellTree(true);
    SceneAccessible* scene = SceneAccessible::of(&scene_);
    if (scene == nullptr) return;
    said_ = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    send(scene->notification(), QAccessible::ObjectShow);
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
