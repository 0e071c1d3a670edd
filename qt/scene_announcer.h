// SPDX-License-Identifier: MIT
// Tells assistive technology when the scene's labels change, so that a screen reader speaks
// the new prompt or score as it appears.
//
// The prompt and the score change seldom, and each change is announced at once. The fuel,
// thrust and height readouts change on every tick while the ship flies, 100 times a second,
// which no listener can follow: their changes go out together at most once per
// kReadoutPause, and the values they settle on always go out, at the end of the pause.
//
// Nothing of this runs while no assistive technology listens: update() then returns at once,
// and the scrolling scene costs what it cost without it.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <string>

#include <QAccessible>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include "shell/form1_view.h"

namespace vandrel::qt {

class SceneAnnouncer : public QObject, private QAccessible::ActivationObserver {
    Q_OBJECT

  public:
    /// The shortest time between two announcements of the readouts.
    static constexpr std::chrono::milliseconds kReadoutPause{250};
    /// Where an event goes: QAccessible::updateAccessibility, unless a test looks on.
    using Sink = std::function<void(QAccessibleEvent& event)>;

    /// Announces the labels of `view` shown in `scene`, and offers them to assistive
    /// technology as the scene's children (SceneAccessible).
    SceneAnnouncer(QWidget& scene, const Form1View& view);
    ~SceneAnnouncer() override;

    const Form1View& view() const { return view_; }
    QWidget& scene() const { return scene_; }

    /// Catches up with the labels after an event the game handled.
    void update();
    void setSink(Sink sink) { sink_ = std::move(sink); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void accessibilityActiveChanged(bool active) override;
    void hearAll();
    void announceReadouts();
    void send(int index, QAccessible::Event type);

    struct Heard {
        std::string caption;
        bool visible = false;
    };

    QWidget& scene_;
    const Form1View& view_;
    bool listening_ = false;
    std::array<Heard, kLabels.size()> heard_;  // what the listener was told, in kLabels' order
    QElapsedTimer sinceReadouts_;              // since the readouts were last announced
    QTimer readoutsDue_;                       // the end of the pause, when changes wait
    Sink sink_;
};

}  // namespace vandrel::qt
