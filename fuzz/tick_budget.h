// SPDX-License-Identifier: MIT
// How many timer intervals one fuzz input may run. At about 20 µs a tick under the
// sanitizers the default keeps every input well under a second; a long campaign can lower it
// with VANDREL_FUZZ_TICKS to trade the depth of a flight for executions per second.
#pragma once

#include <cstdint>
#include <cstdlib>

namespace vandrel::fuzz {

inline std::uint64_t ticksPerInput() {
    static const std::uint64_t budget = [] {
        const char* text = std::getenv("VANDREL_FUZZ_TICKS");
        if (text == nullptr) return std::uint64_t{20'000};
        const unsigned long long value = std::strtoull(text, nullptr, 10);
        return value == 0 ? std::uint64_t{20'000} : std::uint64_t{value};
    }();
    return budget;
}

}  // namespace vandrel::fuzz
