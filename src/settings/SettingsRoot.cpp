#include "settings/SettingsRoot.h"

#include <QLabel>
#include <cstdio>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "appmodel/AppModel.h"
#include "platform/Text.h"
#include "settings/Pages.h"
#include "settings/kit/SettingsPalette.h"
#include "settings/kit/WheelGuard.h"
#include "shell/components/Icons.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"

namespace corvane {

namespace {

// Row geometry of a category button.
constexpr int kBarWidth = 3;
constexpr int kBarHeight = 16;
constexpr int kIconBox = 18;
constexpr int kIconGap = 8;
constexpr int kTitleGap = 8;
constexpr int kPadV = 7;
constexpr int kPadH = 4;
constexpr double kTitleSize = 14;

// A sidebar surface with its divider on the trailing edge.
class Sidebar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        const ThemeColors& t = themeOf(this);
        QPainter p(this);
        p.fillRect(rect(), t.surface.toQColor());
        p.fillRect(QRect(width() - 1, 0, 1, height()), t.border.toQColor());
    }
};

// The scroll area's content: the page, 8 below it, top-left aligned.
QWidget* pageHolder(QWidget* page) {
    auto* holder = new QWidget;
    holder->setAutoFillBackground(false);
    auto* box = new QVBoxLayout(holder);
    box->setContentsMargins(0, 0, 0, 8);
    box->setSpacing(0);
    box->addWidget(page);
    box->addStretch(1);
    return holder;
}

}  // namespace

// --- CategoryButton ------------------------------------------------------------

CategoryButton::CategoryButton(AppModel& model, SettingsCategory category, QWidget* parent)
    : QAbstractButton(parent),
      model_(model),
      category_(category),
      symbol_(&icons::path(symbolOf(category))) {
    setText(title(category));
    setAccessibleName(text());
    setFont(uiFont(kTitleSize));
    // A click takes the focus too: the keyboard goes on from the category
    // shown, not from a control of the page that was just taken away.
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] { model_.setSelectedCategory(category_); });
}

QString CategoryButton::symbolOf(SettingsCategory category) {
    switch (category) {
        case SettingsCategory::general: return QStringLiteral("gearshape");
        case SettingsCategory::display: return QStringLiteral("clock");
        case SettingsCategory::worldMap: return QStringLiteral("globe.europe.africa");
        case SettingsCategory::design: return QStringLiteral("paintpalette");
        case SettingsCategory::alarms: return QStringLiteral("alarm");
        case SettingsCategory::countdown: return QStringLiteral("hourglass");
        case SettingsCategory::stopwatch: return QStringLiteral("stopwatch");
        case SettingsCategory::about: return QStringLiteral("info.circle");
    }
    return {};
}

bool CategoryButton::isSelected() const { return model_.selectedCategory() == category_; }

QSize CategoryButton::sizeHint() const {
    const int content = std::max(kBarHeight, fontMetrics().height());
    const int width = kPadH + kBarWidth + kIconGap + kIconBox + kTitleGap +
                      fontMetrics().horizontalAdvance(text()) + kPadH;
    return {width, content + 2 * kPadV};
}

void CategoryButton::paintEvent(QPaintEvent*) {
    const ThemeColors& t = themeOf(this);
    const bool selected = isSelected();
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(t.control.toQColor());
        p.drawRoundedRect(QRectF(rect()), 6, 6);
    }
    const double midY = height() / 2.0;
    double x = kPadH;
    if (selected) {
        p.setPen(Qt::NoPen);
        p.setBrush(t.accent.toQColor());
        p.drawRoundedRect(QRectF(x, midY - kBarHeight / 2.0, kBarWidth, kBarHeight), 1.5, 1.5);
    }
    x += kBarWidth + kIconGap;
    const QColor iconColor = (selected ? t.accent : t.secondaryForeground).toQColor();
    icons::draw(p, *symbol_, QRectF(x + 1, midY - (kIconBox - 2) / 2.0, kIconBox - 2, kIconBox - 2), iconColor);
    x += kIconBox + kTitleGap;
    p.setPen(t.foreground.toQColor());
    p.setFont(font());
    p.drawText(QRectF(x, 0, width() - x - kPadH, height()), Qt::AlignVCenter | Qt::AlignLeft, text());
}

// --- SettingsView ------------------------------------------------------------------

SettingsView::SettingsView(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    setFont(uiFont(13));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    sidebar_ = new Sidebar(this);
    sidebar_->setFixedWidth(kSidebarWidth);
    auto* side = new QVBoxLayout(sidebar_);
    side->setContentsMargins(12, 12, 12, 12);
    side->setSpacing(0);
    auto* heading = new ThemedLabel(tr("Einstellungen"), 20, QFont::DemiBold, ThemedLabel::Tone::foreground);
    heading->setContentsMargins(4, 30, 0, 12);
    side->addWidget(heading);
    for (SettingsCategory category : EnumCases<SettingsCategory>::values) {
        auto* button = new CategoryButton(model_, category, sidebar_);
        buttons_.push_back(button);
        side->addWidget(button);
        side->addSpacing(3);
    }
    side->addStretch(1);
    auto* note = new Caption(tr("Änderungen sind sofort in der Uhr zu sehen und werden automatisch gespeichert."));
    note->setContentsMargins(4, 0, 0, 0);
    side->addWidget(note);
    row->addWidget(sidebar_);

    auto* pane = new QWidget(this);
    auto* column = new QVBoxLayout(pane);
    column->setContentsMargins(22, 8, 22, 16);
    column->setSpacing(0);
    title_ = new ThemedLabel(QString(), 24, QFont::DemiBold, ThemedLabel::Tone::foreground);
    title_->setContentsMargins(0, 22, 0, 14);
    column->addWidget(title_);
    scroll_ = new QScrollArea(pane);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The pane's background shows through; pages paint only their cards.
    scroll_->viewport()->setAutoFillBackground(false);
    scroll_->setAutoFillBackground(false);
    // No Tab stop of its own: it shows no focus, and it scrolls to whatever
    // control inside takes the focus.
    scroll_->setFocusPolicy(Qt::NoFocus);
    column->addWidget(scroll_, 1);
    row->addWidget(pane, 1);

    connect(&model_, &AppModel::selectedCategoryChanged, this, &SettingsView::showSelectedPage);
    showSelectedPage();
}

void SettingsView::showSelectedPage() {
    const SettingsCategory category = model_.selectedCategory();
    title_->setText(title(category));
    for (CategoryButton* button : buttons_) button->update();
    // A fresh page: only what lives in the model survives a change of page.
    page_ = makePage(category, model_, nullptr);
    scroll_->setWidget(pageHolder(page_));  // deletes the previous page
    // The scroll area fills its content with the window colour; the pane's
    // background should show instead.
    scroll_->widget()->setAutoFillBackground(false);
    scroll_->verticalScrollBar()->setValue(0);
}

// --- SettingsRoot --------------------------------------------------------------------

SettingsRoot::SettingsRoot(AppModel& model, QWidget* parent)
    : QWidget(parent), model_(model), provider_(new ThemeProvider(this)) {
    if (qEnvironmentVariableIsSet("CORVANE_REPORT_FIRST_FRAME")) opening_.start();
    setMinimumSize(kMinWidth, kMinHeight);
    ThemeProvider::attach(this, provider_);
    // The pages scroll under the pointer; their controls change only once
    // the user went to them.
    keepWheelForScrolling(this);
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    view_ = new SettingsView(model_, this);
    box->addWidget(view_);
    applyTheme();
    connect(&model_, &AppModel::themeChanged, this, &SettingsRoot::applyTheme);
}

void SettingsRoot::applyTheme() {
    const ThemeColors& t = model_.theme();
    // The palette first, so the labels that refresh on the provider's
    // announcement already sit in it. No style sheet: a sheet on an ancestor
    // makes every control below take the application's palette instead.
    setPalette(settingsPalette(t));
    provider_->setColors(t);
    update();
}

void SettingsRoot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), themeOf(this).background.toQColor());
    if (opening_.isValid()) {
        // For the opening-time measurement (bench/settings_cpu_under_xvfb.sh).
        std::fprintf(stderr, "corvane: settings window painted %lld ms after it was made\n", opening_.elapsed());
        opening_.invalidate();
    }
}

}  // namespace corvane
