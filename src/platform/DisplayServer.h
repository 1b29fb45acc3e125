#pragma once

namespace corvane {

// Window positions need X11: Wayland ignores where a program puts its
// windows, so under Wayland our windows go through XWayland when it is
// there. Call before the application object is made; an explicit
// QT_QPA_PLATFORM wins.
void preferX11();

// Frames go to the X server as plain image requests, not through shared
// memory: with shared memory Qt waits for the server to finish reading the
// last frame before it paints the next, a round trip per frame that cost a
// sweeping second hand more than drawing it (and the server more too). The
// clock's frames are small pieces of the window. Call before the
// application object is made; an explicit QT_XCB_NO_MITSHM wins.
void sendFramesWithoutSharedMemory();

}  // namespace corvane
