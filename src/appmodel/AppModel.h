#pragma once

// The one observable object behind every view. It owns the settings, the
// services and the heartbeat; views repaint on its change signals and read
// its fields while painting, and every edit of a setting goes through
// setSettings()/editSettings() so that the program follows it and it gets
// saved.
//
// Main thread only. Every setter of an observable field stores silently when
// the value is equal and emits the field's change signal otherwise.

#include <QColor>
#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "appmodel/CityLookup.h"
#include "appmodel/ModelServices.h"
#include "appmodel/SettingsCategory.h"
#include "appmodel/Timers.h"
#include "model/Locale.h"
#include "model/Settings.h"
#include "model/SettingsService.h"
#include "platform/FileChooser.h"
#include "model/Theme.h"
#include "model/WorldCity.h"
#include "model/WidgetSnapshot.h"
#include "platform/FileChooser.h"
#include "platform/Appearance.h"
#include "platform/Clock.h"
#include "platform/Paths.h"
#include "platform/SleepInhibitor.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/TimeZones.h"
#include "platform/UserName.h"
#include "platform/WidgetReload.h"
#include "services/AlarmService.h"
#include "services/AudioService.h"
#include "services/CountdownService.h"
#include "services/DuskResult.h"
#include "services/StopwatchService.h"

namespace corvane {

class AudioOutputStatus;
class ProcessFinder;
class SleepInhibitor;
class SoundPlayerFactory;
class SystemAppearance;
class TimeZoneWatcher;
class UrlSchemeHandler;
class WidgetReloader;
struct AccountNames;

// An open alert: shown over the clocks until the user ends it.
struct AlertItem {
    QString id;  // upper-case UUID, also the owner of its sound on the alarm channel
    QString title;
    QString subtitle;

    bool operator==(const AlertItem&) const = default;
};

// A sound the settings pages can edit: an alarm's or a countdown's.
struct SoundSlot {
    enum class Kind { alarm, countdown };
    Kind kind = Kind::alarm;
    int index = 0;

    // "alarm-2": the owner under which its preview plays.
    QString id() const;
    bool operator==(const SoundSlot&) const = default;
};

inline size_t qHash(const SoundSlot& slot, size_t seed = 0) noexcept {
    return qHashMulti(seed, int(slot.kind), slot.index);
}

// A two-way view of one value for a picker: reads and writes go to the model,
// which it does not keep alive (both do nothing once the model is gone).
struct IntBinding {
    std::function<int()> get;
    std::function<void(int)> set;
};

// The (time, long date, short date) formatters of one zone.
struct ZoneFormatters {
    DateFormatter time;
    DateFormatter date;
    DateFormatter shortDate;
};

// Everything the model needs from the system. Null members get the real
// thing (except `clock`/`zones`, which default to the system's).
struct AppModelDeps {
    AppPaths paths;
    const Clock* clock = nullptr;
    const TimeZoneProvider* zones = nullptr;
    std::unique_ptr<TimerFactory> timers;
    std::unique_ptr<SystemAppearance> appearance;
    // Sound: with a factory, AudioService plays through it and asks
    // `audioOutput` (may stay null) whether the output is silent.
    std::unique_ptr<SoundPlayerFactory> soundFactory;
    const AudioOutputStatus* audioOutput = nullptr;
    // The radio link's seams; not owned, must outlive the model.
    UrlSchemeHandler* radioSchemeHandler = nullptr;
    ProcessFinder* radioProcesses = nullptr;
    AudioOutputStatus* radioAudioStatus = nullptr;
    std::unique_ptr<SleepInhibitor> inhibitor;
    std::unique_ptr<WidgetReloader> widgetReload;
    std::unique_ptr<TimeZoneWatcher> zoneWatcher;
    std::function<AccountNames()> accountNames;
    std::unique_ptr<FileChooser> fileChooser;
};

class AppModel final : public QObject {
    Q_OBJECT

public:
    enum class TickRate { second, medium, fast };

    static constexpr int kSaveDelayMs = 700;
    static constexpr int kWidgetDelayMs = 1500;
    static constexpr double kWidgetThemeInterval = 300.0;
    static constexpr double kRadioSilenceLimit = 45.0;
    static constexpr int kRadioHeardChecks = 120;
    static constexpr double kRadioFallbackFade = 10.0;

    // Wires everything and loads the settings; nothing ticks yet.
    explicit AppModel(AppModelDeps deps, QObject* parent = nullptr);
    ~AppModel() override;

    // Runs the first tick and starts the heartbeat and the first widget
    // refresh. Call once, after connecting to the signals, so that an alarm
    // due at launch is not announced to nobody.
    void start();
    // Before the program ends: stops timers, countdowns, stopwatches and sound
    // and writes the settings (and a pending widget refresh) synchronously.
    void shutdown();

    // --- Settings ---------------------------------------------------------
    const AppSettings& settings() const { return m_settings; }
    // Replaces the settings; an equal value does nothing at all.
    void setSettings(AppSettings settings);
    // Copy, edit, store when changed.
    template <typename Edit>
    void editSettings(Edit&& edit) {
        AppSettings next = m_settings;
        edit(next);
        setSettings(std::move(next));
    }
    // Follows a change of the settings (`old` being the value before).
    void settingsDidChange(const AppSettings& old);
    SettingsService& settingsService() { return *m_settingsService; }
    const std::optional<QString>& saveStatusText() const { return m_saveStatusText; }

    // --- Tick ---------------------------------------------------------------
    void tick();
    void scheduleTick();
    void updateTickRate();
    TickRate rate() const { return m_rate; }
    // Milliseconds until the next tick at the given rate.
    static qint64 tickInterval(TickRate rate, qint64 wallMSecs);

    const QDateTime& now() const { return m_now; }
    const QString& greetingText() const { return m_greetingText; }
    bool systemAudioSilent() const { return m_systemAudioSilent; }

    // --- Countdowns and stopwatches ------------------------------------------
    std::array<CountdownService, 2>& countdownServices() { return m_countdowns; }
    std::array<StopwatchService, 2>& stopwatchServices() { return m_stopwatches; }
    const std::array<CountdownState, 2>& countdownStates() const { return m_countdownStates; }
    const std::array<QString, 2>& countdownTexts() const { return m_countdownTexts; }
    const std::array<StopwatchState, 2>& stopwatchStates() const { return m_stopwatchStates; }
    const std::array<QString, 2>& stopwatchTexts() const { return m_stopwatchTexts; }
    const std::array<bool, 2>& countdownStopped() const { return m_countdownStopped; }
    void setCountdownStopped(int index, bool stopped);

    void countdownStateChanged(int index);
    void updateCountdownTexts(int index);
    void updateStopwatchTexts(int index);
    QString countdownTitle(int index) const;

    enum class DurationComponent { hours, minutes, seconds };
    qint64 countdownDuration(int index, DurationComponent component) const;
    // Clamps the part (hours 0...23, minutes and seconds 0...59) and keeps
    // the other two; an idle countdown takes the new duration at once.
    void setCountdownDuration(int index, DurationComponent component, qint64 value);
    // The same as a binding for the duration pickers.
    IntBinding countdownDurationBinding(int index, DurationComponent component);

    // --- Alerts ---------------------------------------------------------------
    const std::vector<AlertItem>& alerts() const { return m_alerts; }
    const QSet<QString>& radioFallbackAlerts() const { return m_radioFallbackAlerts; }
    void fireAlarm(int number, const AlarmSettings& alarm, const QDateTime& now, const QDateTime& scheduled);
    void countdownFinished(int index);
    void checkRadioWatches(const QDateTime& now);
    void dismissAlert(const QString& id);
    AudioService& audio() { return *m_audio; }
    AlarmService& alarmService() { return m_alarmService; }
    // Running radio wake-ups, for the overlay and tests.
    int radioWatchCount() const { return int(m_radioWatches.size()); }

    // --- Theme and widget -----------------------------------------------------------
    const ThemeColors& theme() const { return m_theme; }
    const DuskResult& lastDusk() const { return m_lastDusk; }
    bool systemIsLight() const { return m_systemIsLight; }
    void updateTheme(const QDateTime& now);
    void appearanceChanged();
    void scheduleWidgetRefresh();
    void writeWidgetSnapshot();
    WidgetSnapshot makeWidgetSnapshot() const;
    bool widgetRefreshPending() const;

    // --- Sleep prevention and armed alarms ----------------------------------------
    void updatePowerActivity();
    bool powerActivity() const { return m_powerActivity; }
    void updateActiveAlarmsText();
    const QString& activeAlarmsText() const { return m_activeAlarmsText; }

    // --- Dial images -------------------------------------------------------------
    const std::optional<QImage>& dialImage() const { return m_dialImage; }
    const std::optional<QString>& dialImageLoadedPath() const { return m_dialImageLoadedPath; }
    const std::map<QString, QImage>& clockImages() const { return m_clockImages; }
    void loadDialImage();
    void loadClockImages();
    // Decoded images are scaled down to this side at most; a dial is never
    // drawn larger than the largest screen.
    static int maxDialImageSide();
    static QImage decodeDialImage(const QString& path, int maxSide);

    // --- Small services -------------------------------------------------------------
    QString systemGivenName() const;
    const ZoneFormatters& dateText(const QTimeZone& zone);
    std::optional<int> clockIndex(const QString& clockID) const;
    void moveClock(int from, int to);
    RGB clockFaceColor(const QString& clockID) const;
    // Stores a colour picked for a clock's face as "#RRGGBB"; an invalid
    // colour changes nothing.
    void pickClockFaceColor(const QString& clockID, const QColor& color);
    // None clears the clock's own colour.
    void setClockFaceColor(const QString& clockID, const std::optional<QString>& hex);
    static const std::vector<TimeZoneInfo>& timeZoneList() { return corvane::timeZoneList(); }
    static const std::vector<ColorSwatch>& paletteSwatches() { return corvane::paletteSwatches(); }
    static const std::vector<WeekdayEntry>& weekdaySymbols() { return corvane::weekdaySymbols(); }
    QString clockTitle(const ClockEntry& clock) const;
    const DateFormatter& weekdayFormatter();
    const DateFormatter& longDateFormatter() const { return *m_dateFormatter; }
    const DateFormatter& hourMinuteFormatter() const { return *m_hmFormatter; }
    static QString coordinateText(double value);
    static std::vector<SoundSlot> soundSlots();
    const SoundSettings* sound(const SoundSlot& slot) const;
    FileChooser* fileChooser() const { return m_fileChooser.get(); }
    const TimeZoneProvider& zones() const { return *m_zones; }

    // Fields whose editing belongs to the pages; held here so they survive.
    const QString& customBackgroundHex() const { return m_customBackgroundHex; }
    void setCustomBackgroundHex(const QString& text);
    const std::optional<QString>& backgroundHexError() const { return m_backgroundHexError; }
    void setBackgroundHexError(const std::optional<QString>& error);
    const QString& latitudeText() const { return m_latitudeText; }
    const QString& longitudeText() const { return m_longitudeText; }
    const std::optional<QString>& highlightedClockID() const { return m_highlightedClockID; }
    void setHighlightedClockID(const std::optional<QString>& id);

    // --- Clock list ------------------------------------------------------------------
    static constexpr int kMaxClocks = 24;
    // Zones offered, in this order, for a clock added on the clocks page.
    static const std::array<const char*, 14>& presetZones();
    // The city as a new last clock; nothing with kMaxClocks clocks.
    void addClock(const WorldCity& city);
    // Points a clock at a city; its design stays.
    void replaceClock(const QString& clockID, const WorldCity& city);
    // Nothing when only one clock is left.
    void removeClock(const QString& clockID);
    void addClockInSettings();
    // Swaps the clock with its neighbour `step` places away, when there is one.
    void moveClock(const QString& clockID, int step);
    // The name a clock made from the city keeps: empty when the zone already
    // says it, so the title follows the zone.
    static QString clockNameForCity(const WorldCity& city);

    // --- Clock design ----------------------------------------------------------------
    void setClockDialStyle(const QString& clockID, std::optional<DialStyle> style);
    void chooseDialImage(const QString& clockID);
    void resetClockDesign(const QString& clockID);
    void applyDesignToAllClocks(const QString& clockID);
    void applyClockDesignToAll(const QString& clockID) { applyDesignToAllClocks(clockID); }
    // The default style; the shared image is switched off.
    void setDialStyle(DialStyle style);
    void setDefaultDialStyle(DialStyle style) { setDialStyle(style); }
    void chooseSharedDialImage();
    std::optional<QString> dialImageWarning() const;
    // The image a clock's dial shows instead of a drawn face, if any.
    std::optional<QImage> clockImage(const ClockEntry& clock) const;

    // --- Clock texts -----------------------------------------------------------------
    // "Mitteleuropäische Zeit · UTC+1", with the short date when asked.
    QString clockTexts(const ClockEntry& clock, bool withDate);
    // "UTC+0", "UTC−5", "UTC+5:30"; seconds below a minute are dropped.
    static QString utcOffsetText(const QDateTime& date, const QTimeZone& zone);
    // The date in the zone with a fixed pattern; the formatter is kept.
    QString worldTimeText(const QDateTime& date, const QTimeZone& zone, const QString& format);
    // The catalogue city a clock stands for (see CityLookup); null when none.
    const WorldCity* cityForTimeZone(const ClockEntry& clock) const;

    // --- Countdown and stopwatch controls --------------------------------------------
    void toggleCountdown(int index);
    void countdownStart(int index);
    bool canStartCountdown(int index) const;
    void stopCountdown(int index);
    void resetCountdown(int index);
    QString countdownStatusText(int index) const;
    void toggleStopwatch(int index);
    QString stopwatchStatusText(int index) const;
    bool isStopwatchActive(int index) const;

    // --- Sounds ------------------------------------------------------------------------
    void chooseAlarmSoundFile(const SoundSlot& slot);
    // Plays the slot's sound on the preview channel, or stops it when that
    // slot is what plays.
    void previewSound(const SoundSlot& slot);
    // Why the last test of `slot` could not play its sound (no audio output,
    // an unreadable file), until a test plays cleanly. None for every other
    // slot, and when the reason is the one the editor already shows for a
    // missing sound.
    std::optional<QString> previewProblem(const SoundSlot& slot) const;

    // Why the file last picked in a place could not be taken over
    // ("Datei konnte nicht übernommen werden: …"): under a slot's file row,
    // under a clock's design tiles, under the shared dial image. It stays
    // until a pick there succeeds or what that place shows changes.
    std::optional<QString> soundImportProblem(const SoundSlot& slot) const;
    std::optional<QString> clockImageImportProblem(const QString& clockID) const;
    std::optional<QString> sharedImageImportProblem() const;

    // --- Typed input -------------------------------------------------------------------
    // Colour for the colour picker; black when the stored text is malformed.
    QColor customBackgroundColor() const;
    void setCustomBackgroundColor(const QColor& color);
    // Each given channel replaces the stored colour's; none or
    // kKeepComponent keeps it.
    static constexpr int kKeepComponent = 256;
    void setBackgroundComponent(std::optional<int> red, std::optional<int> green, std::optional<int> blue);
    void applyBackgroundHex(const QString& hex);
    void setLatitudeText(const QString& text);
    void setLongitudeText(const QString& text);
    // What the setters run with the text they replaced; nothing when the text
    // is unchanged.
    void validateBackgroundHex(const QString& old);
    void validateLatitudeText(const QString& old);
    void validateLongitudeText(const QString& old);
    const std::optional<QString>& latitudeError() const { return m_latitudeError; }
    const std::optional<QString>& longitudeError() const { return m_longitudeError; }
    // "52,52", " 52.52° ", "−33,9", "1e2"; none for anything else, whatever
    // the process locale.
    static std::optional<double> parseCoordinate(const std::optional<QString>& text);
    // Installed families (none starting with ".") plus the stored one, sorted
    // for the display locale; built once.
    const QStringList& fontFamilies();
    // The same from any family list, for tests.
    static QStringList makeFontFamilies(const QStringList& installed, const QString& stored);
    static RGB hslToRGB(double hue, double saturation, double lightness) {
        return corvane::hslToRGB(hue, saturation, lightness);
    }

    // --- Alarm, radio and dusk texts ------------------------------------------------------
    QString nextAlarmText(const AlarmSettings& alarm);
    QString repeatText(const AlarmSettings& alarm) const;
    // In the order of the given week; for tests of other locales.
    static QString repeatText(const AlarmSettings& alarm, const std::vector<WeekdayEntry>& week);
    static QString radioModeTitle(const AlarmSettings& alarm);
    QString brightnessText() const;
    // The same for any brightness (0 night ... 1 day) and theme.
    static QString brightnessText(double brightness, ThemeMode theme);
    QString duskStatusText() const { return m_lastDusk.status; }
    // What the user would miss by quitting: enabled alarms, then running or
    // paused countdowns.
    QStringList alarmSummary() const;

    // --- Settings window --------------------------------------------------------------
    bool isSettingsOpen() const { return m_isSettingsOpen; }
    void setSettingsOpen(bool open);
    SettingsCategory selectedCategory() const { return m_selectedCategory; }
    void setSelectedCategory(SettingsCategory category);
    void openSettings(std::optional<SettingsCategory> category = std::nullopt);

Q_SIGNALS:
    // Observable fields.
    void settingsChanged();
    void nowChanged();
    void greetingTextChanged();
    void activeAlarmsTextChanged();
    void themeChanged();
    void lastDuskChanged();
    void alertsChanged();
    void radioFallbackAlertsChanged();
    void dialImageChanged();
    void clockImagesChanged(const QString& path);
    void highlightedClockIDChanged();
    void countdownStatesChanged(int index);
    void countdownTextsChanged(int index);
    void countdownStoppedChanged(int index);
    void stopwatchStatesChanged(int index);
    void stopwatchTextsChanged(int index);
    void isSettingsOpenChanged();
    void selectedCategoryChanged();
    void saveStatusTextChanged();
    void previewProblemChanged();
    void importProblemsChanged();
    void customBackgroundHexChanged();
    void backgroundHexErrorChanged();
    void latitudeTextChanged();
    void longitudeTextChanged();
    void systemAudioSilentChanged();
    void latitudeErrorChanged();
    void longitudeErrorChanged();

    // For the application delegate, each after the model has followed the change.
    void settingsOpenChanged(bool open);             // show or close the settings window
    void showSettingsRequested();                    // front the settings window
    void displayModeChanged(ClockDisplayMode mode);  // square the window for one dial
    void alertRaised();                              // front the clock window
    void windowOptionsChanged();                     // level, background, appearance

private:
    struct RadioWatch {
        QString alertID;
        SoundSettings sound;
        QDateTime started;
        std::optional<QDateTime> lastHeard;
        int heardSeconds = 0;
    };

    template <typename T>
    bool store(T& field, const T& value, void (AppModel::*changed)()) {
        if (field == value) return false;
        field = value;
        Q_EMIT(this->*changed)();
        return true;
    }
    template <typename T>
    bool storeAt(T& field, const T& value, int index, void (AppModel::*changed)(int)) {
        if (field == value) return false;
        field = value;
        Q_EMIT(this->*changed)(index);
        return true;
    }

    void saveNow();
    void saveCompleted(bool ok, const std::optional<QString>& message, bool carriedUserChange);
    void setSaveStatusText(const std::optional<QString>& text);
    void updateGreeting();
    void runPerSecondWork(const QDateTime& now, int second);
    QString greetingName() const;
    double stopwatchElapsed(int index) const;
    const CountdownSettings& countdownSettings(int index) const;
    void playAlertSound(const QString& alertID, const SoundSettings& sound, double fadeSeconds);
    void stopAlarmChannel();
    void alarmChannelOwnerChanged();
    void ringNewestLoopingAlert(const QString& except);
    void setDialImage(std::optional<QImage> image);
    void setDialImageFailed(bool failed);
    void dialImageDecoded(const QString& path, const QImage& image);
    void clockImageDecoded(const QString& path, const QImage& image);
    void rebuildZoneFormatters();
    void cleanUpMedia();
    // Edits the first clock with that id; false when there is none.
    template <typename Edit>
    bool editClock(const QString& clockID, Edit&& edit) {
        const std::optional<int> index = clockIndex(clockID);
        if (!index) return false;
        editSettings([&](AppSettings& next) { edit(next.clocks[std::size_t(*index)]); });
        return true;
    }
    // Asks for a file and copies it into the media folder; the copy's path.
    // `place` names where it was picked, for importProblem().
    std::optional<QString> importPicked(const FileRequest& request, QStringView prefix, const QString& place);
    void setImportProblem(const QString& place, const std::optional<QString>& message);
    std::optional<QString> importProblem(const QString& place) const;
    static QString soundPlace(const SoundSlot& slot);
    static QString clockPlace(const QString& clockID);
    static QString sharedImagePlace();
    // Forgets the problems of places whose row `old` → now changed.
    void dropStaleImportProblems(const AppSettings& old);
    void validateCoordinate(bool latitude, const QString& old);
    // The zone a clock's texts are in, and its generic name; both looked up
    // once per identifier, since the clock views ask on every repaint.
    QTimeZone clockZone(const ClockEntry& clock);
    const QString& zoneName(const QTimeZone& zone);

    // Order matters: the services below use these.
    const Clock* m_clock;
    const TimeZoneProvider* m_zones;
    std::unique_ptr<TimerFactory> m_timerFactory;
    std::unique_ptr<SystemAppearance> m_appearance;
    std::unique_ptr<SleepInhibitor> m_inhibitor;
    std::unique_ptr<WidgetReloader> m_widgetReload;
    std::unique_ptr<TimeZoneWatcher> m_zoneWatcher;
    std::function<AccountNames()> m_accountNames;
    std::unique_ptr<FileChooser> m_fileChooser;
    bool m_ownsRadioSeams = false;
    AppPaths m_paths;

    std::unique_ptr<SettingsService> m_settingsService;
    std::unique_ptr<AudioService> m_audio;
    AlarmService m_alarmService;
    std::array<CountdownService, 2> m_countdowns;
    std::array<StopwatchService, 2> m_stopwatches;
    std::unique_ptr<OneShotTimer> m_tickTimer;
    std::unique_ptr<OneShotTimer> m_saveTimer;
    std::unique_ptr<OneShotTimer> m_widgetTimer;

    qint64 m_lastSecond = -1;  // whole epoch second of the last tick
    bool m_systemIsLight = true;
    std::map<QByteArray, ZoneFormatters> m_formatters;
    std::optional<DateFormatter> m_dateFormatter;
    std::optional<DateFormatter> m_hmFormatter;
    std::optional<DateFormatter> m_weekdayFormatter;

    AppSettings m_settings;
    QDateTime m_now;
    QString m_greetingText;
    QString m_activeAlarmsText;
    ThemeColors m_theme = ThemeColors::defaultPalette();
    DuskResult m_lastDusk;
    std::vector<AlertItem> m_alerts;
    std::optional<QImage> m_dialImage;
    std::optional<QString> m_dialImageLoadedPath;
    bool m_dialImageFailed = false;  // the file at m_dialImageLoadedPath decoded to nothing
    std::map<QString, QImage> m_clockImages;
    QSet<QString> m_clockImagesLoading;
    std::optional<QString> m_highlightedClockID;
    std::array<CountdownState, 2> m_countdownStates{CountdownState::idle, CountdownState::idle};
    std::array<QString, 2> m_countdownTexts;
    std::array<StopwatchState, 2> m_stopwatchStates{StopwatchState::idle, StopwatchState::idle};
    std::array<QString, 2> m_stopwatchTexts;
    bool m_isSettingsOpen = false;
    SettingsCategory m_selectedCategory = SettingsCategory::display;
    std::optional<QString> m_saveStatusText;
    // Why the settings at start are the defaults. It stays the save status
    // until a save carries a change of the user's own: the frame the window
    // reports at start is saved too, and must not hide it.
    std::optional<QString> m_loadMessage;
    // A change other than the window frame waits for its save.
    bool m_userChangePending = false;
    // The slot identifier of the last test that failed, and why.
    std::optional<std::pair<QString, QString>> m_previewProblem;
    // Failed imports by place ("sound:alarm-0", "clock:<id>", "dial").
    std::map<QString, QString> m_importProblems;
    QString m_customBackgroundHex;
    std::optional<QString> m_backgroundHexError;
    QString m_latitudeText;
    QString m_longitudeText;
    std::optional<QString> m_latitudeError;
    std::optional<QString> m_longitudeError;
    std::map<std::pair<QByteArray, QString>, DateFormatter> m_customFormatters;
    std::optional<QStringList> m_cachedFontFamilies;
    std::map<QString, QTimeZone> m_clockZones;  // invalid: the identifier names no zone
    std::map<QByteArray, QString> m_zoneNames;
    QDateTime m_lastWidgetThemeUpdate;  // invalid: never
    std::vector<RadioWatch> m_radioWatches;
    QSet<QString> m_radioFallbackAlerts;
    bool m_powerActivity = false;
    bool m_systemAudioSilent = false;
    std::map<QString, SoundSettings> m_alertSounds;
    std::array<bool, 2> m_countdownStopped{false, false};
    TickRate m_rate = TickRate::second;

    // The texts last shown, as numbers, so an unchanged reading costs no
    // formatting on the fast tick.
    std::array<qint64, 2> m_shownCountdownSeconds{-1, -1};
    std::array<qint64, 2> m_shownStopwatchHundredths{-1, -1};
    // The duration each countdown was started with: the alert names what ran,
    // not what the settings say now.
    std::array<double, 2> m_runDuration{0.0, 0.0};
    // The alarm scan works on this copy: firing a one-time alarm rewrites the
    // settings in the middle of it. Kept to reuse its storage.
    std::vector<AlarmSettings> m_alarmScan;
    // While the model itself starts or stops a sound, an emptied alarm channel
    // is not a sound that ended.
    int m_changingAlarmChannel = 0;
    std::optional<QString> m_lastAlarmOwner;
    mutable std::optional<QString> m_givenName;
    // Built on the first lookup: the catalogue is loaded on first use too.
    mutable std::unique_ptr<CityLookup> m_cityLookup;
    bool m_started = false;
    bool m_shuttingDown = false;
};

}  // namespace corvane
