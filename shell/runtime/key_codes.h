// SPDX-License-Identifier: MIT
// The classic virtual-key codes: what a key event carries to Form_KeyDown and Form_KeyUp.
//
// A code names the key, not the character: A to Z are 65 to 90 whatever the case or Shift,
// the digits 48 to 57. The window maps its toolkit's keys to these; the key handlers, the
// tests and the fuzzers compare with them.
#pragma once

#include <cstdint>

namespace vandrel::keys {

inline constexpr std::int16_t kBackspace = 8;
inline constexpr std::int16_t kTab = 9;
inline constexpr std::int16_t kEnter = 13;
inline constexpr std::int16_t kShift = 16;
inline constexpr std::int16_t kCtrl = 17;
inline constexpr std::int16_t kAlt = 18;
inline constexpr std::int16_t kEscape = 27;
inline constexpr std::int16_t kSpace = 32;
inline constexpr std::int16_t kLeft = 37;
inline constexpr std::int16_t kUp = 38;
inline constexpr std::int16_t kRight = 39;
inline constexpr std::int16_t kDown = 40;
inline constexpr std::int16_t k0 = 48;  // the digits run on to 9 (57)
inline constexpr std::int16_t k9 = 57;
inline constexpr std::int16_t kA = 65;  // the letters run on to Z (90)
inline constexpr std::int16_t kP = 80;
inline constexpr std::int16_t kR = 82;
inline constexpr std::int16_t kZ = 90;
inline constexpr std::int16_t kF1 = 112;  // the function keys run on to F12 (123)
inline constexpr std::int16_t kF12 = 123;

}  // namespace vandrel::keys
