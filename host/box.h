// SPDX-License-Identifier: MIT
// The game's message boxes as every host shows them: inside the window, over the scene.
//
// A window system puts a program's top-level windows where it likes, and a Wayland compositor
// or a browser centres a box over the window, right over the ship, whose green or red hull
// the player must see while the box is up. A box inside the scene stays where the host puts
// it: below the hull, clear of the readouts.
#pragma once

#include <string>
#include <string_view>

#include "host/rect.h"
#include "shell/form1_view.h"

namespace vandrel::host {

/// What a box must leave in view: the hull, whatever its attitude, and every label's box.
Rect keptInView(const Form1View& view);

/// Where a box of `width` × `height` pixels goes over `scene` so that the area `keepClear`
/// stays in view: centred across the scene, in the middle of the part below `keepClear`, and
/// never higher than a margin below it.
Rect boxPlace(int width, int height, const Rect& scene, const Rect& keepClear);

/// A box's prompt as lines: CR LF, or a lone CR or LF, is one line break ("\n").
std::string promptText(std::string_view prompt);

}  // namespace vandrel::host
