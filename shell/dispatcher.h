// SPDX-License-Identifier: MIT
// The event dispatcher: the one door through which a platform reaches Form1's handlers.
//
// It delivers load, key, menu and timer events one at a time. While a handler runs, including
// while it waits in a modal message box, every other event is dropped, so handlers never
// overlap. An unhandled RuntimeError or a call of End stops the program: the dispatcher
// reports it once and delivers nothing after it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vandrel {

class Form1;

class Dispatcher {
  public:
    /// What became of one event.
    enum class Outcome {
        Ran,      // the handler ran to its end
        Dropped,  // not delivered: a handler was running, the timer was off, or no such handler
        Ended,    // the handler called End: the program stops with status 0
        Failed,   // an unhandled run-time error: error() describes it
    };

    explicit Dispatcher(Form1& form) : form_(form) {}

    Outcome load();
    Outcome keyDown(std::int16_t keyCode, std::int16_t shift = 0);
    Outcome keyUp(std::int16_t keyCode, std::int16_t shift = 0);
    /// A click on the menu item of that name; Dropped for items that only open a submenu.
    Outcome click(std::string_view menuName);
    /// One timer interval has passed: raises Timer1_Timer when Timer1 is enabled.
    Outcome tick();

    /// True while a handler runs (a platform may skip work that would be dropped anyway).
    bool busy() const { return busy_; }
    /// True once End ran or an error went unhandled: no event is delivered any more.
    bool stopped() const { return stopped_; }
    /// The description of the unhandled error, after Failed.
    const std::string& error() const { return error_; }
    /// How many times Timer1_Timer has been raised.
    std::uint64_t ticks() const { return ticks_; }

  private:
    template <class Handler>
    Outcome deliver(Handler&& handler);

    Form1& form_;
    bool busy_ = false;
    bool stopped_ = false;
    std::string error_;
    std::uint64_t ticks_ = 0;
};

}  // namespace vandrel
