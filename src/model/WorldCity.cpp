#include "model/WorldCity.h"

#include "platform/TimeZones.h"

#include <locale.h>
#include <unicode/locid.h>

#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "model/Locale.h"
#include "platform/AtomicFile.h"
#include "platform/Resources.h"
#include "platform/Text.h"

namespace corvane {

namespace {

// No city line comes near this; a longer one is garbage (or a binary file
// that happens to be valid UTF-8) and is skipped rather than split.
constexpr qsizetype kMaxLineLength = 4096;
// Columns 0 to 9 are read; later ones are ignored, so they are not even cut.
constexpr qsizetype kMaxFields = 10;

// strtod follows LC_NUMERIC, which Qt sets from the environment: under a
// German locale it would want a decimal comma. The catalogue always uses a
// point, so the conversion runs in a C locale of its own.
locale_t cNumericLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return locale;
}

// The whole field as strtod reads it (so exponents and hex forms count), but
// without the leading white space strtod would skip; non-finite values are no
// coordinates.
std::optional<double> coordinate(QStringView field) {
    if (field.isEmpty()) return std::nullopt;
    switch (field.front().unicode()) {
        case u' ':
        case u'\t':
        case u'\n':
        case u'\v':
        case u'\f':
        case u'\r':
        case u'\0':
            return std::nullopt;
        default:
            break;
    }
    // Only ASCII can be part of a number; anything else fails the
    // whole-field check below, whatever toLatin1 makes of it.
    const locale_t c = cNumericLocale();
    if (c == locale_t(nullptr)) return std::nullopt;
    const QByteArray bytes = field.toLatin1();
    char* end = nullptr;
    const double value = strtod_l(bytes.constData(), &end, c);
    if (end != bytes.constData() + bytes.size()) return std::nullopt;
    if (!std::isfinite(value)) return std::nullopt;
    return value;
}

// Whole field, optional sign, decimal digits; anything else (also overflow)
// means unknown, which is 0.
qint64 population(QStringView field) {
    qsizetype i = 0;
    bool negative = false;
    if (!field.isEmpty() && (field[0] == u'+' || field[0] == u'-')) {
        negative = field[0] == u'-';
        i = 1;
    }
    if (i == field.size()) return 0;
    qint64 value = 0;
    for (; i < field.size(); ++i) {
        const char16_t c = field[i].unicode();
        if (c < u'0' || c > u'9') return 0;
        const int digit = c - u'0';
        // Accumulate towards the sign so that the most negative value fits.
        if (__builtin_mul_overflow(value, 10, &value)) return 0;
        if (negative ? __builtin_sub_overflow(value, digit, &value)
                     : __builtin_add_overflow(value, digit, &value))
            return 0;
    }
    return value;
}

const QLocale& displayQLocale() {
    // The display locale never changes while the program runs; building a
    // QLocale on every redraw of a city card would be wasted work.
    static const QLocale locale = appQLocale();
    return locale;
}

// One language for a whole file: the region locale is built once, not per line.
struct LineReader {
    QStringView language;
    icu::Locale regionLocale;

    std::optional<WorldCity> read(const QList<QStringView>& f) const {
        const qsizetype n = f.size();
        if (n < 7) return std::nullopt;
        const std::optional<double> lat = coordinate(f[2]);
        if (!lat) return std::nullopt;
        const std::optional<double> lon = coordinate(f[3]);
        if (!lon) return std::nullopt;
        if (!zoneForIdentifier(f[4]).isValid()) return std::nullopt;

        QStringView name = f[0];
        if (language == u"en" && n >= 8 && !f[7].isEmpty())
            name = f[7];
        else if (language == u"es" && n >= 9 && !f[8].isEmpty())
            name = f[8];
        // A nameless city would match every unnamed clock of its zone.
        if (name.isEmpty()) return std::nullopt;

        QString country;
        if (language != u"de" && n >= 10 && !f[9].isEmpty()) country = regionDisplayName(f[9], regionLocale);
        if (country.isEmpty()) country = f[1].toString();

        return WorldCity{name.toString(), country,          *lat,         *lon,
                         f[4].toString(), population(f[5]), f[6] == u"1", n >= 8 ? f[7].toString() : QString()};
    }
};

icu::Locale localeOfLanguage(QStringView language) {
    return icu::Locale(language.toLatin1().constData());
}

std::vector<WorldCity> readCatalogue(const QString& filePath, const LineReader& reader, ResourceState& state) {
    const QFileInfo info(filePath);
    state = info.exists() || info.isSymLink() ? ResourceState::unreadable : ResourceState::missing;
    // Only a regular file: opening a FIFO or device would block or never end.
    const std::optional<QByteArray> read = readRegularFile(filePath, WorldCity::kMaxFileBytes).bytes;
    if (!read) return {};
    const QByteArray& bytes = *read;

    std::vector<WorldCity> cities;
    QSet<QString> ids;
    QList<QStringView> fields;
    QString text;
    qsizetype lineStart = 0;
    qsizetype linesRead = 0;
    while (lineStart < bytes.size() && linesRead < WorldCity::kMaxLines) {
        qsizetype lineEnd = bytes.indexOf('\n', lineStart);
        if (lineEnd < 0) lineEnd = bytes.size();
        QByteArrayView raw(bytes.constData() + lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;

        // A file saved with CR LF line ends would otherwise lose the capital
        // flag or the region of every line to the stray CR.
        if (raw.endsWith('\r')) raw.chop(1);
        if (raw.isEmpty()) continue;
        ++linesRead;
        if (raw.size() > kMaxLineLength) continue;

        // Each line on its own, so that one damaged line costs that city
        // only. Stateless: a sequence cut off at the line's end is an error.
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        text = decoder.decode(raw);
        if (decoder.hasError()) continue;
        const QStringView line(text);

        fields.clear();
        qsizetype fieldStart = 0;
        while (fields.size() < kMaxFields) {
            const qsizetype tab = line.indexOf(u'\t', fieldStart);
            if (tab < 0) {
                fields.append(line.sliced(fieldStart));
                break;
            }
            fields.append(line.sliced(fieldStart, tab - fieldStart));
            fieldStart = tab + 1;
        }

        std::optional<WorldCity> city = reader.read(fields);
        if (!city) continue;
        // The id marks the hovered city and keys the clock marks on the map;
        // a second city with the same one would light up with the first.
        QString id = city->id();
        if (ids.contains(id)) continue;
        ids.insert(std::move(id));
        cities.push_back(std::move(*city));
    }

    std::stable_sort(cities.begin(), cities.end(),
                     [](const WorldCity& a, const WorldCity& b) { return a.population < b.population; });
    state = cities.empty() ? ResourceState::unreadable : ResourceState::ok;
    return cities;
}

struct Catalogue {
    std::vector<WorldCity> cities;
    ResourceState state = ResourceState::missing;
};

// cities.tsv of the resource folder in the display language.
Catalogue readResource() {
    const icu::Locale& locale = appLocale();
    const char* language = locale.getLanguage();
    const QString code = language && *language ? QString::fromLatin1(language) : QStringLiteral("de");
    Catalogue c;
    c.cities = readCatalogue(resourcePath(QStringLiteral("cities.tsv")), LineReader{code, locale}, c.state);
    return c;
}

const Catalogue& sharedCatalogue() {
    static const Catalogue catalogue = readResource();
    return catalogue;
}

}  // namespace

QString WorldCity::id() const {
    return name + u'|' + country;
}

QTimeZone WorldCity::timeZone() const {
    QTimeZone zone = zoneForIdentifier(tz);
    if (zone.isValid()) return zone;
    // std::round takes halves away from zero. Fixed offsets exist only up to
    // 14 hours either way; a record built with a longitude beyond the globe
    // (or none at all) still gets a usable zone.
    const double hours = std::isfinite(lon) ? std::clamp(std::round(lon / 15.0), -14.0, 14.0) : 0.0;
    return QTimeZone(int(hours) * 3600);
}

QString WorldCity::populationText() const {
    if (population < 1) return {};
    const QLocale& locale = displayQLocale();
    if (population < 1'000'000) return tr("%1 Einwohner").arg(locale.toString(population));
    return tr("%1 Mio. Einwohner").arg(locale.toString(double(population) / 1e6, 'f', 1));
}

const std::vector<WorldCity>& WorldCity::all() {
    return sharedCatalogue().cities;
}

ResourceState WorldCity::catalogueState() {
    return sharedCatalogue().state;
}

const std::vector<const WorldCity*>& WorldCity::allMostPopulousFirst() {
    static const std::vector<const WorldCity*> order = mostPopulousFirst(all());
    return order;
}

std::vector<const WorldCity*> WorldCity::mostPopulousFirst(std::span<const WorldCity> cities) {
    std::vector<const WorldCity*> order;
    order.reserve(cities.size());
    for (const WorldCity& city : cities) order.push_back(&city);
    // Stable: equal populations keep the file order that `cities` has.
    std::stable_sort(order.begin(), order.end(),
                     [](const WorldCity* a, const WorldCity* b) { return a->population > b->population; });
    return order;
}

std::vector<WorldCity> WorldCity::loadAll() {
    return readResource().cities;
}

std::vector<WorldCity> WorldCity::loadAll(const QString& filePath, QStringView language, ResourceState* state) {
    ResourceState ignored = ResourceState::ok;
    return readCatalogue(filePath, LineReader{language, localeOfLanguage(language)}, state ? *state : ignored);
}

std::optional<WorldCity> WorldCity::parseLine(const QList<QStringView>& fields, QStringView language) {
    return LineReader{language, localeOfLanguage(language)}.read(fields);
}

size_t qHash(const WorldCity& city, size_t seed) noexcept {
    // 0.0 and -0.0 are equal, so they must hash alike.
    const double lat = city.lat == 0 ? 0.0 : city.lat;
    const double lon = city.lon == 0 ? 0.0 : city.lon;
    return qHashMulti(seed, city.name, city.country, lat, lon, city.tz, city.population, city.isCapital);
}

}  // namespace corvane
