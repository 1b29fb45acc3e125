#include "settings/display/TimeZoneChooser.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QFontMetricsF>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QVBoxLayout>

#include "appmodel/AppModel.h"
#include "platform/TimeZones.h"
#include "settings/kit/Bindings.h"
#include "shell/components/Icons.h"
#include "shell/components/Theme.h"

namespace corvane {

namespace {

const QString& localSearchWords() {
    static const QString words = QStringLiteral("ortszeit system lokal local time hora local");
    return words;
}

QString localTitle() { return QCoreApplication::translate("TimeZoneButton", "Ortszeit (System)"); }

// The zone of every listed identifier, looked up when its row is first
// painted and kept: the list never changes during a run.
QTimeZone listedZone(const std::vector<TimeZoneInfo>& zones, int index) {
    static std::vector<std::optional<QTimeZone>> cache;
    if (cache.size() < zones.size()) cache.resize(zones.size());
    std::optional<QTimeZone>& slot = cache[std::size_t(index)];
    if (!slot) slot = zoneForIdentifier(zones[std::size_t(index)].id);
    return *slot;
}

bool isHorizontalBlank(QChar c) { return c == u'\t' || c.category() == QChar::Separator_Space; }

}  // namespace

// --- ZoneListModel ----------------------------------------------------------------

ZoneListModel::ZoneListModel(AppModel& model, const std::vector<TimeZoneInfo>& zones, QObject* parent)
    : QAbstractListModel(parent), model_(model), zones_(zones) {
    rows_.reserve(zones_.size() + 1);
    rows_.push_back(-1);
    for (int i = 0; i < int(zones_.size()); ++i) rows_.push_back(i);
}

QString ZoneListModel::normalizedQuery(const QString& search) {
    const QString lower = search.toLower();
    qsizetype start = 0;
    qsizetype end = lower.size();
    while (start < end && isHorizontalBlank(lower[start])) ++start;
    while (end > start && isHorizontalBlank(lower[end - 1])) --end;
    return lower.mid(start, end - start);
}

bool ZoneListModel::localEntryMatches(const QString& query) {
    return query.isEmpty() || localSearchWords().contains(query);
}

void ZoneListModel::setSearch(const QString& search) {
    QString query = normalizedQuery(search);
    if (query == query_ && !rows_.empty()) return;
    beginResetModel();
    query_ = std::move(query);
    rows_.clear();
    if (localEntryMatches(query_)) rows_.push_back(-1);
    for (int i = 0; i < int(zones_.size()); ++i)
        if (query_.isEmpty() || zones_[std::size_t(i)].searchText.contains(query_)) rows_.push_back(i);
    endResetModel();
}

void ZoneListModel::setCurrentID(const QString& id) {
    if (id == currentID_) return;
    currentID_ = id;
    if (!rows_.empty()) Q_EMIT dataChanged(index(0), index(int(rows_.size()) - 1));
}

int ZoneListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

QString ZoneListModel::idAt(int row) const {
    if (row < 0 || row >= int(rows_.size())) return {};
    const int i = rows_[std::size_t(row)];
    return i < 0 ? QString() : zones_[std::size_t(i)].id;
}

int ZoneListModel::rowOf(const QString& id) const {
    for (int row = 0; row < int(rows_.size()); ++row) {
        const int i = rows_[std::size_t(row)];
        if (i < 0 ? id.isEmpty() : zones_[std::size_t(i)].id == id) return row;
    }
    return -1;
}

QTimeZone ZoneListModel::zoneAt(int row) const {
    const int i = (row >= 0 && row < int(rows_.size())) ? rows_[std::size_t(row)] : -1;
    if (i >= 0) {
        QTimeZone zone = listedZone(zones_, i);
        if (zone.isValid()) return zone;
    }
    return model_.zones().current();
}

QString ZoneListModel::offsetAt(int row) const { return AppModel::utcOffsetText(model_.now(), zoneAt(row)); }

QVariant ZoneListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size())) return {};
    const int i = rows_[std::size_t(index.row())];
    switch (role) {
        case IdRole: return idAt(index.row());
        case Qt::DisplayRole:
        case TitleRole: return i < 0 ? localTitle() : zones_[std::size_t(i)].city;
        case SubtitleRole: return i < 0 ? QString::fromUtf8(model_.zones().current().id()) : zones_[std::size_t(i)].region;
        case Qt::AccessibleTextRole:
            return (i < 0 ? localTitle() : zones_[std::size_t(i)].city) + QStringLiteral(", ") + offsetAt(index.row());
        default: return {};
    }
}

// --- ZoneRowDelegate ----------------------------------------------------------------

namespace {
constexpr double kRowHeight = 36;
constexpr double kRowInset = 8;
constexpr double kCheckSide = 12;
}  // namespace

ZoneRowDelegate::ZoneRowDelegate(ZoneListModel& list, QObject* parent) : QStyledItemDelegate(parent), list_(list) {}

QSize ZoneRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return {option.rect.width(), int(kRowHeight)};
}

void ZoneRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const ThemeColors& theme = themeOf(option.widget);
    const QRectF r = option.rect;
    p->save();
    p->setRenderHint(QPainter::Antialiasing);
    if (option.state & (QStyle::State_MouseOver | QStyle::State_Selected)) {
        p->setPen(Qt::NoPen);
        p->setBrush(theme.controlHover.toQColor());
        p->drawRoundedRect(r.adjusted(1, 1, -1, -1), 5, 5);
    }
    const QString id = index.data(ZoneListModel::IdRole).toString();
    const bool checked = id == list_.currentID();
    double right = r.right() - kRowInset;
    if (checked) {
        icons::draw(*p, u"checkmark", QRectF(right - kCheckSide, r.center().y() - kCheckSide / 2, kCheckSide, kCheckSide),
                    theme.accent.toQColor());
        right -= kCheckSide + 6;
    }
    const QFont small = uiFont(11);
    const QString offset = list_.offsetAt(index.row());
    const QFontMetricsF smallMetrics(small);
    const double offsetWidth = smallMetrics.horizontalAdvance(offset);
    p->setFont(small);
    p->setPen(theme.secondaryForeground.toQColor());
    p->drawText(QRectF(right - offsetWidth, r.top(), offsetWidth + 1, r.height()), Qt::AlignRight | Qt::AlignVCenter,
                offset);
    right -= offsetWidth + 8;

    const QFont titleFont = uiFont(13);
    const QFontMetricsF titleMetrics(titleFont);
    const double textWidth = std::max(0.0, right - (r.left() + kRowInset));
    const double blockHeight = titleMetrics.height() + smallMetrics.height();
    const double top = r.top() + (r.height() - blockHeight) / 2;
    p->setFont(titleFont);
    p->setPen(theme.foreground.toQColor());
    p->drawText(QRectF(r.left() + kRowInset, top, textWidth, titleMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                titleMetrics.elidedText(index.data(ZoneListModel::TitleRole).toString(), Qt::ElideRight, textWidth));
    p->setFont(small);
    p->setPen(theme.secondaryForeground.toQColor());
    p->drawText(QRectF(r.left() + kRowInset, top + titleMetrics.height(), textWidth, smallMetrics.height()),
                Qt::AlignLeft | Qt::AlignVCenter,
                smallMetrics.elidedText(index.data(ZoneListModel::SubtitleRole).toString(), Qt::ElideRight, textWidth));
    p->restore();
}

// --- ZoneChooserPopup ---------------------------------------------------------------

namespace {

// Reached from the keyboard, the list shows which row Return would choose:
// the clock's own zone when the search shows it, else the first match. Qt
// alone would make the first row current without marking it, and Return
// would then choose a zone the user never saw chosen.
class ZoneListView : public QListView {
public:
    ZoneListView(ZoneListModel& list, QWidget* parent) : QListView(parent), list_(list) {}

protected:
    void focusInEvent(QFocusEvent* event) override {
        QListView::focusInEvent(event);
        // A press chooses the row under the pointer itself.
        if (event->reason() == Qt::MouseFocusReason) return;
        if (selectionModel()->isSelected(currentIndex())) return;  // back to a row the user went to
        const int own = list_.rowOf(list_.currentID());
        const QModelIndex row = list_.index(own >= 0 ? own : 0);
        if (!row.isValid()) {
            selectionModel()->clear();
            return;
        }
        selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        scrollTo(row, PositionAtCenter);
    }

private:
    ZoneListModel& list_;
};

}  // namespace

ZoneChooserPopup::ZoneChooserPopup(AppModel& model, QWidget* anchor) : PopupPanel(anchor), model_(model) {
    setFixedSize(kWidth, kHeight);
    setWindowTitle(tr("Zeitzone wählen"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(8);
    search_ = new QLineEdit(this);
    search_->setPlaceholderText(tr("Stadt oder Region suchen …"));
    search_->setClearButtonEnabled(true);
    layout->addWidget(search_);

    list_ = new ZoneListModel(model_, AppModel::timeZoneList(), this);
    view_ = new ZoneListView(*list_, this);
    view_->setModel(list_);
    view_->setItemDelegate(new ZoneRowDelegate(*list_, view_));
    view_->setUniformItemSizes(true);
    view_->setMouseTracking(true);
    view_->setFrameShape(QFrame::NoFrame);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view_->viewport()->setAutoFillBackground(false);
    view_->setAutoFillBackground(false);
    layout->addWidget(view_, 1);

    connect(search_, &QLineEdit::textChanged, list_, &ZoneListModel::setSearch);
    // A click anywhere on a row chooses it; so do Return and Enter in the
    // list, but only on a row shown as chosen: with none marked they choose
    // nothing and the chooser stays open.
    connect(view_, &QListView::clicked, this, [this](const QModelIndex& index) { Q_EMIT picked(list_->idAt(index.row())); });
    connect(view_, &QListView::activated, this, [this](const QModelIndex& index) {
        if (!index.isValid() || !view_->selectionModel()->isSelected(index)) return;
        Q_EMIT picked(list_->idAt(index.row()));
    });
    connect(&model_, &AppModel::nowChanged, this, &ZoneChooserPopup::follow);
    setFocusProxy(search_);
}

void ZoneChooserPopup::follow() {
    // Offsets change only at whole minutes (and rarely at that); a hidden
    // chooser paints nothing.
    if (!isVisible()) return;
    const qint64 minute = model_.now().toMSecsSinceEpoch() / 60'000;
    if (minute == shownMinute_) return;
    shownMinute_ = minute;
    view_->viewport()->update();
}

// --- TimeZoneButton -------------------------------------------------------------------

namespace {
constexpr double kLabelGap = 6;
constexpr double kChevron = 9;
constexpr double kInset = 8;
}  // namespace

TimeZoneButton::TimeZoneButton(AppModel& model, const QString& clockID, QWidget* parent)
    : ThemedButton(QString(), parent), model_(model), clockID_(clockID), zone_(model.zones().current()) {
    setNaturalSize(true);
    // Narrower than natural only when its row is short of room: the row
    // sets how far, down to the smallest width.
    setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &TimeZoneButton::open);
    connect(&model_, &AppModel::nowChanged, this, &TimeZoneButton::follow);
    setTimeZoneID(QString());
}

QString TimeZoneButton::placeName(const QString& zoneID) {
    if (zoneID.isEmpty()) return localTitle();
    const QStringList parts = zoneID.split(u'/', Qt::SkipEmptyParts);
    QString city = parts.isEmpty() ? zoneID : parts.last();
    city.replace(u'_', u' ');
    return city;
}

void TimeZoneButton::setTimeZoneID(const QString& id) {
    const bool first = zoneID_.isNull();
    if (!first && id == zoneID_) return;
    zoneID_ = id.isNull() ? QStringLiteral("") : id;
    zone_ = [&] {
        if (!zoneID_.isEmpty()) {
            QTimeZone zone = zoneForIdentifier(zoneID_);
            if (zone.isValid()) return zone;
        }
        return model_.zones().current();
    }();
    shownOffset_ = utcOffsetSecs(zone_, model_.now().toMSecsSinceEpoch());
    shownMinute_ = std::numeric_limits<qint64>::min();
    setAccessibleName(placeName(zoneID_) + QStringLiteral(", ") + offsetText());
    if (popup_) popup_->list().setCurrentID(zoneID_);
    refreshTip();
    updateGeometry();
    update();
    Q_EMIT widthsChanged();
}

int TimeZoneButton::naturalWidth() const {
    const QFontMetricsF fm(font());
    const double content = fm.height() * 0.8 + kLabelGap + fm.horizontalAdvance(placeName(zoneID_)) + kLabelGap +
                           fm.horizontalAdvance(offsetText()) + kLabelGap + kChevron;
    return std::max(kWidth, int(std::ceil(content + 2 * kInset)));
}

int TimeZoneButton::smallestWidth() const {
    const QFontMetricsF fm(font());
    const QString place = placeName(zoneID_);
    const QString head = leftGraphemes(place, kShortestPlace);
    // A pixel more than the cut text measures: eliding rounds its room down.
    const double placeRoom = head == place ? fm.horizontalAdvance(place)
                                           : fm.horizontalAdvance(head + QChar(0x2026)) + 1;
    const double content = fm.height() * 0.8 + kLabelGap + placeRoom + kLabelGap + fm.horizontalAdvance(offsetText()) +
                           kLabelGap + kChevron;
    return std::min(naturalWidth(), int(std::ceil(content + 2 * kInset)));
}

void TimeZoneButton::setColumn(int natural, int smallest) {
    if (natural == columnNatural_ && smallest == columnSmallest_) return;
    columnNatural_ = natural;
    columnSmallest_ = smallest;
    updateGeometry();
}

QSize TimeZoneButton::sizeHint() const {
    return {std::max(naturalWidth(), columnNatural_), ThemedButton::sizeHint().height()};
}

QSize TimeZoneButton::minimumSizeHint() const {
    return {std::max(smallestWidth(), columnSmallest_), ThemedButton::sizeHint().height()};
}

QString TimeZoneButton::offsetText() const { return AppModel::utcOffsetText(model_.now(), zone_); }

void TimeZoneButton::follow() {
    // Zones change their offset on whole minutes at most; the fast tick of
    // the main window costs a comparison.
    const qint64 ms = model_.now().toMSecsSinceEpoch();
    const qint64 minute = ms >= 0 ? ms / 60'000 : (ms - 59'999) / 60'000;
    if (minute == shownMinute_) return;
    shownMinute_ = minute;
    const int offset = utcOffsetSecs(zone_, ms);
    if (offset == shownOffset_) return;
    shownOffset_ = offset;
    setAccessibleName(placeName(zoneID_) + QStringLiteral(", ") + offsetText());
    refreshTip();
    updateGeometry();
    update();
    Q_EMIT widthsChanged();
}

TimeZoneButton::Label TimeZoneButton::label() const {
    const QFontMetricsF fm(font());
    Label l;
    const double icon = fm.height() * 0.8;
    l.offset = offsetText();
    const double offsetWidth = fm.horizontalAdvance(l.offset);
    const double fixed = icon + kLabelGap + kLabelGap + offsetWidth + kLabelGap + kChevron;
    l.place = fm.elidedText(placeName(zoneID_), Qt::ElideRight, std::max(0.0, width() - 2 * kInset - fixed));
    const double placeWidth = fm.horizontalAdvance(l.place);
    double x = std::max(kInset, (width() - fixed - placeWidth) / 2);
    const double cy = height() / 2.0;
    l.icon = QRectF(x, cy - icon / 2, icon, icon);
    x += icon + kLabelGap;
    l.placeRect = QRectF(x, 0, placeWidth, height());
    x += placeWidth + kLabelGap;
    l.offsetRect = QRectF(x, 0, offsetWidth, height());
    x += offsetWidth + kLabelGap;
    l.chevron = QRectF(x, cy - kChevron / 2, kChevron, kChevron);
    return l;
}

void TimeZoneButton::refreshTip() {
    // The whole place for the reader of a cut one; nothing to add otherwise.
    const QString place = placeName(zoneID_);
    setToolTip(label().place == place ? QString() : place);
}

void TimeZoneButton::resizeEvent(QResizeEvent* event) {
    ThemedButton::resizeEvent(event);
    refreshTip();
}

ZoneChooserPopup* TimeZoneButton::popup() {
    if (!popup_) {
        popup_ = new ZoneChooserPopup(model_, this);
        popup_->list().setCurrentID(zoneID_);
        connect(popup_, &ZoneChooserPopup::picked, this, &TimeZoneButton::pickZone);
    }
    return popup_;
}

void TimeZoneButton::open() {
    ZoneChooserPopup* chooser = popup();
    chooser->searchField()->clear();
    chooser->list().setSearch(QString());
    chooser->listView()->scrollToTop();
    chooser->openBelowAnchor();
    chooser->searchField()->setFocus(Qt::PopupFocusReason);
}

void TimeZoneButton::pickZone(const QString& id) {
    model_.editSettings([&](AppSettings& next) {
        for (ClockEntry& clock : next.clocks) {
            if (clock.id != clockID_) continue;
            clock.timeZoneID = id;
            break;
        }
    });
    if (popup_) popup_->hide();
}

void TimeZoneButton::paintEvent(QPaintEvent* event) {
    // The frame and fill of the themed button, then our own label.
    ThemedButton::paintEvent(event);
    const Look look = this->look();
    const ThemeColors& theme = themeOf(this);
    const Label l = label();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setOpacity(look.opacity);
    icons::draw(p, zoneID_.isEmpty() ? u"location.fill" : u"globe", l.icon, look.text);
    p.setFont(font());
    p.setPen(look.text);
    p.drawText(l.placeRect.adjusted(0, 0, 1, 0), Qt::AlignLeft | Qt::AlignVCenter, l.place);
    p.setPen(theme.secondaryForeground.toQColor());
    p.drawText(l.offsetRect.adjusted(0, 0, 1, 0), Qt::AlignLeft | Qt::AlignVCenter, l.offset);
    icons::draw(p, u"chevron.down", l.chevron, look.text);
}

}  // namespace corvane
