// SPDX-License-Identifier: MIT
// The page's toolkit: each of its functions a line of JavaScript calling the page's script,
// which gave them to the module as `page` when it created it.
#include "web/page.h"

#include <emscripten.h>

#include <array>
#include <string>

#include "shell/script/recorder.h"

namespace vandrel::web {

namespace {

int size(std::string_view s) {
    return static_cast<int>(s.size());
}

std::int32_t rgb(host::Rgb c) {
    return c.red << 16 | c.green << 8 | c.blue;
}

// A font's faces, a line each.
std::string facesOf(const host::FontChoice& font) {
    std::string faces;
    for (std::string_view face : font.faces)
        faces.append(face) += '\n';
    return faces;
}

// The CSS system colours of the scene's system colours.
const char* cssColourName(SystemColor index) {
    switch (index) {
        case SystemColor::WindowBackground:
            return "Canvas";
        case SystemColor::WindowText:
            return "CanvasText";
        case SystemColor::ButtonFace:
            return "ButtonFace";
        case SystemColor::MenuText:
        case SystemColor::ButtonText:
            break;
    }
    return "ButtonText";
}

}  // namespace

// The page's functions (JavaScript, which clang-format would break).
// clang-format off
EM_JS(double, vandrel_page_now, (), { return performance.now(); });
EM_JS(void, vandrel_page_begin, (const std::int32_t* rects, int count),
      { Module["page"]["begin"](HEAP32.subarray(rects >> 2, (rects >> 2) + 4 * count)); });
EM_JS(void, vandrel_page_fill, (int x, int y, int w, int h, std::int32_t rgb),
      { Module["page"]["fill"](x, y, w, h, rgb); });
EM_JS(void, vandrel_page_line, (int x1, int y1, int x2, int y2, std::int32_t rgb, int width),
      { Module["page"]["line"](x1, y1, x2, y2, rgb, width); });
EM_JS(void, vandrel_page_oval,
      (int x, int y, int w, int h, std::int32_t fill, std::int32_t border, int width),
      { Module["page"]["oval"](x, y, w, h, fill, border, width); });
EM_JS(void, vandrel_page_text,
      (int label, int x, int y, std::int32_t rgb, int cx, int cy, int cw, int ch),
      { Module["page"]["text"](label, x, y, rgb, cx, cy, cw, ch); });
EM_JS(void, vandrel_page_end, (), { Module["page"]["end"](); });
EM_JS(void, vandrel_page_set_font,
      (int label, const char* faces, int length, double points, int pixels, int weight, int italic),
      { Module["page"]["setFont"](label, UTF8ToString(faces, length), points, pixels, weight, italic !== 0); });
EM_JS(double, vandrel_page_lay_out, (int label, const char* text, int length, double* height), {
    const size = Module["page"]["layOut"](label, UTF8ToString(text, length));
    HEAPF64[height >> 3] = size[1];
    return size[0];
});
EM_JS(double, vandrel_page_trial_width, (int pixels, const char* text, int length),
      { return Module["page"]["trialWidth"](pixels, UTF8ToString(text, length)); });
EM_JS(std::int32_t, vandrel_page_system_colour, (const char* name),
      { return Module["page"]["systemColour"](UTF8ToString(name)); });
EM_JS(void, vandrel_page_show_checks, (const char* marks, int length),
      { Module["page"]["showChecks"](UTF8ToString(marks, length)); });
EM_JS(double, vandrel_page_box_size,
      (const char* title, int titleLength, const char* prompt, int promptLength, double* height), {
          const size = Module["page"]["boxSize"](UTF8ToString(title, titleLength),
                                                 UTF8ToString(prompt, promptLength));
          HEAPF64[height >> 3] = size[1];
          return size[0];
      });
EM_JS(void, vandrel_page_show_box, (int x, int y), { Module["page"]["showBox"](x, y); });
// What happens next on the box: 0 a key down, 1 a key up, 2 a click, 3 a pad read; the key's
// `key` and `code`, and the numbers (whether the key repeats; the pad, its buttons and its
// stick) are written where the module asks.
EM_ASYNC_JS(int, vandrel_page_await_box,
            (char* key, int keySize, char* code, int codeSize, double* numbers), {
                const event = await Module["page"]["awaitBox"]();
                stringToUTF8(event.key || "", key, keySize);
                stringToUTF8(event.code || "", code, codeSize);
                const values = [event.repeat ? 1 : 0, event.pad || 0, event.pressed || 0, event.x || 0];
                HEAPF64.set(values, numbers >> 3);
                return event.kind;
            });
EM_JS(void, vandrel_page_hide_box, (), { Module["page"]["hideBox"](); });
EM_JS(void, vandrel_page_run_clock, (int runs), { Module["page"]["runClock"](runs !== 0); });
EM_JS(void, vandrel_page_wake_at, (double when), { Module["page"]["wakeAt"](when); });
EM_JS(void, vandrel_page_say, (const char* text, int length, int atOnce),
      { Module["page"]["say"](UTF8ToString(text, length), atOnce !== 0); });
EM_JS(void, vandrel_page_describe, (const char* text, int length),
      { Module["page"]["describe"](UTF8ToString(text, length)); });
EM_JS(void, vandrel_page_ended, (int status), { Module["page"]["ended"](status); });
EM_JS(void, vandrel_page_scene_size, (int width, int height),
      { Module["page"]["sceneSize"](width, height); });
// clang-format on

Page::Page(Regional regional, std::optional<host::ReplayScript> script)
    : driver_(*this, std::move(regional)) {
    const host::Rect area = host::sceneArea(driver_.game().view());
    vandrel_page_scene_size(area.width, area.height);
    driver_.record(recording_);
    // A script's `close` ends the game as closing the window does.
    if (script) driver_.replay(std::move(*script), {{}, [this] { driver_.close(); }});
    driver_.start();
}

Page::~Page() {
    vandrel_page_run_clock(0);
    vandrel_page_wake_at(-1);
}

void Page::frame(double now) {
    framing_ = true;
    driver_.frame(now);
    framing_ = false;
    driver_.scene().paintChanges(*this);
}

void Page::repaint() {
    driver_.scene().unpainted().addAll();
    driver_.scene().paintChanges(*this);
}

std::string Page::recording() {
    driver_.recorder()->writeTicks();
    return recording_.text() + Recorder::finalLine(driver_.game().view(), driver_.game().ticks());
}

void Page::setFont(int label, const host::FontChoice& font) {
    const std::string faces = facesOf(font);
    vandrel_page_set_font(label, faces.data(), size(faces), font.points, font.pixels, font.weight,
                          font.italic ? 1 : 0);
}

host::TextSize Page::layOut(int label, std::string_view text) {
    double height = 0;
    const double width = vandrel_page_lay_out(label, text.data(), size(text), &height);
    return {width, height};
}

double Page::trialWidth(const host::FontChoice& font, std::string_view text) {
    // A size of the browser's sans-serif face: what the driver tries sizes in.
    return vandrel_page_trial_width(font.pixels, text.data(), size(text));
}

std::optional<host::Rgb> Page::systemColour(SystemColor index) {
    const std::int32_t value = vandrel_page_system_colour(cssColourName(index));
    if (value < 0) return std::nullopt;
    return host::Rgb{static_cast<std::uint8_t>(value >> 16 & 0xFF),
                     static_cast<std::uint8_t>(value >> 8 & 0xFF),
                     static_cast<std::uint8_t>(value & 0xFF)};
}

void Page::changed(host::Pace /*pace*/) {
    // A frame's ticks are painted once they have all run; anything else at once.
    if (!framing_) driver_.scene().paintChanges(*this);
}

void Page::showChecks(std::string_view marks) {
    vandrel_page_show_checks(marks.data(), size(marks));
}

host::TextSize Page::boxSize(std::string_view title, std::string_view prompt) {
    double height = 0;
    const double width =
        vandrel_page_box_size(title.data(), size(title), prompt.data(), size(prompt), &height);
    return {width, height};
}

void Page::showBox(std::string_view, std::string_view, const host::Rect& place) {
    driver_.scene().paintChanges(*this);
    vandrel_page_show_box(place.left, place.top);
}

host::BoxEvent Page::awaitBox() {
    std::array<char, 64> key{}, code{};
    std::array<double, 4> numbers{};
    const int kind = vandrel_page_await_box(key.data(), static_cast<int>(key.size()), code.data(),
                                            static_cast<int>(code.size()), numbers.data());
    using Kind = host::BoxEvent::Kind;
    if (kind == 2) return {Kind::Clicked};
    // A pad's A or Start answers as a click; a key the game has no code for answers nothing.
    if (kind == 3) {
        const host::PadReading reading{static_cast<std::uint32_t>(numbers[2]), numbers[3]};
        return driver_.padAnswersBox(static_cast<int>(numbers[1]), reading)
                   ? host::BoxEvent{Kind::Clicked}
                   : host::BoxEvent{Kind::KeyDown, -1};
    }
    return {kind == 0 ? Kind::KeyDown : Kind::KeyUp, keyCode(key.data(), code.data()).value_or(-1),
            numbers[0] != 0};
}

void Page::hideBox() {
    vandrel_page_hide_box();
}

double Page::now() {
    return vandrel_page_now();
}

void Page::runClock(bool runs) {
    vandrel_page_run_clock(runs ? 1 : 0);
}

void Page::wakeAt(std::optional<std::int64_t> when) {
    vandrel_page_wake_at(when ? static_cast<double>(*when) : -1);
}

void Page::say(std::string_view text, bool atOnce) {
    vandrel_page_say(text.data(), size(text), atOnce ? 1 : 0);
}

void Page::describe(std::string_view text) {
    vandrel_page_describe(text.data(), size(text));
}

void Page::ended(int status) {
    vandrel_page_ended(status);
}

void Page::begin(const std::vector<host::Rect>& area) {
    // The rectangles as they lie in the module's memory: left, top, width, height each.
    static_assert(sizeof(host::Rect) == 4 * sizeof(std::int32_t) && sizeof(int) == 4);
    vandrel_page_begin(reinterpret_cast<const std::int32_t*>(area.data()),
                       static_cast<int>(area.size()));
}

void Page::fill(const host::Rect& box, host::Rgb colour) {
    vandrel_page_fill(box.left, box.top, box.width, box.height, rgb(colour));
}

void Page::line(int x1, int y1, int x2, int y2, host::Rgb colour, int width) {
    vandrel_page_line(x1, y1, x2, y2, rgb(colour), width);
}

void Page::oval(const host::Rect& box, host::Rgb fill, host::Rgb border, int width) {
    vandrel_page_oval(box.left, box.top, box.width, box.height, rgb(fill), rgb(border), width);
}

void Page::text(int label, int x, int y, host::Rgb ink, host::Rgb /*paper*/,
                const std::optional<host::Rect>& clip) {
    const host::Rect c = clip.value_or(host::Rect{});
    vandrel_page_text(label, x, y, rgb(ink), c.left, c.top, c.width, c.height);
}

void Page::end() {
    vandrel_page_end();
}

}  // namespace vandrel::web
