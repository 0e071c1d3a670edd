// SPDX-License-Identifier: MIT
// The whole boundary between the game and the platform it runs on.
//
// The platform (the Qt window, or the headless trace tool) provides what is below and drives
// the game only through the Dispatcher; the game never includes a platform header.
#pragma once

#include <string>

#include "shell/runtime/text.h"

namespace vandrel {

class Platform {
  public:
    virtual ~Platform() = default;

    /// Shows a modal message box and returns when the player has answered it. Buttons 0 is a
    /// single OK button; the result is the button chosen (1 for OK). The scene is up to date
    /// on the screen before the box opens.
    virtual int MsgBox(const std::string& prompt, int buttons, const std::string& title) = 0;

    /// The regional settings for number formatting.
    virtual const Regional& regional() const = 0;
};

}  // namespace vandrel
