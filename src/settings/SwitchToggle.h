#pragma once

#include <QAbstractButton>

#include "shell/components/FocusRing.h"

namespace corvane {

// An on/off switch with its label in front: the label on the left, the
// track and knob at the right end. The whole width takes the click; the
// label is also the accessible name.
class SwitchToggle : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    explicit SwitchToggle(const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    // Around the track, where the eye looks for the state.
    FocusOutline focusOutline() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QRectF track() const;
    static constexpr int kTrackWidth = 36;
    static constexpr int kTrackHeight = 20;
};

}  // namespace corvane
