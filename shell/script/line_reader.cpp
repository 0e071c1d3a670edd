// SPDX-License-Identifier: MIT
#include "shell/script/line_reader.h"

#include <algorithm>
#include <cstring>

namespace vandrel {

namespace {

constexpr std::size_t kCapacity = kMaxLineBytes + 1;

}  // namespace

LineReader::LineReader(ScriptSource& source)
    : source_(&source), buffer_(std::make_unique<char[]>(kCapacity)) {}

LineReader::LineReader() : buffer_(std::make_unique<char[]>(kCapacity)) {}

LineReader::Result LineReader::take(std::string_view& line) {
    const std::string_view rest(buffer_.get() + begin_, end_ - begin_);
    if (const std::size_t feed = rest.find('\n'); feed != std::string_view::npos) {
        line = rest.substr(0, feed);
        begin_ += feed + 1;
        return Result::Line;
    }
    if (rest.size() > kMaxLineBytes) return Result::TooLong;
    if (ended_ && !rest.empty()) {
        // The last line, without a line feed of its own.
        line = rest;
        begin_ = end_;
        return Result::Line;
    }
    return Result::End;
}

void LineReader::compact() {
    std::memmove(buffer_.get(), buffer_.get() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
}

void LineReader::fill() {
    compact();
    // take() has reported any line that fills the buffer, so there is room for one byte more.
    const std::size_t count = source_->read(buffer_.get() + end_, kCapacity - end_);
    if (count == 0) ended_ = true;
    end_ += count;
}

std::size_t LineReader::feed(std::string_view bytes) {
    compact();
    const std::size_t count = std::min(bytes.size(), kCapacity - end_);
    std::memcpy(buffer_.get() + end_, bytes.data(), count);
    end_ += count;
    return count;
}

}  // namespace vandrel
