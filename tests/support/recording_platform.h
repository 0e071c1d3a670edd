// SPDX-License-Identifier: MIT
// A platform for tests: the trace tool's headless platform, which answers every message box
// with OK at once, that also records each box and lets a case change the regional settings.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "trace/headless_platform.h"

namespace vandrel {

struct RecordedBox {
    std::string prompt;
    int buttons = 0;
    std::string title;
};

class RecordingPlatform : public headless::HeadlessPlatform {
  public:
    RecordingPlatform() : HeadlessPlatform(boxLines_) {}

    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override {
        boxes.push_back({prompt, buttons, title});
        if (whileOpen) whileOpen();
        return HeadlessPlatform::MsgBox(prompt, buttons, title);
    }
    const Regional& regional() const override { return regionalSettings; }

    std::vector<RecordedBox> boxes;
    Regional regionalSettings = invariantRegional();
    /// Runs while a box is open, before it is answered (to try events under a modal box).
    std::function<void()> whileOpen;

  private:
    std::string boxLines_;  // the lines the trace tool would write for the boxes
};

}  // namespace vandrel
