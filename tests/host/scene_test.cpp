// SPDX-License-Identifier: MIT
// The scene as every host paints it: the drawing order, what changed between two frames, and
// the damage a frame draws again.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "host/damage.h"
#include "host/scene_state.h"
#include "tests/core/game.h"

namespace vandrel::host::test {
namespace {

using vandrel::test::kClientHeightPixels;
using vandrel::test::kClientWidthPixels;

constexpr Rect kWindow{0, 0, kClientWidthPixels, kClientHeightPixels};

// The part of a line a display of short coordinates is sent: the terrain after a long flight
// sideways lies far beyond them.
constexpr int kMargin = 4096;
std::optional<Segment> reach(const SceneState::LineLook& line) {
    return lineWithin(line, kWindow, kMargin);
}

SceneState::LineLook look(int x1, int y1, int x2, int y2) {
    return {x1, y1, x2, y2, kWhite, 2, true};
}

// How far a point lies from the infinite line through a segment's ends, in pixels.
double offLine(int x, int y, const SceneState::LineLook& line) {
    const double dx = line.x2 - line.x1, dy = line.y2 - line.y1;
    return std::abs(dy * (x - line.x1) - dx * (y - line.y1)) / std::hypot(dx, dy);
}

TEST(LineWithin, LinesOnTheScreenAreSentAsTheyAre) {
    EXPECT_EQ(reach(look(10, 20, 300, 400)), (Segment{10, 20, 300, 400}));
    // A line crossing the edge with both ends within reach keeps both.
    EXPECT_EQ(reach(look(-500, 100, 900, 200)), (Segment{-500, 100, 900, 200}));
    // A point-like line, as a flame of zero length would be.
    EXPECT_EQ(reach(look(5, 5, 5, 5)), (Segment{5, 5, 5, 5}));
}

TEST(LineWithin, FarEndsAreBroughtWithinSixteenBitsAlongTheLine) {
    // The terrain after a long flight sideways: far beyond what X coordinates can hold.
    for (SceneState::LineLook line :
         {look(-1000000, 300, 1000000, 320), look(360, -1000000, 370, 1000000),
          look(100, 100, 1000000, 900000), look(-999999, -999999, 700, 500)}) {
        std::optional<Segment> sent = reach(line);
        ASSERT_TRUE(sent.has_value());
        for (auto [x, y] : {std::pair{sent->x1, sent->y1}, std::pair{sent->x2, sent->y2}}) {
            EXPECT_LE(std::abs(x), kWindow.width + kMargin);
            EXPECT_LE(std::abs(y), kWindow.height + kMargin);
            EXPECT_LT(offLine(x, y, line), 1.0) << x << "," << y;
        }
    }
    // An end inside the window is never moved, however far the other lies.
    std::optional<Segment> sent = reach(look(100, 100, 1000000, 900000));
    EXPECT_EQ(std::pair(sent->x1, sent->y1), std::pair(100, 100));
}

TEST(LineWithin, NothingIsSentOfLinesThatCannotShow) {
    EXPECT_FALSE(reach(look(-900, 10, -800, 400)));      // left of the window
    EXPECT_FALSE(reach(look(10, 900000, 700, 900001)));  // far below
    SceneState::LineLook hidden = look(10, 20, 300, 400);
    hidden.Visible = false;
    EXPECT_FALSE(reach(hidden));
    // The markers right of the window, and a pen just touching the edge still counts.
    EXPECT_FALSE(reach(look(894, 240, 894, 280)));
    EXPECT_TRUE(reach(look(728, 10, 728, 400)));
}

// The scene drawn in the order the window creates its controls, each once, except that the
// labels come last: the stars from the last down, the right end of the terrain, the hull, the
// rest of the terrain, the flame, then lblPause to lblFuel. The markers Line2 and Line3,
// created among them, lie right of the client area: they are not drawn at all.
TEST(SceneState, DrawingOrderIsTheCreationOrderWithTheLabelsLast) {
    vandrel::test::Game game;
    const Form1View& view = game.view;
    const SceneState state = SceneState::capture(view);
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
    for (const Line* marker : {&view.state().Line2, &view.state().Line3}) {
        EXPECT_GT(std::min(marker->X1, marker->X2), view.state().ScaleWidth) << "a marker in view";
    }
    EXPECT_EQ(&view.label(kLabels[0]), &view.state().lblPause);
    EXPECT_EQ(&view.label(kLabels[4]), &view.state().lblFuel);
    EXPECT_EQ(sceneArea(view), kWindow);
}

// Between two frames: the old and new places of what moved, a relaid label's box, and all of
// it for a new background; nothing for a frame that moved less than a pixel.
TEST(SceneState, ChangesMarkWhatMovedAndNothingElse) {
    vandrel::test::Game game;
    const Form1View& view = game.view;
    const std::array<bool, kLabels.size()> none{};
    std::vector<Rect> marked;
    auto mark = [&](const Rect& r) { marked.push_back(r); };

    const SceneState before = SceneState::capture(view);
    SceneState::forEachChange(before, before, none, view, mark);
    EXPECT_TRUE(marked.empty());

    game.state.shpStar(3).Left += 7;  // under half a pixel: the same pixels
    SceneState::forEachChange(before, SceneState::capture(view), none, view, mark);
    EXPECT_TRUE(marked.empty());

    const Rect was = footprint(before.shpStar[3]);
    game.state.shpStar(3).Left += 300;  // 20 pixels right: two places
    SceneState::forEachChange(before, SceneState::capture(view), none, view, mark);
    ASSERT_EQ(marked.size(), 2u);
    EXPECT_EQ(marked[0], was);
    EXPECT_EQ(marked[1], footprint(SceneState::capture(view).shpStar[3]));

    marked.clear();
    std::array<bool, kLabels.size()> relaid{};
    relaid[4] = true;  // lblFuel's text
    SceneState::forEachChange(before, before, relaid, view, mark);
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_EQ(marked[0], labelBox(view.state().lblFuel));

    marked.clear();
    SceneState other = before;
    other.BackColor = kRed;
    SceneState::forEachChange(before, other, none, view, mark);
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_EQ(marked[0], kWindow);
}

// Which pixels of the window a set of rectangles covers.
std::vector<bool> pixels(const std::vector<Rect>& rects) {
    std::vector<bool> covered(static_cast<std::size_t>(kWindow.area()));
    for (const Rect& r : rects) {
        const Rect in = r & kWindow;
        for (int y = in.top; y <= in.bottom(); ++y)
            for (int x = in.left; x <= in.right(); ++x)
                covered[static_cast<std::size_t>(y * kWindow.width + x)] = true;
    }
    return covered;
}

// What a frame draws again: every pixel marked, in rectangles a server's clip takes (bands from
// the top, none overlapping), and no more than the tiles round what was marked.
TEST(Damage, CoversWhatWasMarkedInBandsThatNeverOverlapAndInFewRectangles) {
    Damage damage(kWindow.width, kWindow.height);
    EXPECT_TRUE(damage.isEmpty());
    const Rect star{300, 100, 6, 7}, line{-40, 290, 800, 30}, corner{720, 498, 50, 50};
    for (const Rect& r : {star, line, corner, Rect{305, 104, 20, 3}})
        damage.add(r);
    const std::vector<Rect>& rects = damage.rects();
    std::int64_t area = 0;
    for (std::size_t i = 0; i < rects.size(); ++i) {
        EXPECT_TRUE(kWindow.contains(rects[i])) << i;
        area += rects[i].area();
        if (i > 0) {
            const Rect& before = rects[i - 1];
            EXPECT_TRUE(before.top == rects[i].top
                            ? before.bottom() == rects[i].bottom() && before.right() < rects[i].left
                            : before.bottom() < rects[i].top)
                << i;
        }
    }
    const std::vector<bool> covered = pixels(rects);
    EXPECT_EQ(std::count(covered.begin(), covered.end(), true), area);  // no overlap
    const std::vector<bool> marked = pixels({star, line, corner});
    for (std::size_t p = 0; p < marked.size(); ++p)
        ASSERT_TRUE(!marked[p] || covered[p]) << p;
    EXPECT_GE(rects.front().top, 100 - 8);                    // within a tile of the star
    EXPECT_TRUE(damage.intersects(Rect{318, 106, 4, 1}));     // the star's last tile
    EXPECT_FALSE(damage.intersects(Rect{100, 150, 40, 40}));  // nothing marked near it

    // Told to a compositor in a few rectangles: all of it, and what lies near joined first.
    EXPECT_EQ(damage.covering(rects.size()), rects);
    const std::vector<Rect> few = damage.covering(2);
    ASSERT_EQ(few.size(), 2u);
    const std::vector<bool> fewCovered = pixels(few);
    for (std::size_t p = 0; p < covered.size(); ++p)
        ASSERT_TRUE(!covered[p] || fewCovered[p]) << p;
    EXPECT_TRUE(few[0].contains(star) || few[1].contains(star));
    EXPECT_FALSE(few[0].intersects(corner) && few[0].intersects(star));

    // Two frames' damage joined: a buffer two frames old draws both.
    Damage older(kWindow.width, kWindow.height);
    older.add(Rect{10, 10, 5, 5});
    older.add(damage);
    std::vector<Rect> both = rects;
    both.push_back({0, 8, 16, 8});
    EXPECT_EQ(pixels(older.rects()), pixels(both));
    damage.clear();
    EXPECT_TRUE(damage.isEmpty() && damage.rects().empty());
    damage.addAll();
    EXPECT_EQ(damage.rects(), std::vector<Rect>{kWindow});
}

}  // namespace
}  // namespace vandrel::host::test
