#pragma once

#include <QPointer>
#include <QSizeF>
#include <QWidget>

namespace corvane {

// Shows one content widget at its natural size (its size hint), centred, and
// shrinks it uniformly when the space is smaller. It never enlarges.
//
// At full size the content is an ordinary child. Shrunk, it is painted scaled
// from its own rendering and clicks are passed on to the control under the
// pointer; the content stays a live widget so its keyboard shortcuts keep
// working. A change of the content's size is picked up by itself; content
// that only repaints while shrunk needs an `update()` of this container.
class ScaleDownToFit : public QWidget {
    Q_OBJECT
public:
    explicit ScaleDownToFit(QWidget* parent = nullptr);

    // Takes ownership of `content`, replacing (and deleting) a previous one.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }

    // The factor for content of `content` in `available`: the smallest of 1
    // and both ratios, at least 0.01; 1 while nothing has been measured.
    static double scaleFor(QSizeF available, QSizeF content);

    double scale() const;
    QSizeF contentSize() const { return contentSize_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override { forwardMouse(event); }
    void mouseReleaseEvent(QMouseEvent* event) override { forwardMouse(event); }
    void mouseDoubleClickEvent(QMouseEvent* event) override { forwardMouse(event); }
    void mouseMoveEvent(QMouseEvent* event) override { forwardMouse(event); }

private:
    void remeasure();
    void place();
    QRectF scaledRect() const;
    void forwardMouse(QMouseEvent* event);

    QPointer<QWidget> content_;
    QPointer<QWidget> pressTarget_;
    bool forwarding_ = false;
    QSizeF contentSize_;  // zero until the first measurement
};

}  // namespace corvane
