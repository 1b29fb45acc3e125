#include "settings/display/DialPreview.h"

#include <QPainter>
#include <QPainterPath>

#include "appmodel/AppModel.h"
#include "dial/AnalogClock.h"
#include "platform/TimeZones.h"
#include "shell/components/Icons.h"
#include "shell/components/Theme.h"

namespace corvane {

QTimeZone previewZone(const AppModel& model, const ClockEntry& clock) {
    if (!clock.timeZoneID.isEmpty()) {
        QTimeZone zone = zoneForIdentifier(clock.timeZoneID);
        if (zone.isValid()) return zone;
    }
    return model.zones().current();
}

DialPreview::DialPreview(AppModel& model, double side, QWidget* parent)
    : QWidget(parent), model_(model), side_(side), clock_(model.zones().current()) {
    setFixedSize(sizeHint());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(&model_, &AppModel::nowChanged, this, &DialPreview::follow);
    follow();
}

QSize DialPreview::sizeHint() const {
    const int s = int(std::ceil(side_));
    return {s, s};
}

void DialPreview::setLook(const Look& look) {
    if (look == look_) return;
    look_ = look;
    update();
}

void DialPreview::setZone(const QTimeZone& zone) {
    if (zone == clock_.zone()) return;
    clock_.setZone(zone);
    shownSecond_ = std::numeric_limits<qint64>::min();
    follow();
}

void DialPreview::follow() {
    const qint64 ms = model_.now().toMSecsSinceEpoch();
    // No smooth second hand here: nothing moves between two seconds.
    const qint64 second = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    if (second == shownSecond_) return;
    shownSecond_ = second;
    time_ = clock_.at(second * 1000);
    update();
}

bool DialPreview::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(event);
}

void DialPreview::paintEvent(QPaintEvent*) {
    ++paints_;
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, 0, side_, side_);
    if (look_.placeholder) {
        // The pen lies inside the circle, as a stroke along its inner edge.
        const double w = 1.5;
        QPen pen(theme.border.toQColor(), w);
        pen.setDashPattern({4 / w, 4 / w});
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(box.adjusted(w / 2, w / 2, -w / 2, -w / 2));
        const double s = look_.placeholderSymbol;
        icons::draw(p, u"photo", QRectF(box.center() - QPointF(s / 2, s / 2), QSizeF(s, s)),
                    theme.secondaryForeground.toQColor());
    } else {
        AnalogClock clock;
        clock.time = time_;
        clock.smoothSeconds = false;
        clock.style = look_.style;
        clock.image = look_.image;
        clock.theme = theme;
        clock.faceRGB = look_.faceRGB;
        if (look_.backgroundFace) clock.faceColor = theme.background.toQColor();
        clock.showSeconds = true;
        clock.paint(p, box);
    }
    if (look_.badge) {
        // 9 across, its 1.5-wide outline centred on the edge, and
        // the outer half of the outline still inside the widget.
        const QRectF dot = badgeArea(side_).adjusted(0.75, 0.75, -0.75, -0.75);
        p.setPen(QPen(theme.surface.toQColor(), 1.5));
        p.setBrush(theme.accent.toQColor());
        p.drawEllipse(dot);
    }
}

}  // namespace corvane
