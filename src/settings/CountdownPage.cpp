#include <QGridLayout>
#include <QHBoxLayout>

#include "appmodel/AppModel.h"
#include "platform/Text.h"
#include "settings/Pages.h"
#include "settings/SoundEditor.h"
#include "settings/TimerPages.h"
#include "settings/TwoColumns.h"
#include "settings/kit/Bindings.h"
#include "settings/kit/Divider.h"
#include "settings/kit/Padded.h"
#include "settings/kit/TimeBox.h"
#include "shell/components/Card.h"
#include "shell/components/NumberPicker.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {

using Component = AppModel::DurationComponent;

QLabel* unit(const QString& text, int leading, int trailing) {
    auto* label = new ThemedLabel(text, 13, QFont::Normal, ThemedLabel::Tone::foreground);
    label->setContentsMargins(leading, 0, trailing, 0);
    return label;
}

Card* countdownCard(AppModel& model, int i) {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    l->addWidget(new SectionTitle(tr("Countdown %1").arg(i + 1)));

    auto* duration = new QWidget;
    duration->setAccessibleName(tr("Dauer"));
    auto* row = new QHBoxLayout(duration);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const struct {
        const char* label;
        int maximum;
        Component component;
        const char* unit;
        int trailing;
    } parts[] = {{"Stunden", 23, Component::hours, "h", 8},
                 {"Minuten", 59, Component::minutes, "min", 8},
                 {"Sekunden", 59, Component::seconds, "s", 0}};
    std::vector<NumberPicker*> pickers;
    for (const auto& part : parts) {
        auto* picker = new NumberPicker(tr(part.label), 0, part.maximum);
        const Component component = part.component;
        QObject::connect(picker, &NumberPicker::valueChanged, picker, [&model, i, component](int value) {
            model.countdownDurationBinding(i, component).set(value);
        });
        row->addWidget(picker);
        row->addWidget(unit(tr(part.unit), 4, part.trailing));
        pickers.push_back(picker);
    }
    row->addStretch(1);
    l->addWidget(duration);
    follow(duration, model, &AppModel::settingsChanged, [&model, i, pickers] {
        const Component order[] = {Component::hours, Component::minutes, Component::seconds};
        for (std::size_t k = 0; k < pickers.size(); ++k)
            pickers[k]->setValue(int(model.countdownDuration(i, order[k])));
    });

    auto* box = new TimeBox(48, 56, 6);
    l->addWidget(paddedTop(box, 12));

    auto* start = new ThemedButton(tr("Start"));
    start->setAccent(true);
    auto* pause = new ThemedButton(tr("Pause"));
    auto* resume = new ThemedButton(tr("Fortsetzen"));
    auto* reset = new ThemedButton(tr("Zurücksetzen"));
    QObject::connect(start, &QAbstractButton::clicked, start, [&model, i] { model.countdownStart(i); });
    QObject::connect(pause, &QAbstractButton::clicked, pause, [&model, i] {
        model.countdownServices()[std::size_t(i)].pause();
    });
    QObject::connect(resume, &QAbstractButton::clicked, resume, [&model, i] {
        model.countdownServices()[std::size_t(i)].resume();
    });
    QObject::connect(reset, &QAbstractButton::clicked, reset, [&model, i] { model.resetCountdown(i); });
    l->addWidget(buttonGrid({{start, pause}, {resume, reset}}));

    // Everything that hangs on the countdown's state, its stored duration or
    // the timer bar's stop.
    const auto refreshState = [&model, i, duration, box, start, pause, resume, reset] {
        const CountdownState state = model.countdownStates()[std::size_t(i)];
        duration->setEnabled(state == CountdownState::idle);
        start->setEnabled(model.canStartCountdown(i));
        pause->setEnabled(state == CountdownState::running);
        resume->setEnabled(state == CountdownState::paused);
        reset->setEnabled(state != CountdownState::idle);
        box->setStatus(model.countdownStatusText(i));
    };
    follow(card, model, &AppModel::countdownStatesChanged, refreshState);
    QObject::connect(&model, &AppModel::countdownStoppedChanged, card, refreshState);
    QObject::connect(&model, &AppModel::settingsChanged, card, refreshState);
    follow(box, model, &AppModel::countdownTextsChanged,
           [&model, i, box] { box->setTime(model.countdownTexts()[std::size_t(i)]); });

    l->addWidget(padded(new Divider, QMargins(0, 12, 0, 12)));
    auto* heading = new ThemedLabel(tr("Alarmton & Wiedergabemodus"), 13, QFont::DemiBold,
                                    ThemedLabel::Tone::foreground);
    heading->setContentsMargins(0, 0, 0, 6);
    l->addWidget(heading);
    l->addWidget(new SoundEditor(model, SoundSlot{SoundSlot::Kind::countdown, i}));
    return card;
}

}  // namespace

QWidget* timerPageFrame(TwoColumns* cards, const QString& caption, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);
    column->addWidget(cards);
    column->addWidget(new Caption(caption));
    return page;
}

QWidget* buttonGrid(const std::vector<std::vector<ThemedButton*>>& rows) {
    auto* holder = new QWidget;
    auto* grid = new QGridLayout(holder);
    grid->setContentsMargins(0, 12, 0, 0);
    grid->setSpacing(8);
    std::size_t columns = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        columns = std::max(columns, rows[r].size());
        for (std::size_t c = 0; c < rows[r].size(); ++c) {
            if (!rows[r][c]) continue;
            std::size_t span = 1;
            while (c + span < rows[r].size() && !rows[r][c + span]) ++span;
            // Never narrower than the label: a narrow window puts the cards
            // under each other instead.
            rows[r][c]->setMinimumWidth(rows[r][c]->sizeHint().width());
            grid->addWidget(rows[r][c], int(r), int(c), 1, int(span));
        }
    }
    for (std::size_t c = 0; c < columns; ++c) grid->setColumnStretch(int(c), 1);
    return holder;
}

QWidget* makeCountdownPage(AppModel& model, QWidget* parent) {
    auto* cards = new TwoColumns;
    cards->addLeft(countdownCard(model, 0));
    cards->addRight(countdownCard(model, 1));
    return timerPageFrame(
        cards, tr("Die Dauer wird als Standard gespeichert. Während ein Countdown läuft, erscheint er kompakt unter der Uhr."),
        parent);
}

}  // namespace corvane
