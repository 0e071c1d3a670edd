// The real window: its size and frame, its menus and check marks, and the first frame.
#include <QAction>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>

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

}  // namespace
}  // namespace vandrel::qt::test
