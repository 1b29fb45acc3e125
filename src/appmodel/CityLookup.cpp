#include "appmodel/CityLookup.h"

#include "appmodel/ModelServices.h"
#include "platform/TimeZones.h"

namespace corvane {

namespace {

// Zone texts come from the clock list and the system; a run never sees many.
// Should something feed it endless new ones, the cache starts over instead
// of growing without bound.
constexpr qsizetype kMaxCachedZoneTexts = 512;

// The form in which a city's name and a zone's city part are compared.
QString comparable(const QString& text) {
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing) continue;
        out.append(c == u'-' ? QChar(u' ') : c.toCaseFolded());
    }
    return out;
}

// The name begins with the key or is the key's beginning. An empty name
// would be the beginning of every key.
bool prefixes(const QString& name, const QString& key) {
    return !name.isEmpty() && (key.startsWith(name) || name.startsWith(key));
}

}  // namespace

CityLookup::CityLookup(const std::vector<const WorldCity*>& cities) {
    // Canonical names resolved once per distinct catalogue zone, not per city.
    QHash<QString, QString> canonical;
    for (const WorldCity* city : cities) {
        auto it = canonical.constFind(city->tz);
        if (it == canonical.cend()) it = canonical.insert(city->tz, canonicalZoneID(city->tz));
        byCanonicalZone_[it.value()].push_back(
            Entry{city, comparable(city->name), city->englishName.isEmpty() ? QString() : comparable(city->englishName)});
    }
}

const CityLookup::Zone& CityLookup::zoneOf(const QString& zoneText) const {
    auto it = byZoneText_.constFind(zoneText);
    if (it != byZoneText_.cend()) return it.value();
    if (byZoneText_.size() >= kMaxCachedZoneTexts) byZoneText_.clear();
    Zone zone;
    const QString canonical = canonicalZoneID(zoneText);
    const auto cities = byCanonicalZone_.constFind(canonical);
    if (cities != byCanonicalZone_.cend()) zone.cities = &cities.value();
    zone.ownName = comparable(zoneCityName(zoneText));
    if (canonical != zoneText) {
        QString name = comparable(zoneCityName(canonical));
        if (name != zone.ownName) zone.canonicalName = std::move(name);
    }
    return byZoneText_.insert(zoneText, std::move(zone)).value();
}

const WorldCity* CityLookup::find(const ClockEntry& clock, const QString& currentZoneID) const {
    const bool local = clock.timeZoneID.isEmpty();
    const Zone& zone = zoneOf(local ? currentZoneID : clock.timeZoneID);
    if (!zone.cities || zone.cities->empty()) return nullptr;
    const std::vector<Entry>& cities = *zone.cities;

    if (!clock.name.isEmpty()) {
        for (const Entry& e : cities)
            if (e.city->name == clock.name) return e.city;
        // A clock the user named is not claimed by some other city of its zone.
        if (!local) return nullptr;
    }

    const QString* keys[2] = {&zone.ownName, &zone.canonicalName};
    for (const QString* key : keys) {
        if (key->isEmpty()) continue;
        for (const Entry& e : cities)
            if (e.name == *key || (!e.englishName.isEmpty() && e.englishName == *key)) return e.city;
    }
    for (const QString* key : keys) {
        if (key->isEmpty()) continue;
        for (const Entry& e : cities)
            if (prefixes(e.name, *key) || prefixes(e.englishName, *key)) return e.city;
    }
    // Most populous first: the first is the largest, the earlier line on a tie.
    return cities.front().city;
}

}  // namespace corvane
