// SPDX-License-Identifier: MIT
#include "qt/recording_file.h"

#include <cstdio>

namespace vandrel::qt {

namespace {

void cannotWrite(const std::string& path, const std::string& reason) {
    std::fprintf(stderr, "vandrel: cannot write '%s': %s\n", path.c_str(), reason.c_str());
    std::fflush(stderr);
}

}  // namespace

RecordingFile::RecordingFile(const std::string& path)
    : path_(path), file_(path, headless::File::Mode::Replace), sink_(file_.fd()) {}

std::unique_ptr<RecordingFile> RecordingFile::open(const std::string& path) {
    std::unique_ptr<RecordingFile> recording(new RecordingFile(path));
    if (!recording->file_.valid()) {
        cannotWrite(path, recording->file_.reason());
        return nullptr;
    }
    RecordingFile& r = *recording;
    r.recorder_.emplace(r.sink_,
                        [&r](const IoError& error) { cannotWrite(r.path_, error.reason); });
    return recording;
}

int RecordingFile::finish(Ending ending, const Session& game, int status) {
    recorder_->finish(ending, game.view(), game.ticks());
    return recorder_->failed() && status == 0 ? kWriteFailed : status;
}

}  // namespace vandrel::qt
