// SPDX-License-Identifier: MIT
#include "shell/runtime/errors.h"

namespace vandrel {

const char* describe(ErrorCode code) noexcept {
    switch (code) {
        case ErrorCode::Overflow:
            return "Overflow";
        case ErrorCode::SubscriptOutOfRange:
            return "Subscript out of range";
        case ErrorCode::DivisionByZero:
            return "Division by zero";
    }
    return "Application-defined or object-defined error";
}

RuntimeError::RuntimeError(ErrorCode code) : std::runtime_error(describe(code)), code_(code) {}

void raise(ErrorCode code) {
    throw RuntimeError(code);
}

}  // namespace vandrel
