// SPDX-License-Identifier: MIT
// The game's window: a thin translator between Qt and Form1, which it runs as one game session
// on its runtime services.
//
// Qt's events come in here — keys from the scene widget, clicks from the menus, ticks from
// the clock — and go to Form1 only through the player (host::Player) and the session's
// dispatcher, one at a time. After every event the game handled, the window catches up with
// what the handler changed: the check marks, whether Timer1 runs, and the scene. An End or an
// unhandled error stops the program.
//
// The ticks come from a precise Qt timer of Timer1's period. Qt schedules each timeout one
// period after the one before on a monotonic clock, so the ticks do not drift; when the event
// loop was held up past a deadline, Qt schedules the next one a period from then, so the ticks
// missed meanwhile are dropped, never delivered in a burst. Starting the clock begins a fresh
// period. While the clock is stopped, or held while a box is up, no timer is armed at all: the
// process does not wake for ticks.
//
// While a box is up (drawn inside the window, see MessageBox) no tick is raised, the menus
// are shut and the box has the keyboard. The scene losing the keyboard and the window being
// left go to the player, which lets go of the held keys and pauses a running flight; the
// game's menus are popups of the window itself, which never pause it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include <QBasicTimer>
#include <QLocale>
#include <QMainWindow>

#include "host/player.h"
#include "qt/key_repeat_filter.h"
#include "qt/menu_binding.h"
#include "qt/qt_platform.h"
#include "qt/scene_announcer.h"
#include "qt/scene_widget.h"
#include "shell/form1.h"
#include "shell/form1_view.h"
#include "shell/session.h"

namespace vandrel::qt {

class GameWindow : public QMainWindow, private host::Player::Host {
  public:
    /// Ends the program with an exit status: 0 after End or closing the window, 1 after an
    /// unhandled error.
    using EndHandler = std::function<void(int status)>;

    /// The game with the regional settings of `locale`.
    explicit GameWindow(EndHandler onEnd, const QLocale& locale = QLocale::system());

    /// Runs Form_Load, then shows the window with the keyboard on the scene. False when the
    /// load already ended the program.
    bool start();

    // The events the window delivers; public so that tests can raise them directly.
    void keyDown(std::int16_t keyCode, std::int16_t shift);
    void keyUp(std::int16_t keyCode, std::int16_t shift);
    void click(std::string_view menuName);
    void tick();

    Form1& form() { return game_.form(); }
    host::Player& player() { return player_; }
    Session& game() { return game_; }
    /// How the program ended, once ended() is true.
    Ending ending() const { return ending_; }
    SceneWidget& scene() { return *scene_; }
    bool ended() const { return ended_; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    // The player's host: what the window does once the game handled an event.
    void ran(bool fromClock) override;
    void clockChanged() override { runClock(); }
    void releasing() override { keys_.flush(); }
    void exited() override { end(0, Ending::Exit); }
    void failed(const std::string& prompt) override;

    /// Runs the clock as the player wants it.
    void runClock() { setClockRunning(player_.clockWanted()); }
    /// Starts (with a fresh period) or stops the clock; no change when it is already so.
    void setClockRunning(bool running);
    /// Arms Qt's timer while the clock runs and no box holds it, else disarms it.
    void armClock();
    void end(int status, Ending ending);
    /// A box opens (`box`) or has gone (null).
    void boxUp(MessageBox* box);
    /// The player may have gone to another window: a running flight is paused.
    void windowLeft();

    QtPlatform platform_;
    Session game_;
    const Form1View& view_;
    host::Player player_;
    Ending ending_ = Ending::Close;
    EndHandler onEnd_;
    KeyRepeatFilter keys_;
    QBasicTimer clock_;
    bool clockRunning_ = false;
    bool boxUp_ = false;  // holds the clock back
    SceneWidget* scene_;
    std::unique_ptr<MenuBinding> menus_;
    std::unique_ptr<SceneAnnouncer> announcer_;  // goes before the view it reads
    bool ended_ = false;
};

}  // namespace vandrel::qt
