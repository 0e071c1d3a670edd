// SPDX-License-Identifier: MIT
// The game's name and version, as the window, the trace tool and the recordings state them.
#pragma once

#include <string_view>

namespace vandrel {

inline constexpr std::string_view kGameName = "Vandrel";
/// The version the build gives the program ("1.00").
extern const std::string_view kGameVersion;

}  // namespace vandrel
