// SPDX-License-Identifier: MIT
#include "host/player.h"

#include "shell/runtime/key_codes.h"

namespace vandrel::host {

void Player::load() {
    after(game_.load());
}

void Player::keyDown(std::int16_t keyCode, std::int16_t shift) {
    if (gate_ != nullptr && gate_->takesKey(keyCode, true)) return;
    const Session::Outcome outcome = game_.keyDown(keyCode, shift);
    if (outcome != Session::Outcome::Dropped) held_.pressed(keyCode, shift);
    after(outcome);
}

void Player::keyUp(std::int16_t keyCode, std::int16_t shift) {
    if (gate_ != nullptr && gate_->takesKey(keyCode, false)) return;
    held_.released(keyCode);
    after(game_.keyUp(keyCode, shift));
}

void Player::released(std::int16_t keyCode, std::int16_t shift) {
    // A key let go already when the keyboard left is not let go twice.
    if (held_.held(keyCode) || gate_ != nullptr) keyUp(keyCode, shift);
}

void Player::click(std::string_view menuName) {
    after(gate_ != nullptr && gate_->takesClick(menuName) ? Session::Outcome::Dropped
                                                          : game_.click(menuName));
}

void Player::tick() {
    if (gate_ != nullptr && gate_->takesTick()) return;
    after(game_.tick(), true);
}

void Player::after(Session::Outcome outcome, bool fromClock) {
    switch (outcome) {
        case Session::Outcome::Dropped:
            return;  // nothing ran, nothing changed
        case Session::Outcome::Ended:
            ended_ = true;
            listener_.exited();
            return;
        case Session::Outcome::Failed:
            ended_ = true;
            listener_.failed("Run-time error: " + game_.error());
            return;
        case Session::Outcome::Ran:
            break;
    }
    if (releasePending_) keyboardLeft();  // the handler that opened a box has returned
    listener_.ran(fromClock);
}

void Player::keyboardLeft() {
    // During a replay the game's keys are the script's, which lets them go itself.
    if (ended_ || gate_ != nullptr) return;
    if (game_.busy()) {
        // A box opened inside a handler took the keyboard: a key-up now would be dropped.
        releasePending_ = true;
        return;
    }
    releasePending_ = false;
    listener_.releasing();
    while (std::optional<HeldKeys::Key> key = held_.first()) {
        keyUp(key->code, key->shift);
        if (ended_) return;
    }
}

void Player::windowLeft(bool ownPopup) {
    keyboardLeft();
    // A handler running means a box of the game is up: the player is answering it, and the
    // outcome box opens while the flight still counts as running.
    if (ended_ || game_.busy() || ownPopup) return;
    if (!game_.view().tickChangesAnything()) return;
    if (gate_ != nullptr) {
        gate_->playerLeft();  // no key of the player's reaches a replay: it pauses instead
        return;
    }
    keyDown(keys::kP, 0);
    keyUp(keys::kP, 0);
}

void Player::setGate(PlayerGate* gate) {
    gate_ = gate;
    if (!ended_) listener_.clockChanged();
}

bool Player::clockWanted() const {
    if (ended_) return false;
    // After a landing or a crash every tick returns at once and changes nothing a player can
    // see: the host does not wake for them (Timer1 stays enabled all the same).
    return gate_ != nullptr ? gate_->wantsTicks() : game_.view().tickChangesAnything();
}

}  // namespace vandrel::host
