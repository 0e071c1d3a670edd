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

/// Sees every event the dispatcher delivers, just before its handler runs (a recorder, fed by
/// the same calls as the game). The load is not shown: every game starts with it.
class EventObserver {
  public:
    virtual ~EventObserver() = default;
    virtual void keyDown(std::int16_t keyCode) = 0;
    virtual void keyUp(std::int16_t keyCode) = 0;
    virtual void click(std::string_view menuName) = 0;
    virtual void tick() = 0;
    /// A handler opens a message box and waits for the player.
    virtual void boxOpens() {}
};

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

    /// The observer of the events delivered from now on, or nullptr for none.
    void observe(EventObserver* observer) { observer_ = observer; }
    EventObserver* observer() const { return observer_; }

  private:
    // Runs `handler` unless an event is running or the program stopped; `announce` tells the
    // observer first.
    template <class Announce, class Handler>
    Outcome deliver(Announce&& announce, Handler&& handler);

    Form1& form_;
    EventObserver* observer_ = nullptr;
    bool busy_ = false;
    bool stopped_ = false;
    std::string error_;
    std::uint64_t ticks_ = 0;
};

}  // namespace vandrel
