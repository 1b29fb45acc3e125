#pragma once

// Which catalogue city a clock stands for. Zones are compared as the tz
// database compares them: "Asia/Calcutta" and "Asia/Kolkata" are one zone,
// so a clock on the old name still finds the cities the catalogue files
// under the new one. The map asks for every clock whenever the clock list
// changes and the card on every refresh, so each distinct zone text is
// resolved once and the catalogue is grouped by zone up front.

#include <QHash>
#include <QString>
#include <vector>

#include "model/Settings.h"
#include "model/WorldCity.h"

namespace corvane {

class CityLookup {
public:
    // `cities` in the order a search walks them: most populous first, equal
    // populations in file order. The pointers must outlive the lookup.
    explicit CityLookup(const std::vector<const WorldCity*>& cities);

    // The city the clock stands for, or null. `currentZoneID` stands in for
    // a local clock's (empty) zone.
    //  - A named clock stands for the city of its zone with that name; a named
    //    local clock without such a city falls back to the rule below, any
    //    other named clock stands for no city.
    //  - Otherwise, among the cities of the zone: the one whose German or
    //    English name is the city part of the clock's zone text, else of the
    //    zone the text resolves to ("Asia/Calcutta" finds Kolkata); else the
    //    first whose name begins with that city part or is its beginning; else
    //    the most populous. Zone names are written in plain ASCII, so these
    //    comparisons ignore accents, case and "-" against " " ("Zurich" is
    //    Zürich, "Montreal" Montréal).
    const WorldCity* find(const ClockEntry& clock, const QString& currentZoneID) const;

private:
    // A city with its names in the form they are compared in.
    struct Entry {
        const WorldCity* city;
        QString name;
        QString englishName;
    };
    struct Zone {
        const std::vector<Entry>* cities = nullptr;
        // The city parts a city of the zone may be called by, compared form:
        // the text's own ("Calcutta") and, when the text is a link, its
        // zone's ("Kolkata"; empty when it is the same).
        QString ownName;
        QString canonicalName;
    };
    const Zone& zoneOf(const QString& zoneText) const;

    QHash<QString, std::vector<Entry>> byCanonicalZone_;
    mutable QHash<QString, Zone> byZoneText_;
};

}  // namespace corvane
