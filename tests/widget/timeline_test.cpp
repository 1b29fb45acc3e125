// The timeline provider: which minutes a timeline covers, and which snapshot
// it carries when the shared file is missing, broken or fine.

#include <gtest/gtest.h>

#include <QDir>
#include <QFontDatabase>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "platform/Clock.h"
#include "platform/Fonts.h"
#include "platform/TimeZones.h"
#include "widget/ClockProvider.h"
#include "widget/TickoraWidgetView.h"

using namespace corvane;

namespace {

qint64 berlin(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), QTimeZone("Europe/Berlin")).toMSecsSinceEpoch();
}

QString wall(qint64 utcMSecs, const TimeZoneProvider& zones) {
    return clockTimeText(utcMSecs, QString(), zones);
}

WidgetSnapshot twoDigitalClocks() {
    WidgetSnapshot s;
    s.clocks = {{QStringLiteral("Europe/Berlin"), QStringLiteral("Berlin"), DialStyle::modern, QStringLiteral("#FFFFFF")},
                {QStringLiteral("Asia/Tokyo"), QStringLiteral("Tokyo"), DialStyle::night, std::nullopt}};
    s.digital = true;
    s.fontFamily = QStringLiteral("DejaVu Sans");
    s.theme = ThemeColors::defaultPalette();
    s.theme.accent = RGB{10, 200, 30};
    s.nextAlarm = QStringLiteral("Mo 07:00");
    return s;
}

bool isSample(const std::shared_ptr<const WidgetSnapshot>& s) {
    return s && s == sampleSnapshot();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

}  // namespace

TEST(Timeline, CoversOneHundredTwentyMinutesFromTheStartOfTheCurrentMinute) {
    const FixedTimeZoneProvider zones("Europe/Berlin");
    struct Case {
        const char* what;
        qint64 now;
        const char* first;
        const char* last;
    } cases[] = {
        {"within a minute", berlin(2026, 6, 10, 10, 41, 27), "10:41", "12:40"},
        {"exactly on the minute", berlin(2026, 6, 10, 10, 41, 0), "10:41", "12:40"},
        {"a moment before the next", berlin(2026, 6, 10, 10, 41, 59, 999), "10:41", "12:40"},
        {"across midnight", berlin(2026, 6, 10, 23, 30, 5), "23:30", "01:29"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeClock clock(c.now);
        const ClockProvider provider(std::nullopt, clock, zones);
        const Timeline timeline = provider.getTimeline();
        ASSERT_EQ(timeline.entries.size(), 120u);
        const qint64 start = timeline.entries.front().date;
        EXPECT_LE(start, c.now);
        EXPECT_GT(start + 60'000, c.now);
        EXPECT_EQ(start % 1000, 0);
        EXPECT_EQ(wall(start, zones), QLatin1String(c.first));
        EXPECT_EQ(wall(timeline.entries.back().date, zones), QLatin1String(c.last));
        for (std::size_t i = 1; i < timeline.entries.size(); ++i) {
            ASSERT_EQ(timeline.entries[i].date - timeline.entries[i - 1].date, 60'000) << i;
            // One decoded snapshot for all, not 120 copies.
            ASSERT_EQ(timeline.entries[i].snapshot, timeline.entries[0].snapshot);
        }
    }
}

TEST(Timeline, KeepsRealMinutesAcrossSummerTimeChanges) {
    const FixedTimeZoneProvider zones("Europe/Berlin");
    struct Case {
        const char* what;
        qint64 now;
        int index;  // entries after the start
        const char* before;
        const char* at;
    } cases[] = {
        // 02:00 CET becomes 03:00 CEST on 29 March 2026.
        {"spring forward", berlin(2026, 3, 29, 1, 30, 12), 30, "01:59", "03:00"},
        // 03:00 CEST becomes 02:00 CET on 25 October 2026; 02:30 is the first one.
        {"fall back", QDateTime(QDate(2026, 10, 25), QTime(0, 30, 12), QTimeZone::utc()).toMSecsSinceEpoch(), 30,
         "02:59", "02:00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeClock clock(c.now);
        const Timeline timeline = ClockProvider(std::nullopt, clock, zones).getTimeline();
        ASSERT_EQ(timeline.entries.size(), 120u);
        EXPECT_EQ(wall(timeline.entries[std::size_t(c.index - 1)].date, zones), QLatin1String(c.before));
        EXPECT_EQ(wall(timeline.entries[std::size_t(c.index)].date, zones), QLatin1String(c.at));
        EXPECT_EQ(timeline.entries.back().date - timeline.entries.front().date, 119 * 60'000);
    }
}

TEST(Timeline, MinuteStartsOnTheWallClockEvenForOddOffsets) {
    // An offset of 19 min 32 s (old Amsterdam time): the wall clock's minute
    // begins 28 s past a UTC minute, not on it.
    const QTimeZone odd(19 * 60 + 32);
    const qint64 utcMinute = QDateTime(QDate(2026, 1, 1), QTime(12, 0), QTimeZone::utc()).toMSecsSinceEpoch();
    EXPECT_EQ(ClockProvider::startOfMinute(utcMinute + 40'000, odd), utcMinute + 28'000);
    EXPECT_EQ(ClockProvider::startOfMinute(utcMinute + 20'000, odd), utcMinute - 32'000);
    EXPECT_EQ(ClockProvider::startOfMinute(utcMinute + 5, QTimeZone::utc()), utcMinute);
    // Before 1970 the remainder of a negative number must not flip the minute.
    EXPECT_EQ(ClockProvider::startOfMinute(-30'000, QTimeZone::utc()), -60'000);
}

TEST(Timeline, SampleIsTheFourBuiltInClocks) {
    const WidgetSnapshot& s = *sampleSnapshot();
    ASSERT_EQ(s.clocks.size(), 4u);
    const char* zones[] = {"", "America/New_York", "Asia/Tokyo", "Australia/Sydney"};
    const char* titles[] = {"Ortszeit", "New York", "Tokyo", "Sydney"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.clocks[std::size_t(i)].timeZoneID, QLatin1String(zones[i]));
        EXPECT_EQ(s.clocks[std::size_t(i)].title, QString::fromUtf8(titles[i]));
        EXPECT_EQ(s.clocks[std::size_t(i)].dial, DialStyle::classic);
        EXPECT_FALSE(s.clocks[std::size_t(i)].face);
    }
    EXPECT_FALSE(s.digital);
    EXPECT_EQ(s.fontFamily, platformDefaultFontFamily());
    EXPECT_TRUE(QFontDatabase::families().contains(s.fontFamily)) << "a font this computer has";
    EXPECT_EQ(s.theme, ThemeColors::defaultPalette());
    EXPECT_FALSE(s.nextAlarm);
    EXPECT_EQ(sampleSnapshot(), sampleSnapshot());  // built once
}

TEST(Timeline, UnusableFilesGiveTheSample) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("widget.json"));
    QByteArray valid = twoDigitalClocks().encode();
    QByteArray noClockList = valid;
    noClockList.replace("\"clocks\":[", "\"clocks\":{\"x\":[");
    noClockList.replace("],\"digital\"", "]},\"digital\"");
    ASSERT_NE(noClockList, valid);
    QByteArray huge = valid;
    huge.append(QByteArray(WidgetSnapshot::kMaxFileBytes, ' '));
    struct Case {
        const char* what;
        std::optional<QByteArray> bytes;  // absent: no file at all
    } cases[] = {
        {"missing", std::nullopt},
        {"empty", QByteArray()},
        {"clocks not a list", noClockList},
        {"truncated", valid.left(valid.size() / 2)},
        {"binary", QByteArray("\x00\xff\xfe{\"clocks\":[", 14)},
        {"deeply nested", QByteArray(100'000, '[')},
        {"beyond the size limit", huge},
        {"array instead of object", QByteArray("[]")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(file);
        if (c.bytes) writeFile(file, *c.bytes);
        EXPECT_TRUE(isSample(loadSnapshot(file)));
    }
    EXPECT_TRUE(isSample(loadSnapshot(std::nullopt)));  // no shared folder at all
    EXPECT_TRUE(isSample(loadSnapshot(dir.filePath(QStringLiteral("missing/widget.json")))));
    // A folder under the file's name.
    QFile::remove(file);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("widget.json")));
    EXPECT_TRUE(isSample(loadSnapshot(file)));
}

// One value of the wrong type in the file must not cost the user's clocks:
// the widget still shows them, in the file's colours.
TEST(Timeline, AValueOfTheWrongTypeKeepsTheUsersClocks) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("widget.json"));
    WidgetSnapshot mine = twoDigitalClocks();
    mine.theme.background = RGB{12, 34, 56};
    QByteArray bytes = mine.encode();
    bytes.replace("\"accent\":\"#0AC81E\"", "\"accent\":null");
    bytes.replace("\"surface\":\"#2D2D2D\"", "\"surface\":5");
    bytes.replace("\"digital\":true", "\"digital\":\"ja\"");
    ASSERT_TRUE(bytes.contains("\"accent\":null") && bytes.contains("\"surface\":5") &&
                bytes.contains("\"digital\":\"ja\""));
    writeFile(file, bytes);

    const std::shared_ptr<const WidgetSnapshot> shown = loadSnapshot(file);
    ASSERT_FALSE(isSample(shown));
    ASSERT_EQ(shown->clocks.size(), 2u);
    EXPECT_EQ(shown->clocks[0].title, QLatin1String("Berlin"));
    EXPECT_EQ(shown->clocks[1].title, QLatin1String("Tokyo"));
    EXPECT_EQ(shown->theme.background, mine.theme.background);
    EXPECT_EQ(shown->nextAlarm, mine.nextAlarm);
    EXPECT_FALSE(shown->digital);

    // What the desktop shows: the file's background and its two clocks.
    const FixedTimeZoneProvider zones("Europe/Berlin");
    QImage image(familySize(WidgetFamily::systemMedium), QImage::Format_ARGB32_Premultiplied);
    {
        QPainter painter(&image);
        paintWidget(painter, QRectF(image.rect()), WidgetFamily::systemMedium,
                    {berlin(2026, 6, 10, 10, 41, 0), shown}, zones);
    }
    EXPECT_EQ(image.pixelColor(2, 2), QColor(12, 34, 56));
    const WidgetLayout layout = layoutWidget(WidgetFamily::systemMedium, *shown, QRectF(image.rect()), {});
    EXPECT_EQ(layout.grid.shown, 2);
}

TEST(Timeline, ReadsTheFileAnewForEveryRequestButNeverForThePlaceholder) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("widget.json"));
    const WidgetSnapshot first = twoDigitalClocks();
    writeFile(file, first.encode());

    FakeClock clock(berlin(2026, 6, 10, 10, 41, 27));
    const FixedTimeZoneProvider zones("Europe/Berlin");
    const ClockProvider provider(file, clock, zones);

    EXPECT_TRUE(isSample(provider.placeholder().snapshot));
    EXPECT_EQ(provider.placeholder().date, clock.wallMSecs());
    const ClockEntryW now = provider.getSnapshot();
    EXPECT_EQ(now.date, clock.wallMSecs());
    EXPECT_EQ(*now.snapshot, first);
    EXPECT_EQ(*provider.getTimeline().entries.front().snapshot, first);

    WidgetSnapshot second = first;
    second.clocks.pop_back();
    second.nextAlarm.reset();
    writeFile(file, second.encode());
    EXPECT_EQ(*provider.getSnapshot().snapshot, second);
    EXPECT_EQ(*provider.getTimeline().entries.back().snapshot, second);
    EXPECT_TRUE(isSample(provider.placeholder().snapshot));

    QFile::remove(file);
    EXPECT_TRUE(isSample(provider.getTimeline().entries.front().snapshot));
}

TEST(Timeline, HostileButWellFormedSnapshotsAreShownAsTheyAre) {
    // The replay corpus of odd but valid snapshots must really reach the view.
    const QDir corpus(QStringLiteral(CORVANE_TEST_DATA "/widget/fuzz/widget_load_corpus"));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& name : files) EXPECT_FALSE(isSample(loadSnapshot(corpus.filePath(name)))) << name.toStdString();
}
