// SPDX-License-Identifier: MIT
#include "host/box.h"

#include <algorithm>

#include "host/scene_state.h"

namespace vandrel::host {

namespace {

// Room left between the box and what it keeps in view.
constexpr int kMargin = 12;

}  // namespace

Rect keptInView(const Form1View& view) {
    Rect kept = hullReach(view);
    for (SceneControl label : kLabels)
        kept |= labelBox(view.label(label));
    return kept;
}

Rect boxPlace(int width, int height, const Rect& scene, const Rect& keepClear) {
    const int x = scene.left + (scene.width - width) / 2;
    const int belowTop = keepClear.bottom() + 1 + kMargin;
    const int y = std::max(belowTop, (belowTop + scene.bottom() + 1 - height) / 2);
    return {x, y, width, height};
}

std::string promptText(std::string_view prompt) {
    std::string text;
    text.reserve(prompt.size());
    for (std::size_t i = 0; i < prompt.size(); ++i) {
        if (prompt[i] == '\r') {
            text += '\n';
            if (i + 1 < prompt.size() && prompt[i + 1] == '\n') ++i;
        } else {
            text += prompt[i];
        }
    }
    return text;
}

}  // namespace vandrel::host
