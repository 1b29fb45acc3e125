#pragma once

#include <QPoint>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace corvane::test {

// Presses the left button at `from` on the screen, moves the pointer by `by`
// in `steps` even steps and lets go there, the way the window system reports
// it: each event goes to the window and from it to the widget under the
// pointer (or the one the press went to), with the position on the screen
// and in the window where that stands at that moment, since the window may
// move under the pointer.
inline void dragWithLeftButton(QWidget* window, QPoint from, QPoint by, int steps) {
    QWindow* handle = window->windowHandle();
    const auto inWindow = [&](QPoint onScreen) { return onScreen - handle->position(); };
    QTest::mousePress(handle, Qt::LeftButton, {}, inWindow(from));
    for (int i = 1; i <= steps; ++i) QTest::mouseMove(handle, inWindow(from + by * i / steps));
    QTest::mouseRelease(handle, Qt::LeftButton, {}, inWindow(from + by));
}

// The drags every window moved by its background must follow exactly: the
// way to the drag threshold counts, and a click that wobbles moves nothing.
struct DragCase {
    const char* what;
    QPoint by;
    int steps;
    QPoint moved;
};
inline constexpr DragCase kDragCases[] = {
    {"in ten steps", QPoint(200, 120), 10, QPoint(200, 120)},
    {"in one jump", QPoint(-150, 40), 1, QPoint(-150, 40)},
    {"slowly, a pixel at a time", QPoint(30, -20), 50, QPoint(30, -20)},
    {"a click that wobbles", QPoint(2, 1), 3, QPoint(0, 0)},
};

}  // namespace corvane::test
