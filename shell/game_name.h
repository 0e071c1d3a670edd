// SPDX-License-Identifier: MIT
// The game's name and version: the window's caption, the title of the box that reports a
// fault, and what the command line prints.
#pragma once

namespace vandrel {

inline constexpr char kGameName[] = "Vandrel";
/// The project's version, which the build gives (VANDREL_VERSION).
inline constexpr char kGameVersion[] = VANDREL_VERSION;

}  // namespace vandrel
