#include "appmodel/AppModel.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QLocale>
#include <QPointer>
#include <QScreen>
#include <QThreadPool>
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/system/DialogFileChooser.h"
#include "platform/Appearance.h"
#include "platform/AtomicFile.h"
#include "platform/QuitLog.h"
#include "platform/SleepInhibitor.h"
#include "platform/Text.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/UserName.h"
#include "platform/Uuid.h"
#include "platform/WidgetReload.h"
#include "platform/system/HeifImage.h"
#include "platform/system/SoundPlayer.h"
#include "services/Sonvela.h"
#include "services/SystemSounds.h"
#include "services/TimeTexts.h"

namespace corvane {

namespace {

constexpr AudioChannel kAlarm = AudioChannel::alarm;
constexpr AudioChannel kPreview = AudioChannel::preview;

// The whole seconds a countdown reading shows, as formatDuration counts them.
qint64 shownCountdownSeconds(double remaining) {
    const double value = remaining > 0 ? remaining : 0.0;
    const double whole = std::ceil(value - 0.000000001);
    return qint64(std::clamp(whole, 0.0, 1e15));
}

qint64 hundredthsOf(double elapsed) {
    const double value = elapsed > 0 ? elapsed : 0.0;
    return qint64(std::clamp(value * 100.0, 0.0, 1e15));
}

QString radioTitle(const AlarmSettings& alarm) {
    switch (alarm.radioMode) {
        case AlarmSettings::RadioMode::randomFavorite:
            return tr("Zufälliger Favorit");
        case AlarmSettings::RadioMode::station:
            if (alarm.radioStationName) return *alarm.radioStationName;
            if (alarm.radioStationUUID) return *alarm.radioStationUUID;
            return QString();
        case AlarmSettings::RadioMode::lastPlayed:
            return tr("Zuletzt gehörter Sender");
    }
    return QString();
}

bool soundsDifferForPreview(const SoundSettings& a, const SoundSettings& b) {
    return a.source != b.source || a.systemSoundName != b.systemSoundName ||
           a.customFilePath != b.customFilePath || a.loop != b.loop;
}

const SoundSettings* soundIn(const AppSettings& settings, const SoundSlot& slot) {
    if (slot.index < 0) return nullptr;
    const std::size_t i = std::size_t(slot.index);
    if (slot.kind == SoundSlot::Kind::alarm)
        return i < settings.alarms.size() ? &settings.alarms[i].sound : nullptr;
    return i < settings.countdowns.size() ? &settings.countdowns[i].sound : nullptr;
}

}  // namespace

QString SoundSlot::id() const {
    return (kind == Kind::alarm ? QStringLiteral("alarm-") : QStringLiteral("countdown-")) +
           QString::number(index);
}

// ---------------------------------------------------------------------------
// Start-up

AppModel::AppModel(AppModelDeps deps, QObject* parent)
    : QObject(parent),
      m_clock(deps.clock ? deps.clock : &SystemClock::instance()),
      m_zones(deps.zones ? deps.zones : &SystemTimeZoneProvider::instance()),
      m_timerFactory(deps.timers ? std::move(deps.timers) : std::make_unique<QtTimerFactory>()),
      m_appearance(deps.appearance ? std::move(deps.appearance) : std::make_unique<PortalAppearance>()),
      m_inhibitor(deps.inhibitor ? std::move(deps.inhibitor) : std::make_unique<DesktopSleepInhibitor>()),
      m_widgetReload(deps.widgetReload ? std::move(deps.widgetReload)
                                       : std::make_unique<DBusWidgetReloader>()),
      m_zoneWatcher(deps.zoneWatcher ? std::move(deps.zoneWatcher)
                                     : std::make_unique<SystemTimeZoneWatcher>()),
      m_accountNames(deps.accountNames ? std::move(deps.accountNames)
                                       : std::function<AccountNames()>(currentAccountNames)),
      m_fileChooser(deps.fileChooser ? std::move(deps.fileChooser) : std::make_unique<DialogFileChooser>()),
      m_paths(deps.paths),
      m_settingsService(std::make_unique<SettingsService>(m_paths)),
      m_audio(deps.soundFactory
                  ? std::make_unique<AudioService>(std::move(deps.soundFactory), deps.audioOutput)
                  : std::make_unique<AudioService>()),
      m_alarmService(*m_zones),
      m_countdowns{CountdownService(*m_clock), CountdownService(*m_clock)},
      m_stopwatches{StopwatchService(*m_clock), StopwatchService(*m_clock)} {
    if (deps.radioSchemeHandler || deps.radioProcesses || deps.radioAudioStatus) {
        Sonvela::setSchemeHandler(deps.radioSchemeHandler);
        Sonvela::setProcessFinder(deps.radioProcesses);
        Sonvela::setAudioStatus(deps.radioAudioStatus);
        m_ownsRadioSeams = true;
    }

    m_tickTimer = m_timerFactory->make(
        [this] {
            tick();
            scheduleTick();
        },
        true);
    m_saveTimer = m_timerFactory->make([this] { saveNow(); }, false);
    m_widgetTimer = m_timerFactory->make([this] { writeWidgetSnapshot(); }, false);

    m_now = m_clock->now();
    m_stopwatchTexts = {formatStopwatch(0), formatStopwatch(0)};
    m_countdownTexts = {formatDuration(0), formatDuration(0)};

    const SettingsLoadResult loaded = m_settingsService->load();
    m_settings = loaded.settings;
    useSoundsOfThisComputer(m_settings);

    m_customBackgroundHex = m_settings.customBackgroundColor;
    rebuildZoneFormatters();
    m_latitudeText = coordinateText(m_settings.dusk.latitude);
    m_longitudeText = coordinateText(m_settings.dusk.longitude);

    if (const auto error = m_settingsService->lastError()) m_saveStatusText = m_loadMessage = *error;
    // A run killed while it wrote the widget's file left its temporary file.
    if (const auto snapshot = WidgetSnapshot::fileURL(m_paths))
        removeStrayTemporariesOf(*snapshot, WidgetSnapshot::fileKind());

    m_alarmService.onTriggered = [this](int number, const AlarmSettings& alarm, const QDateTime& now,
                                        const QDateTime& scheduled) {
        fireAlarm(number, alarm, now, scheduled);
    };

    for (int i = 0; i < 2; ++i) {
        m_countdowns[i].onCompleted = [this, i] { countdownFinished(i); };
        m_countdowns[i].onStateChanged = [this, i] { countdownStateChanged(i); };
        if (m_countdowns[i].state() == CountdownState::idle)
            m_countdowns[i].setDuration(double(countdownSettings(i).durationSeconds));
        updateCountdownTexts(i);
    }
    for (int i = 0; i < 2; ++i) m_stopwatches[i].onStateChanged = [this, i] { updateStopwatchTexts(i); };

    m_systemIsLight = m_appearance->isLight();
    // The portal may answer from another thread's dispatch; the model only
    // ever changes on its own.
    connect(
        m_appearance.get(), &SystemAppearance::appearanceChanged, this, [this](bool) { appearanceChanged(); },
        Qt::QueuedConnection);
    connect(m_zoneWatcher.get(), &TimeZoneWatcher::zoneChanged, this, [this] {
        rebuildZoneFormatters();
        updateGreeting();
        updateTheme(m_clock->now());
    });
    connect(m_audio.get(), &AudioService::alarmOwnerChanged, this, &AppModel::alarmChannelOwnerChanged);

    // Deleting unreferenced media is only safe when the settings name every
    // file the user relies on.
    if (loaded.allowsMediaCleanup()) cleanUpMedia();

    loadDialImage();
    loadClockImages();
}

AppModel::~AppModel() {
    m_alarmService.onTriggered = nullptr;
    for (auto& c : m_countdowns) c.onCompleted = c.onStateChanged = nullptr;
    for (auto& s : m_stopwatches) s.onStateChanged = nullptr;
    disconnect(m_audio.get(), nullptr, this, nullptr);
    if (m_ownsRadioSeams) {
        Sonvela::setSchemeHandler(nullptr);
        Sonvela::setProcessFinder(nullptr);
        Sonvela::setAudioStatus(nullptr);
    }
}

void AppModel::start() {
    if (m_started || m_shuttingDown) return;
    m_started = true;
    // The rate otherwise only follows changes: a smooth second hand shown
    // from launch would tick once a second until the first one.
    updateTickRate();
    tick();
    scheduleTick();
    scheduleWidgetRefresh();
}

void AppModel::cleanUpMedia() {
    QStringList referenced;
    for (const ClockEntry& clock : m_settings.clocks)
        if (clock.dialImagePath) referenced << *clock.dialImagePath;
    if (m_settings.dialImagePath) referenced << *m_settings.dialImagePath;
    for (const SoundSlot& slot : soundSlots()) {
        const SoundSettings* s = sound(slot);
        if (s && s->customFilePath) referenced << *s->customFilePath;
    }
    m_settingsService->cleanupMedia(referenced);
}

void AppModel::rebuildZoneFormatters() {
    const QTimeZone zone = m_zones->current();
    m_dateFormatter.emplace(makeDateFormatter(u"EEEEdMMMMyyyy", zone));
    m_hmFormatter.emplace(DateFormatter::withPattern(u"HH:mm", zone));
    m_weekdayFormatter.reset();
}

// ---------------------------------------------------------------------------
// Settings changes and saving

void AppModel::setSettings(AppSettings settings) {
    if (settings == m_settings) return;
    AppSettings old = std::move(m_settings);
    m_settings = std::move(settings);
    Q_EMIT settingsChanged();
    settingsDidChange(old);
}

void AppModel::settingsDidChange(const AppSettings& old) {
    const AppSettings& now = m_settings;
    if (old == now) return;
    if (!m_userChangePending) {
        const bool frameMoved = old.windowLeft != now.windowLeft || old.windowTop != now.windowTop ||
                                old.windowWidth != now.windowWidth || old.windowHeight != now.windowHeight;
        if (!frameMoved) {
            m_userChangePending = true;
        } else {
            AppSettings framed = old;
            framed.windowLeft = now.windowLeft;
            framed.windowTop = now.windowTop;
            framed.windowWidth = now.windowWidth;
            framed.windowHeight = now.windowHeight;
            m_userChangePending = framed != now;
        }
    }

    if (old.displayMode != now.displayMode) {
        updateTickRate();
        Q_EMIT displayModeChanged(now.displayMode);
    }
    if (old.smoothSecondHand != now.smoothSecondHand || old.showWorldMap != now.showWorldMap)
        updateTickRate();
    if (old.useCustomDial != now.useCustomDial || old.dialImagePath != now.dialImagePath) loadDialImage();
    if (old.clocks != now.clocks) loadClockImages();
    if (old.userName != now.userName || old.useSystemUserName != now.useSystemUserName) updateGreeting();
    if (old.customBackgroundColor != now.customBackgroundColor &&
        m_customBackgroundHex.compare(now.customBackgroundColor, Qt::CaseInsensitive) != 0) {
        // The field only follows here; validating it would switch the own
        // background on for a colour that merely changed in the settings.
        store(m_customBackgroundHex, now.customBackgroundColor, &AppModel::customBackgroundHexChanged);
        setBackgroundHexError(std::nullopt);
    }
    if (old.topmost != now.topmost) Q_EMIT windowOptionsChanged();
    dropStaleImportProblems(old);

    for (const SoundSlot& slot : soundSlots()) {
        const auto& owner = m_audio->previewOwner();
        if (!owner || *owner != slot.id()) continue;
        const SoundSettings* before = soundIn(old, slot);
        const SoundSettings* after = soundIn(now, slot);
        if (before && after && soundsDifferForPreview(*before, *after)) m_audio->stop(kPreview);
    }

    updateTheme(m_now);
    updateActiveAlarmsText();
    scheduleWidgetRefresh();

    // A burst of edits (a slider, typing) is written once.
    if (!m_shuttingDown) m_saveTimer->start(kSaveDelayMs);
}

void AppModel::dropStaleImportProblems(const AppSettings& old) {
    if (m_importProblems.empty()) return;
    const AppSettings& now = m_settings;
    bool dropped = false;
    for (auto it = m_importProblems.begin(); it != m_importProblems.end();) {
        const QString& place = it->first;
        bool stale = false;
        if (place == sharedImagePlace()) {
            stale = old.dialImagePath != now.dialImagePath || old.useCustomDial != now.useCustomDial ||
                    old.dialStyle != now.dialStyle;
        } else if (place.startsWith(QLatin1String("clock:"))) {
            const QString id = place.mid(6);
            const auto find = [&](const AppSettings& s) -> const ClockEntry* {
                for (const ClockEntry& c : s.clocks)
                    if (c.id == id) return &c;
                return nullptr;
            };
            const ClockEntry* before = find(old);
            const ClockEntry* after = find(now);
            stale = !after || !before || before->dialImagePath != after->dialImagePath ||
                    before->dialStyle != after->dialStyle;
        } else {
            for (const SoundSlot& slot : soundSlots()) {
                if (place != soundPlace(slot)) continue;
                const SoundSettings* before = soundIn(old, slot);
                const SoundSettings* after = soundIn(now, slot);
                stale = !before || !after || before->source != after->source ||
                        before->customFilePath != after->customFilePath;
            }
        }
        if (stale) {
            it = m_importProblems.erase(it);
            dropped = true;
        } else {
            ++it;
        }
    }
    if (dropped) Q_EMIT importProblemsChanged();
}

void AppModel::saveNow() {
    m_saveTimer->stop();
    const QByteArray data = SettingsService::encode(m_settings);
    if (data.isEmpty()) {
        setSaveStatusText(tr("Einstellungen konnten nicht serialisiert werden."));
        return;
    }
    QPointer<AppModel> self(this);
    const bool userChange = std::exchange(m_userChangePending, false);
    m_settingsService->writeAndNotify(data, [self, userChange](bool ok, const std::optional<QString>& message) {
        if (self) self->saveCompleted(ok, message, userChange);
    });
}

void AppModel::saveCompleted(bool ok, const std::optional<QString>& message, bool carriedUserChange) {
    if (ok) {
        if (carriedUserChange) m_loadMessage.reset();
        setSaveStatusText(m_loadMessage);
    } else {
        // The change is still unsaved; the next save that succeeds carries it.
        m_userChangePending = m_userChangePending || carriedUserChange;
        setSaveStatusText(
            message ? message
                    : std::optional<QString>(tr("Einstellungen konnten nicht gespeichert werden.")));
    }
}

void AppModel::setSaveStatusText(const std::optional<QString>& text) {
    store(m_saveStatusText, text, &AppModel::saveStatusTextChanged);
}

void AppModel::shutdown() {
    if (m_shuttingDown) return;
    // From here on nothing may schedule a tick, a save or a refresh: the
    // countdown resets below re-evaluate the tick rate.
    m_shuttingDown = true;
    m_saveTimer->stop();
    m_tickTimer->stop();

    for (CountdownService& c : m_countdowns) {
        c.setAccumulated(0);
        c.setState(CountdownState::idle);
    }
    for (StopwatchService& s : m_stopwatches) s.reset();

    stopAlarmChannel();
    m_audio->stop(kPreview);

    // A refresh still waiting would otherwise never reach the widget.
    if (m_widgetTimer->isActive()) writeWidgetSnapshot();
    if (!m_settingsService->save(m_settings)) {
        logFailureAtQuit(
            m_settingsService->lastError().value_or(tr("Einstellungen konnten nicht gespeichert werden.")));
    }
}

// ---------------------------------------------------------------------------
// Tick

qint64 AppModel::tickInterval(TickRate rate, qint64 wallMSecs) {
    switch (rate) {
        case TickRate::fast:
            return 40;
        case TickRate::medium:
            return 200;
        case TickRate::second:
            break;
    }
    // 5 ms after the next full second.
    const qint64 intoSecond = wallMSecs - floorDiv(wallMSecs, 1000) * 1000;
    return 1000 - intoSecond + 5;
}

void AppModel::scheduleTick() {
    if (!m_started || m_shuttingDown) return;
    m_tickTimer->start(tickInterval(m_rate, m_clock->wallMSecs()));
}

void AppModel::updateTickRate() {
    const bool smooth = m_settings.displayMode == ClockDisplayMode::analog && m_settings.smoothSecondHand &&
                        !m_settings.showWorldMap;
    const bool stopwatchRuns = std::any_of(m_stopwatchStates.begin(), m_stopwatchStates.end(),
                                           [](StopwatchState s) { return s == StopwatchState::running; });
    const bool countdownRuns = std::any_of(m_countdownStates.begin(), m_countdownStates.end(),
                                           [](CountdownState s) { return s == CountdownState::running; });
    const TickRate rate = (stopwatchRuns || smooth) ? TickRate::fast
                          : countdownRuns           ? TickRate::medium
                                                    : TickRate::second;
    if (rate == m_rate) return;
    m_rate = rate;
    scheduleTick();
}

const CountdownSettings& AppModel::countdownSettings(int index) const {
    // The settings always hold both countdowns once normalized; a value set
    // from outside that lacks one reads as a fresh countdown.
    static const CountdownSettings fresh;
    return index >= 0 && std::size_t(index) < m_settings.countdowns.size()
               ? m_settings.countdowns[std::size_t(index)]
               : fresh;
}

void AppModel::tick() {
    // A slot of a signal below may have shut the program down.
    if (m_shuttingDown) return;
    const qint64 ms = m_clock->wallMSecs();
    const QDateTime now = QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
    store(m_now, now, &AppModel::nowChanged);

    for (int i = 0; i < 2; ++i) {
        m_countdowns[i].checkCompletion();
        if (m_countdownStates[i] != CountdownState::idle) updateCountdownTexts(i);
    }
    for (int i = 0; i < 2; ++i) {
        if (m_stopwatchStates[i] == StopwatchState::idle) continue;
        const double elapsed = stopwatchElapsed(i);
        const qint64 hundredths = hundredthsOf(elapsed);
        if (hundredths == m_shownStopwatchHundredths[i]) continue;
        m_shownStopwatchHundredths[i] = hundredths;
        storeAt(m_stopwatchTexts[i], formatStopwatch(elapsed), i, &AppModel::stopwatchTextsChanged);
    }

    // Whole epoch seconds: a tick exactly a minute after the last one is a
    // new second too.
    const qint64 second = floorDiv(ms, 1000);
    if (second == m_lastSecond || m_shuttingDown) return;
    m_lastSecond = second;
    runPerSecondWork(now, int(second - floorDiv(second, 60) * 60));
}

void AppModel::runPerSecondWork(const QDateTime& now, int second) {
    updateGreeting();

    m_alarmScan = m_settings.alarms;
    m_alarmService.check(now, m_alarmScan);

    checkRadioWatches(now);
    updatePowerActivity();
    if (second % 5 == 0)
        store(m_systemAudioSilent, m_audio->isOutputSilent(), &AppModel::systemAudioSilentChanged);
    updateTheme(now);
    updateActiveAlarmsText();
}

QString AppModel::greetingName() const {
    return m_settings.useSystemUserName ? systemGivenName() : m_settings.userName;
}

void AppModel::updateGreeting() {
    store(m_greetingText, corvane::greetingText(m_now, greetingName(), m_zones->current()),
          &AppModel::greetingTextChanged);
}

double AppModel::stopwatchElapsed(int index) const {
    const StopwatchService& s = m_stopwatches[index];
    const bool running = s.state() == StopwatchState::running;
    return s.accumulated() + (running ? m_clock->bootSeconds() - s.runningSince() : 0.0);
}

void AppModel::countdownStateChanged(int index) {
    CountdownService& service = m_countdowns[index];
    if (service.state() == CountdownState::idle) {
        // Remember what ran before the settings' duration takes its place.
        if (m_countdownStates[index] != CountdownState::idle) m_runDuration[index] = service.duration();
        service.setDuration(double(countdownSettings(index).durationSeconds));
    } else {
        m_runDuration[index] = service.duration();
    }
    storeAt(m_countdownStates[index], service.state(), index, &AppModel::countdownStatesChanged);
    updateCountdownTexts(index);
    updateTickRate();
}

void AppModel::updateCountdownTexts(int index) {
    const double remaining = m_countdowns[index].remaining();
    const qint64 shown = shownCountdownSeconds(remaining);
    if (shown == m_shownCountdownSeconds[index]) return;
    m_shownCountdownSeconds[index] = shown;
    storeAt(m_countdownTexts[index], formatDuration(remaining), index, &AppModel::countdownTextsChanged);
}

void AppModel::updateStopwatchTexts(int index) {
    storeAt(m_stopwatchStates[index], m_stopwatches[index].state(), index, &AppModel::stopwatchStatesChanged);
    const double elapsed = stopwatchElapsed(index);
    m_shownStopwatchHundredths[index] = hundredthsOf(elapsed);
    storeAt(m_stopwatchTexts[index], formatStopwatch(elapsed), index, &AppModel::stopwatchTextsChanged);
    updateTickRate();
}

QString AppModel::countdownTitle(int index) const {
    return tr("Countdown %1 (%2)").arg(index + 1).arg(m_countdownTexts[index]);
}

void AppModel::setCountdownStopped(int index, bool stopped) {
    storeAt(m_countdownStopped[index], stopped, index, &AppModel::countdownStoppedChanged);
}

qint64 AppModel::countdownDuration(int index, DurationComponent component) const {
    const qint64 d = countdownSettings(index).durationSeconds;
    switch (component) {
        case DurationComponent::hours:
            return d / 3600;
        case DurationComponent::minutes:
            return (d / 60) % 60;
        case DurationComponent::seconds:
            return d % 60;
    }
    return 0;
}

void AppModel::setCountdownDuration(int index, DurationComponent component, qint64 value) {
    if (index < 0 || index > 1) return;
    qint64 h = countdownDuration(index, DurationComponent::hours);
    qint64 m = countdownDuration(index, DurationComponent::minutes);
    qint64 s = countdownDuration(index, DurationComponent::seconds);
    (component == DurationComponent::hours ? h : component == DurationComponent::minutes ? m : s) = value;
    const qint64 duration = std::clamp<qint64>(h, 0, 23) * 3600 + std::clamp<qint64>(m, 0, 59) * 60 +
                            std::clamp<qint64>(s, 0, 59);
    editSettings([&](AppSettings& next) {
        if (std::size_t(index) < next.countdowns.size())
            next.countdowns[std::size_t(index)].durationSeconds = duration;
    });
    // A running countdown keeps the duration it was started with.
    if (m_countdowns[index].state() == CountdownState::idle)
        m_countdowns[index].setDuration(double(duration));
    updateCountdownTexts(index);
}

// ---------------------------------------------------------------------------
// Alerts

void AppModel::playAlertSound(const QString& alertID, const SoundSettings& sound, double fadeSeconds) {
    ++m_changingAlarmChannel;
    m_audio->stop(kPreview);
    m_audio->play(kAlarm, sound, alertID, fadeSeconds);
    --m_changingAlarmChannel;
    m_lastAlarmOwner = m_audio->alarmOwner();
}

void AppModel::stopAlarmChannel() {
    ++m_changingAlarmChannel;
    m_audio->stop(kAlarm);
    --m_changingAlarmChannel;
    m_lastAlarmOwner.reset();
}

void AppModel::fireAlarm(int number, const AlarmSettings& alarm, const QDateTime& now,
                         const QDateTime& scheduled) {
    const qint64 late = (now.toMSecsSinceEpoch() - scheduled.toMSecsSinceEpoch()) / 60000;  // toward zero
    QString subtitle =
        late >= 2 ? tr("Verspätet um %1\u00A0Min. – der Computer war im Ruhezustand oder ausgelastet (%2\u00A0Uhr)")
                        .arg(late)
                        .arg(m_hmFormatter->format(now))
                  : m_dateFormatter->format(now);

    std::optional<SoundSettings> sound = alarm.sound;
    bool radioStarted = false;
    if (alarm.usesRadio()) {
        if (Sonvela::openWake(alarm)) {
            radioStarted = true;
            sound.reset();
            subtitle += QLatin1Char('\n') + tr("Sonvela spielt: %1").arg(radioTitle(alarm));
        } else {
            subtitle += QLatin1Char('\n') +
                        tr("Sonvela konnte nicht gestartet werden – stattdessen klingelt der Alarmton.");
        }
    }

    const std::size_t index = std::size_t(number - 1);
    if (alarm.weekdays.empty() && number >= 1 && index < m_settings.alarms.size()) {
        editSettings([index](AppSettings& next) { next.alarms[index].isEnabled = false; });
    }

    const QString title = tr("Wecker %1 – %2\u00A0Uhr")
                              .arg(number)
                              .arg(QString::asprintf("%02d:%02d", int(alarm.hour), int(alarm.minute)));
    const QString id = newUuidText();
    m_alerts.push_back(AlertItem{id, title, subtitle});
    if (sound) m_alertSounds[id] = *sound;
    Q_EMIT alertsChanged();

    if (sound) playAlertSound(id, *sound, double(alarm.fadeSeconds));
    Q_EMIT alertRaised();

    if (radioStarted) m_radioWatches.push_back(RadioWatch{id, alarm.sound, now, std::nullopt, 0});
}

void AppModel::countdownFinished(int index) {
    const QString title = tr("Countdown %1 abgelaufen").arg(index + 1);
    // The duration that ran, even when the setting was edited meanwhile.
    const QString subtitle = tr("Dauer %1 – %2\u00A0Uhr")
                                 .arg(formatDuration(m_runDuration[index]))
                                 .arg(m_hmFormatter->format(m_clock->now()));
    const QString id = newUuidText();
    const SoundSettings sound = countdownSettings(index).sound;
    m_alerts.push_back(AlertItem{id, title, subtitle});
    m_alertSounds[id] = sound;
    Q_EMIT alertsChanged();
    playAlertSound(id, sound, 0.0);
    Q_EMIT alertRaised();
}

void AppModel::checkRadioWatches(const QDateTime& now) {
    if (m_radioWatches.empty()) return;
    // Undetermined counts as silence: only a radio we can hear is awake.
    const bool playing = Sonvela::isRadioPlaying().value_or(false);
    std::vector<RadioWatch> kept;
    bool fellBack = false;
    for (RadioWatch& watch : m_radioWatches) {
        const bool open = std::any_of(m_alerts.begin(), m_alerts.end(),
                                      [&](const AlertItem& a) { return a.id == watch.alertID; });
        if (!open) continue;
        if (playing) {
            watch.lastHeard = now;
            if (++watch.heardSeconds >= kRadioHeardChecks) continue;
            kept.push_back(std::move(watch));
            continue;
        }
        const QDateTime& reference = watch.lastHeard ? *watch.lastHeard : watch.started;
        if (double(reference.msecsTo(now)) / 1000.0 >= kRadioSilenceLimit) {
            m_alertSounds[watch.alertID] = watch.sound;
            playAlertSound(watch.alertID, watch.sound, kRadioFallbackFade);
            m_radioFallbackAlerts.insert(watch.alertID);
            fellBack = true;
            continue;
        }
        kept.push_back(std::move(watch));
    }
    m_radioWatches = std::move(kept);
    if (fellBack) Q_EMIT radioFallbackAlertsChanged();
}

void AppModel::dismissAlert(const QString& id) {
    const bool owned = m_audio->isOwner(kAlarm, id);
    if (owned) stopAlarmChannel();

    const auto removed =
        std::remove_if(m_alerts.begin(), m_alerts.end(), [&](const AlertItem& a) { return a.id == id; });
    const bool hadAlert = removed != m_alerts.end();
    m_alerts.erase(removed, m_alerts.end());
    m_alertSounds.erase(id);
    const bool hadFallback = m_radioFallbackAlerts.remove(id);
    if (hadAlert) Q_EMIT alertsChanged();
    if (hadFallback) Q_EMIT radioFallbackAlertsChanged();

    if (owned && !m_alerts.empty()) ringNewestLoopingAlert(QString());
}

// An open alarm must not go quiet: when the channel empties while alerts
// stay open, the newest of them whose sound loops rings again. A newer alert
// that is waiting for the radio keeps the channel free.
void AppModel::ringNewestLoopingAlert(const QString& except) {
    for (auto it = m_alerts.rbegin(); it != m_alerts.rend(); ++it) {
        const auto sound = m_alertSounds.find(it->id);
        if (sound == m_alertSounds.end()) return;
        if (!sound->second.loop || it->id == except) continue;
        playAlertSound(it->id, sound->second, 0.0);
        return;
    }
}

void AppModel::alarmChannelOwnerChanged() {
    const std::optional<QString> owner = m_audio->alarmOwner();
    if (m_changingAlarmChannel > 0 || m_shuttingDown) {
        m_lastAlarmOwner = owner;
        return;
    }
    const std::optional<QString> previous = std::exchange(m_lastAlarmOwner, owner);
    // A looping sound that ended by itself failed; ringing it again would
    // only fail again.
    if (!owner && previous && !m_alerts.empty()) ringNewestLoopingAlert(*previous);
}

// ---------------------------------------------------------------------------
// Theme and widget

void AppModel::updateTheme(const QDateTime& now) {
    const DuskResult dusk = DuskResult::compute(m_settings.dusk, now, m_zones->current());
    store(m_lastDusk, dusk, &AppModel::lastDuskChanged);

    const ThemeColors palette = ThemeColors::make(m_settings, m_systemIsLight, dusk.brightness);
    if (palette == m_theme) return;
    const bool turned = palette.isDark != m_theme.isDark;
    const bool background = palette.background != m_theme.background;
    m_theme = palette;
    Q_EMIT themeChanged();
    if (turned || background) Q_EMIT windowOptionsChanged();

    // A clock set back counts as time gone by, or the widget would keep an
    // old palette until the clock caught up again.
    const qint64 sinceLast = m_lastWidgetThemeUpdate.isValid() ? m_lastWidgetThemeUpdate.msecsTo(now) : -1;
    if (turned || sinceLast < 0 || double(sinceLast) / 1000.0 >= kWidgetThemeInterval) {
        m_lastWidgetThemeUpdate = now;
        scheduleWidgetRefresh();
    }
}

void AppModel::appearanceChanged() {
    const bool light = m_appearance->isLight();
    if (light == m_systemIsLight) return;
    m_systemIsLight = light;
    updateTheme(m_clock->now());
}

void AppModel::scheduleWidgetRefresh() {
    if (m_shuttingDown || m_widgetTimer->isActive()) return;
    m_widgetTimer->start(kWidgetDelayMs);
}

bool AppModel::widgetRefreshPending() const {
    return m_widgetTimer->isActive();
}

WidgetSnapshot AppModel::makeWidgetSnapshot() const {
    WidgetSnapshot snapshot;
    for (const ClockEntry& clock : m_settings.clocks) {
        snapshot.clocks.push_back({clock.timeZoneID, clockTitle(clock),
                                   clock.dialStyle.value_or(m_settings.dialStyle), clock.faceColor});
    }
    snapshot.digital = m_settings.displayMode == ClockDisplayMode::digital;
    snapshot.fontFamily = m_settings.fontFamily;
    snapshot.theme = m_theme;
    if (!m_activeAlarmsText.isEmpty()) snapshot.nextAlarm = m_activeAlarmsText;
    return snapshot;
}

void AppModel::writeWidgetSnapshot() {
    m_widgetTimer->stop();
    if (WidgetSnapshot::write(makeWidgetSnapshot(), m_paths))
        m_widgetReload->reloadTimelines(QString::fromLatin1(kWidgetKind));
}

// ---------------------------------------------------------------------------
// Sleep prevention and armed alarms

void AppModel::updatePowerActivity() {
    const bool needed = std::any_of(m_settings.alarms.begin(), m_settings.alarms.end(),
                                    [](const AlarmSettings& a) { return a.isEnabled; }) ||
                        std::any_of(m_countdownStates.begin(), m_countdownStates.end(),
                                    [](CountdownState s) { return s == CountdownState::running; }) ||
                        !m_alerts.empty();
    if (needed && !m_powerActivity) {
        m_inhibitor->acquire(tr("Wecker oder Timer aktiv – die Uhr muss pünktlich klingeln"));
        m_powerActivity = true;
    } else if (!needed && m_powerActivity) {
        m_inhibitor->release();
        m_powerActivity = false;
    }
}

void AppModel::updateActiveAlarmsText() {
    QString text;
    for (const AlarmSettings& alarm : m_settings.alarms) {
        if (!alarm.isEnabled) continue;
        text += (text.isEmpty() ? tr("Wecker: ") : QStringLiteral("  ·  ")) +
                QString::asprintf("%02d:%02d", int(alarm.hour), int(alarm.minute));
    }
    store(m_activeAlarmsText, text, &AppModel::activeAlarmsTextChanged);
}

// ---------------------------------------------------------------------------
// Dial images

int AppModel::maxDialImageSide() {
    int side = 0;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QSize size = screen->size() * screen->devicePixelRatio();
            side = std::max(side, std::min(size.width(), size.height()));
        }
    }
    return side > 0 ? std::clamp(side, 512, 8192) : 2048;
}

QImage AppModel::decodeDialImage(const QString& path, int maxSide) {
    // Qt reads no HEIF here; told by the file's start, not its name, since
    // phones also hand such photos out as ".jpg".
    if (looksLikeHeif(path)) return readHeifImage(path, maxSide);
    // A FIFO named in the settings would block the reader (and the program's
    // exit, which waits for it) for good.
    if (!QFileInfo(path).isFile()) return {};
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > maxSide || size.height() > maxSide))
        reader.setScaledSize(size.scaled(maxSide, maxSide, Qt::KeepAspectRatio));
    return reader.read();  // null for a missing or broken file
}

void AppModel::setDialImage(std::optional<QImage> image) {
    const bool same = image.has_value() == m_dialImage.has_value() &&
                      (!image || image->cacheKey() == m_dialImage->cacheKey());
    if (same) return;
    m_dialImage = std::move(image);
    Q_EMIT dialImageChanged();
}

void AppModel::loadDialImage() {
    const std::optional<QString> path = m_settings.useCustomDial ? m_settings.dialImagePath : std::nullopt;
    if (path == m_dialImageLoadedPath) return;
    m_dialImageLoadedPath = path;
    setDialImageFailed(false);
    if (!path || path->isEmpty()) {
        setDialImage(std::nullopt);
        return;
    }
    QPointer<AppModel> self(this);
    const QString file = *path;
    const int maxSide = maxDialImageSide();
    QThreadPool::globalInstance()->start([self, file, maxSide]() mutable {
        QImage image = decodeDialImage(file, maxSide);
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self = std::move(self), file, image = std::move(image)] {
                if (self) self->dialImageDecoded(file, image);
            },
            Qt::QueuedConnection);
    });
}

void AppModel::dialImageDecoded(const QString& path, const QImage& image) {
    // A result for a path no longer wanted is dropped.
    if (m_dialImageLoadedPath != path) return;
    setDialImage(image.isNull() ? std::nullopt : std::optional<QImage>(image));
    setDialImageFailed(image.isNull());
}

void AppModel::setDialImageFailed(bool failed) {
    if (failed == m_dialImageFailed) return;
    m_dialImageFailed = failed;
    // The warning of the default-dial card depends on it.
    Q_EMIT dialImageChanged();
}

void AppModel::loadClockImages() {
    QSet<QString> paths;
    for (const ClockEntry& clock : m_settings.clocks)
        if (clock.dialImagePath) paths.insert(*clock.dialImagePath);
    const int maxSide = maxDialImageSide();
    for (const QString& path : paths) {
        if (m_clockImages.count(path) || m_clockImagesLoading.contains(path)) continue;
        m_clockImagesLoading.insert(path);
        QPointer<AppModel> self(this);
        QThreadPool::globalInstance()->start([self, path, maxSide]() mutable {
            QImage image = decodeDialImage(path, maxSide);
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [self = std::move(self), path, image = std::move(image)] {
                    if (self) self->clockImageDecoded(path, image);
                },
                Qt::QueuedConnection);
        });
    }
}

void AppModel::clockImageDecoded(const QString& path, const QImage& image) {
    m_clockImagesLoading.remove(path);
    // A failed decode stores nothing, so the next call tries again.
    if (image.isNull()) return;
    m_clockImages[path] = image;
    Q_EMIT clockImagesChanged(path);
}

// ---------------------------------------------------------------------------
// Small services

QString AppModel::systemGivenName() const {
    // Asked once: the account database does not change under a running
    // program, and the greeting is rebuilt every second.
    if (!m_givenName) m_givenName = givenNameOf(m_accountNames());
    return *m_givenName;
}

const ZoneFormatters& AppModel::dateText(const QTimeZone& zone) {
    const QByteArray key = zone.id();
    auto it = m_formatters.find(key);
    if (it != m_formatters.end()) return it->second;
    ZoneFormatters made{DateFormatter::withPattern(u"HH:mm:ss", zone),
                        makeDateFormatter(u"EEEEdMMMMyyyy", zone), makeDateFormatter(u"EEdMMM", zone)};
    return m_formatters.emplace(key, std::move(made)).first->second;
}

std::optional<int> AppModel::clockIndex(const QString& clockID) const {
    for (std::size_t i = 0; i < m_settings.clocks.size(); ++i)
        if (m_settings.clocks[i].id == clockID) return int(i);
    return std::nullopt;
}

void AppModel::moveClock(int from, int to) {
    const int count = int(m_settings.clocks.size());
    if (from == to || from < 0 || to < 0 || from >= count || to >= count) return;
    editSettings([&](AppSettings& next) { std::swap(next.clocks[from], next.clocks[to]); });
}

RGB AppModel::clockFaceColor(const QString& clockID) const {
    const std::optional<int> index = clockIndex(clockID);
    if (!index) return RGB{255, 255, 255};
    const auto& face = m_settings.clocks[*index].faceColor;
    if (face) {
        if (const auto rgb = RGB::fromHex(*face)) return *rgb;
    }
    return m_theme.surface;
}

void AppModel::pickClockFaceColor(const QString& clockID, const QColor& color) {
    if (!color.isValid()) return;
    const QColor rgb = color.toRgb();
    auto byte = [](float component) { return std::clamp(int(std::lround(component * 255.0f)), 0, 255); };
    setClockFaceColor(
        clockID, QString::asprintf("#%02X%02X%02X", byte(rgb.redF()), byte(rgb.greenF()), byte(rgb.blueF())));
}

void AppModel::setClockFaceColor(const QString& clockID, const std::optional<QString>& hex) {
    const std::optional<int> index = clockIndex(clockID);
    if (!index) return;
    editSettings([&](AppSettings& next) { next.clocks[std::size_t(*index)].faceColor = hex; });
}

const DateFormatter& AppModel::weekdayFormatter() {
    if (!m_weekdayFormatter) m_weekdayFormatter.emplace(makeDateFormatter(u"EEEE", m_zones->current()));
    return *m_weekdayFormatter;
}

QString AppModel::coordinateText(double value) {
    if (!std::isfinite(value)) return QString::number(value);
    QLocale locale = appQLocale();
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    QString text = locale.toString(value, 'f', 5);
    const QString point = locale.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(QLatin1Char('0'))) text.chop(1);
        if (text.endsWith(point)) text.chop(point.size());
    }
    if (text == QLatin1String("-0")) text = QStringLiteral("0");
    return text.isEmpty() ? QString::number(value) : text;
}

QString AppModel::radioModeTitle(const AlarmSettings& alarm) { return radioTitle(alarm); }

std::vector<SoundSlot> AppModel::soundSlots() {
    std::vector<SoundSlot> slots;
    for (int i = 0; i < AppSettings::kAlarmCount; ++i) slots.push_back({SoundSlot::Kind::alarm, i});
    for (int i = 0; i < AppSettings::kCountdownCount; ++i) slots.push_back({SoundSlot::Kind::countdown, i});
    return slots;
}

const SoundSettings* AppModel::sound(const SoundSlot& slot) const {
    return soundIn(m_settings, slot);
}

void AppModel::setBackgroundHexError(const std::optional<QString>& error) {
    store(m_backgroundHexError, error, &AppModel::backgroundHexErrorChanged);
}

void AppModel::setHighlightedClockID(const std::optional<QString>& id) {
    store(m_highlightedClockID, id, &AppModel::highlightedClockIDChanged);
}

// ---------------------------------------------------------------------------
// Settings window

void AppModel::setSettingsOpen(bool open) {
    if (open == m_isSettingsOpen) return;
    m_isSettingsOpen = open;
    Q_EMIT isSettingsOpenChanged();
    if (!open) setHighlightedClockID(std::nullopt);
    updateTickRate();
    Q_EMIT settingsOpenChanged(open);
}

void AppModel::setSelectedCategory(SettingsCategory category) {
    store(m_selectedCategory, category, &AppModel::selectedCategoryChanged);
    updateTickRate();
}

void AppModel::openSettings(std::optional<SettingsCategory> category) {
    if (category) setSelectedCategory(*category);
    if (!m_isSettingsOpen) {
        setSettingsOpen(true);
    } else {
        Q_EMIT showSettingsRequested();
    }
}

}  // namespace corvane
