// SPDX-License-Identifier: MIT
#include "host/replay_script.h"

#include <memory>
#include <utility>

#include "shell/script/recorder.h"

namespace vandrel::host {

namespace {

// The first byte of each step; a key code follows as two bytes, low first, a tick count other
// than 1 as four, and a menu name as its length and its bytes.
enum Tag : char { kDown = 1, kUp, kTickOnce, kTicks, kClick, kDump, kClose };

void appendBytes(std::string& bytes, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i)
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
}

std::uint32_t readBytes(const std::string& bytes, std::size_t& at, int count) {
    std::uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at++])) << (8 * i);
    return value;
}

}  // namespace

ReplayScript ReplayScript::of(std::string_view text) {
    ReplayReader reader("script", {});
    reader.more(text);
    ReplayReader::Result read = reader.end();
    auto* script = std::get_if<ReplayScript>(&read);
    return script ? std::move(*script) : ReplayScript{};
}

void ReplayScript::add(const Command& command) {
    switch (command.kind) {
        case CommandKind::Down:
        case CommandKind::Up:
            bytes_ += command.kind == CommandKind::Down ? kDown : kUp;
            appendBytes(bytes_, static_cast<std::uint16_t>(command.keyCode), 2);
            break;
        case CommandKind::Tick:
            if (command.count == 1) {
                bytes_ += kTickOnce;
            } else {
                bytes_ += kTicks;
                appendBytes(bytes_, command.count, 4);
            }
            break;
        case CommandKind::Click:
            // A menu name with a click handler: a dozen letters at most.
            bytes_ += kClick;
            bytes_ += static_cast<char>(command.menuName.size());
            bytes_ += command.menuName;
            break;
        case CommandKind::Dump:
            bytes_ += kDump;
            break;
        case CommandKind::Close:
            bytes_ += kClose;
            break;
        case CommandKind::Nothing:
            break;
    }
}

ReplayScript::Step ReplayScript::next(std::size_t& at) const {
    Step step;
    switch (bytes_[at++]) {
        case kDown:
        case kUp:
            step.kind = bytes_[at - 1] == kDown ? CommandKind::Down : CommandKind::Up;
            step.keyCode = static_cast<std::int16_t>(readBytes(bytes_, at, 2));
            break;
        case kTickOnce:
            step.kind = CommandKind::Tick;
            step.count = 1;
            break;
        case kTicks:
            step.kind = CommandKind::Tick;
            step.count = readBytes(bytes_, at, 4);
            break;
        case kClick: {
            step.kind = CommandKind::Click;
            const auto length = static_cast<unsigned char>(bytes_[at++]);
            step.menuName = std::string_view(bytes_).substr(at, length);
            at += length;
            break;
        }
        case kDump:
            step.kind = CommandKind::Dump;
            break;
        case kClose:
            step.kind = CommandKind::Close;
            break;
        default:
            break;
    }
    return step;
}

std::string ReplayRefusal::text(std::string_view name) const {
    return escapedText(name) + ": line " + std::to_string(line) + ": " + reason;
}

ReplayReader::ReplayReader(std::string_view name, Note note)
    : name_(name), note_(std::move(note)) {}

bool ReplayReader::more(std::string_view piece) {
    while (!refusal_ && !piece.empty()) {
        piece.remove_prefix(reader_.feed(piece));
        take();
    }
    return !refusal_;
}

ReplayReader::Result ReplayReader::end() {
    if (!refusal_) {
        reader_.feedEnd();
        take();
    }
    if (refusal_) return std::move(*refusal_);
    return std::move(script_);
}

void ReplayReader::take() {
    for (Command command;;) {
        const ScriptReader::Result result = reader_.nextFed(command);
        if (result == ScriptReader::Result::End) return;
        if (reader_.lineNumber() == 1 && note_) {
            if (const auto text = otherVersionNote(reader_.line(), name_)) note_(*text);
        }
        if (result == ScriptReader::Result::Malformed) {
            refusal_ = ReplayRefusal{reader_.lineNumber(), reader_.reason()};
            return;
        }
        script_.add(command);
    }
}

ReplayReader::Result ReplayReader::read(ScriptSource& source, std::string_view name,
                                        const Note& note) {
    constexpr std::size_t kPiece = 65536;
    ReplayReader reader(name, note);
    const auto piece = std::make_unique<char[]>(kPiece);
    while (const std::size_t count = source.read(piece.get(), kPiece)) {
        if (!reader.more(std::string_view(piece.get(), count))) break;
    }
    return reader.end();
}

}  // namespace vandrel::host
