// SPDX-License-Identifier: MIT
// What the game asks of the page it runs in: the page's script (page.js) provides each of
// these, and the game calls them from inside the WebAssembly module. Coordinates are the
// scene's CSS pixels from its top-left corner; colours are 0xRRGGBB.
#pragma once

#include <cstdint>
#include <string_view>

#include "host/rect.h"

namespace vandrel::web::page {

/// The page's monotonic clock, in milliseconds.
double now();

/// A frame begins: what follows is drawn only inside `rects` (x, y, width, height each).
void beginFrame(const std::int32_t* rects, int count);
void fill(const host::Rect& box, std::int32_t rgb);
/// A line between pixels with square ends, `width` pixels wide.
void line(int x1, int y1, int x2, int y2, std::int32_t rgb, int width);
/// An oval filled in `box`, outlined `width` pixels wide.
void oval(const host::Rect& box, std::int32_t fill, std::int32_t border, int width);
/// A line of text in font `font`, its top-left corner at (x, y); clipped to `clip` unless it
/// is empty.
void text(int font, std::string_view text, int x, int y, std::int32_t rgb, const host::Rect& clip);
void endFrame();

/// Font `index` is the CSS font `css`.
void setFont(int index, std::string_view css);
/// The width of a line of text in a font, and the height of the font's line, in CSS pixels.
double textWidth(int font, std::string_view text);
double lineHeight(int font);

/// Lays out a box with a title, a prompt and OK, unseen: its size, as width << 16 | height.
std::int32_t boxSize(std::string_view title, std::string_view prompt);
/// Shows the box laid out last at (x, y) and waits, the game's stack suspended, until the
/// player answers it.
void awaitBox(int x, int y);

/// What a screen reader hears now: `atOnce` interrupts, otherwise it waits its turn.
void announce(std::string_view text, bool atOnce);
/// The scene's description for a screen reader: what the prompt shows.
void describe(std::string_view text);
/// Asks the page to call vandrel_wake at `when` (the page's clock), instead of any time asked
/// for before; never, for a negative `when`.
void wakeAt(double when);
/// File > Exit, or a script's `close`, ended the game.
void exited();
/// An unhandled error ended the game: the page shows the box laid out last at (x, y), then
/// that the game has ended.
void failed(int x, int y);

}  // namespace vandrel::web::page
