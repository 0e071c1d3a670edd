// SPDX-License-Identifier: MIT
// Vandrel: the game in its Qt window.
#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "qt/command_line.h"
#include "qt/game_window.h"
#include "qt/wayland_buffers.h"

int main(int argc, char* argv[]) {
    if (auto status = vandrel::qt::readCommandLine(argc, argv)) return *status;
    vandrel::qt::WaylandBuffers buffers;
    auto app = vandrel::qt::openApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the window ends the program itself

    int endStatus = 0;
    vandrel::qt::GameWindow window([&](int status) {
        endStatus = status;
        if (window.dispatcher().busy()) {
            // A handler is still on the stack (waiting in a box): none of it may run on.
            std::fflush(nullptr);
            std::_Exit(status);
        }
        QCoreApplication::exit(status);
    });
    if (!window.start()) return endStatus;  // the load itself ended the program
    buffers.done();
    QApplication::exec();
    return endStatus;
}
