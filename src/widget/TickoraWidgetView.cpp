#include "widget/TickoraWidgetView.h"

#include "dial/AnalogClock.h"
#include "platform/TimeZones.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

constexpr double kMargin = 14;        // between the window's edge and the clocks
constexpr double kColumnSpacing = 8;
constexpr double kRowSpacing = 6;
constexpr double kStackSpacing = 4;   // grid to alarm line
constexpr double kCellSpacing = 2;    // face to title
constexpr double kTimePaddingX = 6;
constexpr double kTimePaddingY = 2;
constexpr double kTimeCornerRadius = 8;
constexpr double kMinTimeScale = 0.4;
constexpr double kMinTitleScale = 0.7;
constexpr int kAlarmFontPixels = 10;

QFont systemFont(int pixelSize, QFont::Weight weight) {
    QFont font = QGuiApplication::font();
    font.setPixelSize(std::max(1, pixelSize));
    font.setWeight(weight);
    return font;
}

// Every digit takes the widest digit's advance, so the time does not wobble
// from minute to minute.
double digitAdvance(const QFontMetricsF& metrics) {
    double widest = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d) widest = std::max(widest, metrics.horizontalAdvance(QChar(d)));
    return widest;
}

double timeWidth(const QFontMetricsF& metrics, QStringView text) {
    const double digit = digitAdvance(metrics);
    double width = 0;
    for (QChar c : text) width += c.isDigit() ? digit : metrics.horizontalAdvance(c);
    return width;
}

void drawTime(QPainter& painter, const QRectF& box, const QString& text, const QFont& font, const QColor& color) {
    const QFontMetricsF metrics(font);
    const double digit = digitAdvance(metrics);
    double x = box.center().x() - timeWidth(metrics, text) / 2;
    const double baseline = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(color);
    for (QChar c : text) {
        const double advance = metrics.horizontalAdvance(c);
        const double slot = c.isDigit() ? digit : advance;
        painter.drawText(QPointF(x + (slot - advance) / 2, baseline), QString(c));
        x += slot;
    }
    painter.restore();
}

// One line, shrunk down to 70 % before it is cut with an ellipsis.
void drawTitle(QPainter& painter, const QRectF& rect, const QString& title, QFont font) {
    const double full = font.pixelSize();
    const double width = QFontMetricsF(font).horizontalAdvance(title);
    if (width > rect.width() && width > 0) {
        const double scale = std::max(kMinTitleScale, rect.width() / width);
        font.setPixelSize(std::max(1, int(std::floor(full * scale))));
    }
    const QFontMetricsF metrics(font);
    painter.setFont(font);
    painter.drawText(rect, Qt::AlignCenter | Qt::TextSingleLine,
                     metrics.elidedText(title, Qt::ElideRight, rect.width()));
}

// A small alarm clock: round body, two bells and the hands.
void drawAlarmSymbol(QPainter& painter, const QRectF& square, const QColor& color) {
    const double s = square.width();
    const QPointF c = square.center() + QPointF(0, s * 0.06);
    const double r = s * 0.36;
    QPen pen(color, std::max(1.0, s * 0.11), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.save();
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(c, r, r);
    painter.drawLine(c, c + QPointF(0, -r * 0.6));
    painter.drawLine(c, c + QPointF(r * 0.45, 0));
    const QRectF bell(-s * 0.2, -s * 0.2, s * 0.4, s * 0.4);
    painter.drawArc(bell.translated(c + QPointF(-r * 0.95, -r * 0.95)), 45 * 16, 180 * 16);
    painter.drawArc(bell.translated(c + QPointF(r * 0.95, -r * 0.95)), -45 * 16, 180 * 16);
    painter.restore();
}

QTimeZone zoneOf(const QString& timeZoneID, const TimeZoneProvider& zones) {
    QTimeZone zone = zoneForIdentifier(timeZoneID);
    return zone.isValid() ? zone : zones.current();
}

}  // namespace

WidgetGrid widgetGrid(WidgetFamily family, int clockCount, bool digital) {
    const int n = std::max(0, clockCount);
    WidgetGrid grid;
    switch (family) {
        case WidgetFamily::systemSmall:
            grid.shown = std::min(n, 1);
            grid.columns = 1;
            break;
        case WidgetFamily::systemMedium:
            grid.shown = std::min(n, 4);
            grid.columns = std::min(grid.shown, digital ? 2 : 4);
            break;
        case WidgetFamily::systemLarge:
        case WidgetFamily::systemExtraLarge:
            grid.shown = std::min(n, family == WidgetFamily::systemLarge ? 9 : 12);
            grid.columns = grid.shown < 2 ? 1 : grid.shown <= 4 ? 2 : 3;
            break;
    }
    grid.columns = std::max(1, grid.columns);
    grid.rows = (grid.shown + grid.columns - 1) / grid.columns;
    return grid;
}

QFont clockFont(const QString& family, double pixelSize, const QStringList& installedFamilies) {
    QFont font = QGuiApplication::font();
    if (!family.isEmpty() && installedFamilies.contains(family)) font = QFont(family);
    font.setPixelSize(std::max(1, int(std::floor(pixelSize))));
    font.setWeight(QFont::DemiBold);
    return font;
}

QColor digitalTextColor(std::optional<RGB> face, const ThemeColors& theme) {
    if (!face) return theme.foreground.toQColor();
    const RGB white{255, 255, 255};
    const RGB black{0, 0, 0};
    const bool useWhite = ThemeColors::contrastRatio(white, *face) >= ThemeColors::contrastRatio(black, *face);
    return (useWhite ? white : black).toQColor();
}

QString clockTimeText(qint64 utcMSecs, const QString& timeZoneID, const TimeZoneProvider& zones) {
    const LocalTime local = toLocal(zoneOf(timeZoneID, zones), utcMSecs);
    return QString::asprintf("%02d:%02d", local.hour(), local.minute());
}

WidgetLayout layoutWidget(WidgetFamily family, const WidgetSnapshot& snapshot, const QRectF& bounds,
                          const QStringList& installedFamilies) {
    WidgetLayout layout;
    layout.grid = widgetGrid(family, int(snapshot.clocks.size()), snapshot.digital);
    layout.compact = layout.grid.shown > 1;
    layout.titleFont = systemFont(layout.compact ? 10 : 12, QFont::DemiBold);
    layout.alarmFont = systemFont(kAlarmFontPixels, QFont::Normal);

    const QRectF content = bounds.adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const int columns = layout.grid.columns;
    const int rows = layout.grid.rows;
    const bool alarm = family != WidgetFamily::systemSmall && snapshot.nextAlarm.has_value();
    const double alarmHeight = alarm ? QFontMetricsF(layout.alarmFont).height() : 0;
    const double gap = alarm && rows > 0 ? kStackSpacing : 0;
    const double titleHeight = QFontMetricsF(layout.titleFont).height();
    const double cellWidth = std::max(0.0, (content.width() - (columns - 1) * kColumnSpacing) / columns);
    const double gridSpace = std::max(0.0, content.height() - alarmHeight - gap);
    const double rowSpace = rows > 0 ? std::max(0.0, (gridSpace - (rows - 1) * kRowSpacing) / rows) : 0;

    double rowHeight = rowSpace;
    double timeBoxHeight = 0;
    const double basePixels = layout.compact ? 30 : 44;
    layout.timeFont = clockFont(snapshot.fontFamily, basePixels, installedFamilies);
    if (snapshot.digital && rows > 0) {
        const QFontMetricsF full(layout.timeFont);
        double scale = 1.0;
        const double width = timeWidth(full, u"00:00");
        const double textSpace = cellWidth - 2 * kTimePaddingX;
        if (width > textSpace && width > 0) scale = textSpace / width;
        const double heightSpace = rowSpace - titleHeight - kCellSpacing - 2 * kTimePaddingY;
        if (full.height() > heightSpace && full.height() > 0) scale = std::min(scale, heightSpace / full.height());
        scale = std::clamp(scale, kMinTimeScale, 1.0);
        layout.timeScale = scale;
        layout.timeFont = clockFont(snapshot.fontFamily, std::max(std::ceil(basePixels * kMinTimeScale),
                                                                  std::floor(basePixels * scale)),
                                    installedFamilies);
        timeBoxHeight = QFontMetricsF(layout.timeFont).height() + 2 * kTimePaddingY;
        rowHeight = timeBoxHeight + kCellSpacing + titleHeight;
    }
    const double gridHeight = rows > 0 ? rows * rowHeight + (rows - 1) * kRowSpacing : 0;
    // Dials fill the space; digital times keep their height and the whole
    // stack sits in the middle.
    const double stackHeight = gridHeight + gap + alarmHeight;
    const double top = content.top() + std::max(0.0, (content.height() - stackHeight) / 2);

    layout.cells.reserve(std::size_t(rows * columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            WidgetCell cell;
            const int index = r * columns + c;
            cell.clock = index < layout.grid.shown ? index : -1;
            cell.rect = QRectF(content.left() + c * (cellWidth + kColumnSpacing), top + r * (rowHeight + kRowSpacing),
                               cellWidth, rowHeight);
            if (snapshot.digital) {
                cell.face = QRectF(cell.rect.left(), cell.rect.top(), cellWidth, timeBoxHeight);
                cell.title = QRectF(cell.rect.left(), cell.face.bottom() + kCellSpacing, cellWidth, titleHeight);
            } else {
                const double side = std::max(0.0, std::min(cellWidth, rowHeight - titleHeight - kCellSpacing));
                const double y = cell.rect.top() + (rowHeight - (side + kCellSpacing + titleHeight)) / 2;
                cell.face = QRectF(cell.rect.center().x() - side / 2, y, side, side);
                cell.title = QRectF(cell.rect.left(), y + side + kCellSpacing, cellWidth, titleHeight);
            }
            layout.cells.push_back(cell);
        }
    }
    if (alarm) layout.alarmLine = QRectF(content.left(), top + gridHeight + gap, content.width(), alarmHeight);
    return layout;
}

void paintWidget(QPainter& painter, const QRectF& bounds, WidgetFamily family, const ClockEntryW& entry,
                 const TimeZoneProvider& zones) {
    const WidgetSnapshot& snapshot = entry.snapshot ? *entry.snapshot : *sampleSnapshot();
    const ThemeColors& theme = snapshot.theme;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(bounds, theme.background.toQColor());

    // Asked on every paint, so a font installed while the widget runs is
    // picked up at the next minute; a digital snapshot is the only user.
    const QStringList families = snapshot.digital ? QFontDatabase::families() : QStringList();
    const WidgetLayout layout = layoutWidget(family, snapshot, bounds, families);
    const QColor foreground = theme.foreground.toQColor();

    for (const WidgetCell& cell : layout.cells) {
        if (cell.clock < 0) continue;
        const WidgetSnapshot::Clock& clock = snapshot.clocks[std::size_t(cell.clock)];
        const std::optional<RGB> face = clock.face ? RGB::fromHex(*clock.face) : std::nullopt;
        if (snapshot.digital) {
            if (face) {
                QPainterPath box;
                box.addRoundedRect(cell.face, kTimeCornerRadius, kTimeCornerRadius);
                painter.fillPath(box, face->toQColor());
            }
            drawTime(painter, cell.face.adjusted(kTimePaddingX, kTimePaddingY, -kTimePaddingX, -kTimePaddingY),
                     clockTimeText(entry.date, clock.timeZoneID, zones), layout.timeFont,
                     digitalTextColor(face, theme));
        } else {
            AnalogClock dial;
            dial.time = DialTime::at(entry.date, zoneOf(clock.timeZoneID, zones));
            dial.smoothSeconds = false;
            dial.style = clock.dial;
            dial.theme = theme;
            dial.faceRGB = face;
            dial.showSeconds = false;
            dial.paint(painter, cell.face);
        }
        painter.setPen(foreground);
        drawTitle(painter, cell.title, clock.title, layout.titleFont);
    }

    if (layout.alarmLine && snapshot.nextAlarm) {
        const QRectF line = *layout.alarmLine;
        const QFontMetricsF metrics(layout.alarmFont);
        const double symbol = metrics.ascent();
        const double space = 3;
        const QString text = metrics.elidedText(*snapshot.nextAlarm, Qt::ElideRight,
                                                std::max(0.0, line.width() - symbol - space));
        const double width = symbol + space + metrics.horizontalAdvance(text);
        const double left = line.center().x() - width / 2;
        const QColor accent = theme.accent.toQColor();
        drawAlarmSymbol(painter, QRectF(left, line.center().y() - symbol / 2, symbol, symbol), accent);
        painter.setFont(layout.alarmFont);
        painter.setPen(accent);
        painter.drawText(QRectF(left + symbol + space, line.top(), width - symbol - space, line.height()),
                         Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }
    painter.restore();
}

}  // namespace corvane
