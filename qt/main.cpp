// SPDX-License-Identifier: MIT
// Vandrel: the game in its Qt window.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#include <QApplication>

#include "host/recording_files.h"
#include "qt/command_line.h"
#include "qt/game_window.h"
#include "qt/wayland_without_egl.h"

int main(int argc, char* argv[]) {
    using namespace vandrel::qt;
    using vandrel::host::readReplay;
    using vandrel::host::RecordingFile;
    using vandrel::host::replayHooks;
    CommandLine options;
    if (auto status = readCommandLine(argc, argv, options)) return *status;
    // The replay is read whole before the recording replaces a file, which may be the same.
    std::optional<vandrel::host::ReplayScript> replay;
    if (!options.replay.empty() && !(replay = readReplay(options.replay))) return 2;
    WaylandWithoutEgl withoutEgl;
    auto app = openApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the window ends the program itself

    int endStatus = 0;
    std::unique_ptr<RecordingFile> recording;
    GameWindow window([&](int status) {
        if (recording) status = recording->finish(status);
        endStatus = status;
        if (window.driver().game().busy()) {
            // A handler is still on the stack (waiting in a box): none of it may run on.
            std::fflush(nullptr);
            std::_Exit(status);
        }
        QCoreApplication::exit(status);
    });
    if (!options.record.empty() &&
        !(recording = RecordingFile::open(options.record, window.driver()))) {
        return 2;
    }
    if (replay)
        window.driver().replay(std::move(*replay), replayHooks([&window] { window.close(); }));
    if (!window.start()) return endStatus;  // the load itself ended the program
    withoutEgl.done();
    QApplication::exec();
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        // Qt 6.4's Wayland connection, torn down on the way out, now and then waits for ever
        // on its own event thread, which is blocked reading from the compositor: the game has
        // ended and written all it had to write, so it leaves without the teardown.
        std::fflush(nullptr);
        std::_Exit(endStatus);
    }
    return endStatus;
}
