// SPDX-License-Identifier: MIT
// The scene as the player sees it: what it showed when last painted, what has changed since,
// and the one recipe every surface is painted by.
//
// After every event the game handled, the driver catches the scene up: the labels whose
// captions changed are laid out again by the toolkit, and the old and the new places of
// whatever moved are marked as unpainted. A surface is then painted, when its display takes a
// frame, from the bottom up in the scene's drawing order (SceneState::forEachInDrawingOrder):
// the background, then each star and line that reaches into the part being painted, then each
// label as its border's ring, its background and its text, clipped to the inside of the border
// only where the text overflows it. A star is an ellipse one pixel inside its box, so that its
// outline covers the box and no more.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "host/colors.h"
#include "host/damage.h"
#include "host/scene_state.h"
#include "host/toolkit.h"
#include "shell/form1_view.h"

namespace vandrel::host {

class Scene {
  public:
    /// The scene of `view`, laid out in `toolkit`'s fonts and colours; all of it unpainted.
    Scene(const Form1View& view, Toolkit& toolkit);

    /// Catches up with the game: true when anything on the screen changed.
    bool catchUp();
    /// The desktop's colours changed: all of it is painted again in the new ones.
    void coloursChanged();
    /// The desktop's fonts changed: the labels are laid out again and all of it painted again.
    void fontsChanged();

    /// What changed since it was last painted; the painter clears it.
    Damage& unpainted() { return unpainted_; }
    /// Paints the part `area` of the scene as it is now onto `surface`.
    void paint(Surface& surface, const Damage& area) const;
    /// Paints what changed onto `surface`, and counts it painted.
    void paintChanges(Surface& surface);

    const SceneState& shown() const { return shown_; }
    /// A colour of the game as the toolkit paints it.
    Rgb rgb(Color colour) const;

  private:
    void chooseFonts();
    /// Lays out the captions that changed (all with `all`): true for each.
    std::array<bool, kLabels.size()> layOut(bool all);
    void paintLabel(Surface& surface, const Damage& area, int index,
                    const SceneState::LabelLook& look) const;

    const Form1View& view_;
    Toolkit& toolkit_;
    std::array<Rgb, std::size(kSystemColors)> system_{};
    struct Caption {
        std::string text;
        TextSize size;
    };
    std::array<Caption, kLabels.size()> captions_;  // as laid out
    SceneState shown_;
    Damage unpainted_;
};

}  // namespace vandrel::host
