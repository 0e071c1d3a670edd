// SPDX-License-Identifier: MIT
#include "shell/script/recorder.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "shell/game_name.h"
#include "shell/script/dump.h"
#include "shell/script/script.h"

namespace vandrel {

namespace {

constexpr std::string_view kRecording = "recording";

std::string number(std::int64_t value) {
    char text[24];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

}  // namespace

std::string recordingHeader() {
    return "# " + std::string(kGameName) + ' ' + std::string(kGameVersion) + ' ' +
           std::string(kRecording);
}

std::optional<std::string> otherVersionNote(std::string_view firstLine, std::string_view name) {
    if (!firstLine.empty() && firstLine.back() == '\r') firstLine.remove_suffix(1);
    const std::string prefix = "# " + std::string(kGameName) + ' ';
    const std::string suffix = ' ' + std::string(kRecording);
    if (firstLine.size() <= prefix.size() + suffix.size() || !firstLine.starts_with(prefix) ||
        !firstLine.ends_with(suffix)) {
        return std::nullopt;
    }
    const std::string_view version =
        firstLine.substr(prefix.size(), firstLine.size() - prefix.size() - suffix.size());
    // Only what a version number is made of: the note shows it raw, and a script must never
    // drive the terminal that shows it.
    constexpr std::size_t kLongestVersion = 32;
    const auto versionCharacter = [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
               c == '.' || c == '-' || c == '+' || c == '~' || c == '_';
    };
    if (version.size() > kLongestVersion ||
        !std::all_of(version.begin(), version.end(), versionCharacter) || version == kGameVersion) {
        return std::nullopt;
    }
    return escapedText(name) + " was recorded by " + std::string(kGameName) + ' ' +
           std::string(version) + "; this is " + std::string(kGameName) + ' ' +
           std::string(kGameVersion);
}

Recorder::Recorder(OutputSink& sink, FailureHandler onFailure)
    : sink_(sink), onFailure_(std::move(onFailure)) {
    write(recordingHeader());
}

void Recorder::keyDown(std::int16_t keyCode) {
    writeTicks();
    write("down ", number(keyCode));
}

void Recorder::keyUp(std::int16_t keyCode) {
    writeTicks();
    write("up ", number(keyCode));
}

void Recorder::click(std::string_view menuName) {
    writeTicks();
    // File > Exit changes nothing but ends the program: the end line stands for it, so that a
    // replay goes on past it.
    if (menuName == "mnuExit") return;
    write("click ", menuName);
}

void Recorder::tick() {
    if (++ticks_ == kTicksPerLine) writeTicks();
}

void Recorder::finish(Ending ending, const Form1View& view, std::uint64_t ticks) {
    end(ending);
    writeFinal(view, ticks);
}

void Recorder::writeFinal(const Form1View& view, std::uint64_t ticks) {
    std::string line = finalLine(view, ticks);
    line.pop_back();  // write() ends it
    write(line);
}

void Recorder::end(Ending ending) {
    static constexpr std::string_view kEndings[] = {"close", "exit", "error"};
    writeTicks();
    write("# end: ", kEndings[static_cast<int>(ending)]);
}

std::string Recorder::finalLine(const Form1View& view, std::uint64_t ticks) {
    std::string line = "# final: ";
    appendDump(line, view, ticks);
    line += '\n';
    return line;
}

void Recorder::writeTicks() {
    if (ticks_ == 0) return;
    const std::uint32_t count = std::exchange(ticks_, 0);
    write("tick ", number(count));
}

void Recorder::write(std::string_view prefix, std::string_view rest) {
    if (failed_) return;
    line_.assign(prefix).append(rest) += '\n';
    try {
        sink_.write(line_);
    } catch (const IoError& error) {
        failed_ = true;
        if (onFailure_) onFailure_(error);
    }
}

}  // namespace vandrel
