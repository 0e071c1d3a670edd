// SPDX-License-Identifier: MIT
// Form1: the game's one window class, with every control, every state variable and every
// procedure of the game.
//
// Why the core is shaped as it is. The game was made for a forms runtime: one window class
// holding its controls, its variables and its event handlers, with the runtime owning the
// event loop, the controls and the arithmetic. The core models that runtime exactly instead
// of recasting the game in another shape, because every bit of a flight depends on it:
//
// - Numbers are the runtime's. The physics runs on Currency (a 64-bit count of
//   ten-thousandths), so steps of 0.05 and 0.2 never drift and the exact tests of the limiter
//   and the attitude hold; coordinates are Singles; loop counters and the terrain wrap are
//   16-bit Integers, and a result out of their range is an Overflow, as it was; a Boolean
//   shown as a number is -1 for True. Replays come out the same to the last bit.
// - Handlers are bound by name, as the runtime binds them: the click of the menu item
//   `mnuGHigh` is `mnuGHigh_Click`, found by its name (clickHandlerFor). The menu tree and
//   that one table are the only link between an item and its code.
// - Key codes come by reference (`Form_KeyDown(KeyCode, Shift)`), as the runtime passes
//   them; the handlers read them and never change them.
// - Controls nothing uses stay in the scene: the markers Line2 and Line3 lie outside the
//   client area and never move, but they belong to the window as it was laid out.
// - Texts are kept as they stand, spelling included ("Great Sucsess!", "Programed by
//   Tamsbrook"): they are what the player has always seen.
//
// The procedures are grouped by subsystem into files of their own: the scene, start-up, the
// readouts and the reset in shell/, the tick and everything it runs in flight/, the keyboard
// and menu handlers in commands/. Event handlers are private: only the Dispatcher delivers
// them, one at a time. The state (form1_state.h) is the way out: every host reads it, through
// state() or Form1View, and never writes it.
#pragma once

#include <cstdint>
#include <string_view>

#include "shell/form1_state.h"
#include "shell/option_items.h"
#include "shell/runtime/controls.h"
#include "shell/runtime/numbers.h"
#include "shell/runtime/platform.h"

namespace vandrel {

class Dispatcher;
struct Form1Probe;  // white-box access for the tests and benchmarks only

class Form1 : private Form1State {
  public:
    /// Creates the window with its whole scene at its design-time values, before Form_Load.
    explicit Form1(Platform& platform);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    /// Everything the game keeps, read-only: only the handlers write it.
    const Form1State& state() const { return *this; }

    /// A menu click handler, found by the item's name; nullptr for the submenu headers.
    using ClickHandler = void (Form1::*)();
    static ClickHandler clickHandlerFor(std::string_view menuName);

  private:
    friend class Dispatcher;
    friend struct Form1Probe;

    // Procedures, in the order the game declares them.
    void MoveWorld();
    void Touchdown(std::int16_t& index);
    void UpdateShip();
    void ResetGame();
    void Form_KeyDown(std::int16_t& KeyCode, std::int16_t Shift);
    void Form_KeyUp(std::int16_t& KeyCode, std::int16_t Shift);
    void Form_Load();
    void mnuABout_Click();
    void mnuExit_Click();
    void mnuF1000_Click();
    void mnuF250_Click();
    void mnuF500_Click();
    void mnuFOver9000_Click();
    void mnuControls_Click();
    void mnuGHigh_Click();
    void mnuGLow_Click();
    void mnuGNone_Click();
    void mnuGNormal_Click();
    void mnuGVHigh_Click();
    void mnuReset_Click();
    void mnuTOff_Click();
    void mnuTOn_Click();
    void Timer1_Timer();
    static Boolean SegmentsCross(float ax1, float ay1, float ax2, float ay2, float bx1, float by1,
                                 float bx2, float by2);

    /// MoveWorld's motion when no ground segment wraps, two coordinates at a time; false,
    /// with nothing written, when a segment wraps or a move would fault.
    bool MoveAllAtOnce();
    /// The contact scan's first pass: false when no pair of hull and ground segments meets
    /// and none would fault, so that the ordered scan, which calls Touchdown, can be skipped.
    bool ContactPossible() const;

    // The readouts, each text built in one place for every refresh point.
    void RefreshFuel();
    void RefreshThrust();
    void RefreshHeight();
    // The option groups, read by Form_Load and set by the option items' handlers.
    static const OptionGroup<Currency, 5> kGravityOptions;
    static const OptionGroup<Currency, 4> kFuelOptions;
    static const OptionGroup<bool, 2> kLimiterOptions;
    /// What lblPause says before a flight starts: at start-up and after each reset.
    static constexpr char kStartPrompt[] = "Press 'P' to start";
    // Form_Load's reading of a group: the first checked item's value, else the last item's.
    template <class Value, std::size_t N>
    void LoadOption(const OptionGroup<Value, N>& group);
    // The steps every option item takes: reset, set the variable, move the check marks.
    template <class Value, std::size_t N>
    void ChooseOption(const OptionGroup<Value, N>& group, MenuItem Form1::*chosen);

    Platform& platform_;
};

}  // namespace vandrel
