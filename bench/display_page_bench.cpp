// The display page of the settings: what a second of the clock costs with 24
// rows and 33 live dials on screen, one keystroke in the zone search, and
// opening a clock's design panel. Runs on the offscreen platform: painting is
// real, the copy to a display is not.
//
//   build/bench/display_page_bench
//
// Targets: the page's share of a second <= 10 ms (1 % of a core), a
// keystroke <= 2 ms, opening the design panel <= 50 ms.

#include "BenchMain.h"
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>

#include "appmodel/AppModel.h"
#include "appmodel/FakeTimers.h"
#include "platform/Appearance.h"
#include "platform/SleepInhibitor.h"
#include "platform/TimeZoneWatcher.h"
#include "platform/UserName.h"
#include "platform/WidgetReload.h"
#include "platform/system/FakeSoundPlayer.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClockDesignPanel.h"
#include "settings/display/DisplayPage.h"
#include "settings/display/TimeZoneChooser.h"
#include "shell/components/Theme.h"

#include "BenchStubs.h"

using namespace corvane;

namespace {


const char* const kZones[] = {"Europe/Berlin", "America/New_York", "Asia/Tokyo", "Europe/London", "Australia/Sydney",
                              "America/Los_Angeles", "Asia/Shanghai", "Asia/Dubai", "Asia/Kolkata",
                              "America/Sao_Paulo", "Asia/Singapore", "Africa/Johannesburg", "Pacific/Auckland",
                              "America/Chicago", "Europe/Moscow", "Europe/Paris", "Europe/Madrid", "Asia/Seoul",
                              "America/Mexico_City", "Africa/Cairo", "Asia/Bangkok", "America/Toronto",
                              "Europe/Istanbul", "Asia/Jakarta"};

struct Setup {
    QTemporaryDir dir;
    FakeClock clock{QDateTime(QDate(2026, 3, 10), QTime(9, 0, 0), Qt::UTC).toMSecsSinceEpoch(), 1000.0};
    FixedTimeZoneProvider zones{"Europe/Berlin"};
    std::unique_ptr<AppModel> model;
    QWidget host;
    ThemeProvider provider;

    explicit Setup(int clocks) {
        AppSettings s = AppSettings::defaults();
        s.displayMode = ClockDisplayMode::digital;  // the tick stays at one a second
        s.clocks.clear();
        for (int i = 0; i < clocks; ++i) {
            ClockEntry c = ClockEntry::makeNew();
            c.timeZoneID = QString::fromLatin1(kZones[i % 24]);
            s.clocks.push_back(c);
        }
        SettingsService(AppPaths::under(dir.path())).save(s);
        AppModelDeps deps = bench::quietDeps(dir.path(), clock, zones);
        model = std::make_unique<AppModel>(std::move(deps));
        model->start();
        ThemeProvider::attach(&host, &provider);
        provider.setColors(model->theme());
    }

    void flush() {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
};

// One whole second of the model, with or without the page on screen; the
// difference of the two is what the page adds to each second, so 1 ms per
// iteration is 0.1 % of a core.
void secondTick(benchmark::State& state, bool withPage) {
    Setup setup(24);
    if (withPage) {
        auto* page = new DisplaySettings(*setup.model, &setup.host);
        setup.host.resize(900, 1400);
        page->setGeometry(0, 0, 900, 1400);
    }
    setup.host.show();
    setup.flush();
    for (auto _ : state) {
        setup.clock.advance(1.0);
        setup.model->tick();
        setup.flush();
    }
}

void BM_SecondWithoutPage(benchmark::State& state) { secondTick(state, false); }
void BM_SecondWithPage24Clocks(benchmark::State& state) { secondTick(state, true); }

void BM_ZoneSearchKeystroke(benchmark::State& state) {
    Setup setup(1);
    TimeZoneButton button(*setup.model, setup.model->settings().clocks[0].id, &setup.host);
    setup.host.resize(400, 100);
    setup.host.show();
    button.open();
    setup.flush();
    ZoneChooserPopup* popup = button.popup();
    const QString word = QStringLiteral("kathmandu");
    int i = 0;
    for (auto _ : state) {
        // Typing the word and deleting it again: both kinds of keystroke.
        const int n = i % (2 * word.size());
        const int len = n < word.size() ? n + 1 : 2 * int(word.size()) - n - 1;
        popup->searchField()->setText(word.left(len));
        popup->listView()->viewport()->repaint();
        ++i;
    }
}

void BM_OpenDesignPanel(benchmark::State& state) {
    Setup setup(3);
    setup.host.resize(400, 100);
    setup.host.show();
    const ClockEntry clock = setup.model->settings().clocks[1];
    for (auto _ : state) {
        auto* button = new ClockDesignButton(*setup.model, clock, 1, &setup.host);
        button->show();
        button->openPanel();
        button->panel()->repaint();
        state.PauseTiming();
        button->panel()->hide();
        delete button;
        setup.flush();
        state.ResumeTiming();
    }
}

}  // namespace

BENCHMARK(BM_SecondWithoutPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SecondWithPage24Clocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoneSearchKeystroke)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenDesignPanel)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return corvane::bench::runWithQt<QApplication>(argc, argv); }
