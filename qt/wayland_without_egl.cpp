// SPDX-License-Identifier: MIT
#include "qt/wayland_without_egl.h"

#include <cstdint>
#include <string_view>

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#if VANDREL_HAVE_WAYLAND
#include <wayland-client.h>
#endif

namespace vandrel::qt {

namespace {

constexpr const char* kSetting = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";

QtMessageHandler passOn = nullptr;

// Qt's two lines on the integration it was told to leave out.
void withoutBufferWarnings(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type == QtWarningMsg && std::string_view(context.category) == "qt.qpa.wayland" &&
        (message.startsWith(QLatin1String("Failed to load client buffer integration")) ||
         message.startsWith(QLatin1String("Available client buffer integrations")))) {
        return;
    }
    passOn(type, context, message);
}

}  // namespace

bool compositorDrawsWindowFrames() {
#if VANDREL_HAVE_WAYLAND
    // No compositor named, none asked (the library would complain of a missing runtime
    // directory on its own).
    const QByteArray name = qgetenv("WAYLAND_DISPLAY");
    if (name.isEmpty() || (!name.startsWith('/') && qgetenv("XDG_RUNTIME_DIR").isEmpty())) {
        return false;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) return false;
    bool offered = false;
    static const wl_registry_listener listener = {
        [](void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
            if (std::string_view(interface) == "zxdg_decoration_manager_v1") {
                *static_cast<bool*>(data) = true;
            }
        },
        [](void*, wl_registry*, std::uint32_t) {},
    };
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
#else
    return false;
#endif
}

WaylandWithoutEgl::WaylandWithoutEgl() {
    // A choice of the player's own stands, and so does a platform other than Wayland.
    if (qEnvironmentVariableIsSet(kSetting)) return;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && !platform.startsWith("wayland")) return;
    if (!compositorDrawsWindowFrames()) return;
    qputenv(kSetting, "none");
    set_ = true;
    passOn = qInstallMessageHandler(withoutBufferWarnings);
}

void WaylandWithoutEgl::done() {
    if (!set_) return;
    qunsetenv(kSetting);
    qInstallMessageHandler(passOn);
    set_ = false;
}

}  // namespace vandrel::qt
