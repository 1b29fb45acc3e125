#include "settings/display/DisplayPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

#include "appmodel/AppModel.h"
#include "settings/Pages.h"
#include "settings/TwoColumns.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DialGalleryCard.h"
#include "settings/kit/Bindings.h"
#include "shell/components/Card.h"
#include "shell/components/ScaleDownToFit.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"
#include "shell/digital/FontFamilies.h"

namespace corvane {

namespace {

// The rounded plate the font preview sits on, in the window's background
// colour so the digits look as they will on the clock.
class PreviewPlate : public QWidget {
public:
    explicit PreviewPlate(QWidget* parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(themeOf(this).background.toQColor());
        p.drawRoundedRect(QRectF(rect()), 6, 6);
    }
    bool event(QEvent* event) override {
        if (event->type() == ThemeChangeEvent::eventType()) update();
        return QWidget::event(event);
    }
};

QWidget* spaced(QWidget* widget, int top, int bottom = 0) {
    widget->setContentsMargins(0, top, 0, bottom);
    return widget;
}

}  // namespace

QWidget* makeDisplayPage(AppModel& model, QWidget* parent) { return new DisplaySettings(model, parent); }

DisplaySettings::DisplaySettings(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->setSpacing(12);
    clocks_ = new ClocksCard(model_, this);
    page->addWidget(clocks_);
    auto* columns = new TwoColumns(this);
    columns->addLeft(makeModeCard());
    columns->addLeft(makeFontCard());
    gallery_ = new DialGalleryCard(model_, this);
    columns->addRight(gallery_);
    page->addWidget(columns);
    page->addStretch(1);

    connect(&model_, &AppModel::settingsChanged, this, &DisplaySettings::refresh);
    refresh();
}

QWidget* DisplaySettings::makeModeCard() {
    auto* card = new Card(QMargins(14, 12, 14, 12), this);
    card->addWidget(new SectionTitle(tr("Anzeigemodus"), card));

    auto* segments = new QWidget(card);
    segments->setMaximumWidth(220);
    auto* row = new QHBoxLayout(segments);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    analog_ = new ThemedButton(tr("Analog"), segments);
    digital_ = new ThemedButton(tr("Digital"), segments);
    auto* group = new QButtonGroup(segments);
    for (ThemedButton* b : {analog_, digital_}) {
        b->setCheckable(true);
        group->addButton(b);
        row->addWidget(b, 1);
    }
    connect(analog_, &QAbstractButton::clicked, this,
            [this] { model_.editSettings([](AppSettings& s) { s.displayMode = ClockDisplayMode::analog; }); });
    connect(digital_, &QAbstractButton::clicked, this,
            [this] { model_.editSettings([](AppSettings& s) { s.displayMode = ClockDisplayMode::digital; }); });
    card->contentLayout()->addWidget(segments);

    smooth_ = new QCheckBox(tr("Sekundenzeiger flüssig bewegen"), card);
    bindToggle(smooth_, model_, [](const AppSettings& s) { return s.smoothSecondHand; },
               [](AppSettings& s, bool on) { s.smoothSecondHand = on; });
    card->addWidget(spaced(smooth_, 10));
    date_ = new QCheckBox(tr("Datum anzeigen"), card);
    bindToggle(date_, model_, [](const AppSettings& s) { return s.showDate; },
               [](AppSettings& s, bool on) { s.showDate = on; });
    card->addWidget(spaced(date_, 6));
    return card;
}

QWidget* DisplaySettings::makeFontCard() {
    auto* card = new Card(QMargins(14, 12, 14, 12), this);
    card->addWidget(new SectionTitle(tr("Schrift der Digitaluhr"), card));
    card->addWidget(spaced(new Caption(tr("Schriftart"), card), 0, 4));

    fonts_ = new QComboBox(card);
    fonts_->setAccessibleName(tr("Schriftart"));
    fonts_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    fonts_->setMinimumContentsLength(12);
    fonts_->addItems(model_.fontFamilies());
    connect(fonts_, &QComboBox::activated, this, [this](int index) { chooseFamily(fonts_->itemText(index)); });
    card->contentLayout()->addWidget(fonts_);

    card->addWidget(spaced(new Caption(tr("Schriftgröße"), card), 10));
    auto* sizeRow = new QHBoxLayout;
    size_ = new QSlider(Qt::Horizontal, card);
    size_->setRange(int(AppSettings::kMinFontSize), int(AppSettings::kMaxFontSize));
    size_->setSingleStep(1);
    size_->setPageStep(10);
    size_->setAccessibleName(tr("Schriftgröße"));
    connect(size_, &QSlider::valueChanged, this, [this](int value) {
        const double size = sliderFontSize(value);
        model_.editSettings([size](AppSettings& s) { s.fontSize = size; });
    });
    sizeRow->addWidget(size_, 1);
    sizeText_ = new ThemedLabel(QString(), 13, QFont::Normal, ThemedLabel::Tone::foreground, card);
    sizeText_->setFixedWidth(56);
    sizeText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    sizeRow->addWidget(sizeText_);
    card->contentLayout()->addLayout(sizeRow);

    auto* plate = new PreviewPlate(card);
    plate->setFixedHeight(64);
    auto* plateLayout = new QVBoxLayout(plate);
    plateLayout->setContentsMargins(8, 4, 8, 4);
    previewFit_ = new ScaleDownToFit(plate);
    preview_ = new ThemedLabel(tr("12:34:56"), 44, QFont::DemiBold, ThemedLabel::Tone::foreground);
    previewFit_->setContent(preview_);
    plateLayout->addWidget(previewFit_);
    card->contentLayout()->addSpacing(10);
    card->contentLayout()->addWidget(plate);

    card->contentLayout()->addWidget(
        spaced(new Caption(tr("Die Uhrzeit wird bei kleinen Fenstern automatisch verkleinert."), card), 6));
    return card;
}

double DisplaySettings::sliderFontSize(double value) {
    if (!std::isfinite(value)) return AppSettings::kDefaultFontSize;
    return std::clamp(std::round(value), AppSettings::kMinFontSize, AppSettings::kMaxFontSize);
}

QFont DisplaySettings::previewFont(const QString& family) {
    if (installedFontFamilies().contains(family)) return sizedFont(QFont(family), 44, QFont::DemiBold);
    return uiFont(44, QFont::DemiBold);
}

void DisplaySettings::chooseFamily(const QString& family) {
    model_.editSettings([&](AppSettings& s) {
        // The model keeps a stored name as it was typed; a name taken from
        // the picker is a family name, and blanks around it name nothing.
        s.fontFamily = family.trimmed();
        s.normalizeFontFamily();
    });
}

void DisplaySettings::refresh() {
    const AppSettings& s = model_.settings();
    analog_->setChecked(s.displayMode == ClockDisplayMode::analog);
    digital_->setChecked(s.displayMode == ClockDisplayMode::digital);
    // The chosen segment is the filled one.
    analog_->setAccent(analog_->isChecked());
    digital_->setAccent(digital_->isChecked());

    int index = fonts_->findText(s.fontFamily, Qt::MatchExactly);
    if (index < 0) {
        // A family stored after the list was made stays choosable.
        fonts_->insertItem(0, s.fontFamily);
        index = 0;
    }
    if (fonts_->currentIndex() != index) fonts_->setCurrentIndex(index);

    {
        const QSignalBlocker block(size_);
        size_->setValue(int(sliderFontSize(s.fontSize)));
    }
    sizeText_->setText(QString::asprintf("%.0f\u00A0pt", s.fontSize));

    const QFont font = previewFont(s.fontFamily);
    if (preview_->font() != font) {
        preview_->setFont(font);
        preview_->adjustSize();
        previewFit_->update();
    }
}

}  // namespace corvane
