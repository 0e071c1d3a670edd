// SPDX-License-Identifier: MIT
// The real window: its size and frame, its menus and check marks, and the first frame.
#include <clocale>

#include <QAction>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmapCache>
#include <QRegularExpression>
#include <QScreen>

#include "qt/scene_painter.h"
#include "shell/runtime/text.h"

#include "tests/qt/game_window_fixture.h"
#include "tests/support/form1_probe.h"

namespace vandrel::qt::test {
namespace {

TEST_F(GameWindowTest, ClientAreaIsFixedBelowTheMenuBar) {
    EXPECT_EQ(window.windowTitle(), "Vandrel");
    EXPECT_EQ(window.scene().size(), QSize(727, 503));
    EXPECT_EQ(window.centralWidget(), &window.scene());
    // The scene starts right below the menu bar and fills the rest of the window.
    EXPECT_EQ(window.scene().y(), window.menuBar()->height());
    EXPECT_EQ(window.height(), window.menuBar()->height() + 503);
    EXPECT_EQ(window.width(), 727);
    EXPECT_EQ(window.minimumSize(), window.maximumSize());

    window.resize(900, 700);
    wait(20);
    EXPECT_EQ(window.scene().size(), QSize(727, 503));
    EXPECT_EQ(window.width(), 727);

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
        QAction* action = window.menus().action(name);
        return action->isCheckable() && action->isChecked();
    };
    EXPECT_TRUE(checked("mnuGNormal"));
    EXPECT_TRUE(checked("mnuF500"));
    EXPECT_TRUE(checked("mnuTOn"));
    EXPECT_FALSE(checked("mnuGHigh"));
    EXPECT_FALSE(window.menus().action("mnuReset")->isCheckable());

    window.menus().action("mnuGHigh")->trigger();
    EXPECT_TRUE(checked("mnuGHigh"));
    EXPECT_FALSE(checked("mnuGNormal"));
    EXPECT_FALSE(checked("mnuGNone"));

    // Clicking the checked item again: Qt unchecks it, the game keeps it checked.
    window.menus().action("mnuGHigh")->trigger();
    EXPECT_TRUE(checked("mnuGHigh"));

    window.menus().action("mnuReset")->trigger();
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
    ASSERT_EQ(frame.size(), QSize(727, 503) * window.scene().devicePixelRatio());
    frame = frame.scaled(727, 503);

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
    QImage frame = window.scene().grab().toImage().scaled(727, 503);
    // lblScore covers 8..88 x 80..96 and shows only "Score: " at its left.
    EXPECT_EQ(frame.pixel(80, 88), qRgb(0, 200, 0));
    EXPECT_EQ(frame.pixel(8, 88), qRgb(0, 0, 210));
    EXPECT_EQ(frame.pixel(80, 80), qRgb(0, 0, 210));
}

// The scene is drawn in the order the window creates its controls, each once, except that
// the labels come last: the stars from the last down, the right end of the terrain, the
// hull, the rest of the terrain, the flame, then lblPause to lblFuel. The markers Line2 and
// Line3, created among them, lie right of the client area: they are not drawn at all.
TEST_F(GameWindowTest, DrawingOrderIsTheCreationOrderWithTheLabelsLast) {
    SceneState state = SceneState::capture(view);
    std::string order;
    state.forEachInDrawingOrder(
        [&](int index, const SceneState::LabelLook&) { order += "L" + std::to_string(index); },
        [&](const SceneState::ShapeLook& star) { order += star.left < 100 ? "s" : "S"; },
        [&](const SceneState::LineLook& line) {
            if (&line == &state.Fire)
                order += "F";
            else if (&line >= &state.ship[0] && &line <= &state.ship[8])
                order += "h" + std::to_string(&line - &state.ship[0]);
            else
                order += "g" + std::to_string(&line - &state.Ground[0]);
        });
    // shpStar(0) is the only star left of x = 100 pixels, and is drawn last of the stars.
    EXPECT_EQ(order, "SSSSSSSSSSSSsg12g11g10h8h7h6h5h4h3h2h0h1g9g8g7g6g5g4g3g2g1g0FL0L1L2L3L4");
    for (const Line* marker : {&view.Line2(), &view.Line3()}) {
        EXPECT_GT(std::min(marker->X1, marker->X2), view.ScaleWidth()) << "a marker in view";
    }
    EXPECT_EQ(&LabelTexts::label(view, 0), &view.lblPause());
    EXPECT_EQ(&LabelTexts::label(view, 4), &view.lblFuel());
}

// No star or line is drawn over a readout: a star moved onto lblScore's text leaves the label
// as it was, and the star shows again once it has moved on.
TEST_F(GameWindowTest, LabelsLieAboveTheStarsAndLines) {
    const QRect score(8, 80, 81, 17);
    QImage before = window.scene().grab().toImage().scaled(727, 503);
    Shape& star = Form1Probe::shpStar(form, 0);
    star.Left = 180;  // over "Score: "
    star.Top = 1230;
    Form1Probe::Ground(form, 3) = Form1Probe::Ground(form, 2);  // a line across the box too
    Line& across = Form1Probe::Ground(form, 3);
    across.X1 = 0, across.Y1 = 1300, across.X2 = 2000, across.Y2 = 1340;
    window.scene().refresh();
    QImage over = window.scene().grab().toImage().scaled(727, 503);
    EXPECT_EQ(over.copy(score), before.copy(score));
    EXPECT_GT(countPixels(over, QRect(score.right() + 1, 85, 30, 10), isWhite), 0);  // the line
    star.Left = 3000;
    window.scene().refresh();
    QImage after = window.scene().grab().toImage().scaled(727, 503);
    EXPECT_GT(countPixels(after, QRect(197, 81, 8, 8), isWhite), 0);
}

// At two device pixels a pixel, a readout's border is the outermost ring of device pixels of
// its box: none outside it, none left of the box's face.
TEST_F(GameWindowTest, ReadoutBorderFitsItsBoxAtScaleTwo) {
    QImage frame(727 * 2, 503 * 2, QImage::Format_RGB32);
    frame.setDevicePixelRatio(2);
    frame.fill(Qt::black);
    LabelTexts texts;
    texts.sync(view, window.scene().font());
    QPalette palette = window.scene().palette();
    palette.setColor(QPalette::Button, QColor(0, 200, 0));
    palette.setColor(QPalette::Text, QColor(0, 0, 210));
    {
        QPainter painter(&frame);
        ScenePainter().paint(painter, QRegion(0, 0, 727, 503), SceneState::capture(view), view,
                             texts, palette);
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
    QFont font = labelFont(view.lblHeight(), window.scene().font());
    EXPECT_EQ(QFontInfo(font).styleHint(), QFont::SansSerif);
    EXPECT_GE(font.pixelSize(), 9);
    QFontMetricsF metrics(font);
    for (const char* figure : {"Height: 57.38", "Thrust: 10.0", "Score: 1,389", "Fuel: 9999"}) {
        EXPECT_LE(metrics.horizontalAdvance(QLatin1String(figure)), 78.0) << figure;
    }
    EXPECT_LE(metrics.height(), 15.0);
    // The pause prompt keeps its own font.
    EXPECT_NE(labelFont(view.lblPause(), window.scene().font()), font);
}

// Opening menus for minutes must not grow the window: Qt's style keeps its pixmaps of menu
// items in a cache bounded well below Qt's 10 MiB default.
TEST_F(GameWindowTest, PixmapCacheIsBounded) {
    EXPECT_LE(QPixmapCache::cacheLimit(), 2048);
}

// Every box is placed clear of the hull and the readouts, centred across the scene and whole
// on the screen: Help, About and the outcome of a landing.
TEST_F(GameWindowTest, BoxesLeaveTheHullAndTheReadoutsInView) {
    SceneWidget& scene = window.scene();
    const QRect reach = hullReach(view);
    const QRect hull(scene.mapToGlobal(reach.topLeft()), reach.size());
    const QRect readouts(scene.mapToGlobal(QPoint(8, 8)), QSize(81, 89));
    const QRect onScreen = scene.screen()->availableGeometry();
    std::vector<QRect> frames;
    BoxAnswerer answerer(
        20, [&] { frames.push_back(QApplication::activeModalWidget()->frameGeometry()); });
    window.menus().action("mnuControls")->trigger();
    window.menus().action("mnuABout")->trigger();
    Line& pad = Form1Probe::Ground(form, 7);  // a level pad across the legs
    pad.Y1 = pad.Y2 = 3200;
    window.keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frames.size() == 3; }, 3000));
    EXPECT_EQ(answerer.seen()[2].title, "Landed!");
    for (const QRect& frame : frames) {
        EXPECT_FALSE(frame.intersects(hull)) << frame.y() << " " << hull.bottom();
        EXPECT_FALSE(frame.intersects(readouts));
        EXPECT_TRUE(onScreen.contains(frame));
        EXPECT_NEAR(frame.center().x(), scene.mapToGlobal(scene.rect().center()).x(), 1);
    }
}

TEST(BoxPlace, BelowTheShipAboveItOrWhereverItFitsOnTheScreen) {
    const QSize box(240, 110);
    const QRect screen(0, 0, 1920, 1080);
    const QRect keep(330, 178, 45, 45);  // scene pixels, as placed below
    auto place = [&](QPoint sceneAt) {
        return QRect(
            boxPlace(box, QRect(sceneAt, QSize(727, 503)), keep.translated(sceneAt), screen), box);
    };
    // In the middle of the screen: centred across the scene, in the middle of its lower part.
    QRect middle = place(QPoint(500, 200));
    EXPECT_EQ(middle.center().x(), 500 + 363);
    EXPECT_GT(middle.top(), 200 + keep.bottom());
    EXPECT_LE(middle.bottom(), 200 + 502);
    EXPECT_NEAR(middle.center().y() - 200, (keep.bottom() + 12 + 503) / 2, 2);
    // Low on the screen, no room below the ship: above it.
    QRect low = place(QPoint(500, 1080 - 250));
    EXPECT_LT(low.bottom(), 1080 - 250 + keep.top());
    EXPECT_GE(low.top(), 0);
    // Partly off the screen to the left and the top: whole on the screen all the same.
    QRect off = place(QPoint(-600, -300));
    EXPECT_TRUE(screen.contains(off));
    QRect right = place(QPoint(1800, 100));
    EXPECT_TRUE(screen.contains(right));
}

TEST_F(GameWindowTest, ExitAndClosingEndWithStatusZero) {
    window.close();
    EXPECT_EQ(endStatuses, std::vector<int>{0});
    EXPECT_TRUE(window.ended());
    EXPECT_FALSE(dispatcher.stopped());  // no handler of the game ran
}

TEST_F(GameWindowTest, ExitFromTheMenuEndsTheProgram) {
    window.menus().action("mnuExit")->trigger();
    EXPECT_EQ(endStatuses, std::vector<int>{0});
    EXPECT_TRUE(dispatcher.stopped());
    // Nothing reaches the game any more.
    window.keyDown(kP, 0);
    EXPECT_FALSE(view.Timer1().Enabled);
}

// An unhandled error in a tick: one box titled "Vandrel", then the program ends with status 1
// and no tick runs after it.
TEST_F(GameWindowTest, RunTimeErrorShowsItsBoxAndEndsWithStatusOne) {
    Form1Probe::SpeedY(form) = Currency::fromCount(INT64_MAX - 1);  // the next move overflows
    BoxAnswerer answerer(20);
    window.keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !endStatuses.empty(); }, 2000));
    EXPECT_EQ(endStatuses, std::vector<int>{1});
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Vandrel");
    EXPECT_EQ(answerer.seen()[0].text, "Run-time error: Overflow");
    EXPECT_FALSE(window.clock().running());
    EXPECT_EQ(dispatcher.ticks(), 1u);
}

// A lone Alt tap must not leave the menu bar waiting to swallow the next key.
TEST_F(GameWindowTest, AltTapLeavesArrowsToTheGameAndAltOOpensOptions) {
    QWindow* handle = window.windowHandle();
    QTest::keyClick(handle, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyPress(handle, Qt::Key_Left);
    EXPECT_TRUE(view.TurnKey(0));
    QTest::keyRelease(handle, Qt::Key_Left);
    EXPECT_TRUE(QTest::qWaitFor([this] { return !view.TurnKey(0); }, 2000));
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
    EXPECT_EQ(caption(view.lblThrust()), "Thrust: 1" + s.decimal + "5");

    // A landing on a level pad 720 wide just under the legs, a few ticks into the fall.
    Line& pad = Form1Probe::Ground(form, 8);
    pad.X1 = 4920, pad.X2 = 5640;
    pad.Y1 = pad.Y2 = 3245;
    BoxAnswerer answerer(10);
    window.keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.GameOver() && dispatcher.ticks() > 0; }, 3000));
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Landed!");
    EXPECT_TRUE(
        QRegularExpression("^Height: 59" + QRegularExpression::escape(s.decimal) + "[0-9]+$")
            .match(caption(view.lblHeight()))
            .hasMatch())
        << caption(view.lblHeight()).toStdString();
    const QString score = caption(view.lblScore());

    // R, then one tick burning a thrust of 100 on the last 0.05 of fuel: -99.95 left.
    window.keyDown(kR, 0);
    Form1Probe::Fuel(form) = 0.05_cur;
    Form1Probe::Thrust(form) = 100_cur;
    window.keyDown(kSpace, 0);
    window.keyDown(kP, 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.Fuel() < 0_cur; }, 3000));
    window.keyDown(kP, 0);
    EXPECT_EQ(caption(view.lblFuel()), "Fuel: " + s.minus + "100");
    EXPECT_EQ(caption(view.lblThrust()), "Thrust: 1" + s.group + "000" + s.decimal + "0");

    // The score is a Double, formatted by the core without the C library's printf.
    EXPECT_EQ(score, "Score: 1" + s.group + "389");
}

}  // namespace
}  // namespace vandrel::qt::test
