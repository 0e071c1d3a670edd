// SPDX-License-Identifier: MIT
#include "shell/dispatcher.h"

#include "shell/form1.h"
#include "shell/runtime/errors.h"

namespace vandrel {

template <class Announce, class Handler>
Dispatcher::Outcome Dispatcher::deliver(Announce&& announce, Handler&& handler) {
    if (stopped_ || busy_) return Outcome::Dropped;
    // Before the handler: one that waits in a box, or during which the program ends, has been
    // seen all the same.
    if (observer_ != nullptr) announce(*observer_);
    busy_ = true;
    Outcome outcome = Outcome::Ran;
    try {
        handler();
    } catch (const RuntimeError& e) {
        error_ = e.what();
        stopped_ = true;
        outcome = Outcome::Failed;
    } catch (const EndRequested&) {
        stopped_ = true;
        outcome = Outcome::Ended;
    }
    busy_ = false;
    return outcome;
}

Dispatcher::Outcome Dispatcher::load() {
    return deliver([](EventObserver&) {}, [this] { form_.Form_Load(); });
}

Dispatcher::Outcome Dispatcher::keyDown(std::int16_t keyCode, std::int16_t shift) {
    return deliver([keyCode](EventObserver& o) { o.keyDown(keyCode); },
                   [this, keyCode, shift] {
                       std::int16_t code = keyCode;  // passed by reference, as the runtime does
                       form_.Form_KeyDown(code, shift);
                   });
}

Dispatcher::Outcome Dispatcher::keyUp(std::int16_t keyCode, std::int16_t shift) {
    return deliver([keyCode](EventObserver& o) { o.keyUp(keyCode); },
                   [this, keyCode, shift] {
                       std::int16_t code = keyCode;
                       form_.Form_KeyUp(code, shift);
                   });
}

Dispatcher::Outcome Dispatcher::click(std::string_view menuName) {
    Form1::ClickHandler handler = Form1::clickHandlerFor(menuName);
    if (handler == nullptr) return Outcome::Dropped;
    return deliver([menuName](EventObserver& o) { o.click(menuName); },
                   [this, handler] { (form_.*handler)(); });
}

Dispatcher::Outcome Dispatcher::tick() {
    if (stopped_ || busy_ || !form_.Timer1.Enabled) return Outcome::Dropped;
    ++ticks_;
    return deliver([](EventObserver& o) { o.tick(); }, [this] { form_.Timer1_Timer(); });
}

}  // namespace vandrel
