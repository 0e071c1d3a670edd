// SPDX-License-Identifier: MIT
// The game's window: a thin translator between Qt and Form1, which it owns with its runtime
// services and its dispatcher.
//
// Qt's events come in here — keys from the scene widget, clicks from the menus, ticks from
// the clock — and go to Form1 only through the Dispatcher, one at a time. After every event
// the game handled, the window catches up with what the handler changed: the check marks,
// whether Timer1 runs, and the scene. An End or an unhandled error stops the program.
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

#include <QLocale>
#include <QMainWindow>

#include "qt/held_keys.h"
#include "qt/key_repeat_filter.h"
#include "qt/menu_binding.h"
#include "qt/qt_platform.h"
#include "qt/scene_widget.h"
#include "qt/tick_clock.h"
#include "shell/dispatcher.h"
#include "shell/form1.h"
#include "shell/form1_view.h"

namespace vandrel::qt {

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

    Form1& form() { return form_; }
    Dispatcher& dispatcher() { return dispatcher_; }
    SceneWidget& scene() { return *scene_; }
    MenuBinding& menus() { return *menus_; }
    TickClock& clock() { return clock_; }
    bool ended() const { return ended_; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void afterEvent(Dispatcher::Outcome outcome, SceneWidget::Pace pace = SceneWidget::Pace::Event);
    void end(int status);
    /// A box opens (`box`) or has gone (null).
    void boxUp(MessageBox* box);
    /// The keyboard left the scene: every held key gets its key-up, in the order of the
    /// presses; once the running handler has returned when one runs (it opened a box).
    void releaseKeys();
    /// The player may have gone to another window: a running flight is paused.
    void windowLeft();

    QtPlatform platform_;
    Form1 form_;
    Dispatcher dispatcher_;
    Form1View view_;
    EndHandler onEnd_;
    KeyRepeatFilter keys_;
    HeldKeys held_;
    bool releasePending_ = false;
    TickClock clock_;
    SceneWidget* scene_;
    std::unique_ptr<MenuBinding> menus_;
    bool ended_ = false;
};

}  // namespace vandrel::qt
