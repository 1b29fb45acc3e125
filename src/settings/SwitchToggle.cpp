#include "settings/SwitchToggle.h"

#include <QEvent>
#include <QPainter>

#include "shell/components/Theme.h"

namespace corvane {

SwitchToggle::SwitchToggle(const QString& text, QWidget* parent) : QAbstractButton(parent) {
    setCheckable(true);
    setText(text);
    setAccessibleName(text);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SwitchToggle::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 12 + kTrackWidth, std::max(fm.height(), kTrackHeight) + 4};
}

QSize SwitchToggle::minimumSizeHint() const { return {kTrackWidth + 12, sizeHint().height()}; }

QRectF SwitchToggle::track() const {
    return {double(width() - kTrackWidth - 1), (height() - kTrackHeight) / 2.0, double(kTrackWidth), double(kTrackHeight)};
}

FocusOutline SwitchToggle::focusOutline() const {
    return {track().adjusted(-2, -2, 2, 2), kTrackHeight / 2.0 + 2};
}

bool SwitchToggle::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QAbstractButton::event(event);
}

void SwitchToggle::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(0.4);

    const QRectF track = this->track();
    p.setPen(isChecked() ? QPen(Qt::NoPen) : QPen(theme.border.toQColor(), 1.0));
    p.setBrush(isChecked() ? theme.accent.toQColor() : theme.control.toQColor());
    p.drawRoundedRect(track, kTrackHeight / 2.0, kTrackHeight / 2.0);
    const double knob = kTrackHeight - 4;
    const double x = isChecked() ? track.right() - 2 - knob : track.left() + 2;
    p.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
    p.setBrush(isChecked() ? theme.accentForeground.toQColor() : QColor(Qt::white));
    p.drawEllipse(QRectF(x, track.top() + 2, knob, knob));

    p.setFont(font());
    p.setPen(theme.foreground.toQColor());
    const QRectF label(0, 0, track.left() - 12, height());
    p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(font()).elidedText(text(), Qt::ElideRight, int(label.width())));
}

}  // namespace corvane
