// SPDX-License-Identifier: MIT
// Which keys are the game's, the same on every host, and what a box does with them.
//
// A toolkit names its keys its own way; each host turns them into the classic virtual-key
// codes (shell/runtime/key_codes.h) and says what was held with them. The rest is decided here.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "host/toolkit.h"

namespace vandrel::host {

/// A key going down or up, as a host reports it.
struct KeyEvent {
    std::optional<std::int16_t> code;  // none: a key the game has no code for
    bool down = true;
    bool repeat = false;  // a held key's repeated key-down
    bool shift = false, ctrl = false, alt = false, meta = false;

    /// The shift state the game's key handlers receive: Shift 1, Ctrl 2, Alt 4.
    std::int16_t shiftState() const {
        return static_cast<std::int16_t>((shift ? 1 : 0) | (ctrl ? 2 : 0) | (alt ? 4 : 0));
    }
};

/// The code of a letter key: by the character it types (`typed`), so that P is P on every
/// layout; on a layout without Latin letters (Cyrillic, Greek), by where it stands, as the
/// letter `position` ('A' to 'Z', 0 for none) of the usual layout. None for any other key.
std::optional<std::int16_t> letterKey(char32_t typed, char position);

/// Whether a key is the game's while the scene has the keyboard: the host then gives it to the
/// game and keeps it from everything else (arrows and space never scroll a page). Not the
/// game's, and left to the desktop or the browser:
/// - Tab, so that the keyboard can always leave the scene for the menus and the page's own
///   controls (a scene that took it would trap a keyboard player in it);
/// - F10, which takes the keyboard to the menu bar;
/// - a key pressed with Ctrl or Meta held: the desktop's and the browser's shortcuts (Ctrl+W,
///   Ctrl+Q, Ctrl+T) must work while the game runs. Its release is the game's, so that a key
///   held before Ctrl was pressed is let go.
bool isGameKey(const KeyEvent& key);

/// The keys of a box that is up: OK is chosen by Enter, Escape or Space going down (a repeat
/// does not choose it again), or by a click. A key held down since before the box opened
/// answers nothing until it has been let go, so that the space bar held through a crash does
/// not answer the box that tells of it.
class BoxKeys {
  public:
    explicit BoxKeys(std::vector<std::int16_t> heldAtOpening) : held_(std::move(heldAtOpening)) {}

    /// Whether `event` answers the box.
    bool answers(const BoxEvent& event);

  private:
    std::vector<std::int16_t> held_;
};

}  // namespace vandrel::host
