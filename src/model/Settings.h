#pragma once

// The whole persisted configuration of the clock. Every record is a plain value
// with memberwise equality: the model detects a change by comparing two whole
// AppSettings values, so nothing in here may hide state from operator==.

#include <QString>
#include <QStringView>
#include <QTimeZone>
#include <QtGlobal>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "platform/DefaultSounds.h"
#include "platform/Fonts.h"

namespace corvane {

// ---------------------------------------------------------------------------
// Enumerations. Each is stored in the settings file by its text value; the
// order of the case lists is the order in which pickers show them.

enum class ClockDisplayMode { digital, analog };
enum class ThemeMode { dark, light, system, dusk };
enum class DialStyle { classic, minimal, roman, modern, dots, elegant, gradient, night };
enum class SoundSource { builtIn, system, customFile };
enum class DuskSource { schedule, sun };

// Text values as written to the settings file. They never allocate.
QString rawValue(ClockDisplayMode value);
QString rawValue(ThemeMode value);
QString rawValue(DialStyle value);
QString rawValue(SoundSource value);
QString rawValue(DuskSource value);

// The German name of a dial style, through the translation lookup.
QString displayName(DialStyle style);

// allCases<E>(): every case of E in declaration order.
template <typename E>
struct EnumCases;

template <>
struct EnumCases<ClockDisplayMode> {
    static constexpr std::array values{ClockDisplayMode::digital, ClockDisplayMode::analog};
};
template <>
struct EnumCases<ThemeMode> {
    static constexpr std::array values{ThemeMode::dark, ThemeMode::light, ThemeMode::system, ThemeMode::dusk};
};
template <>
struct EnumCases<DialStyle> {
    static constexpr std::array values{DialStyle::classic,  DialStyle::minimal, DialStyle::roman,
                                       DialStyle::modern,   DialStyle::dots,    DialStyle::elegant,
                                       DialStyle::gradient, DialStyle::night};
};
template <>
struct EnumCases<SoundSource> {
    static constexpr std::array values{SoundSource::builtIn, SoundSource::system, SoundSource::customFile};
};
template <>
struct EnumCases<DuskSource> {
    static constexpr std::array values{DuskSource::schedule, DuskSource::sun};
};

template <typename E>
constexpr const auto& allCases() {
    return EnumCases<E>::values;
}

// The case whose text value is exactly `text` (case-sensitive), if any.
template <typename E>
std::optional<E> fromRawValue(QStringView text) {
    for (E value : allCases<E>()) {
        if (rawValue(value) == text) return value;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// A set of weekdays 1 (Sunday) ... 7 (Saturday), kept as a bit mask so an
// alarm check on the tick never allocates. Numbers outside 1...7 are ignored
// on insertion. Iteration is in ascending order.
class WeekdaySet {
public:
    constexpr WeekdaySet() = default;
    constexpr WeekdaySet(std::initializer_list<int> days) {
        for (int d : days) insert(d);
    }

    static constexpr bool isValidDay(qint64 day) { return day >= 1 && day <= 7; }

    constexpr bool contains(qint64 day) const { return isValidDay(day) && (bits_ & bit(int(day))) != 0; }
    constexpr std::size_t count(qint64 day) const { return contains(day) ? 1 : 0; }
    constexpr bool empty() const { return bits_ == 0; }
    constexpr bool isEmpty() const { return bits_ == 0; }
    constexpr std::size_t size() const {
        std::size_t n = 0;
        for (int d = 1; d <= 7; ++d) n += contains(d) ? 1 : 0;
        return n;
    }
    constexpr void insert(qint64 day) {
        if (isValidDay(day)) bits_ = std::uint8_t(bits_ | bit(int(day)));
    }
    constexpr void erase(qint64 day) {
        if (isValidDay(day)) bits_ = std::uint8_t(bits_ & ~bit(int(day)));
    }
    constexpr void clear() { bits_ = 0; }
    constexpr std::uint8_t mask() const { return bits_; }

    class const_iterator {
    public:
        using value_type = int;
        using difference_type = std::ptrdiff_t;
        constexpr const_iterator() = default;
        constexpr int operator*() const { return day_; }
        constexpr const_iterator& operator++() {
            day_ = next(bits_, day_ + 1);
            return *this;
        }
        constexpr const_iterator operator++(int) {
            auto old = *this;
            ++*this;
            return old;
        }
        constexpr bool operator==(const const_iterator& other) const { return day_ == other.day_; }

    private:
        friend class WeekdaySet;
        constexpr const_iterator(std::uint8_t bits, int from) : bits_(bits), day_(next(bits, from)) {}
        static constexpr int next(std::uint8_t bits, int from) {
            while (from <= 7 && (bits & bit(from)) == 0) ++from;
            return from;
        }
        std::uint8_t bits_ = 0;
        int day_ = 8;
    };
    constexpr const_iterator begin() const { return const_iterator(bits_, 1); }
    constexpr const_iterator end() const { return const_iterator(bits_, 8); }

    constexpr bool operator==(const WeekdaySet&) const = default;

private:
    static constexpr std::uint8_t bit(int day) { return std::uint8_t(1u << (day - 1)); }
    std::uint8_t bits_ = 0;
};

// ---------------------------------------------------------------------------

struct SoundSettings {
    SoundSource source = SoundSource::builtIn;
    QString systemSoundName = defaultSoundHere("Glass.aiff");  // file name with extension
    std::optional<QString> customFilePath;                   // an imported copy in the media folder
    qint64 volume = 80;                                      // per cent, 0...100
    bool loop = true;

    bool operator==(const SoundSettings&) const = default;
};

struct AlarmSettings {
    enum class RadioMode { randomFavorite, station, lastPlayed };

    static constexpr qint64 kMaxFadeSeconds = 600;

    bool isEnabled = false;
    qint64 hour = 7;    // 0...23
    qint64 minute = 0;  // 0...59
    SoundSettings sound{SoundSource::system, defaultSoundHere("Glass.aiff"), std::nullopt, 80, true};
    WeekdaySet weekdays = allWeekdays();  // empty: rings once, then switches itself off
    bool wakeWithRadio = false;
    std::optional<QString> radioStationUUID;
    std::optional<QString> radioStationName;
    RadioMode radioMode = RadioMode::randomFavorite;
    qint64 fadeSeconds = 0;    // 0...600
    qint64 radioVolume = 100;  // per cent, 1...100

    // A station wake-up without a station falls back to the own sound.
    bool usesRadio() const;

    // The editing screens assign through this so the range always holds.
    void setFadeSeconds(qint64 seconds);

    static constexpr WeekdaySet allWeekdays() { return WeekdaySet{1, 2, 3, 4, 5, 6, 7}; }
    // The four alarm slots of a fresh installation.
    static const std::vector<AlarmSettings>& defaultAlarms();

    bool operator==(const AlarmSettings&) const = default;
};

template <>
struct EnumCases<AlarmSettings::RadioMode> {
    static constexpr std::array values{AlarmSettings::RadioMode::randomFavorite,
                                       AlarmSettings::RadioMode::station,
                                       AlarmSettings::RadioMode::lastPlayed};
};
QString rawValue(AlarmSettings::RadioMode value);

struct CountdownSettings {
    static constexpr qint64 kMaxDurationSeconds = 86399;

    qint64 durationSeconds = 900;  // 0...86399, under one day
    SoundSettings sound{SoundSource::system, defaultSoundHere("Hero.aiff"), std::nullopt, 80, false};

    // The two countdown slots of a fresh installation.
    static const std::vector<CountdownSettings>& defaultCountdowns();

    bool operator==(const CountdownSettings&) const = default;
};

struct DuskSettings {
    DuskSource source = DuskSource::schedule;
    qint64 dayStartHour = 7;        // 0...23
    qint64 dayStartMinute = 0;      // 0...59
    qint64 nightStartHour = 19;     // 0...23
    qint64 nightStartMinute = 0;    // 0...59
    qint64 transitionMinutes = 60;  // 0...240
    double latitude = 52.52;        // degrees, north positive, not clamped
    double longitude = 13.405;      // degrees, east positive, not clamped

    // The editing screens assign through these so the ranges always hold.
    void setDayStartHour(qint64 value);
    void setDayStartMinute(qint64 value);
    void setNightStartHour(qint64 value);
    void setNightStartMinute(qint64 value);
    void setTransitionMinutes(qint64 value);

    // Memberwise, except that a not-a-number coordinate equals another one:
    // a value read from the file must compare equal to itself, or every
    // comparison would report a change that never happened.
    bool operator==(const DuskSettings& other) const;
};

struct ClockEntry {
    QString id;          // upper-case UUID text, unique within AppSettings::clocks
    QString timeZoneID;  // IANA identifier; empty means the computer's current zone
    QString name;        // label; empty means the title comes from the zone
    std::optional<DialStyle> dialStyle;
    std::optional<QString> dialImagePath;
    std::optional<QString> faceColor;  // hex colour text, as typed

    // A clock of the current zone with a fresh identifier and no overrides.
    static ClockEntry makeNew();

    // The zone named by timeZoneID, or the system zone when the identifier is
    // empty or names no zone the system knows.
    QTimeZone timeZone() const;

    bool operator==(const ClockEntry&) const = default;
};

struct AppSettings {
    static constexpr int kMaxClocks = 24;
    static constexpr int kAlarmCount = 4;
    static constexpr int kCountdownCount = 2;
    static constexpr double kDefaultFontSize = 120;
    static constexpr double kMinFontSize = 24;
    static constexpr double kMaxFontSize = 320;

    // This computer's sans-serif family.
    static QString defaultFontFamily() { return platformDefaultFontFamily(); }
    static QString defaultBackgroundColor() { return QStringLiteral("#1F3A5F"); }

    QString userName;
    bool useSystemUserName = true;
    bool showGreeting = true;
    bool showDate = true;
    ClockDisplayMode displayMode = ClockDisplayMode::analog;
    QString fontFamily = defaultFontFamily();  // never blank after normalize()
    double fontSize = kDefaultFontSize;        // whole number 24...320 after normalize()
    DialStyle dialStyle = DialStyle::classic;
    bool useCustomDial = false;
    std::optional<QString> dialImagePath;
    bool smoothSecondHand = true;
    ThemeMode theme = ThemeMode::system;
    bool useCustomBackground = false;
    QString customBackgroundColor = defaultBackgroundColor();  // always parseable after normalize()
    DuskSettings dusk;
    std::vector<ClockEntry> clocks;  // 1...24 with distinct ids after normalize()
    std::vector<AlarmSettings> alarms = AlarmSettings::defaultAlarms();  // exactly 4 after normalize()
    std::vector<CountdownSettings> countdowns = CountdownSettings::defaultCountdowns();  // exactly 2
    bool topmost = false;
    bool showWorldMap = false;
    std::optional<double> windowLeft;
    std::optional<double> windowTop;
    std::optional<double> windowWidth;
    std::optional<double> windowHeight;

    // A fresh value; each call makes a new identifier for its one clock.
    // (A plain AppSettings{} has no clock at all until normalize().)
    static AppSettings defaults();

    // The repair every loaded value goes through: font, size, colour, list
    // lengths and clock identifiers.
    void normalize();
    // Only the font step of the repair; the display page applies it to what
    // the user typed.
    void normalizeFontFamily();

    bool operator==(const AppSettings&) const = default;
};

}  // namespace corvane
