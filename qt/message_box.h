// SPDX-License-Identifier: MIT
// The game's message box, drawn inside the window over the scene rather than as a window of
// its own (see host/box.h): a child of the scene stays where the window puts it on every window
// system, with or without a window manager. Having no title bar, it shows its title in a strip
// of its own.
//
// It is modal as the game's boxes must be: the driver waits in next() for what the player
// does on it, a key or a click on OK, until the box is answered or abandoned (the window
// closes); which keys answer it is the driver's rule (host/keys.h).
#pragma once

#include <deque>

#include <QFrame>
#include <QRect>
#include <QString>

#include "host/toolkit.h"

class QEventLoop;
class QLabel;
class QPushButton;

namespace vandrel::qt {

class MessageBox : public QFrame {
    Q_OBJECT

  public:
    /// A box over `scene`, hidden until placed.
    MessageBox(const QString& title, const QString& prompt, QWidget& scene);

    /// Shows the box at `place` with the keyboard on OK.
    void showAt(const QRect& place);
    /// Waits for what the player does next on the box.
    host::BoxEvent next();
    /// Ends the box unanswered (the window is closing): every wait ends at once.
    void abandon();

    QString title() const;
    QString prompt() const;
    QPushButton& ok() { return *ok_; }

  protected:
    /// Every key on OK is the driver's to judge, Space and Enter as well.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void happened(host::BoxEvent event);

    QLabel* title_;
    QLabel* prompt_;
    QPushButton* ok_;
    std::deque<host::BoxEvent> events_;  // not yet taken by next()
    QEventLoop* loop_ = nullptr;
    bool abandoned_ = false;
};

}  // namespace vandrel::qt
