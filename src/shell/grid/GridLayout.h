#pragma once

#include <QSizeF>

#include "model/Settings.h"

namespace corvane {

// How many columns and rows the clock grid uses.
struct GridLayout {
    int cols = 1;
    int rows = 1;
    friend bool operator==(const GridLayout&, const GridLayout&) = default;
};

// Shape factor of a cell: dials want square cells, digital times wide ones.
double gridShapeFactor(ClockDisplayMode mode);

// The column count whose cells are largest for `count` clocks in `size`, rows
// filled in order. A candidate must beat the best by more than half a point,
// so among nearly equal ones the one with fewer columns stays and the grid
// does not flip back and forth while a window is resized. Column counts that
// would leave a column empty are skipped. No clocks or no space: 1 by 1.
GridLayout chooseGridLayout(QSizeF size, double spacing, int count, ClockDisplayMode mode);

// The common cell size of `layout` in `size`.
QSizeF gridCellSize(QSizeF size, double spacing, GridLayout layout);

// Scale of an analog cell's caption: the cell's smaller side / 220, kept
// within 0.7...1.6.
double gridCaptionScale(QSizeF cell);

}  // namespace corvane
