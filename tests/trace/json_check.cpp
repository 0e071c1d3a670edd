// SPDX-License-Identifier: MIT
#include "json_check.h"

#include <cctype>

namespace vandrel::headless::testing {

namespace {

class Checker {
  public:
    explicit Checker(std::string_view text) : s_(text) {}

    bool document() { return value(0) && (space(), p_ == s_.size()); }
    std::vector<std::pair<int, std::string>> keys;

  private:
    bool value(int depth) {
        space();
        if (eat('{')) {
            if (space(), eat('}')) return true;
            do {
                std::string key;
                if (!(space(), string(&key))) return false;
                keys.emplace_back(depth + 1, key);
                if (!(space(), eat(':')) || !value(depth + 1)) return false;
            } while (space(), eat(','));
            return eat('}');
        }
        if (eat('[')) {
            if (space(), eat(']')) return true;
            do {
                if (!value(depth)) return false;
            } while (space(), eat(','));
            return eat(']');
        }
        if (p_ < s_.size() && s_[p_] == '"') return string(nullptr);
        for (std::string_view word : {"true", "false", "null"}) {
            if (s_.substr(p_, word.size()) == word) return p_ += word.size(), true;
        }
        return number();
    }

    bool string(std::string* text) {
        ++p_;
        while (p_ < s_.size()) {
            const char c = s_[p_++];
            if (c == '"') return true;
            if (static_cast<unsigned char>(c) < 0x20) return false;
            if (text) *text += c;
            if (c != '\\') continue;
            if (p_ >= s_.size()) return false;
            const char e = s_[p_++];
            if (e == 'u') {
                for (int i = 0; i < 4; ++i) {
                    if (p_ >= s_.size() || !std::isxdigit(static_cast<unsigned char>(s_[p_++]))) {
                        return false;
                    }
                }
            } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
                return false;
            }
        }
        return false;
    }

    // -? (0 | [1-9][0-9]*) (. [0-9]+)? ([eE] [+-]? [0-9]+)?
    bool number() {
        eat('-');
        if (!eat('0') && digits() == 0) return false;
        if (eat('.') && digits() == 0) return false;
        if (eat('e') || eat('E')) {
            if (!eat('+')) eat('-');
            if (digits() == 0) return false;
        }
        return true;
    }

    std::size_t digits() {
        const std::size_t start = p_;
        while (p_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[p_])))
            ++p_;
        return p_ - start;
    }
    bool eat(char c) { return p_ < s_.size() && s_[p_] == c && (++p_, true); }
    void space() {
        while (p_ < s_.size() &&
               std::string_view(" \t\r\n").find(s_[p_]) != std::string_view::npos) {
            ++p_;
        }
    }

    std::string_view s_;
    std::size_t p_ = 0;
};

}  // namespace

std::optional<std::vector<std::pair<int, std::string>>> jsonKeys(std::string_view text) {
    Checker checker(text);
    if (!checker.document()) return std::nullopt;
    return std::move(checker.keys);
}

std::vector<std::string> keysAt(const std::vector<std::pair<int, std::string>>& keys, int depth) {
    std::vector<std::string> names;
    for (const auto& [at, name] : keys) {
        if (at == depth) names.push_back(name);
    }
    return names;
}

}  // namespace vandrel::headless::testing
