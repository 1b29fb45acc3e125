#pragma once

class QWidget;

namespace corvane {

// Inside `root`, a drop-down, spin box or slider takes the mouse wheel only
// while it has the keyboard focus (a click or Tab gives it, never the wheel
// itself). Until then a wheel turn over it goes to the scroll area that holds
// it, so scrolling a page never changes a setting that happens to pass under
// the pointer; with no scroll area around it (a pop-up) the turn changes
// nothing. It holds for every such control in `root`'s window below `root`,
// also for those created or shown later, as long as `root` lives. Scroll bars
// and lists keep their wheel.
void keepWheelForScrolling(QWidget* root);

}  // namespace corvane
