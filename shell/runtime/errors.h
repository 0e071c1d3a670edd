// SPDX-License-Identifier: MIT
// The forms runtime's error model.
//
// The game catches no error of its own: an arithmetic fault or a failing property access
// throws a RuntimeError where it happens, and the event dispatcher catches it once, at the
// boundary between the platform and Form1. End is modelled the same way, so that a handler
// that calls End stops at once without running another statement.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vandrel {

/// The runtime's trappable errors, by their classic numbers.
enum class ErrorCode : std::int16_t {
    Overflow = 6,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
};

/// An unhandled run-time error; what() is the description shown to the player ("Overflow").
class RuntimeError : public std::runtime_error {
  public:
    explicit RuntimeError(ErrorCode code);
    ErrorCode code() const noexcept { return code_; }

  private:
    ErrorCode code_;
};

/// The description the runtime shows for an error ("Subscript out of range").
const char* describe(ErrorCode code) noexcept;

/// Thrown by the End service: unwinds the running handler; the dispatcher then stops the program.
struct EndRequested {};

[[noreturn]] void raise(ErrorCode code);

}  // namespace vandrel
