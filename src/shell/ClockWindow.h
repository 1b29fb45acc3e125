#pragma once

#include <QColor>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include "platform/WindowDrag.h"

namespace corvane {

class WindowButtons;

// The clock window: frameless, so the clocks and the map can run up to the
// top edge. It brings its own close / minimise / full-screen buttons in the
// top-left strip the content keeps free, moves when its background is
// dragged and resizes at its edges. It decides nothing itself: every request
// goes out as a signal for the application delegate.
class ClockWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 760;
    static constexpr int kDefaultHeight = 460;
    static constexpr int kMinWidth = 360;
    static constexpr int kMinHeight = 300;

    explicit ClockWindow(QWidget* parent = nullptr);
    ~ClockWindow() override;

    // The view that fills the window (the root view).
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    void setBackgroundColor(const QColor& color);
    void setDark(bool dark);
    void setFloating(bool floating);
    bool isFloating() const { return floating_; }

    // Full screen with our own bookkeeping: window managers on X11 never say
    // that they refused, so a request not confirmed in time counts as failed.
    void toggleFullScreen();
    bool isFullScreenPending() const { return fullScreenTimeout_.isActive(); }
    void setFullScreenTimeout(int ms) { fullScreenTimeout_.setInterval(ms); }

    // The rectangle of the window buttons, in window coordinates.
    QRect windowButtonsGeometry() const;

Q_SIGNALS:
    // The close button, Alt+F4 or the window manager asked to close.
    void closeRequested();
    void minimizeRequested();
    void fullScreenToggleRequested();

    void fullScreenWillEnter();
    void fullScreenEntered();
    void fullScreenFailed();
    void fullScreenExited();

    void moved();
    void resized();
    // No resize for a short while: the end of an interactive resize.
    void resizeSettled();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void layoutChildren();

    QPointer<QWidget> content_;
    WindowButtons* buttons_;
    QList<QWidget*> grips_;
    QColor background_{0x1F, 0x3A, 0x5F};
    bool floating_ = false;
    bool wasFullScreen_ = false;
    QTimer fullScreenTimeout_;
    QTimer resizeSettle_;
    WindowDrag drag_;
};

}  // namespace corvane
