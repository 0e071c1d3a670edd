// SPDX-License-Identifier: MIT
// What only a toolkit can do, for the one driver (host/driver.h): draw, lay out text, show a
// box and wait for the player, speak, keep time and wake up, end. QPainter, the X server and
// the compositor's buffers (qt/), and the browser's canvas (web/), each implement these and
// nothing of the game's rules; the driver decides everything else.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "host/colors.h"
#include "host/rect.h"
#include "shell/runtime/controls.h"

namespace vandrel::host {

/// Where the scene is drawn: pixels from the scene's top-left corner, at the scene's own size
/// (a surface may show them larger). Each frame draws only inside the area it begins with; the
/// rest of the frame is there already.
class Surface {
  public:
    virtual ~Surface() = default;
    /// A frame begins: what follows is drawn only inside `area` (rectangles in bands from the
    /// top, none overlapping).
    virtual void begin(const std::vector<Rect>& area) = 0;
    virtual void fill(const Rect& box, Rgb colour) = 0;
    /// A line from pixel to pixel with square ends, `width` pixels wide.
    virtual void line(int x1, int y1, int x2, int y2, Rgb colour, int width) = 0;
    /// An ellipse whose outline runs round the pixels of `box`: filled, then outlined `width`
    /// pixels wide.
    virtual void oval(const Rect& box, Rgb fill, Rgb border, int width) = 0;
    /// Label `label`'s text, as laid out last (Toolkit::layOut), in `ink` on the label's
    /// background `paper`, the top-left corner of its line at (x, y); only inside `clip` when
    /// there is one.
    virtual void text(int label, int x, int y, Rgb ink, Rgb paper,
                      const std::optional<Rect>& clip) = 0;
    /// The frame is drawn.
    virtual void end() {}
};

/// A font: its faces, best first (none: the desktop's own sans-serif face), and its size in
/// points, or else in pixels.
struct FontChoice {
    std::vector<std::string_view> faces;
    double points = 0;
    int pixels = 0;
    int weight = 400;
    bool italic = false;
};

/// A line of text's size in pixels.
struct TextSize {
    double width = 0, height = 0;
};

/// What happens while a box is up: a key (virtual-key code) goes down or up, OK is clicked, or
/// the box is abandoned (the window closes).
struct BoxEvent {
    enum class Kind { KeyDown, KeyUp, Clicked, Abandoned };
    Kind kind = Kind::Abandoned;
    std::int16_t keyCode = 0;
    bool repeat = false;  // a held key's repeated key-down
};

/// How soon a change should reach the screen.
enum class Pace {
    Now,      // at once
    Event,    // a key or a menu: as soon as the display takes a frame
    Display,  // a tick: no faster than the display takes frames
};

class Toolkit {
  public:
    virtual ~Toolkit() = default;

    // ---- Text ----
    /// Label `label`'s texts are set in `font` from now on.
    virtual void setFont(int label, const FontChoice& font) = 0;
    /// Lays out `text` as label `label`'s, to be drawn by Surface::text: its size.
    virtual TextSize layOut(int label, std::string_view text) = 0;
    /// The width of a line of `text` in `font`, to try a size.
    virtual double trialWidth(const FontChoice& font, std::string_view text) = 0;
    /// The desktop's value of a system colour, if it has one.
    virtual std::optional<Rgb> systemColour(SystemColor index) = 0;

    // ---- The screen ----
    /// The scene changed since it was last painted (Driver::paint): paint it at `pace`.
    virtual void changed(Pace pace) = 0;
    /// The menus' check marks, '1' or '0' for each menu item in menu order, changed.
    virtual void showChecks(std::string_view marks) = 0;

    // ---- Boxes ----
    /// The size of a box with `title`, the lines of `prompt` and one OK button, in pixels.
    virtual TextSize boxSize(std::string_view title, std::string_view prompt) = 0;
    /// Shows that box at `place`, with the keyboard, and holds the game's menus and scene; the
    /// scene's changes are painted at once, under it.
    virtual void showBox(std::string_view title, std::string_view prompt, const Rect& place) = 0;
    /// Waits for what happens next on the box that is up; the game waits meanwhile.
    virtual BoxEvent awaitBox() = 0;
    /// Takes the box away; the keyboard goes back to the scene unless the game has ended.
    virtual void hideBox() = 0;

    // ---- Time ----
    /// The host's monotonic clock, in milliseconds.
    virtual double now() = 0;
    /// The game's clock starts, with a fresh period, or stops: while it runs the host calls
    /// Driver::tick each period (a timer) or Driver::frame with each frame of its display.
    virtual void runClock(bool runs) = 0;
    /// Calls Driver::wake at `when` (now()'s milliseconds), instead of any time asked before;
    /// never, for none.
    virtual void wakeAt(std::optional<std::int64_t> when) = 0;

    // ---- Words ----
    /// Whether a screen reader listens: nothing is said to none.
    virtual bool listening() { return true; }
    /// Says `text`: `atOnce` cuts short what is being said, otherwise it waits its turn.
    virtual void say(std::string_view text, bool atOnce) = 0;
    /// The scene is described by `text` (what the prompt shows) to a screen reader.
    virtual void describe(std::string_view text) = 0;

    // ---- The keys and the end ----
    /// The held keys are about to be let go (a host that holds a release back, to tell it from
    /// a key's repeat, passes it on now: it is a real one).
    virtual void releasing() {}
    /// The game has ended: nothing reaches it any more. `status` is the program's exit status.
    virtual void ended(int status) = 0;
};

}  // namespace vandrel::host
