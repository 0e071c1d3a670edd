// SPDX-License-Identifier: MIT
// What a screen reader says of the game, and when: the same rules for every host, which only
// turns each utterance into what its screen readers speak.
//
// The words are made to be spoken, not read off the screen: the height and the score as whole
// numbers after their names ("Height 57", "Score 1389"), with no colon, decimals or group
// separators, which a speech engine spells out ("Height colon 56 dot 6043" takes three seconds
// to say). The readouts on the screen keep their own texts. A prompt is said as it shows.
//
// A new prompt ("Paused", "Press 'P' to start") or a new score is said at once. While a flight
// runs the height changes on every tick, a hundred times a second, which no listener can follow:
// it is said when its words have changed, at most once per kHeightPause after anything was
// said, and always with the value it settles on: a change that comes within the pause is said
// at its end, as the height then is, so that a newer height takes the place of one not yet said
// and the speech never falls behind the flight. Nothing is said while the game waits (ready,
// paused, over, or under a box, whose own words the player is hearing), so a waiting host arms
// no timer.
//
// A screen reader either cuts its words short for the next ones or queues them behind, so one
// moment says one thing: the prompt before the score. A flight that stops leaves its last height
// unsaid; what stopped it (a pause, the outcome's box, R) is what the player hears, and the flight
// that goes on says the height again as it changes.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "shell/form1_view.h"

namespace vandrel::host {

/// What the prompt shows: its caption while it is shown, else nothing.
std::string_view promptShown(const Form1View& view);
/// The height readout's figure to be spoken: "Height 57", "Height minus 3".
std::string heightWords(const Form1View& view);
/// The score to be spoken, "Score 1389"; nothing before a landing has scored.
std::string scoreWords(const Form1View& view);

class Announcements {
  public:
    /// The least time from anything said to the height said after it.
    static constexpr std::chrono::milliseconds kHeightPause{2000};

    struct Utterance {
        std::string text;
        /// The prompt or the score, said as it changes; false for the height, said at its pace.
        bool atOnce = false;
    };
    struct Step {
        std::optional<Utterance> say;  // what to say now, if anything
        /// When to catch up again (the clock's milliseconds) to say the height it settles on;
        /// none while nothing waits to be said.
        std::optional<std::int64_t> due;
    };

    /// Takes what the game shows now as heard: a listener that comes reads what is shown, and
    /// is told only of later changes.
    explicit Announcements(const Form1View& view) { hearAll(view); }
    void hearAll(const Form1View& view);

    /// Catches up with the game at `now`, a monotonic clock's milliseconds; `boxUp` while a box
    /// of the game is up.
    Step update(const Form1View& view, bool boxUp, std::int64_t now);

    /// True while the height is said at its pace: the flight runs and no box is up.
    static bool flying(const Form1View& view, bool boxUp) {
        return view.tickChangesAnything() && !boxUp;
    }

  private:
    std::string prompt_, score_, height_;  // the words last heard
    std::optional<std::int64_t> saidAt_;   // when anything was last said
};

}  // namespace vandrel::host
