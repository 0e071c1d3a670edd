// SPDX-License-Identifier: MIT
// The game's window: a thin translator between Qt and Form1, which it runs as one game session
// on its runtime services.
//
// Qt's events come in here — keys from the scene widget, clicks from the menus, ticks from
// the clock — and go to Form1 only through the session's dispatcher, one at a time. After every
// event the game handled, the window catches up with what the handler changed: the check marks,
// whether Timer1 runs, and the scene. An End or an unhandled error stops the program. While a
// replay runs, a gate sees the player's keys, menu commands and the clock's ticks first.
//
// The ticks come from a precise Qt timer of Timer1's period. Qt schedules each timeout one
// period after the one before on a monotonic clock, so the ticks do not drift; when the event
// loop was held up past a deadline, Qt schedules the next one a period from then, so the ticks
// missed meanwhile are dropped, never delivered in a burst. Starting the clock begins a fresh
// period. While the clock is stopped, or held while a box is up, no timer is armed at all: the
// process does not wake for ticks.
//
// While a box is up (drawn inside the window, see MessageBox) no tick is raised, the menus
// are shut and the box has the keyboard. When the scene loses the keyboard for any reason
// (another window, a menu or a box takes it, or the window is hidden), the game is told at
// once that every key it holds is up, through keyUp as if the player had let them go; the
// window system's own release of such a key later is not passed on. A player who leaves a
// running flight for another window finds it paused: the window presses P for them. The
// game's own menus and boxes never pause it: its menus are popups of the window itself, and
// its boxes open only inside a handler, which is still running while they are up.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include <QBasicTimer>
#include <QLocale>
#include <QMainWindow>

#include "host/held_keys.h"
#include "qt/key_repeat_filter.h"
#include "qt/menu_binding.h"
#include "qt/qt_platform.h"
#include "qt/scene_announcer.h"
#include "qt/scene_widget.h"
#include "shell/form1.h"
#include "shell/form1_view.h"
#include "shell/session.h"

namespace vandrel::qt {

/// Stands between the player and the game while something else drives it (a replay): the
/// player's keys and menu commands, and the window's clock, go to the gate first.
class PlayerGate {
  public:
    virtual ~PlayerGate() = default;
    /// True when the gate takes the player's key and the game never sees it.
    virtual bool takesKey(std::int16_t keyCode, bool down) = 0;
    /// True when the gate takes the player's menu command.
    virtual bool takesClick(std::string_view menuName) = 0;
    /// The clock fired: true when the gate takes the tick (to raise its own events).
    virtual bool takesTick() = 0;
    /// Whether the clock should run while the gate is in place.
    virtual bool wantsTicks() const = 0;
    /// The player left the window while the flight runs, where play would pause.
    virtual void playerLeft() = 0;
};

class GameWindow : public QMainWindow {
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

    /// Puts `gate` (nullptr: none) between the player and the game; called again by the gate
    /// when whether it wants ticks changed.
    void setPlayerGate(PlayerGate* gate);

    Form1& form() { return game_.form(); }
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
    void afterEvent(Session::Outcome outcome, SceneWidget::Pace pace = SceneWidget::Pace::Event);
    /// Decides whether the clock runs: while a tick changes anything, or as the gate wants.
    void runClock();
    /// Starts (with a fresh period) or stops the clock; no change when it is already so.
    void setClockRunning(bool running);
    /// Arms Qt's timer while the clock runs and no box holds it, else disarms it.
    void armClock();
    void end(int status, Ending ending);
    /// A box opens (`box`) or has gone (null).
    void boxUp(MessageBox* box);
    /// The keyboard left the scene: every held key gets its key-up, in the order of the
    /// presses; once the running handler has returned when one runs (it opened a box).
    void releaseKeys();
    /// The player may have gone to another window: a running flight is paused.
    void windowLeft();

    QtPlatform platform_;
    Session game_;
    const Form1View& view_;
    PlayerGate* gate_ = nullptr;
    Ending ending_ = Ending::Close;
    EndHandler onEnd_;
    KeyRepeatFilter keys_;
    host::HeldKeys held_;
    bool releasePending_ = false;
    QBasicTimer clock_;
    bool clockRunning_ = false;
    bool boxUp_ = false;  // holds the clock back
    SceneWidget* scene_;
    std::unique_ptr<MenuBinding> menus_;
    std::unique_ptr<SceneAnnouncer> announcer_;  // goes before the view it reads
    bool ended_ = false;
};

}  // namespace vandrel::qt
