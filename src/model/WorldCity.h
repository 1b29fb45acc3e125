#pragma once

// The city catalogue: the fixed list of cities that the world map draws and
// that the model searches for the city of a clock's zone. It is read once
// from the resource file cities.tsv and shared read-only afterwards.

#include <QList>
#include <QString>
#include <QStringView>
#include <QTimeZone>
#include <QtGlobal>
#include <optional>
#include <span>
#include <vector>

#include "platform/Resources.h"

namespace corvane {

struct WorldCity {
    QString name;           // in the display language
    QString country;        // in the display language
    double lat = 0;         // degrees, north positive
    double lon = 0;         // degrees, east positive
    QString tz;             // zone identifier exactly as the file gives it
    qint64 population = 0;  // 0 when unknown
    bool isCapital = false;
    // The English name (column 7), whatever the display language; empty when
    // the file gives none. Not part of the record's identity: it only helps
    // to recognise the city in an English zone name ("Asia/Kolkata").
    QString englishName{};

    // name + "|" + country; unique within the catalogue.
    QString id() const;

    // The zone named by `tz`; for an identifier the system does not know, a
    // fixed offset of lon / 15 whole hours (halves away from zero).
    QTimeZone timeZone() const;

    // "12.345 Einwohner", "3,7 Mio. Einwohner"; empty below 1.
    QString populationText() const;

    friend bool operator==(const WorldCity& a, const WorldCity& b) {
        return a.name == b.name && a.country == b.country && a.lat == b.lat && a.lon == b.lon && a.tz == b.tz &&
               a.population == b.population && a.isCapital == b.isCapital;
    }

    // The shared catalogue, least populous first (equal populations in file
    // order), so that the map draws the big cities on top. Built on the first
    // call from any thread and never rebuilt; empty when the file is missing
    // or unreadable.
    static const std::vector<WorldCity>& all();

    // The same cities, most populous first with equal populations in file
    // order: the order in which a search for "the" city of a zone should
    // walk them. Points into all().
    static const std::vector<const WorldCity*>& allMostPopulousFirst();
    // That order over any list sorted like all() (least populous first,
    // stable); the pointers point into `cities`.
    static std::vector<const WorldCity*> mostPopulousFirst(std::span<const WorldCity> cities);

    // How reading the shared catalogue went.
    static ResourceState catalogueState();

    // The file may be at most this large, and only this many of its lines
    // are read: ten times the shipped catalogue, and small enough to read in
    // well under half a second on the window's thread.
    static constexpr qint64 kMaxFileBytes = 1024 * 1024;
    static constexpr qsizetype kMaxLines = 10000;

    // Reads cities.tsv from the resource folder in the display language.
    static std::vector<WorldCity> loadAll();
    // Reads one catalogue file; `language` is "de", "en", "es", ...
    // Never fails: a missing or oversized file gives an empty list, a bad
    // line (also one that is not UTF-8) is skipped. `state`, when given,
    // tells which.
    static std::vector<WorldCity> loadAll(const QString& filePath, QStringView language,
                                          ResourceState* state = nullptr);

    // One line, already cut at its tabs; nothing when the line is unusable.
    static std::optional<WorldCity> parseLine(const QList<QStringView>& fields, QStringView language);
};

size_t qHash(const WorldCity& city, size_t seed = 0) noexcept;

}  // namespace corvane
