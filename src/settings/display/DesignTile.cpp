#include "settings/display/DesignTile.h"

#include <QFontMetricsF>
#include <QPainter>

#include "shell/components/Theme.h"
#include "shell/digital/ClockCaption.h"

namespace corvane {

DesignTile::DesignTile(AppModel& model, const QString& title, Metrics metrics, QWidget* parent)
    : QAbstractButton(parent), metrics_(metrics), preview_(new DialPreview(model, metrics.preview, this)) {
    setText(title);
    setFont(uiFont(metrics_.titleSize));
    setAccessibleName(tr("Zifferblatt %1").arg(title));
    setToolTip(title);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    if (metrics_.fixedWidth > 0)
        setFixedSize(sizeHint());
    else
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void DesignTile::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    setAccessibleDescription(selected ? tr("ausgewählt") : QString());
    update();
}

QSize DesignTile::sizeHint() const {
    const double h = 2 * metrics_.padding + metrics_.preview + metrics_.spacing + QFontMetricsF(font()).height();
    const double w = metrics_.fixedWidth > 0 ? metrics_.fixedWidth : metrics_.preview + 2 * metrics_.padding;
    return {int(std::ceil(w)), int(std::ceil(h))};
}

QSize DesignTile::minimumSizeHint() const {
    return metrics_.fixedWidth > 0 ? sizeHint() : QSize(10, sizeHint().height());
}

CaptionLine DesignTile::titleLine() const {
    // One line, shrunk to 80 % before it is cut, measured in the shrunk font
    // itself as every caption is.
    return captionfit::fitLine(text(), font(), std::max(0.0, width() - 2 * metrics_.padding), 1.0, kMinTitleScale);
}

QFont DesignTile::titleFont() const { return titleLine().font; }

QString DesignTile::shownTitle() const { return titleLine().text; }

void DesignTile::resizeEvent(QResizeEvent*) {
    preview_->move(int(std::round((width() - metrics_.preview) / 2)), int(metrics_.padding));
}

bool DesignTile::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QAbstractButton::event(event);
}

void DesignTile::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (selected_) {
        p.setBrush(theme.control.toQColor());
        p.setPen(QPen(theme.accent.toQColor(), 2));
    } else {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(theme.border.toQColor(0.4), 1));
    }
    p.drawRoundedRect(plate, 8, 8);

    const double top = metrics_.padding + metrics_.preview + metrics_.spacing;
    const double avail = std::max(0.0, width() - 2 * metrics_.padding);
    const CaptionLine title = titleLine();
    p.setFont(title.font);
    p.setPen(theme.foreground.toQColor());
    p.drawText(QRectF(metrics_.padding, top, avail, QFontMetricsF(title.font).height()),
               Qt::AlignHCenter | Qt::AlignVCenter, title.text);
}

}  // namespace corvane
