#pragma once

namespace corvane {

// Window positions need X11: Wayland ignores where a program puts its
// windows, so under Wayland our windows go through XWayland when it is
// there. Call before the application object is made; an explicit
// QT_QPA_PLATFORM wins.
void preferX11();

}  // namespace corvane
