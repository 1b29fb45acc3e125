#include "settings/display/ClocksCard.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <algorithm>

#include "appmodel/AppModel.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/DialPreview.h"
#include "settings/display/RowStack.h"
#include "settings/display/TimeZoneChooser.h"
#include "settings/kit/Bindings.h"
#include "settings/kit/FittedLineEdit.h"
#include "shell/components/IconButton.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {
constexpr double kFadedOpacity = 0.3;

int widestDigit(const QFontMetrics& fm) {
    int widest = 0;
    for (char c = '0'; c <= '9'; ++c) widest = std::max(widest, fm.horizontalAdvance(QLatin1Char(c)));
    return widest;
}

// Room for any "HH:mm:ss" and no more: in a narrow window every point the
// row's fixed parts leave goes to the label field.
int timeWidth(const QFontMetrics& fm) { return 6 * widestDigit(fm) + 2 * fm.horizontalAdvance(QLatin1Char(':')) + 2; }
// Room for the highest number, "24.".
int numberWidth(const QFontMetrics& fm) { return 2 * widestDigit(fm) + fm.horizontalAdvance(QLatin1Char('.')) + 1; }
}  // namespace

// --- RowTime ------------------------------------------------------------------------

RowTime::RowTime(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model), clock_(model.zones().current()) {
    setFont(uiFont(13));
    setFixedWidth(timeWidth(fontMetrics()));
    connect(&model_, &AppModel::nowChanged, this, &RowTime::follow);
    follow();
}

QSize RowTime::sizeHint() const { return {timeWidth(fontMetrics()), fontMetrics().height()}; }

void RowTime::setZone(const QTimeZone& zone) {
    if (zone == clock_.zone()) return;
    clock_.setZone(zone);
    shownSecond_ = std::numeric_limits<qint64>::min();
    follow();
}

void RowTime::follow() {
    const qint64 ms = model_.now().toMSecsSinceEpoch();
    const qint64 second = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    if (second == shownSecond_) return;
    shownSecond_ = second;
    const DialTime t = clock_.at(second * 1000);
    text_ = QString::asprintf("%02d:%02d:%02d", t.hour, t.minute, t.second);
    update();
}

bool RowTime::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(event);
}

void RowTime::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(themeOf(this).secondaryForeground.toQColor());
    p.setFont(font());
    p.drawText(rect(), Qt::AlignRight | Qt::AlignVCenter, text_);
}

// --- ClockRow ------------------------------------------------------------------------

ClockRow::ClockRow(AppModel& model, const ClockEntry& clock, QWidget* parent)
    : QWidget(parent), model_(model), clockID_(clock.id) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);

    number_ = new ThemedLabel(QString(), 13, QFont::Normal, ThemedLabel::Tone::secondary, this);
    number_->setFixedWidth(numberWidth(number_->fontMetrics()));
    number_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(number_);

    design_ = new ClockDesignButton(model_, clock, 0, this);
    row->addWidget(design_);

    zone_ = new TimeZoneButton(model_, clock.id, this);
    row->addWidget(zone_);

    label_ = new FittedLineEdit(this);
    label_->setPlaceholderText(tr("Bezeichnung (optional)"));
    label_->setToolTip(label_->placeholderText());
    label_->setMaximumWidth(170);
    label_->setAccessibleName(tr("Bezeichnung"));
    // Every keystroke goes to the model; Return and leaving the field add
    // nothing.
    bindLimitedText(label_, kMaxLabel, [this](const QString& text) { setLabel(text); });
    row->addWidget(label_, 1);

    time_ = new RowTime(model_, this);
    row->addWidget(time_);
    row->addStretch(0);

    up_ = new IconButton(QStringLiteral("chevron.up"), tr("Nach vorne"), 26, this);
    down_ = new IconButton(QStringLiteral("chevron.down"), tr("Nach hinten"), 26, this);
    remove_ = new IconButton(QStringLiteral("minus.circle"), tr("Uhr entfernen"), 26, this);
    remove_->setDestructive(true);
    for (IconButton* b : {up_, down_, remove_}) {
        b->setDisabledOpacity(kFadedOpacity);
        row->addWidget(b);
    }
    connect(up_, &QAbstractButton::clicked, this, [this] { model_.moveClock(clockID_, -1); });
    connect(down_, &QAbstractButton::clicked, this, [this] { model_.moveClock(clockID_, +1); });
    connect(remove_, &QAbstractButton::clicked, this, [this] { model_.removeClock(clockID_); });
}

void ClockRow::setClock(const ClockEntry& clock, int index, int count) {
    clockID_ = clock.id;
    number_->setText(tr("%1.").arg(index + 1));
    design_->setClock(clock, index);
    zone_->setTimeZoneID(clock.timeZoneID);
    // Unchanged text is left alone, so the cursor of someone typing stays.
    showText(label_, clock.name);
    if (clock.timeZoneID != zoneID_ || zoneID_.isNull()) {
        zoneID_ = clock.timeZoneID.isNull() ? QStringLiteral("") : clock.timeZoneID;
        time_->setZone(previewZone(model_, clock));
    }
    up_->setEnabled(index > 0);
    down_->setEnabled(index < count - 1);
    remove_->setEnabled(count > 1);
}

void ClockRow::setZoneColumn(int natural, int smallest) {
    zone_->setColumn(natural, smallest);
    fitZone();
}

void ClockRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitZone();
}

void ClockRow::fitZone() {
    // A short row takes its room from the zone button first, down to the
    // button's smallest width, so the label field keeps what shows its
    // placeholder at full size; only then does the field narrow and its
    // placeholder shrink. Left to itself the box layout would take all from
    // the stretching field before the button gave a pixel.
    QLayout* box = layout();
    int others = box->contentsMargins().left() + box->contentsMargins().right();
    int shown = 0;
    for (int i = 0; i < box->count(); ++i) {
        QLayoutItem* item = box->itemAt(i);
        if (item->isEmpty()) continue;  // the spacer, which takes no spacing
        ++shown;
        if (item->widget() != zone_ && item->widget() != label_) others += item->sizeHint().width();
    }
    others += box->spacing() * std::max(0, shown - 1);
    const int field = std::min(label_->wholePlaceholderWidth(), label_->maximumWidth());
    const int zone = std::clamp(width() - others - field, zone_->minimumSizeHint().width(), zone_->sizeHint().width());
    if (zone == zone_->maximumWidth()) return;
    zone_->setMaximumWidth(zone);
    // Laid out now, not after a round through the event loop, so no frame
    // shows the row as it was.
    box->activate();
}

std::array<QWidget*, 6> ClockRow::focusOrder() const {
    return {design_, zone_, label_, up_, down_, remove_};
}

void ClockRow::setLabel(const QString& text) {
    const QString cut = leftGraphemes(text, kMaxLabel);
    // Blanks are kept as typed; the clock's title trims them when shown.
    if (cut != text) showText(label_, cut);
    model_.editSettings([&](AppSettings& next) {
        for (ClockEntry& clock : next.clocks) {
            if (clock.id != clockID_) continue;
            clock.name = cut;
            break;
        }
    });
}

// --- ClocksCard -----------------------------------------------------------------------

ClocksCard::ClocksCard(AppModel& model, QWidget* parent) : Card(QMargins(14, 12, 14, 12), parent), model_(model) {
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 8);
    header->addWidget(new SectionTitle(tr("Uhren & Zeitzonen"), this));
    header->addStretch(1);
    add_ = new ThemedButton(tr("Uhr hinzufügen"), this);
    add_->setSymbol(QStringLiteral("plus"));
    add_->setAccent(true);
    add_->setNaturalSize(true);
    connect(add_, &QAbstractButton::clicked, this, [this] { model_.addClockInSettings(); });
    header->addWidget(add_, 0, Qt::AlignVCenter);
    contentLayout()->addLayout(header);

    rows_ = new RowStack(6, this);
    contentLayout()->addWidget(rows_);

    auto* caption = new Caption(tr("Bis zu %1 Uhren mit eigener Zeitzone und eigenem Design (Zifferblatt-Knopf "
                                   "links). Je nach Fensterform ordnen sie sich automatisch neben- oder "
                                   "untereinander an.")
                                    .arg(AppModel::kMaxClocks),
                                this);
    caption->setContentsMargins(0, 8, 0, 0);
    contentLayout()->addWidget(caption);

    connect(&model_, &AppModel::settingsChanged, this, &ClocksCard::refresh);
    // The previews show the images once the model has loaded them.
    connect(&model_, &AppModel::dialImageChanged, this, &ClocksCard::refresh);
    connect(&model_, &AppModel::clockImagesChanged, this, &ClocksCard::refresh);
    refresh();
}

int ClocksCard::rowCount() const { return rows_->count(); }

ClockRow* ClocksCard::row(int index) const { return static_cast<ClockRow*>(rows_->at(index)); }

ClockRow* ClocksCard::rowFor(const QString& clockID) const {
    const auto it = byID_.find(clockID);
    return it == byID_.end() ? nullptr : it->second;
}

void ClocksCard::refresh() {
    const std::vector<ClockEntry>& clocks = model_.settings().clocks;
    const int n = int(clocks.size());
    add_->setEnabled(n < AppModel::kMaxClocks);

    // Where the focus sits when its row leaves: the same control of the row
    // that takes the place, so the keyboard user goes on from there.
    QWidget* focus = QApplication::focusWidget();
    int focusRow = -1;
    int focusControl = -1;
    for (auto it = byID_.begin(); it != byID_.end();) {
        const QString& id = it->first;
        const bool kept = std::any_of(clocks.begin(), clocks.end(), [&](const ClockEntry& c) { return c.id == id; });
        if (kept) {
            ++it;
            continue;
        }
        const std::array<QWidget*, 6> controls = it->second->focusOrder();
        const auto held = std::find(controls.begin(), controls.end(), focus);
        if (held != controls.end()) {
            focusRow = rows_->indexOf(it->second);
            focusControl = int(held - controls.begin());
        }
        it = byID_.erase(it);  // the stack fades the row out and deletes it
    }
    std::vector<QWidget*> order;
    order.reserve(clocks.size());
    for (int i = 0; i < n; ++i) {
        const ClockEntry& clock = clocks[std::size_t(i)];
        ClockRow*& slot = byID_[clock.id];
        if (!slot) {
            slot = new ClockRow(model_, clock, rows_);
            connect(slot->zoneButton(), &TimeZoneButton::widthsChanged, this, &ClocksCard::alignZoneButtons);
        }
        slot->setClock(clock, i, n);
        order.push_back(slot);
    }
    bool same = order.size() == std::size_t(rows_->count());
    for (int i = 0; same && i < n; ++i) same = rows_->at(i) == order[std::size_t(i)];
    if (same) return;
    // Moved within the stack, a row keeps its focus and whatever is open in it.
    rows_->setRows(order);
    chainFocus();
    if (focusRow >= 0 && n > 0) {
        const std::array<QWidget*, 6> controls = row(std::min(focusRow, n - 1))->focusOrder();
        // The same button may be off there (remove at one clock): the nearest
        // control before it that is on.
        for (int k = focusControl; k >= 0; --k) {
            if (!controls[std::size_t(k)]->isEnabled()) continue;
            controls[std::size_t(k)]->setFocus(Qt::TabFocusReason);
            break;
        }
    }
}

void ClocksCard::chainFocus() {
    // Tab follows the rows as they stand: a new row is created last and a
    // moved one keeps its old place in the window's chain otherwise.
    QWidget* previous = add_;
    for (int i = 0; i < rowCount(); ++i) {
        for (QWidget* w : row(i)->focusOrder()) {
            QWidget::setTabOrder(previous, w);
            previous = w;
        }
    }
    alignZoneButtons();
}

void ClocksCard::alignZoneButtons() {
    // One column: every zone button as wide as the widest needs, and in a
    // narrow card no narrower than the widest may become.
    int natural = 0;
    int smallest = 0;
    for (const auto& [id, row] : byID_) {
        natural = std::max(natural, row->zoneButton()->naturalWidth());
        smallest = std::max(smallest, row->zoneButton()->smallestWidth());
    }
    for (const auto& [id, row] : byID_) row->setZoneColumn(natural, smallest);
}

}  // namespace corvane
