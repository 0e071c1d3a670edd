// SPDX-License-Identifier: MIT
// Qt's keys as the keys of the driver: the classic virtual-key codes the game's key handlers
// receive, and what was held with them.
#pragma once

#include <cstdint>
#include <optional>

#include <Qt>

#include "host/keys.h"

class QKeyEvent;

namespace vandrel::qt {

/// The virtual-key code of a Qt key: letters by key whatever the case or Shift (Shift+P is
/// 80), digits 48-57, space 32, arrows 37-40, Enter 13, Escape 27, Backspace 8, Tab 9,
/// Shift 16, Ctrl 17, Alt 18, F1-F12 112-123. Other keys take the native virtual key where
/// the platform has one (nativeVirtualKey 0 means none); otherwise there is no code.
std::optional<std::int16_t> virtualKeyCode(int qtKey, std::uint32_t nativeVirtualKey = 0);

/// The virtual-key code of a key event: a letter by the character it types, or where it
/// stands on a layout without Latin letters (host::letterKey); its native key only where that
/// is a virtual-key code (Windows).
std::optional<std::int16_t> virtualKeyCode(const QKeyEvent& event);

/// A key event as the driver takes it.
host::KeyEvent keyEventOf(const QKeyEvent& event);

}  // namespace vandrel::qt
