#pragma once

// Moving a frameless window by dragging it with the left button, for every
// window of both programs that moves that way.
//
// The window follows the pointer itself, window manager or not, so the point
// grabbed stays under the pointer for the whole drag. Handing the drag to a
// window manager (_NET_WM_MOVERESIZE) would not: it moves the window on from
// wherever the pointer has got to by the time the request arrives, and the
// way to the drag threshold, with any motion still queued, is lost. Only
// where windows cannot place themselves (Wayland) does the compositor take
// the move over.

#include <QPoint>
#include <optional>

class QMouseEvent;
class QWindow;

namespace corvane {

class WindowDrag {
public:
    // A left press on a spot that moves the window, which stands at
    // `windowPos` (QWidget::pos()). Other buttons are not taken: false.
    bool press(const QMouseEvent& event, QPoint windowPos);

    // Where the window belongs with the pointer where `event` has it; the
    // caller moves it there (QWidget::move, so the widget knows its place at
    // once). Nothing while the pointer is still within the drag distance of
    // the press, once the compositor has taken the move, while `window` is
    // full screen, and when `window` is null (which only tells a click from a
    // drag).
    std::optional<QPoint> follow(const QMouseEvent& event, QWindow* window);

    // Ends the press with the left button's release: true when it stayed a
    // click (it never went past the drag distance).
    bool release(const QMouseEvent& event);

    // A press that has not ended yet.
    bool isPressed() const { return state_ != State::idle; }
    // ... that has gone past the drag distance.
    bool isDragging() const { return state_ == State::dragging || state_ == State::handedOver; }

    // Whether the window system puts windows where they ask to be (X11, with
    // a window manager or without); Wayland does not.
    static bool windowsPlaceThemselves();

private:
    enum class State { idle, pressed, dragging, handedOver };
    State state_ = State::idle;
    QPoint pressGlobal_;
    QPoint pressWindow_;
};

}  // namespace corvane
