// SPDX-License-Identifier: MIT
// The game's message box, drawn inside the window over the scene rather than as a window of
// its own (see host/box.h): a child of the scene stays where the window puts it on every window
// system, with or without a window manager. Having no title bar, it shows its title in a strip
// of its own.
//
// It is modal as the game's boxes must be: exec() waits in a local event loop until OK is
// chosen (Enter, Space, Escape or a click) or the window closes; meanwhile the window holds
// the game (see QtPlatform).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QFrame>
#include <QRect>
#include <QString>

class QEventLoop;
class QLabel;
class QPushButton;

namespace vandrel::qt {

class MessageBox : public QFrame {
    Q_OBJECT

  public:
    /// A box over `scene`, clear of its area `keepClear`; hidden until exec().
    MessageBox(const QString& title, const QString& prompt, QWidget& scene, const QRect& keepClear);

    /// Shows the box with the keyboard on OK and waits: true once OK was chosen, false when
    /// the box was abandoned.
    bool exec();
    /// Ends the box unanswered (the window is closing).
    void abandon() { finish(false); }
    /// The keys (virtual-key codes) held down since before the box opened: until each is let
    /// go, its repeats and its release go nowhere, so that a space bar held through a crash
    /// does not answer the box that tells of it.
    void setKeysHeld(std::vector<std::int16_t> codes) { keysHeld_ = std::move(codes); }

    QString title() const;
    QString prompt() const;
    QPushButton& ok() { return *ok_; }

  protected:
    /// Enter, Return and Escape on OK choose it as a click does; Space is the button's own.
    /// Keys held from before the box opened are kept from it until let go.
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void finish(bool answered);

    QLabel* title_;
    QLabel* prompt_;
    QPushButton* ok_;
    std::vector<std::int16_t> keysHeld_;
    QEventLoop* loop_ = nullptr;
    bool answered_ = false;
    bool finished_ = false;
};

}  // namespace vandrel::qt
