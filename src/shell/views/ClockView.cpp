#include "shell/views/ClockView.h"

#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <cmath>

#include "appmodel/AppModel.h"
#include "shell/components/ScaleDownToFit.h"
#include "shell/components/Theme.h"
#include "shell/digital/ClockCaption.h"
#include "shell/digital/DigitalTime.h"
#include "shell/digital/EditHighlight.h"
#include "shell/grid/ClockGrid.h"
#include "shell/grid/HandRegion.h"
#include "shell/views/ClockTexts.h"
#include "shell/views/FittedText.h"
#include "shell/views/TimerBars.h"

namespace corvane {

namespace {

QColor secondaryOf(const ThemeColors& t) { return t.secondaryForeground.toQColor(); }
QColor accentOf(const ThemeColors& t) { return t.accent.toQColor(); }
QColor foregroundOf(const ThemeColors& t) { return t.foreground.toQColor(); }

constexpr double kGridSpacing = 10;
constexpr int kCaptionGap = 2;

}  // namespace

// --- GreetingHeader ------------------------------------------------------------

GreetingHeader::GreetingHeader(QWidget* parent) : QWidget(parent) {
    line_ = new FittedText(uiFont(22, QFont::Light), 0.5, foregroundOf, this);
    line_->setAccessibleDescription(QStringLiteral("header"));
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

double GreetingHeader::fontSizeFor(double width) { return std::clamp(width / 22.0, 22.0, 40.0); }

void GreetingHeader::setText(const QString& text) { line_->setText(text); }

void GreetingHeader::resizeEvent(QResizeEvent*) {
    line_->setTextFont(uiFont(fontSizeFor(width()), QFont::Light));
    const int h = line_->sizeHint().height();
    line_->setGeometry(kSideInset, 10, std::max(0, width() - 2 * kSideInset), std::min(h, 50));
}

// --- SingleAnalogClock -------------------------------------------------------------

SingleAnalogClock::SingleAnalogClock(QWidget* parent, QWidget* markHost)
    : QWidget(parent), markHost_(markHost ? markHost : this) {
    caption_ = new ClockCaption(this);
    highlight_ = new EditHighlight(markHost_);
    highlight_->hide();
    setAccessibleName(QStringLiteral("Analoguhr"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void SingleAnalogClock::setClock(const AnalogClock& clock, const QTimeZone& zone, bool caption,
                                 const QString& title, const QString& subtitle) {
    clock_ = clock;
    clock_.theme = themeOf(this);
    if (zoneClock_.zone() != zone) zoneClock_.setZone(zone);
    caption_->setTexts(title, subtitle);
    caption_->setVisible(caption);
    shownFrame_ = -1;
    place();
    update();
}

SingleAnalogClock::~SingleAnalogClock() {
    if (markHost_ != this) delete highlight_.data();
}

void SingleAnalogClock::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    highlight_->setVisible(highlighted);
    place();
}

void SingleAnalogClock::setNow(qint64 msecsSinceEpoch) {
    now_ = msecsSinceEpoch;
    clock_.time = zoneClock_.at(msecsSinceEpoch);
    const QRectF dial = dialRect();
    const qint64 frame = handregion::frameKey(clock_, dial, dpr_, msecsSinceEpoch);
    if (frame == shownFrame_) return;
    shownFrame_ = frame;
    // Only the hands move: where they were painted and where they go now.
    for (const QRect& r : handregion::dirtyRects(paintedHands_, clock_, dial, msecsSinceEpoch)) update(r);
}

QRectF SingleAnalogClock::dialRect() const { return dial_; }

QRectF SingleAnalogClock::computeDialRect() const {
    // The caption's height needs no text measuring: each tick asks for it.
    const int captionHeight =
        caption_->isVisibleTo(this)
            ? int(std::ceil(ClockCaption::height(caption_->titleFont(), caption_->subtitleFont()))) + kCaptionGap
            : 0;
    const QRectF area(0, 0, width(), std::max(0, height() - captionHeight));
    const double side = std::min(area.width(), area.height());
    // Dial and caption sit together in the middle.
    const double top = (height() - side - captionHeight) / 2;
    return QRectF(area.center().x() - side / 2, top, side, side);
}

void SingleAnalogClock::place() {
    dial_ = computeDialRect();
    const QRectF dial = dial_;
    if (caption_->isVisibleTo(this))
        caption_->setGeometry(0, int(std::lround(dial.bottom())) + kCaptionGap, width(),
                              caption_->sizeHint().height());
    if (highlighted_ && highlight_) {
        highlight_->setTarget(dial.translated(mapTo(markHost_, QPoint(0, 0))), true);
        highlight_->raise();
    }
}

void SingleAnalogClock::resizeEvent(QResizeEvent*) { place(); }
void SingleAnalogClock::moveEvent(QMoveEvent*) { place(); }

bool SingleAnalogClock::event(QEvent* e) {
    if (e->type() == ThemeChangeEvent::eventType()) {
        clock_.theme = themeOf(this);
        update();
    }
    return QWidget::event(e);
}

void SingleAnalogClock::paintEvent(QPaintEvent*) {
    // Kept for the ticks, which would otherwise ask the screen each time.
    dpr_ = devicePixelRatioF();
    QPainter p(this);
    clock_.time = zoneClock_.at(now_);
    const QRectF dial = dialRect();
    if (clock_.smoothSeconds)
        sweep_.paint(p, clock_, dial);
    else
        clock_.paint(p, dial);
    paintedHands_.record(clock_, dial, now_);
}

// --- ClockView ------------------------------------------------------------------

ClockView::ClockView(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    header_ = new GreetingHeader(this);
    timerBars_ = new TimerBars(model_, this);
    layout_->addWidget(header_);
    layout_->addWidget(timerBars_);

    connect(&model_, &AppModel::settingsChanged, this, &ClockView::refresh);
    connect(&model_, &AppModel::nowChanged, this, &ClockView::tick);
    connect(&model_, &AppModel::greetingTextChanged, this, [this] { header_->setText(model_.greetingText()); });
    connect(&model_, &AppModel::activeAlarmsTextChanged, this, &ClockView::showAlarms);
    connect(&model_, &AppModel::highlightedClockIDChanged, this, &ClockView::refreshHighlight);
    connect(&model_, &AppModel::clockImagesChanged, this, &ClockView::refreshClocks);
    connect(&model_, &AppModel::dialImageChanged, this, &ClockView::refreshClocks);
    header_->setText(model_.greetingText());
    refresh();
}

ClockView::~ClockView() = default;

QMargins ClockView::areaInsets(Area area, bool greetingShown) {
    switch (area) {
        case Area::grid:
            return QMargins(12, greetingShown ? 8 : 44, 12, 4);
        case Area::digital:
            return QMargins(28, greetingShown ? 8 : 44, 28, 12);
        case Area::analog:
            return QMargins(8, greetingShown ? 4 : 8, 8, 8);
        case Area::none:
            break;
    }
    return {};
}

void ClockView::rebuildArea(Area area) {
    if (areaWidget_) {
        layout_->removeWidget(areaWidget_);
        delete areaWidget_;
    }
    areaWidget_ = nullptr;
    grid_ = nullptr;
    alarmsLine_ = nullptr;
    analog_ = nullptr;
    digitalScaler_ = nullptr;
    digitalTime_ = nullptr;
    digitalDate_ = nullptr;
    digitalZoneLine_ = nullptr;
    digitalAlarms_ = nullptr;
    digitalClock_.reset();
    area_ = area;
    shownSecond_ = shownMinute_ = std::numeric_limits<qint64>::min();

    areaWidget_ = new QWidget(this);
    auto* box = new QVBoxLayout(areaWidget_);
    box->setSpacing(0);
    box->setContentsMargins(0, 0, 0, 0);
    auto* inner = new QVBoxLayout;
    inner->setContentsMargins(areaInsets(area, model_.settings().showGreeting));
    inner->setSpacing(0);
    box->addLayout(inner, 1);
    switch (area) {
        case Area::none:
            break;
        case Area::grid:
            grid_ = new ClockGrid(kGridSpacing, areaWidget_, this);
            inner->addWidget(grid_);
            alarmsLine_ = new FittedText(uiFont(13), 0.6, accentOf, areaWidget_);
            {
                auto* row = new QHBoxLayout;
                row->setContentsMargins(12, 0, 12, 8);
                row->addWidget(alarmsLine_);
                box->addLayout(row);
            }
            break;
        case Area::analog:
            analog_ = new SingleAnalogClock(areaWidget_, this);
            inner->addWidget(analog_);
            break;
        case Area::digital:
            digitalScaler_ = new ScaleDownToFit(areaWidget_);
            inner->addWidget(digitalScaler_);
            break;
    }
    layout_->insertWidget(layout_->indexOf(timerBars_), areaWidget_, 1);
    areaWidget_->show();
}

void ClockView::buildDigitalBlock(const ClockEntry& clock) {
    const AppSettings& s = model_.settings();
    // The lines of the previous block go with it; one the new block leaves
    // out (the date once it is switched off) must not be written to later.
    digitalDate_ = nullptr;
    digitalZoneLine_ = nullptr;
    digitalAlarms_ = nullptr;
    auto* block = new QWidget;
    auto* v = new QVBoxLayout(block);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    const bool caption = showsCaption(clock);
    if (caption) {
        auto* title = new FittedText(uiFont(26, QFont::DemiBold), 1.0, secondaryOf, block);
        title->setText(model_.clockTitle(clock));
        v->addWidget(title, 0, Qt::AlignHCenter);
        v->addSpacing(4);
    }
    digitalTime_ = new DigitalTime(block);
    digitalTime_->setFont(s.fontFamily, s.fontSize);
    digitalTime_->setColor(themeOf(this).foreground.toQColor());
    v->addWidget(digitalTime_, 0, Qt::AlignHCenter);
    if (s.showDate) {
        v->addSpacing(4);
        digitalDate_ = new FittedText(uiFont(24), 1.0, secondaryOf, block);
        v->addWidget(digitalDate_, 0, Qt::AlignHCenter);
    }
    if (caption) {
        v->addSpacing(4);
        digitalZoneLine_ = new FittedText(uiFont(18), 1.0, secondaryOf, block);
        digitalZoneLine_->setText(model_.clockTexts(clock, false));
        v->addWidget(digitalZoneLine_, 0, Qt::AlignHCenter);
    }
    if (!model_.activeAlarmsText().isEmpty()) {
        v->addSpacing(10);
        digitalAlarms_ = new FittedText(uiFont(15), 1.0, accentOf, block);
        digitalAlarms_->setText(model_.activeAlarmsText());
        v->addWidget(digitalAlarms_, 0, Qt::AlignHCenter);
    }
    digitalZone_ = clock.timeZone();
    digitalClock_ = clock;
    refreshTimeTexts(true);
    digitalScaler_->setContent(block);
}

void ClockView::refresh() {
    const AppSettings& s = model_.settings();
    header_->setVisible(s.showGreeting);
    Area wanted = Area::none;
    if (s.clocks.size() == 1)
        wanted = s.displayMode == ClockDisplayMode::digital ? Area::digital : Area::analog;
    else if (s.clocks.size() > 1)
        wanted = Area::grid;
    const bool insetsChanged = !areaWidget_ || s.showGreeting != shownFor_.showGreeting;
    if (wanted != area_ || insetsChanged) rebuildArea(wanted);

    if (area_ == Area::digital) {
        const ClockEntry& c = s.clocks.front();
        const bool same = digitalClock_ && *digitalClock_ == c && shownFor_.showDate == s.showDate &&
                          shownFor_.fontFamily == s.fontFamily && shownFor_.fontSize == s.fontSize &&
                          digitalScaler_->content();
        if (!same) buildDigitalBlock(c);
    }
    shownFor_ = s;
    refreshClocks();
    refreshHighlight();
    tick();
}

void ClockView::refreshClocks() {
    const AppSettings& s = model_.settings();
    if (area_ == Area::grid) {
        std::vector<GridClock> clocks;
        clocks.reserve(s.clocks.size());
        for (const ClockEntry& c : s.clocks)
            clocks.push_back(GridClock::from(c, model_.clockTitle(c), model_.clockTexts(c, s.showDate),
                                             model_.clockImage(c).value_or(QImage())));
        GridOptions o;
        o.mode = s.displayMode;
        o.dialStyle = s.dialStyle;
        o.smoothSeconds = s.smoothSecondHand;
        o.fontFamily = s.fontFamily;
        o.fontSize = s.fontSize;
        grid_->setOptions(o);
        grid_->setClocks(clocks);
        showAlarms();
    } else if (area_ == Area::analog) {
        const ClockEntry& c = s.clocks.front();
        AnalogClock clock;
        clock.smoothSeconds = s.smoothSecondHand;
        clock.style = c.dialStyle.value_or(s.dialStyle);
        clock.image = model_.clockImage(c).value_or(QImage());
        if (c.faceColor) clock.faceRGB = RGB::fromHex(*c.faceColor);
        clock.showSeconds = true;
        const bool caption = showsCaption(c);
        analog_->setClock(clock, c.timeZone(), caption, caption ? model_.clockTitle(c) : QString(),
                          caption ? model_.clockTexts(c, s.showDate) : QString());
        analog_->setNow(model_.now().toMSecsSinceEpoch());
    }
}

void ClockView::showAlarms() {
    // The one way the armed alarms reach the screen, when the area is built
    // and on every change: the model derives the text only after the view
    // exists (its first tick), so a path that only updated a line already
    // shown would leave the line out after start.
    const QString& text = model_.activeAlarmsText();
    if (alarmsLine_) {
        alarmsLine_->setText(text);
        alarmsLine_->setVisible(!text.isEmpty());
    }
    if (!digitalScaler_ || !digitalClock_) return;
    if ((digitalAlarms_ != nullptr) != !text.isEmpty()) {
        // The line comes or goes: the block is laid out anew (from a copy,
        // as building replaces the clock it keeps).
        const ClockEntry clock = *digitalClock_;
        buildDigitalBlock(clock);
    } else if (digitalAlarms_) {
        digitalAlarms_->setText(text);
        if (digitalScaler_->scale() < 1) digitalScaler_->update();
    }
}

void ClockView::refreshHighlight() {
    const auto& id = model_.highlightedClockID();
    if (grid_) grid_->setHighlightedClock(id);
    if (analog_) analog_->setHighlighted(id && *id == model_.settings().clocks.front().id);
}

void ClockView::refreshTimeTexts(bool force) {
    if (!digitalTime_) return;
    const qint64 second = model_.now().toSecsSinceEpoch();
    if (!force && second == shownSecond_) return;
    shownSecond_ = second;
    const ZoneFormatters& f = model_.dateText(digitalZone_);
    const QString time = f.time.format(model_.now());
    const bool changed = time != digitalTime_->layout().text();
    digitalTime_->setText(time);
    if (digitalDate_) digitalDate_->setText(f.date.format(model_.now()));
    // Shrunk, the block is painted from a rendering of it.
    if (changed && digitalScaler_ && digitalScaler_->scale() < 1) digitalScaler_->update();
}

void ClockView::tick() {
    const qint64 msecs = model_.now().toMSecsSinceEpoch();
    // Zone lines carry the offset and the date: both move at most on a
    // minute boundary.
    const qint64 minute = msecs / 60000;
    const bool minuteTurned = minute != shownMinute_;
    const bool firstMinute = shownMinute_ == std::numeric_limits<qint64>::min();
    shownMinute_ = minute;
    switch (area_) {
        case Area::grid:
            grid_->setNow(msecs);
            if (minuteTurned && !firstMinute) refreshClocks();
            break;
        case Area::analog:
            analog_->setNow(msecs);
            if (minuteTurned && !firstMinute) refreshClocks();
            break;
        case Area::digital:
            refreshTimeTexts(false);
            if (minuteTurned && digitalZoneLine_) {
                digitalZoneLine_->setText(model_.clockTexts(*digitalClock_, false));
                if (digitalScaler_->scale() < 1) digitalScaler_->update();
            }
            break;
        case Area::none:
            break;
    }
}

bool ClockView::event(QEvent* e) {
    if (e->type() == ThemeChangeEvent::eventType() && digitalTime_) {
        digitalTime_->setColor(themeOf(this).foreground.toQColor());
        if (digitalScaler_) digitalScaler_->update();
    }
    return QWidget::event(e);
}

}  // namespace corvane
