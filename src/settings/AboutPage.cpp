#include "settings/AboutPage.h"

#include <QAbstractButton>
#include <QDate>
#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLinearGradient>
#include <QPainter>
#include <QUrl>

#include "platform/Text.h"
#include "settings/Pages.h"
#include "settings/TwoColumns.h"
#include "settings/kit/Padded.h"
#include "shell/components/Card.h"
#include "shell/components/FocusRing.h"
#include "shell/components/Icons.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"

namespace corvane {

QString aboutVersionText(const std::optional<QString>& shortVersion, const std::optional<QString>& build) {
    const QString v = shortVersion && !shortVersion->isEmpty() ? *shortVersion : QStringLiteral("2.0");
    const QString b = build && !build->isEmpty() ? *build : QStringLiteral("1");
    return tr("Version %1 (%2)").arg(v, b);
}

const QString& Maker::name() {
    static const QString s = QStringLiteral("Velmor Software");
    return s;
}
const QString& Maker::webText() {
    static const QString s = QStringLiteral("velmor.de/corvane");
    return s;
}
const QString& Maker::webUrl() {
    static const QString s = QStringLiteral("https://velmor.de/corvane");
    return s;
}
const QString& Maker::mail() {
    static const QString s = QStringLiteral("corvane@velmor.de");
    return s;
}

QString copyrightLine(int year) {
    // A plain number: no grouping separator inside the year.
    return tr("Copyright © %1 %2. Alle Rechte vorbehalten.").arg(QString::number(year), Maker::name());
}

namespace {

// The program's icon, drawn from the same shapes as its desktop icon.
class AppIcon : public QWidget {
public:
    AppIcon() { setFixedSize(64, 64); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(width() / 256.0, height() / 256.0);
        QLinearGradient plate(0, 0, 0, 256);
        plate.setColorAt(0, QColor(0x2B, 0x4F, 0x7E));
        plate.setColorAt(1, QColor(0x14, 0x26, 0x3F));
        p.setPen(Qt::NoPen);
        p.setBrush(plate);
        p.drawRoundedRect(QRectF(8, 8, 240, 240), 56, 56);
        QLinearGradient face(0, 36, 0, 220);
        face.setColorAt(0, Qt::white);
        face.setColorAt(1, QColor(0xE6, 0xEC, 0xF3));
        p.setBrush(face);
        p.drawEllipse(QPointF(128, 128), 92, 92);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0xC9, 0xD5, 0xE3), 3));
        p.drawEllipse(QPointF(128, 128), 40, 92);
        p.drawLine(QPointF(36, 128), QPointF(220, 128));
        QPainterPath upper(QPointF(50, 84));
        upper.quadTo(QPointF(128, 104), QPointF(206, 84));
        QPainterPath lower(QPointF(50, 172));
        lower.quadTo(QPointF(128, 152), QPointF(206, 172));
        p.drawPath(upper);
        p.drawPath(lower);
        const QColor hands(0x1F, 0x3A, 0x5F);
        p.setPen(QPen(hands, 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(128, 44), QPointF(128, 60));
        p.drawLine(QPointF(212, 128), QPointF(196, 128));
        p.drawLine(QPointF(128, 212), QPointF(128, 196));
        p.drawLine(QPointF(44, 128), QPointF(60, 128));
        p.drawLine(QPointF(128, 128), QPointF(172, 150));
        p.setPen(QPen(hands, 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(128, 128), QPointF(128, 76));
        const QColor red(0xE0, 0x48, 0x3E);
        p.setPen(QPen(red, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(128, 140), QPointF(98, 62));
        p.setPen(Qt::NoPen);
        p.setBrush(red);
        p.drawEllipse(QPointF(128, 128), 9, 9);
    }
};

// A symbol in the palette's accent colour, 18 wide.
class AccentSymbol : public QWidget {
public:
    explicit AccentSymbol(const QString& symbol) : path_(&icons::path(symbol)) { setFixedSize(18, 18); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        icons::draw(p, *path_, QRectF(1, 1, 16, 16), themeOf(this).accent.toQColor());
    }

private:
    const QPainterPath* path_;
};

// A text link in the accent colour; opens its address with the desktop's
// handler for it.
class Link : public QAbstractButton, public FocusShaped {
public:
    Link(const QString& text, QUrl target) : target_(std::move(target)) {
        setText(text);
        setAccessibleName(text);
        setToolTip(target_.toString());
        setCursor(Qt::PointingHandCursor);
        setFont(uiFont(13));
        connect(this, &QAbstractButton::clicked, this, [this] { QDesktopServices::openUrl(target_); });
    }
    QSize sizeHint() const override {
        return {fontMetrics().horizontalAdvance(text()) + 2, fontMetrics().height()};
    }
    const QUrl& target() const { return target_; }
    // Around the words, clear of them: a link has no frame to carry it.
    FocusOutline focusOutline() const override {
        return {QRectF(fontMetrics().boundingRect(rect(), Qt::AlignLeft | Qt::AlignVCenter, text())), 0, false, true};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QFont f = font();
        f.setUnderline(underMouse() || hasFocus());
        p.setFont(f);
        p.setPen(themeOf(this).accent.toQColor());
        p.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
    void enterEvent(QEnterEvent*) override { update(); }
    void leaveEvent(QEvent*) override { update(); }

private:
    QUrl target_;
};

struct Feature {
    const char* symbol;
    const char* text;
};
constexpr Feature kFeatures[] = {
    {"gift", "Kostenlos – ohne Abo, ohne In-App-Käufe"},
    {"nosign", "Keine Werbung"},
    {"hand.raised", "Keine Datensammlung, kein Tracking"},
    {"wifi.slash", "Funktioniert vollständig offline"},
    {"globe", "Bis zu 24 Weltuhren mit eigener Zeitzone"},
    {"map", "Weltkarte mit über 900 Städten, Tag und Nacht live"},
    {"alarm", "4 Wecker, 2 Countdowns, 2 Stoppuhren"},
    {"square.grid.2x2", "Widget für Schreibtisch und Mitteilungszentrale"},
    {"paintpalette", "8 Zifferblätter, eigene Bilder, 72 Farben"},
};

Card* presentationCard() {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(14);
    row->addWidget(new AppIcon, 0, Qt::AlignVCenter);
    auto* names = new QVBoxLayout;
    names->setSpacing(2);
    names->addWidget(new ThemedLabel(QStringLiteral("Corvane"), 24, QFont::DemiBold, ThemedLabel::Tone::foreground));
    static const QString tagline = tr("Die wunderschöne Tickora");
    names->addWidget(new ThemedLabel(tagline, 13, QFont::Normal, ThemedLabel::Tone::foreground));
    names->addWidget(new Caption(aboutVersionText(QStringLiteral(CORVANE_VERSION), std::nullopt)));
    row->addLayout(names);
    row->addStretch(1);
    l->addWidget(header);

    auto* features = new QWidget;
    features->setAccessibleName(tr("Funktionen"));
    auto* list = new QVBoxLayout(features);
    list->setContentsMargins(0, 14, 0, 0);
    list->setSpacing(6);
    for (const Feature& f : kFeatures) {
        auto* line = new QHBoxLayout;
        line->setSpacing(8);
        line->addWidget(new AccentSymbol(QString::fromLatin1(f.symbol)), 0, Qt::AlignVCenter);
        auto* text = new ThemedLabel(tr(f.text), 13, QFont::Normal, ThemedLabel::Tone::foreground);
        text->setWordWrap(true);
        line->addWidget(text, 1);
        list->addLayout(line);
    }
    l->addWidget(features);
    auto* keys = new Caption(tr("Tastatur: Esc schließt die Einstellungen, Strg+, öffnet sie, Strg+Q beendet die App."));
    l->addWidget(paddedTop(keys, 12));
    return card;
}

Card* makerCard() {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    l->addWidget(new SectionTitle(tr("Entwickler")));
    l->addWidget(new ThemedLabel(Maker::name(), 15, QFont::DemiBold, ThemedLabel::Tone::foreground));
    auto* links = new QWidget;
    auto* grid = new QGridLayout(links);
    grid->setContentsMargins(0, 8, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(6);
    grid->addWidget(new Caption(tr("Web")), 0, 0);
    grid->addWidget(new Link(Maker::webText(), QUrl(Maker::webUrl())), 0, 1, Qt::AlignLeft);
    grid->addWidget(new Caption(tr("E-Mail")), 1, 0);
    grid->addWidget(new Link(Maker::mail(), QUrl(QStringLiteral("mailto:") + Maker::mail())), 1, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 1);
    l->addWidget(links);
    l->addWidget(paddedTop(new Caption(copyrightLine(QDate::currentDate().year())), 12));
    return card;
}

}  // namespace

QWidget* makeAboutPage(AppModel&, QWidget* parent) {
    auto* page = new TwoColumns(parent);
    page->addLeft(presentationCard());
    page->addRight(makerCard());
    return page;
}

}  // namespace corvane
