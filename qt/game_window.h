// SPDX-License-Identifier: MIT
// The game's window: Qt's part of the one driver (host/driver.h), which runs the game.
//
// Qt's events come in here — keys from the scene widget, clicks from the menus, ticks from
// the clock, the keyboard leaving and the window closing — and go to the driver as they are.
// The driver calls back for what only Qt can do: lay out and paint (SceneWidget), show a box
// and wait for it (MessageBox), speak (SceneAnnouncer), keep time and wake up, end.
//
// The ticks come from a precise Qt timer of Timer1's period. Qt schedules each timeout one
// period after the one before on a monotonic clock, so the ticks do not drift; when the event
// loop was held up past a deadline, Qt schedules the next one a period from then, so the ticks
// missed meanwhile are dropped, never delivered in a burst. While the clock is stopped no
// timer is armed at all: the process does not wake for ticks.
//
// The game's menus are popups of the window itself, which never pause a flight; another window
// taking the keyboard, or the window hidden, does.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QLocale>
#include <QMainWindow>
#include <QTimer>

#include "host/driver.h"
#include "qt/key_repeat_filter.h"
#include "qt/menu_binding.h"
#include "qt/message_box.h"
#include "qt/scene_announcer.h"
#include "qt/scene_widget.h"

namespace vandrel::qt {

/// The regional settings of a locale: its decimal point, group separator and negative sign;
/// leading zero, no parentheses and digit grouping, the usual defaults.
Regional regionalOf(const QLocale& locale);

class GameWindow : public QMainWindow, private host::Toolkit {
  public:
    /// Ends the program with an exit status: 0 after End or closing the window, 1 after an
    /// unhandled error.
    using EndHandler = std::function<void(int status)>;

    /// The game with the regional settings of `locale`.
    explicit GameWindow(EndHandler onEnd, const QLocale& locale = QLocale::system());
    ~GameWindow() override;

    /// Runs Form_Load, then shows the window with the keyboard on the scene. False when the
    /// load already ended the program.
    bool start();

    host::Driver& driver() { return *driver_; }
    SceneWidget& scene() { return *scene_; }
    /// The box that is up, if any.
    MessageBox* box() const { return box_; }

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    // What only Qt can do, for the driver.
    void setFont(int label, const host::FontChoice& font) override;
    host::TextSize layOut(int label, std::string_view text) override;
    double trialWidth(const host::FontChoice& font, std::string_view text) override;
    std::optional<host::Rgb> systemColour(SystemColor index) override;
    void changed(host::Pace pace) override;
    void showChecks(std::string_view marks) override;
    host::TextSize boxSize(std::string_view title, std::string_view prompt) override;
    void showBox(std::string_view title, std::string_view prompt, const host::Rect& place) override;
    host::BoxEvent awaitBox() override;
    void hideBox() override;
    double now() override;
    void runClock(bool runs) override;
    void wakeAt(std::optional<std::int64_t> when) override;
    bool listening() override { return announcer_->listening(); }
    void say(std::string_view text, bool atOnce) override;
    void describe(std::string_view) override {}  // the scene's description reads the prompt
    void releasing() override { keys_.flush(); }
    void ended(int status) override;

    /// The player may have gone to another window: a running flight is paused.
    void windowLeft();

    EndHandler onEnd_;
    Regional regional_;
    SceneWidget* scene_;
    std::unique_ptr<SceneAnnouncer> announcer_;  // goes before the view it reads
    std::optional<host::Driver> driver_;
    std::unique_ptr<MenuBinding> menus_;
    KeyRepeatFilter keys_;
    QBasicTimer clock_;
    QElapsedTimer time_;
    QTimer wake_;
    MessageBox* box_ = nullptr;  // laid out or up
};

}  // namespace vandrel::qt
