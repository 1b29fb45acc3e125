#include "model/SettingsCodec.h"

#include "model/JsonLimits.h"
#include "platform/TimeZones.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/Rgb.h"
#include "platform/Text.h"
#include "platform/Uuid.h"

namespace corvane {

namespace {

// Reading uses the map-based type: ordered_json looks keys up linearly, so
// a hostile object with many thousands of keys would take seconds to parse.
using InJson = nlohmann::json;
using Json = nlohmann::ordered_json;

// --------------------------------------------------------------------------
// Parsing

// nlohmann's parser fails the whole text on a number a double cannot hold
// ("FontSize": 1e400), although such a number costs a reader no more than an
// integer out of range. So the text is parsed here from the same lexer into
// the same document builder as nlohmann's parser does, with one difference:
// such a number arrives as an infinity, which no field accepts. Every other
// token sequence is accepted or refused exactly as there.
using Lexer = nlohmann::detail::lexer<InJson, nlohmann::detail::iterator_input_adapter<const char*>>;
using Token = Lexer::token_type;

struct ParseFailure {
    std::size_t byte = 0;
};

// The document, or where it stopped being JSON.
std::variant<InJson, ParseFailure> parseDocument(const QByteArray& text) {
    Lexer lexer(nlohmann::detail::input_adapter(text.constData(), text.constData() + text.size()));
    InJson root;
    nlohmann::detail::json_sax_dom_parser<InJson> builder(root, false);
    std::vector<bool> inArray;  // the open containers, innermost last
    const auto failed = [&lexer] { return ParseFailure{lexer.get_position().chars_read_total}; };

    Token token = lexer.scan();
    for (;;) {
        // One value, or the opening of a container.
        switch (token) {
            case Token::begin_object:
                builder.start_object(std::size_t(-1));
                token = lexer.scan();
                if (token == Token::end_object) {
                    builder.end_object();
                    break;
                }
                if (token != Token::value_string) return failed();
                builder.key(lexer.get_string());
                if (lexer.scan() != Token::name_separator) return failed();
                inArray.push_back(false);
                token = lexer.scan();
                continue;
            case Token::begin_array:
                builder.start_array(std::size_t(-1));
                token = lexer.scan();
                if (token == Token::end_array) {
                    builder.end_array();
                    break;
                }
                inArray.push_back(true);
                continue;
            case Token::value_float:
                builder.number_float(lexer.get_number_float(), lexer.get_string());
                break;
            case Token::value_integer:
                builder.number_integer(lexer.get_number_integer());
                break;
            case Token::value_unsigned:
                builder.number_unsigned(lexer.get_number_unsigned());
                break;
            case Token::value_string:
                builder.string(lexer.get_string());
                break;
            case Token::literal_true:
                builder.boolean(true);
                break;
            case Token::literal_false:
                builder.boolean(false);
                break;
            case Token::literal_null:
                builder.null();
                break;
            default:
                return failed();
        }

        // After a value: close what ends here, up to the next element.
        for (;;) {
            if (inArray.empty()) {
                if (lexer.scan() != Token::end_of_input) return failed();
                return root;
            }
            token = lexer.scan();
            const Token closer = inArray.back() ? Token::end_array : Token::end_object;
            if (token == closer) {
                if (inArray.back())
                    builder.end_array();
                else
                    builder.end_object();
                inArray.pop_back();
                continue;
            }
            if (token != Token::value_separator) return failed();
            token = lexer.scan();
            if (!inArray.back()) {
                if (token != Token::value_string) return failed();
                builder.key(lexer.get_string());
                if (lexer.scan() != Token::name_separator) return failed();
                token = lexer.scan();
            }
            break;
        }
    }
}

// Every top-level key a settings file of ours may hold, the older layout's
// included.
constexpr std::string_view kOwnKeys[] = {
    "UserName",
    "UseSystemUserName",
    "ShowGreeting",
    "ShowDate",
    "DisplayMode",
    "FontFamily",
    "FontSize",
    "DialStyle",
    "UseCustomDial",
    "DialImagePath",
    "SmoothSecondHand",
    "Theme",
    "UseCustomBackground",
    "CustomBackgroundColor",
    "Dusk",
    "Clocks",
    "Alarms",
    "Countdowns",
    "ShowWorldMap",
    "Topmost",
    "WindowLeft",
    "WindowTop",
    "WindowWidth",
    "WindowHeight",
    "Alarm1",
    "Alarm2",
    "CountdownDurationSeconds",
    "CountdownSound",
};

// An empty object holds nothing a save could lose.
bool holdsOwnKeys(const InJson& object) {
    if (object.empty()) return true;
    return std::any_of(std::begin(kOwnKeys), std::end(kOwnKeys),
                       [&object](std::string_view key) { return object.contains(key); });
}

// --------------------------------------------------------------------------
// Reading

QString toQString(const InJson& value) {
    const auto& text = value.get_ref<const std::string&>();
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A JSON number as a 64-bit integer, when it is one: an integral value that
// fits. 5.0 fits; 5.5 and 2^63 do not. A number written beyond the 64-bit
// range arrives as a double; past 2^53 a double no longer tells which
// integer was written (-9223372036854775809 reads as exactly -2^63), so such
// a value is no integer and the field keeps its default.
std::optional<qint64> toInteger(const InJson& value) {
    if (value.is_number_unsigned()) {
        const auto u = value.get<std::uint64_t>();
        if (u > std::uint64_t(std::numeric_limits<qint64>::max())) return std::nullopt;
        return qint64(u);
    }
    if (value.is_number_integer()) return value.get<std::int64_t>();
    if (value.is_number_float()) {
        const double d = value.get<double>();
        constexpr double kLimit = 9007199254740992.0;  // 2^53
        if (!std::isfinite(d) || std::trunc(d) != d || d < -kLimit || d > kLimit) return std::nullopt;
        return qint64(d);
    }
    return std::nullopt;
}

// A JSON number, or one of the three texts that stand for non-finite values.
// A number beyond the double range reaches the document as an infinity
// (parseDocument) and fits no field, as a too large integer fits none.
std::optional<double> toDouble(const InJson& value) {
    if (value.is_number()) {
        const double d = value.get<double>();
        if (!std::isfinite(d)) return std::nullopt;
        return d;
    }
    if (value.is_string()) {
        const auto& text = value.get_ref<const std::string&>();
        if (text == "NaN") return std::numeric_limits<double>::quiet_NaN();
        if (text == "Infinity") return std::numeric_limits<double>::infinity();
        if (text == "-Infinity") return -std::numeric_limits<double>::infinity();
    }
    return std::nullopt;
}

// Reads keys of one object. A present value that cannot be taken is noted
// and leaves the field as it was.
class Reader {
public:
    bool dropped = false;

    const InJson* find(const InJson& object, const char* key) const {
        const auto it = object.find(key);
        return it == object.end() ? nullptr : &*it;
    }

    void readBool(const InJson& object, const char* key, bool& field) {
        const InJson* value = find(object, key);
        if (!value) return;
        if (value->is_boolean()) {
            field = value->get<bool>();
        } else {
            dropped = true;
        }
    }

    void readInt(const InJson& object, const char* key, qint64& field, qint64 low, qint64 high) {
        const InJson* value = find(object, key);
        if (!value) return;
        if (const auto number = toInteger(*value)) {
            field = std::clamp(*number, low, high);
        } else {
            dropped = true;
        }
    }

    void readDouble(const InJson& object, const char* key, double& field) {
        const InJson* value = find(object, key);
        if (!value) return;
        if (const auto number = toDouble(*value)) {
            field = *number;
        } else {
            dropped = true;
        }
    }

    // A window frame value: a present null stays absent, and so does a
    // non-finite one, which the window code could not place anything with.
    void readFrameValue(const InJson& object, const char* key, std::optional<double>& field) {
        const InJson* value = find(object, key);
        if (!value || value->is_null()) return;
        if (const auto number = toDouble(*value)) {
            if (std::isfinite(*number)) field = *number;
        } else {
            dropped = true;
        }
    }

    bool readText(const InJson& object, const char* key, QString& field) {
        const InJson* value = find(object, key);
        if (!value) return false;
        if (value->is_string()) {
            field = toQString(*value);
            return true;
        }
        dropped = true;
        return false;
    }

    // True when a text was read; a present null leaves the field absent.
    bool readOptionalText(const InJson& object, const char* key, std::optional<QString>& field) {
        const InJson* value = find(object, key);
        if (!value || value->is_null()) return false;
        if (value->is_string()) {
            field = toQString(*value);
            return true;
        }
        dropped = true;
        return false;
    }

    template <typename E>
    std::optional<E> enumValue(const InJson& value) {
        if (value.is_string()) {
            const auto& text = value.get_ref<const std::string&>();
            if (const auto parsed = fromRawValue<E>(QString::fromUtf8(text.data(), qsizetype(text.size()))))
                return parsed;
        }
        dropped = true;
        return std::nullopt;
    }

    template <typename E>
    void readEnum(const InJson& object, const char* key, E& field) {
        const InJson* value = find(object, key);
        if (!value) return;
        if (const auto parsed = enumValue<E>(*value)) field = *parsed;
    }

    template <typename E>
    void readOptionalEnum(const InJson& object, const char* key, std::optional<E>& field) {
        const InJson* value = find(object, key);
        if (!value || value->is_null()) return;
        if (const auto parsed = enumValue<E>(*value)) field = *parsed;
    }

    SoundSettings sound(const InJson& object) {
        SoundSettings sound;  // the built-in tone, as a "Sound" without "Source" reads
        readEnum(object, "Source", sound.source);
        readText(object, "SystemSoundName", sound.systemSoundName);
        readOptionalText(object, "CustomFilePath", sound.customFilePath);
        readInt(object, "Volume", sound.volume, 0, 100);
        readBool(object, "Loop", sound.loop);
        return sound;
    }

    // A nested record under `key`, or `fallback` when the key is missing or
    // does not hold an object.
    template <typename T, typename ReadFn>
    T recordOr(const InJson& object, const char* key, const T& fallback, ReadFn read) {
        const InJson* value = find(object, key);
        if (!value) return fallback;
        if (!value->is_object()) {
            dropped = true;
            return fallback;
        }
        return (this->*read)(*value);
    }

    SoundSettings soundOr(const InJson& object, const char* key, const SoundSettings& fallback) {
        return recordOr(object, key, fallback, &Reader::sound);
    }

    AlarmSettings alarm(const InJson& object) {
        AlarmSettings alarm;
        readBool(object, "IsEnabled", alarm.isEnabled);
        readInt(object, "Hour", alarm.hour, 0, 23);
        readInt(object, "Minute", alarm.minute, 0, 59);
        alarm.sound = soundOr(object, "Sound", alarm.sound);
        readWeekdays(object, alarm.weekdays);
        readBool(object, "WakeWithRadio", alarm.wakeWithRadio);
        const bool hasStation = readOptionalText(object, "RadioStationUUID", alarm.radioStationUUID);
        readOptionalText(object, "RadioStationName", alarm.radioStationName);
        // Files from before the radio modes knew only a chosen station.
        alarm.radioMode =
            hasStation ? AlarmSettings::RadioMode::station : AlarmSettings::RadioMode::randomFavorite;
        readEnum(object, "RadioMode", alarm.radioMode);
        readInt(object, "FadeSeconds", alarm.fadeSeconds, 0, AlarmSettings::kMaxFadeSeconds);
        readInt(object, "RadioVolume", alarm.radioVolume, 1, 100);
        return alarm;
    }

    // Numbers outside 1...7 are dropped; anything but integers makes the
    // whole array unreadable.
    void readWeekdays(const InJson& object, WeekdaySet& field) {
        const InJson* value = find(object, "Weekdays");
        if (!value) return;
        if (!value->is_array()) {
            dropped = true;
            return;
        }
        WeekdaySet days;
        for (const InJson& element : *value) {
            const auto day = toInteger(element);
            if (!day) {
                dropped = true;
                return;
            }
            days.insert(*day);
        }
        field = days;
    }

    CountdownSettings countdown(const InJson& object) {
        CountdownSettings countdown;
        readInt(object, "DurationSeconds", countdown.durationSeconds, 0,
                CountdownSettings::kMaxDurationSeconds);
        countdown.sound = soundOr(object, "Sound", countdown.sound);
        return countdown;
    }

    ClockEntry clock(const InJson& object) {
        ClockEntry clock;
        // A missing or unreadable id gets a fresh one; an empty text stays.
        if (!readText(object, "Id", clock.id)) clock.id = newUuidText();
        readText(object, "TimeZone", clock.timeZoneID);
        if (!clock.timeZoneID.isEmpty() && !zoneForIdentifier(clock.timeZoneID).isValid())
            clock.timeZoneID.clear();
        readText(object, "Name", clock.name);
        readOptionalEnum(object, "DialStyle", clock.dialStyle);
        readOptionalText(object, "DialImagePath", clock.dialImagePath);
        if (readOptionalText(object, "FaceColor", clock.faceColor) && !RGB::fromHex(*clock.faceColor))
            clock.faceColor.reset();
        return clock;
    }

    DuskSettings dusk(const InJson& object) {
        DuskSettings dusk;
        readEnum(object, "Source", dusk.source);
        readInt(object, "DayStartHour", dusk.dayStartHour, 0, 23);
        readInt(object, "DayStartMinute", dusk.dayStartMinute, 0, 59);
        readInt(object, "NightStartHour", dusk.nightStartHour, 0, 23);
        readInt(object, "NightStartMinute", dusk.nightStartMinute, 0, 59);
        readInt(object, "TransitionMinutes", dusk.transitionMinutes, 0, 240);
        readDouble(object, "Latitude", dusk.latitude);
        readDouble(object, "Longitude", dusk.longitude);
        return dusk;
    }

    // A list replaces its field only when every element is an object. Only
    // the first `keep` elements are read: normalize() cuts the rest anyway,
    // and a hostile file with millions of them must not cost seconds.
    template <typename T>
    std::optional<std::vector<T>> list(const InJson& object, const char* key, T (Reader::*read)(const InJson&),
                                       std::size_t keep) {
        const InJson* value = find(object, key);
        if (!value) return std::nullopt;
        const bool readable = value->is_array() && std::all_of(value->begin(), value->end(),
                                                               [](const InJson& e) { return e.is_object(); });
        if (!readable) {
            dropped = true;
            return std::nullopt;
        }
        std::vector<T> result;
        result.reserve(std::min(value->size(), keep));
        for (const InJson& element : *value) {
            if (result.size() == keep) break;
            result.push_back((this->*read)(element));
        }
        return result;
    }

    AppSettings settings(const InJson& object) {
        AppSettings s = AppSettings::defaults();
        readText(object, "UserName", s.userName);
        readBool(object, "UseSystemUserName", s.useSystemUserName);
        readBool(object, "ShowGreeting", s.showGreeting);
        readBool(object, "ShowDate", s.showDate);
        readEnum(object, "DisplayMode", s.displayMode);
        readText(object, "FontFamily", s.fontFamily);
        readDouble(object, "FontSize", s.fontSize);  // normalize() brings it into range
        readEnum(object, "DialStyle", s.dialStyle);
        readBool(object, "UseCustomDial", s.useCustomDial);
        readOptionalText(object, "DialImagePath", s.dialImagePath);
        readBool(object, "SmoothSecondHand", s.smoothSecondHand);
        readEnum(object, "Theme", s.theme);
        readBool(object, "UseCustomBackground", s.useCustomBackground);
        readText(object, "CustomBackgroundColor", s.customBackgroundColor);
        s.dusk = recordOr(object, "Dusk", s.dusk, &Reader::dusk);
        if (auto clocks = list<ClockEntry>(object, "Clocks", &Reader::clock, AppSettings::kMaxClocks))
            s.clocks = std::move(*clocks);

        if (auto alarms = list<AlarmSettings>(object, "Alarms", &Reader::alarm, AppSettings::kAlarmCount)) {
            s.alarms = std::move(*alarms);
        } else {
            // The older layout had two alarms under keys of their own.
            const auto& defaults = AlarmSettings::defaultAlarms();
            s.alarms = {recordOr(object, "Alarm1", defaults[0], &Reader::alarm),
                        recordOr(object, "Alarm2", defaults[1], &Reader::alarm)};
        }

        if (auto countdowns = list<CountdownSettings>(object, "Countdowns", &Reader::countdown,
                                                      AppSettings::kCountdownCount)) {
            s.countdowns = std::move(*countdowns);
        } else {
            // ... and one countdown as a duration and a sound.
            CountdownSettings countdown = CountdownSettings::defaultCountdowns()[0];
            readInt(object, "CountdownDurationSeconds", countdown.durationSeconds, 0,
                    CountdownSettings::kMaxDurationSeconds);
            countdown.sound = soundOr(object, "CountdownSound", countdown.sound);
            s.countdowns = {countdown};
        }

        readBool(object, "Topmost", s.topmost);
        readBool(object, "ShowWorldMap", s.showWorldMap);
        readFrameValue(object, "WindowLeft", s.windowLeft);
        readFrameValue(object, "WindowTop", s.windowTop);
        readFrameValue(object, "WindowWidth", s.windowWidth);
        readFrameValue(object, "WindowHeight", s.windowHeight);

        s.normalize();
        return s;
    }
};

// --------------------------------------------------------------------------
// Writing

std::string utf8(const QString& text) {
    return text.toStdString();
}

Json doubleJson(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    return value;
}

template <typename E>
std::string rawText(E value) {
    return utf8(rawValue(value));
}

Json soundJson(const SoundSettings& sound) {
    Json j = Json::object();
    j["Source"] = rawText(sound.source);
    j["SystemSoundName"] = utf8(sound.systemSoundName);
    if (sound.customFilePath) j["CustomFilePath"] = utf8(*sound.customFilePath);
    j["Volume"] = sound.volume;
    j["Loop"] = sound.loop;
    return j;
}

Json alarmJson(const AlarmSettings& alarm) {
    Json j = Json::object();
    j["IsEnabled"] = alarm.isEnabled;
    j["Hour"] = alarm.hour;
    j["Minute"] = alarm.minute;
    j["Sound"] = soundJson(alarm.sound);
    Json days = Json::array();
    for (int day : alarm.weekdays) days.push_back(day);
    j["Weekdays"] = std::move(days);
    j["WakeWithRadio"] = alarm.wakeWithRadio;
    if (alarm.radioStationUUID) j["RadioStationUUID"] = utf8(*alarm.radioStationUUID);
    if (alarm.radioStationName) j["RadioStationName"] = utf8(*alarm.radioStationName);
    j["RadioMode"] = rawText(alarm.radioMode);
    j["FadeSeconds"] = alarm.fadeSeconds;
    j["RadioVolume"] = alarm.radioVolume;
    return j;
}

Json countdownJson(const CountdownSettings& countdown) {
    Json j = Json::object();
    j["DurationSeconds"] = countdown.durationSeconds;
    j["Sound"] = soundJson(countdown.sound);
    return j;
}

Json clockJson(const ClockEntry& clock) {
    Json j = Json::object();
    j["Id"] = utf8(clock.id);
    j["TimeZone"] = utf8(clock.timeZoneID);
    j["Name"] = utf8(clock.name);
    if (clock.dialStyle) j["DialStyle"] = rawText(*clock.dialStyle);
    if (clock.dialImagePath) j["DialImagePath"] = utf8(*clock.dialImagePath);
    if (clock.faceColor) j["FaceColor"] = utf8(*clock.faceColor);
    return j;
}

Json duskJson(const DuskSettings& dusk) {
    Json j = Json::object();
    j["Source"] = rawText(dusk.source);
    j["DayStartHour"] = dusk.dayStartHour;
    j["DayStartMinute"] = dusk.dayStartMinute;
    j["NightStartHour"] = dusk.nightStartHour;
    j["NightStartMinute"] = dusk.nightStartMinute;
    j["TransitionMinutes"] = dusk.transitionMinutes;
    j["Latitude"] = doubleJson(dusk.latitude);
    j["Longitude"] = doubleJson(dusk.longitude);
    return j;
}

template <typename T, typename F>
Json arrayJson(const std::vector<T>& list, F toJson) {
    Json j = Json::array();
    for (const T& element : list) j.push_back(toJson(element));
    return j;
}

// A frame value that is not finite is left out: it would read back as
// absent anyway.
void putFrameValue(Json& j, const char* key, const std::optional<double>& value) {
    if (value && std::isfinite(*value)) j[key] = *value;
}

Json settingsJson(const AppSettings& s) {
    Json j = Json::object();
    j["UserName"] = utf8(s.userName);
    j["UseSystemUserName"] = s.useSystemUserName;
    j["ShowGreeting"] = s.showGreeting;
    j["ShowDate"] = s.showDate;
    j["DisplayMode"] = rawText(s.displayMode);
    j["FontFamily"] = utf8(s.fontFamily);
    j["FontSize"] = doubleJson(s.fontSize);
    j["DialStyle"] = rawText(s.dialStyle);
    j["UseCustomDial"] = s.useCustomDial;
    if (s.dialImagePath) j["DialImagePath"] = utf8(*s.dialImagePath);
    j["SmoothSecondHand"] = s.smoothSecondHand;
    j["Theme"] = rawText(s.theme);
    j["UseCustomBackground"] = s.useCustomBackground;
    j["CustomBackgroundColor"] = utf8(s.customBackgroundColor);
    j["Dusk"] = duskJson(s.dusk);
    j["Clocks"] = arrayJson(s.clocks, clockJson);
    j["Alarms"] = arrayJson(s.alarms, alarmJson);
    j["Countdowns"] = arrayJson(s.countdowns, countdownJson);
    j["ShowWorldMap"] = s.showWorldMap;
    j["Topmost"] = s.topmost;
    putFrameValue(j, "WindowLeft", s.windowLeft);
    putFrameValue(j, "WindowTop", s.windowTop);
    putFrameValue(j, "WindowWidth", s.windowWidth);
    putFrameValue(j, "WindowHeight", s.windowHeight);
    return j;
}

void setError(QString* error, const QString& text) {
    if (error) *error = text;
}

}  // namespace

std::optional<SettingsDecodeResult> decodeSettings(const QByteArray& json, QString* error) {
    if (json.size() > kMaxSettingsFileBytes) {
        setError(error, tr("Die Datei ist zu groß (%1 Bytes).").arg(json.size()));
        return std::nullopt;
    }
    if (!jsonNestingWithin(json, kMaxSettingsNesting)) {
        setError(error, tr("Die Datei ist zu tief verschachtelt."));
        return std::nullopt;
    }
    try {
        std::variant<InJson, ParseFailure> parsed = parseDocument(json);
        if (const auto* failure = std::get_if<ParseFailure>(&parsed)) {
            setError(error, tr("Kein gültiges JSON (bei Byte %1).").arg(qulonglong(failure->byte)));
            return std::nullopt;
        }
        const InJson& root = std::get<InJson>(parsed);
        if (!root.is_object()) {
            setError(error, tr("Die oberste Ebene ist kein JSON-Objekt."));
            return std::nullopt;
        }
        Reader reader;
        SettingsDecodeResult result{reader.settings(root), false, holdsOwnKeys(root)};
        result.droppedUnreadableKey = reader.dropped;
        return result;
    } catch (const std::exception&) {
        // Nothing else in reading should throw; if something does, the file
        // is treated as unreadable rather than ending the program.
        setError(error, tr("Die Datei konnte nicht gelesen werden."));
    }
    return std::nullopt;
}

bool isSettingsFileContent(const QByteArray& content) {
    const std::optional<SettingsDecodeResult> decoded = decodeSettings(content);
    return decoded && decoded->holdsOwnKeys;
}

OwnFileKind settingsFileKind() {
    return {kMaxSettingsFileBytes, isSettingsFileContent};
}

QByteArray encodeSettings(const AppSettings& settings) {
    try {
        // Texts come from QString and are valid UTF-8; replacing keeps a
        // stray invalid sequence from failing the whole save.
        const std::string text = settingsJson(settings).dump(2, ' ', false, Json::error_handler_t::replace);
        return QByteArray(text.data(), qsizetype(text.size()));
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace corvane
