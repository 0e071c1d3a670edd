// SPDX-License-Identifier: MIT
#include "host/keys.h"

#include "shell/runtime/key_codes.h"

namespace vandrel::host {

namespace {
constexpr std::int16_t kF10 = keys::kF1 + 9;
}  // namespace

std::optional<std::int16_t> letterKey(char32_t typed, char position) {
    if (typed >= U'a' && typed <= U'z') return static_cast<std::int16_t>(keys::kA + (typed - U'a'));
    if (typed >= U'A' && typed <= U'Z') return static_cast<std::int16_t>(keys::kA + (typed - U'A'));
    if (typed >= 0x80 && position >= 'A' && position <= 'Z')
        return static_cast<std::int16_t>(keys::kA + (position - 'A'));
    return std::nullopt;
}

bool isGameKey(const KeyEvent& key) {
    if (!key.code || *key.code == keys::kTab || *key.code == kF10) return false;
    return !key.down || !(key.ctrl || key.meta);
}

bool BoxKeys::answers(const BoxEvent& event) {
    using Kind = BoxEvent::Kind;
    if (event.kind == Kind::Clicked || event.kind == Kind::Abandoned) return true;
    const auto held = std::find(held_.begin(), held_.end(), event.keyCode);
    if (held != held_.end()) {
        if (event.kind == Kind::KeyUp) held_.erase(held);
        return false;
    }
    if (event.kind != Kind::KeyDown || event.repeat) return false;
    return event.keyCode == keys::kEnter || event.keyCode == keys::kEscape ||
           event.keyCode == keys::kSpace;
}

}  // namespace vandrel::host
