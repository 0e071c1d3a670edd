// SPDX-License-Identifier: MIT
// The browser's keys as the driver's.
#include "web/page.h"

#include <array>
#include <utility>

#include "shell/runtime/key_codes.h"

namespace vandrel::web {

namespace {

using namespace keys;

// The keys named by where they are; their left and right twins alike.
constexpr std::array<std::pair<std::string_view, std::int16_t>, 15> kNamedKeys{{
    {"Space", kSpace},
    {"ArrowLeft", kLeft},
    {"ArrowUp", kUp},
    {"ArrowRight", kRight},
    {"ArrowDown", kDown},
    {"Enter", kEnter},
    {"NumpadEnter", kEnter},
    {"Escape", kEscape},
    {"Backspace", kBackspace},
    {"ShiftLeft", kShift},
    {"ShiftRight", kShift},
    {"ControlLeft", kCtrl},
    {"ControlRight", kCtrl},
    {"AltLeft", kAlt},
    {"AltRight", kAlt},
}};

// The number of a key named by a prefix and a number from `first` to `last` ("F10", "Digit7").
std::optional<int> numbered(std::string_view code, std::string_view prefix, int first, int last) {
    if (!code.starts_with(prefix) || code.size() == prefix.size() ||
        code.size() > prefix.size() + 2)
        return std::nullopt;
    int n = 0;
    for (char c : code.substr(prefix.size())) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < first || n > last) return std::nullopt;
    return n;
}

}  // namespace

std::optional<std::int16_t> keyCode(std::string_view key, std::string_view code) {
    // A letter key of the usual layout is named "KeyA" to "KeyZ" by where it stands.
    const char position = code.size() == 4 && code.starts_with("Key") ? code[3] : 0;
    if (!key.empty() && (key.size() == 1 || static_cast<unsigned char>(key[0]) >= 0x80)) {
        if (const auto letter = host::letterKey(static_cast<unsigned char>(key[0]), position))
            return letter;
    }
    for (const auto& [name, keyCode] : kNamedKeys) {
        if (code == name) return keyCode;
    }
    if (const auto digit = numbered(code, "Digit", 0, 9))
        return static_cast<std::int16_t>(k0 + *digit);
    if (const auto digit = numbered(code, "Numpad", 0, 9))
        return static_cast<std::int16_t>(k0 + *digit);
    if (const auto f = numbered(code, "F", 1, 12)) return static_cast<std::int16_t>(kF1 + *f - 1);
    return std::nullopt;
}

}  // namespace vandrel::web
