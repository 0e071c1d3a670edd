// SPDX-License-Identifier: MIT
// One game, assembled: Form1 on a platform, with the dispatcher that is its only way in and the
// read-only view that is its way out.
//
// The window, the trace tool, the tests, the fuzzers and the benchmarks all start a game through
// this object, so that every host runs the same five events through the same door. An observer
// (the flight recorder) sees every event the dispatcher delivers and every box the game opens.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/dispatcher.h"
#include "shell/form1.h"
#include "shell/form1_view.h"
#include "shell/runtime/platform.h"

namespace vandrel {

/// How the program ended: the window closed by its frame, File > Exit, or an unhandled error.
enum class Ending { Close, Exit, Error };

class Session {
  public:
    using Outcome = Dispatcher::Outcome;

    /// A new game on `platform`, which must outlive it; the scene exists, Form_Load has not run.
    explicit Session(Platform& platform);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Outcome load() { return dispatcher_.load(); }
    Outcome keyDown(std::int16_t keyCode, std::int16_t shift = 0) {
        return dispatcher_.keyDown(keyCode, shift);
    }
    Outcome keyUp(std::int16_t keyCode, std::int16_t shift = 0) {
        return dispatcher_.keyUp(keyCode, shift);
    }
    Outcome click(std::string_view menuName) { return dispatcher_.click(menuName); }
    Outcome tick() { return dispatcher_.tick(); }

    const Form1View& view() const { return view_; }
    /// True while a handler runs (a host may skip work that would be dropped anyway).
    bool busy() const { return dispatcher_.busy(); }
    /// True once End ran or an error went unhandled: no event is delivered any more.
    bool stopped() const { return dispatcher_.stopped(); }
    /// The description of the unhandled error, after Failed.
    const std::string& error() const { return dispatcher_.error(); }
    /// How many times Timer1_Timer has been raised.
    std::uint64_t ticks() const { return dispatcher_.ticks(); }
    /// The observer of what happens from now on, or nullptr for none.
    void observe(EventObserver* observer) { dispatcher_.observe(observer); }
    /// The form itself, for white-box tests and benchmarks.
    Form1& form() { return form_; }

  private:
    // The host's platform, with the observer told of each box before it opens.
    class ObservedPlatform : public Platform {
      public:
        ObservedPlatform(Platform& host, const Dispatcher& dispatcher)
            : host_(host), dispatcher_(dispatcher) {}
        int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
        const Regional& regional() const override { return host_.regional(); }

      private:
        Platform& host_;
        const Dispatcher& dispatcher_;
    };

    ObservedPlatform platform_;
    Form1 form_;
    Dispatcher dispatcher_;
    Form1View view_;
};

}  // namespace vandrel
