#pragma once

#include <QAbstractButton>
#include <QPainterPath>

#include "shell/components/FocusRing.h"

namespace corvane {

// The text button of the settings screens and alert cards. By default it fills
// the width it is offered; with `setNaturalSize(true)` it keeps the width of
// its label. An optional leading symbol (see Icons) stands before the text.
class ThemedButton : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    explicit ThemedButton(const QString& text = {}, QWidget* parent = nullptr);

    bool accent() const { return accent_; }
    void setAccent(bool accent);

    QString symbol() const { return symbol_; }
    void setSymbol(const QString& symbol);

    void setNaturalSize(bool natural);
    bool naturalSize() const { return natural_; }

    // The label font; 13 px regular unless a caller sets its own.
    void setLabelFont(const QFont& font);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // What a frame is drawn with, by state; exposed so the look can be checked.
    struct Look {
        QColor text;
        QColor fill;
        QColor outline;  // transparent when there is none
        double opacity = 1.0;
    };
    Look look() const;
    FocusOutline focusOutline() const override { return {QRectF(rect()), 6}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    double iconSide() const;
    double labelWidth() const;

    bool accent_ = false;
    bool natural_ = false;
    QString symbol_;
    const QPainterPath* path_;
};

}  // namespace corvane
