#pragma once

#include <QAbstractButton>

#include "settings/display/DialPreview.h"
#include "shell/components/FocusRing.h"

namespace corvane {

class AppModel;
struct CaptionLine;

// A design choice: a live dial over a one-line title on a rounded plate,
// filled and outlined in the accent colour while selected.
class DesignTile : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    struct Metrics {
        double preview = 50;   // side of the dial
        double titleSize = 10; // font size of the title
        double padding = 5;
        double spacing = 3;    // between dial and title
        int fixedWidth = 0;    // 0: as wide as the space offered
    };

    DesignTile(AppModel& model, const QString& title, Metrics metrics, QWidget* parent = nullptr);

    DialPreview* preview() const { return preview_; }
    bool selected() const { return selected_; }
    void setSelected(bool selected);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    FocusOutline focusOutline() const override { return {QRectF(rect()), 9}; }

    // The title as drawn, and its font: shrunk to fit, cut only past 80 %.
    QFont titleFont() const;
    QString shownTitle() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    static constexpr double kMinTitleScale = 0.8;
    CaptionLine titleLine() const;

    Metrics metrics_;
    DialPreview* preview_;
    bool selected_ = false;
};

}  // namespace corvane
