#pragma once

// Small lookups the views and settings pages share: the searchable zone
// list, the colour swatches of the design page and the weekday names in the
// order of the user's week. Each list is built once per run.

#include <unicode/locid.h>

#include <QString>
#include <vector>

#include "model/Rgb.h"

namespace corvane {

// The city part of a zone identifier: its last non-empty "/" part (the whole
// identifier when there is none) with "_" as blanks ("America/New_York" →
// "New York").
QString zoneCityName(QStringView zoneID);

struct TimeZoneInfo {
    QString id;          // IANA identifier
    QString city;        // last part, "_" as blanks
    QString region;      // first part, empty when there is none
    QString searchText;  // identifier, city and localized generic name, lower-cased

    explicit TimeZoneInfo(const QString& identifier);

    bool operator==(const TimeZoneInfo& other) const { return id == other.id; }
};

// The system's zones that have a region ("Europe/Berlin"), without "Etc/"
// and "SystemV/", sorted by city the way the display locale sorts.
const std::vector<TimeZoneInfo>& timeZoneList();
// The same built from any identifier list, for tests.
std::vector<TimeZoneInfo> makeTimeZoneList(const QList<QByteArray>& identifiers);

struct ColorSwatch {
    QString hex;   // "#RRGGBB"
    QString name;  // "Blau, Stufe 3"
};

// hue in degrees, saturation and lightness 0...1.
RGB hslToRGB(double hue, double saturation, double lightness);

// Nine colour groups in eight lightness steps, 72 swatches.
const std::vector<ColorSwatch>& paletteSwatches();

struct WeekdayEntry {
    int weekday = 1;    // 1 = Sunday ... 7 = Saturday
    QString shortName;  // "Mo"
    QString longName;   // "Montag"
};

// Seven entries starting at the locale's first day of the week.
std::vector<WeekdayEntry> weekdaySymbols(const icu::Locale& locale);
// Those of the display locale, built once.
const std::vector<WeekdayEntry>& weekdaySymbols();

}  // namespace corvane
