// SPDX-License-Identifier: MIT
// What a screen reader finds in the scene, and what it is told and when.
#include <QAccessible>
#include <QElapsedTimer>

#include "host/announcements.h"
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
        QAccessible::Role role;
        QAccessible::Event type;
        qint64 ms;
    };

    void SetUp() override {
        GameWindowTest::SetUp();
        announcer = window.scene().findChild<SceneAnnouncer*>();
        ASSERT_NE(announcer, nullptr);
        clock.start();
        announcer->setSink([this](QAccessibleEvent& event) {
            QAccessibleInterface* object = event.accessibleInterface();
            heard.push_back(
                {object->text(QAccessible::Name), object->role(), event.type(), clock.elapsed()});
        });
        QAccessible::setActive(true);
    }
    void TearDown() override { QAccessible::setActive(false); }

    void press(std::int16_t key) {
        keyDown(key, 0);
        keyUp(key, 0);
    }
    /// The events heard about the object whose name starts with `prefix`.
    std::vector<Heard> about(const QString& prefix, QAccessible::Event type) const {
        std::vector<Heard> found;
        for (const Heard& h : heard)
            if (h.type == type && h.name.startsWith(prefix)) found.push_back(h);
        return found;
    }
    /// What was said: the notification shown anew, with its name then.
    std::vector<Heard> said(const QString& prefix = {}) const {
        std::vector<Heard> found;
        for (const Heard& h : heard)
            if (h.role == QAccessible::Notification && h.name.startsWith(prefix))
                found.push_back(h);
        return found;
    }

    SceneAnnouncer* announcer = nullptr;
    QElapsedTimer clock;
    std::vector<Heard> heard;
};

// The scene is named by the window's caption and described by what the prompt shows; its
// children are the labels shown, from the top down, where they are painted, then the status
// bar whose notification holds what the game said last.
TEST_F(AccessibilityTest, SceneOffersTheShownLabelsTopDownWithTheirCaptionsAndPlaces) {
    SceneAccessible* scene = SceneAccessible::of(&window.scene());
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->role(), QAccessible::Canvas);
    EXPECT_EQ(scene->text(QAccessible::Name), "Vandrel");
    EXPECT_EQ(scene->text(QAccessible::Description), "Press 'P' to start");
    ASSERT_EQ(scene->childCount(), 6);
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
    QAccessibleInterface* bar = scene->child(5);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->role(), QAccessible::StatusBar);
    EXPECT_EQ(bar->parent(), scene);
    EXPECT_EQ(scene->indexOfChild(bar), 5);
    ASSERT_EQ(bar->childCount(), 1);
    QAccessibleInterface* notification = bar->child(0);
    EXPECT_EQ(notification, scene->notification());
    EXPECT_EQ(notification->role(), QAccessible::Notification);
    EXPECT_EQ(notification->parent(), bar);
    EXPECT_EQ(bar->indexOfChild(notification), 0);

    // Flying, the prompt is hidden and is no child; the readouts read what is painted now.
    press(keys::kP);
    EXPECT_EQ(scene->text(QAccessible::Description), "");
    EXPECT_EQ(scene->childCount(), 5);
    EXPECT_EQ(scene->child(4), bar);
    EXPECT_TRUE(scene->label(0)->state().invisible);
    for (int i = 0; i < 50; ++i)
        tick();
    EXPECT_EQ(scene->child(2)->text(QAccessible::Name),
              QString::fromStdString(state.lblHeight.Caption));
    EXPECT_NE(state.lblHeight.Caption, "Height: 60");
    EXPECT_EQ(notification->text(QAccessible::Name), said().back().name);
}

// The prompt is said at once; the height, in words, as they change, a pause at least after the
// words before, and the value it settles on always, when the pause ends; nothing while the game
// waits, and nothing when nobody listens. Between its words a flight tells nothing of its
// readouts either.
TEST_F(AccessibilityTest, PromptAtOnceHeightPacedItsLastValueAlwaysHeard) {
    const qint64 pause = host::Announcements::kHeightPause.count();
    click("mnuGNone");  // no gravity: the ship moves only under the engine
    press(keys::kP);
    EXPECT_TRUE(said().empty());  // the prompt hides
    keyDown(keys::kSpace, 0);
    for (int i = 0; i < 500 && said().empty(); ++i)
        tick();
    ASSERT_EQ(said().size(), 1u);
    EXPECT_EQ(said().back().name.toStdString(), host::heightWords(view));
    EXPECT_TRUE(said().back().name.startsWith("Height "));
    const std::size_t events = heard.size();
    state.Ground(1).Y1 -= 300;
    tick();  // changes within the pause
    EXPECT_EQ(heard.size(), events);
    keyUp(keys::kSpace, 0);
    state.SpeedX = state.SpeedY = Currency();  // the ship hovers: the height holds still
    const std::string settled = host::heightWords(view);
    const std::string readout = state.lblHeight.Caption;
    ASSERT_TRUE(QTest::qWaitFor([&] { return said().size() == 2; }, 2 * pause));
    EXPECT_EQ(said().back().name.toStdString(), settled);
    // A pause apart, give or take the whole milliseconds of two clocks read apart.
    EXPECT_GE(said()[1].ms - said()[0].ms, pause - 1);
    EXPECT_EQ(about("Height: ", QAccessible::NameChanged).back().name.toStdString(), readout);

    keyDown(keys::kSpace, 0);
    state.Ground(1).Y1 -= 300;
    tick();  // changed within the pause again, and then the game waits
    press(keys::kP);
    EXPECT_EQ(said().back().name, "Paused");
    wait(static_cast<int>(pause) + 100);
    EXPECT_EQ(said().back().name, "Paused");
    EXPECT_EQ(said().size(), 3u);

    QAccessible::setActive(false);
    const std::size_t before = heard.size();
    press(keys::kR);
    press(keys::kP);
    tick();
    tick();
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
        scoresUnderTheBox = said("Score ").size();
        // four readouts, the status bar and the box; the prompt is hidden
        ASSERT_EQ(scene->childCount(), 6);
        alert = scene->child(5);
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert, QAccessible::queryAccessibleInterface(openBox()));
        EXPECT_EQ(alert->role(), QAccessible::AlertMessage);
        EXPECT_EQ(scene->indexOfChild(alert), 5);
        EXPECT_EQ(scene->childAt(alert->rect().center().x(), alert->rect().center().y()), alert);
        alertName = alert->text(QAccessible::Name);
        alertDescription = alert->text(QAccessible::Description);
    });
    click("mnuGLow");
    press(keys::kDown);
    press(keys::kDown);  // the least thrust: the burn brakes the fall gently
    press(keys::kP);
    // A free fall, then the engine until the ground: ticks raised here, while the clock's
    // own wait for the event loop, which only the box runs.
    for (int i = 0; i < 250; ++i)
        tick();
    keyDown(keys::kSpace, 0);
    for (int i = 0; i < 400 && !state.GameOver; ++i)
        tick();
    ASSERT_EQ(answerer.seen().size(), 1u);
    EXPECT_EQ(answerer.seen()[0].title, "Landed!");
    EXPECT_EQ(alertName, "Landed!");
    EXPECT_EQ(alertDescription, "Great Sucsess!\nPress 'R' to reset");
    EXPECT_EQ(scoresUnderTheBox, 1u);
    const std::vector<Heard> scores = said("Score ");
    ASSERT_EQ(scores.size(), 1u);
    EXPECT_EQ(scores[0].name.toStdString(), host::scoreWords(view));
    EXPECT_NE(scores[0].name, "Score ");
    EXPECT_EQ(scene->childCount(), 5);  // the box is gone
}

}  // namespace
}  // namespace vandrel::qt::test
