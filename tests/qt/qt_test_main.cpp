// SPDX-License-Identifier: MIT
// The window tests' main: one QApplication for all cases, on the offscreen platform unless
// the caller chose another (discovery runs this binary at build time, without a display).
#include <cstdlib>

#include <gtest/gtest.h>
#include <QApplication>
#include <QtGlobal>

namespace {

QtMessageHandler qtDefaultHandler = nullptr;

// The offscreen platform says, for every window, which window-system calls it lacks.
void quietOffscreenNotes(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
    if (msg.startsWith(QLatin1String("This plugin does not support"))) return;
    qtDefaultHandler(type, context, msg);
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    qtDefaultHandler = qInstallMessageHandler(quietOffscreenNotes);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
