// SPDX-License-Identifier: MIT
// Tells assistive technology what the game says (the driver decides what and when, by
// host/announcements.h), and when the scene's labels change.
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
// Nothing of this runs while no assistive technology listens, and the scrolling scene costs
// what it cost without it.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>

#include <QAccessible>
#include <QObject>
#include <QString>
#include <QWidget>

#include "shell/form1_view.h"

namespace vandrel::qt {

class SceneAnnouncer : public QObject, private QAccessible::ActivationObserver {
    Q_OBJECT

  public:
    /// Where an event goes: QAccessible::updateAccessibility, unless a test looks on.
    using Sink = std::function<void(QAccessibleEvent& event)>;

    /// Announces the game of `view` shown in `scene`, and offers its labels to assistive
    /// technology as the scene's children (SceneAccessible); `listenerCame` runs when
    /// assistive technology begins to listen.
    SceneAnnouncer(QWidget& scene, const Form1View& view, std::function<void()> listenerCame);
    ~SceneAnnouncer() override;

    const Form1View& view() const { return view_; }
    /// Whether assistive technology listens.
    bool listening() const { return listening_; }
    /// The last thing said, which the scene's notification holds.
    const QString& said() const { return said_; }

    /// Says `text`.
    void say(std::string_view text);
    /// Tells of the labels shown or hidden, and of changed captions (the readouts' only when
    /// `readouts`: they change with every tick of a flight).
    void tellTree(bool readouts);
    void setSink(Sink sink) { sink_ = std::move(sink); }

  private:
    void accessibilityActiveChanged(bool active) override;
    void send(QAccessibleInterface* object, QAccessible::Event type);

    struct Heard {
        std::string caption;
        bool visible = false;
    };

    QWidget& scene_;
    const Form1View& view_;
    std::function<void()> listenerCame_;
    bool listening_ = false;
    std::array<Heard, kLabels.size()> heard_;  // what the tree was told, in kLabels' order
    QString said_;
    Sink sink_;
};

}  // namespace vandrel::qt
