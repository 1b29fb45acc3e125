#pragma once

#include <QAbstractListModel>
#include <QStyledItemDelegate>
#include <QTimeZone>
#include <limits>
#include <vector>

#include "settings/display/PopupPanel.h"
#include "shell/components/ThemedButton.h"

class QLineEdit;
class QListView;

namespace corvane {

class AppModel;
struct TimeZoneInfo;

// The entries of the zone chooser for one search text: the local entry (when
// it matches) and the matching zones of the shared list, in list order. Rows
// are computed per keystroke from the prepared lower-cased texts; a row's
// offset is asked only when the row is painted.
class ZoneListModel : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { IdRole = Qt::UserRole + 1, TitleRole, SubtitleRole };

    ZoneListModel(AppModel& model, const std::vector<TimeZoneInfo>& zones, QObject* parent = nullptr);

    // The search as typed; blanks and tabs around it and letter case do not
    // matter.
    void setSearch(const QString& search);
    const QString& query() const { return query_; }
    static QString normalizedQuery(const QString& search);
    static bool localEntryMatches(const QString& query);

    // The identifier that carries the checkmark: the clock's own.
    void setCurrentID(const QString& id);
    const QString& currentID() const { return currentID_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The identifier of a row, "" for the local entry.
    QString idAt(int row) const;
    // The row that shows `id` now; -1 when the search hides it.
    int rowOf(const QString& id) const;
    // "UTC+5:30" for the row's zone at the model's current time.
    QString offsetAt(int row) const;

private:
    QTimeZone zoneAt(int row) const;

    AppModel& model_;
    const std::vector<TimeZoneInfo>& zones_;
    QString query_;
    QString currentID_;
    std::vector<int> rows_;  // indices into zones_; -1 is the local entry
};

// Title over subtitle at the left, the offset and the checkmark at the right.
class ZoneRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit ZoneRowDelegate(ZoneListModel& list, QObject* parent = nullptr);
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    ZoneListModel& list_;
};

class ZoneChooserPopup : public PopupPanel {
    Q_OBJECT
public:
    static constexpr int kWidth = 320;
    static constexpr int kHeight = 380;

    ZoneChooserPopup(AppModel& model, QWidget* anchor);

    QLineEdit* searchField() const { return search_; }
    QListView* listView() const { return view_; }
    ZoneListModel& list() { return *list_; }

Q_SIGNALS:
    // The user chose the zone `id` ("" for the local time).
    void picked(const QString& id);

private:
    void follow();

    AppModel& model_;
    QLineEdit* search_;
    QListView* view_;
    ZoneListModel* list_;
    qint64 shownMinute_ = -1;
};

// The zone button of a clock row: place, UTC offset and a chevron; it opens
// the row's chooser with an empty search. Given less than its natural width
// it cuts the place name with an ellipsis, never the icon or the offset, and
// names the whole place in its tool tip.
class TimeZoneButton : public ThemedButton {
    Q_OBJECT
public:
    static constexpr int kWidth = 210;
    // A cut place keeps at least this many characters before the ellipsis.
    static constexpr int kShortestPlace = 4;

    TimeZoneButton(AppModel& model, const QString& clockID, QWidget* parent = nullptr);

    // The row's clock changed its zone.
    void setTimeZoneID(const QString& id);
    const QString& timeZoneID() const { return zoneID_; }
    // "Ortszeit (System)" for "", else the city part of the identifier.
    static QString placeName(const QString& zoneID);
    QString offsetText() const;

    // At least 210, wider when the whole place and offset need it.
    int naturalWidth() const;
    // The least that still shows the icon, the offset, the chevron and the
    // place's first characters.
    int smallestWidth() const;
    // The widths of the column this button stands in, which every button of
    // the column reports as its own so the column stays straight.
    void setColumn(int natural, int smallest);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What the label shows at the button's width, and where.
    struct Label {
        QRectF icon;
        QString place;  // elided when the width is short of the natural
        QRectF placeRect;
        QString offset;
        QRectF offsetRect;
        QRectF chevron;
    };
    Label label() const;

    ZoneChooserPopup* popup();
    void open();
    // Stores the zone in the row's clock (when it still exists) and closes.
    void pickZone(const QString& id);

Q_SIGNALS:
    // The natural or smallest width changed: another place or offset.
    void widthsChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void follow();
    void refreshTip();

    AppModel& model_;
    QString clockID_;
    QString zoneID_;
    QTimeZone zone_;
    int shownOffset_ = 0;
    int columnNatural_ = 0;
    int columnSmallest_ = 0;
    qint64 shownMinute_ = std::numeric_limits<qint64>::min();
    ZoneChooserPopup* popup_ = nullptr;  // made on first use
};

}  // namespace corvane
