#include "model/WidgetSnapshot.h"

#include "model/JsonLimits.h"
#include "platform/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <nlohmann/json.hpp>
#include <string>

namespace corvane {

namespace {

// Decoding uses the std::map flavour: the insertion-ordered one looks up each
// new key linearly, and a hostile object with many keys would take ages.
using ReadJson = nlohmann::json;
using WriteJson = nlohmann::ordered_json;

std::string utf8(const QString& s) {
    return s.toStdString();
}

QString toQString(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The text under `key`; absent when it is missing or not a text.
std::optional<QString> stringAt(const ReadJson& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || !it->is_string()) return std::nullopt;
    return toQString(it->get_ref<const std::string&>());
}

// A clock without a zone of its own would show the computer's time under
// another city's name, so it is left out; every other field that is
// missing or of another type takes its default.
std::optional<WidgetSnapshot::Clock> clockFromJson(const ReadJson& j) {
    if (!j.is_object()) return std::nullopt;
    std::optional<QString> zone = stringAt(j, "timeZoneID");
    if (!zone) return std::nullopt;
    WidgetSnapshot::Clock clock;
    clock.timeZoneID = std::move(*zone);
    clock.title = stringAt(j, "title").value_or(QString());
    if (const std::optional<QString> dial = stringAt(j, "dial"))
        clock.dial = fromRawValue<DialStyle>(*dial).value_or(DialStyle::classic);
    clock.face = stringAt(j, "face");
    return clock;
}

std::optional<QByteArray> readCapped(const QString& filePath) {
    // A FIFO or device under our name would block the read or never end.
    return readRegularFile(filePath, WidgetSnapshot::kMaxFileBytes).bytes;
}

}  // namespace

std::optional<QString> WidgetSnapshot::fileURL(const AppPaths& paths) {
    if (paths.sharedFolder.isEmpty()) return std::nullopt;
    return QDir(paths.sharedFolder).filePath(QLatin1String(kFileName));
}

QByteArray WidgetSnapshot::encode() const {
    WriteJson root = WriteJson::object();
    WriteJson list = WriteJson::array();
    for (const Clock& c : clocks) {
        WriteJson clock = WriteJson::object();
        clock["timeZoneID"] = utf8(c.timeZoneID);
        clock["title"] = utf8(c.title);
        clock["dial"] = utf8(rawValue(c.dial));
        if (c.face) clock["face"] = utf8(*c.face);
        list.push_back(std::move(clock));
    }
    root["clocks"] = std::move(list);
    root["digital"] = digital;
    root["fontFamily"] = utf8(fontFamily);
    root["theme"] = toJson(theme);
    if (nextAlarm) root["nextAlarm"] = utf8(*nextAlarm);

    const std::string compact = root.dump(-1, ' ', false, WriteJson::error_handler_t::replace);
    // Compact output has no '/' outside strings, so every one of them is
    // inside a text and may be escaped in place.
    QByteArray out;
    out.reserve(qsizetype(compact.size()) + 16);
    for (const char c : compact) {
        if (c == '/') out.append('\\');
        out.append(c);
    }
    return out;
}

std::optional<WidgetSnapshot> WidgetSnapshot::decode(const QByteArray& bytes) {
    if (bytes.size() > kMaxFileBytes || !jsonNestingWithin(bytes, kMaxNesting)) return std::nullopt;
    try {
        const ReadJson root = ReadJson::parse(bytes.cbegin(), bytes.cend(), nullptr, false);
        if (root.is_discarded() || !root.is_object()) return std::nullopt;

        // The clocks are what the widget is for: without a list of them the
        // file is no snapshot. Anything else that is missing or of another
        // type costs that field alone.
        const auto clocks = root.find("clocks");
        if (clocks == root.end() || !clocks->is_array()) return std::nullopt;
        WidgetSnapshot s;
        s.clocks.reserve(clocks->size());
        for (const ReadJson& entry : *clocks)
            if (std::optional<Clock> clock = clockFromJson(entry)) s.clocks.push_back(std::move(*clock));
        // Clocks were there and none could be read: none of them is the user's.
        if (s.clocks.empty() && !clocks->empty()) return std::nullopt;

        if (const auto digital = root.find("digital"); digital != root.end() && digital->is_boolean())
            s.digital = digital->get<bool>();
        s.fontFamily = stringAt(root, "fontFamily").value_or(QString());
        const auto theme = root.find("theme");
        s.theme = (theme != root.end() ? themeColorsFromJson(*theme) : std::nullopt)
                      .value_or(ThemeColors::defaultPalette());
        s.nextAlarm = stringAt(root, "nextAlarm");
        return s;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<WidgetSnapshot> WidgetSnapshot::read(const QString& filePath) {
    const std::optional<QByteArray> bytes = readCapped(filePath);
    if (!bytes) return std::nullopt;
    return decode(*bytes);
}

std::optional<WidgetSnapshot> WidgetSnapshot::read(const AppPaths& paths) {
    const std::optional<QString> path = fileURL(paths);
    if (!path) return std::nullopt;
    return read(*path);
}

bool WidgetSnapshot::write(const WidgetSnapshot& snapshot, const AppPaths& paths) {
    const std::optional<QString> path = fileURL(paths);
    if (!path) return false;
    const QByteArray bytes = snapshot.encode();
    if (bytes.isEmpty()) return false;

    // Same bytes on disk: leave the file (and the widget) alone.
    if (const std::optional<QByteArray> existing = readCapped(*path); existing && *existing == bytes)
        return false;

    if (!QDir().mkpath(QFileInfo(*path).absolutePath())) return false;
    // The widget may read at any moment: it must see the old file or the new
    // one, never a half-written one. A link to a snapshot is followed; a
    // link to anything else, or a pipe, is replaced, never written through.
    return replaceOwnFile(*path, bytes, fileKind()).ok();
}

OwnFileKind WidgetSnapshot::fileKind() {
    return {kMaxFileBytes, [](const QByteArray& content) { return decode(content).has_value(); }};
}

}  // namespace corvane
