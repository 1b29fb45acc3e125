#include "settings/display/RowStack.h"

#include <QGraphicsOpacityEffect>

namespace corvane {

RowStack::RowStack(int spacing, QWidget* parent) : QWidget(parent), spacing_(spacing) {
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    motion_.setStartValue(0.0);
    motion_.setEndValue(1.0);
    motion_.setDuration(kDurationMs);
    // Slow at both ends, like the toolkit's default animation.
    motion_.setEasingCurve(QEasingCurve::InOutQuad);
    connect(&motion_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) { place(v.toDouble()); });
    connect(&motion_, &QAbstractAnimation::finished, this, &RowStack::settle);
}

QWidget* RowStack::at(int index) const {
    return index >= 0 && index < count() ? rows_[std::size_t(index)] : nullptr;
}

int RowStack::indexOf(const QWidget* row) const {
    const auto it = std::find(rows_.begin(), rows_.end(), row);
    return it == rows_.end() ? -1 : int(it - rows_.begin());
}

int RowStack::restingY(int index) const {
    int y = 0;
    for (int i = 0; i < index && i < count(); ++i) y += rows_[std::size_t(i)]->sizeHint().height() + spacing_;
    return y;
}

int RowStack::restingHeight() const {
    return rows_.empty() ? 0 : restingY(count() - 1) + rows_.back()->sizeHint().height();
}

void RowStack::setFade(QWidget* row, double opacity) {
    auto* fade = qobject_cast<QGraphicsOpacityEffect*>(row->graphicsEffect());
    if (!fade) {
        fade = new QGraphicsOpacityEffect(row);
        row->setGraphicsEffect(fade);
    }
    fade->setOpacity(opacity);
}

void RowStack::setRows(const std::vector<QWidget*>& rows) {
    if (rows == rows_ && motion_.state() == QAbstractAnimation::Stopped) return;
    const bool animate = isVisible() && !rows_.empty();
    // A change in mid-motion starts from where everything stands now; what
    // was still fading is done with.
    motion_.stop();
    for (const QPointer<QWidget>& row : leaving_)
        if (row) row->deleteLater();
    leaving_.clear();
    for (QWidget* row : entering_) row->setGraphicsEffect(nullptr);
    entering_.clear();
    fromY_.clear();

    for (QWidget* row : rows_) {
        if (std::find(rows.begin(), rows.end(), row) != rows.end()) {
            fromY_[row] = row->y();
        } else if (animate) {
            // Fading out, it takes no clicks and no focus any more.
            row->setAttribute(Qt::WA_TransparentForMouseEvents);
            for (QWidget* child : row->findChildren<QWidget*>()) child->setFocusPolicy(Qt::NoFocus);
            leaving_.emplace_back(row);
        } else {
            row->hide();
            row->deleteLater();
        }
    }
    for (QWidget* row : rows) {
        if (std::find(rows_.begin(), rows_.end(), row) != rows_.end()) continue;
        if (row->parentWidget() != this) row->setParent(this);
        if (animate) {
            entering_.push_back(row);
            setFade(row, 0.0);
        }
        row->show();
    }
    fromHeight_ = height_;
    rows_ = rows;
    if (!animate) {
        settle();
        return;
    }
    place(0.0);
    motion_.start();
}

void RowStack::place(double progress) {
    int y = 0;
    for (QWidget* row : rows_) {
        const int h = row->sizeHint().height();
        const auto from = fromY_.find(row);
        const int start = from == fromY_.end() ? y : from->second;
        row->setGeometry(0, int(std::lround(start + (y - start) * progress)), width(), h);
        y += h + spacing_;
    }
    for (QWidget* row : entering_) setFade(row, progress);
    for (const QPointer<QWidget>& row : leaving_) {
        if (!row) continue;
        setFade(row, 1.0 - progress);
        row->resize(width(), row->height());
    }
    const int h = int(std::lround(fromHeight_ + (restingHeight() - fromHeight_) * progress));
    if (h != height_) {
        height_ = h;
        updateGeometry();
    }
}

void RowStack::settle() {
    for (const QPointer<QWidget>& row : leaving_) {
        if (!row) continue;
        row->hide();
        row->deleteLater();
    }
    leaving_.clear();
    // Without the effect the rows paint straight again.
    for (QWidget* row : entering_) row->setGraphicsEffect(nullptr);
    entering_.clear();
    fromY_.clear();
    place(1.0);
}

void RowStack::resizeEvent(QResizeEvent*) {
    place(motion_.state() == QAbstractAnimation::Stopped ? 1.0 : motion_.currentValue().toDouble());
}

QSize RowStack::sizeHint() const {
    int w = 0;
    for (const QWidget* row : rows_) w = std::max(w, row->sizeHint().width());
    return {w, height_};
}

QSize RowStack::minimumSizeHint() const {
    int w = 0;
    for (const QWidget* row : rows_) w = std::max(w, row->minimumSizeHint().width());
    return {w, height_};
}

}  // namespace corvane
