#pragma once

// The application delegate with the model harness's fakes: the whole program
// as it starts, minus the system around it.

#include <QApplication>

#include "appmodel/ModelHarness.h"
#include "shell/AppDelegate.h"
#include "shell/ClockWindow.h"

namespace corvane::testing {

// The delegate builds its own model; this gives it the harness's fakes.
struct DelegateHarness {
    ModelHarness h;
    std::unique_ptr<AppDelegate> delegate;
    std::vector<QStringList> asked;
    QuitChoice answer = QuitChoice::Cancel;
    // Left empty, the model asks through the desktop's real file dialog.
    std::unique_ptr<FileChooser> fileChooser;

    AppModelDeps deps() {
        AppModelDeps d;
        d.paths = h.paths;
        d.clock = &h.clock;
        d.zones = &h.zones;
        d.timers = std::make_unique<corvane::FakeTimerFactory>(h.clock);
        d.appearance = std::make_unique<FakeSystemAppearance>(true);
        d.soundFactory = std::make_unique<FakeSoundPlayerFactory>();
        d.audioOutput = &h.output;
        d.radioSchemeHandler = &h.scheme;
        d.radioProcesses = &h.processes;
        d.radioAudioStatus = &h.radioAudio;
        d.inhibitor = std::make_unique<FakeInhibitor>();
        d.widgetReload = std::make_unique<FakeReloader>();
        d.zoneWatcher = std::make_unique<FakeTimeZoneWatcher>();
        d.accountNames = [] { return AccountNames{QStringLiteral("Anna Schmidt"), QStringLiteral("anna")}; };
        d.fileChooser = std::move(fileChooser);
        return d;
    }

    AppDelegate& start(const AppSettings& settings) {
        h.writeSettings(settings);
        delegate = std::make_unique<AppDelegate>(deps());
        delegate->setQuitPrompt([this](const QStringList& lines) {
            asked.push_back(lines);
            return answer;
        });
        delegate->setUp();
        QApplication::processEvents();
        return *delegate;
    }
    AppModel& model() { return *delegate->model(); }
    ClockWindow& window() { return *delegate->window(); }
};

}  // namespace corvane::testing
