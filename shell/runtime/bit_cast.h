// SPDX-License-Identifier: MIT
// A value's bits read as another type of the same size, as std::bit_cast does; on the
// compiler's own builtin, because not every C++ library the game is built with has
// std::bit_cast (emscripten's for WebAssembly lacks it).
#pragma once

namespace vandrel {

/// The bits of `from` as a `To`; the builtin refuses types of other sizes or that are not
/// trivially copyable.
template <class To, class From>
constexpr To bitCast(const From& from) noexcept {
    return __builtin_bit_cast(To, from);
}

}  // namespace vandrel
