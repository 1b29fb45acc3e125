// What the widget draws: how many clocks each size shows and where, the
// digital time's sizes and colours, the font fallback, and screenshots of
// every size to look at.

#include <gtest/gtest.h>

#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/TimeZones.h"
#include "widget/TickoraWidgetView.h"

using namespace corvane;

namespace {

const char* kZones[] = {"Europe/Berlin",   "America/New_York", "Asia/Tokyo",       "Australia/Sydney",
                        "Europe/London",   "Asia/Kolkata",     "America/Chicago",  "Pacific/Auckland",
                        "Africa/Cairo",    "America/Sao_Paulo", "Asia/Singapore",  "Europe/Moscow",
                        "America/Denver"};

WidgetSnapshot snapshotWith(int count, bool digital, std::optional<QString> alarm = std::nullopt) {
    WidgetSnapshot s;
    for (int i = 0; i < count; ++i)
        s.clocks.push_back({QString::fromLatin1(kZones[i % 13]), QString::fromLatin1(kZones[i % 13]).section(u'/', -1),
                            DialStyle(i % 8), std::nullopt});
    s.digital = digital;
    s.fontFamily = QStringLiteral("DejaVu Sans");
    s.theme = ThemeColors::defaultPalette();
    s.nextAlarm = std::move(alarm);
    return s;
}

QRectF boundsOf(WidgetFamily f) {
    return QRectF(QPointF(0, 0), QSizeF(familySize(f)));
}

const FixedTimeZoneProvider& berlin() {
    static const FixedTimeZoneProvider zones("Europe/Berlin");
    return zones;
}

qint64 noon() {
    return QDateTime(QDate(2026, 6, 10), QTime(10, 41), QTimeZone::utc()).toMSecsSinceEpoch();
}

QImage render(WidgetFamily family, const WidgetSnapshot& snapshot, double dpr = 1.0) {
    const QSize size = familySize(family);
    QImage image(size * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    paintWidget(painter, boundsOf(family), family, {noon(), std::make_shared<const WidgetSnapshot>(snapshot)},
                berlin());
    return image;
}

}  // namespace

TEST(WidgetView, GridPerFamily) {
    using F = WidgetFamily;
    struct Case {
        F family;
        int clocks;
        bool digital;
        int shown, columns, rows;
    } cases[] = {
        {F::systemSmall, 4, false, 1, 1, 1},
        {F::systemSmall, 0, true, 0, 1, 0},
        {F::systemMedium, 4, false, 4, 4, 1},
        {F::systemMedium, 4, true, 4, 2, 2},
        {F::systemMedium, 3, true, 3, 2, 2},
        {F::systemMedium, 3, false, 3, 3, 1},
        {F::systemMedium, 7, false, 4, 4, 1},
        {F::systemMedium, 1, true, 1, 1, 1},
        {F::systemLarge, 1, false, 1, 1, 1},
        {F::systemLarge, 2, true, 2, 2, 1},
        {F::systemLarge, 4, false, 4, 2, 2},
        {F::systemLarge, 5, false, 5, 3, 2},
        {F::systemLarge, 9, true, 9, 3, 3},
        {F::systemLarge, 12, false, 9, 3, 3},
        {F::systemExtraLarge, 12, true, 12, 3, 4},
        {F::systemExtraLarge, 13, false, 12, 3, 4},
        {F::systemExtraLarge, 24, true, 12, 3, 4},
        {F::systemExtraLarge, 0, false, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << familyKey(c.family).toStdString() << " " << c.clocks
                                          << (c.digital ? " digital" : " analog"));
        const WidgetGrid g = widgetGrid(c.family, c.clocks, c.digital);
        EXPECT_EQ(g.shown, c.shown);
        EXPECT_EQ(g.columns, c.columns);
        EXPECT_EQ(g.rows, c.rows);

        // The layout puts exactly those clocks, in order, into the cells, with
        // fillers only at the end of the last row.
        const WidgetLayout layout = layoutWidget(c.family, snapshotWith(c.clocks, c.digital), boundsOf(c.family), {});
        ASSERT_EQ(int(layout.cells.size()), c.rows * c.columns);
        for (int i = 0; i < int(layout.cells.size()); ++i)
            EXPECT_EQ(layout.cells[std::size_t(i)].clock, i < c.shown ? i : -1);
    }
}

TEST(WidgetView, CellsStayInsideTheWidgetAndApart) {
    for (WidgetFamily family : kAllWidgetFamilies) {
        for (bool digital : {false, true}) {
            for (int n = 0; n <= 13; ++n) {
                SCOPED_TRACE(::testing::Message() << familyKey(family).toStdString() << " " << n << " " << digital);
                const QRectF bounds = boundsOf(family);
                const WidgetLayout layout =
                    layoutWidget(family, snapshotWith(n, digital, QStringLiteral("Mo 07:00")), bounds, {});
                for (std::size_t i = 0; i < layout.cells.size(); ++i) {
                    const WidgetCell& a = layout.cells[i];
                    EXPECT_TRUE(bounds.contains(a.face)) << i;
                    EXPECT_TRUE(bounds.contains(a.title)) << i;
                    EXPECT_GT(a.face.width(), 20) << i;
                    if (!digital) {
                        EXPECT_DOUBLE_EQ(a.face.width(), a.face.height()) << i;
                    }
                    EXPECT_LE(a.face.bottom(), a.title.top() + 0.01) << i;
                    for (std::size_t j = i + 1; j < layout.cells.size(); ++j)
                        EXPECT_FALSE(a.rect.intersects(layout.cells[j].rect)) << i << " " << j;
                    if (layout.alarmLine) {
                        EXPECT_LE(a.title.bottom(), layout.alarmLine->top() + 0.01) << i;
                    }
                }
                if (layout.alarmLine) {
                    EXPECT_TRUE(bounds.contains(*layout.alarmLine));
                }
            }
        }
    }
}

TEST(WidgetView, AlarmLineOutsideTheSmallSizeOnly) {
    const WidgetSnapshot withAlarm = snapshotWith(3, false, QStringLiteral("Mo 07:00"));
    EXPECT_FALSE(layoutWidget(WidgetFamily::systemSmall, withAlarm, boundsOf(WidgetFamily::systemSmall), {}).alarmLine);
    for (WidgetFamily f : {WidgetFamily::systemMedium, WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge}) {
        EXPECT_TRUE(layoutWidget(f, withAlarm, boundsOf(f), {}).alarmLine);
        EXPECT_FALSE(layoutWidget(f, snapshotWith(3, false), boundsOf(f), {}).alarmLine);
    }
    // No clocks: an empty grid, the alarm line alone.
    const WidgetLayout empty =
        layoutWidget(WidgetFamily::systemMedium, snapshotWith(0, true, QStringLiteral("Mo 07:00")),
                     boundsOf(WidgetFamily::systemMedium), {});
    EXPECT_TRUE(empty.cells.empty());
    ASSERT_TRUE(empty.alarmLine);
}

TEST(WidgetView, SingleClockIsLargerThanCompactOnes) {
    const QRectF bounds = boundsOf(WidgetFamily::systemLarge);
    const WidgetLayout one = layoutWidget(WidgetFamily::systemLarge, snapshotWith(1, true), bounds, {});
    EXPECT_FALSE(one.compact);
    EXPECT_EQ(one.timeFont.pixelSize(), 44);
    EXPECT_EQ(one.titleFont.pixelSize(), 12);
    EXPECT_EQ(one.timeFont.weight(), QFont::DemiBold);
    EXPECT_EQ(one.titleFont.weight(), QFont::DemiBold);
    const WidgetLayout two = layoutWidget(WidgetFamily::systemLarge, snapshotWith(2, true), bounds, {});
    EXPECT_TRUE(two.compact);
    EXPECT_EQ(two.timeFont.pixelSize(), 30);
    EXPECT_EQ(two.titleFont.pixelSize(), 10);
    // Small cells shrink the time, but never below 40 %.
    for (WidgetFamily f : kAllWidgetFamilies) {
        const WidgetLayout l = layoutWidget(f, snapshotWith(12, true), boundsOf(f), {});
        EXPECT_GE(l.timeScale, 0.4);
        EXPECT_GE(l.timeFont.pixelSize(), 12);
    }
}

TEST(WidgetView, DigitalTextColourFollowsTheFace) {
    ThemeColors theme = ThemeColors::defaultPalette();
    theme.foreground = RGB{200, 100, 50};
    struct Case {
        std::optional<RGB> face;
        QColor expected;
    } cases[] = {
        {RGB{255, 255, 255}, Qt::black},
        {RGB{0, 0, 0}, Qt::white},
        {RGB{255, 230, 0}, Qt::black},  // yellow
        {RGB{0, 0, 180}, Qt::white},    // dark blue
        {std::nullopt, QColor(200, 100, 50)},
    };
    for (const Case& c : cases) EXPECT_EQ(digitalTextColor(c.face, theme), c.expected);
}

TEST(WidgetView, UnknownFontFallsBackToTheSystemFontAtTheSameSize) {
    const QStringList installed = QFontDatabase::families();
    const QFont fallback = clockFont(QStringLiteral("No Such Font 1234"), 30, installed);
    EXPECT_EQ(fallback.family(), QGuiApplication::font().family());
    EXPECT_EQ(fallback.pixelSize(), 30);
    EXPECT_EQ(fallback.weight(), QFont::DemiBold);
    // An installed family is taken as it is named, and only by exact name.
    ASSERT_FALSE(installed.isEmpty());
    const QString some = installed.front();
    EXPECT_EQ(clockFont(some, 44, installed).family(), some);
    EXPECT_EQ(clockFont(some.toUpper() + QStringLiteral(" X"), 44, installed).family(),
              QGuiApplication::font().family());
}

TEST(WidgetView, TimeTextInTheClocksZone) {
    const qint64 t = noon();  // 10:41 UTC
    struct Case {
        const char* zone;
        const char* text;
    } cases[] = {
        {"Asia/Tokyo", "19:41"},
        {"America/New_York", "06:41"},
        {"Asia/Kolkata", "16:11"},
        {"", "12:41"},                // the computer's zone (Berlin here)
        {"Mars/Olympus", "12:41"},    // unknown
        {"../../etc/passwd", "12:41"},  // not a zone name at all
    };
    for (const Case& c : cases) EXPECT_EQ(clockTimeText(t, QString::fromLatin1(c.zone), berlin()), c.text) << c.zone;
}

TEST(WidgetView, PaintsTheSnapshotsColours) {
    WidgetSnapshot s = snapshotWith(2, true);
    s.theme.background = RGB{12, 34, 56};
    s.clocks[0].face = QStringLiteral("#FFFFFF");
    s.clocks[1].face = QStringLiteral("kein Hex");  // unreadable: no box
    const QImage image = render(WidgetFamily::systemMedium, s);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(12, 34, 56));

    const WidgetLayout l = layoutWidget(WidgetFamily::systemMedium, s, boundsOf(WidgetFamily::systemMedium),
                                        QFontDatabase::families());
    // Left box: white with black digits; right: no box, palette background.
    const QRect white = l.cells[0].face.toAlignedRect().adjusted(3, 3, -3, -3);
    EXPECT_EQ(image.pixelColor(white.topLeft()), QColor(Qt::white));
    int black = 0;
    for (int y = white.top(); y <= white.bottom(); ++y)
        for (int x = white.left(); x <= white.right(); ++x) black += image.pixelColor(x, y) == QColor(Qt::black);
    EXPECT_GT(black, 20);
    EXPECT_EQ(image.pixelColor(l.cells[1].face.toAlignedRect().adjusted(3, 3, -3, -3).topLeft()), QColor(12, 34, 56));
    // Nothing left unpainted.
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7) ASSERT_NE(image.pixelColor(x, y), QColor(Qt::magenta));
}

TEST(WidgetView, Screenshots) {
    QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
    WidgetSnapshot digital = snapshotWith(12, true, QStringLiteral("Wecker Mo 07:00, Di 06:30"));
    // A light palette with a few own face colours.
    AppSettings light;
    light.theme = ThemeMode::light;
    digital.theme = ThemeColors::make(light, true, 1.0);
    digital.clocks[0].face = QStringLiteral("#FFFFFF");
    digital.clocks[1].face = QStringLiteral("#1E1E1E");
    digital.clocks[4].face = QStringLiteral("#F5C400");
    digital.clocks[7].face = QStringLiteral("#2050C0");
    digital.clocks[10].title = QStringLiteral("Ein sehr langer Titel für eine kleine Zelle");
    const WidgetSnapshot& sample = *sampleSnapshot();
    const WidgetSnapshot& digital12 = digital;
    for (WidgetFamily f : kAllWidgetFamilies) {
        for (const auto& [name, snapshot] : {std::pair{"sample", &sample}, std::pair{"digital12", &digital12}}) {
            const QImage image = render(f, *snapshot, 2.0);
            const QString path = QStringLiteral(CORVANE_BUILD_DIR "/screenshots/widget-") + familyKey(f) + u'-' +
                                 QLatin1String(name) + QStringLiteral(".png");
            EXPECT_TRUE(image.save(path)) << path.toStdString();
        }
    }
}
