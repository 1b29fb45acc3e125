#pragma once

// A model on fake time and fake system services: tests move the clock with
// advance() (which runs the model's timers when they fall due) or call
// tick() directly, and inspect what reached the fakes.

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>
#include <deque>
#include <memory>
#include <vector>

#include "appmodel/AppModel.h"
#include "appmodel/FakeTimers.h"
#include "platform/Appearance.h"
#include "platform/SleepInhibitor.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/UserName.h"
#include "platform/WidgetReload.h"
#include "platform/system/FakeSoundPlayer.h"
#include "platform/system/ProcessScan.h"
#include "platform/system/PulseAudio.h"
#include "platform/system/SchemeHandler.h"

namespace corvane::testing {

class FakeInhibitor final : public SleepInhibitor {
public:
    std::vector<QString>* log = nullptr;
    int acquired = 0;
    int released = 0;
    bool held = false;
    void acquire(const QString&) override {
        ++acquired;
        held = true;
        if (log) log->push_back(QStringLiteral("inhibit"));
    }
    void release() override {
        ++released;
        held = false;
    }
};

class FakeReloader final : public WidgetReloader {
public:
    std::vector<QString> kinds;
    void reloadTimelines(const QString& kind) override { kinds.push_back(kind); }
};

class FakeOutput final : public AudioOutputStatus {
public:
    bool silent = false;
    mutable int asked = 0;
    std::optional<std::vector<SinkInputInfo>> inputs;  // the radio's streams
    bool isOutputSilent() const override {
        ++asked;
        return silent;
    }
    std::optional<std::vector<SinkInputInfo>> sinkInputs() const override { return inputs; }
};

class FakeScheme final : public UrlSchemeHandler {
public:
    bool installed = true;
    bool accepts = true;
    int opened = 0;
    bool hasHandler() const override { return installed; }
    bool open(const QUrl&) override {
        ++opened;
        return installed && accepts;
    }
};

class FakeProcesses final : public ProcessFinder {
public:
    std::vector<qint64> running{4242};
    std::vector<qint64> pids() const override { return running; }
};

// Answers the model's file questions from a queue; an empty queue cancels.
// Without one of these the model would show the desktop's dialog.
class FakeChooser final : public FileChooser {
public:
    std::deque<std::optional<QString>> answers;
    std::vector<QString> titles;
    std::vector<QStringList> patterns;
    std::vector<FileRequest> requests;
    std::optional<QString> chooseFile(const FileRequest& request) override {
        titles.push_back(request.title);
        patterns.push_back(request.patterns);
        requests.push_back(request);
        if (answers.empty()) return std::nullopt;
        const bool picked = answers.front().has_value();
        const QString path = answers.front().value_or(QString());
        answers.pop_front();
        if (!picked) return std::nullopt;
        return path;
    }
};

inline qint64 utcMs(int y, int mo, int d, int h, int mi, int s, int ms = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms), Qt::UTC).toMSecsSinceEpoch();
}

struct ModelHarness {
    QTemporaryDir dir;
    AppPaths paths = AppPaths::under(dir.path());
    // Tuesday 10 March 2026, 06:59:50 in Berlin (UTC+1).
    FakeClock clock{utcMs(2026, 3, 10, 5, 59, 50), 1000.0};
    FixedTimeZoneProvider zones{"Europe/Berlin"};
    FakeOutput output;  // the default output, for the silent check
    FakeOutput radioAudio;
    FakeScheme scheme;
    FakeProcesses processes;
    AccountNames names{QStringLiteral("Anna Schmidt"), QStringLiteral("anna")};

    // Owned by the model; kept here to look at.
    FakeTimerFactory* timers = nullptr;
    FakeSystemAppearance* appearance = nullptr;
    FakeSoundPlayerFactory* sounds = nullptr;
    FakeInhibitor* inhibitor = nullptr;
    FakeReloader* reloader = nullptr;
    FakeTimeZoneWatcher* zoneWatcher = nullptr;
    // Handed to the model by make(), which makes a cancelling one when none
    // is set; set it before.
    std::unique_ptr<FileChooser> fileChooser;
    std::unique_ptr<AppModel> model;

    // Settings every test starts from unless it writes its own: digital, so
    // the tick runs once a second, and every alarm off.
    static AppSettings quietSettings() {
        AppSettings s = AppSettings::defaults();
        s.displayMode = ClockDisplayMode::digital;
        s.theme = ThemeMode::dark;
        for (AlarmSettings& a : s.alarms) a.isEnabled = false;
        return s;
    }

    void writeSettings(const AppSettings& settings) {
        SettingsService service(paths);
        service.save(settings);
    }

    AppModel& make(bool startNow = true) {
        if (!QFile::exists(settingsFile()) && !keepMissingFile) writeSettings(quietSettings());
        AppModelDeps deps;
        deps.paths = paths;
        deps.clock = &clock;
        deps.zones = &zones;
        auto t = std::make_unique<FakeTimerFactory>(clock);
        timers = t.get();
        deps.timers = std::move(t);
        auto a = std::make_unique<FakeSystemAppearance>(true);
        appearance = a.get();
        deps.appearance = std::move(a);
        auto f = std::make_unique<FakeSoundPlayerFactory>();
        sounds = f.get();
        deps.soundFactory = std::move(f);
        deps.audioOutput = &output;
        deps.radioSchemeHandler = &scheme;
        deps.radioProcesses = &processes;
        deps.radioAudioStatus = &radioAudio;
        auto i = std::make_unique<FakeInhibitor>();
        inhibitor = i.get();
        deps.inhibitor = std::move(i);
        auto r = std::make_unique<FakeReloader>();
        reloader = r.get();
        deps.widgetReload = std::move(r);
        auto w = std::make_unique<FakeTimeZoneWatcher>();
        zoneWatcher = w.get();
        deps.zoneWatcher = std::move(w);
        deps.accountNames = [this] { return names; };
        deps.fileChooser = fileChooser ? std::move(fileChooser) : std::make_unique<FakeChooser>();
        model = std::make_unique<AppModel>(std::move(deps));
        if (startNow) model->start();
        return *model;
    }

    ~ModelHarness() {
        model.reset();
        QThreadPool::globalInstance()->waitForDone();
    }

    void advance(double seconds) { timers->advance(seconds); }
    // Lets queued completions and decoded images arrive.
    static void settle() {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void settleWrites() {
        model->settingsService().waitUntilIdle();
        settle();
    }

    QString settingsFile() const { return SettingsService(paths).settingsFilePath(); }
    QString widgetFile() const { return paths.sharedFolder + QStringLiteral("/widget.json"); }
    // Every atomic write replaces the file, so its inode tells writes apart.
    static ino_t inodeOf(const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
    }
    QString mediaFolder() const { return SettingsService(paths).mediaDirectory(); }

    bool keepMissingFile = false;
};

}  // namespace corvane::testing
