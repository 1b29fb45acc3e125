#include "platform/WindowDrag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QStyleHints>
#include <QWindow>

namespace corvane {

bool WindowDrag::press(const QMouseEvent& event, QPoint windowPos) {
    if (event.button() != Qt::LeftButton) return false;
    state_ = State::pressed;
    pressGlobal_ = event.globalPosition().toPoint();
    pressWindow_ = windowPos;
    return true;
}

std::optional<QPoint> WindowDrag::follow(const QMouseEvent& event, QWindow* window) {
    if (state_ == State::idle) return std::nullopt;
    // The release went elsewhere (a menu or another program took the
    // pointer meanwhile): the press is over.
    if (!(event.buttons() & Qt::LeftButton)) {
        state_ = State::idle;
        return std::nullopt;
    }
    if (state_ == State::handedOver) return std::nullopt;
    const QPoint delta = event.globalPosition().toPoint() - pressGlobal_;
    if (state_ == State::pressed) {
        // Only a real drag moves the window, so a click that wobbles a
        // little still counts as a click.
        if (delta.manhattanLength() < QGuiApplication::styleHints()->startDragDistance()) return std::nullopt;
        state_ = State::dragging;
    }
    if (!window || (window->windowStates() & Qt::WindowFullScreen)) return std::nullopt;
    if (!windowsPlaceThemselves() && window->startSystemMove()) {
        state_ = State::handedOver;
        return std::nullopt;
    }
    return pressWindow_ + delta;
}

bool WindowDrag::release(const QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) return false;
    const bool click = state_ == State::pressed;
    state_ = State::idle;
    return click;
}

bool WindowDrag::windowsPlaceThemselves() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

}  // namespace corvane
