// Vandrel: the game in its Qt window.
#include <cstdio>
#include <cstdlib>

#include <QApplication>

#include "qt/game_window.h"

namespace {

// Qt aborts with a message about platform plugins when there is no display; say it plainly.
bool haveGraphicalSession() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM");
}

}  // namespace

int main(int argc, char* argv[]) {
    if (!haveGraphicalSession()) {
        std::fputs(
            "vandrel needs a graphical session (X11 or Wayland): neither DISPLAY nor "
            "WAYLAND_DISPLAY is set.\n",
            stderr);
        return 1;
    }
    // Qt's own event loop serves the 10 ms clock with less work a wake-up than GLib's, and
    // nothing in the game needs GLib's: use it unless the player chose otherwise.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vandrel"));
    QApplication::setApplicationVersion(QStringLiteral(VANDREL_VERSION));
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
    QApplication::exec();
    return endStatus;
}
