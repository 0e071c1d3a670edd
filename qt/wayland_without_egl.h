// SPDX-License-Identifier: MIT
// On Wayland the window hands the compositor its frames in shared memory and never draws
// with OpenGL, yet Qt loads its EGL client-buffer integration for every window: Mesa and,
// with it, LLVM, more than half of the process's memory. Qt 6.4 draws a window's own title
// bar and close button only with such an integration, though, so it is left out only where
// the compositor draws the frames of windows itself (it offers the xdg-decoration protocol,
// as sway and KDE's do); under weston or GNOME's mutter the window keeps Qt's frame.
//
// The choice is Qt's environment setting for its client buffers, made for this process's
// window alone: set before the application starts, taken away once the window exists, so no
// program started later inherits it. Qt's warning that it loaded no integration is expected
// and not shown.
#pragma once

namespace vandrel::qt {

class WaylandWithoutEgl {
  public:
    /// Makes the choice; before the application is created.
    WaylandWithoutEgl();
    /// Takes the setting away again, once the window exists.
    void done();
    ~WaylandWithoutEgl() { done(); }
    WaylandWithoutEgl(const WaylandWithoutEgl&) = delete;
    WaylandWithoutEgl& operator=(const WaylandWithoutEgl&) = delete;

  private:
    bool set_ = false;
};

/// True when a Wayland compositor is reachable and draws the frames of windows itself.
bool compositorDrawsWindowFrames();

}  // namespace vandrel::qt
