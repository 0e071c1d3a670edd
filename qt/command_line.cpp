// SPDX-License-Identifier: MIT
#include "qt/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include "shell/game_name.h"

namespace vandrel::qt {

namespace {

const char* environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// What Qt was asked to open, in the player's words: `Qt's platform "bogus" (QT_QPA_PLATFORM)`.
std::string displaysTried() {
    struct Source {
        const char* variable;
        const char* what;
    };
    static constexpr Source sources[] = {{"QT_QPA_PLATFORM", "Qt's platform"},
                                         {"WAYLAND_DISPLAY", "the Wayland display"},
                                         {"DISPLAY", "the X display"}};
    std::string tried;
    for (const Source& source : sources) {
        const char* value = environment(source.variable);
        if (value == nullptr) continue;
        if (!tried.empty()) tried += " or ";
        tried += std::string(source.what) + " \"" + value + "\" (" + source.variable + ")";
        if (source.variable == sources[0].variable) break;  // Qt then looks at nothing else
    }
    return tried;
}

// Qt's messages while it opens its platform. Held back, since on a failure its last word is
// an abort with advice to reinstall; passed on unchanged once the platform is open.
struct HeldMessage {
    QtMsgType type;
    std::string file, function, category;
    int line;
    QString text;
};
std::vector<HeldMessage>* held = nullptr;

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    auto copy = [](const char* s) { return std::string(s != nullptr ? s : ""); };
    if (type != QtFatalMsg) {
        held->push_back({type, copy(context.file), copy(context.function), copy(context.category),
                         context.line, text});
        return;
    }
    // Qt could not open any platform and is about to abort: end plainly instead.
    std::string message = "vandrel: cannot open a window on " + displaysTried() + ".";
    qsizetype available = text.indexOf(QLatin1String("Available platform plugins are: "));
    if (environment("QT_QPA_PLATFORM") && available >= 0)
        message.append(" ").append(text.mid(available).trimmed().toStdString());
    std::fprintf(stderr, "%s\n", message.c_str());
    std::fflush(nullptr);
    std::_Exit(1);
}

}  // namespace

std::optional<int> readCommandLine(int argc, char* argv[]) {
    if (argc > 1) {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments << QString::fromLocal8Bit(argv[i]);
        QCommandLineParser parser;
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.setApplicationDescription(
            QStringLiteral("Vandrel, a lunar landing arcade game: set the lander down softly on "
                           "a flat pad.\nThe game takes no options; its keys and menus are "
                           "described in vandrel(6)."));
        QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Show this help and exit."));
        QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Show the version and exit."));
        parser.addOption(help);
        parser.addOption(version);
        if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
            QString reason = parser.errorText();
            if (reason.isEmpty())
                reason = QStringLiteral("Unexpected argument '%1'.")
                             .arg(parser.positionalArguments().constFirst());
            print(stderr, QStringLiteral("vandrel: %1 The game takes no options; see "
                                         "'vandrel --help'.\n")
                              .arg(reason));
            return 2;
        }
        if (parser.isSet(help)) {
            print(stdout, parser.helpText().replace(QLatin1String("<executable_name>"),
                                                    QLatin1String("vandrel")));
        } else {
            print(stdout, QStringLiteral("%1 %2\n").arg(QLatin1String(kGameName),
                                                        QLatin1String(kGameVersion)));
        }
        return 0;
    }
    // A platform chosen by hand is tried as it stands; otherwise Qt needs a display.
    if (!environment("QT_QPA_PLATFORM") && !environment("DISPLAY") &&
        !environment("WAYLAND_DISPLAY")) {
        std::fputs(
            "vandrel needs a graphical session (X11 or Wayland): neither DISPLAY nor "
            "WAYLAND_DISPLAY is set.\n",
            stderr);
        return 1;
    }
    return std::nullopt;
}

std::unique_ptr<QApplication> openApplication(int& argc, char* argv[]) {
    // Qt's own event loop serves the 10 ms clock with less work a wake-up than GLib's, and
    // nothing in the game needs GLib's: use it unless the player chose otherwise.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB")) qputenv("QT_NO_GLIB", "1");
    QApplication::setApplicationName(QLatin1String(kGameName));
    QApplication::setApplicationVersion(QLatin1String(kGameVersion));
    // Wayland compositors and task bars match the window to its desktop entry by this name.
    QGuiApplication::setDesktopFileName(QLatin1String(VANDREL_APP_ID));

    std::vector<HeldMessage> messages;
    held = &messages;
    QtMessageHandler previous = qInstallMessageHandler(holdMessage);
    auto app = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(previous);
    held = nullptr;
    for (const HeldMessage& m : messages) {
        QMessageLogContext context(m.file.c_str(), m.line, m.function.c_str(), m.category.c_str());
        qt_message_output(m.type, context, m.text);
    }
    return app;
}

}  // namespace vandrel::qt
