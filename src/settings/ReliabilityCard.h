#pragma once

#include "shell/components/Card.h"

namespace corvane {

class AppModel;
class Caption;
class SymbolView;
class ThemedLabel;

// Top of the alarms page: whether alarms can be heard at all, and how the
// program keeps them punctual. It edits nothing.
class ReliabilityCard : public Card {
    Q_OBJECT
public:
    explicit ReliabilityCard(AppModel& model, QWidget* parent = nullptr);

    // Reads the model again. The sleep-prevention state has no change signal
    // of its own, so the page calls this whenever it redraws for another
    // reason.
    void refresh();

    // Which caption is shown: the one for an armed sleep prevention or not.
    bool showsPowerActivity() const { return shownPower_; }

    QString headline() const;
    QString caption() const;
    QString symbol() const;

protected:
    bool event(QEvent* event) override;

private:
    AppModel& model_;
    SymbolView* symbol_;
    ThemedLabel* line_;
    ThemedLabel* warningLine_;
    Caption* caption_;
    bool shownPower_ = false;
};

}  // namespace corvane
