#include "shell/digital/DigitalFace.h"

#include <QImage>
#include <QPainter>

namespace corvane {

QColor DigitalFace::textColorOn(RGB face) {
    const double againstBlack = ThemeColors::contrastRatio(face, RGB{0, 0, 0});
    const double againstWhite = ThemeColors::contrastRatio(face, RGB{255, 255, 255});
    return againstBlack > againstWhite ? QColor(Qt::black) : QColor(Qt::white);
}

QColor DigitalFace::textColor(const std::optional<RGB>& face, const ThemeColors& theme) {
    return face ? textColorOn(*face) : theme.foreground.toQColor();
}

QColor DigitalFace::secondaryTextColor(const std::optional<RGB>& face, const ThemeColors& theme) {
    if (!face) return theme.secondaryForeground.toQColor();
    QColor c = textColorOn(*face);
    c.setAlphaF(0.7f);
    return c;
}

QColor DigitalFace::plateColor(const std::optional<RGB>& face, const ThemeColors& theme) {
    return face ? face->toQColor() : theme.surface.toQColor(0.6);
}

QColor DigitalFace::plateOnBackground(const std::optional<RGB>& face, const ThemeColors& theme) {
    const QColor plate = plateColor(face, theme);
    const QColor background = theme.background.toQColor();
    if (plate.alpha() == 255) return plate;
    // The last answer is kept: it changes only with the palette or a face.
    static QRgb lastPlate = 0, lastBackground = 0;
    static QColor last;
    if (last.isValid() && plate.rgba() == lastPlate && background.rgba() == lastBackground) return last;
    QImage pixel(1, 1, QImage::Format_ARGB32_Premultiplied);
    pixel.fill(background);
    {
        QPainter p(&pixel);
        p.fillRect(QRect(0, 0, 1, 1), plate);
    }
    lastPlate = plate.rgba();
    lastBackground = background.rgba();
    last = QColor::fromRgba(pixel.pixel(0, 0));
    return last;
}

void DigitalFace::paintPlate(QPainter& painter, const QRectF& rect, const std::optional<RGB>& face,
                             const ThemeColors& theme) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(plateColor(face, theme));
    painter.drawRoundedRect(rect, kCornerRadius, kCornerRadius);
    painter.restore();
}

}  // namespace corvane
