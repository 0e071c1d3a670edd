// SPDX-License-Identifier: MIT
// Tells assistive technology what the game says (host::Announcements decides what and when),
// and when the scene's labels change.
//
// Each utterance is shown anew in the scene's notification, which sits in a status bar of the
// scene (SceneAccessible). Of the ways a Qt 6.4 window has to be heard, that is the one Orca 43
// speaks whatever has the keyboard, and plainly, without a role name before it: Qt sends a
// change of a name or a description with the object instead of its new text, on which Orca
// fails, and Orca drops name changes of labels and canvases outright. The scene's description
// (what the prompt shows) is read when the scene takes the keyboard; its changes are said by
// the notification, so they are not sent as changes of the description as well, which a
// screen reader that took them would say twice.
//
// The labels' own changes keep a listener's copy of the tree current: the prompt's and the
// score's at once, the readouts', which change on every tick of a flight, with each utterance
// and whenever the game waits.
//
// Nothing of this runs while no assistive technology listens: update() then returns at once,
// no timer is armed, and the scrolling scene costs what it cost without it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QAccessible>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "host/announcements.h"
#include "shell/form1_view.h"

namespace vandrel::qt {

class SceneAnnouncer : public QObject, private QAccessible::ActivationObserver {
    Q_OBJECT

  public:
    /// Where an event goes: QAccessible::updateAccessibility, unless a test looks on.
    using Sink = std::function<void(QAccessibleEvent& event)>;

    /// Announces the game of `view` shown in `scene`, and offers its labels to assistive
    /// technology as the scene's children (SceneAccessible).
    SceneAnnouncer(QWidget& scene, const Form1View& view);
    ~SceneAnnouncer() override;

    const Form1View& view() const { return view_; }
    QWidget& scene() const { return scene_; }
    /// The last thing said, which the scene's notification holds.
    const QString& said() const { return said_; }

    /// Catches up with the game after an event it handled.
    void update();
    /// A box of the game opens over the scene: what the handler that opens it changed before (a
    /// landing's score) is said before the box.
    void boxOpens();
    /// The box has gone; the event whose handler opened it catches up when the handler returns.
    void boxGone() { boxUp_ = false; }
    void setSink(Sink sink) { sink_ = std::move(sink); }

  private:
    void accessibilityActiveChanged(bool active) override;
    void hearAll();
    /// Tells of the labels shown or hidden, and of changed captions (the readouts' only when
    /// `readouts`).
    void tellTree(bool readouts);
    void say(const std::string& text);
    void arm(std::optional<std::int64_t> due);
    void send(QAccessibleInterface* object, QAccessible::Event type);

    struct Heard {
        std::string caption;
        bool visible = false;
    };

    QWidget& scene_;
    const Form1View& view_;
    bool listening_ = false;
    bool boxUp_ = false;
    host::Announcements announcements_;
    std::array<Heard, kLabels.size()> heard_;  // what the tree was told, in kLabels' order
    QString said_;
    QElapsedTimer clock_;  // monotonic, for the pace
    QTimer due_;           // when the height it settles on is due
    std::optional<std::int64_t> dueAt_;
    Sink sink_;
};

}  // namespace vandrel::qt
