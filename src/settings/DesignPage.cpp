#include "settings/DesignPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QSlider>

#include "appmodel/AppModel.h"
#include "platform/Text.h"
#include "settings/Pages.h"
#include "settings/TwoColumns.h"
#include "settings/kit/Bindings.h"
#include "settings/kit/ColorButton.h"
#include "settings/kit/FormGrid.h"
#include "settings/kit/Padded.h"
#include "settings/kit/WrappingCheckBox.h"
#include "shell/components/Card.h"
#include "shell/components/NumberPicker.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"

namespace corvane {

QString transitionText(int minutes) {
    return minutes == 0 ? tr("Kein Übergang") : tr("%1\u00A0Minuten").arg(minutes);
}

namespace {

RGB storedColor(const AppModel& model) {
    return RGB::fromHex(model.settings().customBackgroundColor).value_or(RGB{});
}

// One colour of the 72: framed in the accent while it is the own background
// colour in use.
class SwatchButton : public QAbstractButton {
public:
    SwatchButton(AppModel& model, const ColorSwatch& swatch)
        : model_(model), hex_(swatch.hex), color_(RGB::fromHex(swatch.hex).value_or(RGB{}).toQColor()) {
        setToolTip(swatch.name);
        setAccessibleName(swatch.name);
        setFixedHeight(20);
        setMinimumWidth(10);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setCursor(Qt::PointingHandCursor);
        // Checked while selected, so the selection is also announced.
        setCheckable(true);
        connect(this, &QAbstractButton::clicked, this, [this] {
            model_.applyBackgroundHex(hex_);
            refresh();
        });
    }
    void refresh() {
        const bool selected = isSelected();
        if (isChecked() != selected) setChecked(selected);
        update();
    }
    bool isSelected() const {
        const AppSettings& s = model_.settings();
        return s.useCustomBackground && s.customBackgroundColor.compare(hex_, Qt::CaseInsensitive) == 0;
    }
    QSize sizeHint() const override { return {24, 20}; }

protected:
    void paintEvent(QPaintEvent*) override {
        const ThemeColors& t = themeOf(this);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const bool selected = isSelected();
        const double w = selected ? 2.5 : 1.0;
        const QRectF r = QRectF(rect()).adjusted(w / 2, w / 2, -w / 2, -w / 2);
        p.setBrush(color_);
        p.setPen(selected ? QPen(t.accent.toQColor(), w) : QPen(t.border.toQColor(0.5), w));
        p.drawRoundedRect(r, 4, 4);
    }

private:
    AppModel& model_;
    QString hex_;
    QColor color_;
};

// The stored colour as a 30 x 30 square.
class ColorPreview : public QWidget {
public:
    explicit ColorPreview(AppModel& model) : model_(model) { setFixedSize(30, 30); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(storedColor(model_).toQColor());
        p.setPen(QPen(themeOf(this).border.toQColor(), 1.0));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    }

private:
    AppModel& model_;
};

// The dusk's evaluation: its status over the brightness, on the background.
class StatusBox : public QWidget {
public:
    StatusBox() {
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(10, 8, 10, 8);
        box->setSpacing(2);
        status = new ThemedLabel(QString(), 12, QFont::Normal, ThemedLabel::Tone::foreground);
        status->setWordWrap(true);
        brightness = new Caption;
        box->addWidget(status);
        box->addWidget(brightness);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    }
    ThemedLabel* status;
    Caption* brightness;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(themeOf(this).background.toQColor());
        p.drawRoundedRect(QRectF(rect()), 6, 6);
    }
};

QSlider* channelSlider(AppModel& model, const char* name, int channel) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setRange(0, 255);
    slider->setSingleStep(1);
    slider->setPageStep(16);
    slider->setAccessibleName(tr(name));
    QObject::connect(slider, &QSlider::valueChanged, slider, [&model, channel](int value) {
        const int v = std::clamp(value, 0, 255);
        const int keep = AppModel::kKeepComponent;
        model.setBackgroundComponent(channel == 0 ? v : keep, channel == 1 ? v : keep, channel == 2 ? v : keep);
    });
    return slider;
}

Card* themeCard(AppModel& model) {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    l->addWidget(new SectionTitle(tr("Theme")));

    auto* theme = fitToEntries(new QComboBox);
    theme->setAccessibleName(tr("Theme"));
    theme->addItem(tr("Hell oder dunkel wie das System"), int(ThemeMode::system));
    theme->addItem(tr("Hell"), int(ThemeMode::light));
    theme->addItem(tr("Dunkel"), int(ThemeMode::dark));
    theme->addItem(tr("Automatische Dämmerung"), int(ThemeMode::dusk));
    bindChoice(
        theme, model, [](const AppSettings& s) { return QVariant(int(s.theme)); },
        [](AppSettings& s, const QVariant& v) { s.theme = ThemeMode(v.toInt()); });
    l->addWidget(theme);

    auto* own = new WrappingCheckBox(tr("Eigene Hintergrundfarbe verwenden"));
    bindToggle(
        own, model, [](const AppSettings& s) { return s.useCustomBackground; },
        [](AppSettings& s, bool on) { s.useCustomBackground = on; });
    l->addWidget(padded(own, QMargins(0, 8, 0, 8)));

    auto* swatches = new QWidget;
    swatches->setAccessibleName(tr("Farbfelder"));
    auto* grid = new QGridLayout(swatches);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(3);
    std::vector<SwatchButton*> buttons;
    int n = 0;
    for (const ColorSwatch& swatch : AppModel::paletteSwatches()) {
        auto* b = new SwatchButton(model, swatch);
        grid->addWidget(b, n / 8, n % 8);
        buttons.push_back(b);
        ++n;
    }
    for (int c = 0; c < 8; ++c) grid->setColumnStretch(c, 1);
    l->addWidget(swatches);

    auto* picker = new ColorButton(tr("Beliebige Farbe wählen …"), [&model] { return model.customBackgroundColor(); });
    QObject::connect(picker, &ColorButton::colorPicked, picker,
                     [&model](const QColor& c) { model.setCustomBackgroundColor(c); });
    l->addWidget(paddedTop(picker, 10, Qt::AlignLeft));

    auto* values = new FormGrid(6);
    auto* colorRow = new QWidget;
    auto* colorBox = new QHBoxLayout(colorRow);
    colorBox->setContentsMargins(0, 0, 0, 0);
    auto* hex = new QLineEdit;
    hex->setPlaceholderText(QStringLiteral("#RRGGBB"));
    hex->setAccessibleName(tr("Farbe"));
    QObject::connect(hex, &QLineEdit::textEdited, hex, [&model](const QString& text) { model.setCustomBackgroundHex(text); });
    colorBox->addWidget(hex, 1);
    auto* preview = new ColorPreview(model);
    colorBox->addSpacing(8);
    colorBox->addWidget(preview);
    values->addRow(tr("Farbe"), colorRow);
    const char* channelNames[] = {"Rot", "Grün", "Blau"};
    std::vector<QSlider*> sliders;
    for (int c = 0; c < 3; ++c) {
        sliders.push_back(channelSlider(model, channelNames[c], c));
        values->addRow(tr(channelNames[c]), sliders.back());
    }
    l->addWidget(paddedTop(values, 8));
    auto* error = new WarningText;
    l->addWidget(error);
    l->addWidget(paddedTop(new Caption(tr("72 Farben in 9 Farbtönen, dazu die Farbauswahl des Systems mit Farbrad, "
                                          "Reglern und Farbpaletten. Schrift- und Bedienelementfarben passen sich "
                                          "automatisch an, damit alles lesbar bleibt.")),
                           8));

    follow(card, model, &AppModel::settingsChanged, [&model, buttons, picker, preview, sliders] {
        for (SwatchButton* b : buttons) b->refresh();
        picker->update();
        preview->update();
        const RGB rgb = storedColor(model);
        const int channels[] = {rgb.r, rgb.g, rgb.b};
        for (int c = 0; c < 3; ++c) {
            if (sliders[std::size_t(c)]->value() == channels[c]) continue;
            const QSignalBlocker block(sliders[std::size_t(c)]);
            sliders[std::size_t(c)]->setValue(channels[c]);
        }
    });
    follow(hex, model, &AppModel::customBackgroundHexChanged, [&model, hex] {
        // While the user types, the model may answer with the stored form of
        // what the field already says ("#123" read as "#112233"); writing it
        // back would put digits under the cursor that were never typed, and
        // the next keystroke would land behind them.
        const std::optional<RGB> typed = RGB::fromHex(hex->text());
        if (hex->hasFocus() && typed && typed == RGB::fromHex(model.customBackgroundHex())) return;
        showText(hex, model.customBackgroundHex());
    });
    follow(error, model, &AppModel::backgroundHexErrorChanged, [&model, error] { error->setWarning(model.backgroundHexError()); });
    return card;
}

// "Stunde : Minute Uhr" of one of the dusk's two times.
QWidget* timeRow(AppModel& model, qint64 DuskSettings::*hour, qint64 DuskSettings::*minute,
                 void (DuskSettings::*setHour)(qint64), void (DuskSettings::*setMinute)(qint64)) {
    auto* row = new QWidget;
    auto* box = new QHBoxLayout(row);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(0);
    auto* h = new NumberPicker(tr("Stunde"), 0, 23);
    auto* m = new NumberPicker(tr("Minute"), 0, 59);
    // Two of them, the colon and "Uhr" share a row beside the label in a
    // narrow column: two digits and the arrow need no more than this.
    for (NumberPicker* picker : {h, m}) picker->setFixedWidth(54);
    auto* colon = new ThemedLabel(QStringLiteral(":"), 13, QFont::Normal, ThemedLabel::Tone::foreground);
    colon->setContentsMargins(6, 0, 6, 0);
    auto* uhr = new ThemedLabel(tr("Uhr"), 13, QFont::Normal, ThemedLabel::Tone::foreground);
    uhr->setContentsMargins(8, 0, 0, 0);
    box->addWidget(h);
    box->addWidget(colon);
    box->addWidget(m);
    box->addWidget(uhr);
    box->addStretch(1);
    QObject::connect(h, &NumberPicker::valueChanged, h, [&model, setHour](int v) {
        model.editSettings([&](AppSettings& s) { (s.dusk.*setHour)(v); });
    });
    QObject::connect(m, &NumberPicker::valueChanged, m, [&model, setMinute](int v) {
        model.editSettings([&](AppSettings& s) { (s.dusk.*setMinute)(v); });
    });
    follow(row, model, &AppModel::settingsChanged, [&model, h, m, hour, minute] {
        h->setValue(int(model.settings().dusk.*hour));
        m->setValue(int(model.settings().dusk.*minute));
    });
    return row;
}

// A coordinate's field over its error line.
QWidget* coordinateField(QLineEdit* edit, WarningText* error) {
    auto* box = new QWidget;
    auto* column = new QVBoxLayout(box);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(edit);
    column->addWidget(error);
    return box;
}

Card* duskCard(AppModel& model) {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    auto* title = new SectionTitle(tr("Automatische Dämmerung"));
    title->setContentsMargins(0, 0, 0, 2);
    l->addWidget(title);
    l->addWidget(padded(new Caption(tr("Wirkt beim Theme „Automatische Dämmerung“. Nur die App wird angepasst – "
                                       "nicht die Bildschirmhelligkeit.")),
                        QMargins(0, 0, 0, 8)));

    auto* grid = new FormGrid(8);
    auto* mode = fitToEntries(new QComboBox);
    mode->setAccessibleName(tr("Dämmerungsmodus"));
    mode->addItem(tr("Zeitgesteuert"), int(DuskSource::schedule));
    mode->addItem(tr("Sonnenauf-/untergang"), int(DuskSource::sun));
    bindChoice(
        mode, model, [](const AppSettings& s) { return QVariant(int(s.dusk.source)); },
        [](AppSettings& s, const QVariant& v) { s.dusk.source = DuskSource(v.toInt()); });
    grid->addRow(tr("Modus"), mode);
    grid->addRow(tr("Tagbeginn"), timeRow(model, &DuskSettings::dayStartHour, &DuskSettings::dayStartMinute,
                                          &DuskSettings::setDayStartHour, &DuskSettings::setDayStartMinute));
    grid->addRow(tr("Nachtbeginn"), timeRow(model, &DuskSettings::nightStartHour, &DuskSettings::nightStartMinute,
                                            &DuskSettings::setNightStartHour, &DuskSettings::setNightStartMinute));
    auto* transition = fitToEntries(new QComboBox);
    transition->setAccessibleName(tr("Übergangsdauer"));
    for (int minutes : kTransitionChoices) transition->addItem(transitionText(minutes), minutes);
    bindChoice(
        transition, model, [](const AppSettings& s) { return QVariant(int(s.dusk.transitionMinutes)); },
        [](AppSettings& s, const QVariant& v) { s.dusk.setTransitionMinutes(v.toInt()); });
    grid->addRow(tr("Übergang"), transition);

    auto* latitude = new QLineEdit;
    latitude->setPlaceholderText(tr("z. B. 52,52"));
    latitude->setToolTip(tr("Nord positiv, z. B. 52,52 (Berlin)"));
    latitude->setAccessibleName(tr("Breitengrad"));
    auto* latitudeError = new WarningText;
    auto* longitude = new QLineEdit;
    longitude->setPlaceholderText(tr("z. B. 13,405"));
    longitude->setToolTip(tr("Ost positiv, z. B. 13,405 (Berlin)"));
    longitude->setAccessibleName(tr("Längengrad"));
    auto* longitudeError = new WarningText;
    const int latitudeRow = grid->addRow(tr("Breitengrad"), coordinateField(latitude, latitudeError));
    const int longitudeRow = grid->addRow(tr("Längengrad"), coordinateField(longitude, longitudeError));
    QObject::connect(latitude, &QLineEdit::textEdited, latitude, [&model](const QString& t) { model.setLatitudeText(t); });
    QObject::connect(longitude, &QLineEdit::textEdited, longitude, [&model](const QString& t) { model.setLongitudeText(t); });
    follow(latitude, model, &AppModel::latitudeTextChanged, [&model, latitude] { showText(latitude, model.latitudeText()); });
    follow(longitude, model, &AppModel::longitudeTextChanged, [&model, longitude] { showText(longitude, model.longitudeText()); });
    follow(latitudeError, model, &AppModel::latitudeErrorChanged,
           [&model, latitudeError] { latitudeError->setWarning(model.latitudeError()); });
    follow(longitudeError, model, &AppModel::longitudeErrorChanged,
           [&model, longitudeError] { longitudeError->setWarning(model.longitudeError()); });
    follow(grid, model, &AppModel::settingsChanged, [&model, grid, latitudeRow, longitudeRow] {
        const bool sun = model.settings().dusk.source == DuskSource::sun;
        grid->setRowVisible(latitudeRow, sun);
        grid->setRowVisible(longitudeRow, sun);
    });
    l->addWidget(grid);

    auto* status = new StatusBox;
    status->setAccessibleName(tr("Dämmerungsstatus"));
    l->addWidget(paddedTop(status, 12));
    const auto refreshStatus = [&model, status] {
        status->status->setText(model.lastDusk().status);
        status->brightness->setText(model.brightnessText());
    };
    follow(status, model, &AppModel::lastDuskChanged, refreshStatus);
    QObject::connect(&model, &AppModel::settingsChanged, status, refreshStatus);
    return card;
}

}  // namespace

QWidget* makeDesignPage(AppModel& model, QWidget* parent) {
    auto* page = new TwoColumns(parent);
    page->addLeft(themeCard(model));
    page->addRight(duskCard(model));
    return page;
}

}  // namespace corvane
