#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <cmath>
#include <QWidget>

#include "shell/components/Theme.h"
#include "shell/digital/ClockCaption.h"
#include "shell/digital/DigitalFace.h"
#include "shell/digital/DigitalTime.h"
#include "shell/digital/EditHighlight.h"
#include "shell/digital/FontFamilies.h"

using namespace corvane;

TEST(DigitalFace, TextColourByContrast) {
    struct Case {
        RGB face;
        QColor text;
    };
    const Case cases[] = {
        {{255, 255, 255}, Qt::black},
        {{0, 0, 0}, Qt::white},
        {{255, 220, 0}, Qt::black},   // yellow
        {{31, 58, 95}, Qt::white},    // dark blue
        {{200, 40, 40}, Qt::white},   // a red on the white side
        {{0, 200, 0}, Qt::black},
    };
    for (const Case& c : cases) EXPECT_EQ(DigitalFace::textColorOn(c.face), c.text) << c.face.hexStdString();

    // Along the greys the text turns from white to black exactly once, near
    // the grey whose two contrasts are closest (around 118).
    int switches = 0;
    for (int v = 1; v < 256; ++v) {
        const auto at = [](int g) { return DigitalFace::textColorOn(RGB{std::uint8_t(g), std::uint8_t(g), std::uint8_t(g)}); };
        if (at(v) != at(v - 1)) {
            ++switches;
            EXPECT_EQ(at(v), QColor(Qt::black));
            EXPECT_NEAR(v, 118, 2);
        }
    }
    EXPECT_EQ(switches, 1);

    const ThemeColors& theme = ThemeColors::defaultPalette();
    EXPECT_EQ(DigitalFace::textColor(std::nullopt, theme), theme.foreground.toQColor());
    // Secondary lines must stay readable on an own face: white face, dark lines.
    EXPECT_EQ(DigitalFace::secondaryTextColor(std::nullopt, theme), theme.secondaryForeground.toQColor());
    const QColor onWhite = DigitalFace::secondaryTextColor(RGB{255, 255, 255}, theme);
    EXPECT_LT(onWhite.lightnessF(), 0.2);
    EXPECT_GE(onWhite.alphaF(), 0.6);
    EXPECT_EQ(DigitalFace::plateColor(std::nullopt, theme), theme.surface.toQColor(0.6));
    EXPECT_EQ(DigitalFace::plateColor(RGB{1, 2, 3}, theme), QColor(1, 2, 3));
}

TEST(DigitalTime, KeepsTheWidthOfItsWidestTimeAndRepaintsOnlyOnChange) {
    DigitalTimeText t;
    t.setFont(QString(), 80);
    t.setText("00:00:00");
    const double full = t.size().width();
    // Digits share one width, so any time of this length is as wide.
    for (const char* s : {"11:11:11", "23:59:59", "07:41:18"}) {
        t.setText(s);
        EXPECT_DOUBLE_EQ(t.size().width(), full) << s;
    }
    t.setText("9:05");
    EXPECT_DOUBLE_EQ(t.size().width(), full) << "a short time still takes the full width";
    t.setText("123:45:678");
    EXPECT_GT(t.size().width(), full);

    EXPECT_FALSE(t.setText("123:45:678")) << "the same text must not cause a repaint";
    EXPECT_TRUE(t.setText("00:00:01"));
}

TEST(DigitalTime, UnknownOrMiscasedFamilyFallsBackToTheSystemFont) {
    const QFont system = DigitalTimeText::resolveFont("Keine Solche Schrift", 64);
    EXPECT_EQ(system.family(), QApplication::font().family());
    EXPECT_EQ(system.weight(), QFont::DemiBold);
    EXPECT_EQ(system, uiFont(64, QFont::DemiBold));

    ASSERT_FALSE(installedFontFamilies().isEmpty());
    const QString installed = *installedFontFamilies().begin();
    EXPECT_EQ(DigitalTimeText::resolveFont(installed, 64).family(), installed);
    const QString miscased = installed.toUpper() == installed ? installed.toLower() : installed.toUpper();
    if (!installedFontFamilies().contains(miscased)) {
        EXPECT_EQ(DigitalTimeText::resolveFont(miscased, 64), uiFont(64, QFont::DemiBold));
    }
    EXPECT_EQ(&installedFontFamilies(), &installedFontFamilies()) << "built once";
}

TEST(ClockCaption, FontSizesFollowTheScale) {
    ClockCaption caption;
    const QFont reference = uiFont(1);
    const double unit = reference.pointSizeF();  // points per layout pixel
    // 1.0 first, on a caption that starts at that scale, and back again.
    for (auto [scale, title, subtitle] : {std::tuple{1.0, 15.0, 12.0}, std::tuple{0.7, 10.5, 8.4},
                                          std::tuple{1.6, 24.0, 19.2}, std::tuple{1.0, 15.0, 12.0}}) {
        caption.setScale(scale);
        EXPECT_NEAR(caption.titleFont().pointSizeF(), title * unit, 1e-9);
        EXPECT_NEAR(caption.subtitleFont().pointSizeF(), subtitle * unit, 1e-9);
        EXPECT_EQ(caption.titleFont().weight(), QFont::DemiBold);
    }
}

namespace {
double advance(const QFont& font, const QString& text) { return QFontMetricsF(font).horizontalAdvance(text); }
}  // namespace

TEST(CaptionFit, ShrinksWhileHalfSizeFitsThenCutsOff) {
    const QFont font = uiFont(12);
    const QString text = QStringLiteral("Nordamerikanische Ostküstenzeit · UTC−5 · Do., 10. Dez.");
    const double natural = advance(font, text);
    struct Case {
        const char* what;
        double width;  // a fraction of the natural width
        bool whole;
        double scaleAtLeast, scaleAtMost;
    };
    const Case cases[] = {
        {"fits as it is", 1.0, true, 1.0, 1.0},
        {"plenty of room", 1.5, true, 1.0, 1.0},
        {"fits at 0.6", 0.6, true, 0.55, 0.61},
        {"fits at half size", 0.5, true, 0.5, 0.51},
        {"too narrow even at half size", 0.4, false, 0.5, 0.5},
    };
    for (const Case& c : cases) {
        const double width = std::ceil(natural * c.width);
        const CaptionLine line = captionfit::fitLine(text, font, width);
        EXPECT_EQ(line.whole, c.whole) << c.what;
        EXPECT_EQ(line.text == text, c.whole) << c.what;
        EXPECT_GE(line.scale, c.scaleAtLeast) << c.what;
        EXPECT_LE(line.scale, c.scaleAtMost) << c.what;
        EXPECT_NEAR(line.font.pointSizeF(), font.pointSizeF() * line.scale, 1e-9) << c.what;
        // What is drawn fits, measured in the font it is drawn with.
        EXPECT_LE(advance(line.font, line.text), width) << c.what;
        if (!c.whole) {
            EXPECT_TRUE(line.text.endsWith(QChar(0x2026))) << c.what;
        }
    }
    EXPECT_EQ(captionfit::fitLine(QString(), font, 0).text, QString());
    EXPECT_FALSE(captionfit::scaleToFit(text, font, 0));
}

// Shrinking by the ratio of the widths is not enough: the shrunk font's
// text comes out wider than that ratio promises at some widths. Every width
// from half the natural one up must still show the whole line.
TEST(CaptionFit, WholeAtEveryWidthDownToHalfEvenWhereTheShrunkWidthRoundsUp) {
    for (const auto& [text, font] :
         {std::pair{QStringLiteral("Mitteleuropäische Zeit · UTC+1 · Fr., 11. Dez."), uiFont(12 * 0.85)},
          std::pair{QStringLiteral("Büro New York"), uiFont(15 * 1.3, QFont::DemiBold)}}) {
        const double natural = advance(font, text);
        int roundedUp = 0;
        for (int width = int(std::ceil(natural / 2)) + 1; width < natural; ++width) {
            QFont proportional = font;
            proportional.setPointSizeF(font.pointSizeF() * width / natural);
            if (advance(proportional, text) > width) ++roundedUp;
            const CaptionLine line = captionfit::fitLine(text, font, width);
            ASSERT_TRUE(line.whole) << text.toStdString() << " at " << width;
            ASSERT_LE(advance(line.font, line.text), width) << text.toStdString() << " at " << width;
        }
        EXPECT_GT(roundedUp, 0) << "the fault the measuring guards against occurs with " << text.toStdString();
    }
}

TEST(CaptionFit, ALimitSharedByAGridShrinksTheShortLinesAlike) {
    const QFont title = uiFont(15, QFont::DemiBold), subtitle = uiFont(12);
    const QString shortZone = QStringLiteral("Japanische Normalzeit · UTC+9 · Sa., 12. Dez.");
    const QString longZone = QStringLiteral("Nordamerikanische Ostküstenzeit · UTC−5 · Fr., 11. Dez.");
    const double width = std::ceil(advance(subtitle, longZone) * 0.8);
    captionfit::SharedScales shared(title, subtitle, width);
    shared.add(QStringLiteral("Tokio"), shortZone);
    shared.add(QStringLiteral("New York"), longZone);
    // Half size cannot hold this one: it is cut off and pulls nobody down.
    shared.add(QStringLiteral("Ort"), QString(400, QLatin1Char('x')));
    EXPECT_EQ(shared.scales().title, 1.0);
    EXPECT_LT(shared.scales().subtitle, 0.81);
    EXPECT_GT(shared.scales().subtitle, 0.7);

    const CaptionLayout a = shared.layout(0);
    const CaptionLayout b = shared.layout(1);
    EXPECT_EQ(a.subtitle.font, b.subtitle.font) << "one size for both zone lines";
    EXPECT_TRUE(a.subtitle.whole && b.subtitle.whole);
    EXPECT_EQ(a.title.font, title);
    EXPECT_EQ(a.subtitle.font, captionfit::fit("Tokio", shortZone, title, subtitle, width, shared.scales()).subtitle.font)
        << "a caption fitted on its own with the shared limits comes out the same";
    const CaptionLayout cut = shared.layout(2);
    EXPECT_FALSE(cut.subtitle.whole);
    EXPECT_EQ(cut.subtitle.scale, captionfit::kMinScale);
}

TEST(ClockCaption, ShowsTheFittedLinesOfItsWidth) {
    ClockCaption caption;
    const QString zone = QStringLiteral("Nordamerikanische Ostküstenzeit · UTC−5 · Do., 10. Dez.");
    caption.setTexts(QStringLiteral("Büro New York"), zone);
    caption.resize(int(advance(caption.subtitleFont(), zone) * 0.7), caption.sizeHint().height());
    EXPECT_EQ(caption.shown().subtitle.text, zone);
    EXPECT_LT(caption.shown().subtitle.scale, 0.71);
    caption.resize(int(advance(caption.subtitleFont(), zone) * 0.3), caption.sizeHint().height());
    EXPECT_FALSE(caption.shown().subtitle.whole);
}

TEST(EditHighlight, RingAndFrameOutsetsAndPulseLifecycle) {
    QWidget parent;
    parent.resize(400, 300);
    auto* mark = new EditHighlight(&parent);
    mark->setTarget(QRectF(50, 20, 200, 160), true);
    // The ring is the largest circle in the frame, 5 px out.
    EXPECT_EQ(mark->markRect(), QRectF(65, 15, 170, 170));
    EXPECT_TRUE(mark->geometry().contains(mark->markRect().adjusted(-1, -1, 1, 1).toRect()));
    mark->setTarget(QRectF(50, 20, 200, 160), false);
    EXPECT_EQ(mark->markRect(), QRectF(47, 17, 206, 166));
    EXPECT_TRUE(mark->testAttribute(Qt::WA_TransparentForMouseEvents));

    EXPECT_FALSE(mark->pulsing());
    parent.show();
    EXPECT_TRUE(mark->pulsing()) << "showing starts the pulse";
    mark->hide();
    EXPECT_FALSE(mark->pulsing());
    EXPECT_DOUBLE_EQ(mark->markOpacity(), 1.0);
    mark->show();
    EXPECT_TRUE(mark->pulsing()) << "a new highlight starts a new pulse";
}
