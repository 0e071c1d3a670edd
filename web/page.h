// SPDX-License-Identifier: MIT
// The page's side of the game: the one driver (host/driver.h) on the page's toolkit, which is
// the page's script (page.js) behind the functions below. Coordinates are the scene's pixels
// from its top-left corner (the page shows them at whatever size fits its screen); colours are
// 0xRRGGBB.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "host/driver.h"
#include "shell/script/script_io.h"

namespace vandrel::web {

/// The virtual-key code of a browser's key: a letter by the character it types
/// (KeyboardEvent's `key`; where it stands on a layout without Latin letters), every other key
/// by where it is on the keyboard (`code`).
std::optional<std::int16_t> keyCode(std::string_view key, std::string_view code);

class Page : private host::Toolkit, private host::Surface {
  public:
    /// A game in the page with the browser's regional settings, recorded from its start;
    /// `script` is replayed in it.
    explicit Page(Regional regional, std::optional<host::ReplayScript> script = std::nullopt);
    /// The page's clock and wake-up are this game's no more.
    ~Page() override;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    host::Driver& driver() { return driver_; }
    /// A frame of the page's display at `now`: the ticks due, then what changed is painted.
    void frame(double now);
    /// The canvas was laid out anew (a new size or pixel density): all of it is painted again.
    void repaint();
    /// The recording so far, then its final line with the state now.
    std::string recording();

  private:
    // The canvas.
    void begin(const std::vector<host::Rect>& area) override;
    void end() override;
    void oval(const host::Rect& box, host::Rgb fill, host::Rgb border, int width) override;
    void line(int x1, int y1, int x2, int y2, host::Rgb colour, int width) override;
    void fill(const host::Rect& box, host::Rgb colour) override;
    void text(int label, int x, int y, host::Rgb ink, host::Rgb paper,
              const std::optional<host::Rect>& clip) override;
    // Its fonts and colours.
    void setFont(int label, const host::FontChoice& font) override;
    double trialWidth(const host::FontChoice& font, std::string_view text) override;
    host::TextSize layOut(int label, std::string_view text) override;
    std::optional<host::Rgb> systemColour(SystemColor index) override;
    // The page around it.
    void changed(host::Pace pace) override;
    void showChecks(std::string_view marks) override;
    void describe(std::string_view text) override;
    void say(std::string_view text, bool atOnce) override;
    void ended(int status) override;
    // The box, over the canvas.
    host::TextSize boxSize(std::string_view title, std::string_view prompt) override;
    void showBox(std::string_view title, std::string_view prompt, const host::Rect& place) override;
    void hideBox() override;
    host::BoxEvent awaitBox() override;
    // The page's clock.
    void runClock(bool runs) override;
    void wakeAt(std::optional<std::int64_t> when) override;
    double now() override;

    PiecesSink recording_;
    host::Driver driver_;
    bool framing_ = false;  // in a frame, which paints after its ticks
};

}  // namespace vandrel::web
