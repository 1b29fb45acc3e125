#pragma once

#include <QAbstractButton>
#include <QPainterPath>

#include "shell/components/FocusRing.h"

namespace corvane {

// A square symbol button without bezel: the toolbar, the timer bars and the
// clock list use it. It lights up under the pointer; a destructive one turns
// red. Disabled it is inert and drawn at the opacity its caller chose.
class IconButton : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    IconButton(const QString& symbol, const QString& help, double size, QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }
    void setSymbol(const QString& symbol);
    void setHelp(const QString& help);
    double side() const { return size_; }

    bool destructive() const { return destructive_; }
    void setDestructive(bool destructive);
    bool active() const { return active_; }
    void setActive(bool active);

    // Opacity while disabled; 1 unless the caller fades it.
    void setDisabledOpacity(double opacity);
    double disabledOpacity() const { return disabledOpacity_; }

    bool hovered() const { return hover_; }

    QSize sizeHint() const override;

    struct Look {
        QColor symbol;
        QColor background;  // transparent when there is none
        double opacity = 1.0;
    };
    Look look() const;
    FocusOutline focusOutline() const override { return {QRectF(rect()), 6}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setHover(bool hover);

    QString symbol_;
    const QPainterPath* path_;
    double size_;
    bool destructive_ = false;
    bool active_ = false;
    bool hover_ = false;
    double disabledOpacity_ = 1.0;
};

}  // namespace corvane
