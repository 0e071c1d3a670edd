// SPDX-License-Identifier: MIT
#include "host/controls.h"

#include <algorithm>

namespace vandrel::host {

namespace {

// The standard layout's buttons.
constexpr std::uint32_t bit(int button) {
    return std::uint32_t{1} << button;
}
constexpr std::uint32_t kA = bit(0), kLeftShoulder = bit(4), kRightShoulder = bit(5),
                        kRightTrigger = bit(7), kBack = bit(8), kStart = bit(9), kPadUp = bit(12),
                        kPadDown = bit(13), kPadLeft = bit(14), kPadRight = bit(15);
// A stick at rest reads near 0, not at it: a push of less than this turns nothing.
constexpr double kDeadZone = 0.25;

// The keys a pad holds: Start and Back act once a press, the others repeat while held.
struct PadKey {
    std::int16_t key;
    bool repeats;
};
constexpr std::array<PadKey, 7> kPadKeys = {{{keys::kLeft, true},
                                             {keys::kRight, true},
                                             {keys::kSpace, true},
                                             {keys::kUp, true},
                                             {keys::kDown, true},
                                             {keys::kP, false},
                                             {keys::kR, false}}};

// Which of kPadKeys a reading holds, a bit each.
std::uint32_t keysHeld(const PadReading& r) {
    const auto any = [&r](std::uint32_t buttons) { return (r.pressed & buttons) != 0; };
    const bool held[] = {any(kPadLeft) || r.x < -kDeadZone,
                         any(kPadRight) || r.x > kDeadZone,
                         any(kA | kRightTrigger),
                         any(kPadUp | kRightShoulder),
                         any(kPadDown | kLeftShoulder),
                         any(kStart),
                         any(kBack)};
    std::uint32_t bits = 0;
    for (std::size_t i = 0; i < std::size(held); ++i)
        bits |= held[i] ? bit(static_cast<int>(i)) : 0;
    return bits;
}

}  // namespace

void HeldControls::hold(int source, std::int16_t key, bool repeats, bool held, double now,
                        std::vector<Change>& changes) {
    const auto heldBy = [](int s) { return [s](const Held& h) { return h.source == s; }; };
    const auto entry = std::find_if(held_.begin(), held_.end(), heldBy(source));
    const auto holdsKey = [this, key] {
        return std::any_of(held_.begin(), held_.end(),
                           [key](const Held& h) { return h.key == key; });
    };
    if (held && entry == held_.end()) {
        if (!holdsKey()) changes.push_back({key, true});
        held_.push_back({source, key, repeats, now + kRepeatDelayMs});
    } else if (!held && entry != held_.end()) {
        held_.erase(entry);
        if (!holdsKey()) changes.push_back({key, false});
    }
}

std::vector<HeldControls::Change> HeldControls::control(std::size_t index, bool pressed,
                                                        double now) {
    std::vector<Change> changes;
    if (index < kControls.size())
        hold(static_cast<int>(index), kControls[index].key, true, pressed, now, changes);
    return changes;
}

HeldControls::Pad& HeldControls::padState(int pad) {
    if (pads_.size() <= static_cast<std::size_t>(pad))
        pads_.resize(static_cast<std::size_t>(pad) + 1);
    return pads_[static_cast<std::size_t>(pad)];
}

std::vector<HeldControls::Change> HeldControls::pad(int pad, const PadReading& reading,
                                                    double now) {
    std::vector<Change> changes;
    if (pad < 0) return changes;
    Pad& was = padState(pad);
    const std::uint32_t held = keysHeld(reading);
    for (std::size_t i = 0; i < kPadKeys.size(); ++i) {
        const std::uint32_t b = bit(static_cast<int>(i));
        if ((held & b) == (was.keys & b)) continue;
        hold(sourceOf(pad, static_cast<int>(i)), kPadKeys[i].key, kPadKeys[i].repeats,
             (held & b) != 0, now, changes);
    }
    was = {reading.pressed, held};
    return changes;
}

bool HeldControls::answersBox(int pad, const PadReading& reading) {
    if (pad < 0) return false;
    Pad& was = padState(pad);
    const bool answers = (reading.pressed & ~was.buttons & (kA | kStart)) != 0;
    // The game waits under the box: what the pad holds now is taken as read, so that the press
    // that answers it does not reach the game afterwards.
    was = {reading.pressed, keysHeld(reading)};
    return answers;
}

std::vector<HeldControls::Change> HeldControls::repeats(double now) {
    std::vector<Change> changes;
    for (std::size_t i = 0; i < held_.size(); ++i) {
        Held& h = held_[i];
        // A key two hold repeats by the first of them alone.
        const bool first = std::none_of(held_.begin(), held_.begin() + static_cast<long>(i),
                                        [&h](const Held& other) { return other.key == h.key; });
        if (!h.repeats || !first || h.nextRepeat > now) continue;
        changes.push_back({h.key, true});
        h.nextRepeat = now + kRepeatIntervalMs;
    }
    return changes;
}

std::optional<double> HeldControls::nextRepeat() const {
    std::optional<double> next;
    for (std::size_t i = 0; i < held_.size(); ++i) {
        const Held& h = held_[i];
        const bool first = std::none_of(held_.begin(), held_.begin() + static_cast<long>(i),
                                        [&h](const Held& other) { return other.key == h.key; });
        if (h.repeats && first && (!next || h.nextRepeat < *next)) next = h.nextRepeat;
    }
    return next;
}

void HeldControls::forget() {
    held_.clear();
}

}  // namespace vandrel::host
