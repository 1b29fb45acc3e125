// The buttons of the timer bars and of the countdown and stopwatch pages,
// driven through every state the two timers have.

#include <gtest/gtest.h>

#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

using Part = AppModel::DurationComponent;

// Through the pickers, which also give an idle countdown the new duration.
void setDuration(AppModel& m, int index, qint64 seconds) {
    m.setCountdownDuration(index, Part::hours, seconds / 3600);
    m.setCountdownDuration(index, Part::minutes, seconds / 60 % 60);
    m.setCountdownDuration(index, Part::seconds, seconds % 60);
}

std::string text(const QString& s) {
    return s.toStdString();
}

}  // namespace

TEST(CountdownControls, EveryStateWithItsStatusWordAndText) {
    ModelHarness h;
    AppModel& m = h.make();
    const int i = 1;
    auto status = [&] { return m.countdownStatusText(i).toStdString(); };

    // Nothing to count: the toggle only clears the stopped mark.
    setDuration(m, i, 0);
    m.setCountdownStopped(i, true);
    EXPECT_FALSE(m.canStartCountdown(i));
    m.toggleCountdown(i);
    EXPECT_EQ(m.countdownStates()[i], CountdownState::idle);
    EXPECT_EQ(status(), "Bereit");

    setDuration(m, i, 10);
    EXPECT_TRUE(m.canStartCountdown(i));
    EXPECT_EQ(text(m.countdownTexts()[i]), "00:00:10");
    m.toggleCountdown(i);
    EXPECT_EQ(status(), "Läuft");
    EXPECT_FALSE(m.canStartCountdown(i));
    m.countdownStart(i);  // refused while it runs: it does not start over
    h.advance(3.0);
    EXPECT_EQ(text(m.countdownTexts()[i]), "00:00:07");

    m.toggleCountdown(i);
    EXPECT_EQ(status(), "Pausiert");
    h.advance(60.0);
    EXPECT_EQ(text(m.countdownTexts()[i]), "00:00:07");
    m.toggleCountdown(i);
    EXPECT_EQ(status(), "Läuft");

    m.stopCountdown(i);
    EXPECT_EQ(m.countdownStates()[i], CountdownState::idle);
    EXPECT_EQ(status(), "Gestoppt");
    EXPECT_EQ(m.countdownServices()[i].accumulated(), 0.0);
    EXPECT_EQ(text(m.countdownTexts()[i]), "00:00:10");  // ready again with the full time
    m.stopCountdown(i);                                  // already idle: the mark stays
    EXPECT_EQ(status(), "Gestoppt");

    // Starting clears the mark; so does a reset, from any state.
    m.toggleCountdown(i);
    EXPECT_EQ(status(), "Läuft");
    EXPECT_FALSE(m.countdownStopped()[i]);
    h.advance(2.0);
    m.toggleCountdown(i);
    m.resetCountdown(i);
    EXPECT_EQ(status(), "Bereit");
    EXPECT_EQ(text(m.countdownTexts()[i]), "00:00:10");

    // One that runs out is idle without the mark; the other never moved.
    m.countdownStart(i);
    h.advance(10.5);
    EXPECT_EQ(status(), "Bereit");
    EXPECT_EQ(m.alerts().size(), 1u);
    EXPECT_EQ(m.countdownStatusText(0).toStdString(), "Bereit");
    EXPECT_EQ(m.countdownStates()[0], CountdownState::idle);
}

TEST(CountdownControls, DurationBindingOfARunningOrPausedCountdown) {
    ModelHarness h;
    AppModel& m = h.make();
    setDuration(m, 0, 2 * 3600 + 3 * 60 + 4);
    IntBinding hours = m.countdownDurationBinding(0, Part::hours);
    IntBinding minutes = m.countdownDurationBinding(0, Part::minutes);
    IntBinding seconds = m.countdownDurationBinding(0, Part::seconds);
    EXPECT_EQ(hours.get(), 2);
    EXPECT_EQ(minutes.get(), 3);
    EXPECT_EQ(seconds.get(), 4);

    hours.set(30);
    minutes.set(75);
    EXPECT_EQ(m.settings().countdowns[0].durationSeconds, 23 * 3600 + 59 * 60 + 4);
    EXPECT_EQ(m.countdownTexts()[0], QStringLiteral("23:59:04"));  // idle: shows the new duration

    m.countdownStart(0);
    m.toggleCountdown(0);  // paused
    seconds.set(0);
    EXPECT_EQ(m.settings().countdowns[0].durationSeconds, 23 * 3600 + 59 * 60);
    EXPECT_EQ(m.countdownServices()[0].duration(), 23 * 3600 + 59 * 60 + 4);  // its own run stays
    EXPECT_EQ(m.countdownTexts()[0], QStringLiteral("23:59:04"));
    m.resetCountdown(0);
    EXPECT_EQ(m.countdownTexts()[0], QStringLiteral("23:59:00"));

    // A picker that outlives the model reads 0 and writes nowhere.
    h.model.reset();
    EXPECT_EQ(hours.get(), 0);
    hours.set(1);
}

TEST(StopwatchControls, EveryStateAndAStoppedOneStartsFromZero) {
    ModelHarness h;
    AppModel& m = h.make();
    const int i = 0;
    struct Step {
        const char* status;
        bool active;
    };
    auto expect = [&](Step step) {
        EXPECT_EQ(m.stopwatchStatusText(i).toStdString(), step.status);
        EXPECT_EQ(m.isStopwatchActive(i), step.active) << step.status;
    };

    expect({"Bereit", false});
    m.toggleStopwatch(i);
    expect({"Läuft", true});
    h.advance(1.505);
    m.toggleStopwatch(i);
    expect({"Pausiert", true});
    h.advance(10.0);
    m.toggleStopwatch(i);
    expect({"Läuft", true});
    h.advance(1.0);
    m.stopwatchServices()[i].stop();
    expect({"Gestoppt", false});
    EXPECT_EQ(text(m.stopwatchTexts()[i]), "00:00:02.50");

    h.advance(30.0);
    m.toggleStopwatch(i);
    expect({"Läuft", true});
    h.advance(2.005);
    m.tick();
    EXPECT_EQ(text(m.stopwatchTexts()[i]), "00:00:02.00");
    EXPECT_EQ(m.stopwatchStatusText(1).toStdString(), "Bereit");
}
