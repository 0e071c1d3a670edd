// SPDX-License-Identifier: MIT
// The real window: its size and frame, its menus and check marks, and the first frame.
#include <clocale>

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmapCache>
#include <QRegularExpression>
#include <QScreen>

#include "host/label_place.h"
#include "qt/host_rects.h"
#include "qt/painter_surface.h"
#include "shell/runtime/text.h"

#include "tests/qt/game_window_fixture.h"
#include "tests/support/form1_probe.h"

namespace vandrel::qt::test {
namespace {

TEST_F(GameWindowTest, ClientAreaIsFixedBelowTheMenuBar) {
    EXPECT_EQ(window.windowTitle(), "Vandrel");
    EXPECT_EQ(window.scene().size(), kSceneSize);
    EXPECT_EQ(window.centralWidget(), &window.scene());
    // The scene starts right below the menu bar and fills the rest of the window.
    EXPECT_EQ(window.scene().y(), window.menuBar()->height());
    EXPECT_EQ(window.height(), window.menuBar()->height() + kSceneSize.height());
    EXPECT_EQ(window.width(), kSceneSize.width());
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    window.resize(900, 700);
    wait(20);
    EXPECT_EQ(window.scene().size(), kSceneSize);
    EXPECT_EQ(window.width(), kSceneSize.width());

    Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
}

// The window manager and task switchers get the coloured images, at every size they ask
// for; the two-colour image stays in the program but is never offered.
TEST_F(GameWindowTest, WindowIconIsTheColouredOne) {
    QIcon icon = window.windowIcon();
    EXPECT_EQ(icon.availableSizes(),
              (QList<QSize>{{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
    for (int size : {16, 32}) {
        QImage image = icon.pixmap(size).toImage();
        ASSERT_EQ(image.size(), QSize(size, size));
        bool coloured = false;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                QColor c = image.pixelColor(x, y);
                coloured = coloured || c.red() - c.blue() > 80;  // the flame
            }
        EXPECT_TRUE(coloured) << size << " px";
    }
    EXPECT_TRUE(QFile::exists(QStringLiteral(":/icons/vandrel-32-mono.png")));
}

TEST_F(GameWindowTest, MenuBarHasTheGamesTreeWithMnemonics) {
    QList<QAction*> bar = window.menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->text(), "&File");
    EXPECT_EQ(bar[1]->text(), "&Options");
    EXPECT_EQ(bar[2]->text(), "&Help");

    QList<QAction*> options = bar[1]->menu()->actions();
    ASSERT_EQ(options.size(), 4);
    EXPECT_EQ(options[0]->text(), "Gravity");
    EXPECT_EQ(options[3]->text(), "Reset");
    ASSERT_NE(options[1]->menu(), nullptr);
    QList<QAction*> fuel = options[1]->menu()->actions();
    ASSERT_EQ(fuel.size(), 4);
    EXPECT_EQ(fuel[3]->text(), "Over 9000!");
    EXPECT_EQ(bar[0]->menu()->actions().at(0)->text(), "E&xit");
}

// Only the chosen item of a group shows a check mark, whatever Qt toggled on its own.
TEST_F(GameWindowTest, CheckMarksFollowTheGameAfterAClick) {
    auto checked = [this](const char* name) {
        QAction* action = menuAction(name);
        return action->isCheckable() && action->isChecked();
    };
    EXPECT_TRUE(checked("mnuGNormal"));
    EXPECT_TRUE(checked("mnuF500"));
    EXPECT_TRUE(checked("mnuTOn"));
    EXPECT_FALSE(checked("mnuGHigh"));
    EXPECT_FALSE(menuAction("mnuReset")->isCheckable());

    menuAction("mnuGHigh")->trigger();
    EXPECT_TRUE(checked("mnuGHigh"));
    EXPECT_FALSE(checked("mnuGNormal"));
    EXPECT_FALSE(checked("mnuGNone"));

    // Clicking the checked item again: Qt unchecks it, the game keeps it checked.
    menuAction("mnuGHigh")->trigger();
    EXPECT_TRUE(checked("mnuGHigh"));

    menuAction("mnuReset")->trigger();
    EXPECT_TRUE(checked("mnuTOff"));
    EXPECT_FALSE(checked("mnuTOn"));
    EXPECT_TRUE(checked("mnuGNormal"));
    EXPECT_FALSE(checked("mnuGHigh"));
}

bool isWhite(QRgb c) {
    return qRed(c) > 220 && qGreen(c) > 220 && qBlue(c) > 220;
}
bool isRed(QRgb c) {
    return qRed(c) > 150 && qGreen(c) < 90 && qBlue(c) < 90;
}

int countPixels(const QImage& image, QRect area, bool (*match)(QRgb)) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += match(image.pixel(x, y));
    }
    return count;
}

TEST_F(GameWindowTest, FirstFrameShowsHullPromptAndNoFlame) {
    QImage frame = window.scene().grab().toImage();
    ASSERT_EQ(frame.size(), kSceneSize * window.scene().devicePixelRatio());
    frame = frame.scaled(kSceneSize);

    // The hull centre at (352, 200) is on the white centre strut.
    EXPECT_GT(countPixels(frame, QRect(350, 199, 5, 5), isWhite), 0);
    // The flame would run from the cabin floor down to y = 240: hidden, nothing red there.
    EXPECT_EQ(countPixels(frame, QRect(345, 200, 15, 45), isRed), 0);
    // The red prompt stays inside lblPause's box, 296..409 x 144..161.
    EXPECT_GT(countPixels(frame, QRect(296, 144, 113, 17), isRed), 20);
    EXPECT_EQ(countPixels(frame, QRect(280, 130, 150, 14), isRed), 0);
    EXPECT_EQ(countPixels(frame, QRect(280, 162, 150, 10), isRed), 0);
}

// The readouts' face and border are the palette's button face and window text.
TEST_F(GameWindowTest, SystemColoursComeFromThePalette) {
    QPalette palette = window.scene().palette();
    palette.setColor(QPalette::Button, QColor(0, 200, 0));
    palette.setColor(QPalette::Text, QColor(0, 0, 210));
    window.scene().setPalette(palette);
    QImage frame = window.scene().grab().toImage().scaled(kSceneSize);
    // lblScore covers 8..88 x 80..96 and shows only "Score: " at its left.
    EXPECT_EQ(frame.pixel(80, 88), qRgb(0, 200, 0));
    EXPECT_EQ(frame.pixel(8, 88), qRgb(0, 0, 210));
    EXPECT_EQ(frame.pixel(80, 80), qRgb(0, 0, 210));
}

// No star or line is drawn over a readout: a star moved onto lblScore's text leaves the label
// as it was, and the star shows again once it has moved on.
TEST_F(GameWindowTest, LabelsLieAboveTheStarsAndLines) {
    const QRect score(8, 80, 81, 17);
    QImage before = window.scene().grab().toImage().scaled(kSceneSize);
    Shape& star = state.shpStar(0);
    star.Left = 180;  // over "Score: "
    star.Top = 1230;
    state.Ground(3) = state.Ground(2);  // a line across the box too
    Line& across = state.Ground(3);
    across.X1 = 0, across.Y1 = 1300, across.X2 = 2000, across.Y2 = 1340;
    repaint();
    QImage over = window.scene().grab().toImage().scaled(kSceneSize);
    EXPECT_EQ(over.copy(score), before.copy(score));
    EXPECT_GT(countPixels(over, QRect(score.right() + 1, 85, 30, 10), isWhite), 0);  // the line
    star.Left = 3000;
    repaint();
    QImage after = window.scene().grab().toImage().scaled(kSceneSize);
    EXPECT_GT(countPixels(after, QRect(197, 81, 8, 8), isWhite), 0);
}

// At two device pixels a pixel, a readout's border is the outermost ring of device pixels of
// its box: none outside it, none left of the box's face.
TEST_F(GameWindowTest, ReadoutBorderFitsItsBoxAtScaleTwo) {
    QImage frame(kSceneSize * 2, QImage::Format_RGB32);
    frame.setDevicePixelRatio(2);
    frame.fill(Qt::black);
    QPalette palette = window.scene().palette();
    palette.setColor(QPalette::Button, QColor(0, 200, 0));
    palette.setColor(QPalette::Text, QColor(0, 0, 210));
    window.scene().setPalette(palette);
    {
        QPainter painter(&frame);
        PainterSurface surface(painter, window.scene().texts());
        host::Damage all(kSceneSize.width(), kSceneSize.height());
        all.addAll();
        window.driver().scene().paint(surface, all);
    }
    // lblFuel covers 8..88 x 8..24 pixels: device pixels 16..177 x 16..49.
    const QRgb border = qRgb(0, 0, 210), face = qRgb(0, 200, 0), black = qRgb(0, 0, 0);
    for (int y : {16, 17, 48, 49}) {
        EXPECT_EQ(frame.pixel(100, y), border) << y;
    }
    for (int x : {16, 17, 176, 177}) {
        EXPECT_EQ(frame.pixel(x, 30), border) << x;
    }
    EXPECT_EQ(frame.pixel(15, 30), black);
    EXPECT_EQ(frame.pixel(100, 15), black);
    EXPECT_EQ(frame.pixel(178, 30), black);
    EXPECT_EQ(frame.pixel(100, 50), black);
    EXPECT_EQ(frame.pixel(18, 18), face);
    EXPECT_EQ(frame.pixel(175, 47), face);
}

// The widest figures of a normal flight fit whole in the readouts, in a sans-serif face.
TEST_F(GameWindowTest, ReadoutFontFitsTheWidestFigures) {
    LabelTexts& texts = window.scene().texts();
    constexpr int kHeight = 2, kPause = 0;  // in kLabels
    ASSERT_EQ(kLabels[kHeight].kind, SceneControl::Kind::lblHeight);
    const QRawFont& font = texts.text(kHeight).font;
    EXPECT_GE(font.pixelSize(), 9);
    for (std::string_view figure : host::kWidestReadouts) {
        const host::TextSize size = texts.layOut(kHeight, figure);
        EXPECT_LE(size.width, 78.0) << figure;
        EXPECT_LE(size.height, 15.0) << figure;
    }
    texts.layOut(kHeight, state.lblHeight.Caption);
    // The pause prompt keeps its own font.
    EXPECT_NE(texts.text(kPause).font, font);
}

// Opening menus for minutes must not grow the window: Qt's style keeps its pixmaps of menu
// items in a cache bounded well below Qt's 10 MiB default.
TEST_F(GameWindowTest, PixmapCacheIsBounded) {
    EXPECT_LE(QPixmapCache::cacheLimit(), 2048);
}

// Every box is drawn over the scene, whole inside it and centred across it, clear of the
// readouts' text and of the hull for every attitude: Help, About, the outcome of a landing and
// a run-time error.
TEST_F(GameWindowTest, BoxesLeaveTheHullAndTheReadoutsInView) {
    SceneWidget& scene = window.scene();
    std::vector<QRect> boxes;  // scene pixels
    BoxAnswerer answerer(20, [&] {
        MessageBox* box = openBox();
        EXPECT_EQ(box->parentWidget(), &scene);
        boxes.push_back(box->geometry());
    });
    menuAction("mnuControls")->trigger();
    menuAction("mnuABout")->trigger();
    Line& pad = state.Ground(7);  // a level pad across the legs
    pad.Y1 = pad.Y2 = 3200;
    keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == 3; }, 3000));
    EXPECT_EQ(answerer.seen()[2].title, "Landed!");
    keyDown(kR, 0);
    state.SpeedY = Currency::fromCount(INT64_MAX - 1);  // the next move overflows
    keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return boxes.size() == 4; }, 3000));
    EXPECT_EQ(answerer.seen()[3].title, "Vandrel");

    for (const QRect& box : boxes) {
        EXPECT_TRUE(scene.rect().contains(box)) << box.y() << " " << box.bottom();
        EXPECT_NEAR(box.center().x(), scene.rect().center().x(), 1);
        for (SceneControl label : kLabels) {
            EXPECT_FALSE(box.intersects(toQRect(host::labelBox(view.label(label)))));
        }
    }
    // Every attitude, a step of the arrow keys apart, all round.
    Form1Probe::state(form).GameOver = false;
    for (std::int16_t step = 0; step < 32; ++step) {
        Form1Probe::state(form).Angle = 4.9_cur + 0.2_cur * step;
        Form1Probe::UpdateShip(form);
        const host::SceneState state = host::SceneState::capture(view);
        for (const host::SceneState::LineLook& line : state.ship) {
            for (const QRect& box : boxes)
                EXPECT_FALSE(box.intersects(toQRect(host::footprint(line)))) << step;
        }
    }
}

TEST_F(GameWindowTest, ExitAndClosingEndWithStatusZero) {
    window.close();
    EXPECT_EQ(endStatuses, std::vector<int>{0});
    EXPECT_TRUE(window.driver().ended());
    EXPECT_FALSE(dispatcher.stopped());  // no handler of the game ran
}

// Closing the window under a box ends the program at once with status 0: the box's loop ends
// and nothing more of the handler that opened it runs (Touchdown never sets GameOver).
// Starts the flight and closes the window as soon as a box is up; true once the program ended.
bool flyAndCloseUnderTheBox(GameWindow& window, const std::vector<int>& endStatuses) {
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (openBox() != nullptr) window.close();
    });
    closer.start(5);
    window.driver().player().keyDown(kP, 0);
    return QTest::qWaitFor([&] { return !endStatuses.empty(); }, 3000);
}

TEST_F(GameWindowTest, ClosingUnderABoxEndsAtOnceWithStatusZero) {
    Line& pad = state.Ground(7);
    pad.Y1 = pad.Y2 = 3200;
    ASSERT_TRUE(flyAndCloseUnderTheBox(window, endStatuses));
    EXPECT_EQ(endStatuses, std::vector<int>{0});
    EXPECT_EQ(openBox(), nullptr);
    EXPECT_FALSE(state.GameOver);
    EXPECT_TRUE(dispatcher.stopped());
    wait(30);
    EXPECT_EQ(dispatcher.ticks(), 1u);
}

// Under the run-time error's box as well: status 0, not the error's 1.
TEST_F(GameWindowTest, ClosingUnderTheErrorBoxEndsWithStatusZero) {
    state.SpeedY = Currency::fromCount(INT64_MAX - 1);
    ASSERT_TRUE(flyAndCloseUnderTheBox(window, endStatuses));
    EXPECT_EQ(endStatuses, std::vector<int>{0});
    EXPECT_EQ(openBox(), nullptr);
}

// While a box is up it has the keyboard and the menus are shut: a key goes to the box, a
// click on the scene does not take the keyboard back, a held key's repeats do not answer it.
// Return, Enter, Space, Escape or a click on OK does; then the scene has the keyboard again.
TEST_F(GameWindowTest, BoxTakesTheKeyboardAndEnterSpaceOrAClickAnswersIt) {
    QWindow* handle = window.windowHandle();
    const std::pair<const char*, std::function<void(MessageBox&)>> answers[] = {
        {"Return", [&](MessageBox&) { QTest::keyClick(handle, Qt::Key_Return); }},
        {"Enter", [&](MessageBox&) { QTest::keyClick(handle, Qt::Key_Enter, Qt::KeypadModifier); }},
        {"Space", [&](MessageBox&) { QTest::keyClick(handle, Qt::Key_Space); }},
        {"Escape", [&](MessageBox&) { QTest::keyClick(handle, Qt::Key_Escape); }},
        {"a click", [](MessageBox& box) { QTest::mouseClick(&box.ok(), Qt::LeftButton); }},
    };
    for (const auto& [what, answer] : answers) {
        QTimer::singleShot(0, [&] {
            MessageBox* box = openBox();
            ASSERT_NE(box, nullptr);
            QTimer::singleShot(3000, box, [box, what = what] {
                ADD_FAILURE() << what << " did not answer the box";
                box->ok().click();
            });
            EXPECT_EQ(QApplication::focusWidget(), &box->ok());
            EXPECT_FALSE(window.menuBar()->isEnabled());
            QTest::keyClick(handle, Qt::Key_P);
            QTest::mouseClick(&window.scene(), Qt::LeftButton, {}, QPoint(100, 300));
            EXPECT_EQ(QApplication::focusWidget(), &box->ok());
            QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(&box->ok(), &repeat);
            EXPECT_TRUE(box->isVisible());
            answer(*box);
        });
        menuAction("mnuABout")->trigger();  // returns once the box is answered
        EXPECT_EQ(openBox(), nullptr) << what;
        EXPECT_TRUE(window.scene().hasFocus()) << what;
        EXPECT_TRUE(window.menuBar()->isEnabled());
    }
    EXPECT_FALSE(state.Timer1.Enabled) << "a P pressed under a box reached the game";
}

TEST_F(GameWindowTest, ExitFromTheMenuEndsTheProgram) {
    menuAction("mnuExit")->trigger();
    EXPECT_EQ(endStatuses, std::vector<int>{0});
    EXPECT_TRUE(dispatcher.stopped());
    // Nothing reaches the game any more.
    keyDown(kP, 0);
    EXPECT_FALSE(state.Timer1.Enabled);
}

// An unhandled error in a tick: one box titled "Vandrel", then the program ends with status 1
// and no tick runs after it.
TEST_F(GameWindowTest, RunTimeErrorShowsItsBoxAndEndsWithStatusOne) {
    state.SpeedY = Currency::fromCount(INT64_MAX - 1);  // the next move overflows
    BoxAnswerer answerer(20);
    keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !endStatuses.empty(); }, 2000));
    EXPECT_EQ(endStatuses, std::vector<int>{1});
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Vandrel");
    EXPECT_EQ(answerer.seen()[0].text, "Run-time error: Overflow");
    EXPECT_FALSE(wakesForTicks(50));
    EXPECT_EQ(dispatcher.ticks(), 1u);
}

// A lone Alt tap must not leave the menu bar waiting to swallow the next key.
TEST_F(GameWindowTest, AltTapLeavesArrowsToTheGameAndAltOOpensOptions) {
    QWindow* handle = window.windowHandle();
    QTest::keyClick(handle, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyPress(handle, Qt::Key_Left);
    EXPECT_TRUE(state.TurnKey(0));
    QTest::keyRelease(handle, Qt::Key_Left);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !state.TurnKey(0); }, 2000));
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    QTest::keyClick(handle, Qt::Key_O, Qt::AltModifier);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->title(), "&Options");
    popup->close();
}

// The readouts as the desktop's locale writes numbers. The test command runs this case in
// processes started under de_DE.UTF-8, fr_FR.UTF-8 and C.UTF-8 (LANG and LC_ALL), so that Qt
// and the C library both take the locale up, as on a player's desktop.
struct Separators {
    QString decimal, group, minus;
};

Separators separatorsOf(const QLocale& desktop) {
    if (desktop.name() == "de_DE") return {",", ".", "-"};
    if (desktop.name() == "fr_FR") return {",", QString(QChar(0x202F)), "-"};  // narrow space
    if (desktop.name() == "C") return {".", ",", "-"};
    return {desktop.decimalPoint(), desktop.groupSeparator(), desktop.negativeSign()};
}

QString caption(const Label& label) {
    return QString::fromStdString(label.Caption);
}

TEST_F(GameWindowTest, ReadoutsFollowTheDesktopLocale) {
    const QLocale desktop = QLocale::system();
    const Separators s = separatorsOf(desktop);
    if (desktop.name() == "de_DE" || desktop.name() == "fr_FR") {
        // For real: the C library runs in the comma locale too, as it does on such a desktop.
        ASSERT_STREQ(std::localeconv()->decimal_point, ",")
            << "the locale is not installed: scripts/setup.sh generates it";
    }
    EXPECT_EQ(caption(state.lblThrust), "Thrust: 1" + s.decimal + "5");

    // A landing on a level pad 720 wide just under the legs, a few ticks into the fall.
    Line& pad = state.Ground(8);
    pad.X1 = 4920, pad.X2 = 5640;
    pad.Y1 = pad.Y2 = 3245;
    BoxAnswerer answerer(10);
    keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.GameOver && dispatcher.ticks() > 0; }, 3000));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Landed!");
    EXPECT_TRUE(
        QRegularExpression("^Height: 59" + QRegularExpression::escape(s.decimal) + "[0-9]+$")
            .match(caption(state.lblHeight))
            .hasMatch())
        << caption(state.lblHeight).toStdString();
    const QString score = caption(state.lblScore);

    // R, then one tick burning a thrust of 100 on the last 0.05 of fuel: -99.95 left.
    keyDown(kR, 0);
    state.Fuel = 0.05_cur;
    state.Thrust = 100_cur;
    keyDown(kSpace, 0);
    keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return state.Fuel < 0_cur; }, 3000));
    keyDown(kP, 0);
    EXPECT_EQ(caption(state.lblFuel), "Fuel: " + s.minus + "100");
    EXPECT_EQ(caption(state.lblThrust), "Thrust: 1" + s.group + "000" + s.decimal + "0");

    // The score is a Double, formatted by the core without the C library's printf.
    EXPECT_EQ(score, "Score: 1" + s.group + "389");
}

}  // namespace
}  // namespace vandrel::qt::test
