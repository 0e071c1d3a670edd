// SPDX-License-Identifier: MIT
// What assistive technology (a screen reader) finds in the scene: a drawing named by the
// window's caption and described by what the prompt shows, so that the keyboard coming to it
// says what to press. Its children are the labels the player sees, from the top down, each a
// static text named by its current caption and placed where it is painted; then a status bar
// whose one notification holds the last thing the game said (SceneAnnouncer shows it anew for
// each utterance); then the box that may be up over them, an alert named by its title and
// described by its prompt. The stars, the terrain and the hull are not offered: they have no
// text, and the readouts say all that a player needs of them.
//
// The interfaces read the game through the read-only view on every query, so what a reader
// finds is always current; SceneAnnouncer tells it when to look again.
#pragma once

#include <array>

#include <QAccessibleWidget>
#include <QPointer>

#include "shell/form1_view.h"

namespace vandrel::qt {

class SceneAnnouncer;

class SceneAccessible : public QAccessibleWidget {
  public:
    /// The scene widget `scene`, whose labels `announcer` knows.
    SceneAccessible(QWidget* scene, SceneAnnouncer* announcer);
    ~SceneAccessible() override;

    /// The interface of the scene widget, once an announcer serves it; nullptr before.
    static SceneAccessible* of(QWidget* scene);
    /// Makes Qt ask the announcer of a scene for the scene's interface.
    static void install();

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;

    /// The interface of one label, by its place in kLabels, shown or hidden.
    QAccessibleInterface* label(int index) const;
    QAccessibleInterface* statusBar() const { return QAccessible::accessibleInterface(statusBar_); }
    /// The status bar's one child, named by the last thing the game said.
    QAccessibleInterface* notification() const {
        return QAccessible::accessibleInterface(notification_);
    }

  private:
    /// The place in kLabels of the child at `child`, or -1.
    int shownLabel(int child) const;
    int shownLabels() const;

    QPointer<SceneAnnouncer> announcer_;  // gone with the game it reads
    std::array<QAccessible::Id, kLabels.size()> labels_{};
    QAccessible::Id statusBar_ = 0, notification_ = 0;
};

}  // namespace vandrel::qt
