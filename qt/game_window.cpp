// SPDX-License-Identifier: MIT
#include "qt/game_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHideEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPixmapCache>
#include <QProxyStyle>
#include <QTimerEvent>

#include "host/announcements.h"
#include "qt/host_rects.h"

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

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The palette's colour for a system colour of the scene.
QColor paletteColour(SystemColor index, const QPalette& palette) {
    switch (index) {
        case SystemColor::WindowBackground:
            return palette.color(QPalette::Active, QPalette::Base);
        case SystemColor::MenuText:
            return palette.color(QPalette::Active, QPalette::WindowText);
        case SystemColor::WindowText:
            return palette.color(QPalette::Active, QPalette::Text);
        case SystemColor::ButtonFace:
            return palette.color(QPalette::Active, QPalette::Button);
        case SystemColor::ButtonText:
            return palette.color(QPalette::Active, QPalette::ButtonText);
    }
    return QColor();  // an index the scene never uses
}

}  // namespace

Regional regionalOf(const QLocale& locale) {
    Regional regional;
    regional.decimalSeparator = locale.decimalPoint().toStdString();
    regional.groupSeparator = locale.groupSeparator().toStdString();
    regional.negativeSign = locale.negativeSign().toStdString();
    return regional;
}

GameWindow::GameWindow(EndHandler onEnd, const QLocale& locale)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      onEnd_(std::move(onEnd)),
      regional_(regionalOf(locale)),
      keys_(requestDetectableAutoRepeat(), [this](const host::KeyEvent& key) {
          if (driver_) driver_->key(key);
      }) {
    time_.start();
    wake_.setSingleShot(true);
    wake_.setTimerType(Qt::PreciseTimer);  // never sooner than asked
    connect(&wake_, &QTimer::timeout, this, [this] { driver_->wake(); });

    // The style keeps pixmaps of the menus it drew in Qt's cache, 10 MiB of them by default;
    // a few hundred KiB hold every menu of the game, so long menu sessions stay small.
    QPixmapCache::setCacheLimit(kPixmapCacheKiB);

    scene_ = new SceneWidget(QSize(1, 1), this);
    driver_.emplace(static_cast<host::Toolkit&>(*this), regional_);
    const Form1View& view = driver_->game().view();
    const host::Rect area = host::sceneArea(view);
    scene_->setFixedSize(area.width, area.height);
    scene_->attach(*driver_);
    scene_->installEventFilter(&keys_);
    scene_->installEventFilter(this);
    setCentralWidget(scene_);
    announcer_ =
        std::make_unique<SceneAnnouncer>(*scene_, view, [this] { driver_->listenerCame(); });

    setWindowTitle(QString::fromStdString(view.state().Caption));
    setWindowIcon(gameIcon());
    auto* bar = new QMenuBar(this);
    bar->setNativeMenuBar(false);  // the menus belong to the window, above the scene
    auto* barStyle = new MenuBarStyle;
    barStyle->setParent(bar);
    bar->setStyle(barStyle);
    setMenuBar(bar);
    menus_ = std::make_unique<MenuBinding>(*bar, view, [this](std::string_view name) {
        driver_->click(name);
        // Qt has toggled the clicked action already; put the game's check marks back.
        menus_->refresh(true);
    });
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

GameWindow::~GameWindow() {
    announcer_.reset();
}

bool GameWindow::start() {
    driver_->start();
    if (driver_->ended()) return false;
    show();
    scene_->setFocus(Qt::OtherFocusReason);
    return true;
}

void GameWindow::setFont(int label, const host::FontChoice& font) {
    scene_->texts().setFont(label, toQFont(font, scene_->font()));
}

host::TextSize GameWindow::layOut(int label, std::string_view text) {
    return scene_->texts().layOut(label, text);
}

double GameWindow::trialWidth(const host::FontChoice& font, std::string_view text) {
    return scene_->texts().width(toQFont(font, scene_->font()), text);
}

std::optional<host::Rgb> GameWindow::systemColour(SystemColor index) {
    const QColor colour = paletteColour(index, scene_->palette());
    if (!colour.isValid()) return std::nullopt;
    return host::Rgb{static_cast<std::uint8_t>(colour.red()),
                     static_cast<std::uint8_t>(colour.green()),
                     static_cast<std::uint8_t>(colour.blue())};
}

void GameWindow::changed(host::Pace pace) {
    scene_->changed(pace);
    // The labels' texts a listener's copy of the tree holds: the readouts' not with every tick
    // of a flight.
    announcer_->tellTree(!host::Announcements::flying(driver_->game().view(), driver_->boxUp()));
}

void GameWindow::showChecks(std::string_view) {
    menus_->refresh();
}

host::TextSize GameWindow::boxSize(std::string_view title, std::string_view prompt) {
    delete box_;
    box_ = new MessageBox(fromUtf8(title), fromUtf8(prompt), *scene_);
    return {static_cast<double>(box_->width()), static_cast<double>(box_->height())};
}

void GameWindow::showBox(std::string_view, std::string_view, const host::Rect& place) {
    // While a box is up nothing reaches the game: the menus are shut, and the scene cannot
    // take the keyboard back from the box with a click.
    menuBar()->setEnabled(false);
    scene_->setFocusPolicy(Qt::NoFocus);
    // The player sees the scene as the handler left it (the green or red hull).
    scene_->setBoxOver(true);
    announcer_->tellTree(true);
    box_->showAt(toQRect(place));
}

host::BoxEvent GameWindow::awaitBox() {
    return box_->next();
}

void GameWindow::hideBox() {
    delete box_;
    box_ = nullptr;
    menuBar()->setEnabled(true);
    scene_->setFocusPolicy(Qt::StrongFocus);
    scene_->setBoxOver(false);
    if (!driver_->ended()) scene_->setFocus(Qt::OtherFocusReason);
}

double GameWindow::now() {
    return static_cast<double>(time_.nsecsElapsed()) / 1e6;
}

void GameWindow::runClock(bool runs) {
    if (runs) {
        clock_.start(driver_->game().view().state().Timer1.Interval, Qt::PreciseTimer, this);
    } else {
        clock_.stop();
    }
}

void GameWindow::wakeAt(std::optional<std::int64_t> when) {
    if (!when) {
        wake_.stop();
        return;
    }
    wake_.start(static_cast<int>(std::max<double>(0, static_cast<double>(*when) - now())));
}

void GameWindow::say(std::string_view text, bool /*atOnce: Orca speaks each notification so*/) {
    announcer_->say(text);
}

void GameWindow::ended(int status) {
    clock_.stop();
    onEnd_(status);
    if (box_ != nullptr) box_->abandon();  // the handler waiting in it stops there
}

void GameWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() == clock_.timerId()) {
        driver_->tick();
    } else {
        QMainWindow::timerEvent(event);
    }
}

void GameWindow::windowLeft() {
    driver_->windowLeft(QApplication::activePopupWidget() != nullptr);
}

bool GameWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == scene_ && event->type() == QEvent::FocusOut) driver_->keyboardLeft();
    return QMainWindow::eventFilter(watched, event);
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
    // F10 takes the keyboard to the menu bar, its first menu open.
    if (event->key() == Qt::Key_F10 && event->modifiers() == Qt::NoModifier &&
        menuBar()->isEnabled() && !menuBar()->actions().isEmpty()) {
        menuBar()->setActiveAction(menuBar()->actions().first());
        return;
    }
    QMainWindow::keyPressEvent(event);
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
    driver_->close();
}

}  // namespace vandrel::qt
