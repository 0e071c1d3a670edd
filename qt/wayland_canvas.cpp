// SPDX-License-Identifier: MIT
#include "qt/wayland_canvas.h"

#include "qt/painter_surface.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#if VANDREL_HAVE_WAYLAND_CANVAS
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <atomic>
#include <cstring>
#include <string_view>
#include <vector>

#include <qpa/qplatformnativeinterface.h>
#endif

namespace vandrel::qt {

#if VANDREL_HAVE_WAYLAND_CANVAS

namespace {

// The compositor holds the buffer shown until the next one replaces it; a spare covers a
// release that comes late.
constexpr std::size_t kMostBuffers = 4;

struct Buffer {
    int fd = -1;
    void* data = MAP_FAILED;
    std::size_t bytes = 0;
    wl_shm_pool* pool = nullptr;
    wl_buffer* buffer = nullptr;
    std::atomic<bool> held{false};  // by the compositor
    host::Damage stale;             // changed since this buffer was last drawn
    QImage image;                   // over data

    ~Buffer() {
        if (buffer != nullptr) wl_buffer_destroy(buffer);
        if (pool != nullptr) wl_shm_pool_destroy(pool);
        if (data != MAP_FAILED) munmap(data, bytes);
        if (fd >= 0) close(fd);
    }
};

const wl_buffer_listener kBufferListener = {
    [](void* data, wl_buffer*) { static_cast<Buffer*>(data)->held = false; },
};

struct Globals {
    wl_compositor* compositor = nullptr;
    wl_subcompositor* subcompositor = nullptr;
    wl_shm* shm = nullptr;
};

// The globals the canvas needs, bound on a queue of its own, so that the round trip takes
// none of Qt's events, then moved to the default queue, which Qt dispatches.
Globals bindGlobals(wl_display* display) {
    Globals globals;
    static const wl_registry_listener listener = {
        [](void* data, wl_registry* registry, std::uint32_t name, const char* interface,
           std::uint32_t version) {
            auto& g = *static_cast<Globals*>(data);
            const std::string_view offered(interface);
            auto bind = [&](const wl_interface* kind, std::uint32_t version) {
                return wl_registry_bind(registry, name, kind, version);
            };
            // Damage in buffer coordinates came with the compositor's version 4.
            if (offered == "wl_compositor" && g.compositor == nullptr && version >= 4) {
                g.compositor = static_cast<wl_compositor*>(bind(&wl_compositor_interface, 4));
            } else if (offered == "wl_subcompositor" && g.subcompositor == nullptr) {
                g.subcompositor =
                    static_cast<wl_subcompositor*>(bind(&wl_subcompositor_interface, 1));
            } else if (offered == "wl_shm" && g.shm == nullptr) {
                g.shm = static_cast<wl_shm*>(bind(&wl_shm_interface, 1));
            }
        },
        [](void*, wl_registry*, std::uint32_t) {},
    };
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), queue);
    wl_registry* registry = wl_display_get_registry(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    wl_registry_add_listener(registry, &listener, &globals);
    wl_display_roundtrip_queue(display, queue);
    wl_registry_destroy(registry);
    for (void* global :
         {static_cast<void*>(globals.compositor), static_cast<void*>(globals.subcompositor),
          static_cast<void*>(globals.shm)}) {
        if (global != nullptr) wl_proxy_set_queue(static_cast<wl_proxy*>(global), nullptr);
    }
    wl_event_queue_destroy(queue);
    return globals;
}

QPlatformNativeInterface* native() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"))
               ? QGuiApplication::platformNativeInterface()
               : nullptr;
}

}  // namespace

struct WaylandCanvas::Surface {
    wl_display* display = nullptr;
    Globals globals;
    wl_surface* surface = nullptr;
    wl_subsurface* subsurface = nullptr;
    QSize size;
    std::vector<std::unique_ptr<Buffer>> buffers;
    Buffer* drawn = nullptr;  // holds the frame drawn last
    wl_callback* frame = nullptr;
    QPointer<QWidget> widget;
    std::function<void()> frameTaken;

    ~Surface() {
        if (frame != nullptr) wl_callback_destroy(frame);
        buffers.clear();
        if (subsurface != nullptr) wl_subsurface_destroy(subsurface);
        if (surface != nullptr) wl_surface_destroy(surface);
        if (globals.shm != nullptr) wl_shm_destroy(globals.shm);
        if (globals.subcompositor != nullptr) wl_subcompositor_destroy(globals.subcompositor);
        if (globals.compositor != nullptr) wl_compositor_destroy(globals.compositor);
        if (display != nullptr) wl_display_flush(display);
    }

    // A buffer the compositor does not hold; a new one while fewer than kMostBuffers exist.
    Buffer* freeBuffer() {
        for (const auto& buffer : buffers) {
            if (!buffer->held && buffer.get() != drawn) return buffer.get();
        }
        if (buffers.size() >= kMostBuffers) {
            // The compositor keeps them all: draw again into the one shown longest ago.
            return buffers.front().get() == drawn ? buffers.back().get() : buffers.front().get();
        }
        auto buffer = std::make_unique<Buffer>();
        const int stride = size.width() * 4;
        buffer->bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(size.height());
        buffer->fd = memfd_create("vandrel-scene", MFD_CLOEXEC);
        if (buffer->fd < 0 || ftruncate(buffer->fd, static_cast<off_t>(buffer->bytes)) != 0) {
            return nullptr;
        }
        buffer->data =
            mmap(nullptr, buffer->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, buffer->fd, 0);
        if (buffer->data == MAP_FAILED) return nullptr;
        buffer->pool =
            wl_shm_create_pool(globals.shm, buffer->fd, static_cast<std::int32_t>(buffer->bytes));
        buffer->buffer = wl_shm_pool_create_buffer(buffer->pool, 0, size.width(), size.height(),
                                                   stride, WL_SHM_FORMAT_XRGB8888);
        wl_buffer_add_listener(buffer->buffer, &kBufferListener, buffer.get());
        buffer->image = QImage(static_cast<uchar*>(buffer->data), size.width(), size.height(),
                               stride, QImage::Format_RGB32);
        buffer->stale = host::Damage(size.width(), size.height());
        buffer->stale.addAll();
        buffers.push_back(std::move(buffer));
        return buffers.back().get();
    }
};

namespace {

const wl_callback_listener kFrameListener = {
    [](void* data, wl_callback* callback, std::uint32_t) {
        auto& s = *static_cast<WaylandCanvas::Surface*>(data);
        wl_callback_destroy(callback);
        s.frame = nullptr;
        // The widget hears of it once Qt has dispatched the compositor's events, in its own
        // thread (Qt 6.4 dispatches them in the widget's, but need not).
        if (s.widget) QMetaObject::invokeMethod(s.widget, s.frameTaken, Qt::QueuedConnection);
    },
};

}  // namespace

bool WaylandCanvas::available() {
    return native() != nullptr;
}

std::unique_ptr<WaylandCanvas> WaylandCanvas::attach(QWidget& widget, const LabelTexts& texts,
                                                     std::function<void()> frameTaken) {
    QPlatformNativeInterface* interface = native();
    QWindow* top = widget.window()->windowHandle();
    if (interface == nullptr || top == nullptr || widget.devicePixelRatioF() != 1.0 ||
        !top->frameMargins().isNull()) {
        return nullptr;
    }
    auto* display = static_cast<wl_display*>(interface->nativeResourceForIntegration("wl_display"));
    auto* parent = static_cast<wl_surface*>(interface->nativeResourceForWindow("surface", top));
    if (display == nullptr || parent == nullptr) return nullptr;
    auto s = std::make_unique<Surface>();
    s->display = display;
    s->globals = bindGlobals(display);
    if (s->globals.compositor == nullptr || s->globals.subcompositor == nullptr ||
        s->globals.shm == nullptr) {
        return nullptr;
    }
    s->size = widget.size();
    s->widget = &widget;
    s->frameTaken = std::move(frameTaken);
    s->surface = wl_compositor_create_surface(s->globals.compositor);
    s->subsurface = wl_subcompositor_get_subsurface(s->globals.subcompositor, s->surface, parent);
    const QPoint at = widget.mapTo(widget.window(), QPoint(0, 0));
    wl_subsurface_set_position(s->subsurface, at.x(), at.y());
    // Its frames go to the screen as they come, not with the window's next commit.
    wl_subsurface_set_desync(s->subsurface);
    // Clicks go through to the window beneath, whose widget Qt knows.
    wl_region* none = wl_compositor_create_region(s->globals.compositor);
    wl_surface_set_input_region(s->surface, none);
    wl_region_destroy(none);
    wl_surface_commit(s->surface);
    // The new sub-surface and its place take effect with the window's next commit: that holds
    // nothing else of Qt's, which attaches, damages and commits in one go on this thread.
    wl_surface_commit(parent);
    wl_display_flush(display);
    return std::unique_ptr<WaylandCanvas>(new WaylandCanvas(std::move(s), texts));
}

WaylandCanvas::WaylandCanvas(std::unique_ptr<Surface> surface, const LabelTexts& texts)
    : s_(std::move(surface)), texts_(texts) {}

WaylandCanvas::~WaylandCanvas() = default;

void WaylandCanvas::draw(const host::Scene& scene, const host::Damage& area) {
    Buffer* buffer = s_->freeBuffer();
    if (buffer == nullptr) return;
    for (const auto& other : s_->buffers) {
        if (other.get() != buffer) other->stale.add(area);
    }
    // What changed since this buffer was drawn is copied from the buffer drawn last, which
    // holds all of the last frame; only this frame's changes are painted.
    if (const Buffer* last = s_->drawn) {
        const auto stride = static_cast<std::size_t>(buffer->image.bytesPerLine());
        for (const host::Rect& r : buffer->stale.rects()) {
            const std::size_t offset =
                static_cast<std::size_t>(r.top) * stride + static_cast<std::size_t>(r.left) * 4;
            for (int row = 0; row < r.height; ++row) {
                const std::size_t at = offset + static_cast<std::size_t>(row) * stride;
                std::memcpy(static_cast<char*>(buffer->data) + at,
                            static_cast<const char*>(last->data) + at,
                            static_cast<std::size_t>(r.width) * 4);
            }
        }
        buffer->stale.clear();
    }
    buffer->stale.add(area);
    QPainter painter(&buffer->image);
    PainterSurface surface(painter, texts_);
    scene.paint(surface, buffer->stale);
    buffer->stale.clear();
    s_->drawn = buffer;
}

void WaylandCanvas::show(const host::Damage& area) {
    Buffer* buffer = s_->drawn;
    if (buffer == nullptr) return;
    wl_surface_attach(s_->surface, buffer->buffer, 0, 0);
    if (covered_) {
        wl_surface_damage_buffer(s_->surface, 0, 0, s_->size.width(), s_->size.height());
    } else {
        for (const host::Rect& r : area.covering(kReportedRects))
            wl_surface_damage_buffer(s_->surface, r.left, r.top, r.width, r.height);
    }
    // A frame shown before the compositor has asked for one (the fonts changed) shares the
    // callback already asked for; the scene's surface uncovered is new to the compositor,
    // which may never answer the callback of the frame before.
    if (s_->frame == nullptr || covered_) {
        if (s_->frame != nullptr) wl_callback_destroy(s_->frame);
        s_->frame = wl_surface_frame(s_->surface);
        wl_callback_add_listener(s_->frame, &kFrameListener, s_.get());
    }
    buffer->held = true;
    wl_surface_commit(s_->surface);
    wl_display_flush(s_->display);
    covered_ = false;
}

void WaylandCanvas::cover() {
    if (covered_) return;
    wl_surface_attach(s_->surface, nullptr, 0, 0);
    wl_surface_commit(s_->surface);
    wl_display_flush(s_->display);
    covered_ = true;
}

QImage WaylandCanvas::lastFrame() const {
    return s_->drawn != nullptr ? s_->drawn->image.copy() : QImage();
}

#else  // built without Wayland's client library or Qt's platform interface

struct WaylandCanvas::Surface {};

bool WaylandCanvas::available() {
    return false;
}

std::unique_ptr<WaylandCanvas> WaylandCanvas::attach(QWidget&, const LabelTexts&,
                                                     std::function<void()>) {
    return nullptr;
}

WaylandCanvas::WaylandCanvas(std::unique_ptr<Surface> surface, const LabelTexts& texts)
    : s_(std::move(surface)), texts_(texts) {}
WaylandCanvas::~WaylandCanvas() = default;
void WaylandCanvas::draw(const host::Scene&, const host::Damage&) {}
void WaylandCanvas::show(const host::Damage&) {}
void WaylandCanvas::cover() {}
QImage WaylandCanvas::lastFrame() const {
    return QImage();
}

#endif

}  // namespace vandrel::qt
