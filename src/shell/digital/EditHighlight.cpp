#include "shell/digital/EditHighlight.h"

#include <QPainter>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>

#include "shell/components/Theme.h"

namespace corvane {

EditHighlight::EditHighlight(QWidget* parent)
    : QWidget(parent), pulse_(new QSequentialAnimationGroup(this)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    for (auto [from, to] : {std::pair{1.0, kDimOpacity}, std::pair{kDimOpacity, 1.0}}) {
        auto* half = new QPropertyAnimation(this, "markOpacity", pulse_);
        half->setStartValue(from);
        half->setEndValue(to);
        half->setDuration(800);
        half->setEasingCurve(QEasingCurve::InOutSine);
        pulse_->addAnimation(half);
    }
    pulse_->setLoopCount(-1);
}

EditHighlight::~EditHighlight() { pulse_->stop(); }

QRectF EditHighlight::markRect() const {
    if (circle_) {
        const double side = std::min(frame_.width(), frame_.height());
        const QRectF c(frame_.center().x() - side / 2, frame_.center().y() - side / 2, side, side);
        return c.adjusted(-kRingOutset, -kRingOutset, kRingOutset, kRingOutset);
    }
    return frame_.adjusted(-kFrameOutset, -kFrameOutset, kFrameOutset, kFrameOutset);
}

void EditHighlight::setTarget(const QRectF& frame, bool circle) {
    if (frame == frame_ && circle == circle_) return;
    frame_ = frame;
    circle_ = circle;
    const double pad = kStroke;
    setGeometry(markRect().adjusted(-pad, -pad, pad, pad).toAlignedRect());
    update();
}

bool EditHighlight::pulsing() const { return pulse_->state() == QAbstractAnimation::Running; }

void EditHighlight::setMarkOpacity(double opacity) {
    if (opacity == opacity_) return;
    opacity_ = opacity;
    update();
}

void EditHighlight::showEvent(QShowEvent*) {
    pulse_->stop();
    opacity_ = 1.0;
    pulse_->start();
}

void EditHighlight::hideEvent(QHideEvent*) {
    pulse_->stop();
    opacity_ = 1.0;
}

void EditHighlight::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(opacity_);
    QPen pen(themeOf(this).accent.toQColor(), kStroke);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF mark = markRect().translated(-QPointF(pos()));
    if (circle_) p.drawEllipse(mark);
    else p.drawRoundedRect(mark, kFrameRadius, kFrameRadius);
}

}  // namespace corvane
