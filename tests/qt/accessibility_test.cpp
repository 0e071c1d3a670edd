// SPDX-License-Identifier: MIT
// What a screen reader finds in the scene, and what it is told and when.
#include <QAccessible>
#include <QElapsedTimer>

#include "host/scene_state.h"
#include "qt/host_rects.h"
#include "qt/scene_accessible.h"
#include "qt/scene_announcer.h"
#include "tests/qt/game_window_fixture.h"

namespace vandrel::qt::test {
namespace {

// The window with a listener: every event the announcer sends is noted with its label's
// name at that moment and the time it went out.
class AccessibilityTest : public GameWindowTest {
  protected:
    struct Heard {
        QString name;
        QAccessible::Event type;
        qint64 ms;
    };

    void SetUp() override {
        GameWindowTest::SetUp();
        announcer = window.scene().findChild<SceneAnnouncer*>();
        ASSERT_NE(announcer, nullptr);
        clock.start();
        announcer->setSink([this](QAccessibleEvent& event) {
            heard.push_back({event.accessibleInterface()->text(QAccessible::Name), event.type(),
                             clock.elapsed()});
        });
        QAccessible::setActive(true);
    }
    void TearDown() override { QAccessible::setActive(false); }

    void press(std::int16_t key) {
        window.keyDown(key, 0);
        window.keyUp(key, 0);
    }
    /// The events heard about the label whose name starts with `prefix`.
    std::vector<Heard> about(const QString& prefix, QAccessible::Event type) const {
        std::vector<Heard> found;
        for (const Heard& h : heard)
            if (h.type == type && h.name.startsWith(prefix)) found.push_back(h);
        return found;
    }

    SceneAnnouncer* announcer = nullptr;
    QElapsedTimer clock;
    std::vector<Heard> heard;
};

TEST_F(AccessibilityTest, SceneOffersTheShownLabelsTopDownWithTheirCaptionsAndPlaces) {
    SceneAccessible* scene = SceneAccessible::of(&window.scene());
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->role(), QAccessible::Canvas);
    ASSERT_EQ(scene->childCount(), 5);
    const QStringList names{"Fuel: 500", "Thrust: 1.5", "Height: 60",
                            "Score: ", "Press 'P' to start"};
    const QRect onScreen(window.scene().mapToGlobal(QPoint(0, 0)), window.scene().size());
    for (int i = 0; i < 5; ++i) {
        QAccessibleInterface* label = scene->child(i);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(QAccessible::Name), names[i]);
        EXPECT_EQ(label->role(), QAccessible::StaticText);
        EXPECT_EQ(label->parent(), scene);
        EXPECT_EQ(scene->indexOfChild(label), i);
        EXPECT_TRUE(onScreen.contains(label->rect())) << i;
        EXPECT_EQ(scene->childAt(label->rect().center().x(), label->rect().center().y()), label);
    }
    EXPECT_EQ(scene->child(4)->rect(),
              toQRect(host::labelBox(state.lblPause)).translated(onScreen.topLeft()));

    // Flying, the prompt is hidden and is no child; the readouts read what is painted now.
    press(keys::kP);
    EXPECT_EQ(scene->childCount(), 4);
    EXPECT_EQ(scene->child(4), nullptr);
    EXPECT_TRUE(scene->label(0)->state().invisible);
    for (int i = 0; i < 50; ++i)
        window.tick();
    EXPECT_EQ(scene->child(2)->text(QAccessible::Name),
              QString::fromStdString(state.lblHeight.Caption));
    EXPECT_NE(state.lblHeight.Caption, "Height: 60");
}

// The prompt is heard at once; the readouts, which change on every tick, at most once per
// pause, and the values they settle on always.
TEST_F(AccessibilityTest, PromptAtOnceReadoutsThrottledTheirLastValuesAlwaysHeard) {
    press(keys::kP);
    ASSERT_EQ(heard.size(), 1u);
    EXPECT_EQ(heard[0].type, QAccessible::ObjectHide);
    EXPECT_EQ(heard[0].name, "Press 'P' to start");

    window.keyDown(keys::kSpace, 0);  // the fuel and the thrust of the burn change too
    wait(1200);
    // Right after an announcement the height changes once more and the game pauses: only the
    // end of the pause can tell of that last value.
    const std::size_t soFar = about("Height: ", QAccessible::NameChanged).size();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return about("Height: ", QAccessible::NameChanged).size() > soFar; }, 1000));
    window.tick();
    press(keys::kP);
    window.keyUp(keys::kSpace, 0);
    ASSERT_NE(about("Height: ", QAccessible::NameChanged).back().name.toStdString(),
              state.lblHeight.Caption);
    EXPECT_EQ(heard.back().type, QAccessible::NameChanged);
    EXPECT_EQ(heard.back().name, "Paused");
    EXPECT_EQ(about("Paused", QAccessible::ObjectShow).size(), 1u);

    wait(static_cast<int>(SceneAnnouncer::kReadoutPause.count()) + 100);
    const std::vector<Heard> heights = about("Height: ", QAccessible::NameChanged);
    // About 130 ticks changed the height; five or six announcements tell of them.
    EXPECT_GE(heights.size(), 4u);
    EXPECT_LE(heights.size(), 7u);
    for (std::size_t i = 1; i < heights.size(); ++i) {
        EXPECT_GE(heights[i].ms - heights[i - 1].ms, SceneAnnouncer::kReadoutPause.count())
            << "announcements " << i - 1 << " and " << i;
    }
    EXPECT_EQ(heights.back().name.toStdString(), state.lblHeight.Caption);
    EXPECT_EQ(about("Fuel: ", QAccessible::NameChanged).back().name.toStdString(),
              state.lblFuel.Caption);

    // With nobody listening nothing is sent, and nothing waits to be.
    QAccessible::setActive(false);
    const std::size_t before = heard.size();
    press(keys::kP);
    wait(400);
    EXPECT_EQ(heard.size(), before);
}

// A landing's score is heard before its box comes up; the box is an alert over the scene,
// after its labels, with its title and prompt.
TEST_F(AccessibilityTest, ScoreIsHeardBeforeTheLandingBoxWhichIsAnAlert) {
    SceneAccessible* scene = SceneAccessible::of(&window.scene());
    ASSERT_NE(scene, nullptr);
    std::size_t scoresUnderTheBox = 0;
    QAccessibleInterface* alert = nullptr;
    QString alertName, alertDescription;
    BoxAnswerer answerer(20, [&] {
        scoresUnderTheBox = about("Score: ", QAccessible::NameChanged).size();
        ASSERT_EQ(scene->childCount(), 5);  // four readouts and the box; the prompt is hidden
        alert = scene->child(4);
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert, QAccessible::queryAccessibleInterface(openBox()));
        EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
        EXPECT_EQ(scene->indexOfChild(alert), 4);
        EXPECT_EQ(scene->childAt(alert->rect().center().x(), alert->rect().center().y()), alert);
        alertName = alert->text(QAccessible::Name);
        alertDescription = alert->text(QAccessible::Description);
    });
    window.click("mnuGLow");
    press(keys::kDown);
    press(keys::kDown);  // the least thrust: the burn brakes the fall gently
    press(keys::kP);
    // A free fall, then the engine until the ground: ticks raised here, while the clock's
    // own wait for the event loop, which only the box runs.
    for (int i = 0; i < 250; ++i)
        window.tick();
    window.keyDown(keys::kSpace, 0);
    for (int i = 0; i < 400 && !state.GameOver; ++i)
        window.tick();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Landed!");
    EXPECT_EQ(alertName, "Landed!");
    EXPECT_EQ(alertDescription, "Great Sucsess!\nPress 'R' to reset");
    EXPECT_EQ(scoresUnderTheBox, 1u);
    const std::vector<Heard> scores = about("Score: ", QAccessible::NameChanged);
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_NE(scores[0].name, "Score: ");
    EXPECT_EQ(scores[0].name.toStdString(), state.lblScore.Caption);
    EXPECT_EQ(scene->childCount(), 4);  // the box is gone
}

}  // namespace
}  // namespace vandrel::qt::test
