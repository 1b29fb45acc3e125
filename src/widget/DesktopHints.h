#pragma once

class QWindow;

namespace corvane {

// Asks the window manager to treat `window` as a desktop widget: on every
// workspace, below normal windows, out of the task bar and the window
// switcher. Must be called after the native window exists and before it is
// first shown. Does nothing outside X11 (Wayland has no such requests for
// ordinary clients).
void applyDesktopWidgetHints(QWindow* window);

}  // namespace corvane
