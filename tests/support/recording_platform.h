// SPDX-License-Identifier: MIT
// A platform for tests: records every message box and answers it with OK at once.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "shell/runtime/platform.h"

namespace vandrel {

struct RecordedBox {
    std::string prompt;
    int buttons = 0;
    std::string title;
};

class RecordingPlatform : public Platform {
  public:
    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
        boxes.push_back({prompt, buttons, title});
        if (whileOpen) whileOpen();
        return 1;
    }
    const Regional& regional() const override { return regionalSettings; }

    std::vector<RecordedBox> boxes;
    Regional regionalSettings = invariantRegional();
    /// Runs while a box is open, before it is answered (to try events under a modal box).
    std::function<void()> whileOpen;
};

}  // namespace vandrel
