#include "settings/kit/ColorButton.h"

#include <QColorDialog>
#include <QPainter>

#include "shell/components/Theme.h"

namespace corvane {

namespace {
constexpr int kSwatch = 18;
constexpr int kPadX = 8;
constexpr int kGap = 8;
constexpr int kHeight = 28;
}  // namespace

ColorButton::ColorButton(const QString& title, std::function<QColor()> current, QWidget* parent)
    : QAbstractButton(parent), current_(std::move(current)) {
    setText(title);
    setAccessibleName(title);
    setCursor(Qt::PointingHandCursor);
    setFont(uiFont(13));
    connect(this, &QAbstractButton::clicked, this, &ColorButton::openDialog);
}

ColorButton::~ColorButton() {
    if (!dialog_) return;
    // Its going away is no close for whoever waits on the dialog.
    dialog_->removeEventFilter(this);
    delete dialog_.data();
}

void ColorButton::openDialog() {
    if (!dialog_) {
        dialog_ = new QColorDialog(this);
        dialog_->setWindowTitle(text());
        // The desktop's own dialog would report only the final choice; Qt's
        // reports each colour as the user moves, which is what the clock
        // follows live.
        dialog_->setOption(QColorDialog::DontUseNativeDialog, true);
        dialog_->setOption(QColorDialog::ShowAlphaChannel, false);
        // Like a colour panel: every colour applies at once, so there is no
        // OK to press and nothing for Cancel to take back; the window closes.
        dialog_->setOption(QColorDialog::NoButtons, true);
        connect(dialog_, &QColorDialog::currentColorChanged, this, [this](const QColor& c) {
            if (c.isValid()) Q_EMIT colorPicked(c);
        });
        // However it goes: Esc, the window's close button, or hidden.
        dialog_->installEventFilter(this);
        dialogObject_ = dialog_.data();
    }
    if (!dialog_->isVisible()) Q_EMIT dialogOpening();
    const QColor start = current_ ? current_() : QColor(Qt::black);
    {
        // Setting the start colour is no pick of the user's.
        const QSignalBlocker block(dialog_);
        dialog_->setCurrentColor(start);
    }
    dialog_->show();
    dialog_->raise();
    dialog_->activateWindow();
}

bool ColorButton::eventFilter(QObject* watched, QEvent* event) {
    // Compared as objects: a dialog being destroyed is no dialog any more.
    if (event->type() == QEvent::Hide && watched == dialogObject_) Q_EMIT dialogClosed();
    return QAbstractButton::eventFilter(watched, event);
}

QSize ColorButton::sizeHint() const {
    const int textWidth = fontMetrics().horizontalAdvance(text());
    return {kPadX + kSwatch + kGap + textWidth + kPadX + 2, kHeight};
}

void ColorButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    update();
    QAbstractButton::enterEvent(event);
}

void ColorButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    update();
    QAbstractButton::leaveEvent(event);
}

void ColorButton::paintEvent(QPaintEvent*) {
    const ThemeColors& t = themeOf(this);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) p.setOpacity(0.5);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(t.border.toQColor(), 1.0));
    p.setBrush((hovered_ || isDown() ? t.controlHover : t.control).toQColor());
    p.drawRoundedRect(r, 6, 6);

    const QRectF swatch(kPadX, (height() - kSwatch) / 2.0, kSwatch, kSwatch);
    p.setPen(QPen(t.border.toQColor(), 1.0));
    p.setBrush(current_ ? current_() : QColor(Qt::black));
    p.drawRoundedRect(swatch, 4, 4);

    p.setPen(t.foreground.toQColor());
    p.setFont(font());
    const QRectF textRect(swatch.right() + kGap, 0, width() - swatch.right() - kGap - kPadX, height());
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text());
}

}  // namespace corvane
