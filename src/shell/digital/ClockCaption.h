#pragma once

#include <QFont>
#include <QWidget>

#include "model/Theme.h"

class QPainter;

namespace corvane {

// Title and zone line under an analog dial, both scaled with the dial. Each
// stays on one line: it shrinks to half its size before it is cut off.
class ClockCaption : public QWidget {
    Q_OBJECT
public:
    explicit ClockCaption(QWidget* parent = nullptr);

    void setTexts(const QString& title, const QString& subtitle);
    void setScale(double scale);
    double scale() const { return scale_; }

    const QFont& titleFont() const { return titleFont_; }
    const QFont& subtitleFont() const { return subtitleFont_; }
    static double titleSize(double scale) { return 15.0 * scale; }
    static double subtitleSize(double scale) { return 12.0 * scale; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // The caption drawn into `rect` (vertically centred), for views that
    // paint it themselves.
    static void paint(QPainter& painter, const QRectF& rect, const QString& title,
                      const QString& subtitle, const QFont& titleFont, const QFont& subtitleFont,
                      const ThemeColors& theme);
    static double height(const QFont& titleFont, const QFont& subtitleFont);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QString title_;
    QString subtitle_;
    double scale_ = 1.0;
    QFont titleFont_;
    QFont subtitleFont_;
};

}  // namespace corvane
