// SPDX-License-Identifier: MIT
// The game in a web page: one session on the page's runtime services, driven by the page's
// events and drawn on its canvas.
//
// The page's script turns the browser's events into the calls below and nothing else; what
// the scene looks like, which keys the game takes, when the clock runs and what a recording
// holds is decided here, by the same rules as on the desktop (host/). Boxes are modal: the
// game waits in MsgBox, its stack suspended, until the page has the player's answer, and the
// page calls nothing in here meanwhile.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/announcements.h"
#include "host/colors.h"
#include "host/damage.h"
#include "host/frame_clock.h"
#include "host/player.h"
#include "host/replay.h"
#include "host/scene_state.h"
#include "shell/runtime/platform.h"
#include "shell/script/recorder.h"
#include "shell/script/script_io.h"
#include "shell/session.h"

namespace vandrel::web {

/// The browser's system colours, in host::kSystemColors' order.
using SystemColours = std::array<host::Rgb, std::size(host::kSystemColors)>;

class WebGame : private Platform, private host::Player::Host {
  public:
    /// What the page learns after each call: whether its frame loop should run, and whether
    /// the game has ended.
    enum Flags : std::int32_t { kClockRuns = 1, kEnded = 2, kKeyTaken = 4 };

    /// A new game, loaded and drawn; `steps` replays a script in it.
    WebGame(Regional regional, const SystemColours& colours,
            std::optional<std::vector<host::Replay::Step>> steps = std::nullopt);
    ~WebGame() override;

    /// A key of the page's, by KeyboardEvent's `key` and `code`; `shift` has Shift 1, Ctrl 2,
    /// Alt 4. kKeyTaken when the key is one of the game's (the page keeps it from the browser).
    std::int32_t key(bool down, std::string_view key, std::string_view code, std::int16_t shift);
    std::int32_t click(std::string_view menuName);
    /// An animation frame at `now` (milliseconds of the page's monotonic clock): the ticks due,
    /// then what changed is drawn.
    std::int32_t frame(double now);
    /// The keyboard left the scene: for one of the game's menus (`windowLeft` false), or for
    /// something else (another window or tab, the page's own controls), which pauses a flight.
    std::int32_t left(bool windowLeft);
    /// The time the page was asked to wake at has come: the height a screen reader is due.
    std::int32_t wake();
    /// Draws the whole scene again (the canvas was resized, the colours changed).
    std::int32_t redraw(const SystemColours& colours);

    /// The menu tree as JSON: [{"name", "caption", "option", "items": [...]}, ...], captions
    /// with '&' before the access key; an option's check mark is an option's value.
    std::string menus() const;
    /// The check marks, '1' or '0' for each menu item in menu order.
    std::string checks() const;
    /// The recording so far, then its final line with the state now.
    std::string recording();
    std::int32_t flags() const;
    std::uint64_t ticks() const { return game_.ticks(); }

  private:
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    const Regional& regional() const override { return regional_; }

    void ran(bool fromClock) override;
    void clockChanged() override;
    void exited() override;
    void failed(const std::string& prompt) override;

    /// The game has ended: the recording says how, and nothing runs any more.
    void end(Ending ending);
    /// Starts the clock (a fresh period) or stops it, as the player wants it.
    void runClock();
    /// Lays a box out on the page, unseen: where it goes.
    host::Rect layOutBox(std::string_view title, std::string_view prompt);
    /// Draws what changed since the last frame; all of it with `all`.
    void draw(bool all = false);
    void drawLabel(int index, const host::SceneState::LabelLook& look);
    /// Tells a screen reader what changed, as the rules of every host say, and describes the
    /// scene by the prompt.
    void announce();
    std::int32_t rgb(Color colour) const;
    void chooseFonts();

    Regional regional_;
    SystemColours colours_;
    Session game_;
    host::Player player_;
    StringSink recording_;
    Recorder recorder_;
    std::optional<host::Replay> replay_;
    host::FrameClock clock_;
    bool clockRuns_ = false;
    bool boxUp_ = false;  // holds the clock
    host::SceneState shown_;
    host::Damage damage_;
    struct Caption {
        std::string text;
        double width = 0, height = 0;  // CSS pixels
        bool measured = false;
    };
    std::array<Caption, kLabels.size()> captions_;
    std::vector<std::int32_t> clip_;  // the damage as x, y, width, height, reused
    host::Announcements announcements_;
    std::string described_;
    std::optional<std::int64_t> wakeAt_;  // asked of the page
};

}  // namespace vandrel::web
