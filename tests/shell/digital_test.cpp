#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
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
    for (auto [scale, title, subtitle] : {std::tuple{0.7, 10.5, 8.4}, std::tuple{1.6, 24.0, 19.2}}) {
        caption.setScale(scale);
        EXPECT_NEAR(caption.titleFont().pointSizeF(), title * unit, 1e-9);
        EXPECT_NEAR(caption.subtitleFont().pointSizeF(), subtitle * unit, 1e-9);
        EXPECT_EQ(caption.titleFont().weight(), QFont::DemiBold);
    }
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
