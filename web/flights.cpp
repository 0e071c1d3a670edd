// SPDX-License-Identifier: MIT
// The calls the page's flights (flights.js) make to read a flight into the module: a reader is
// begun with the flight's name, given each piece as it comes, and ended; the flight read is
// then replayed (vandrel_replay). None of them touches the game, and each returns at once.
#include "web/flights.h"

#include <emscripten.h>

#include <new>
#include <string>
#include <utility>

#include "shell/script/script.h"

namespace vandrel::web {

namespace {

std::optional<host::ReplayReader> reader;
std::optional<host::ReplayScript> read;
std::string name;
std::string said;  // a note, or why the flight is refused

// The reader's memory ran out: the flight is refused as one that cannot be read.
int outOfMemory() {
    reader.reset();
    said = escapedText(name) + ": cannot read: out of memory";
    return 0;
}

}  // namespace

std::optional<host::ReplayScript> takeFlight() {
    return std::exchange(read, std::nullopt);
}

}  // namespace vandrel::web

using namespace vandrel::web;

extern "C" {

/// Begins to read the flight named `flightName`, instead of any flight read before.
EMSCRIPTEN_KEEPALIVE void vandrel_flight_begin(const char* flightName) {
    read.reset();
    reader.reset();
    said.clear();
    name = flightName;
    reader.emplace(name, [](const std::string& note) { said = note; });
}

/// The next `length` bytes of the flight, at `bytes`: 1 to go on, 0 when it is refused
/// (vandrel_said says why) and the rest need not come.
EMSCRIPTEN_KEEPALIVE int vandrel_flight_more(const char* bytes, int length) {
    if (!reader) return 0;
    try {
        if (reader->more(std::string_view(bytes, static_cast<std::size_t>(length)))) return 1;
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
    said = std::get<vandrel::host::ReplayRefusal>(reader->end()).text(name);
    reader.reset();
    return 0;
}

/// The flight has ended: 1 when it is read, to be replayed (after a note, in vandrel_said, when
/// another version recorded it); 0 when it is refused, vandrel_said saying why.
EMSCRIPTEN_KEEPALIVE int vandrel_flight_end() {
    if (!reader) return 0;
    try {
        auto result = reader->end();
        reader.reset();
        if (auto* refusal = std::get_if<vandrel::host::ReplayRefusal>(&result)) {
            said = refusal->text(name);
            return 0;
        }
        read = std::move(std::get<vandrel::host::ReplayScript>(result));
        return 1;
    } catch (const std::bad_alloc&) {
        return outOfMemory();
    }
}

/// The page stopped reading the flight (it could not be read, or it is too large).
EMSCRIPTEN_KEEPALIVE void vandrel_flight_drop() {
    reader.reset();
    read.reset();
}

/// What the flight read last said, if anything.
EMSCRIPTEN_KEEPALIVE const char* vandrel_said() {
    return said.c_str();
}

/// `text` (a flight's name) as the page shows it: control characters and the bidirectional
/// controls as \xNN, as every message of the game shows them. It touches nothing of the game:
/// the page may ask while a box is up.
EMSCRIPTEN_KEEPALIVE const char* vandrel_escaped(const char* text) {
    static std::string escaped;
    escaped = vandrel::escapedText(text);
    return escaped.c_str();
}

}  // extern "C"
