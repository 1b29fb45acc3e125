#include <QGridLayout>

#include "appmodel/AppModel.h"
#include "platform/Text.h"
#include "settings/Pages.h"
#include "settings/TimerPages.h"
#include "settings/TwoColumns.h"
#include "settings/kit/Bindings.h"
#include "settings/kit/TimeBox.h"
#include "shell/components/Card.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {

Card* stopwatchCard(AppModel& model, int i) {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    l->addWidget(new SectionTitle(tr("Stoppuhr %1").arg(i + 1)));
    auto* box = new TimeBox(56, 64, 8);
    l->addWidget(box);

    StopwatchService& service = model.stopwatchServices()[std::size_t(i)];
    auto* start = new ThemedButton(tr("Start"));
    start->setAccent(true);
    auto* pause = new ThemedButton(tr("Pause"));
    auto* resume = new ThemedButton(tr("Fortsetzen"));
    auto* stop = new ThemedButton(tr("Stopp"));
    auto* reset = new ThemedButton(tr("Zurücksetzen"));
    QObject::connect(start, &QAbstractButton::clicked, start, [&service] { service.start(); });
    QObject::connect(pause, &QAbstractButton::clicked, pause, [&service] { service.pause(); });
    QObject::connect(resume, &QAbstractButton::clicked, resume, [&service] { service.resume(); });
    QObject::connect(stop, &QAbstractButton::clicked, stop, [&service] { service.stop(); });
    QObject::connect(reset, &QAbstractButton::clicked, reset, [&service] { service.reset(); });
    l->addWidget(buttonGrid({{start, pause, resume}, {stop, reset, nullptr}}));

    follow(card, model, &AppModel::stopwatchStatesChanged, [&model, i, box, start, pause, resume, stop, reset] {
        const StopwatchState s = model.stopwatchStates()[std::size_t(i)];
        start->setEnabled(s == StopwatchState::idle || s == StopwatchState::stopped);
        pause->setEnabled(s == StopwatchState::running);
        resume->setEnabled(s == StopwatchState::paused);
        stop->setEnabled(s == StopwatchState::running || s == StopwatchState::paused);
        reset->setEnabled(s != StopwatchState::idle);
        box->setStatus(model.stopwatchStatusText(i));
    });
    follow(box, model, &AppModel::stopwatchTextsChanged,
           [&model, i, box] { box->setTime(model.stopwatchTexts()[std::size_t(i)]); });
    return card;
}

}  // namespace

QWidget* makeStopwatchPage(AppModel& model, QWidget* parent) {
    auto* cards = new TwoColumns;
    cards->addLeft(stopwatchCard(model, 0));
    cards->addRight(stopwatchCard(model, 1));
    return timerPageFrame(cards,
                          tr("Die Stoppuhren messen mit einer monotonen Zeitquelle und laufen beim Wechsel der "
                             "Ansichten weiter. Nach „Stopp“ bleibt die gemessene Zeit sichtbar, bis sie hier "
                             "zurückgesetzt wird."),
                          parent);
}

}  // namespace corvane
