// SPDX-License-Identifier: MIT
// The page's keys as the game's key codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vandrel::web {

/// The key code of a browser's key, from KeyboardEvent's `key` and `code`: a letter by the
/// character it types (so P is P on every layout; on one without Latin letters, by where it
/// is), every other key by where it is on the keyboard. None for keys that are not the game's: Tab
/// moves the keyboard between the page's controls, and F10 takes it to the menu bar.
std::optional<std::int16_t> virtualKey(std::string_view key, std::string_view code);

}  // namespace vandrel::web
