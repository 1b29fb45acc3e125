#include "model/Locale.h"

#include "platform/TimeZones.h"

#include <unicode/dtptngen.h>
#include <unicode/gregocal.h>
#include <unicode/simpletz.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <limits>

namespace corvane {

namespace {

QString fromUnicode(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::UnicodeString toUnicode(QStringView text) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()),
                              static_cast<int32_t>(text.size()));
}

bool isAsciiLetters(QByteArrayView text) {
    for (char c : text) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
    }
    return true;
}

bool isAsciiDigits(QByteArrayView text) {
    for (char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

// A region subtag as BCP 47 allows it: two letters or three digits.
QString normalizedRegion(QByteArrayView code) {
    if (code.size() == 2 && isAsciiLetters(code)) return QString::fromLatin1(code).toUpper();
    if (code.size() == 3 && isAsciiDigits(code)) return QString::fromLatin1(code);
    return {};
}

// The formatter's calendar is always Gregorian: every day and weekday the
// program computes comes from QDateTime, and a region such as TH or SA would
// otherwise switch ICU to a calendar whose dates disagree with them.
icu::Locale gregorianLocale(const icu::Locale& locale) {
    icu::Locale result(locale);
    UErrorCode status = U_ZERO_ERROR;
    result.setKeywordValue("calendar", "gregorian", status);
    return U_SUCCESS(status) ? result : locale;
}

icu::UnicodeString offsetZoneId(int offsetSeconds) {
    const int total = offsetSeconds < 0 ? -offsetSeconds : offsetSeconds;
    const QString id = QStringLiteral("GMT%1%2:%3")
                           .arg(offsetSeconds < 0 ? u'-' : u'+')
                           .arg(total / 3600, 2, 10, QLatin1Char('0'))
                           .arg((total / 60) % 60, 2, 10, QLatin1Char('0'));
    return toUnicode(id);
}

}  // namespace

LocaleEnvironment LocaleEnvironment::fromProcess() {
    return {qgetenv("LC_ALL"), qgetenv("LC_TIME"), qgetenv("LANG")};
}

QString regionOfPosixLocale(QByteArrayView posixName) {
    QByteArrayView name = posixName;
    if (const auto at = name.indexOf('@'); at >= 0) name = name.first(at);
    if (const auto dot = name.indexOf('.'); dot >= 0) name = name.first(dot);
    if (name.isEmpty() || name == "C" || name == "POSIX") return {};

    qsizetype sep = name.indexOf('_');
    if (sep < 0) sep = name.indexOf('-');
    if (sep < 0) return {};
    const QByteArrayView language = name.first(sep);
    if (language.size() < 2 || language.size() > 3 || !isAsciiLetters(language)) return {};
    QByteArrayView region = name.sliced(sep + 1);
    // "sr_Latn_RS": a script subtag may stand before the region.
    if (const auto next = region.indexOf('_'); next >= 0) {
        if (next == 4 && isAsciiLetters(region.first(4)))
            region = region.sliced(5);
        else
            return {};
    }
    return normalizedRegion(region);
}

QString regionFromEnvironment(const LocaleEnvironment& env) {
    // The first variable that is set decides, even when it names no region:
    // LC_ALL=C means the user asked for no regional conventions.
    for (const QByteArray* value : {&env.lcAll, &env.lcTime, &env.lang}) {
        if (!value->isEmpty()) return regionOfPosixLocale(*value);
    }
    return {};
}

QString localeIdentifier(QStringView language, QStringView region) {
    if (region.isEmpty()) return language.toString();
    return language.toString() + u'_' + region.toString();
}

const icu::Locale& appLocale() {
    static const icu::Locale locale = [] {
        const QString id = localeIdentifier(QString::fromLatin1(kAppLanguage),
                                            regionFromEnvironment(LocaleEnvironment::fromProcess()));
        return icu::Locale(id.toLatin1().constData());
    }();
    return locale;
}

QString appLocaleName() {
    return QString::fromLatin1(appLocale().getName());
}

QString appLocaleBcp47() {
    UErrorCode status = U_ZERO_ERROR;
    const std::string tag = appLocale().toLanguageTag<std::string>(status);
    return U_SUCCESS(status) ? QString::fromStdString(tag) : QLatin1String(kAppLanguage);
}

QLocale appQLocale() {
    return QLocale(appLocaleName());
}

QString regionDisplayName(QStringView regionCode, const icu::Locale& locale) {
    const QByteArray latin = regionCode.toLatin1();
    const QString code = regionCode.size() == latin.size() ? normalizedRegion(latin) : QString();
    // "ZZ" is the code for an unknown region; its name would only say so.
    if (code.isEmpty() || code == u"ZZ") return {};
    icu::UnicodeString name;
    icu::Locale("", code.toLatin1().constData()).getDisplayCountry(locale, name);
    const QString result = fromUnicode(name);
    // ICU echoes a code it has no name for.
    if (result.isEmpty() || result.compare(code, Qt::CaseInsensitive) == 0) return {};
    return result;
}

QString timeZoneGenericName(const QString& ianaId, const icu::Locale& locale) {
    if (ianaId.isEmpty() || !zoneForIdentifier(ianaId).isValid()) return {};
    std::unique_ptr<icu::TimeZone> zone(icu::TimeZone::createTimeZone(toUnicode(ianaId)));
    if (!zone) return {};
    icu::UnicodeString id;
    icu::UnicodeString unknown;
    zone->getID(id);
    icu::TimeZone::getUnknown().getID(unknown);
    if (id.isEmpty() || id == unknown) return {};
    icu::UnicodeString name;
    zone->getDisplayName(false, icu::TimeZone::LONG_GENERIC, locale, name);
    return fromUnicode(name);
}

// ---------------------------------------------------------------------------

DateFormatter::DateFormatter(const QTimeZone& zone)
    : m_zone(zone.isValid() ? zone : QTimeZone::systemTimeZone()) {}

DateFormatter::DateFormatter(DateFormatter&&) noexcept = default;
DateFormatter& DateFormatter::operator=(DateFormatter&&) noexcept = default;
DateFormatter::~DateFormatter() = default;

DateFormatter DateFormatter::withPattern(QStringView pattern, const QTimeZone& zone,
                                         const icu::Locale& locale) {
    DateFormatter result(zone);
    const icu::Locale gregorian = gregorianLocale(locale);
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(toUnicode(pattern), gregorian, status);
    if (U_FAILURE(status)) {
        // A malformed pattern still gives a working formatter rather than
        // none.
        status = U_ZERO_ERROR;
        format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"yyyy-MM-dd HH:mm:ss"),
                                                         gregorian, status);
    }
    if (U_SUCCESS(status)) {
        // Wall time comes from QTimeZone; the calendar must not apply any rule
        // of its own, so it starts on a fixed offset and stays on one.
        format->adoptTimeZone(new icu::SimpleTimeZone(0, offsetZoneId(0)));
        result.m_offsetSeconds = 0;
        result.m_validFrom = result.m_validUntil = 0;
        result.m_format = std::move(format);
    }
    return result;
}

DateFormatter DateFormatter::withTemplate(QStringView skeleton, const QTimeZone& zone,
                                          const icu::Locale& locale) {
    const icu::Locale gregorian = gregorianLocale(locale);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(gregorian, status));
    icu::UnicodeString pattern;
    if (U_SUCCESS(status)) pattern = generator->getBestPattern(toUnicode(skeleton), status);
    if (U_FAILURE(status) || pattern.isEmpty()) pattern = toUnicode(skeleton);
    return withPattern(QStringView(reinterpret_cast<const QChar*>(pattern.getBuffer()), pattern.length()),
                       zone, locale);
}

QString DateFormatter::pattern() const {
    if (!m_format) return {};
    icu::UnicodeString result;
    m_format->toPattern(result);
    return fromUnicode(result);
}

void DateFormatter::useOffsetFor(qint64 utcMSecs) const {
    if (m_offsetSeconds != INT_MIN && utcMSecs >= m_validFrom && utcMSecs < m_validUntil) return;

    const QDateTime instant = QDateTime::fromMSecsSinceEpoch(utcMSecs, Qt::UTC);
    const int offset = m_zone.offsetFromUtc(instant);

    // The offset holds from the last transition up to the next one; outside
    // that range the zone is asked again.
    qint64 from = std::numeric_limits<qint64>::min();
    qint64 until = std::numeric_limits<qint64>::max();
    if (m_zone.hasTransitions()) {
        const QTimeZone::OffsetData previous = m_zone.previousTransition(instant.addMSecs(1));
        const QTimeZone::OffsetData next = m_zone.nextTransition(instant);
        if (previous.atUtc.isValid()) from = previous.atUtc.toMSecsSinceEpoch();
        if (next.atUtc.isValid()) until = next.atUtc.toMSecsSinceEpoch();
        // Should the backend answer inconsistently, cache nothing rather
        // than a wrong offset.
        if (from > utcMSecs || until <= utcMSecs ||
            (previous.atUtc.isValid() && previous.offsetFromUtc != offset)) {
            from = utcMSecs;
            until = utcMSecs + 1;
        }
    }
    m_validFrom = from;
    m_validUntil = until;

    if (offset != m_offsetSeconds) {
        m_format->adoptTimeZone(new icu::SimpleTimeZone(offset * 1000, offsetZoneId(offset)));
        m_offsetSeconds = offset;
    }
}

QString DateFormatter::formatMSecs(qint64 utcMSecsSinceEpoch) const {
    if (!m_format) return {};
    useOffsetFor(utcMSecsSinceEpoch);
    m_buffer.remove();
    static_cast<const icu::DateFormat&>(*m_format).format(static_cast<UDate>(utcMSecsSinceEpoch), m_buffer);
    return fromUnicode(m_buffer);
}

QString DateFormatter::format(const QDateTime& instant) const {
    if (!instant.isValid()) return {};
    return formatMSecs(instant.toMSecsSinceEpoch());
}

DateFormatter makeDateFormatter(QStringView skeleton, const QTimeZone& zone) {
    return DateFormatter::withTemplate(skeleton, zone);
}

}  // namespace corvane
