// SPDX-License-Identifier: MIT
// The keys the game was told are down and not yet told are up, in the order of their first
// presses. When the keyboard leaves the scene the host lets them all go in that order, so
// that no key stays held in the game while the player lets it go elsewhere.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace vandrel::host {

class HeldKeys {
  public:
    struct Key {
        std::int16_t code;
        std::int16_t shift;  // as at the key's last key-down
    };

    /// A key-down reached the game; a held key's repeat keeps its place.
    void pressed(std::int16_t code, std::int16_t shift) {
        auto held = find(code);
        if (held != keys_.end()) {
            held->shift = shift;
        } else {
            keys_.push_back({code, shift});
        }
    }
    /// A key-up reached the game; true when the key was held.
    bool released(std::int16_t code) {
        auto held = find(code);
        if (held == keys_.end()) return false;
        keys_.erase(held);
        return true;
    }
    bool held(std::int16_t code) const {
        return std::any_of(keys_.begin(), keys_.end(), [code](Key k) { return k.code == code; });
    }
    /// The codes of the keys held, the longest held first.
    std::vector<std::int16_t> codes() const {
        std::vector<std::int16_t> codes;
        for (Key key : keys_)
            codes.push_back(key.code);
        return codes;
    }
    /// The key held longest, if any.
    std::optional<Key> first() const {
        if (keys_.empty()) return std::nullopt;
        return keys_.front();
    }

  private:
    std::vector<Key>::iterator find(std::int16_t code) {
        return std::find_if(keys_.begin(), keys_.end(), [code](Key k) { return k.code == code; });
    }

    std::vector<Key> keys_;  // at most the handful of keys a player holds at once
};

}  // namespace vandrel::host
