#include "settings/StationPicker.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QShowEvent>
#include <QStackedWidget>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"

namespace corvane {

namespace {

constexpr int kNameRole = Qt::UserRole + 1;
constexpr int kSubtitleRole = Qt::UserRole + 2;

// Only blanks and tabs: a line break inside a pasted query is part of what
// the directory is asked for, and it trims that itself.
QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (begin < end && blank(text[begin])) ++begin;
    while (end > begin && blank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

// Two lines per station: the name, and below it country and stream format
// when the directory gives any.
class StationRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static constexpr int kPadX = 8;
    static constexpr int kPadY = 5;
    static constexpr int kLineGap = 1;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QFontMetrics name(uiFont(13));
        int h = name.height() + 2 * kPadY;
        if (!index.data(kSubtitleRole).toString().isEmpty()) h += kLineGap + QFontMetrics(uiFont(11)).height();
        return {option.rect.width(), h};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const auto* view = qobject_cast<const QWidget*>(option.widget);
        const ThemeColors& theme = themeOf(view);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        if (option.state & (QStyle::State_MouseOver | QStyle::State_Selected)) {
            p->setPen(Qt::NoPen);
            p->setBrush(theme.control.toQColor());
            p->drawRoundedRect(QRectF(option.rect).adjusted(1, 1, -1, -1), 5, 5);
        }
        const QRect r = option.rect.adjusted(kPadX, kPadY, -kPadX, -kPadY);
        const QFont nameFont = uiFont(13);
        const QFontMetrics nm(nameFont);
        p->setFont(nameFont);
        p->setPen(theme.foreground.toQColor());
        p->drawText(QRect(r.left(), r.top(), r.width(), nm.height()), Qt::AlignLeft | Qt::AlignVCenter,
                    nm.elidedText(index.data(kNameRole).toString(), Qt::ElideRight, r.width()));
        const QString subtitle = index.data(kSubtitleRole).toString();
        if (!subtitle.isEmpty()) {
            const QFont subFont = uiFont(11);
            const QFontMetrics sm(subFont);
            p->setFont(subFont);
            p->setPen(theme.secondaryForeground.toQColor());
            p->drawText(QRect(r.left(), r.top() + nm.height() + kLineGap, r.width(), sm.height()),
                        Qt::AlignLeft | Qt::AlignVCenter, sm.elidedText(subtitle, Qt::ElideRight, r.width()));
        }
        p->restore();
    }
};

}  // namespace

// --- Spinner ------------------------------------------------------------------

Spinner::Spinner(QWidget* parent) : QWidget(parent) {
    setFixedSize(sizeHint());
    timer_.setInterval(80);
    connect(&timer_, &QTimer::timeout, this, [this] {
        step_ = (step_ + 1) % 12;
        update();
    });
}

void Spinner::showEvent(QShowEvent* event) {
    timer_.start();
    QWidget::showEvent(event);
}

void Spinner::hideEvent(QHideEvent* event) {
    timer_.stop();
    QWidget::hideEvent(event);
}

void Spinner::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    p.setPen(QPen(theme.border.toQColor(), 2.0));
    p.drawEllipse(r);
    p.setPen(QPen(theme.secondaryForeground.toQColor(), 2.0, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(r, -step_ * 30 * 16, 100 * 16);
}

// --- StationPicker ---------------------------------------------------------------

StationPicker::StationPicker(PickAction onPick, Sonvela::DirectoryOptions directory, QWidget* parent)
    : QWidget(parent), onPick_(std::move(onPick)), directory_(std::move(directory)) {
    setFixedWidth(kWidth);
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(8);

    stack->addWidget(new ThemedLabel(tr("Sender für Sonvela"), 14, QFont::DemiBold,
                                     ThemedLabel::Tone::foreground, this));

    field_ = new QLineEdit(this);
    field_->setPlaceholderText(tr("Sendername, z. B. 1LIVE, Radio Paloma, BBC"));
    field_->setClearButtonEnabled(false);
    stack->addWidget(field_);

    status_ = new QStackedWidget(this);
    idleCaption_ = new Caption(tr("Namen eingeben – die beliebtesten Sender erscheinen zuerst."));
    searchingRow_ = new QWidget;
    auto* searching = new QHBoxLayout(searchingRow_);
    searching->setContentsMargins(0, 0, 0, 0);
    spinner_ = new Spinner(searchingRow_);
    searching->addWidget(spinner_);
    searching->addWidget(new Caption(tr("Suche …"), searchingRow_), 1);
    emptyCaption_ = new Caption(tr("Kein Sender gefunden."));
    failedWarning_ = new WarningText(
        tr("Keine Verbindung zum Senderverzeichnis. Bitte später noch einmal versuchen."), nullptr);
    nothing_ = new QWidget;
    nothing_->setFixedHeight(0);
    for (QWidget* w : {static_cast<QWidget*>(idleCaption_), searchingRow_, static_cast<QWidget*>(emptyCaption_),
                       static_cast<QWidget*>(failedWarning_), nothing_})
        status_->addWidget(w);
    status_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    stack->addWidget(status_);

    list_ = new QListWidget(this);
    list_->setFixedHeight(kListHeight);
    list_->setItemDelegate(new StationRowDelegate(list_));
    list_->setMouseTracking(true);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->viewport()->setAutoFillBackground(false);
    list_->setAutoFillBackground(false);
    list_->hide();
    stack->addWidget(list_);

    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, [this] { runSearch(waitingQuery_); });
    connect(field_, &QLineEdit::textChanged, this, [this] { restartSearch(true); });
    connect(field_, &QLineEdit::returnPressed, this, [this] { restartSearch(false); });
    // A click picks through `clicked` alone: desktops that activate items on
    // a single click send `activated` for the same click as well. Return on
    // a row picks it too, through the key itself for the same reason.
    connect(list_, &QListWidget::clicked, this, [this](const QModelIndex& index) { rowClicked(index.row()); });
    list_->installEventFilter(this);

    present(SearchState::idle, {});
}

StationPicker::~StationPicker() { dropRequest(); }

QString StationPicker::query() const { return field_->text(); }

QString StationPicker::statusText() const {
    QWidget* current = status_->currentWidget();
    if (current == idleCaption_) return idleCaption_->text();
    if (current == searchingRow_) return tr("Suche …");
    if (current == emptyCaption_) return emptyCaption_->text();
    if (current == failedWarning_) return failedWarning_->text();
    return {};
}

void StationPicker::dropRequest() {
    if (request_) {
        Sonvela::StationRequest* request = request_;
        request_ = nullptr;
        request->cancel();
        request->deleteLater();
    }
}

void StationPicker::restartSearch(bool pause) {
    pause_.stop();
    dropRequest();
    waitingQuery_ = query();
    if (pause) {
        pause_.start();
    } else {
        runSearch(waitingQuery_);
    }
}

void StationPicker::runSearch(const QString& query) {
    const QString trimmed = trimBlanks(query);
    if (trimmed.size() < 2) {
        present(SearchState::idle, {});
        return;
    }
    // The previous list stays under the spinner until the answer replaces it.
    present(SearchState::searching, results_);
    Sonvela::StationRequest* request = Sonvela::searchStations(query, this, directory_);
    request_ = request;
    connect(request, &Sonvela::StationRequest::finished, this, [this, request] { requestFinished(request); });
}

void StationPicker::requestFinished(Sonvela::StationRequest* request) {
    request->deleteLater();
    if (request != request_) return;  // superseded meanwhile
    request_ = nullptr;
    if (request->error()) {
        present(SearchState::failed, {});
    } else {
        present(SearchState::done, request->stations());
    }
}

void StationPicker::present(SearchState state, QList<Sonvela::Station> results) {
    const bool listChanged = results != results_;
    state_ = state;
    results_ = std::move(results);

    switch (state_) {
        case SearchState::idle: status_->setCurrentWidget(idleCaption_); break;
        case SearchState::searching: status_->setCurrentWidget(searchingRow_); break;
        case SearchState::done:
            status_->setCurrentWidget(results_.isEmpty() ? static_cast<QWidget*>(emptyCaption_) : nothing_);
            break;
        case SearchState::failed: status_->setCurrentWidget(failedWarning_); break;
    }
    // A stacked widget is as tall as its tallest page; the status line should
    // be as tall as the page it shows.
    for (int i = 0; i < status_->count(); ++i) {
        QWidget* page = status_->widget(i);
        page->setSizePolicy(QSizePolicy::Ignored, page == status_->currentWidget() ? QSizePolicy::Preferred
                                                                                    : QSizePolicy::Ignored);
    }
    QWidget* shown = status_->currentWidget();
    const int width = kWidth - 28;  // inside the picker's padding
    status_->setFixedHeight(shown == nothing_              ? 0
                            : shown->hasHeightForWidth() ? shown->heightForWidth(width)
                                                         : shown->sizeHint().height());

    if (listChanged) {
        list_->clear();
        for (const Sonvela::Station& station : results_) {
            auto* item = new QListWidgetItem(list_);
            item->setData(kNameRole, station.name.trimmed());
            item->setData(kSubtitleRole, station.subtitle());
            item->setToolTip(station.name.trimmed());
        }
    }
    list_->setVisible(!results_.isEmpty());
    Q_EMIT searchUpdated();
}

void StationPicker::rowClicked(int row) {
    if (row < 0 || row >= results_.size() || !onPick_) return;
    // A copy: the pick may close and delete this picker.
    const Sonvela::Station station = results_[row];
    onPick_(station);
}

bool StationPicker::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && list_->currentIndex().isValid()) {
            rowClicked(list_->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void StationPicker::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !query().isEmpty() && state_ == SearchState::idle && !request_ &&
        !pause_.isActive())
        restartSearch(false);
}

void StationPicker::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(theme.border.toQColor(), 1.0));
    p.setBrush(theme.surface.toQColor());
    p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

}  // namespace corvane
