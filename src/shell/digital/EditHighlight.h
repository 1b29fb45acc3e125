#pragma once

#include <QRectF>
#include <QWidget>

class QSequentialAnimationGroup;

namespace corvane {

// The pulsing accent ring (analog) or rounded frame (digital) around the clock
// whose design the settings are editing. It lies over the clock and lets every
// click through. Place it with `setTarget` in its parent's coordinates; it
// sizes itself to hold the mark.
class EditHighlight : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double markOpacity READ markOpacity WRITE setMarkOpacity)
public:
    explicit EditHighlight(QWidget* parent = nullptr);
    ~EditHighlight() override;

    static constexpr double kStroke = 3.0;
    static constexpr double kRingOutset = 5.0;
    static constexpr double kFrameOutset = 3.0;
    static constexpr double kFrameRadius = 14.0;
    static constexpr double kDimOpacity = 0.35;

    // The clock's frame in the parent's coordinates; with `circle` the mark is
    // a ring around the largest circle in it.
    void setTarget(const QRectF& frame, bool circle);
    // The mark's path in the parent's coordinates (for placement and checks).
    QRectF markRect() const;
    bool circle() const { return circle_; }

    // Showing starts a fresh pulse; hiding stops it.
    bool pulsing() const;
    double markOpacity() const { return opacity_; }
    void setMarkOpacity(double opacity);

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QRectF frame_;
    bool circle_ = true;
    double opacity_ = 1.0;
    QSequentialAnimationGroup* pulse_;
};

}  // namespace corvane
