#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QColorDialog>
#include <QPointer>
#include <functional>

#include "shell/components/FocusRing.h"

namespace corvane {

// A button showing a colour and a title that opens the colour dialog (Qt's
// own, without alpha). Every colour the user moves to in the dialog is one
// `colorPicked`; the dialog starts from what `current` says at that moment,
// and the swatch paints whatever `current` says, so the button holds no
// copy of the colour.
class ColorButton : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    explicit ColorButton(const QString& title, std::function<QColor()> current, QWidget* parent = nullptr);
    ~ColorButton() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    FocusOutline focusOutline() const override { return {QRectF(rect()), 6}; }

    // The open dialog, if any (for tests).
    QColorDialog* dialog() const { return dialog_; }
    void openDialog();

Q_SIGNALS:
    void colorPicked(const QColor& color);
    // Around the dialog's time on screen, so a pop-up holding the button
    // can stay open meanwhile.
    void dialogOpening();
    void dialogClosed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<QColor()> current_;
    QPointer<QColorDialog> dialog_;
    const QObject* dialogObject_ = nullptr;
    bool hovered_ = false;
};

}  // namespace corvane
