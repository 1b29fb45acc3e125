// The countdown and stopwatch pages: buttons enabled per state, durations,
// live texts.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QScreen>

#include "SettingsHarness.h"
#include "settings/SoundEditor.h"
#include "settings/kit/TimeBox.h"
#include "shell/components/NumberPicker.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

// The controls of one card (0 or 1), found by their place on the page.
struct CardControls {
    std::map<QString, ThemedButton*> buttons;
    std::vector<NumberPicker*> pickers;
    TimeBox* box = nullptr;

    std::vector<QString> enabled() const {
        std::vector<QString> out;
        for (const auto& [text, b] : buttons)
            if (b->isEnabled()) out.push_back(text);
        return out;
    }
};

CardControls card(SettingsHarness& h, int index) {
    CardControls c;
    std::vector<TimeBox*> boxes;
    for (TimeBox* b : h.page()->findChildren<TimeBox*>()) boxes.push_back(b);
    std::sort(boxes.begin(), boxes.end(), [](TimeBox* a, TimeBox* b) { return a->mapToGlobal(QPoint()).x() < b->mapToGlobal(QPoint()).x(); });
    c.box = boxes.at(std::size_t(index));
    const int mid = h.page()->width() / 2;
    const auto inCard = [&](QWidget* w) { return (w->mapTo(h.page(), QPoint()).x() < mid) == (index == 0); };
    for (ThemedButton* b : h.page()->findChildren<ThemedButton*>()) {
        if (!inCard(b)) continue;
        bool inEditor = false;
        for (QWidget* w = b; w; w = w->parentWidget()) inEditor = inEditor || qobject_cast<SoundEditor*>(w);
        if (!inEditor) c.buttons[b->text()] = b;
    }
    for (NumberPicker* p : h.page()->findChildren<NumberPicker*>())
        if (inCard(p)) c.pickers.push_back(p);
    // Pickers sit in one row; their x orders them.
    std::sort(c.pickers.begin(), c.pickers.end(), [](NumberPicker* a, NumberPicker* b) { return a->x() < b->x(); });
    return c;
}

using Names = std::vector<QString>;

Names names(std::initializer_list<const char*> list) {
    Names out;
    for (const char* s : list) out.push_back(QString::fromUtf8(s));
    std::sort(out.begin(), out.end());
    return out;
}

// "00:01:02.34" -> 6234.
int hundredths(const QString& text) {
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[:.]")));
    if (parts.size() != 4) return -1;
    return ((parts[0].toInt() * 60 + parts[1].toInt()) * 60 + parts[2].toInt()) * 100 + parts[3].toInt();
}

void choose(SettingsHarness& h, NumberPicker* p, int value) {
    p->setCurrentIndex(value);
    Q_EMIT p->activated(value);
    h.settle();
}

}  // namespace

TEST(CountdownPage, DurationPickersStoreTheWholeSeconds) {
    SettingsHarness h;
    h.open(SettingsHarness::quietSettings(), SettingsCategory::countdown, {1000, 700});
    CardControls c = card(h, 1);
    ASSERT_EQ(c.pickers.size(), 3u);
    const struct {
        int h, m, s;
        qint64 stored;
    } cases[] = {{1, 0, 0, 3600}, {23, 59, 59, 86399}, {0, 0, 1, 1}, {0, 0, 0, 0}};
    for (const auto& t : cases) {
        choose(h, c.pickers[0], t.h);
        choose(h, c.pickers[1], t.m);
        choose(h, c.pickers[2], t.s);
        EXPECT_EQ(h.model->settings().countdowns[1].durationSeconds, t.stored);
        EXPECT_EQ(c.box->time(), h.model->countdownTexts()[1]) << "idle: the full duration";
    }
    EXPECT_EQ(h.model->settings().countdowns[0], SettingsHarness::quietSettings().countdowns[0]);
}

TEST(CountdownPage, ButtonsFollowTheState) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.countdowns[0].durationSeconds = 0;
    h.open(s, SettingsCategory::countdown, {1000, 700});
    CardControls c = card(h, 0);
    ASSERT_EQ(c.buttons.size(), 4u);
    QWidget* duration = c.pickers.at(0)->parentWidget();

    EXPECT_EQ(c.enabled(), Names{}) << "0:00:00 cannot start";
    choose(h, c.pickers[2], 1);
    EXPECT_EQ(c.enabled(), names({"Start"}));
    choose(h, c.pickers[1], 5);

    const struct {
        const char* press;
        Names enabled;
        const char* status;
        bool durationEditable;
    } steps[] = {
        {"Start", names({"Pause", "Zurücksetzen"}), "Läuft", false},
        {"Pause", names({"Fortsetzen", "Zurücksetzen"}), "Pausiert", false},
        {"Fortsetzen", names({"Pause", "Zurücksetzen"}), "Läuft", false},
        {"Zurücksetzen", names({"Start"}), "Bereit", true},
    };
    for (const auto& step : steps) {
        h.click(c.buttons.at(QString::fromUtf8(step.press)));
        h.advance(0.5);
        h.settle();
        EXPECT_EQ(c.enabled(), step.enabled) << step.press;
        EXPECT_EQ(c.box->status(), QString::fromUtf8(step.status)) << step.press;
        EXPECT_EQ(duration->isEnabled(), step.durationEditable) << step.press;
    }
    EXPECT_EQ(c.box->time(), QStringLiteral("00:05:01"));

    // Stopped from the timer bar: "Gestoppt", only Start; starting clears it.
    h.click(c.buttons.at("Start"));
    h.model->stopCountdown(0);
    h.settle();
    EXPECT_EQ(c.box->status(), QStringLiteral("Gestoppt"));
    EXPECT_EQ(c.enabled(), names({"Start"}));
    h.click(c.buttons.at("Start"));
    EXPECT_EQ(c.box->status(), QStringLiteral("Läuft"));
    // The other card saw none of it.
    EXPECT_EQ(card(h, 1).box->status(), QStringLiteral("Bereit"));
}

TEST(CountdownPage, StartedHereRingsOverTheClocksWhenItEnds) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.countdowns[1].durationSeconds = 3;
    h.open(s, SettingsCategory::countdown, {1000, 700});
    CardControls c = card(h, 1);
    h.click(c.buttons.at("Start"));
    h.advance(1.0);
    h.settle();
    EXPECT_EQ(c.box->time(), QStringLiteral("00:00:02"));
    h.advance(2.5);
    h.settle();
    ASSERT_EQ(h.model->alerts().size(), 1u);
    EXPECT_EQ(c.box->status(), QStringLiteral("Bereit"));
    EXPECT_EQ(c.box->time(), QStringLiteral("00:00:03"));
}

TEST(StopwatchPage, ButtonsFollowTheStateAndTheTwoRunApart) {
    SettingsHarness h;
    h.open(SettingsHarness::quietSettings(), SettingsCategory::stopwatch, {1000, 700});
    CardControls first = card(h, 0);
    CardControls second = card(h, 1);
    ASSERT_EQ(first.buttons.size(), 5u);
    EXPECT_EQ(first.enabled(), names({"Start"}));
    EXPECT_EQ(first.box->status(), QStringLiteral("Bereit"));

    const struct {
        const char* press;
        Names enabled;
        const char* status;
    } steps[] = {
        {"Start", names({"Pause", "Stopp", "Zurücksetzen"}), "Läuft"},
        {"Pause", names({"Fortsetzen", "Stopp", "Zurücksetzen"}), "Pausiert"},
        {"Fortsetzen", names({"Pause", "Stopp", "Zurücksetzen"}), "Läuft"},
        {"Stopp", names({"Start", "Zurücksetzen"}), "Gestoppt"},
        {"Start", names({"Pause", "Stopp", "Zurücksetzen"}), "Läuft"},
        {"Zurücksetzen", names({"Start"}), "Bereit"},
    };
    QString stoppedAt;
    for (const auto& step : steps) {
        h.click(first.buttons.at(QString::fromUtf8(step.press)));
        h.advance(1.25);
        h.settle();
        EXPECT_EQ(first.enabled(), step.enabled) << step.press;
        EXPECT_EQ(first.box->status(), QString::fromUtf8(step.status)) << step.press;
        if (QLatin1String(step.press) == QLatin1String("Stopp")) {
            stoppedAt = first.box->time();
            h.advance(2.0);
            h.settle();
            EXPECT_EQ(first.box->time(), stoppedAt) << "the stopped time stays";
        }
    }
    // Three runs of 1.25 s; the tick lands within its 40 ms of the end.
    EXPECT_NEAR(hundredths(stoppedAt), 250, 4);
    EXPECT_EQ(first.box->time(), QStringLiteral("00:00:00.00"));
    EXPECT_EQ(second.enabled(), names({"Start"}));
    EXPECT_EQ(second.box->status(), QStringLiteral("Bereit"));

    h.click(second.buttons.at("Start"));
    h.advance(0.5);
    h.settle();
    EXPECT_NEAR(hundredths(second.box->time()), 50, 4);
    EXPECT_EQ(first.box->status(), QStringLiteral("Bereit"));
}

namespace {
// Counts paint events per widget of a window.
struct PaintCounter : QObject {
    std::map<QString, int> painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++painted[QString::fromLatin1(watched->metaObject()->className())];
        return false;
    }
};
}  // namespace

TEST(StopwatchPage, ARunningStopwatchRepaintsOnlyItsTimeBox) {
    SettingsHarness h;
    h.open(SettingsHarness::quietSettings(), SettingsCategory::stopwatch);
    h.click(card(h, 0).buttons.at("Start"));
    h.advance(0.5);
    h.settle();
    PaintCounter counter;
    qApp->installEventFilter(&counter);
    for (int i = 0; i < 25; ++i) {
        h.advance(0.04);
        h.settle();
    }
    qApp->removeEventFilter(&counter);
    EXPECT_GE(counter.painted["corvane::TimeBox"], 20);
    EXPECT_EQ(counter.painted.size(), 1u) << "something besides the time box repainted: "
                                          << std::prev(counter.painted.end())->first.toStdString();

    // The frames repaint the time's line alone; what they built up is what
    // a full repaint of the window shows (no digit left behind, status and
    // rounded panel intact).
    const QImage shown = h.root->screen()->grabWindow(h.root->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage full = h.root->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), full.size());
    EXPECT_EQ(shown, full);
}
