// Vandrel: the game in its Qt window.
#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "qt/command_line.h"
#include "qt/game_window.h"
#include "qt/qt_platform.h"
#include "shell/form1.h"
#include "shell/runtime/dispatcher.h"

int main(int argc, char* argv[]) {
    if (auto status = vandrel::qt::readCommandLine(argc, argv)) return *status;
    auto app = vandrel::qt::openApplication(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the window ends the program itself

    vandrel::qt::QtPlatform platform;
    vandrel::Form1 form(platform);
    vandrel::Dispatcher dispatcher(form);
    int endStatus = 0;
    vandrel::qt::GameWindow window(form, dispatcher, platform, [&](int status) {
        endStatus = status;
        if (dispatcher.busy()) {
            // A handler is still on the stack (waiting in a box): none of it may run on.
            std::fflush(nullptr);
            std::_Exit(status);
        }
        QCoreApplication::exit(status);
    });
    if (!window.start()) return endStatus;  // the load itself ended the program
    QApplication::exec();
    return endStatus;
}
