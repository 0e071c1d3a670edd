// SPDX-License-Identifier: MIT
#include "web/key_names.h"

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

std::optional<std::int16_t> virtualKey(std::string_view key, std::string_view code) {
    if (key.size() == 1) {
        const char c = key[0];
        if (c >= 'a' && c <= 'z') return static_cast<std::int16_t>(kA + (c - 'a'));
        if (c >= 'A' && c <= 'Z') return static_cast<std::int16_t>(kA + (c - 'A'));
    } else if (!key.empty() && static_cast<unsigned char>(key[0]) >= 0x80 && code.size() == 4 &&
               code.starts_with("Key") && code[3] >= 'A' && code[3] <= 'Z') {
        // A layout without Latin letters (Cyrillic, Greek): the letter where it stands.
        return static_cast<std::int16_t>(kA + (code[3] - 'A'));
    }
    for (const auto& [name, keyCode] : kNamedKeys) {
        if (code == name) return keyCode;
    }
    if (const auto digit = numbered(code, "Digit", 0, 9))
        return static_cast<std::int16_t>(k0 + *digit);
    if (const auto digit = numbered(code, "Numpad", 0, 9))
        return static_cast<std::int16_t>(k0 + *digit);
    if (const auto f = numbered(code, "F", 1, 12); f && *f != 10) {
        return static_cast<std::int16_t>(kF1 + *f - 1);
    }
    return std::nullopt;
}

}  // namespace vandrel::web
