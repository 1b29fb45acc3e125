#include "shell/digital/DigitalFace.h"

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
