// SPDX-License-Identifier: MIT
// The trace script: one command a line.
//
//   down K | up K     key-down / key-up with key code K (-32768..32767)
//   click NAME        a menu item with a click handler (mnuExit, mnuGNone, ... mnuABout)
//   tick [N]          N timer intervals (1..1000000000, default 1)
//   dump              one state object
//   close             the window is closed by its frame
//
// Words are separated by spaces or tabs; a trailing CR is dropped; a blank line or one whose
// first non-blank character is '#' is ignored. A number is an optional '-' and decimal digits.
// A line holding a NUL byte is malformed, and so is one longer than 65,536 bytes (the reader
// stops at it).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel {

enum class CommandKind { Nothing, Down, Up, Click, Tick, Dump, Close };

struct Command {
    CommandKind kind = CommandKind::Nothing;  // Nothing: a blank or comment line
    std::int16_t keyCode = 0;                 // Down, Up
    std::uint32_t count = 0;                  // Tick
    std::string_view menuName;                // Click; points into the parsed line
};

inline constexpr std::uint32_t kMaxTickCount = 1'000'000'000;

/// `text` (a file's name) as a message shows it: control characters, C1 controls, the
/// bidirectional controls, NUL and bytes that are not UTF-8 as \xNN, as a quoted word shows
/// them, so that it can neither drive a terminal nor reorder the message around it.
std::string escapedText(std::string_view text);

/// Parses one line, given without its line feed. Returns true with `command` set, or false
/// with the reason the line is malformed in `reason`.
bool parseLine(std::string_view line, Command& command, std::string& reason);

}  // namespace vandrel
