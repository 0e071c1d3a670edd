// SPDX-License-Identifier: MIT
#include "qt/game_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHideEvent>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QTimerEvent>

#include "host/box.h"
#include "qt/host_rects.h"
#include "shell/game_name.h"
#include "shell/runtime/key_codes.h"

// The icon lives in the library's resources, which a static library must register itself.
static void initIconResources() {
    Q_INIT_RESOURCE(vandrel);
}

namespace vandrel::qt {

namespace {

// The menu bar's style: the application's own, except that a lone tap of Alt does not put
// the menu bar into keyboard mode, where it would swallow the next arrow key or space bar.
// Alt+F, Alt+O and Alt+H still open their menus.
class MenuBarStyle : public QProxyStyle {
  public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_MenuBar_AltKeyNavigation) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

constexpr int kPixmapCacheKiB = 2048;

QIcon gameIcon() {
    initIconResources();
    // The coloured images only: a task switcher given the two-colour one shows a black square.
    QIcon icon;
    for (const char* name : {"vandrel-16", "vandrel-32", "icon-48", "icon-64", "icon-128"})
        icon.addFile(QStringLiteral(":/icons/%1.png").arg(QLatin1String(name)));
    return icon;
}

}  // namespace

GameWindow::GameWindow(EndHandler onEnd, const QLocale& locale)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      platform_(locale),
      game_(platform_),
      view_(game_.view()),
      player_(game_, *this),
      onEnd_(std::move(onEnd)),
      keys_(
          requestDetectableAutoRepeat(),
          [this](std::int16_t code, std::int16_t shift) { keyDown(code, shift); },
          [this](std::int16_t code, std::int16_t shift) { player_.released(code, shift); }) {
    setWindowTitle(QString::fromStdString(view_.state().Caption));
    setWindowIcon(gameIcon());

    // The style keeps pixmaps of the menus it drew in Qt's cache, 10 MiB of them by default;
    // a few hundred KiB hold every menu of the game, so long menu sessions stay small.
    QPixmapCache::setCacheLimit(kPixmapCacheKiB);

    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);  // the menus belong to the window, above the scene
    auto* barStyle = new MenuBarStyle;
    barStyle->setParent(bar);
    bar->setStyle(barStyle);
    setMenuBar(bar);
    menus_ =
        std::make_unique<MenuBinding>(*bar, view_, [this](std::string_view name) { click(name); });

    scene_ = new SceneWidget(view_, this);
    scene_->installEventFilter(&keys_);
    scene_->installEventFilter(this);
    setCentralWidget(scene_);
    announcer_ = std::make_unique<SceneAnnouncer>(*scene_, view_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    platform_.setHost(scene_, toQRect(host::keptInView(view_)),
                      [this](MessageBox* box) { boxUp(box); });
}

bool GameWindow::start() {
    player_.load();
    if (ended_) return false;
    show();
    scene_->setFocus(Qt::OtherFocusReason);
    return true;
}

void GameWindow::keyDown(std::int16_t keyCode, std::int16_t shift) {
    player_.keyDown(keyCode, shift);
}

void GameWindow::keyUp(std::int16_t keyCode, std::int16_t shift) {
    player_.keyUp(keyCode, shift);
}

void GameWindow::click(std::string_view menuName) {
    player_.click(menuName);
    // Qt has toggled the clicked action already; put the game's check marks back.
    menus_->refresh(true);
}

void GameWindow::tick() {
    player_.tick();
}

void GameWindow::ran(bool fromClock) {
    menus_->refresh();
    runClock();
    scene_->refresh(fromClock ? SceneWidget::Pace::Display : SceneWidget::Pace::Event);
    announcer_->update();
}

void GameWindow::failed(const std::string& prompt) {
    setClockRunning(false);
    platform_.showBox(prompt, kGameName);
    // unless the window was closed under the box: then it ended with 0
    end(1, Ending::Error);
}

void GameWindow::setClockRunning(bool running) {
    if (running == clockRunning_) return;
    clockRunning_ = running;
    armClock();
}

void GameWindow::armClock() {
    if (clockRunning_ && !boxUp_) {
        clock_.start(view_.state().Timer1.Interval, Qt::PreciseTimer, this);  // a fresh period
    } else {
        clock_.stop();
    }
}

void GameWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == clock_.timerId()) {
        tick();
    } else {
        QMainWindow::timerEvent(event);
    }
}

void GameWindow::end(int status, Ending ending) {
    if (ended_) return;
    ended_ = true;
    ending_ = ending;
    player_.close();
    setClockRunning(false);
    onEnd_(status);
    platform_.closeBoxes();  // the handler waiting in one stops there
}

void GameWindow::boxUp(MessageBox* box) {
    // While a box is up nothing reaches the game: no tick is raised, the menus are shut, and
    // the scene cannot take the keyboard back from the box with a click.
    const bool up = box != nullptr;
    if (up) {
        announcer_->boxOpens();
    } else {
        announcer_->boxGone();
    }
    if (up != boxUp_) {
        boxUp_ = up;
        armClock();  // the clock goes on with a fresh period when the box has gone
    }
    menuBar()->setEnabled(!up);
    scene_->setFocusPolicy(up ? Qt::NoFocus : Qt::StrongFocus);
    // The player sees the scene as the handler left it (the green or red hull).
    scene_->setBoxOver(up);
    if (up) {
        box->setKeysHeld(player_.heldKeys());
    } else if (!ended_) {
        scene_->setFocus(Qt::OtherFocusReason);
    }
}

void GameWindow::windowLeft() {
    player_.windowLeft(QApplication::activePopupWidget() != nullptr);
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scene_ && event->type() == QEvent::FocusOut) player_.keyboardLeft();
    return QMainWindow::eventFilter(watched, event);
}

void GameWindow::hideEvent(QHideEvent* event) {
    windowLeft();  // hidden or minimized: the player cannot fly it
    QMainWindow::hideEvent(event);
}

bool GameWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate ||
        (event->type() == QEvent::ActivationChange && !isActiveWindow())) {
        windowLeft();
    }
    return QMainWindow::event(event);
}

void GameWindow::closeEvent(QCloseEvent* event) {
    // Closing by the frame ends the program at once; no handler of the game runs.
    event->accept();
    end(0, Ending::Close);
}

}  // namespace vandrel::qt
