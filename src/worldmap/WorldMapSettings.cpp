#include "worldmap/WorldMapSettings.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QResizeEvent>
#include <QVBoxLayout>
#include <cmath>

#include "appmodel/AppModel.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/layout/FlowLayout.h"
#include "worldmap/MapLayers.h"
#include "worldmap/SunMoon.h"
#include "worldmap/SymbolImage.h"
#include "worldmap/SystemColors.h"
#include "worldmap/WorldMapView.h"

namespace corvane {

namespace {

QColor srgb(double r, double g, double b) { return QColor::fromRgbF(float(r), float(g), float(b)); }

struct LegendEntry {
    QWidget* widget;
    ThemedLabel* title;
    ThemedLabel* detail;
};

LegendEntry legendEntry(const QString& symbol, SymbolImage::ColorOf color, const QString& title,
                        const QString& detail, QWidget* parent) {
    auto* entry = new QWidget(parent);
    auto* row = new QHBoxLayout(entry);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(new SymbolImage(symbol, QSize(16, 16), std::move(color), entry), 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    auto* t = new ThemedLabel(title, 12, QFont::DemiBold, ThemedLabel::Tone::foreground, entry);
    t->setWordWrap(true);
    auto* d = new ThemedLabel(detail, 11, QFont::Normal, ThemedLabel::Tone::secondary, entry);
    d->setWordWrap(true);
    texts->addWidget(t);
    texts->addWidget(d);
    texts->addStretch(1);
    row->addLayout(texts, 1);
    return {entry, t, d};
}

// A small filled rounded rectangle, or the ring with a dot of a capital.
class Swatch : public QWidget {
public:
    Swatch(std::optional<QColor> fill, QWidget* parent) : QWidget(parent), fill_(fill) {
        setFixedSize(fill ? QSize(14, 10) : QSize(11, 11));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const ThemeColors& theme = themeOf(this);
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (fill_) {
            p.setBrush(*fill_);
            p.setPen(QPen(theme.border.toQColor(), 0.5));
            p.drawRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), 3, 3);
            return;
        }
        const QColor ink = theme.secondaryForeground.toQColor();
        p.setPen(QPen(ink, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QRectF(rect()).center(), 2.5, 2.5);
    }

private:
    std::optional<QColor> fill_;
};

QWidget* swatchEntry(std::optional<QColor> fill, const QString& label, QWidget* parent) {
    auto* entry = new QWidget(parent);
    auto* row = new QHBoxLayout(entry);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(5);
    row->addWidget(new Swatch(fill, entry), 0, Qt::AlignVCenter);
    row->addWidget(new ThemedLabel(label, 11, QFont::Normal, ThemedLabel::Tone::secondary, entry), 0,
                   Qt::AlignVCenter);
    return entry;
}

}  // namespace

QString WorldMapSettings::sunCoordinatesText(double latitude, double longitude) {
    //: Himmelsrichtung Ost, abgekürzt
    const QString east = tr("O");
    return coordinateText(latitude, QStringLiteral("N"), QStringLiteral("S")) + QStringLiteral(" · ") +
           coordinateText(longitude, east, QStringLiteral("W"));
}

int WorldMapSettings::litPercent(double fraction) {
    // std::round rounds halves away from zero.
    return int(std::round(fraction * 100.0));
}

QString WorldMapSettings::captionText(qsizetype cities) {
    return tr("Maus auf eine der %1 Städte bewegen: Name, Uhrzeit und Tageszeit erscheinen. Gezeigt werden alle "
              "Hauptstädte, alle Städte ab 1 Mio. Einwohnern, die größte Stadt jeder Zeitzone und je nach "
              "Landesgröße mindestens 3, 5 oder 10 Städte pro Land. Punktgröße = Einwohnerzahl. Mit „Hinzufügen“ "
              "wird sie als Uhr angelegt; über den Pfeil kann eine vorhandene Uhr ersetzt werden. Klick auf einen "
              "Punkt hält die Karte fest. Sonne, Mond und Nachtgrenze bewegen sich live. Kartendaten: Natural "
              "Earth (gemeinfrei).")
        .arg(qlonglong(cities));
}

WorldMapSettings::WorldMapSettings(AppModel& model, QWidget* parent) : QWidget(parent), model_(model) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(12);

    map_ = new WorldMapView(model_, this);
    map_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    v->addWidget(map_);

    auto* sky = new QHBoxLayout;
    sky->setSpacing(18);
    const LegendEntry sun = legendEntry(QStringLiteral("sun.max.fill"),
                                        [](const ThemeColors&) { return systemColors::orange(); },
                                        tr("Sonne im Zenit"), {}, this);
    sunDetail_ = sun.detail;
    const LegendEntry moon = legendEntry(QStringLiteral("moon.fill"),
                                         [](const ThemeColors&) { return srgb(0.75, 0.75, 0.75); }, {}, {}, this);
    moonTitle_ = moon.title;
    moonDetail_ = moon.detail;
    const LegendEntry noon = legendEntry(QStringLiteral("line.diagonal"),
                                         [](const ThemeColors&) { return srgb(1.0, 0.82, 0.35); },
                                         tr("Gelbe Linie"), tr("Hier ist gerade 12:00 Uhr Mittag (Sonnenzeit)"), this);
    const LegendEntry midnight = legendEntry(QStringLiteral("line.diagonal"),
                                             [](const ThemeColors&) { return systemColors::gray(); },
                                             tr("Graue Linie"), tr("Hier ist gerade Mitternacht"), this);
    for (const LegendEntry& e : {sun, moon, noon, midnight}) sky->addWidget(e.widget, 1, Qt::AlignTop);
    v->addLayout(sky);

    // Six entries do not fit one row of a narrow settings window: they wrap,
    // each row starting under the legend above.
    auto* colourRow = new QWidget(this);
    auto* colours = new FlowLayout(14, colourRow, FlowLayout::Rows::leading);
    colours->setContentsMargins(0, 0, 0, 0);
    colours->addWidget(swatchEntry(srgb(0.55, 0.71, 0.53), tr("Tag"), colourRow));
    colours->addWidget(swatchEntry(srgb(0.35, 0.32, 0.52), tr("Dämmerung"), colourRow));
    colours->addWidget(swatchEntry(srgb(0.08, 0.10, 0.24), tr("Nacht"), colourRow));
    colours->addWidget(swatchEntry(srgb(1.0, 0.85, 0.45), tr("Stadt bei Nacht"), colourRow));
    colours->addWidget(swatchEntry(std::nullopt, tr("Hauptstadt"), colourRow));
    colours->addWidget(swatchEntry(srgb(0.95, 0.33, 0.40), tr("Eingerichtete Uhr (Nummer)"), colourRow));
    v->addWidget(colourRow);

    caption_ = new Caption(captionText(qsizetype(WorldCity::all().size())), this);
    v->addWidget(caption_);
    v->addStretch(1);

    followTime();
    connect(&model_, &AppModel::nowChanged, this, &WorldMapSettings::followTime);
}

QString WorldMapSettings::sunDetail() const { return sunDetail_->text(); }
QString WorldMapSettings::moonTitle() const { return moonTitle_->text(); }
QString WorldMapSettings::moonDetail() const { return moonDetail_->text(); }
QString WorldMapSettings::caption() const { return caption_->text(); }

void WorldMapSettings::followTime() {
    // The values move far slower than the fast tick; once a second is live.
    const QDateTime& now = model_.now();
    const qint64 second = now.toSecsSinceEpoch();
    if (second == shownSecond_) return;
    shownSecond_ = second;
    const SubsolarPoint sun = subsolarPoint(now);
    sunDetail_->setText(sunCoordinatesText(sun.lat, sun.lon));
    const MoonPosition moon = moonPosition(now);
    moonTitle_->setText(tr("Mond · %1").arg(moonPhaseName(moon.phase)));
    moonDetail_->setText(tr("%1\u00A0% beleuchtet").arg(litPercent(moon.illuminated)));
}

void WorldMapSettings::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    map_->setFixedHeight(map_->heightForWidth(event->size().width()));
}

}  // namespace corvane
