// SPDX-License-Identifier: MIT
// A whole game in its real Qt window for one test, started as the program starts it. Ending
// the program is recorded instead.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "qt/game_window.h"
#include "qt/message_box.h"
#include "shell/form1.h"
#include "shell/form1_view.h"
#include "shell/runtime/key_codes.h"
#include "tests/support/form1_probe.h"
#include "tests/support/window_size.h"

namespace vandrel::qt::test {

using namespace keys;

/// The scene's size, pixels.
inline constexpr QSize kSceneSize(vandrel::test::kClientWidthPixels,
                                  vandrel::test::kClientHeightPixels);

/// Counts the timer events a watched object gets, and swallows them.
struct WakeUps : QObject {
    int seen = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Timer) return false;
        ++seen;
        return true;
    }
};

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(window.start());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    /// Runs the event loop for a while, as the player would wait.
    static void wait(int ms) { QTest::qWait(ms); }

    /// True when the window wakes for a tick within `ms`: its clock's timer is armed. The
    /// wake-up is kept from the window, so nothing of the game runs meanwhile.
    bool wakesForTicks(int ms) {
        WakeUps wakeUps;
        window.installEventFilter(&wakeUps);
        const bool woke = QTest::qWaitFor([&] { return wakeUps.seen > 0; }, ms);
        window.removeEventFilter(&wakeUps);
        return woke;
    }

    /// The action the player chooses for a menu item, found in the menu bar by its caption.
    QAction* menuAction(std::string_view name) const {
        const QString caption = QString::fromStdString(view.menuItem(name)->Caption);
        QAction* found = nullptr;
        std::function<void(const QList<QAction*>&)> search = [&](const QList<QAction*>& actions) {
            for (QAction* action : actions) {
                if (action->text() == caption) found = action;
                if (action->menu() != nullptr) search(action->menu()->actions());
            }
        };
        search(window.menuBar()->actions());
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    // The player's events, straight to the game's player as the window gives them.
    void keyDown(std::int16_t code, std::int16_t shift = 0) { player.keyDown(code, shift); }
    void keyUp(std::int16_t code, std::int16_t shift = 0) { player.keyUp(code, shift); }
    void click(std::string_view name) { window.driver().click(name); }
    void tick() { window.driver().tick(); }
    /// Paints at once what a test changed in the game's state behind its back.
    void repaint() {
        window.driver().scene().catchUp();
        window.scene().changed(host::Pace::Now);
    }

    std::vector<int> endStatuses;
    GameWindow window{[this](int s) { endStatuses.push_back(s); }};
    host::Player& player = window.driver().player();
    Session& dispatcher = window.driver().game();
    Form1& form = dispatcher.form();
    const Form1View& view = dispatcher.view();
    Form1State& state = Form1Probe::state(form);
};

/// Counts the frames QPainter paints into a widget: its paint events.
class PaintCounter : public QObject {
  public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    std::uint64_t frames() const { return frames_; }

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++frames_;
        return false;
    }

  private:
    std::uint64_t frames_ = 0;
};

/// The message box that is up, or null.
inline MessageBox* openBox() {
    for (QWidget* widget : QApplication::allWidgets()) {
        auto* box = qobject_cast<MessageBox*>(widget);
        if (box != nullptr && box->isVisible()) return box;
    }
    return nullptr;
}

/// Answers every modal message box with OK once it has been open for `holdMs`, noting its
/// title and text; `whileOpen` runs once for every box, just before it is answered.
class BoxAnswerer {
  public:
    struct Seen {
        QString title, text;
    };

    explicit BoxAnswerer(int holdMs, std::function<void()> whileOpen = {})
        : holdMs_(holdMs), whileOpen_(std::move(whileOpen)) {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { check(); });
        poll_.start();
    }

    const std::vector<Seen>& seen() const { return seen_; }

  private:
    void check() {
        MessageBox* box = openBox();
        if (box == nullptr || box == answering_) return;
        answering_ = box;
        seen_.push_back({box->title(), box->prompt()});
        QTimer::singleShot(holdMs_, box, [this, box] {
            if (whileOpen_) whileOpen_();
            box->ok().click();
            answering_ = nullptr;  // the next box may reuse this one's address
        });
    }

    int holdMs_;
    std::function<void()> whileOpen_;
    QTimer poll_;
    MessageBox* answering_ = nullptr;
    std::vector<Seen> seen_;
};

}  // namespace vandrel::qt::test
