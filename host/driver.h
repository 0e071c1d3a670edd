// SPDX-License-Identifier: MIT
// The one driver: runs a game for any host, so that every rule a host follows is written once.
//
// The way through it, for an event the player makes:
//  1. The host's toolkit reports a key, a menu command, its clock's tick or a display's frame,
//     the keyboard leaving or the window closing, and calls the driver. That is all a host does
//     with its events; which keys are the game's is decided here (host/keys.h).
//  2. The driver hands the event to the player (host/player.h), which keeps the keys held,
//     lets them go when the keyboard leaves, and lets a replay (host/replay.h) stand between
//     the player and the game.
//  3. The game's session (shell/session.h) runs the handler, through its one dispatcher.
//  4. A handler that opens a box calls the driver back as the game's platform (MsgBox): the
//     scene is painted first, the clock stops, the toolkit shows the box and waits; the
//     driver decides which of the box's keys answer it, and the clock starts again with a
//     fresh period.
//  5. The handler has returned: the driver reads what it changed through the game's view
//     (shell/form1_view.h): the check marks, whether the clock runs, what of the scene must be
//     painted again (host/scene.h), and what a screen reader is told (host/announcements.h);
//     while a replay plays, once for all the events of a period of the clock.
//  6. The toolkit paints the scene when its display takes a frame, by the scene's one recipe,
//     onto whatever surface it has (host/toolkit.h): QPainter, the X server, a compositor's
//     buffer or a browser's canvas.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/announcements.h"
#include "host/controls.h"
#include "host/frame_clock.h"
#include "host/keys.h"
#include "host/player.h"
#include "host/replay.h"
#include "host/scene.h"
#include "host/toolkit.h"
#include "shell/runtime/platform.h"
#include "shell/script/recorder.h"
#include "shell/session.h"

namespace vandrel::host {

class Driver : private Platform, private Player::Listener {
  public:
    /// A game for `toolkit`, with the regional settings `regional`; Form_Load has not run.
    Driver(Toolkit& toolkit, Regional regional);
    ~Driver() override;
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;

    /// Records everything the game is given to `sink` from now on (host/../recorder.h).
    void record(OutputSink& sink, Recorder::FailureHandler onFailure = {});
    /// Replays `script` from the next tick on, instead of any replay before (none for none).
    void replay(ReplayScript script, Replay::Hooks hooks = {});
    /// The replay that plays, or played last.
    const Replay* replaying() const { return replay_ ? &*replay_ : nullptr; }
    /// Runs Form_Load: the scene is there to paint, and a screen reader hears of it.
    void start();

    // ---- The player's events ----
    /// A key the scene has: true when it is the game's (the host keeps it from everything
    /// else).
    bool key(const KeyEvent& key);
    void click(std::string_view menuName);
    /// On-screen control `index` of kControls is pressed, or let go (slid off, cancelled).
    void control(std::size_t index, bool pressed);
    /// Pad `index` reads `reading`; a pad that is gone reads nothing pressed.
    void pad(int index, const PadReading& reading);
    /// While a box is up: whether pad `index`'s reading answers it.
    bool padAnswersBox(int index, const PadReading& reading) {
        return controls_.answersBox(index, reading);
    }
    /// The keyboard left the scene for one of the game's own menus.
    void keyboardLeft();
    /// The player may have gone elsewhere (another window or tab, the page's own controls) or
    /// hidden the window: the keyboard has left, and a running flight is paused. `ownPopup`:
    /// what took the keyboard is the game's own.
    void windowLeft(bool ownPopup = false);
    /// The window was closed by its frame: the game ends at once, with none of its handlers
    /// run, also while a box is up.
    void close();

    // ---- The host's clock and display ----
    /// A period of the host's timer has passed.
    void tick();
    /// A display's frame at `now` (Toolkit::now()): the ticks that fell due are raised.
    void frame(double now);
    /// The time asked for with Toolkit::wakeAt has come: a held control's repeats, the height a
    /// screen reader is due.
    void wake();
    /// The desktop's colours or fonts changed: the scene is painted again in the new ones.
    void coloursChanged();
    void fontsChanged();
    /// A screen reader began to listen: it reads what is shown, and hears later changes.
    void listenerCame() { announcements_.hearAll(game_.view()); }

    // ---- What a host reads ----
    Scene& scene() { return scene_; }
    Session& game() { return game_; }
    Player& player() { return player_; }
    bool boxUp() const { return boxUp_; }
    bool ended() const { return ending_.has_value(); }
    /// How the game ended, once it has.
    std::optional<Ending> ending() const { return ending_; }
    /// The recording so far with its final line: the game's state now.
    std::string recording();
    /// The recorder, while there is one.
    Recorder* recorder() { return recorder_ ? &*recorder_ : nullptr; }

  private:
    // The game's platform: boxes, and the regional settings.
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    const Regional& regional() const override { return regional_; }

    // The player's listener.
    void ran(bool fromClock) override;
    void clockChanged() override { runClock(); }
    void releasing() override { toolkit_.releasing(); }
    void exited() override;
    void failed(const std::string& prompt) override;

    /// Shows a box and waits for its answer: false when it was abandoned (the game ended).
    bool showBox(std::string_view title, std::string_view prompt);
    /// Starts the clock (a fresh period) or stops it, as the player wants it and no box holds
    /// it.
    void runClock();
    /// Tells a screen reader what changed, at the pace of host/announcements.h.
    void announce();
    /// A period of the clock has run its ticks: the driver catches up with what a replay's
    /// events changed in it (see ran).
    void periodEnded();
    /// Gives the game the keys the controls and pads changed.
    void apply(const std::vector<HeldControls::Change>& changes);
    /// Asks the toolkit to wake the driver when the next thing falls due.
    void wakeWhenDue();
    /// The game has ended: nothing runs any more and the recording says how.
    void stop(Ending ending);
    /// The program ends with `status`, once.
    void finish(int status);

    Toolkit& toolkit_;
    Regional regional_;
    Session game_;
    Player player_;
    Scene scene_;
    Announcements announcements_;
    FrameClock clock_;
    HeldControls controls_;
    std::optional<Recorder> recorder_;
    std::optional<Replay> replay_;
    bool clockRuns_ = false;
    bool inPeriod_ = false;        // the clock's ticks of one period are running
    std::optional<bool> heldRun_;  // a replay's events ran in the period: all from the clock?
    bool boxUp_ = false;
    std::optional<Ending> ending_;
    bool finished_ = false;
    std::string checks_;                     // as last shown
    std::string described_;                  // as last told
    std::optional<std::int64_t> heightDue_;  // when the height a screen reader awaits is due
    std::optional<std::int64_t> wakeAt_;     // as asked of the toolkit
};

}  // namespace vandrel::host
