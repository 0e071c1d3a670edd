// SPDX-License-Identifier: MIT
// The flight recorder: everything the game is given, written as a trace script while it plays,
// so that the trace tool or the window replays the flight to the last bit.
//
// The first line names the game and its version. Then each event the dispatcher delivers, in
// order: `down K`, `up K`, `click NAME`, and the ticks between them as `tick N`. The program's
// end is a comment (`# end: close`, `# end: exit` for File > Exit, which has no line of its
// own, or `# end: error`) and the last line is `# final: ` with the state dump, so a replay
// goes on past both. A program closed while a handler waits in a box ends with that handler
// unfinished, and its final line shows the game so; a replay answers the box and goes on. Key,
// click and end lines are written at once, the running tick count every hundred ticks (a second of
// play) and before a box opens, so a killed game leaves a valid script of all but its last second.
//
// A write that fails stops the recording, never the game: the failure is reported once.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "shell/dispatcher.h"
#include "shell/form1_view.h"
#include "shell/script/script_io.h"
#include "shell/session.h"

namespace vandrel {

/// The first line of a recording made by this version: "# Vandrel 1.00 recording".
std::string recordingHeader();

/// For a script whose first line is a recording's header naming another version (letters,
/// digits and . - + ~ _ only), the note "NAME was recorded by Vandrel X; this is Vandrel
/// 1.00" (the name shown as escapedText shows it); otherwise nothing.
std::optional<std::string> otherVersionNote(std::string_view firstLine, std::string_view name);

class Recorder : public EventObserver {
  public:
    /// Told once, of the first write that failed.
    using FailureHandler = std::function<void(const IoError&)>;
    /// Ticks in a row after which their count is written.
    static constexpr std::uint32_t kTicksPerLine = 100;

    /// Writes the first line at once.
    Recorder(OutputSink& sink, FailureHandler onFailure);

    void keyDown(std::int16_t keyCode) override;
    void keyUp(std::int16_t keyCode) override;
    void click(std::string_view menuName) override;
    void tick() override;
    void boxOpens() override { writeTicks(); }

    /// How the program ended and the game's state then: the last two lines.
    void finish(Ending ending, const Form1View& view, std::uint64_t ticks);
    /// The game's state: the last line, after the end line.
    void writeFinal(const Form1View& view, std::uint64_t ticks);
    /// How the program ended: the end line, after the ticks not yet written.
    void end(Ending ending);
    /// Writes the count of the ticks not yet written, so that what was written is the whole
    /// flight so far.
    void writeTicks();
    /// The last line of a recording: `# final: ` and the state object, with its line feed.
    static std::string finalLine(const Form1View& view, std::uint64_t ticks);

    /// True once a write failed: nothing is written any more.
    bool failed() const { return failed_; }

  private:
    void write(std::string_view prefix, std::string_view rest = {});

    OutputSink& sink_;
    FailureHandler onFailure_;
    std::string line_;         // reused for every line
    std::uint32_t ticks_ = 0;  // ticks delivered and not yet written
    bool failed_ = false;
};

}  // namespace vandrel
