#include "appmodel/ModelServices.h"

#include <unicode/calendar.h>
#include <unicode/coll.h>
#include <unicode/dtfmtsym.h>

#include <QTimeZone>
#include <algorithm>
#include <cmath>
#include <memory>

#include "model/Locale.h"
#include "platform/Text.h"

namespace corvane {

namespace {

QString fromIcu(const icu::UnicodeString& text) {
    return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

icu::UnicodeString toIcu(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()), int32_t(text.size()));
}

}  // namespace

QString zoneCityName(QStringView zoneID) {
    qsizetype end = zoneID.size();
    while (end > 0 && zoneID[end - 1] == u'/') --end;
    const QStringView trimmed = zoneID.first(end);
    const qsizetype slash = trimmed.lastIndexOf(u'/');
    QString city = (slash < 0 ? trimmed : trimmed.mid(slash + 1)).toString();
    if (city.isEmpty()) city = zoneID.toString();
    city.replace(QLatin1Char('_'), QLatin1Char(' '));
    return city;
}

TimeZoneInfo::TimeZoneInfo(const QString& identifier) : id(identifier), city(zoneCityName(identifier)) {
    const QStringList parts = identifier.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    region = parts.isEmpty() ? QString() : parts.constFirst();
    const QString name = timeZoneGenericName(identifier);
    searchText = (identifier + QLatin1Char(' ') + city + QLatin1Char(' ') + name).toLower();
}

std::vector<TimeZoneInfo> makeTimeZoneList(const QList<QByteArray>& identifiers) {
    std::vector<TimeZoneInfo> list;
    for (const QByteArray& raw : identifiers) {
        const QString id = QString::fromUtf8(raw);
        if (!id.contains(QLatin1Char('/'))) continue;
        if (id.startsWith(QLatin1String("Etc/")) || id.startsWith(QLatin1String("SystemV/"))) continue;
        list.emplace_back(id);
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Collator> collator(icu::Collator::createInstance(appLocale(), status));
    if (U_SUCCESS(status) && collator) {
        // Secondary strength: accents count, letter case does not.
        collator->setStrength(icu::Collator::SECONDARY);
        std::stable_sort(list.begin(), list.end(), [&](const TimeZoneInfo& a, const TimeZoneInfo& b) {
            UErrorCode s = U_ZERO_ERROR;
            return collator->compare(toIcu(a.city), toIcu(b.city), s) == UCOL_LESS;
        });
    } else {
        std::stable_sort(list.begin(), list.end(), [](const TimeZoneInfo& a, const TimeZoneInfo& b) {
            return QString::compare(a.city, b.city, Qt::CaseInsensitive) < 0;
        });
    }
    return list;
}

const std::vector<TimeZoneInfo>& timeZoneList() {
    static const std::vector<TimeZoneInfo> list = makeTimeZoneList(QTimeZone::availableTimeZoneIds());
    return list;
}

RGB hslToRGB(double h, double s, double l) {
    const double c = (1.0 - std::fabs(2.0 * l - 1.0)) * s;
    const double hp = h / 60.0;
    const double mod2 = hp - 2.0 * std::trunc(hp / 2.0);
    const double x = c * (1.0 - std::fabs(mod2 - 1.0));
    const double m = l - c / 2.0;
    double r = 0, g = 0, b = 0;
    if (hp >= 0 && hp < 1) {
        r = c, g = x;
    } else if (hp >= 1 && hp < 2) {
        r = x, g = c;
    } else if (hp >= 2 && hp < 3) {
        g = c, b = x;
    } else if (hp >= 3 && hp < 4) {
        g = x, b = c;
    } else if (hp >= 4 && hp < 5) {
        r = x, b = c;
    } else {
        r = c, b = x;
    }
    auto byte = [](double v) {
        const double scaled = std::round(v * 255.0);  // half away from zero
        return std::uint8_t(std::clamp(std::isfinite(scaled) ? scaled : 0.0, 0.0, 255.0));
    };
    return RGB{byte(r + m), byte(g + m), byte(b + m)};
}

const std::vector<ColorSwatch>& paletteSwatches() {
    static const std::vector<ColorSwatch> swatches = [] {
        struct Group {
            const char* name;
            double hue;
            double saturation;
        };
        const Group groups[] = {{"Grau", 0, 0},      {"Rot", 0, 0.68},       {"Orange", 28, 0.80},
                                {"Gelb", 48, 0.85},  {"Grün", 130, 0.45},    {"Türkis", 178, 0.55},
                                {"Blau", 212, 0.65}, {"Violett", 268, 0.50}, {"Pink", 330, 0.62}};
        const double greySteps[] = {0.97, 0.88, 0.76, 0.62, 0.48, 0.34, 0.22, 0.10};
        const double colourSteps[] = {0.95, 0.87, 0.76, 0.63, 0.50, 0.38, 0.26, 0.15};
        const QString grey = tr("Grau");
        std::vector<ColorSwatch> list;
        for (const Group& group : groups) {
            const QString name = tr(group.name);
            const double* steps = name == grey ? greySteps : colourSteps;
            for (int step = 0; step < 8; ++step) {
                const RGB rgb = hslToRGB(group.hue, group.saturation, steps[step]);
                list.push_back({QString::asprintf("#%02X%02X%02X", rgb.r, rgb.g, rgb.b),
                                tr("%1, Stufe %2").arg(name).arg(step + 1)});
            }
        }
        return list;
    }();
    return swatches;
}

std::vector<WeekdayEntry> weekdaySymbols(const icu::Locale& locale) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(locale, status));
    int first = 1;
    if (U_SUCCESS(status) && calendar) first = int(calendar->getFirstDayOfWeek(status));
    if (U_FAILURE(status) || first < 1 || first > 7) first = 1;

    status = U_ZERO_ERROR;
    icu::DateFormatSymbols symbols(locale, status);
    int32_t shortCount = 0;
    int32_t longCount = 0;
    const icu::UnicodeString* shorts = nullptr;
    const icu::UnicodeString* longs = nullptr;
    if (U_SUCCESS(status)) {
        shorts = symbols.getWeekdays(shortCount, icu::DateFormatSymbols::STANDALONE,
                                     icu::DateFormatSymbols::ABBREVIATED);
        longs =
            symbols.getWeekdays(longCount, icu::DateFormatSymbols::STANDALONE, icu::DateFormatSymbols::WIDE);
    }

    std::vector<WeekdayEntry> list;
    for (int i = 0; i < 7; ++i) {
        const int index = (first - 1 + i) % 7;  // 0 = Sunday
        WeekdayEntry entry;
        entry.weekday = index + 1;
        // ICU's weekday arrays start with an empty entry at 0.
        if (shorts && index + 1 < shortCount) {
            QString s = fromIcu(shorts[index + 1]);
            s.remove(QLatin1Char('.'));
            s = s.left(2);
            if (!s.isEmpty()) s[0] = s[0].toUpper();
            entry.shortName = s;
        }
        if (longs && index + 1 < longCount) entry.longName = fromIcu(longs[index + 1]);
        list.push_back(entry);
    }
    return list;
}

const std::vector<WeekdayEntry>& weekdaySymbols() {
    static const std::vector<WeekdayEntry> list = weekdaySymbols(appLocale());
    return list;
}

}  // namespace corvane
