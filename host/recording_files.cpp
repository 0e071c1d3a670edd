// SPDX-License-Identifier: MIT
#include "host/recording_files.h"

#include <cstdio>

#include "shell/script/script.h"

namespace vandrel::host {

namespace {

void cannotWrite(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "vandrel: cannot write '%s': %s\n", path.c_str(), reason.c_str());
    std::fflush(stderr);
}

}  // namespace

std::optional<ReplayScript> readReplay(const std::string& path) {
    const File file(path, File::Mode::Read);
    std::string reason = file.reason();
    if (file.valid()) {
        try {
            FdSource source(file.fd());
            auto read = ReplayReader::read(source, path, [](const std::string& note) {
                std::fprintf(stderr, "vandrel: %s\n", note.c_str());
            });
            if (auto* script = std::get_if<ReplayScript>(&read)) return std::move(*script);
            const std::string refusal = std::get<ReplayRefusal>(read).text(path);
            std::fprintf(stderr, "vandrel: %s\n", refusal.c_str());
            return std::nullopt;
        } catch (const IoError& error) {
            reason = error.reason;
        }
    }
    std::fprintf(stderr, "vandrel: cannot read '%s': %s\n", escapedText(path).c_str(),
                 reason.c_str());
    return std::nullopt;
}

Replay::Hooks replayHooks(std::function<void()> close) {
    return {[](const std::string& line) {
                std::fwrite(line.data(), 1, line.size(), stdout);
                std::fputc('\n', stdout);
                std::fflush(stdout);
            },
            std::move(close)};
}

RecordingFile::RecordingFile(const std::string& path, Driver& driver)
    : path_(path), driver_(driver), file_(path, File::Mode::Replace), sink_(file_.fd()) {}

std::unique_ptr<RecordingFile> RecordingFile::open(const std::string& path, Driver& driver) {
    std::unique_ptr<RecordingFile> recording(new RecordingFile(path, driver));
    if (!recording->file_.valid()) {
        cannotWrite(path, recording->file_.reason());
        return nullptr;
    }
    RecordingFile& r = *recording;
    driver.record(r.sink_, [&r](const IoError& error) { cannotWrite(r.path_, error.reason); });
    return recording;
}

int RecordingFile::finish(int status) {
    Recorder& recorder = *driver_.recorder();
    const Session& game = driver_.game();
    recorder.writeFinal(game.view(), game.ticks());
    return recorder.failed() && status == 0 ? kWriteFailed : status;
}

}  // namespace vandrel::host
