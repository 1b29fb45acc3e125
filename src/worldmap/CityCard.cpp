#include "worldmap/CityCard.h"

#include <QEnterEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QHash>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionMenuItem>
#include <QStyleOptionToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "appmodel/AppModel.h"
#include "shell/components/Icons.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "worldmap/SunMoon.h"
#include "worldmap/SymbolImage.h"
#include "worldmap/SystemColors.h"

namespace corvane {

namespace {
constexpr double kDeg = 0.017453292519943295;
constexpr int kRadius = 12;
constexpr int kPadding = 12;
constexpr int kMinWidth = 230;
// Marks the menu entry that removes a clock.
constexpr char kDestructiveProperty[] = "corvaneDestructive";

// The display locale's pattern for a short weekday, day and month. It does
// not depend on the zone, so the model's per-zone formatters can serve it
// and moving between cities builds no formatter.
const QString& datePattern() {
    static const QString pattern = makeDateFormatter(u"EEdMMM", QTimeZone::utc()).pattern();
    return pattern;
}

// Generic zone names, looked up once per zone for the life of the program.
const QString& zoneName(const QTimeZone& zone) {
    static QHash<QByteArray, QString> names;
    auto it = names.constFind(zone.id());
    if (it == names.constEnd()) {
        QString name = timeZoneGenericName(QString::fromUtf8(zone.id()));
        if (name.isEmpty()) name = QString::fromUtf8(zone.id());
        it = names.insert(zone.id(), name);
    }
    return it.value();
}

// The card's menu. Its colours come from the application's palette; only a
// destructive entry's text is drawn in the theme's red.
class CardMenu : public QMenu {
public:
    using QMenu::QMenu;

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
        QMenu::initStyleOption(option, action);
        if (!action || !action->property(kDestructiveProperty).toBool()) return;
        const QColor red = systemColors::red(themeOf(this).isDark);
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            option->palette.setColor(role, red);
    }
};

QIcon symbolIcon(const QString& symbol, const QColor& color) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    icons::draw(p, symbol, QRectF(2, 2, 28, 28), color);
    p.end();
    return QIcon(pixmap);
}
}  // namespace

DayPhase dayPhase(double altitude) {
    if (altitude > 0) return DayPhase::day;
    if (altitude > -6) return DayPhase::twilight;
    return DayPhase::night;
}

QString dayPhaseWord(DayPhase phase) {
    switch (phase) {
        case DayPhase::day: return QObject::tr("Tag");
        case DayPhase::twilight: return QObject::tr("Dämmerung");
        case DayPhase::night: break;
    }
    return QObject::tr("Nacht");
}

QString dayPhaseSymbol(DayPhase phase) {
    switch (phase) {
        case DayPhase::day: return QStringLiteral("sun.max.fill");
        case DayPhase::twilight: return QStringLiteral("sun.haze.fill");
        case DayPhase::night: break;
    }
    return QStringLiteral("moon.stars.fill");
}

QColor dayPhaseColor(DayPhase phase) {
    switch (phase) {
        case DayPhase::day: return systemColors::orange();
        case DayPhase::twilight: return systemColors::pink();
        case DayPhase::night: break;
    }
    return systemColors::indigo();
}

double sunAltitude(double lat, double lon, double sunLat, double sunLon) {
    const double s = std::sin(lat * kDeg) * std::sin(sunLat * kDeg) +
                     std::cos(lat * kDeg) * std::cos(sunLat * kDeg) * std::cos((lon - sunLon) * kDeg);
    return std::asin(std::clamp(s, -1.0, 1.0)) / kDeg;
}

// --- CardButton ---------------------------------------------------------------------

CardButton::CardButton(QWidget* parent) : QToolButton(parent) {
    setPopupMode(QToolButton::MenuButtonPopup);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setFont(uiFont(13));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::ArrowCursor);
}

void CardButton::setSymbol(const QString& symbol) {
    if (symbol == symbol_) return;
    symbol_ = symbol;
    update();
}

namespace {
constexpr double kArrowWidth = 22;
}

QSize CardButton::sizeHint() const {
    const QFontMetricsF fm(font());
    const double icon = fm.height() * 0.85;
    const double w = 10 + icon + 6 + fm.horizontalAdvance(text()) + 10 + kArrowWidth;
    return QSize(int(std::ceil(w)), int(std::ceil(std::max(26.0, fm.height() + 8))));
}

void CardButton::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(0.45);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor fill = theme.control.toQColor();
    if (isDown() || menu()->isVisible()) fill = theme.controlHover.toQColor();
    else if (underMouse() && isEnabled()) fill = theme.controlHover.toQColor();
    p.setPen(QPen(theme.border.toQColor(), 1));
    p.setBrush(fill);
    p.drawRoundedRect(r, 6, 6);

    // The arrow's part is what the style counts as the menu button, so the
    // picture matches where a click opens the menu.
    QStyleOptionToolButton option;
    initStyleOption(&option);
    const QRect arrow = style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
    const double split = arrow.isValid() ? arrow.left() : width() - kArrowWidth;
    p.setPen(QPen(theme.border.toQColor(), 1));
    p.drawLine(QPointF(split, r.top() + 4), QPointF(split, r.bottom() - 4));

    const QColor ink = theme.foreground.toQColor();
    const QFontMetricsF fm(font());
    const double icon = fm.height() * 0.85;
    const QRectF iconBox(10, (height() - icon) / 2, icon, icon);
    icons::draw(p, symbol_, iconBox, theme.accent.toQColor());
    p.setPen(ink);
    p.setFont(font());
    p.drawText(QRectF(iconBox.right() + 6, 0, split - iconBox.right() - 6, height()),
               Qt::AlignLeft | Qt::AlignVCenter, text());
    const double side = 9;
    icons::draw(p, QStringLiteral("chevron.down"),
                QRectF(split + (width() - split - side) / 2, (height() - side) / 2, side, side), ink);
}

CardCloseButton::CardCloseButton(QWidget* parent) : QAbstractButton(parent) {
    setToolTip(tr("Schließen"));
    setAccessibleName(tr("Schließen"));
    setFixedSize(sizeHint());
    setCursor(Qt::ArrowCursor);
}

void CardCloseButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor ink = themeOf(this).secondaryForeground.toQColor();
    if (isDown()) ink.setAlphaF(0.6f);
    icons::draw(p, QStringLiteral("xmark.circle.fill"), QRectF(rect()), ink);
}

// --- CityCard -----------------------------------------------------------------------

CityCard::CityCard(AppModel& model, const WorldCity& city, bool pinned, std::function<void()> close,
                   QWidget* parent)
    : QWidget(parent),
      model_(model),
      city_(city),
      pinned_(pinned),
      close_(std::move(close)),
      zone_(city.timeZone()) {
    setMouseTracking(true);
    const int m = kShadowMargin;
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(m + kPadding, m + kPadding, m + kPadding, m + kPadding);
    v->setSpacing(6);
    v->setSizeConstraint(QLayout::SetFixedSize);
    v->addStrut(kMinWidth - 2 * kPadding);

    // Header: name, country, population, and the close button when pinned.
    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    auto* names = new QVBoxLayout;
    names->setSpacing(0);
    name_ = new ThemedLabel(city_.name, 15, QFont::DemiBold, ThemedLabel::Tone::foreground, this);
    country_ = new ThemedLabel({}, 11, QFont::Normal, ThemedLabel::Tone::secondary, this);
    population_ = new ThemedLabel({}, 10, QFont::Normal, ThemedLabel::Tone::secondary, this);
    names->addWidget(name_);
    names->addWidget(country_);
    names->addWidget(population_);
    header->addLayout(names);
    header->addSpacing(12);
    header->addStretch(1);
    closeButton_ = new CardCloseButton(this);
    connect(closeButton_, &QAbstractButton::clicked, this, [this] {
        // The close removes this card; let the click finish first.
        if (close_) QMetaObject::invokeMethod(this, [c = close_] { c(); }, Qt::QueuedConnection);
    });
    header->addWidget(closeButton_, 0, Qt::AlignTop);
    v->addLayout(header);

    // Time row: phase symbol, time, phase word over the date.
    auto* timeRow = new QHBoxLayout;
    timeRow->setSpacing(8);
    phaseImage_ = new SymbolImage(dayPhaseSymbol(phase_), QSize(22, 22),
                                  [this](const ThemeColors&) { return dayPhaseColor(phase_); }, this);
    timeRow->addWidget(phaseImage_, 0, Qt::AlignVCenter);
    time_ = new ThemedLabel({}, 28, QFont::DemiBold, ThemedLabel::Tone::foreground, this);
    timeRow->addWidget(time_, 0, Qt::AlignVCenter);
    auto* phaseBox = new QVBoxLayout;
    phaseBox->setSpacing(0);
    phaseWord_ = new ThemedLabel({}, 11, QFont::DemiBold, ThemedLabel::Tone::foreground, this);
    date_ = new ThemedLabel({}, 11, QFont::Normal, ThemedLabel::Tone::secondary, this);
    phaseBox->addWidget(phaseWord_);
    phaseBox->addWidget(date_);
    timeRow->addLayout(phaseBox);
    timeRow->addStretch(1);
    v->addLayout(timeRow);

    zoneLine_ = new ThemedLabel({}, 11, QFont::Normal, ThemedLabel::Tone::secondary, this);
    v->addWidget(zoneLine_);

    already_ = new QWidget(this);
    auto* alreadyRow = new QHBoxLayout(already_);
    alreadyRow->setContentsMargins(0, 0, 0, 0);
    alreadyRow->setSpacing(5);
    alreadyRow->addWidget(new SymbolImage(QStringLiteral("checkmark.circle.fill"), QSize(13, 13),
                                          [](const ThemeColors& t) { return t.accent.toQColor(); }, already_));
    alreadyLabel_ = new ThemedLabel({}, 12, QFont::Normal, ThemedLabel::Tone::accent, already_);
    alreadyRow->addWidget(alreadyLabel_);
    alreadyRow->addStretch(1);
    v->addWidget(already_);

    button_ = new CardButton(this);
    button_->setToolTip(tr("Klick: als neue Uhr hinzufügen · Pfeil: weitere Optionen"));
    menu_ = new CardMenu(button_);
    button_->setMenu(menu_);
    connect(menu_, &QMenu::aboutToShow, this, [this] { buildMenu(*menu_); });
    connect(button_, &QToolButton::clicked, this, &CityCard::primaryClicked);
    v->addWidget(button_, 0, Qt::AlignLeft);

    showCity();
    connect(&model_, &AppModel::nowChanged, this, &CityCard::refreshTime);
    connect(&model_, &AppModel::settingsChanged, this, &CityCard::refreshClocks);
}

void CityCard::setCity(const WorldCity& city, bool pinned) {
    if (city == city_ && pinned == pinned_) return;
    if (city.tz != city_.tz) zone_ = city.timeZone();
    city_ = city;
    pinned_ = pinned;
    showCity();
}

void CityCard::showCity() {
    setAccessibleName(city_.name);
    name_->setText(city_.name);
    country_->setText(city_.isCapital ? tr("Hauptstadt · %1").arg(city_.country) : city_.country);
    const QString people = city_.populationText();
    population_->setText(people);
    population_->setVisible(!people.isEmpty());
    closeButton_->setVisible(pinned_);
    phaseWord_->setText(dayPhaseWord(phase_));
    shownMinute_ = std::numeric_limits<qint64>::min();
    refreshTime();
    refreshClocks();
}

QString CityCard::nameText() const { return name_->text(); }
QString CityCard::countryText() const { return country_->text(); }
std::optional<QString> CityCard::populationText() const {
    if (population_->isHidden()) return std::nullopt;
    return population_->text();
}
QString CityCard::timeText() const { return time_->text(); }
QString CityCard::phaseWord() const { return phaseWord_->text(); }
QString CityCard::phaseSymbol() const { return phaseImage_->symbol(); }
QColor CityCard::phaseColor() const { return dayPhaseColor(phase_); }
QString CityCard::dateText() const { return date_->text(); }
QString CityCard::zoneText() const { return zoneLine_->text(); }
std::optional<QString> CityCard::alreadyText() const {
    if (already_->isHidden()) return std::nullopt;
    return alreadyLabel_->text();
}

std::optional<int> CityCard::matchingClockIndex() const {
    const std::vector<ClockEntry>& clocks = model_.settings().clocks;
    for (std::size_t i = 0; i < clocks.size(); ++i) {
        const WorldCity* c = model_.cityForTimeZone(clocks[i]);
        if (c && *c == city_) return int(i);
    }
    return std::nullopt;
}

void CityCard::refreshTime() {
    const QDateTime& now = model_.now();
    const SubsolarPoint sun = subsolarPoint(now);
    const DayPhase phase = dayPhase(sunAltitude(city_.lat, city_.lon, sun.lat, sun.lon));
    if (phase != phase_) {
        phase_ = phase;
        phaseImage_->setSymbol(dayPhaseSymbol(phase));
        phaseWord_->setText(dayPhaseWord(phase));
    }
    // Time, date and offset change only with the minute (zone offsets are
    // whole minutes), so the fast tick formats nothing.
    const qint64 minute = now.toSecsSinceEpoch() / 60 - (now.toSecsSinceEpoch() % 60 < 0 ? 1 : 0);
    if (minute == shownMinute_) return;
    shownMinute_ = minute;
    time_->setText(model_.worldTimeText(now, zone_, QStringLiteral("HH:mm")));
    date_->setText(model_.worldTimeText(now, zone_, datePattern()));
    zoneLine_->setText(AppModel::utcOffsetText(now, zone_) + QStringLiteral(" · ") + zoneName(zone_));
}

void CityCard::refreshClocks() {
    const std::optional<int> match = matchingClockIndex();
    const int count = int(model_.settings().clocks.size());
    if (match) alreadyLabel_->setText(tr("Bereits als Uhr %1 eingerichtet").arg(*match + 1));
    already_->setVisible(match.has_value());
    button_->setText(match ? tr("Optionen") : tr("Hinzufügen"));
    button_->setSymbol(match ? QStringLiteral("ellipsis.circle.fill") : QStringLiteral("plus.circle.fill"));
    button_->setEnabled(match || count < AppModel::kMaxClocks);
    button_->updateGeometry();
}

void CityCard::buildMenu(QMenu& menu) {
    menu.clear();
    const std::vector<ClockEntry>& clocks = model_.settings().clocks;
    const int count = int(clocks.size());
    const std::optional<int> match = matchingClockIndex();

    const QColor ink = themeOf(this).foreground.toQColor();
    QAction* add = menu.addAction(symbolIcon(QStringLiteral("plus"), ink), tr("Als neue Uhr hinzufügen"));
    connect(add, &QAction::triggered, this, &CityCard::addAsClock);
    add->setEnabled(!match && count < AppModel::kMaxClocks);

    menu.addSection(tr("Vorhandene Uhr ersetzen"));
    for (int i = 0; i < count; ++i) {
        const QString id = clocks[std::size_t(i)].id;
        QAction* replace = menu.addAction(tr("Uhr %1: %2").arg(i + 1).arg(model_.clockTitle(clocks[std::size_t(i)])));
        connect(replace, &QAction::triggered, this, [this, id] { replaceClock(id); });
    }
    if (match && count >= 2) {
        menu.addSeparator();
        QAction* remove = menu.addAction(symbolIcon(QStringLiteral("minus.circle"), systemColors::red(themeOf(this).isDark)),
                                         tr("Uhr %1 entfernen").arg(*match + 1));
        remove->setProperty(kDestructiveProperty, true);
        connect(remove, &QAction::triggered, this, &CityCard::removeClock);
    }
}

void CityCard::primaryClicked() {
    // Already a clock: the button only stands for its menu.
    if (!matchingClockIndex()) addAsClock();
}

void CityCard::addAsClock() { model_.addClock(city_); }

void CityCard::replaceClock(const QString& clockID) { model_.replaceClock(clockID, city_); }

void CityCard::removeClock() {
    const std::optional<int> match = matchingClockIndex();
    const std::vector<ClockEntry>& clocks = model_.settings().clocks;
    if (!match || *match >= int(clocks.size())) return;
    model_.removeClock(clocks[std::size_t(*match)].id);
}

QRect CityCard::panelRect() const {
    return rect().adjusted(kShadowMargin, kShadowMargin, -kShadowMargin, -kShadowMargin);
}

QSize CityCard::panelSize() const {
    const QSize s = sizeHint();
    return {std::max(s.width() - 2 * kShadowMargin, kMinWidth), s.height() - 2 * kShadowMargin};
}

void CityCard::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    const qreal ratio = devicePixelRatioF();
    // Panel and shadow are drawn once per size and palette: the soft shadow
    // is many translucent layers, too costly to blend on every repaint.
    if (backdrop_.size() != size() * ratio || backdropTheme_ != theme) {
        QPixmap pixmap(size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF panel = QRectF(panelRect()).adjusted(0.5, 0.5, -0.5, -0.5);
        const QRectF shadow = panel.translated(0, 4);
        constexpr int kSteps = 10;
        p.setPen(Qt::NoPen);
        for (int i = kSteps; i >= 1; --i) {
            const double grow = i;
            p.setBrush(QColor(0, 0, 0, int(0.35 * 255 / kSteps * 0.55)));
            p.drawRoundedRect(shadow.adjusted(-grow, -grow, grow, grow), kRadius + grow, kRadius + grow);
        }
        // The panel covers its own shadow.
        p.setCompositionMode(QPainter::CompositionMode_Clear);
        p.setBrush(Qt::black);
        p.drawRoundedRect(panel, kRadius, kRadius);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        QColor surface = theme.surface.toQColor();
        surface.setAlphaF(0.94f);
        p.setBrush(surface);
        QColor border = theme.border.toQColor();
        border.setAlphaF(0.7f);
        p.setPen(QPen(border, 1));
        p.drawRoundedRect(panel, kRadius, kRadius);
        p.end();
        backdrop_ = std::move(pixmap);
        backdropTheme_ = theme;
    }
    QPainter p(this);
    p.drawPixmap(0, 0, backdrop_);
}

// Only the panel counts as the card: the shadow's margin around it belongs
// to the map below, which gets the pointer there.
void CityCard::setPointerInside(bool inside) {
    if (inside == pointerInside_) return;
    pointerInside_ = inside;
    Q_EMIT hoverChanged(inside);
}

void CityCard::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = panelRect().contains(event->position().toPoint());
    setPointerInside(inside);
    // Over the panel the pointer hovers no city hidden beneath it.
    if (inside) event->accept();
    else event->ignore();
}

void CityCard::mousePressEvent(QMouseEvent* event) {
    // A click on the card is no click on the map (which would unpin) and no
    // start of a window drag.
    if (panelRect().contains(event->position().toPoint())) event->accept();
    else event->ignore();
}

void CityCard::mouseReleaseEvent(QMouseEvent* event) {
    if (panelRect().contains(event->position().toPoint())) event->accept();
    else event->ignore();
}

void CityCard::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    setPointerInside(panelRect().contains(event->position().toPoint()));
}

void CityCard::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    setPointerInside(false);
}

void CityCard::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Q_EMIT resized();
}

bool CityCard::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(event);
}

}  // namespace corvane
