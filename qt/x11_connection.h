// SPDX-License-Identifier: MIT
// Qt's own connection to the X server, for the few requests the window makes itself: the
// scene drawn by the server and the keyboard's detectable auto-repeat.
#pragma once

#if VANDREL_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QGuiApplication>

namespace vandrel::qt {

/// The application's X connection; null on any other platform, or before the application
/// exists.
inline xcb_connection_t* applicationConnection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

}  // namespace vandrel::qt
#endif
