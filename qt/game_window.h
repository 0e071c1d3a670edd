// SPDX-License-Identifier: MIT
// The game's window: a thin translator between Qt and Form1, which it owns with its runtime
// services and its dispatcher.
//
// Qt's events come in here — keys from the scene widget, clicks from the menus, ticks from
// the clock — and go to Form1 only through the Dispatcher, one at a time. After every event
// the game handled, the window catches up with what the handler changed: the check marks,
// whether Timer1 runs, and the scene. An End or an unhandled error stops the program.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include <QLocale>
#include <QMainWindow>

#include "qt/key_repeat_filter.h"
#include "qt/menu_binding.h"
#include "qt/qt_platform.h"
#include "qt/scene_announcer.h"
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
    void closeEvent(QCloseEvent* event) override;

  private:
    void afterEvent(Dispatcher::Outcome outcome, SceneWidget::Pace pace = SceneWidget::Pace::Event);
    void end(int status);

    QtPlatform platform_;
    Form1 form_;
    Dispatcher dispatcher_;
    Form1View view_;
    EndHandler onEnd_;
    KeyRepeatFilter keys_;
    TickClock clock_;
    SceneWidget* scene_;
    std::unique_ptr<MenuBinding> menus_;
    std::unique_ptr<SceneAnnouncer> announcer_;  // goes before the view it reads
    bool ended_ = false;
};

}  // namespace vandrel::qt
