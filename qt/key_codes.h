// SPDX-License-Identifier: MIT
// Qt keys as the classic virtual-key codes the game's key handlers receive.
#pragma once

#include <cstdint>
#include <optional>

#include <Qt>

class QKeyEvent;

namespace vandrel::qt {

/// The virtual-key code of a Qt key: letters by key whatever the case or Shift (Shift+P is
/// 80), digits 48-57, space 32, arrows 37-40, Enter 13, Escape 27, Backspace 8, Tab 9,
/// Shift 16, Ctrl 17, Alt 18, F1-F12 112-123. Other keys take the native virtual key where
/// the platform has one (nativeVirtualKey 0 means none); otherwise there is no code.
std::optional<std::int16_t> virtualKeyCode(int qtKey, std::uint32_t nativeVirtualKey = 0);

/// The shift state of a key event: bit 1 Shift, 2 Ctrl, 4 Alt.
std::int16_t shiftState(Qt::KeyboardModifiers modifiers);

/// The virtual-key code of a key event, using its native key only where that is a
/// virtual-key code (Windows).
std::optional<std::int16_t> virtualKeyCode(const QKeyEvent& event);

}  // namespace vandrel::qt
