#pragma once

#include <QAbstractButton>

#include "model/Settings.h"
#include "shell/components/FocusRing.h"

namespace corvane {

class AppModel;
class ClockDesignPanel;
class DialPreview;

// The first control of a clock row: a live 30-point dial of the clock in its
// design, with a dot when the clock has a design of its own. It opens the
// clock's design panel and, while that is open, has the main window mark the
// clock.
class ClockDesignButton : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    static constexpr int kSide = 30;

    ClockDesignButton(AppModel& model, const ClockEntry& clock, int index, QWidget* parent = nullptr);
    ~ClockDesignButton() override;

    // The row's clock or position changed (or an image it shows arrived).
    void setClock(const ClockEntry& clock, int index);
    const QString& clockID() const { return clockID_; }
    int index() const { return index_; }
    static bool hasOwnDesign(const ClockEntry& clock);

    DialPreview* preview() const { return preview_; }
    ClockDesignPanel* panel();
    bool isPanelOpen() const;
    void openPanel();

    QSize sizeHint() const override { return {kSide, kSide}; }
    // Round, around the dial with a gap, so it cannot pass for a dial's own
    // rim; the own-design dot keeps its place over it.
    FocusOutline focusOutline() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void panelShown(bool open);

    AppModel& model_;
    QString clockID_;
    QString zoneID_;  // null until the first clock is shown
    int index_ = 0;
    DialPreview* preview_;
    ClockDesignPanel* panel_ = nullptr;  // made on first use, kept with the row
};

}  // namespace corvane
