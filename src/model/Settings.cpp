#include "model/Settings.h"

#include "platform/TimeZones.h"

#include <QSet>
#include <algorithm>
#include <cmath>

#include "model/Rgb.h"

#include "platform/Text.h"
#include "platform/Uuid.h"

namespace corvane {

QString rawValue(ClockDisplayMode value) {
    switch (value) {
        case ClockDisplayMode::digital:
            return QStringLiteral("Digital");
        case ClockDisplayMode::analog:
            return QStringLiteral("Analog");
    }
    return {};
}

QString rawValue(ThemeMode value) {
    switch (value) {
        case ThemeMode::dark:
            return QStringLiteral("Dark");
        case ThemeMode::light:
            return QStringLiteral("Light");
        case ThemeMode::system:
            return QStringLiteral("System");
        case ThemeMode::dusk:
            return QStringLiteral("Dusk");
    }
    return {};
}

QString rawValue(DialStyle value) {
    switch (value) {
        case DialStyle::classic:
            return QStringLiteral("Classic");
        case DialStyle::minimal:
            return QStringLiteral("Minimal");
        case DialStyle::roman:
            return QStringLiteral("Roman");
        case DialStyle::modern:
            return QStringLiteral("Modern");
        case DialStyle::dots:
            return QStringLiteral("Dots");
        case DialStyle::elegant:
            return QStringLiteral("Elegant");
        case DialStyle::gradient:
            return QStringLiteral("Gradient");
        case DialStyle::night:
            return QStringLiteral("Night");
    }
    return {};
}

QString rawValue(SoundSource value) {
    switch (value) {
        case SoundSource::builtIn:
            return QStringLiteral("BuiltIn");
        case SoundSource::system:
            return QStringLiteral("System");
        case SoundSource::customFile:
            return QStringLiteral("CustomFile");
    }
    return {};
}

QString rawValue(DuskSource value) {
    switch (value) {
        case DuskSource::schedule:
            return QStringLiteral("Schedule");
        case DuskSource::sun:
            return QStringLiteral("Sun");
    }
    return {};
}

QString rawValue(AlarmSettings::RadioMode value) {
    switch (value) {
        case AlarmSettings::RadioMode::randomFavorite:
            return QStringLiteral("randomFavorite");
        case AlarmSettings::RadioMode::station:
            return QStringLiteral("station");
        case AlarmSettings::RadioMode::lastPlayed:
            return QStringLiteral("lastPlayed");
    }
    return {};
}

QString displayName(DialStyle style) {
    switch (style) {
        case DialStyle::classic:
            return tr("Klassisch");
        case DialStyle::minimal:
            return tr("Minimal");
        case DialStyle::roman:
            return tr("Römisch");
        case DialStyle::modern:
            return tr("Modern");
        case DialStyle::dots:
            return tr("Punkte");
        case DialStyle::elegant:
            return tr("Elegant");
        case DialStyle::gradient:
            return tr("Farbverlauf");
        case DialStyle::night:
            return tr("Leuchtziffern");
    }
    return {};
}

// ---------------------------------------------------------------------------

bool AlarmSettings::usesRadio() const {
    if (!wakeWithRadio) return false;
    if (radioMode != RadioMode::station) return true;
    return radioStationUUID.has_value() && !radioStationUUID->isEmpty();
}

void AlarmSettings::setFadeSeconds(qint64 seconds) {
    fadeSeconds = std::clamp<qint64>(seconds, 0, kMaxFadeSeconds);
}

const std::vector<AlarmSettings>& AlarmSettings::defaultAlarms() {
    static const std::vector<AlarmSettings> alarms = [] {
        auto make = [](qint64 hour, qint64 minute, const char* sound) {
            AlarmSettings alarm;
            alarm.hour = hour;
            alarm.minute = minute;
            alarm.sound =
                SoundSettings{SoundSource::system, defaultSoundHere(sound), std::nullopt, 80, true};
            return alarm;
        };
        return std::vector<AlarmSettings>{make(7, 0, "Glass.aiff"), make(8, 30, "Ping.aiff"),
                                          make(6, 30, "Purr.aiff"), make(9, 0, "Submarine.aiff")};
    }();
    return alarms;
}

const std::vector<CountdownSettings>& CountdownSettings::defaultCountdowns() {
    static const std::vector<CountdownSettings> countdowns = [] {
        auto make = [](qint64 seconds, const char* sound) {
            return CountdownSettings{
                seconds, SoundSettings{SoundSource::system, defaultSoundHere(sound), std::nullopt, 80, false}};
        };
        return std::vector<CountdownSettings>{make(900, "Hero.aiff"), make(300, "Glass.aiff")};
    }();
    return countdowns;
}

void DuskSettings::setDayStartHour(qint64 value) {
    dayStartHour = std::clamp<qint64>(value, 0, 23);
}
void DuskSettings::setDayStartMinute(qint64 value) {
    dayStartMinute = std::clamp<qint64>(value, 0, 59);
}
void DuskSettings::setNightStartHour(qint64 value) {
    nightStartHour = std::clamp<qint64>(value, 0, 23);
}
void DuskSettings::setNightStartMinute(qint64 value) {
    nightStartMinute = std::clamp<qint64>(value, 0, 59);
}
void DuskSettings::setTransitionMinutes(qint64 value) {
    transitionMinutes = std::clamp<qint64>(value, 0, 240);
}

namespace {
bool sameCoordinate(double a, double b) {
    return a == b || (std::isnan(a) && std::isnan(b));
}
}  // namespace

bool DuskSettings::operator==(const DuskSettings& other) const {
    return source == other.source && dayStartHour == other.dayStartHour &&
           dayStartMinute == other.dayStartMinute && nightStartHour == other.nightStartHour &&
           nightStartMinute == other.nightStartMinute && transitionMinutes == other.transitionMinutes &&
           sameCoordinate(latitude, other.latitude) && sameCoordinate(longitude, other.longitude);
}

ClockEntry ClockEntry::makeNew() {
    ClockEntry clock;
    clock.id = newUuidText();
    return clock;
}

QTimeZone ClockEntry::timeZone() const {
    if (!timeZoneID.isEmpty()) {
        const QTimeZone zone = zoneForIdentifier(timeZoneID);
        if (zone.isValid()) return zone;
    }
    return QTimeZone::systemTimeZone();
}

// ---------------------------------------------------------------------------

AppSettings AppSettings::defaults() {
    AppSettings settings;
    settings.clocks.push_back(ClockEntry::makeNew());
    return settings;
}

void AppSettings::normalizeFontFamily() {
    // Only the emptiness test ignores surrounding white space, line breaks
    // included (a family of only "\n" names no font); a name typed with a
    // blank at either end is kept exactly as typed.
    if (fontFamily.trimmed().isEmpty()) {
        fontFamily = defaultFontFamily();
        return;
    }
    // Another system's default would be listed as chosen here while the
    // clock silently draws something else.
    fontFamily = fontFamilyHere(fontFamily);
}

namespace {

template <typename T>
void fitToSlots(std::vector<T>& list, const std::vector<T>& defaults) {
    if (list.size() > defaults.size()) list.resize(defaults.size());
    for (std::size_t slot = list.size(); slot < defaults.size(); ++slot) list.push_back(defaults[slot]);
}

}  // namespace

void AppSettings::normalize() {
    normalizeFontFamily();

    if (!std::isfinite(fontSize)) {
        fontSize = kDefaultFontSize;
    } else {
        // std::round rounds halves away from zero.
        fontSize = std::clamp(std::round(fontSize), kMinFontSize, kMaxFontSize);
    }

    if (!RGB::fromHex(customBackgroundColor)) customBackgroundColor = defaultBackgroundColor();

    fitToSlots(alarms, AlarmSettings::defaultAlarms());
    fitToSlots(countdowns, CountdownSettings::defaultCountdowns());

    if (clocks.empty()) clocks.push_back(ClockEntry::makeNew());
    if (clocks.size() > std::size_t(kMaxClocks)) clocks.resize(kMaxClocks);

    QSet<QString> seen;
    seen.reserve(qsizetype(clocks.size()));
    for (ClockEntry& clock : clocks) {
        if (seen.contains(clock.id)) clock.id = newUuidText();
        seen.insert(clock.id);
    }
}

}  // namespace corvane
