// The operations the views and settings pages call on the model: clock list
// and design edits, clock texts, timer controls, sound choice and preview,
// typed input and the alarm page's texts.

#include <QCollator>
#include <QFile>
#include <QFontDatabase>
#include <QPointer>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <utility>

#include "appmodel/AppModel.h"
#include "platform/Fonts.h"
#include "platform/Text.h"
#include "platform/TimeZones.h"
#include "services/SystemSounds.h"

namespace corvane {

namespace {

constexpr AudioChannel kPreview = AudioChannel::preview;

bool isTimerIndex(int index) {
    return index == 0 || index == 1;
}

// Blanks, not line breaks: a pasted line break makes the field invalid.
bool isBlank(QChar c) {
    switch (c.unicode()) {
        case u'\n':
        case u'\r':
        case 0x0B:
        case 0x0C:
        case 0x85:
        case 0x2028:
        case 0x2029:
            return false;
        default:
            return c.isSpace();
    }
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

QString hexOf(int r, int g, int b) {
    return QString::asprintf("#%02X%02X%02X", r, g, b);
}

int byteOf(float component) {
    return std::clamp(int(std::lround(double(component) * 255.0)), 0, 255);
}

// JPEG, PNG and HEIC, in this order.
const QStringList& imagePatterns() {
    static const QStringList patterns{QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                                      QStringLiteral("*.png"), QStringLiteral("*.heic")};
    return patterns;
}

// Every format the decoder plays, the same list the system sounds are
// picked from.
const QStringList& audioPatterns() {
    static const QStringList patterns = [] {
        QStringList p;
        for (const QString& extension : soundExtensions()) p << QStringLiteral("*.") + extension;
        return p;
    }();
    return patterns;
}

// The last "/" part of an identifier with "_" as blanks: a clock's title.
QString titleOfZone(const QString& zoneID) {
    QString city = zoneID.mid(zoneID.lastIndexOf(QLatin1Char('/')) + 1);
    city.replace(QLatin1Char('_'), QLatin1Char(' '));
    return city;
}

}  // namespace

// ---------------------------------------------------------------------------
// Clock list

const std::array<const char*, 14>& AppModel::presetZones() {
    static const std::array<const char*, 14> zones{
        "America/New_York",    "Asia/Tokyo",     "Europe/London",       "Australia/Sydney",
        "America/Los_Angeles", "Asia/Shanghai",  "Asia/Dubai",          "Asia/Kolkata",
        "America/Sao_Paulo",   "Asia/Singapore", "Africa/Johannesburg", "Pacific/Auckland",
        "America/Chicago",     "Europe/Moscow"};
    return zones;
}

QString AppModel::clockNameForCity(const WorldCity& city) {
    return zoneCityName(city.tz) == city.name ? QString() : city.name;
}

void AppModel::addClock(const WorldCity& city) {
    if (m_settings.clocks.size() >= std::size_t(kMaxClocks)) return;
    ClockEntry clock = ClockEntry::makeNew();
    clock.timeZoneID = city.tz;
    clock.name = clockNameForCity(city);
    editSettings([&](AppSettings& next) { next.clocks.push_back(std::move(clock)); });
}

void AppModel::replaceClock(const QString& clockID, const WorldCity& city) {
    if (!editClock(clockID, [&](ClockEntry& c) { c.timeZoneID = city.tz; })) return;
    editClock(clockID, [&](ClockEntry& c) { c.name = clockNameForCity(city); });
}

void AppModel::removeClock(const QString& clockID) {
    if (m_settings.clocks.size() < 2 || !clockIndex(clockID)) return;
    editSettings([&](AppSettings& next) {
        std::erase_if(next.clocks, [&](const ClockEntry& c) { return c.id == clockID; });
    });
}

void AppModel::addClockInSettings() {
    if (m_settings.clocks.size() >= std::size_t(kMaxClocks)) return;
    QString zone = QStringLiteral("UTC");
    for (const char* preset : presetZones()) {
        const QLatin1StringView id(preset);
        const bool used = std::any_of(m_settings.clocks.begin(), m_settings.clocks.end(),
                                      [&](const ClockEntry& c) { return c.timeZoneID == id; });
        if (!used) {
            zone = id;
            break;
        }
    }
    ClockEntry clock = ClockEntry::makeNew();
    clock.timeZoneID = zone;
    editSettings([&](AppSettings& next) { next.clocks.push_back(std::move(clock)); });
}

void AppModel::moveClock(const QString& clockID, int step) {
    const std::optional<int> index = clockIndex(clockID);
    if (!index) return;
    const qint64 target = qint64(*index) + step;
    if (target < 0 || target >= qint64(m_settings.clocks.size())) return;
    moveClock(*index, int(target));
}

// ---------------------------------------------------------------------------
// Clock design

void AppModel::setClockDialStyle(const QString& clockID, std::optional<DialStyle> style) {
    if (!editClock(clockID, [&](ClockEntry& c) { c.dialStyle = style; })) return;
    editClock(clockID, [](ClockEntry& c) { c.dialImagePath.reset(); });
}

QString AppModel::soundPlace(const SoundSlot& slot) { return QStringLiteral("sound:") + slot.id(); }
QString AppModel::clockPlace(const QString& clockID) { return QStringLiteral("clock:") + clockID; }
QString AppModel::sharedImagePlace() { return QStringLiteral("dial"); }

std::optional<QString> AppModel::importPicked(const FileRequest& request, QStringView prefix, const QString& place) {
    if (!m_fileChooser) return std::nullopt;
    const std::optional<QString> picked = m_fileChooser->chooseFile(request);
    // Cancelling says nothing new about the place: an earlier failure stays.
    if (!picked || picked->isEmpty()) return std::nullopt;
    std::optional<QString> failure;
    const std::optional<QString> path = m_settingsService->importSoundFile(*picked, prefix, &failure);
    setImportProblem(place, path ? std::nullopt : failure);
    return path;
}

void AppModel::setImportProblem(const QString& place, const std::optional<QString>& message) {
    const auto it = m_importProblems.find(place);
    if (message) {
        if (it != m_importProblems.end() && it->second == *message) return;
        m_importProblems[place] = *message;
    } else {
        if (it == m_importProblems.end()) return;
        m_importProblems.erase(it);
    }
    Q_EMIT importProblemsChanged();
}

std::optional<QString> AppModel::importProblem(const QString& place) const {
    const auto it = m_importProblems.find(place);
    if (it == m_importProblems.end()) return std::nullopt;
    return it->second;
}

std::optional<QString> AppModel::soundImportProblem(const SoundSlot& slot) const {
    return importProblem(soundPlace(slot));
}

std::optional<QString> AppModel::clockImageImportProblem(const QString& clockID) const {
    return importProblem(clockPlace(clockID));
}

std::optional<QString> AppModel::sharedImageImportProblem() const { return importProblem(sharedImagePlace()); }

void AppModel::chooseDialImage(const QString& clockID) {
    if (!clockIndex(clockID)) return;
    const std::optional<QString> path =
        importPicked(FileRequest::images(tr("Zifferblatt-Bild für diese Uhr auswählen"), imagePatterns()),
                     u"zifferblatt", clockPlace(clockID));
    if (!path) return;
    // The dialog is modal: the clock may be gone by now.
    if (!editClock(clockID, [&](ClockEntry& c) { c.dialImagePath = *path; })) return;
    const std::optional<int> index = clockIndex(clockID);
    if (index && !m_settings.clocks[std::size_t(*index)].dialStyle) {
        const DialStyle global = m_settings.dialStyle;
        editClock(clockID, [&](ClockEntry& c) { c.dialStyle = global; });
    }
}

void AppModel::resetClockDesign(const QString& clockID) {
    if (!editClock(clockID, [](ClockEntry& c) { c.dialStyle.reset(); })) return;
    editClock(clockID, [](ClockEntry& c) { c.dialImagePath.reset(); });
    editClock(clockID, [](ClockEntry& c) { c.faceColor.reset(); });
}

void AppModel::applyDesignToAllClocks(const QString& clockID) {
    const std::optional<int> index = clockIndex(clockID);
    if (!index) return;
    const ClockEntry source = m_settings.clocks[std::size_t(*index)];
    editSettings([&](AppSettings& next) {
        for (ClockEntry& c : next.clocks) {
            c.dialStyle = source.dialStyle;
            c.dialImagePath = source.dialImagePath;
            c.faceColor = source.faceColor;
        }
    });
}

void AppModel::setDialStyle(DialStyle style) {
    editSettings([&](AppSettings& next) { next.dialStyle = style; });
    editSettings([](AppSettings& next) { next.useCustomDial = false; });
}

void AppModel::chooseSharedDialImage() {
    const std::optional<QString> path =
        importPicked(FileRequest::images(tr("Zifferblatt-Bild auswählen"), imagePatterns()), u"zifferblatt",
                     sharedImagePlace());
    if (!path) return;
    editSettings([&](AppSettings& next) { next.dialImagePath = *path; });
    editSettings([](AppSettings& next) { next.useCustomDial = true; });
}

std::optional<QString> AppModel::dialImageWarning() const {
    if (!m_settings.useCustomDial) return std::nullopt;
    const auto& path = m_settings.dialImagePath;
    // A file that is there but cannot be read as an image is as good as
    // gone: the clocks show the style, and the user is told so.
    const bool unreadable = m_dialImageFailed && m_dialImageLoadedPath == path;
    if (path && !path->isEmpty() && QFile::exists(*path) && !unreadable) return std::nullopt;
    return tr("Bilddatei nicht gefunden – das gewählte Design wird angezeigt.");
}

std::optional<QImage> AppModel::clockImage(const ClockEntry& clock) const {
    if (clock.dialImagePath) {
        const auto it = m_clockImages.find(*clock.dialImagePath);
        if (it == m_clockImages.end()) return std::nullopt;
        return it->second;
    }
    if (!clock.dialStyle) return m_dialImage;
    return std::nullopt;
}

// ---------------------------------------------------------------------------
// Clock texts

QString AppModel::clockTitle(const ClockEntry& clock) const {
    const QString name = trimBlanks(clock.name);
    if (!name.isEmpty()) return name;
    if (!clock.timeZoneID.isEmpty()) return titleOfZone(clock.timeZoneID);
    return tr("Ortszeit · %1").arg(titleOfZone(QString::fromUtf8(m_zones->current().id())));
}

QTimeZone AppModel::clockZone(const ClockEntry& clock) {
    if (clock.timeZoneID.isEmpty()) return m_zones->current();
    auto it = m_clockZones.find(clock.timeZoneID);
    if (it == m_clockZones.end())
        it = m_clockZones.emplace(clock.timeZoneID, zoneForIdentifier(clock.timeZoneID)).first;
    return it->second.isValid() ? it->second : m_zones->current();
}

const QString& AppModel::zoneName(const QTimeZone& zone) {
    const QByteArray key = zone.id();
    auto it = m_zoneNames.find(key);
    if (it == m_zoneNames.end()) {
        const QString id = QString::fromUtf8(key);
        QString name = timeZoneGenericName(id);
        it = m_zoneNames.emplace(key, name.isEmpty() ? id : name).first;
    }
    return it->second;
}

QString AppModel::clockTexts(const ClockEntry& clock, bool withDate) {
    const QTimeZone zone = clockZone(clock);
    QString text = zoneName(zone) + QStringLiteral(" · ") + utcOffsetText(m_now, zone);
    if (withDate) text += QStringLiteral(" · ") + dateText(zone).shortDate.format(m_now);
    return text;
}

QString AppModel::utcOffsetText(const QDateTime& date, const QTimeZone& zone) {
    const qint64 s = zone.offsetFromUtc(date);
    const QString sign = s >= 0 ? QStringLiteral("+") : QStringLiteral("\u2212");
    const qint64 magnitude = s < 0 ? -s : s;
    const qint64 h = magnitude / 3600;
    const qint64 r = magnitude % 3600;
    if (r >= 60) return QStringLiteral("UTC%1%2:%3").arg(sign).arg(h).arg(r / 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("UTC%1%2").arg(sign).arg(h);
}

QString AppModel::worldTimeText(const QDateTime& date, const QTimeZone& zone, const QString& format) {
    // Shared copies as the key: a lookup on the tick costs no allocation.
    std::pair<QByteArray, QString> key{zone.id(), format};
    auto it = m_customFormatters.find(key);
    if (it == m_customFormatters.end())
        it = m_customFormatters.emplace(std::move(key), DateFormatter::withPattern(format, zone)).first;
    return it->second.format(date);
}

const WorldCity* AppModel::cityForTimeZone(const ClockEntry& clock) const {
    if (!m_cityLookup) m_cityLookup = std::make_unique<CityLookup>(WorldCity::allMostPopulousFirst());
    if (!clock.timeZoneID.isEmpty()) return m_cityLookup->find(clock, clock.timeZoneID);
    return m_cityLookup->find(clock, QString::fromUtf8(m_zones->current().id()));
}

// ---------------------------------------------------------------------------
// Countdown and stopwatch controls

bool AppModel::canStartCountdown(int index) const {
    if (!isTimerIndex(index)) return false;
    return countdownSettings(index).durationSeconds >= 1 && m_countdownStates[index] == CountdownState::idle;
}

void AppModel::countdownStart(int index) {
    if (!canStartCountdown(index)) return;
    setCountdownStopped(index, false);
    m_countdowns[index].start(double(countdownSettings(index).durationSeconds));
    updateCountdownTexts(index);
}

void AppModel::toggleCountdown(int index) {
    if (!isTimerIndex(index)) return;
    switch (m_countdownStates[index]) {
        case CountdownState::running:
            m_countdowns[index].pause();
            break;
        case CountdownState::paused:
            m_countdowns[index].resume();
            break;
        case CountdownState::idle:
            setCountdownStopped(index, false);
            countdownStart(index);
            break;
    }
}

void AppModel::stopCountdown(int index) {
    if (!isTimerIndex(index) || m_countdownStates[index] == CountdownState::idle) return;
    setCountdownStopped(index, true);
    m_countdowns[index].setAccumulated(0);
    m_countdowns[index].setState(CountdownState::idle);
}

void AppModel::resetCountdown(int index) {
    if (!isTimerIndex(index)) return;
    setCountdownStopped(index, false);
    m_countdowns[index].setAccumulated(0);
    m_countdowns[index].setState(CountdownState::idle);
}

QString AppModel::countdownStatusText(int index) const {
    if (!isTimerIndex(index)) return QString();
    switch (m_countdownStates[index]) {
        case CountdownState::idle:
            return m_countdownStopped[index] ? tr("Gestoppt") : tr("Bereit");
        case CountdownState::running:
            return tr("Läuft");
        case CountdownState::paused:
            return tr("Pausiert");
    }
    return QString();
}

void AppModel::toggleStopwatch(int index) {
    if (!isTimerIndex(index)) return;
    StopwatchService& s = m_stopwatches[index];
    switch (s.state()) {
        case StopwatchState::idle:
            s.start();
            break;
        case StopwatchState::running:
            s.pause();
            break;
        case StopwatchState::paused:
            s.resume();
            break;
        case StopwatchState::stopped:
            s.reset();
            s.start();
            break;
    }
}

QString AppModel::stopwatchStatusText(int index) const {
    if (!isTimerIndex(index)) return QString();
    switch (m_stopwatchStates[index]) {
        case StopwatchState::idle:
            return tr("Bereit");
        case StopwatchState::running:
            return tr("Läuft");
        case StopwatchState::paused:
            return tr("Pausiert");
        case StopwatchState::stopped:
            return tr("Gestoppt");
    }
    return QString();
}

IntBinding AppModel::countdownDurationBinding(int index, DurationComponent component) {
    QPointer<AppModel> self(this);
    return IntBinding{[self, index, component] {
                          return self && isTimerIndex(index) ? int(self->countdownDuration(index, component))
                                                             : 0;
                      },
                      [self, index, component](int value) {
                          if (self && isTimerIndex(index))
                              self->setCountdownDuration(index, component, value);
                      }};
}

bool AppModel::isStopwatchActive(int index) const {
    if (!isTimerIndex(index)) return false;
    const StopwatchState state = m_stopwatchStates[index];
    return state == StopwatchState::running || state == StopwatchState::paused;
}

// ---------------------------------------------------------------------------
// Sounds

void AppModel::chooseAlarmSoundFile(const SoundSlot& slot) {
    if (!sound(slot)) return;
    const std::optional<QString> path =
        importPicked(FileRequest::sounds(tr("Alarmton auswählen"), audioPatterns()), u"ton", soundPlace(slot));
    if (!path) return;
    auto edit = [&](auto&& change) {
        editSettings([&](AppSettings& next) {
            SoundSettings& s = slot.kind == SoundSlot::Kind::alarm
                                   ? next.alarms[std::size_t(slot.index)].sound
                                   : next.countdowns[std::size_t(slot.index)].sound;
            change(s);
        });
    };
    edit([&](SoundSettings& s) { s.customFilePath = *path; });
    edit([](SoundSettings& s) { s.source = SoundSource::customFile; });
}

void AppModel::previewSound(const SoundSlot& slot) {
    const QString id = slot.id();
    if (m_audio->isOwner(kPreview, id)) {
        m_audio->stop(kPreview);
        return;
    }
    const SoundSettings* s = sound(slot);
    if (!s) return;
    const SoundSettings copy = *s;  // the service may outlive this settings value
    m_audio->play(kPreview, copy, id, 0.0);

    // Without this the button would only fail to turn into "Stopp", or the
    // tone would sound where the user expected the file.
    std::optional<std::pair<QString, QString>> problem;
    const std::optional<QString>& warning = m_audio->lastWarning();
    if (warning && (!m_audio->isOwner(kPreview, id) || warning != AudioService::fallbackWarning(copy)))
        problem.emplace(id, *warning);
    if (problem == m_previewProblem) return;
    m_previewProblem = std::move(problem);
    Q_EMIT previewProblemChanged();
}

std::optional<QString> AppModel::previewProblem(const SoundSlot& slot) const {
    if (!m_previewProblem || m_previewProblem->first != slot.id()) return std::nullopt;
    return m_previewProblem->second;
}

// ---------------------------------------------------------------------------
// Typed input

void AppModel::setCustomBackgroundHex(const QString& text) {
    if (text == m_customBackgroundHex) return;
    const QString old = m_customBackgroundHex;
    m_customBackgroundHex = text;
    Q_EMIT customBackgroundHexChanged();
    validateBackgroundHex(old);
}

void AppModel::validateBackgroundHex(const QString& old) {
    if (m_customBackgroundHex == old) return;
    const std::optional<RGB> rgb = RGB::fromHex(m_customBackgroundHex);
    if (!rgb) {
        setBackgroundHexError(tr("Bitte eine Farbe im Format #RRGGBB eingeben."));
        return;
    }
    setBackgroundHexError(std::nullopt);
    const QString hex = hexOf(rgb->r, rgb->g, rgb->b);
    editSettings([&](AppSettings& next) { next.customBackgroundColor = hex; });
    editSettings([](AppSettings& next) { next.useCustomBackground = true; });
}

QColor AppModel::customBackgroundColor() const {
    const RGB rgb = RGB::fromHex(m_settings.customBackgroundColor).value_or(RGB{});
    return QColor(rgb.r, rgb.g, rgb.b);
}

void AppModel::setCustomBackgroundColor(const QColor& color) {
    if (!color.isValid()) return;
    const QColor rgb = color.toRgb();
    setCustomBackgroundHex(hexOf(byteOf(rgb.redF()), byteOf(rgb.greenF()), byteOf(rgb.blueF())));
    editSettings([](AppSettings& next) { next.useCustomBackground = true; });
}

void AppModel::setBackgroundComponent(std::optional<int> red, std::optional<int> green,
                                      std::optional<int> blue) {
    const RGB rgb = RGB::fromHex(m_settings.customBackgroundColor).value_or(RGB{});
    // 256 is how a slider without a value of its own says "keep".
    auto pick = [](std::optional<int> given, int kept) {
        return given && *given != kKeepComponent ? std::clamp(*given, 0, 255) : kept;
    };
    setCustomBackgroundHex(hexOf(pick(red, rgb.r), pick(green, rgb.g), pick(blue, rgb.b)));
    editSettings([](AppSettings& next) { next.useCustomBackground = true; });
}

void AppModel::applyBackgroundHex(const QString& hex) {
    setCustomBackgroundHex(hex);
    editSettings([](AppSettings& next) { next.useCustomBackground = true; });
}

std::optional<double> AppModel::parseCoordinate(const std::optional<QString>& text) {
    if (!text) return std::nullopt;
    QString cleaned = trimBlanks(*text);
    if (cleaned.isEmpty()) return std::nullopt;
    cleaned.replace(QLatin1Char(','), QLatin1Char('.'));
    cleaned.replace(QChar(0x2212), QLatin1Char('-'));
    cleaned.remove(QChar(0x00B0));
    // from_chars reads the C locale's form whatever LC_NUMERIC says; anything
    // left unread (a second point, a letter, a non-ASCII sign) is a typo.
    const std::string utf8 = cleaned.toStdString();
    const char* begin = utf8.data();
    const char* end = begin + utf8.size();
    if (begin != end && *begin == '+' && end - begin > 1 && begin[1] != '-' && begin[1] != '+') ++begin;
    double value = 0;
    const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    if (ec != std::errc() || ptr != end || begin == end || !std::isfinite(value)) return std::nullopt;
    return value;
}

void AppModel::setLatitudeText(const QString& text) {
    if (text == m_latitudeText) return;
    const QString old = std::exchange(m_latitudeText, text);
    Q_EMIT latitudeTextChanged();
    validateLatitudeText(old);
}

void AppModel::setLongitudeText(const QString& text) {
    if (text == m_longitudeText) return;
    const QString old = std::exchange(m_longitudeText, text);
    Q_EMIT longitudeTextChanged();
    validateLongitudeText(old);
}

void AppModel::validateLatitudeText(const QString& old) {
    validateCoordinate(true, old);
}

void AppModel::validateLongitudeText(const QString& old) {
    validateCoordinate(false, old);
}

void AppModel::validateCoordinate(bool latitude, const QString& old) {
    if ((latitude ? m_latitudeText : m_longitudeText) == old) return;
    std::optional<QString>& error = latitude ? m_latitudeError : m_longitudeError;
    void (AppModel::*changed)() =
        latitude ? &AppModel::latitudeErrorChanged : &AppModel::longitudeErrorChanged;
    const std::optional<double> value = parseCoordinate(latitude ? m_latitudeText : m_longitudeText);
    if (!value) {
        store(error,
              std::optional<QString>(latitude ? tr("Bitte eine Zahl eingeben, z. B. 52,52")
                                              : tr("Bitte eine Zahl eingeben, z. B. 13,405")),
              changed);
        return;
    }
    // Stored even when out of range: the dusk then falls back to the fixed
    // schedule, which the message says.
    editSettings([&](AppSettings& next) { (latitude ? next.dusk.latitude : next.dusk.longitude) = *value; });
    const double limit = latitude ? 90.0 : 180.0;
    std::optional<QString> message;
    if (std::abs(*value) > limit)
        message = latitude ? tr("Gültig: −90 bis 90 (Fallback aktiv)")
                           : tr("Gültig: −180 bis 180 (Fallback aktiv)");
    store(error, message, changed);
}

QStringList AppModel::makeFontFamilies(const QStringList& installed, const QString& stored) {
    QStringList families;
    families.reserve(installed.size() + 1);
    for (const QString& family : installed)
        if (!family.startsWith(QLatin1Char('.'))) families << family;
    if (!stored.isEmpty()) families << stored;
    std::sort(families.begin(), families.end());
    families.erase(std::unique(families.begin(), families.end()), families.end());
    QCollator collator(appQLocale());
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(families.begin(), families.end(),
                     [&](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    return families;
}

const QStringList& AppModel::fontFamilies() {
    if (!m_cachedFontFamilies) {
        // The default is offered even when the font database names it
        // otherwise, so a user can always go back to it.
        QStringList installed = QFontDatabase::families();
        installed << platformDefaultFontFamily();
        m_cachedFontFamilies = makeFontFamilies(installed, m_settings.fontFamily);
    }
    return *m_cachedFontFamilies;
}

// ---------------------------------------------------------------------------
// Alarm, radio and dusk texts

QString AppModel::nextAlarmText(const AlarmSettings& alarm) {
    if (!alarm.isEnabled) return tr("Deaktiviert");
    const QDateTime next = m_alarmService.nextOccurrence(alarm, m_now);
    if (!next.isValid()) return tr("Deaktiviert");
    const QTimeZone zone = m_zones->current();
    const QDate today = m_now.toTimeZone(zone).date();
    const QDate day = next.toTimeZone(zone).date();
    QString dayText;
    if (day == today)
        dayText = tr("heute");
    else if (day == today.addDays(1))
        dayText = tr("morgen");
    else
        dayText = weekdayFormatter().format(next);
    return tr("Nächster Alarm: %1, %2\u00A0Uhr").arg(dayText, hourMinuteFormatter().format(next));
}

QString AppModel::repeatText(const AlarmSettings& alarm) const {
    return repeatText(alarm, weekdaySymbols());
}

QString AppModel::repeatText(const AlarmSettings& alarm, const std::vector<WeekdayEntry>& week) {
    const WeekdaySet& days = alarm.weekdays;
    if (days.size() == 7) return tr("Täglich");
    if (days.mask() == WeekdaySet{2, 3, 4, 5, 6}.mask()) return tr("Montag bis Freitag");
    if (days.mask() == WeekdaySet{1, 7}.mask()) return tr("Am Wochenende");
    if (days.empty()) return tr("Einmalig – schaltet sich nach dem Klingeln aus");
    QStringList names;
    for (const WeekdayEntry& entry : week)
        if (days.contains(entry.weekday)) names << entry.shortName;
    return names.join(QStringLiteral(", "));
}

QString AppModel::brightnessText() const {
    return brightnessText(m_lastDusk.brightness, m_settings.theme);
}

QString AppModel::brightnessText(double brightness, ThemeMode theme) {
    const QString percent = QString::asprintf("%.0f", brightness * 100.0);
    if (theme == ThemeMode::dusk) return tr("Aktuelle Helligkeit: %1\u00A0%").arg(percent);
    return tr("Helligkeit bei aktivem Dämmerungsmodus: %1\u00A0%").arg(percent);
}

QStringList AppModel::alarmSummary() const {
    QStringList lines;
    const auto& alarms = m_settings.alarms;
    for (std::size_t i = 0; i < alarms.size(); ++i) {
        const AlarmSettings& a = alarms[i];
        if (!a.isEnabled) continue;
        lines << tr("Wecker %1 um %2:%3\u00A0Uhr")
                     .arg(qint64(i + 1))
                     .arg(a.hour, 2, 10, QLatin1Char('0'))
                     .arg(a.minute, 2, 10, QLatin1Char('0'));
    }
    for (std::size_t i = 0; i < 2; ++i) {
        const CountdownState state = m_countdownStates[i];
        if (state != CountdownState::running && state != CountdownState::paused) continue;
        lines << tr("Countdown %1 (%2)").arg(qint64(i + 1)).arg(m_countdownTexts[i]);
    }
    return lines;
}

}  // namespace corvane
