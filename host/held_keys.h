// SPDX-License-Identifier: MIT
// The keys the game was told are down and not yet told are up, in the order of their first
// presses. When the keyboard leaves the scene the host lets them all go in that order, so
// that no key stays held in the game while the player lets it go elsewhere.
//
// A player holds a handful of keys, but a replayed script may hold every one of the 65,536 key
// codes and press them millions of times: a press, a release and a look-up cost the same for
// every code, however many are held. Each code has a place in a table of pages of 256 codes,
// made when one of their codes is first pressed, and the keys held are a list through those
// places in the order of their presses.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
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
        Place& place = placeOf(code);
        place.shift = shift;
        if (place.held) return;
        place.held = true;
        place.before = last_;
        place.after = kNone;
        afterOf(last_) = index(code);
        last_ = index(code);
    }
    /// A key-up reached the game; true when the key was held.
    bool released(std::int16_t code) {
        Place* place = find(index(code));
        if (place == nullptr || !place->held) return false;
        place->held = false;
        afterOf(place->before) = place->after;
        beforeOf(place->after) = place->before;
        return true;
    }
    bool held(std::int16_t code) const {
        const Place* place = find(index(code));
        return place != nullptr && place->held;
    }
    /// The codes of the keys held, the longest held first.
    std::vector<std::int16_t> codes() const {
        std::vector<std::int16_t> codes;
        for (std::int32_t at = first_; at != kNone;
             at = find(static_cast<std::uint16_t>(at))->after)
            codes.push_back(static_cast<std::int16_t>(at));
        return codes;
    }
    /// The key held longest, if any.
    std::optional<Key> first() const {
        if (first_ == kNone) return std::nullopt;
        const auto code = static_cast<std::uint16_t>(first_);
        return Key{static_cast<std::int16_t>(code), find(code)->shift};
    }

  private:
    static constexpr std::int32_t kNone = -1;
    static constexpr std::size_t kPageSize = 256;

    struct Place {
        bool held = false;
        std::int16_t shift = 0;
        std::int32_t before = kNone, after = kNone;  // the neighbours' codes, as unsigned
    };
    using Page = std::array<Place, kPageSize>;

    static std::uint16_t index(std::int16_t code) { return static_cast<std::uint16_t>(code); }
    const Place* find(std::uint16_t at) const {
        const Page* page = pages_[at / kPageSize].get();
        return page != nullptr ? &(*page)[at % kPageSize] : nullptr;
    }
    Place* find(std::uint16_t at) {
        return const_cast<Place*>(static_cast<const HeldKeys*>(this)->find(at));
    }
    // Where the list goes on after the place of `at`, or where it starts for none; and where
    // it goes back before it, or where it ends for none.
    std::int32_t& afterOf(std::int32_t at) {
        return at == kNone ? first_ : find(static_cast<std::uint16_t>(at))->after;
    }
    std::int32_t& beforeOf(std::int32_t at) {
        return at == kNone ? last_ : find(static_cast<std::uint16_t>(at))->before;
    }
    Place& placeOf(std::int16_t code) {
        std::unique_ptr<Page>& page = pages_[index(code) / kPageSize];
        if (!page) page = std::make_unique<Page>();
        return (*page)[index(code) % kPageSize];
    }

    std::array<std::unique_ptr<Page>, 65536 / kPageSize> pages_;
    std::int32_t first_ = kNone, last_ = kNone;  // the list's ends
};

}  // namespace vandrel::host
