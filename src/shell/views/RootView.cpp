#include "shell/views/RootView.h"

#include <QCoreApplication>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QShortcut>
#include <QVBoxLayout>
#include <QVariantAnimation>

#include "appmodel/AppModel.h"
#include "platform/Text.h"
#include "shell/components/IconButton.h"
#include "shell/components/Icons.h"
#include "shell/components/ScaleDownToFit.h"
#include "shell/components/Theme.h"
#include "shell/ViewFactories.h"
#include "shell/components/ThemedButton.h"
#include "shell/views/ClockView.h"
#include "shell/views/FittedText.h"
#include "shell/views/TimerBars.h"

namespace corvane {

namespace {

void setLabelColor(QLabel* label, const QColor& color) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, color);
    label->setPalette(p);
}

QLabel* plainLabel(const QString& text, const QFont& font, QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setFont(font);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

}  // namespace

// A symbol in a palette colour.
class SymbolMark : public QWidget {
public:
    SymbolMark(const QString& symbol, double side, QWidget* parent)
        : QWidget(parent), path_(icons::path(symbol)) {
        setFixedSize(int(side), int(side));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        icons::draw(p, path_, QRectF(rect()), themeOf(this).accent.toQColor());
    }

private:
    const QPainterPath& path_;
};

class BellSymbol : public SymbolMark {
public:
    explicit BellSymbol(QWidget* parent) : SymbolMark(QStringLiteral("bell.fill"), 36, parent) {}
};

// The old screen's last picture, fading out over the new one.
class FadeLayer : public QWidget {
public:
    explicit FadeLayer(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        animation_ = new QVariantAnimation(this);
        animation_->setDuration(RootView::kCrossFadeMs);
        animation_->setStartValue(1.0);
        animation_->setEndValue(0.0);
        animation_->setEasingCurve(QEasingCurve::InOutQuad);
        QObject::connect(animation_, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) {
            opacity_ = v.toDouble();
            update();
        });
        QObject::connect(animation_, &QVariantAnimation::finished, this, [this] {
            picture_ = QPixmap();
            hide();
        });
        hide();
    }

    void start(QPixmap picture) {
        picture_ = std::move(picture);
        opacity_ = 1.0;
        show();
        raise();
        animation_->stop();
        animation_->start();
    }
    bool running() const { return animation_->state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setOpacity(opacity_);
        p.drawPixmap(0, 0, picture_);
    }

private:
    QPixmap picture_;
    double opacity_ = 1.0;
    QVariantAnimation* animation_;
};

// --- MainWorldMap ----------------------------------------------------------------

MainWorldMap::MainWorldMap(AppModel& model, QWidget* parent) : QWidget(parent) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(6);
    header_ = new QWidget(this);
    auto* row = new QHBoxLayout(header_);
    // The left margin keeps the window buttons free.
    row->setContentsMargins(82, 14, 12, 0);
    row->setSpacing(6);
    row->addWidget(new SymbolMark(QStringLiteral("globe.europe.africa.fill"), 18, header_));
    auto* title = new FittedText(uiFont(15, QFont::DemiBold), 1.0,
                                 [](const ThemeColors& t) { return t.foreground.toQColor(); }, header_);
    title->setText(tr("Weltkarte"));
    row->addWidget(title);
    auto* hint = new FittedText(uiFont(12), 0.7,
                                [](const ThemeColors& t) { return t.secondaryForeground.toQColor(); }, header_);
    hint->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hint->setText(tr("· Maus auf eine Stadt für Uhrzeit und „Hinzufügen“"));
    row->addWidget(hint, 1);
    row->addSpacing(100);
    v->addWidget(header_);
    // Without a map (the shell's own tests) the space stays empty.
    const ViewFactory& makeMap = viewFactories().worldMap;
    QWidget* area = makeMap ? makeMap(model, this) : new QWidget(this);
    area->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    auto* areaBox = new QVBoxLayout;
    areaBox->setContentsMargins(12, 0, 12, 8);
    areaBox->addWidget(area);
    v->addLayout(areaBox, 1);
    v->addWidget(new TimerBars(model, this));
}

// --- AlertCard ---------------------------------------------------------------------

AlertCard::AlertCard(const AlertItem& alert, bool radioFellBack, QWidget* parent)
    : QWidget(parent), id_(alert.id) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(36, 24, 36, 24);
    v->setSpacing(0);
    bell_ = new BellSymbol(this);
    v->addWidget(bell_, 0, Qt::AlignHCenter);
    v->addSpacing(8);
    title_ = plainLabel(alert.title, uiFont(30, QFont::DemiBold), this);
    v->addWidget(title_);
    v->addSpacing(4);
    subtitle_ = plainLabel(alert.subtitle, uiFont(15), this);
    subtitle_->setWordWrap(true);
    v->addWidget(subtitle_);
    if (radioFellBack) {
        v->addSpacing(4);
        fallback_ = plainLabel(fallbackText(), uiFont(13, QFont::DemiBold), this);
        fallback_->setWordWrap(true);
        setLabelColor(fallback_, QColor(247, 167, 0));
        v->addWidget(fallback_);
    }
    v->addSpacing(18);
    button_ = new ThemedButton(tr("Alarm beenden"), this);
    button_->setAccent(true);
    button_->setLabelFont(uiFont(17));
    button_->setFixedSize(200, 44);
    v->addWidget(button_, 0, Qt::AlignHCenter);
    connect(button_, &QAbstractButton::clicked, this, [this] { Q_EMIT dismissRequested(id_); });
    setMinimumWidth(kMinWidth);
    applyTheme();
}

QSize AlertCard::sizeHint() const { return QWidget::sizeHint().expandedTo(QSize(kMinWidth, 0)); }

QString AlertCard::fallbackText() { return tr("Sonvela bleibt stumm – deshalb klingelt der Alarmton."); }
QString AlertCard::titleText() const { return title_->text(); }
QString AlertCard::subtitleText() const { return subtitle_->text(); }
bool AlertCard::showsFallback() const { return fallback_ != nullptr; }

void AlertCard::applyTheme() {
    const ThemeColors& t = themeOf(this);
    setLabelColor(title_, t.foreground.toQColor());
    setLabelColor(subtitle_, t.secondaryForeground.toQColor());
}

bool AlertCard::event(QEvent* e) {
    if (e->type() == ThemeChangeEvent::eventType() || e->type() == QEvent::ParentChange) applyTheme();
    return QWidget::event(e);
}

void AlertCard::paintEvent(QPaintEvent*) {
    const ThemeColors& t = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 12, 12);
    p.fillPath(shape, t.surface.toQColor());
    p.setPen(QPen(t.accent.toQColor(), 2));
    p.drawPath(shape);
}

// --- AlertOverlay --------------------------------------------------------------------

AlertOverlay::AlertOverlay(QWidget* parent) : QWidget(parent) {
    scaler_ = new ScaleDownToFit(this);
    hide();
}

void AlertOverlay::setAlerts(const std::vector<AlertItem>& alerts, const QSet<QString>& radioFallbacks) {
    auto* stack = new QWidget;
    auto* v = new QVBoxLayout(stack);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(12);
    cards_.clear();
    for (const AlertItem& a : alerts) {
        auto* card = new AlertCard(a, radioFallbacks.contains(a.id), stack);
        connect(card, &AlertCard::dismissRequested, this, &AlertOverlay::dismissRequested);
        v->addWidget(card, 0, Qt::AlignHCenter);
        cards_.push_back(card);
    }
    // Cards learn the palette from the window they now belong to.
    scaler_->setContent(stack);
    for (AlertCard* c : cards_) {
        ThemeChangeEvent changed;
        QCoreApplication::sendEvent(c, &changed);
    }
    setVisible(!alerts.empty());
    if (!alerts.empty()) raise();
}

void AlertOverlay::resizeEvent(QResizeEvent*) { scaler_->setGeometry(rect().adjusted(16, 16, -16, -16)); }

void AlertOverlay::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(0, 0, 0, 153));
}

// --- RootView --------------------------------------------------------------------

RootView::RootView(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    // It fills every pixel itself, so the window below never repaints with
    // the clocks.
    setAttribute(Qt::WA_OpaquePaintEvent);

    fade_ = new FadeLayer(this);

    toolbar_ = new QWidget(this);
    auto* row = new QHBoxLayout(toolbar_);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    mapButton_ = new IconButton(QStringLiteral("globe.europe.africa"), {}, 34, toolbar_);
    pinButton_ = new IconButton(QStringLiteral("pin"), {}, 34, toolbar_);
    settingsButton_ = new IconButton(QStringLiteral("gearshape"), tr("Einstellungen (Strg+,)"), 34, toolbar_);
    for (IconButton* b : {mapButton_, pinButton_, settingsButton_}) row->addWidget(b, 0, Qt::AlignVCenter);
    connect(mapButton_, &QAbstractButton::clicked, this, &RootView::toggleAnimation);
    connect(pinButton_, &QAbstractButton::clicked, this, &RootView::toggleTopmost);
    connect(settingsButton_, &QAbstractButton::clicked, this, [this] { model_.openSettings(); });
    toolbarEffect_ = new QGraphicsOpacityEffect(toolbar_);
    toolbarEffect_->setOpacity(0.0);
    toolbar_->setGraphicsEffect(toolbarEffect_);
    toolbarAnimation_ = new QPropertyAnimation(toolbarEffect_, "opacity", this);
    toolbarAnimation_->setEasingCurve(QEasingCurve::OutQuad);

    overlay_ = new AlertOverlay(this);
    connect(overlay_, &AlertOverlay::dismissRequested, this, [this](const QString& id) { model_.dismissAlert(id); });
    // Return ends the newest alert, whichever control has the focus.
    for (int key : {int(Qt::Key_Return), int(Qt::Key_Enter)}) {
        auto* s = new QShortcut(QKeySequence(key), this);
        s->setContext(Qt::WindowShortcut);
        s->setEnabled(false);
        connect(s, &QShortcut::activated, this, &RootView::dismissNewest);
        returnKeys_.push_back(s);
    }

    connect(&model_, &AppModel::settingsChanged, this, [this] {
        if (model_.settings().showWorldMap != showingMap_) showScreen(animateSwitch_);
        refreshToolbar();
    });
    connect(&model_, &AppModel::alertsChanged, this, &RootView::refreshAlerts);
    connect(&model_, &AppModel::radioFallbackAlertsChanged, this, &RootView::refreshAlerts);
    applyPalette();
    showScreen(false);
    refreshToolbar();
    refreshAlerts();
}

RootView::~RootView() = default;

ClockView* RootView::clockView() const { return qobject_cast<ClockView*>(screen_); }
MainWorldMap* RootView::worldMap() const { return qobject_cast<MainWorldMap*>(screen_); }
double RootView::toolbarOpacity() const { return toolbarEffect_->opacity(); }
bool RootView::isCrossFading() const { return fade_->running(); }

void RootView::showScreen(bool animated) {
    QPixmap old;
    if (animated && screen_ && screen_->isVisible() && width() > 0 && height() > 0) old = screen_->grab();
    delete screen_;
    showingMap_ = model_.settings().showWorldMap;
    if (showingMap_)
        screen_ = new MainWorldMap(model_, this);
    else
        screen_ = new ClockView(model_, this);
    screen_->setGeometry(rect());
    screen_->show();
    screen_->lower();
    if (!old.isNull()) {
        fade_->setGeometry(rect());
        fade_->start(std::move(old));
    }
    toolbar_->raise();
    overlay_->raise();
}

void RootView::refreshToolbar() {
    const AppSettings& s = model_.settings();
    mapButton_->setSymbol(s.showWorldMap ? QStringLiteral("clock") : QStringLiteral("globe.europe.africa"));
    mapButton_->setHelp(s.showWorldMap ? tr("Zurück zu den Uhren") : tr("Weltkarte anzeigen"));
    mapButton_->setActive(s.showWorldMap);
    pinButton_->setSymbol(s.topmost ? QStringLiteral("pin.fill") : QStringLiteral("pin"));
    pinButton_->setHelp(s.topmost ? tr("Immer im Vordergrund – aus") : tr("Immer im Vordergrund"));
    pinButton_->setActive(s.topmost);
}

void RootView::refreshAlerts() {
    overlay_->setAlerts(model_.alerts(), model_.radioFallbackAlerts());
    overlay_->setGeometry(rect());
    for (QShortcut* s : returnKeys_) s->setEnabled(!model_.alerts().empty());
}

void RootView::dismissNewest() {
    if (model_.alerts().empty()) return;
    // A copy: ending the alert changes the list.
    const QString id = model_.alerts().back().id;
    model_.dismissAlert(id);
}

void RootView::toggleAnimation() {
    animateSwitch_ = true;
    toggleWorldMap();
    animateSwitch_ = false;
}

void RootView::toggleWorldMap() {
    model_.editSettings([](AppSettings& s) { s.showWorldMap = !s.showWorldMap; });
}

void RootView::toggleTopmost() {
    model_.editSettings([](AppSettings& s) { s.topmost = !s.topmost; });
}

void RootView::setControlsVisible(bool visible) {
    if (visible == controlsVisible_) return;
    controlsVisible_ = visible;
    toolbarAnimation_->stop();
    toolbarAnimation_->setDuration(visible ? kShowControlsMs : kHideControlsMs);
    toolbarAnimation_->setStartValue(toolbarEffect_->opacity());
    toolbarAnimation_->setEndValue(visible ? 1.0 : 0.0);
    toolbarAnimation_->start();
}

void RootView::enterEvent(QEnterEvent*) { setControlsVisible(true); }
void RootView::leaveEvent(QEvent*) { setControlsVisible(false); }

void RootView::place() {
    if (screen_) screen_->setGeometry(rect());
    fade_->setGeometry(rect());
    toolbar_->adjustSize();
    toolbar_->move(width() - 8 - toolbar_->width(), 8);
    overlay_->setGeometry(rect());
}

void RootView::resizeEvent(QResizeEvent*) { place(); }

void RootView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(event->rect(), themeOf(this).background.toQColor());
}

void RootView::applyPalette() {
    // Standard controls below follow the palette's light or dark scheme.
    const ThemeColors& t = themeOf(this);
    QPalette p = palette();
    p.setColor(QPalette::Window, t.background.toQColor());
    p.setColor(QPalette::Base, t.surface.toQColor());
    p.setColor(QPalette::WindowText, t.foreground.toQColor());
    p.setColor(QPalette::Text, t.foreground.toQColor());
    p.setColor(QPalette::ButtonText, t.foreground.toQColor());
    p.setColor(QPalette::PlaceholderText, t.secondaryForeground.toQColor());
    p.setColor(QPalette::Highlight, t.accent.toQColor());
    p.setColor(QPalette::ToolTipBase, t.surface.toQColor());
    p.setColor(QPalette::ToolTipText, t.foreground.toQColor());
    if (p != palette()) setPalette(p);
}

bool RootView::event(QEvent* e) {
    if (e->type() == ThemeChangeEvent::eventType() || e->type() == QEvent::ParentChange) {
        applyPalette();
        update();
    }
    return QWidget::event(e);
}

}  // namespace corvane
