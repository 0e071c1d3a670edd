// SPDX-License-Identifier: MIT
// The calls the page's script makes into the game, exported by the module (`vandrel_…`).
//
// The page calls in only between its events. While a box is up the game's stack is suspended
// (Asyncify) inside one of the calls that can open one (start, a key, a menu command, a frame,
// a replay), and the page calls nothing but the box's own events meanwhile.
#include <emscripten.h>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "shell/form1_view.h"
#include "shell/script/json_writer.h"
#include "web/flights.h"
#include "web/page.h"

namespace {

std::unique_ptr<vandrel::web::Page> game;
vandrel::Regional regional;
std::string handedOver;  // the last text handed to the page

const char* handOver(std::string value) {
    handedOver = std::move(value);
    return handedOver.c_str();
}

// A member of the JSON object `json` is writing: its name, then a text or a flag.
template <class Value>
void member(std::string& json, std::string_view name, const Value& value) {
    if (json.back() != '{') json += ',';
    vandrel::appendJsonString(json, name);
    json += ':';
    if constexpr (std::is_same_v<Value, bool>) {
        vandrel::appendBool(json, value);
    } else {
        vandrel::appendJsonString(json, value);
    }
}

// The menu tree as JSON: [{"name", "caption", "option", "items": [...]}, ...], captions with
// '&' before the access key; an option's check mark is an option's value.
std::string menuTree(const vandrel::Form1View& view) {
    std::string json;
    const std::vector<const vandrel::MenuItem*> options = view.optionItems();
    auto item = [&](const auto& self, const vandrel::MenuItem& menu) -> void {
        json += '{';
        member(json, "name", menu.Name);
        member(json, "caption", menu.Caption);
        member(json, "option", std::find(options.begin(), options.end(), &menu) != options.end());
        json += ",\"items\":[";
        for (std::size_t i = 0; i < menu.Children.size(); ++i) {
            if (i > 0) json += ',';
            self(self, *menu.Children[i]);
        }
        json += "]}";
    };
    json += '[';
    for (const vandrel::MenuItem* menu : view.state().menuBar) {
        if (json.size() > 1) json += ',';
        item(item, *menu);
    }
    return json + ']';
}

vandrel::host::KeyEvent keyEvent(int down, const char* key, const char* code, int shift, int ctrl,
                                 int alt, int meta) {
    return {vandrel::web::keyCode(key, code),
            down != 0,
            false,
            shift != 0,
            ctrl != 0,
            alt != 0,
            meta != 0};
}

}  // namespace

extern "C" {

/// Starts a game with the browser's regional settings.
EMSCRIPTEN_KEEPALIVE void vandrel_start(const char* decimal, const char* group, const char* minus) {
    regional.decimalSeparator = decimal;
    regional.groupSeparator = group;
    regional.negativeSign = minus;
    game.reset();
    game = std::make_unique<vandrel::web::Page>(regional);
}

/// Whether a key (KeyboardEvent's `key` and `code`, and the modifiers held) is the game's
/// while the scene has the keyboard: the page keeps it from the browser, and gives it to
/// vandrel_key.
EMSCRIPTEN_KEEPALIVE int vandrel_game_key(int down, const char* key, const char* code, int shift,
                                          int ctrl, int alt, int meta) {
    return vandrel::host::isGameKey(keyEvent(down, key, code, shift, ctrl, alt, meta)) ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE void vandrel_key(int down, const char* key, const char* code, int shift,
                                      int ctrl, int alt, int meta) {
    game->driver().key(keyEvent(down, key, code, shift, ctrl, alt, meta));
}

EMSCRIPTEN_KEEPALIVE void vandrel_click(const char* name) {
    game->driver().click(name);
}

/// On-screen control `index` of those vandrel_controls lists is pressed (1) or let go (0).
EMSCRIPTEN_KEEPALIVE void vandrel_control(int index, int pressed) {
    game->driver().control(static_cast<std::size_t>(index), pressed != 0);
}

/// Pad `index` reads the buttons `pressed` (bit i for button i of the standard layout) and the
/// left stick across at `x`; a pad that is gone reads nothing.
EMSCRIPTEN_KEEPALIVE void vandrel_pad(int index, double pressed, double x) {
    game->driver().pad(index, {static_cast<std::uint32_t>(pressed), x});
}

EMSCRIPTEN_KEEPALIVE void vandrel_frame(double now) {
    game->frame(now);
}

/// The keyboard left the scene: for one of the game's menus (`windowLeft` 0), or for
/// something else (another window or tab, the page's own controls), which pauses a flight.
EMSCRIPTEN_KEEPALIVE void vandrel_left(int windowLeft) {
    if (windowLeft != 0) {
        game->driver().windowLeft();
    } else {
        game->driver().keyboardLeft();
    }
}

/// The time the page was asked to wake at has come.
EMSCRIPTEN_KEEPALIVE void vandrel_wake() {
    game->driver().wake();
}

/// The browser's colour scheme changed.
EMSCRIPTEN_KEEPALIVE void vandrel_colours() {
    game->driver().coloursChanged();
}

/// The canvas was laid out anew: it is painted again.
EMSCRIPTEN_KEEPALIVE void vandrel_repaint() {
    game->repaint();
}

/// The on-screen controls as JSON, in the order they are laid out: [{"face", "name", "turns"},
/// ...].
EMSCRIPTEN_KEEPALIVE const char* vandrel_controls() {
    std::string json = "[";
    for (const vandrel::host::Control& control : vandrel::host::kControls) {
        if (json.size() > 1) json += ',';
        json += '{';
        member(json, "face", control.face);
        member(json, "name", control.name);
        member(json, "turns", control.turns);
        json += '}';
    }
    return handOver(json + ']');
}

/// How often a waiting page reads a connected pad, in milliseconds.
EMSCRIPTEN_KEEPALIVE int vandrel_pad_wait_poll() {
    return static_cast<int>(vandrel::host::kPadWaitPoll.count());
}

EMSCRIPTEN_KEEPALIVE const char* vandrel_menus() {
    return handOver(menuTree(game->driver().game().view()));
}

EMSCRIPTEN_KEEPALIVE const char* vandrel_recording() {
    return handOver(game->recording());
}

/// Replays the flight read last (web/flights.h) in a fresh game: 1 when it plays, 0 when there
/// is none, and the game goes on as it was.
EMSCRIPTEN_KEEPALIVE int vandrel_replay() {
    std::optional<vandrel::host::ReplayScript> script = vandrel::web::takeFlight();
    if (!script) return 0;
    game.reset();
    game = std::make_unique<vandrel::web::Page>(regional, std::move(*script));
    return 1;
}

}  // extern "C"
