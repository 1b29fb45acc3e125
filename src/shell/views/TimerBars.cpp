#include "shell/views/TimerBars.h"

#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

#include "appmodel/AppModel.h"
#include "platform/Text.h"
#include "shell/components/IconButton.h"
#include "shell/components/Icons.h"
#include "shell/components/Theme.h"
#include "shell/layout/FlowLayout.h"

namespace corvane {

namespace {

constexpr double kButtonSide = 28;
constexpr double kButtonGap = 2;
constexpr double kFontSize = 15;
constexpr double kStatusSize = 11;
constexpr double kRadius = 18;
constexpr double kStopDisabledOpacity = 0.35;
constexpr QMargins kInsets(12, 4, 6, 4);  // left, top, right, bottom

QString numbered(const char* german, int index) { return tr(german).arg(index + 1); }

// Screen readers get the bar's line when they ask for it, so a running
// stopwatch doesn't build it 25 times a second.
class TimerBarAccessible : public QAccessibleWidget {
public:
    explicit TimerBarAccessible(QWidget* bar) : QAccessibleWidget(bar, QAccessible::Grouping) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return static_cast<const TimerBar*>(widget())->accessibleLabel();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* timerBarAccessible(const QString& key, QObject* object) {
    if (key == QLatin1String(TimerBar::staticMetaObject.className()) && object && object->isWidgetType())
        return new TimerBarAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

void installAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(timerBarAccessible);
        return true;
    }();
    (void)installed;
}

}  // namespace

namespace {

// What differs between a countdown's bar and a stopwatch's: the words (each
// its own German key) and the symbol.
struct BarWords {
    const char* title;
    const char* pause;
    const char* resume;
    const char* restart;
    const char* stop;
    const char* remove;
    const char* symbol;
};

constexpr BarWords kCountdownWords{"Timer %1",           "Timer %1 pausieren", "Timer %1 fortsetzen",
                                   "Timer %1 neu starten", "Timer %1 stoppen", "Timer %1 entfernen",
                                   "hourglass"};
constexpr BarWords kStopwatchWords{"Stoppuhr %1",           "Stoppuhr %1 pausieren", "Stoppuhr %1 fortsetzen",
                                   "Stoppuhr %1 neu starten", "Stoppuhr %1 stoppen", "Stoppuhr %1 entfernen",
                                   "stopwatch"};

TimerBarState barState(TimerBarState::Kind kind, int index, const BarWords& words, const QString& time,
                       bool running, bool paused, const QString& idleStatus, bool stopEnabled) {
    TimerBarState s;
    s.kind = kind;
    s.index = index;
    s.title = numbered(words.title, index);
    s.symbol = QString::fromLatin1(words.symbol);
    s.time = time;
    s.running = running;
    if (!running) s.status = idleStatus;
    s.toggleSymbol = running ? QStringLiteral("pause.fill") : QStringLiteral("play.fill");
    s.toggleHelp = numbered(running ? words.pause : paused ? words.resume : words.restart, index);
    s.stopHelp = numbered(words.stop, index);
    s.removeHelp = numbered(words.remove, index);
    s.stopEnabled = stopEnabled;
    return s;
}

}  // namespace

TimerBarState TimerBarState::countdown(const AppModel& model, int index) {
    const CountdownState state = model.countdownStates()[std::size_t(index)];
    const bool running = state == CountdownState::running;
    return barState(Kind::countdown, index, kCountdownWords, model.countdownTexts()[std::size_t(index)], running,
                    state == CountdownState::paused, running ? QString() : model.countdownStatusText(index),
                    state != CountdownState::idle);
}

TimerBarState TimerBarState::stopwatch(const AppModel& model, int index) {
    const StopwatchState state = model.stopwatchStates()[std::size_t(index)];
    const bool running = state == StopwatchState::running;
    return barState(Kind::stopwatch, index, kStopwatchWords, model.stopwatchTexts()[std::size_t(index)], running,
                    state == StopwatchState::paused, running ? QString() : model.stopwatchStatusText(index),
                    model.isStopwatchActive(index));
}

std::vector<TimerBarState> TimerBarState::of(const AppModel& model) {
    std::vector<TimerBarState> bars;
    for (int i = 0; i < 2; ++i) {
        const auto u = std::size_t(i);
        if (model.countdownStates()[u] != CountdownState::idle || model.countdownStopped()[u])
            bars.push_back(countdown(model, i));
    }
    for (int i = 0; i < 2; ++i)
        if (model.stopwatchStates()[std::size_t(i)] != StopwatchState::idle) bars.push_back(stopwatch(model, i));
    return bars;
}

// --- TimerBar ----------------------------------------------------------------

TimerBar::TimerBar(QWidget* parent)
    : QWidget(parent),
      font_(uiFont(kFontSize)),
      timeFont_(uiFont(kFontSize, QFont::DemiBold)),
      statusFont_(uiFont(kStatusSize)) {
    installAccessibility();
    symbol_ = &icons::path(QStringView());
    remeasure();
    buttons_[0] = new IconButton(QStringLiteral("play.fill"), {}, kButtonSide, this);
    buttons_[1] = new IconButton(QStringLiteral("stop.fill"), {}, kButtonSide, this);
    buttons_[2] = new IconButton(QStringLiteral("xmark"), {}, kButtonSide, this);
    buttons_[1]->setDisabledOpacity(kStopDisabledOpacity);
    connect(buttons_[0], &QAbstractButton::clicked, this, &TimerBar::togglePressed);
    connect(buttons_[1], &QAbstractButton::clicked, this, &TimerBar::stopPressed);
    connect(buttons_[2], &QAbstractButton::clicked, this, &TimerBar::removePressed);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void TimerBar::setTime(const QString& time) {
    if (time == state_.time) return;
    if (QFontMetricsF(timeFont_).horizontalAdvance(time) != metrics_.time) {
        TimerBarState next = state_;
        next.time = time;
        setState(next);
        return;
    }
    // A new reading of a running timer in the same width: only its digits
    // change, nothing needs measuring or placing again.
    state_.time = time;
    update(digitsRect());
}

QRect TimerBar::digitsRect() const {
    // The time's line, short of the plate's border above and below, so the
    // plate's outline is not drawn again 25 times a second.
    const QRectF time = timeRect();
    const double line = QFontMetricsF(timeFont_).height();
    const QRect r = QRectF(time.left() - 1, (height() - line) / 2 - 1, time.width() + 2, line + 2).toAlignedRect();
    return r.intersected(plateInterior());
}

QRect TimerBar::plateInterior() const {
    // Where the plate is its flat colour: inside the outline, between the
    // rounded ends.
    const QRectF plate = plateRect().adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(kRadius, plate.height() / 2);
    const QRectF flat = plate.adjusted(radius, 1, -radius, -1);
    return QRect(QPoint(int(std::ceil(flat.left())), int(std::ceil(flat.top()))),
                 QPoint(int(std::floor(flat.right())) - 1, int(std::floor(flat.bottom())) - 1));
}

void TimerBar::setState(const TimerBarState& state) {
    if (state == state_) return;
    state_ = state;
    const Metrics before = metrics_;
    remeasure();
    symbol_ = &icons::path(state_.symbol);
    buttons_[0]->setSymbol(state_.toggleSymbol);
    buttons_[0]->setHelp(state_.toggleHelp);
    buttons_[1]->setHelp(state_.stopHelp);
    buttons_[1]->setEnabled(state_.stopEnabled);
    buttons_[2]->setHelp(state_.removeHelp);
    if (!(metrics_ == before)) updateGeometry();
    place();
    update();
}

QString TimerBar::accessibleLabel() const {
    QString label = state_.title + QLatin1Char(' ') + state_.time;
    if (!state_.status.isEmpty()) label += QStringLiteral(", ") + state_.status;
    return label;
}

void TimerBar::remeasure() {
    const QFontMetricsF f(font_);
    const QFontMetricsF t(timeFont_);
    Metrics& m = metrics_;
    m.symbol = f.height();
    m.title = f.horizontalAdvance(state_.title);
    m.blank = t.horizontalAdvance(QLatin1Char(' '));
    m.time = t.horizontalAdvance(state_.time);
    m.status = state_.status.isEmpty() ? 0 : QFontMetricsF(statusFont_).horizontalAdvance(state_.status);
    m.buttons = 3 * kButtonSide + 2 * kButtonGap;
    m.height = std::max(kButtonSide, std::max(f.height(), t.height()));
}

double TimerBar::fullWidth() const {
    const Metrics& m = metrics_;
    return m.symbol + 8 + m.title + m.blank + m.time + (m.status > 0 ? 6 + m.status : 0) + 6 + m.buttons;
}

double TimerBar::compactWidth() const {
    const Metrics& m = metrics_;
    return m.symbol + 6 + m.time + 4 + m.buttons;
}

QSize TimerBar::sizeHint() const {
    return QSize(int(std::ceil(fullWidth())) + kInsets.left() + kInsets.right(),
                 int(std::ceil(metrics_.height)) + kInsets.top() + kInsets.bottom());
}

QSize TimerBar::minimumSizeHint() const {
    return QSize(int(std::ceil(compactWidth())) + kInsets.left() + kInsets.right(), sizeHint().height());
}

QRectF TimerBar::plateRect() const {
    // The plate hugs the chosen layout; a wider slot leaves it centred.
    const double content = compact_ ? compactWidth() : fullWidth();
    const double w = std::min<double>(width(), std::ceil(content) + kInsets.left() + kInsets.right());
    return QRectF((width() - w) / 2, 0, w, height());
}

double TimerBar::contentLeft() const { return plateRect().left() + kInsets.left(); }

QRectF TimerBar::timeRect() const {
    const Metrics& m = metrics_;
    double x = contentLeft() + m.symbol + (compact_ ? 6 : 8);
    if (!compact_) x += m.title + m.blank;
    return QRectF(x, 0, m.time, height());
}

void TimerBar::resizeEvent(QResizeEvent*) { place(); }

void TimerBar::place() {
    compact_ = width() < sizeHint().width();
    const double content = compact_ ? compactWidth() : fullWidth();
    double x = contentLeft() + content - metrics_.buttons;
    const int y = int(std::lround((height() - kButtonSide) / 2));
    for (IconButton* b : buttons_) {
        b->move(int(std::lround(x)), y);
        x += kButtonSide + kButtonGap;
    }
}

bool TimerBar::event(QEvent* e) {
    if (e->type() == ThemeChangeEvent::eventType()) update();
    return QWidget::event(e);
}

void TimerBar::paintEvent(QPaintEvent* event) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (plateInterior().contains(event->rect())) {
        // New digits of a running timer: the flat plate under them and the
        // time, nothing else.
        p.fillRect(event->rect(), theme.surface.toQColor());
        p.setFont(timeFont_);
        p.setPen(theme.foreground.toQColor());
        const QRectF time = timeRect();
        p.drawText(QRectF(time.left(), 0, time.width() + 1, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   state_.time);
        return;
    }
    const QRectF plate = plateRect().adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = std::min(kRadius, plate.height() / 2);
    QPainterPath shape;
    shape.addRoundedRect(plate, radius, radius);
    p.fillPath(shape, theme.surface.toQColor());
    QColor border = theme.border.toQColor();
    border.setAlphaF(0.6f);
    p.setPen(QPen(border, 1));
    p.drawPath(shape);

    const Metrics& m = metrics_;
    double x = contentLeft();
    const auto textAt = [&](const QString& text, const QFont& font, const QColor& color, double w) {
        p.setFont(font);
        p.setPen(color);
        p.drawText(QRectF(x, 0, w + 1, height()), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += w;
    };
    icons::draw(p, *symbol_, QRectF(x, (height() - m.symbol) / 2, m.symbol, m.symbol), theme.accent.toQColor());
    x += m.symbol + (compact_ ? 6 : 8);
    const QColor secondary = theme.secondaryForeground.toQColor();
    if (!compact_) {
        textAt(state_.title, font_, secondary, m.title);
        x += m.blank;
    }
    textAt(state_.time, timeFont_, theme.foreground.toQColor(), m.time);
    if (!compact_ && m.status > 0) {
        x += 6;
        textAt(state_.status, statusFont_, secondary, m.status);
    }
}

// --- TimerBars -------------------------------------------------------------------

TimerBars::TimerBars(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    flow_ = new FlowLayout(8, this);
    flow_->setContentsMargins(8, 0, 8, 10);
    // Not Fixed: a fixed height would hold the bars to their one-row height
    // and push wrapped rows out of the window.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    connect(&model_, &AppModel::countdownStatesChanged, this, &TimerBars::rebuild);
    connect(&model_, &AppModel::countdownStoppedChanged, this, &TimerBars::rebuild);
    connect(&model_, &AppModel::stopwatchStatesChanged, this, &TimerBars::rebuild);
    connect(&model_, &AppModel::countdownTextsChanged, this, &TimerBars::refreshTexts);
    connect(&model_, &AppModel::stopwatchTextsChanged, this, &TimerBars::refreshTexts);
    rebuild();
}

void TimerBars::connectBar(TimerBar* bar) {
    // The index is read from the bar when clicked: bars are reused for other
    // timers when the set changes.
    connect(bar, &TimerBar::togglePressed, this, [this, bar] {
        const TimerBarState& s = bar->state();
        if (s.kind == TimerBarState::Kind::countdown)
            model_.toggleCountdown(s.index);
        else
            model_.toggleStopwatch(s.index);
    });
    connect(bar, &TimerBar::stopPressed, this, [this, bar] {
        const TimerBarState& s = bar->state();
        if (s.kind == TimerBarState::Kind::countdown)
            model_.stopCountdown(s.index);
        else
            model_.stopwatchServices()[std::size_t(s.index)].stop();
    });
    connect(bar, &TimerBar::removePressed, this, [this, bar] {
        const TimerBarState& s = bar->state();
        if (s.kind == TimerBarState::Kind::countdown)
            model_.resetCountdown(s.index);
        else
            model_.stopwatchServices()[std::size_t(s.index)].reset();
    });
}

void TimerBars::rebuild() {
    const std::vector<TimerBarState> states = TimerBarState::of(model_);
    while (bars_.size() > states.size()) {
        TimerBar* bar = bars_.back();
        bars_.pop_back();
        flow_->removeWidget(bar);
        bar->hide();
        bar->deleteLater();
    }
    while (bars_.size() < states.size()) {
        auto* bar = new TimerBar(this);
        connectBar(bar);
        flow_->addWidget(bar);
        bars_.push_back(bar);
        bar->show();
    }
    for (std::size_t i = 0; i < states.size(); ++i) bars_[i]->setState(states[i]);
    // Without bars the view takes no space, its insets included.
    setVisible(!bars_.empty());
    updateGeometry();
}

void TimerBars::refreshTexts() {
    for (TimerBar* bar : bars_) {
        const TimerBarState& s = bar->state();
        const QString& text = s.kind == TimerBarState::Kind::countdown
                                  ? model_.countdownTexts()[std::size_t(s.index)]
                                  : model_.stopwatchTexts()[std::size_t(s.index)];
        bar->setTime(text);
    }
}

int TimerBars::heightForWidth(int width) const { return bars_.empty() ? 0 : flow_->heightForWidth(width); }

QSize TimerBars::sizeHint() const { return bars_.empty() ? QSize(0, 0) : flow_->sizeHint(); }

}  // namespace corvane
