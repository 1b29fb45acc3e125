#include "settings/display/ClockDesignPanel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include "appmodel/AppModel.h"
#include "platform/Uuid.h"
#include "settings/display/DesignTile.h"
#include "settings/kit/ColorButton.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {

constexpr int kStandardTile = 0;
constexpr int kImageTile = 1 + int(allCases<DialStyle>().size());

// A one-pixel rule in the palette's border colour.
class Divider : public QWidget {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) { setFixedHeight(1); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), themeOf(this).border.toQColor());
    }
};

}  // namespace

// --- SwatchButton ---------------------------------------------------------------------

SwatchButton::SwatchButton(const QString& hex, QWidget* parent) : QAbstractButton(parent), hex_(hex) {
    setToolTip(hex);
    setAccessibleName(hex);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(22);
}

void SwatchButton::setSelected(bool selected) {
    if (selected == selected_) return;
    selected_ = selected;
    update();
}

QRectF SwatchButton::circle() const {
    const double side = std::min(width(), height());
    return {width() / 2.0 - side / 2, height() / 2.0 - side / 2, side, side};
}

void SwatchButton::paintEvent(QPaintEvent*) {
    const ThemeColors& theme = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle = this->circle();
    const RGB fill = RGB::fromHex(hex_).value_or(RGB{255, 255, 255});
    const double line = selected_ ? 2.5 : 1.0;
    p.setPen(Qt::NoPen);
    p.setBrush(fill.toQColor());
    p.drawEllipse(circle);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(selected_ ? theme.accent.toQColor() : theme.border.toQColor(), line));
    p.drawEllipse(circle.adjusted(line / 2, line / 2, -line / 2, -line / 2));
}

// --- ClockDesignPanel -------------------------------------------------------------------

const std::array<const char*, 16>& ClockDesignPanel::swatchColors() {
    static const std::array<const char*, 16> colors{
        "#FFFFFF", "#F4EFE6", "#FFF4D6", "#E8F1FB", "#E9F6EC", "#FBE9EF", "#EDE7F6", "#D9D9D9",
        "#1A1A1A", "#1F3A5F", "#0E4D45", "#5B1A2E", "#3B2A6B", "#8A5A2B", "#B03A2E", "#2E7D32"};
    return colors;
}

int ClockDesignPanel::selectedTile(const ClockEntry& clock) {
    // An own image wins over the style stored with it.
    if (clock.dialImagePath) return kImageTile;
    if (clock.dialStyle) return 1 + int(*clock.dialStyle);
    return kStandardTile;
}

ClockDesignPanel::ClockDesignPanel(AppModel& model, QString clockID, int index, QWidget* anchor)
    : PopupPanel(anchor), model_(model), clockID_(std::move(clockID)), index_(index), standbyID_(newUuidText()) {
    setFixedWidth(kWidth);
    setWindowTitle(tr("Design der Uhr"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 14, 14, 14);
    layout->setSpacing(10);

    header_ = new ThemedLabel(QString(), 14, QFont::DemiBold, ThemedLabel::Tone::foreground, this);
    header_->setTextFormat(Qt::PlainText);
    layout->addWidget(header_);
    layout->addWidget(new Caption(tr("Änderungen sieht man sofort an der markierten Uhr im Hauptfenster."), this));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    const DesignTile::Metrics metrics{50, 10, 5, 3, 74};
    std::vector<QString> titles{tr("Standard")};
    for (DialStyle style : allCases<DialStyle>()) titles.push_back(displayName(style));
    titles.push_back(tr("Eigenes Bild"));
    for (int i = 0; i < int(titles.size()); ++i) {
        auto* tile = new DesignTile(model_, titles[std::size_t(i)], metrics, this);
        tiles_.push_back(tile);
        grid->addWidget(tile, i / 5, i % 5, Qt::AlignHCenter);
        connect(tile, &QAbstractButton::clicked, this, [this, i] {
            if (i == kStandardTile)
                model_.setClockDialStyle(clockID_, std::nullopt);
            else if (i == kImageTile)
                chooseImage();
            else
                model_.setClockDialStyle(clockID_, DialStyle(i - 1));
        });
    }
    layout->addLayout(grid);
    // Why the image picked last could not be taken over.
    importProblem_ = new WarningText(std::nullopt, this);
    layout->addWidget(importProblem_);
    layout->addWidget(new Divider(this));

    auto* colorRow = new QHBoxLayout;
    colorToggle_ = new QCheckBox(tr("Eigene Zifferblattfarbe"), this);
    connect(colorToggle_, &QCheckBox::clicked, this, &ClockDesignPanel::toggleColor);
    colorRow->addWidget(colorToggle_);
    colorRow->addStretch(1);
    colorButton_ = new ColorButton(QString(), [this] { return model_.clockFaceColor(clockID_).toQColor(); }, this);
    colorButton_->setAccessibleName(tr("Farbe"));
    colorButton_->setToolTip(tr("Farbe"));
    connect(colorButton_, &ColorButton::colorPicked, this,
            [this](const QColor& color) { model_.pickClockFaceColor(clockID_, color); });
    // The clock stays marked and the panel in sight while the colour is
    // picked in the dialog.
    connect(colorButton_, &ColorButton::dialogOpening, this, &PopupPanel::hold);
    connect(colorButton_, &ColorButton::dialogClosed, this, &PopupPanel::release);
    colorRow->addWidget(colorButton_);
    layout->addLayout(colorRow);

    auto* swatchGrid = new QGridLayout;
    swatchGrid->setHorizontalSpacing(4);
    swatchGrid->setVerticalSpacing(4);
    for (int i = 0; i < int(swatchColors().size()); ++i) {
        auto* swatch = new SwatchButton(QString::fromLatin1(swatchColors()[std::size_t(i)]), this);
        swatches_.push_back(swatch);
        swatchGrid->addWidget(swatch, i / 8, i % 8);
        connect(swatch, &QAbstractButton::clicked, this,
                [this, swatch] { model_.setClockFaceColor(clockID_, swatch->hex()); });
    }
    layout->addLayout(swatchGrid);
    layout->addWidget(new Caption(tr("Bei der Digitalanzeige wird die Farbe als Hintergrund der Uhr verwendet."), this));

    auto* actions = new QHBoxLayout;
    reset_ = new ThemedButton(tr("Auf Standard zurücksetzen"), this);
    reset_->setNaturalSize(true);
    connect(reset_, &QAbstractButton::clicked, this, [this] { model_.resetClockDesign(clockID_); });
    applyAll_ = new ThemedButton(tr("Für alle Uhren übernehmen"), this);
    applyAll_->setNaturalSize(true);
    connect(applyAll_, &QAbstractButton::clicked, this, [this] { model_.applyClockDesignToAll(clockID_); });
    actions->addWidget(reset_);
    actions->addStretch(1);
    actions->addWidget(applyAll_);
    layout->addLayout(actions);

    // Whatever changes the clock or the images it shows (this panel, the
    // main window, the map, another panel) shows here at once.
    connect(&model_, &AppModel::settingsChanged, this, &ClockDesignPanel::refresh);
    connect(&model_, &AppModel::dialImageChanged, this, &ClockDesignPanel::refresh);
    connect(&model_, &AppModel::clockImagesChanged, this, &ClockDesignPanel::refresh);
    connect(&model_, &AppModel::importProblemsChanged, this, &ClockDesignPanel::refresh);
    connect(&model_, &AppModel::themeChanged, colorButton_, qOverload<>(&QWidget::update));
    refresh();
}

void ClockDesignPanel::setClock(const QString& clockID, int index) {
    if (clockID == clockID_ && index == index_) return;
    clockID_ = clockID;
    index_ = index;
    refresh();
}

ClockEntry ClockDesignPanel::clock() const {
    if (const std::optional<int> i = model_.clockIndex(clockID_)) return model_.settings().clocks[std::size_t(*i)];
    ClockEntry standby;
    standby.id = standbyID_;
    return standby;
}

QString ClockDesignPanel::headerText() const {
    return tr("Design – Uhr %1 · %2").arg(index_ + 1).arg(model_.clockTitle(clock()));
}

void ClockDesignPanel::chooseImage() {
    // The file dialog runs to its end inside this call; the row, and this
    // panel with it, may be gone by then.
    const QPointer<ClockDesignPanel> self(this);
    hold();
    model_.chooseDialImage(clockID_);
    if (self) release();
}

void ClockDesignPanel::toggleColor(bool on) {
    if (on)
        model_.setClockFaceColor(clockID_, model_.theme().surface.hexString());
    else
        model_.setClockFaceColor(clockID_, std::nullopt);
    // A click on a vanished clock changes nothing; show the truth again.
    refresh();
}

void ClockDesignPanel::refresh() {
    const ClockEntry c = clock();
    const AppSettings& settings = model_.settings();
    header_->setText(headerText());

    const QTimeZone zone = previewZone(model_, c);
    const std::optional<RGB> face = c.faceColor ? RGB::fromHex(*c.faceColor) : std::nullopt;
    const int selected = selectedTile(c);
    for (int i = 0; i < int(tiles_.size()); ++i) {
        DialPreview::Look look;
        if (i == kStandardTile) {
            look.style = settings.dialStyle;
            if (settings.useCustomDial && model_.dialImage()) look.image = *model_.dialImage();
            look.faceRGB = face;
        } else if (i == kImageTile) {
            const auto& images = model_.clockImages();
            const auto it = c.dialImagePath ? images.find(*c.dialImagePath) : images.end();
            if (it != images.end()) {
                look.style = c.dialStyle.value_or(settings.dialStyle);
                look.image = it->second;
            } else {
                look.placeholder = true;
                look.placeholderSymbol = 18;
            }
        } else {
            look.style = DialStyle(i - 1);
            look.faceRGB = face;
        }
        DesignTile* tile = tiles_[std::size_t(i)];
        tile->preview()->setLook(look);
        tile->preview()->setZone(zone);
        tile->setSelected(i == selected);
    }

    colorToggle_->setChecked(c.faceColor.has_value());
    colorButton_->update();
    for (SwatchButton* swatch : swatches_)
        swatch->setSelected(c.faceColor && c.faceColor->compare(swatch->hex(), Qt::CaseInsensitive) == 0);
    reset_->setEnabled(c.dialStyle || c.dialImagePath || c.faceColor);
    importProblem_->setWarning(model_.clockImageImportProblem(clockID_));
}

}  // namespace corvane
