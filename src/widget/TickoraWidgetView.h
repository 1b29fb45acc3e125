#pragma once

// Draws one timeline entry: the snapshot's clocks as a grid of dials or
// digital times with their titles, and the armed-alarm line, in the
// snapshot's palette. A painter, not a widget, so the host window, the
// screenshots and the benchmark all draw exactly the same picture.

#include "model/Rgb.h"
#include "model/Theme.h"
#include "model/WidgetSnapshot.h"
#include "widget/ClockProvider.h"
#include "widget/WidgetFamily.h"

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QStringList>

#include <optional>
#include <vector>

class QPainter;

namespace corvane {

class TimeZoneProvider;

struct WidgetGrid {
    int shown = 0;    // the first `shown` clocks of the snapshot
    int columns = 1;  // never below 1, even without clocks
    int rows = 0;
};

// How many clocks a family shows and in how many columns.
WidgetGrid widgetGrid(WidgetFamily family, int clockCount, bool digital);

struct WidgetCell {
    int clock = -1;  // index into the snapshot's clocks; -1 for a filler cell
    QRectF rect;     // the whole cell
    QRectF face;     // the dial's square, or the digital time's rounded box
    QRectF title;
};

struct WidgetLayout {
    WidgetGrid grid;
    bool compact = false;        // more than one clock shown
    std::vector<WidgetCell> cells;  // rows x columns, row by row
    std::optional<QRectF> alarmLine;
    QFont timeFont;   // digital time, after shrinking to fit
    double timeScale = 1.0;  // how far the time was shrunk, 0.4 ... 1
    QFont titleFont;  // before any per-title shrinking
    QFont alarmFont;
};

// `installedFamilies` is the font database's list, asked for by the caller.
WidgetLayout layoutWidget(WidgetFamily family, const WidgetSnapshot& snapshot, const QRectF& bounds,
                          const QStringList& installedFamilies);

// The snapshot's font family when it is installed, else the system font; at
// `pixelSize`, semibold.
QFont clockFont(const QString& family, double pixelSize, const QStringList& installedFamilies);

// The digital time's colour: on an own face colour white or black, whichever
// contrasts more (white on a tie); without one the palette's foreground.
QColor digitalTextColor(std::optional<RGB> face, const ThemeColors& theme);

// "HH:mm" of `utcMSecs` in the clock's zone; an empty or unknown zone is the
// computer's current one.
QString clockTimeText(qint64 utcMSecs, const QString& timeZoneID, const TimeZoneProvider& zones);

void paintWidget(QPainter& painter, const QRectF& bounds, WidgetFamily family, const ClockEntryW& entry,
                 const TimeZoneProvider& zones);

}  // namespace corvane
