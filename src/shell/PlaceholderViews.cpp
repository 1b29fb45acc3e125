#include "shell/PlaceholderViews.h"

#include <QPainter>

#include "appmodel/AppModel.h"
#include "shell/components/Theme.h"

namespace corvane {

GreetingView::GreetingView(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto repaint = [this] { update(); };
    connect(&model_, &AppModel::greetingTextChanged, this, repaint);
    connect(&model_, &AppModel::themeChanged, this, repaint);
    connect(&model_, &AppModel::settingsChanged, this, repaint);
    // The tick runs up to 25 times a second; the date changes once a day.
    connect(&model_, &AppModel::nowChanged, this, &GreetingView::refreshDate);
    refreshDate();
}

void GreetingView::refreshDate() {
    // Formatting allocates; a date can only change with the minute.
    const qint64 minute = model_.now().toMSecsSinceEpoch() / 60000;
    if (minute == lastMinute_) return;
    lastMinute_ = minute;
    QString text = model_.longDateFormatter().format(model_.now());
    if (text == dateText_) return;
    dateText_ = std::move(text);
    update();
}

void GreetingView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    const ThemeColors& theme = model_.theme();
    const AppSettings& s = model_.settings();
    QRectF area = rect().adjusted(24, 24, -24, -24);
    if (s.showGreeting) {
        p.setFont(uiFont(30, QFont::DemiBold));
        p.setPen(theme.foreground.toQColor());
        p.drawText(area, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap, model_.greetingText());
    }
    if (s.showDate) {
        p.setFont(uiFont(15, QFont::Normal));
        p.setPen(theme.secondaryForeground.toQColor());
        p.drawText(area.adjusted(0, 60, 0, 0), Qt::AlignHCenter | Qt::AlignVCenter, dateText_);
    }
}

}  // namespace corvane
