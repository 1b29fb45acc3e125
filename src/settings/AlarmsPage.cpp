#include "settings/AlarmsPage.h"

#include <QApplication>
#include <QCheckBox>
#include <QPointer>
#include <QProxyStyle>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "appmodel/AppModel.h"
#include "settings/Pages.h"
#include "settings/ReliabilityCard.h"
#include "settings/SoundEditor.h"
#include "settings/SwitchToggle.h"
#include "settings/TwoColumns.h"
#include "shell/components/NumberPicker.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"

namespace corvane {

// --- WeekdayChecks -----------------------------------------------------------------

namespace {

// Seven days must fit a card in the narrowest window: less room between box
// and label than the desktop style gives. A style, not a style sheet, so the
// window's palette still reaches the boxes.
class CompactCheckStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_CheckBoxLabelSpacing) return 3;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

QStyle* compactCheckStyle() {
    // Follows the application's style; made once, owned by the application.
    static QPointer<QStyle> style;
    if (!style) {
        style = new CompactCheckStyle(QApplication::style()->name());
        style->setParent(qApp);
    }
    return style;
}

}  // namespace

WeekdayChecks::WeekdayChecks(const std::vector<WeekdayEntry>& week, QWidget* parent)
    : QWidget(parent), week_(week) {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    for (std::size_t i = 0; i < week_.size(); ++i) {
        auto* box = new QCheckBox(week_[i].shortName, this);
        box->setToolTip(week_[i].longName);
        box->setAccessibleName(week_[i].longName);
        box->setFont(uiFont(12));
        box->setStyle(compactCheckStyle());
        connect(box, &QCheckBox::clicked, this, [this] { Q_EMIT daysEdited(days()); });
        boxes_.push_back(box);
    }
}

// The days spread over one row; where that row does not fit, the week goes
// onto two rows of four and three days in shared columns, so no day's label
// is squeezed.
int WeekdayChecks::oneRowWidth() const {
    int width = kGap * std::max(0, int(boxes_.size()) - 1);
    for (const QCheckBox* box : boxes_) width += box->sizeHint().width();
    return width;
}

int WeekdayChecks::columnWidth() const {
    int widest = 0;
    for (const QCheckBox* box : boxes_) widest = std::max(widest, box->sizeHint().width());
    return widest;
}

int WeekdayChecks::rowHeight() const {
    int height = 0;
    for (const QCheckBox* box : boxes_) height = std::max(height, box->sizeHint().height());
    return height;
}

QSize WeekdayChecks::sizeHint() const { return {oneRowWidth(), rowHeight()}; }

QSize WeekdayChecks::minimumSizeHint() const {
    return {kColumns * columnWidth() + (kColumns - 1) * kGap, heightForWidth(0)};
}

int WeekdayChecks::heightForWidth(int width) const {
    return width >= oneRowWidth() ? rowHeight() : 2 * rowHeight() + kGap;
}

void WeekdayChecks::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int n = int(boxes_.size());
    const int h = rowHeight();
    if (width() >= oneRowWidth()) {
        // The room left over goes evenly between the days.
        const double extra = n > 1 ? double(width() - oneRowWidth()) / (n - 1) : 0.0;
        double x = 0;
        for (QCheckBox* box : boxes_) {
            const QSize hint = box->sizeHint();
            box->setGeometry(int(std::lround(x)), (h - hint.height()) / 2, hint.width(), hint.height());
            x += hint.width() + kGap + extra;
        }
        return;
    }
    const int column = std::max(columnWidth() + kGap, width() / kColumns);
    for (int i = 0; i < n; ++i) {
        const QSize hint = boxes_[std::size_t(i)]->sizeHint();
        boxes_[std::size_t(i)]->setGeometry((i % kColumns) * column, (i / kColumns) * (h + kGap), hint.width(),
                                            hint.height());
    }
}

void WeekdayChecks::setDays(WeekdaySet days) {
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const QSignalBlocker block(boxes_[i]);
        boxes_[i]->setChecked(days.contains(week_[i].weekday));
    }
}

WeekdaySet WeekdayChecks::days() const {
    WeekdaySet days;
    for (std::size_t i = 0; i < boxes_.size(); ++i)
        if (boxes_[i]->isChecked()) days.insert(week_[i].weekday);
    return days;
}

// --- AlarmCard -----------------------------------------------------------------------

namespace {
// Enough for two digits and the menu arrow; the pickers may shrink to it in a
// narrow window.
constexpr int kPickerMinWidth = 58;
}  // namespace

bool AlarmCard::showsVolumeWarning(const AlarmSettings& alarm) {
    return alarm.isEnabled && !alarm.usesRadio() && alarm.sound.volume == 0;
}

AlarmCard::AlarmCard(AppModel& model, int index, const RadioLinks& links, const std::vector<WeekdayEntry>& week,
                     QWidget* parent)
    : Card(QMargins(14, 12, 14, 12), parent), model_(model), index_(index) {
    QVBoxLayout* content = contentLayout();

    switch_ = new SwitchToggle(tr("Wecker %1").arg(index + 1), this);
    switch_->setFont(uiFont(16, QFont::DemiBold));
    connect(switch_, &QAbstractButton::clicked, this, [this](bool on) {
        editAlarm([on](AlarmSettings& a) { a.isEnabled = on; });
    });
    content->addWidget(switch_);

    auto* timeRow = new QWidget(this);
    auto* time = new QHBoxLayout(timeRow);
    time->setContentsMargins(0, 12, 0, 0);
    time->setSpacing(0);
    auto* timeLabel = new FieldLabel(tr("Uhrzeit"), timeRow);
    timeLabel->setFixedWidth(RadioWakeEditor::kLabelWidth);
    time->addWidget(timeLabel);
    hour_ = new NumberPicker(tr("Stunde"), 0, 23, timeRow);
    hour_->setMinimumWidth(kPickerMinWidth);
    connect(hour_, &NumberPicker::valueChanged, this, [this](int h) {
        editAlarm([h](AlarmSettings& a) { a.hour = std::clamp(h, 0, 23); });
    });
    time->addWidget(hour_);
    auto* colon = new ThemedLabel(QStringLiteral(":"), 13, QFont::DemiBold, ThemedLabel::Tone::foreground, timeRow);
    colon->setContentsMargins(6, 0, 6, 0);
    time->addWidget(colon);
    minute_ = new NumberPicker(tr("Minute"), 0, 59, timeRow);
    minute_->setMinimumWidth(kPickerMinWidth);
    connect(minute_, &NumberPicker::valueChanged, this, [this](int m) {
        editAlarm([m](AlarmSettings& a) { a.minute = std::clamp(m, 0, 59); });
    });
    time->addWidget(minute_);
    auto* uhr = new ThemedLabel(tr("Uhr"), 13, QFont::Normal, ThemedLabel::Tone::foreground, timeRow);
    uhr->setContentsMargins(8, 0, 0, 0);
    time->addWidget(uhr);
    time->addStretch(1);
    timeRow->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    content->addWidget(timeRow);

    content->addSpacing(10);
    weekdays_ = new WeekdayChecks(week, this);
    connect(weekdays_, &WeekdayChecks::daysEdited, this, [this](WeekdaySet days) {
        editAlarm([days](AlarmSettings& a) { a.weekdays = days; });
    });
    content->addWidget(weekdays_);

    repeat_ = new Caption({}, this);
    repeat_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    repeat_->setContentsMargins(0, 4, 0, 0);
    content->addWidget(repeat_);
    next_ = new Caption({}, this);
    next_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    next_->setContentsMargins(0, 2, 0, 10);
    content->addWidget(next_);

    radio_ = new RadioWakeEditor(model_, index_, links, this);
    radio_->setContentsMargins(0, 0, 0, 10);
    content->addWidget(radio_);

    volumeWarning_ = new WarningText(std::nullopt, this);
    content->addWidget(volumeWarning_);
    fallback_ = new Caption(tr("Ersatz-Alarmton, falls Sonvela nicht startet oder stumm bleibt:"), this);
    fallback_->setContentsMargins(0, 0, 0, 6);
    content->addWidget(fallback_);

    // With the radio it is the sound that rings when the radio program is
    // missing or stays silent; the caption above says so.
    sound_ = new SoundEditor(model_, SoundSlot{SoundSlot::Kind::alarm, index_}, this);
    sound_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    content->addWidget(sound_);

    refresh();
}

const AlarmSettings& AlarmCard::alarm() const {
    static const AlarmSettings none;
    const auto& alarms = model_.settings().alarms;
    if (index_ < 0 || std::size_t(index_) >= alarms.size()) return none;
    return alarms[std::size_t(index_)];
}

template <typename Edit>
void AlarmCard::editAlarm(Edit&& edit) {
    if (index_ < 0 || std::size_t(index_) >= model_.settings().alarms.size()) return;
    model_.editSettings([&](AppSettings& s) { edit(s.alarms[std::size_t(index_)]); });
}

void AlarmCard::refresh() {
    const AlarmSettings& a = alarm();
    {
        const QSignalBlocker block(switch_);
        switch_->setChecked(a.isEnabled);
    }
    {
        const QSignalBlocker blockHour(hour_);
        const QSignalBlocker blockMinute(minute_);
        hour_->setValue(int(a.hour));
        minute_->setValue(int(a.minute));
    }
    weekdays_->setDays(a.weekdays);
    repeat_->setText(model_.repeatText(a));
    next_->setText(model_.nextAlarmText(a));
    volumeWarning_->setWarning(showsVolumeWarning(a)
                                   ? std::optional<QString>(tr("Lautstärke 0 % – dieser Wecker ist nicht zu hören."))
                                   : std::nullopt);
    fallback_->setVisible(a.usesRadio());
}

QString AlarmCard::repeatLine() const { return repeat_->text(); }
QString AlarmCard::nextAlarmLine() const { return next_->text(); }
QString AlarmCard::volumeWarning() const { return volumeWarning_->hasWarning() ? volumeWarning_->text() : QString(); }
QString AlarmCard::fallbackCaption() const { return fallback_->isVisibleTo(this) ? fallback_->text() : QString(); }

// --- AlarmsPage -----------------------------------------------------------------------

AlarmsPage::AlarmsPage(AppModel& model, RadioLinks links, QWidget* parent, const std::vector<WeekdayEntry>& week)
    : QWidget(parent), model_(model) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(12);
    reliability_ = new ReliabilityCard(model_, this);
    stack->addWidget(reliability_);
    for (int pair = 0; pair < 2; ++pair) {
        auto* columns = new TwoColumns(this);
        for (int side = 0; side < 2; ++side) {
            const int index = pair * 2 + side;
            cards_[std::size_t(index)] = new AlarmCard(model_, index, links, week, columns);
            if (side == 0) columns->addLeft(cards_[std::size_t(index)]);
            else columns->addRight(cards_[std::size_t(index)]);
        }
        stack->addWidget(columns);
    }
    stack->addStretch(1);

    connect(&model_, &AppModel::settingsChanged, this, &AlarmsPage::refresh);
    connect(&model_, &AppModel::alertsChanged, reliability_, &ReliabilityCard::refresh);
    connect(&model_, &AppModel::countdownStatesChanged, reliability_, &ReliabilityCard::refresh);
    connect(&model_, &AppModel::nowChanged, this, &AlarmsPage::nowChanged);
    shownMinute_ = model_.now().toSecsSinceEpoch() / 60;
}

void AlarmsPage::refresh() {
    for (AlarmCard* card : cards_) card->refresh();
    reliability_->refresh();
}

void AlarmsPage::nowChanged() {
    // The model ticks up to 25 times a second; the cards' texts only change
    // with the minute.
    // The sleep prevention follows the alarms on the model's next second.
    if (reliability_->showsPowerActivity() != model_.powerActivity()) reliability_->refresh();
    const qint64 minute = model_.now().toSecsSinceEpoch() / 60;
    if (minute == shownMinute_) return;
    shownMinute_ = minute;
    refresh();
    // The radio program may have been installed or removed meanwhile.
    for (AlarmCard* card : cards_) card->radioEditor()->refresh();
}

QWidget* makeAlarmsPage(AppModel& model, QWidget* parent) { return new AlarmsPage(model, defaultRadioLinks(), parent); }

}  // namespace corvane
