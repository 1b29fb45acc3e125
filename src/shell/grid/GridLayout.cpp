#include "shell/grid/GridLayout.h"

#include <algorithm>
#include <cmath>

namespace corvane {

double gridShapeFactor(ClockDisplayMode mode) { return mode == ClockDisplayMode::analog ? 0.82 : 2.4; }

GridLayout chooseGridLayout(QSizeF size, double spacing, int count, ClockDisplayMode mode) {
    const double w = size.width();
    const double h = size.height();
    // `!(x > 0)` also turns away a NaN size.
    if (count <= 0 || !(w > 0) || !(h > 0)) return {1, 1};
    const double k = gridShapeFactor(mode);
    double bestScore = -1;
    GridLayout best{1, count};
    for (int c = 1; c <= count; ++c) {
        const int r = int(std::ceil(double(count) / double(c)));
        if (c >= 2 && (c - 1) * r >= count) continue;
        const double cw = (w - spacing * (c - 1)) / c;
        const double ch = (h - spacing * (r - 1)) / r;
        const double score = std::min(cw, k * ch);
        if (score > bestScore + 0.5) {
            bestScore = score;
            best = {c, r};
        }
    }
    return best;
}

QSizeF gridCellSize(QSizeF size, double spacing, GridLayout layout) {
    const int cols = std::max(1, layout.cols);
    const int rows = std::max(1, layout.rows);
    return {(size.width() - spacing * (cols - 1)) / cols, (size.height() - spacing * (rows - 1)) / rows};
}

double gridCaptionScale(QSizeF cell) {
    double s = std::min(cell.width(), cell.height()) / 220.0;
    if (!(s > 0.7)) s = 0.7;
    if (s > 1.6) s = 1.6;
    return s;
}

}  // namespace corvane
