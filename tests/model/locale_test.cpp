#include "model/Locale.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

using namespace corvane;

namespace {

qint64 utc(const char* iso) {
    QDateTime t = QDateTime::fromString(QString::fromLatin1(iso), Qt::ISODate);
    t.setTimeSpec(Qt::UTC);
    return t.toMSecsSinceEpoch();
}

QTimeZone zone(const char* id) {
    return QTimeZone(QByteArray(id));
}

}  // namespace

TEST(LocaleEnvironmentTest, RegionComesFromTheFirstSetVariable) {
    struct Case {
        const char* lcAll;
        const char* lcTime;
        const char* lang;
        const char* region;
    };
    const Case cases[] = {
        {"", "", "de_AT.UTF-8", "AT"},
        {"", "de_CH.UTF-8", "en_US.UTF-8", "CH"},
        {"fr_BE.UTF-8", "de_CH.UTF-8", "en_US.UTF-8", "BE"},
        {"C", "de_CH.UTF-8", "de_AT.UTF-8", ""},  // LC_ALL=C overrides, and names no region
        {"", "POSIX", "de_AT.UTF-8", ""},
        {"", "", "C.UTF-8", ""},
        {"", "", "de", ""},
        {"", "", "", ""},
        {"", "", "de_DE.utf8@euro", "DE"},
        {"", "", "sr_RS@latin", "RS"},
        {"", "", "es_419", "419"},
        {"", "", "en_gb", "GB"},
        {"", "", "de_AT-x", ""},
        {"", "", "de_12", ""},
        {"", "", "_AT", ""},
        {"", "", "d\xc3\xa4_AT", ""},
    };
    for (const Case& c : cases) {
        const LocaleEnvironment env{c.lcAll, c.lcTime, c.lang};
        EXPECT_EQ(regionFromEnvironment(env), QString::fromLatin1(c.region))
            << c.lcAll << " | " << c.lcTime << " | " << c.lang;
    }
    EXPECT_EQ(localeIdentifier(u"de", u"AT"), QStringLiteral("de_AT"));
    EXPECT_EQ(localeIdentifier(u"de", u""), QStringLiteral("de"));
}

TEST(LocaleTest, AppLocaleIsGermanWhateverTheEnvironmentSays) {
    EXPECT_STREQ(appLocale().getLanguage(), "de");
    EXPECT_TRUE(appLocaleBcp47().startsWith(QStringLiteral("de")));
    EXPECT_EQ(appQLocale().language(), QLocale::German);
}

TEST(DateFormatterTest, ConvertsInstantsWithTheSystemZoneDatabase) {
    // ICU's own rules are older than these changes: Almaty moved to UTC+5 on
    // 2024-03-01, Mexico City dropped daylight-saving time in 2022.
    const qint64 summer = utc("2025-06-15T12:00:00");
    const icu::Locale de("de_DE");
    EXPECT_EQ(DateFormatter::withPattern(u"HH:mm", zone("Asia/Almaty"), de).formatMSecs(summer), "17:00");
    EXPECT_EQ(DateFormatter::withPattern(u"HH:mm", zone("America/Mexico_City"), de).formatMSecs(summer),
              "06:00");
    // Two formatters from one template differ only by their zone.
    const auto berlin = makeDateFormatter(u"Hm", zone("Europe/Berlin"));
    const auto tokyo = makeDateFormatter(u"Hm", zone("Asia/Tokyo"));
    EXPECT_EQ(berlin.formatMSecs(summer), "14:00");
    EXPECT_EQ(tokyo.formatMSecs(summer), "21:00");
}

TEST(DateFormatterTest, KeptFormatterFollowsOffsetChangesInBothDirections) {
    const QTimeZone berlin = zone("Europe/Berlin");
    const auto formatter = DateFormatter::withPattern(u"yyyy-MM-dd HH:mm:ss", berlin, icu::Locale("de_DE"));
    // Around both changes of 2025, jumping back and forth, far into the past
    // and beyond the end of the zone's transition table.
    const char* instants[] = {
        "2025-03-30T00:59:59", "2025-03-30T01:00:00", "2025-03-30T00:59:59", "2025-10-26T00:59:59",
        "2025-10-26T01:00:00", "2025-07-01T00:00:00", "1890-01-01T00:00:00", "2099-07-01T12:00:00",
        "2099-12-01T12:00:00", "2025-03-30T01:00:00",
    };
    for (const char* iso : instants) {
        const qint64 ms = utc(iso);
        const QString expected =
            QDateTime::fromMSecsSinceEpoch(ms, berlin).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        EXPECT_EQ(formatter.formatMSecs(ms), expected) << iso;
    }
    EXPECT_EQ(formatter.format(QDateTime()), QString());
}

TEST(DateFormatterTest, TemplateFollowsTheRegion) {
    const qint64 january = utc("2025-01-15T12:00:00");
    const QTimeZone berlin = zone("Europe/Berlin");
    EXPECT_EQ(
        DateFormatter::withTemplate(u"EEEEdMMMMyyyy", berlin, icu::Locale("de_DE")).formatMSecs(january),
        "Mittwoch, 15. Januar 2025");
    EXPECT_EQ(
        DateFormatter::withTemplate(u"EEEEdMMMMyyyy", berlin, icu::Locale("de_AT")).formatMSecs(january),
        "Mittwoch, 15. Jänner 2025");
    // A region whose default calendar is not Gregorian still gets the
    // Gregorian year the rest of the program computes with.
    EXPECT_TRUE(DateFormatter::withTemplate(u"yyyy", berlin, icu::Locale("de_TH"))
                    .formatMSecs(january)
                    .contains(QStringLiteral("2025")));
}

TEST(DateFormatterTest, InvalidZoneMeansTheSystemZone) {
    const qint64 now = utc("2025-06-15T12:00:00");
    const auto formatter = DateFormatter::withPattern(u"HH:mm", QTimeZone(), icu::Locale("de_DE"));
    EXPECT_EQ(formatter.timeZone(), QTimeZone::systemTimeZone());
    EXPECT_EQ(
        formatter.formatMSecs(now),
        QDateTime::fromMSecsSinceEpoch(now, QTimeZone::systemTimeZone()).toString(QStringLiteral("HH:mm")));
}

TEST(LocaleNamesTest, RegionAndZoneNamesOrNothing) {
    const icu::Locale de("de_DE");
    EXPECT_EQ(regionDisplayName(u"AT", de), QStringLiteral("Österreich"));
    EXPECT_EQ(regionDisplayName(u"at", de), QStringLiteral("Österreich"));
    for (const char16_t* unknown : {u"", u"XY", u"ZZ", u"A1", u"DEU", u"Ös"}) {
        EXPECT_EQ(regionDisplayName(unknown, de), QString()) << QString::fromUtf16(unknown).toStdString();
    }
    EXPECT_EQ(timeZoneGenericName(QStringLiteral("Europe/Berlin"), de),
              QStringLiteral("Mitteleuropäische Zeit"));
    EXPECT_EQ(timeZoneGenericName(QStringLiteral("Mars/Olympus_Mons"), de), QString());
    EXPECT_EQ(timeZoneGenericName(QString(), de), QString());
}
