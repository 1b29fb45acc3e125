#pragma once

// The display locale and the date formatters built on it.
//
// Every date or time shown in words follows one locale: German (the only
// language the program ships) with the region the user chose in the
// environment, so an Austrian user reads "Jänner" and a Swiss one Swiss
// conventions. ICU supplies names and patterns only: its built-in zone rules
// are older than the system's tz database, so every instant is converted to
// wall time through QTimeZone and ICU merely formats the result.

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringView>
#include <QTimeZone>
#include <climits>
#include <memory>

U_NAMESPACE_BEGIN
class SimpleDateFormat;
U_NAMESPACE_END

namespace corvane {

// The language every locale of the program uses: no translation ships, so the
// texts and the date words must agree on German.
inline constexpr const char* kAppLanguage = "de";

// The POSIX locale variables that decide the region, in the order the C
// library consults them for dates: LC_ALL, then LC_TIME, then LANG. An empty
// value counts as unset.
struct LocaleEnvironment {
    QByteArray lcAll;
    QByteArray lcTime;
    QByteArray lang;

    static LocaleEnvironment fromProcess();
};

// The region code ("AT", "CH", "419") of a POSIX locale name such as
// "de_AT.UTF-8@euro"; empty for "C", "POSIX", a plain language or anything
// malformed.
QString regionOfPosixLocale(QByteArrayView posixName);

// The region the environment selects; empty when it names none.
QString regionFromEnvironment(const LocaleEnvironment& env);

// "de_AT", or just "de" without a region.
QString localeIdentifier(QStringView language, QStringView region);

// The display locale, built from the process environment on first use and
// kept for the program's lifetime (a changed region applies at next start).
const icu::Locale& appLocale();
// The same locale as ICU identifier ("de_AT") and as BCP-47 tag ("de-AT").
QString appLocaleName();
QString appLocaleBcp47();
// The same locale for Qt's number and list formatting.
QLocale appQLocale();

// The name of a region code in `locale` ("AT" → "Österreich"); empty when the
// code is empty or the locale knows no name for it.
QString regionDisplayName(QStringView regionCode, const icu::Locale& locale = appLocale());

// The generic localized name of a zone ("Mitteleuropäische Zeit"); empty when
// the identifier names no zone or no name results.
QString timeZoneGenericName(const QString& ianaId, const icu::Locale& locale = appLocale());

// Formats instants as wall time of one zone. Built once and kept by its
// owner; formatting every second reuses the ICU formatter and rebuilds its
// fixed-offset zone only when the zone's UTC offset changes. Not thread-safe:
// one owner, one thread.
class DateFormatter {
public:
    // An explicit pattern in ICU syntax, e.g. "HH:mm:ss"; no localization of
    // the field order. An invalid zone means the system's current zone.
    static DateFormatter withPattern(QStringView pattern, const QTimeZone& zone,
                                     const icu::Locale& locale = appLocale());
    // A template naming the fields ("EEdMMM", "jm"); the locale picks order,
    // separators and hour style.
    static DateFormatter withTemplate(QStringView skeleton, const QTimeZone& zone,
                                      const icu::Locale& locale = appLocale());

    DateFormatter(DateFormatter&&) noexcept;
    DateFormatter& operator=(DateFormatter&&) noexcept;
    DateFormatter(const DateFormatter&) = delete;
    DateFormatter& operator=(const DateFormatter&) = delete;
    ~DateFormatter();

    QString format(const QDateTime& instant) const;
    QString formatMSecs(qint64 utcMSecsSinceEpoch) const;

    // The ICU pattern actually used, e.g. "EE, d. MMM" for "EEdMMM" in German.
    QString pattern() const;
    const QTimeZone& timeZone() const { return m_zone; }

private:
    DateFormatter(const QTimeZone& zone);
    void useOffsetFor(qint64 utcMSecs) const;

    QTimeZone m_zone;
    std::unique_ptr<icu::SimpleDateFormat> m_format;
    mutable icu::UnicodeString m_buffer;
    // The instant range [m_validFrom, m_validUntil) in which m_offsetSeconds
    // holds, so most calls ask QTimeZone nothing at all.
    mutable qint64 m_validFrom = 0;
    mutable qint64 m_validUntil = 0;
    mutable int m_offsetSeconds = INT_MIN;
};

// A formatter in `appLocale` for a field template such as "EEEEdMMMMyyyy";
// cannot fail.
DateFormatter makeDateFormatter(QStringView skeleton, const QTimeZone& zone);

}  // namespace corvane
