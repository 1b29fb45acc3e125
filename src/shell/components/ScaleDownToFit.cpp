#include "shell/components/ScaleDownToFit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>

namespace corvane {

ScaleDownToFit::ScaleDownToFit(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

double ScaleDownToFit::scaleFor(QSizeF available, QSizeF content) {
    double s = 1.0;
    if (content.width() > 0 && content.height() > 0) {
        s = std::min({1.0, available.width() / content.width(), available.height() / content.height()});
    }
    // Also catches a negative or NaN ratio from a degenerate space.
    if (!(s > 0.01)) s = 0.01;
    return s;
}

double ScaleDownToFit::scale() const { return scaleFor(QSizeF(size()), contentSize_); }

void ScaleDownToFit::setContent(QWidget* content) {
    if (content_ == content) return;
    delete content_.data();
    content_ = content;
    contentSize_ = QSizeF();
    if (content_) {
        content_->setParent(this);
        content_->installEventFilter(this);
        content_->show();
        remeasure();
    }
    updateGeometry();
    update();
}

QSize ScaleDownToFit::sizeHint() const { return content_ ? content_->sizeHint() : QSize(0, 0); }

void ScaleDownToFit::remeasure() {
    if (!content_) return;
    if (auto* l = content_->layout()) l->activate();
    const QSizeF measured(content_->sizeHint().expandedTo(content_->minimumSizeHint()));
    if (measured != contentSize_) {
        contentSize_ = measured;
        updateGeometry();
    }
    place();
}

QRectF ScaleDownToFit::scaledRect() const {
    const double s = scale();
    const QSizeF sz = contentSize_ * s;
    return QRectF((width() - sz.width()) / 2, (height() - sz.height()) / 2, sz.width(), sz.height());
}

void ScaleDownToFit::place() {
    if (!content_) return;
    const QSize natural = contentSize_.toSize();
    if (scale() >= 1.0) {
        content_->setGeometry(QRect(QPoint(int((width() - natural.width()) / 2),
                                           int((height() - natural.height()) / 2)),
                                    natural));
    } else {
        // Out of sight but alive: this widget paints the scaled picture.
        content_->setGeometry(QRect(QPoint(-natural.width() - 10000, 0), natural));
    }
    update();
}

void ScaleDownToFit::resizeEvent(QResizeEvent*) { place(); }

bool ScaleDownToFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == content_) {
        switch (event->type()) {
            case QEvent::LayoutRequest:
                remeasure();
                break;
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ScaleDownToFit::paintEvent(QPaintEvent*) {
    if (!content_ || scale() >= 1.0) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF r = scaledRect();
    p.translate(r.topLeft());
    p.scale(scale(), scale());
    content_->render(&p, QPoint(), QRegion(), QWidget::DrawChildren);
}

void ScaleDownToFit::forwardMouse(QMouseEvent* event) {
    // An event the content ignores climbs back up to this widget: drop it then.
    if (!content_ || scale() >= 1.0 || forwarding_) {
        event->ignore();
        return;
    }
    const QRectF r = scaledRect();
    const QPointF inContent = (event->position() - r.topLeft()) / scale();
    if (!pressTarget_ && !QRectF(QPointF(), contentSize_).contains(inContent)) {
        event->ignore();
        return;
    }
    QWidget* target = pressTarget_;
    if (!target || event->type() == QEvent::MouseButtonPress) {
        target = content_->childAt(inContent.toPoint());
        if (!target) target = content_;
        pressTarget_ = event->type() == QEvent::MouseButtonPress ? target : nullptr;
    }
    // The pointer stays where it is on the screen: mapped through the
    // content, which stands out of sight at its natural size, the place would
    // be off the screen and move at another rate than the pointer.
    const QPointF local = target->mapFrom(content_.data(), inContent);
    QMouseEvent forwarded(event->type(), local, event->globalPosition(), event->button(), event->buttons(),
                          event->modifiers());
    forwarding_ = true;
    QCoreApplication::sendEvent(target, &forwarded);
    forwarding_ = false;
    if (event->type() == QEvent::MouseButtonRelease) pressTarget_ = nullptr;
    event->setAccepted(forwarded.isAccepted());
}

}  // namespace corvane

