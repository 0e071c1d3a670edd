// SPDX-License-Identifier: MIT
// The game's colour values as Qt colours.
#pragma once

#include <QColor>
#include <QPalette>

#include "shell/runtime/controls.h"

namespace vandrel::qt {

/// A colour value of the game (red in the low byte) as a QColor. A system colour follows the
/// palette: window background, menu text, window text, button face and button text; an index
/// the palette has no colour for gives the usual default scheme's value.
QColor toQColor(Color value, const QPalette& palette);

}  // namespace vandrel::qt
