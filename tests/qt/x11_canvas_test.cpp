// SPDX-License-Identifier: MIT
// The scene drawn by the X server: its frames against the same frames painted by QPainter. The
// frame comparisons need a real X display; the window checks run them under their own Xvfb, and
// elsewhere they skip.
#include <cmath>
#include <map>
#include <optional>

#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>

#include "qt/host_rects.h"
#include "qt/painter_surface.h"
#include "qt/x11_canvas.h"
#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

const QRect kWindow(QPoint(), kSceneSize);

class X11CanvasTest : public GameWindowTest {
  protected:
    void SetUp() override {
        if (!X11Canvas::available()) GTEST_SKIP() << "the scene is drawn by the server on X11 only";
        GameWindowTest::SetUp();
    }

    // The scene's pixels as the X server shows them.
    QImage shown() {
        SceneWidget& scene = window.scene();
        return scene.screen()
            ->grabWindow(scene.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }

    // The same frame painted by QPainter, as on any other platform.
    QImage painted() {
        QImage frame(kWindow.size(), QImage::Format_RGB32);
        QPainter painter(&frame);
        PainterSurface surface(painter, window.scene().texts());
        host::Damage all(kWindow.width(), kWindow.height());
        all.addAll();
        window.driver().scene().paint(surface, all);
        return frame;
    }

    // Pixels as black, white, red or other.
    static char kind(QRgb pixel) {
        int r = qRed(pixel), g = qGreen(pixel), b = qBlue(pixel);
        if (r < 60 && g < 60 && b < 60) return 'k';
        if (r > 200 && g > 200 && b > 200) return 'w';
        if (r > 200 && g < 60 && b < 60) return 'r';
        return 'o';
    }

    // Whether `image` has a pixel of kind `k` at (x, y) or right next to it.
    static bool nearby(const QImage& image, int x, int y, char k) {
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                if (image.rect().contains(x + dx, y + dy) &&
                    kind(image.pixel(x + dx, y + dy)) == k) {
                    return true;
                }
            }
        }
        return false;
    }

    // The same picture: the server and QPainter set the pixels of sloping wide lines by rules
    // of their own, so a pixel may differ, but never by more than a pixel's shift, and the
    // colours cover nearly the same areas.
    void expectAlike(const QImage& server, const QImage& reference) {
        ASSERT_EQ(server.size(), reference.size());
        std::map<char, int> counts, referenceCounts;
        int shifted = 0, unexplained = 0;
        for (int y = 0; y < server.height(); ++y) {
            for (int x = 0; x < server.width(); ++x) {
                char a = kind(server.pixel(x, y)), b = kind(reference.pixel(x, y));
                ++counts[a];
                ++referenceCounts[b];
                if (a == b) continue;
                ++shifted;
                if (!nearby(reference, x, y, a) || !nearby(server, x, y, b)) ++unexplained;
            }
        }
        const int lit = kWindow.width() * kWindow.height() - referenceCounts['k'];
        EXPECT_GT(lit, 3000);  // labels, terrain and hull at least
        EXPECT_LT(shifted, lit / 5) << shifted << " of " << lit << " lit pixels shifted";
        EXPECT_LT(unexplained, 10) << unexplained << " pixels differ by more than a shift";
        for (char k : {'w', 'r'}) {
            EXPECT_NEAR(counts[k], referenceCounts[k], referenceCounts[k] / 25 + 10) << k;
        }
    }

    // Lets the window paint what changed, then holds the scene still (paused or over).
    void settle() {
        wait(150);
        QCoreApplication::processEvents();
    }
};

TEST_F(X11CanvasTest, TheStartScreenMatchesThePainter) {
    settle();
    EXPECT_TRUE(window.scene().drawnByServer());
    expectAlike(shown(), painted());
}

TEST_F(X11CanvasTest, AFlightWithTheFlameMatchesThePainterAndSurvivesAMenuOverIt) {
    keyDown(kP, 0);
    keyDown(kSpace, 0);
    keyDown(37, 0);  // turn left while the engine fires
    wait(300);
    keyDown(kP, 0);  // paused, the flame still showing
    settle();
    QImage before = shown();
    expectAlike(before, painted());

    // A menu drawn over the scene and closed again leaves it as it was.
    QMenu* options = window.menuBar()->actions()[1]->menu();
    options->popup(window.mapToGlobal(QPoint(60, 20)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(options));
    options->close();
    settle();
    EXPECT_EQ(shown(), before);
}

// The server draws the labels last too: a star moved onto a readout leaves its text whole.
TEST_F(X11CanvasTest, AStarOnAReadoutLiesUnderItsText) {
    settle();
    const QRect score(8, 80, 81, 17);
    const QImage before = shown();
    Shape& star = state.shpStar(0);
    star.Left = 180;  // over "Score: "
    star.Top = 1230;
    repaint();
    settle();
    const QImage over = shown();
    EXPECT_EQ(over.copy(score), before.copy(score));
    expectAlike(over, painted());
}

// A box over the server's scene shows on the screen (a window of its own, above the scene's),
// whatever the server draws under it, leaves the hull as it was, and goes when answered.
TEST_F(X11CanvasTest, ABoxShowsOverTheServersSceneAndLeavesItWhole) {
    settle();
    const QImage before = shown();
    QImage under, drawnUnder;
    QRect place;
    BoxAnswerer answerer(100, [&] {
        place = openBox()->geometry();
        // Another window over the box and gone again: the scene's window is exposed.
        QWidget cover(nullptr, Qt::ToolTip);
        cover.setGeometry(QRect(window.scene().mapToGlobal(place.topLeft()), place.size()));
        cover.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
        cover.hide();
        settle();
        under = shown();
        // A star the server draws under the box meanwhile stays under it.
        Shape& star = state.shpStar(0);
        star.Left = static_cast<float>(place.center().x() * 15);
        star.Top = static_cast<float>(place.center().y() * 15);
        repaint();
        settle();
        drawnUnder = shown();
    });
    menuAction("mnuControls")->trigger();
    ASSERT_FALSE(place.isEmpty());
    int light = 0;
    for (int y = place.top(); y <= place.bottom(); ++y) {
        for (int x = place.left(); x <= place.right(); ++x)
            light += kind(under.pixel(x, y)) != 'k';
    }
    EXPECT_GT(light, place.width() * place.height() / 2) << "the scene covers the box";
    EXPECT_EQ(drawnUnder.copy(place), under.copy(place));
    const QRect hull = toQRect(host::hullReach(view));
    EXPECT_EQ(under.copy(hull), before.copy(hull));
    settle();
    EXPECT_TRUE(nearby(shown(), place.center().x() + 1, place.center().y() + 1, 'w'))
        << "the star shows once the box is gone";
}

}  // namespace
}  // namespace vandrel::qt::test
