// SPDX-License-Identifier: MIT
// The state object of the `dump` command: the game state, every moving control and the
// option check marks, as one JSON line with its keys in a fixed order.
#pragma once

#include <cstdint>
#include <string>

#include "shell/form1_view.h"

namespace vandrel {

/// Appends the state object (without a line feed): `ticks` first, then the game state, the
/// timer, Ground, ship, Fire, shpStar, the five labels and the eleven option check marks.
void appendDump(std::string& out, const Form1View& view, std::uint64_t ticks);

}  // namespace vandrel
