// SPDX-License-Identifier: MIT
// The module's two sides: the calls the page makes into the game (exported, `vandrel_…`), and
// the page's functions the game calls (page.h), each a line of JavaScript handing over to the
// page's script, which gave them to the module as `page` when it created it.
//
// The page calls in only between its events; while a box is up the game's stack is suspended
// (Asyncify) and the page calls nothing but the box's answer.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <string>

#include "shell/script/script_io.h"
#include "web/page.h"
#include "web/web_game.h"

namespace {

std::unique_ptr<vandrel::web::WebGame> game;
vandrel::Regional regional;
vandrel::web::SystemColours colours{};
std::string text;  // the last text handed to the page

// The browser's system colours, 0xRRGGBB in host::kSystemColors' order, or -1 where it has
// none: the default scheme's colour then.
vandrel::web::SystemColours coloursOf(std::int32_t windowBackground, std::int32_t menuText,
                                      std::int32_t windowText, std::int32_t buttonFace,
                                      std::int32_t buttonText) {
    vandrel::web::SystemColours rgb{};
    const std::int32_t values[] = {windowBackground, menuText, windowText, buttonFace, buttonText};
    for (std::size_t i = 0; i < rgb.size(); ++i) {
        rgb[i] = values[i] < 0
                     ? vandrel::host::defaultSchemeColor(vandrel::host::kSystemColors[i])
                     : vandrel::host::Rgb{static_cast<std::uint8_t>(values[i] >> 16 & 0xFF),
                                          static_cast<std::uint8_t>(values[i] >> 8 & 0xFF),
                                          static_cast<std::uint8_t>(values[i] & 0xFF)};
    }
    return rgb;
}

const char* handOver(std::string value) {
    text = std::move(value);
    return text.c_str();
}

}  // namespace

// The page's functions, in the order of page.h.
EM_JS(double, vandrel_page_now, (), { return performance.now(); });
EM_JS(void, vandrel_page_begin_frame, (const std::int32_t* rects, int count),
      { Module["page"]["beginFrame"](HEAP32.subarray(rects >> 2, (rects >> 2) + 4 * count)); });
EM_JS(void, vandrel_page_fill, (int x, int y, int w, int h, std::int32_t rgb),
      { Module["page"]["fill"](x, y, w, h, rgb); });
EM_JS(void, vandrel_page_line, (int x1, int y1, int x2, int y2, std::int32_t rgb, int width),
      { Module["page"]["line"](x1, y1, x2, y2, rgb, width); });
EM_JS(void, vandrel_page_oval,
      (int x, int y, int w, int h, std::int32_t fill, std::int32_t border, int width),
      { Module["page"]["oval"](x, y, w, h, fill, border, width); });
EM_JS(void, vandrel_page_text,
      (int font, const char* text, int length, int x, int y, std::int32_t rgb, int cx, int cy,
       int cw, int ch),
      { Module["page"]["text"](font, UTF8ToString(text, length), x, y, rgb, cx, cy, cw, ch); });
EM_JS(void, vandrel_page_end_frame, (), { Module["page"]["endFrame"](); });
EM_JS(void, vandrel_page_set_font, (int index, const char* css, int length),
      { Module["page"]["setFont"](index, UTF8ToString(css, length)); });
EM_JS(double, vandrel_page_text_width, (int font, const char* text, int length),
      { return Module["page"]["textWidth"](font, UTF8ToString(text, length)); });
EM_JS(double, vandrel_page_line_height, (int font), { return Module["page"]["lineHeight"](font); });
EM_JS(std::int32_t, vandrel_page_box_size,
      (const char* title, int titleLength, const char* prompt, int promptLength), {
          return Module["page"]["boxSize"](UTF8ToString(title, titleLength),
                                           UTF8ToString(prompt, promptLength));
      });
EM_ASYNC_JS(void, vandrel_page_await_box, (int x, int y),
            { await Module["page"]["awaitBox"](x, y); });
EM_JS(void, vandrel_page_announce, (const char* text, int length, int atOnce),
      { Module["page"]["announce"](UTF8ToString(text, length), atOnce != 0); });
EM_JS(void, vandrel_page_describe, (const char* text, int length),
      { Module["page"]["describe"](UTF8ToString(text, length)); });
EM_JS(void, vandrel_page_wake_at, (double when), { Module["page"]["wakeAt"](when); });
EM_JS(void, vandrel_page_exited, (), { Module["page"]["exited"](); });
EM_JS(void, vandrel_page_failed, (int x, int y), { Module["page"]["failed"](x, y); });

namespace vandrel::web::page {

namespace {
int size(std::string_view s) {
    return static_cast<int>(s.size());
}
}  // namespace

double now() {
    return vandrel_page_now();
}
void beginFrame(const std::int32_t* rects, int count) {
    vandrel_page_begin_frame(rects, count);
}
void fill(const host::Rect& box, std::int32_t rgb) {
    vandrel_page_fill(box.left, box.top, box.width, box.height, rgb);
}
void line(int x1, int y1, int x2, int y2, std::int32_t rgb, int width) {
    vandrel_page_line(x1, y1, x2, y2, rgb, width);
}
void oval(const host::Rect& box, std::int32_t fill, std::int32_t border, int width) {
    vandrel_page_oval(box.left, box.top, box.width, box.height, fill, border, width);
}
void text(int font, std::string_view text, int x, int y, std::int32_t rgb, const host::Rect& clip) {
    vandrel_page_text(font, text.data(), size(text), x, y, rgb, clip.left, clip.top, clip.width,
                      clip.height);
}
void endFrame() {
    vandrel_page_end_frame();
}
void setFont(int index, std::string_view css) {
    vandrel_page_set_font(index, css.data(), size(css));
}
double textWidth(int font, std::string_view text) {
    return vandrel_page_text_width(font, text.data(), size(text));
}
double lineHeight(int font) {
    return vandrel_page_line_height(font);
}
std::int32_t boxSize(std::string_view title, std::string_view prompt) {
    return vandrel_page_box_size(title.data(), size(title), prompt.data(), size(prompt));
}
void awaitBox(int x, int y) {
    vandrel_page_await_box(x, y);
}
void announce(std::string_view text, bool atOnce) {
    vandrel_page_announce(text.data(), size(text), atOnce ? 1 : 0);
}
void describe(std::string_view text) {
    vandrel_page_describe(text.data(), size(text));
}
void wakeAt(double when) {
    vandrel_page_wake_at(when);
}
void exited() {
    vandrel_page_exited();
}
void failed(int x, int y) {
    vandrel_page_failed(x, y);
}

}  // namespace vandrel::web::page

extern "C" {

/// Starts a game with the browser's regional settings and system colours (0xRRGGBB: window
/// background, menu text, window text, button face, button text).
EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_start(const char* decimal, const char* group,
                                                const char* minus, std::int32_t c0, std::int32_t c1,
                                                std::int32_t c2, std::int32_t c3, std::int32_t c4) {
    regional.decimalSeparator = decimal;
    regional.groupSeparator = group;
    regional.negativeSign = minus;
    colours = coloursOf(c0, c1, c2, c3, c4);
    game.reset();
    game = std::make_unique<vandrel::web::WebGame>(regional, colours);
    return game->flags();
}

EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_key(int down, const char* key, const char* code,
                                              int shift) {
    return game->key(down != 0, key, code, static_cast<std::int16_t>(shift));
}

EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_click(const char* name) {
    return game->click(name);
}

EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_frame(double now) {
    return game->frame(now);
}

/// The ticks raised so far (the window benchmark's tick rate).
EMSCRIPTEN_KEEPALIVE double vandrel_ticks() {
    return static_cast<double>(game->ticks());
}

EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_left(int windowLeft) {
    return game->left(windowLeft != 0);
}

/// The time the page was asked to wake at has come.
EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_wake() {
    return game->wake();
}

EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_redraw(std::int32_t c0, std::int32_t c1, std::int32_t c2,
                                                 std::int32_t c3, std::int32_t c4) {
    colours = coloursOf(c0, c1, c2, c3, c4);
    return game->redraw(colours);
}

EMSCRIPTEN_KEEPALIVE const char* vandrel_menus() {
    return handOver(game->menus());
}

EMSCRIPTEN_KEEPALIVE const char* vandrel_checks() {
    return handOver(game->checks());
}

EMSCRIPTEN_KEEPALIVE const char* vandrel_recording() {
    return handOver(game->recording());
}

/// Replays the script of `length` bytes at `script` in a fresh game: 1 when it plays, after
/// a note when another version recorded it (vandrel_said), 0 when it is refused, vandrel_said
/// saying why ("NAME: line N: REASON"), and the game goes on as it was.
EMSCRIPTEN_KEEPALIVE std::int32_t vandrel_replay(const char* name, const char* script,
                                                 std::int32_t length) {
    vandrel::TextSource source(std::string_view(script, static_cast<std::size_t>(length)));
    text.clear();
    auto read =
        vandrel::host::Replay::read(source, name, [](const std::string& note) { text = note; });
    if (auto* refusal = std::get_if<vandrel::host::Replay::Refusal>(&read)) {
        text =
            std::string(name) + ": line " + std::to_string(refusal->line) + ": " + refusal->reason;
        return 0;
    }
    game.reset();
    game = std::make_unique<vandrel::web::WebGame>(
        regional, colours, std::move(std::get<std::vector<vandrel::host::Replay::Step>>(read)));
    return 1;
}

/// What the last call said, if anything.
EMSCRIPTEN_KEEPALIVE const char* vandrel_said() {
    return text.c_str();
}

}  // extern "C"
