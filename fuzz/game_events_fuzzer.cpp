// SPDX-License-Identifier: MIT
// Arbitrary bytes decoded into key, menu and timer events for the game, delivered through the
// Dispatcher as a platform would. After every event the game's own invariants must hold;
// a run-time error is fine (the Dispatcher reports it), anything else escaping is a fault.
//
// Each byte is one event; its low three bits choose the kind and its high five bits a value:
//   0 / 1  key down / up of a common key (the table below)
//   2 / 3  key down / up of any 16-bit code, taken from the next two bytes
//   4      a click on one of the menu items with a handler
//   5 / 6  1..32 ticks / 64..2048 ticks
//   7      value 0: the trace tool's state object is built (building it is far dearer than
//          any event, so only one byte in 256 asks for it);
//          value 1: a burst of ticks, (N + 1) * 16 of them for N the next two bytes;
//          value 2..31: the common key of that index goes down (N + 1) * 16 times.
// The bursts reach in a few bytes what one event a byte never could: a landing needs a few
// hundred ticks, an Overflow a thrust of some 350,000 presses of the up arrow. Ticks and
// repeated presses each have a budget per input, so that every input stays quick.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "flight/trig_table.h"
#include "fuzz/tick_budget.h"
#include "shell/form1_view.h"
#include "shell/runtime/key_codes.h"
#include "shell/script/dump.h"
#include "shell/session.h"
#include "trace/headless_platform.h"

namespace {

using vandrel::Currency;
using vandrel::operator""_cur;
using namespace vandrel::keys;

// Keys the game acts on first, then other named keys and codes at the edges of the range.
constexpr std::int16_t kCommonKeys[32] = {
    kSpace, kLeft, kUp,  kRight, kDown, kP,     kR,    kEnter, kEscape, kBackspace, kTab,
    kShift, kCtrl, kAlt, kA,     kZ,    k0,     k9,    kF1,    kF12,    0,          -1,
    1,      255,   256,  127,    128,   -32768, 32767, 36,     41,      81,
};

// The menu items with a click handler, in menu order, from the game's own menu tree.
const std::vector<std::string_view>& clickableItems(const vandrel::Form1View& view) {
    static const std::vector<std::string_view> names = [&] {
        std::vector<std::string_view> found;
        for (const vandrel::MenuItem* item : view.menuItems()) {
            if (vandrel::Form1::clickHandlerFor(item->Name) != nullptr) found.push_back(item->Name);
        }
        return found;
    }();
    return names;
}

// Enough for an Overflow twice over, and about a tenth of a second of presses.
constexpr std::uint64_t kRepeatedPressesPerInput = 1u << 20;

void check(bool holds) {
    if (!holds) __builtin_trap();
}

// The option groups, taken from the menu tree once per input: the invariants run after
// every event.
class OptionGroups {
  public:
    explicit OptionGroups(const vandrel::Form1View& view) : limiterOff_(view.menuItem("mnuTOff")) {
        for (const vandrel::MenuItem* menu : view.state().menuBar) {
            for (const vandrel::MenuItem* submenu : menu->Children) {
                if (!submenu->Children.empty()) groups_.push_back(&submenu->Children);
            }
        }
    }
    // Each option group is a set of radio items, and the limiter follows its check mark.
    void check(const vandrel::Form1View& view) const {
        for (const auto* group : groups_) {
            int checked = 0;
            for (const vandrel::MenuItem* item : *group)
                checked += item->Checked ? 1 : 0;
            ::check(checked == 1);
        }
        ::check(view.state().NoLimiter == limiterOff_->Checked);
    }

  private:
    std::vector<const std::vector<const vandrel::MenuItem*>*> groups_;
    const vandrel::MenuItem* limiterOff_;
};

void checkInvariants(const vandrel::Form1View& view, const OptionGroups& groups,
                     vandrel::Point hullCentre) {
    // The hull centre never moves.
    check(view.hullCentre().X == hullCentre.X && view.hullCentre().Y == hullCentre.Y);
    // The attitude keeps to its lattice of turning steps between its wrap-around ends.
    const Currency angle = view.state().Angle;
    check(angle >= vandrel::kLowestAngle && angle <= vandrel::kHighestAngle &&
          (angle.count() - vandrel::kLowestAngle.count()) % vandrel::kTurnStep.count() == 0);
    // The keys step the thrust by 0.05 and never below 0.05; the limiter holds it at 1.
    check(view.state().Thrust >= 0.05_cur && view.state().Thrust.count() % 500 == 0);
    check(view.state().NoLimiter || view.state().Thrust <= 1.0_cur);
    groups.check(view);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Outcome = vandrel::Session::Outcome;
    std::string boxes;  // the boxes are built and answered, their lines dropped
    vandrel::headless::HeadlessPlatform platform(boxes);
    vandrel::Session dispatcher(platform);
    const vandrel::Form1View& view = dispatcher.view();
    const OptionGroups groups(view);
    const vandrel::Point hullCentre = view.hullCentre();  // where the window placed it
    check(dispatcher.load() == Outcome::Ran);

    std::uint64_t ticksLeft = vandrel::fuzz::ticksPerInput();
    std::uint64_t pressesLeft = kRepeatedPressesPerInput;
    std::string dump;
    std::size_t at = 0;
    const auto nextCode = [&] {
        std::uint16_t code = 0;
        for (int byte = 0; byte < 2; ++byte)
            code = (code << 8) | (at < size ? data[at++] : 0);
        return static_cast<std::int16_t>(code);
    };
    const auto burst = [&](std::uint64_t& left) {
        const std::uint64_t wanted = (static_cast<std::uint16_t>(nextCode()) + 1ull) * 16;
        const std::uint64_t granted = wanted < left ? wanted : left;
        left -= granted;
        return granted;
    };
    const auto tick = [&](std::uint64_t ticks) {
        while (ticks-- > 0 && dispatcher.tick() != Outcome::Dropped) {
        }
    };
    while (at < size && !dispatcher.stopped()) {
        const std::uint8_t op = data[at++];
        const unsigned value = op >> 3;
        switch (op & 7) {
            case 0:
                dispatcher.keyDown(kCommonKeys[value]);
                break;
            case 1:
                dispatcher.keyUp(kCommonKeys[value]);
                break;
            case 2:
                dispatcher.keyDown(nextCode());
                break;
            case 3:
                dispatcher.keyUp(nextCode());
                break;
            case 4: {
                const auto& clickable = clickableItems(view);
                check(dispatcher.click(clickable[value % clickable.size()]) != Outcome::Dropped);
                break;
            }
            case 5:
            case 6: {
                const std::uint64_t ticks = (op & 7) == 5 ? value + 1 : (value + 1) * 64;
                const std::uint64_t granted = ticks < ticksLeft ? ticks : ticksLeft;
                ticksLeft -= granted;
                tick(granted);
                break;
            }
            case 7:
                if (value == 0) {
                    dump.clear();
                    vandrel::appendDump(dump, view, dispatcher.ticks());
                } else if (value == 1) {
                    tick(burst(ticksLeft));
                } else {
                    for (std::uint64_t presses = burst(pressesLeft); presses > 0; --presses) {
                        if (dispatcher.keyDown(kCommonKeys[value]) != Outcome::Ran) break;
                    }
                }
                break;
        }
        boxes.clear();
        if (!dispatcher.stopped()) checkInvariants(view, groups, hullCentre);
    }
    return 0;
}
