#pragma once

class QKeyEvent;
class QWidget;

namespace corvane {

// A window's own windows are the windows opened from inside it: a page's
// colour or file dialog, a pop-up panel, and the dialog such a panel opened
// in turn. Qt makes them child widgets that are windows of their own, so
// nothing closes them with their window and a key may reach the window below
// them: on X11 a key goes to the window that last had the focus, which
// need not be the one in front.

// The own window the user sees in front: the last of a chain (window, its
// panel, the panel's dialog). None when nothing of its own is on screen.
QWidget* ownWindowInFront(const QWidget* window);

// Hands a key that reached `window` to its own window in front, where the
// user meant it; false (the key untouched) when there is none.
bool passKeyToOwnWindow(const QWidget* window, QKeyEvent* event);

// Closes every own window of `window` that is on screen, outermost first: a
// dialog is rejected, which also ends its modal loop; anything else is
// closed.
void closeOwnWindows(const QWidget* window);

}  // namespace corvane
