#include <gtest/gtest.h>

#include "shell/grid/GridLayout.h"

using namespace corvane;

namespace {
constexpr auto kAnalog = ClockDisplayMode::analog;
constexpr auto kDigital = ClockDisplayMode::digital;
}  // namespace

TEST(ChooseGridLayout, Table) {
    struct Case {
        const char* what;
        int count;
        QSizeF size;
        ClockDisplayMode mode;
        GridLayout expected;
    };
    const Case cases[] = {
        {"no clocks", 0, {760, 460}, kAnalog, {1, 1}},
        {"zero width", 4, {0, 460}, kAnalog, {1, 1}},
        {"negative height", 4, {760, -5}, kDigital, {1, 1}},
        {"empty size", 3, {0, 0}, kDigital, {1, 1}},
        {"one clock", 1, {760, 460}, kAnalog, {1, 1}},
        {"4 analog, wide and low", 4, {760, 400}, kAnalog, {4, 1}},
        {"4 analog, default window", 4, {760, 460}, kAnalog, {2, 2}},
        {"4 analog, tall", 4, {400, 760}, kAnalog, {2, 2}},
        {"6 analog", 6, {760, 460}, kAnalog, {3, 2}},
        {"6 digital favour wide cells", 6, {760, 460}, kDigital, {2, 3}},
        {"2 analog side by side", 2, {760, 460}, kAnalog, {2, 1}},
        {"2 digital stacked", 2, {760, 460}, kDigital, {1, 2}},
        {"2 analog, narrow", 2, {300, 700}, kAnalog, {1, 2}},
        {"2 digital, narrow", 2, {300, 700}, kDigital, {1, 2}},
        {"3 analog, last row short", 3, {500, 700}, kAnalog, {2, 2}},
        {"5 analog in a strip", 5, {1200, 200}, kAnalog, {5, 1}},
        {"5 analog, default window", 5, {760, 460}, kAnalog, {3, 2}},
        // Digital scores here are 60 (one column) against exactly 60.5 and 61
        // (two columns): beating the best by half a point is not enough.
        {"better by exactly 0.5 keeps fewer columns", 2, {131, 60}, kDigital, {1, 2}},
        {"better by more than 0.5 wins", 2, {132, 60}, kDigital, {2, 1}},
        {"24 clocks", 24, {1280, 800}, kAnalog, {6, 4}},
    };
    // The hysteresis fixture relies on these products being exact.
    ASSERT_EQ(2.4 * 25.0, 60.0);
    for (const Case& c : cases) {
        const GridLayout got = chooseGridLayout(c.size, 10, c.count, c.mode);
        EXPECT_EQ(got.cols, c.expected.cols) << c.what;
        EXPECT_EQ(got.rows, c.expected.rows) << c.what;
    }
}

TEST(ChooseGridLayout, NeverLeavesAColumnEmptyAndHoldsEveryClock) {
    // E.g. for 5 clocks 4 columns would need 2 rows, which 3 columns already give.
    for (int n = 1; n <= 24; ++n) {
        for (double w = 50; w <= 3000; w += 137) {
            for (double h = 50; h <= 2000; h += 151) {
                for (auto mode : {kAnalog, kDigital}) {
                    const GridLayout l = chooseGridLayout({w, h}, 10, n, mode);
                    ASSERT_GE(l.cols * l.rows, n) << n << " " << w << "x" << h;
                    ASSERT_LT((l.cols - 1) * l.rows, n) << n << " " << w << "x" << h;
                    ASSERT_FALSE(n == 5 && l.cols == 4);
                }
            }
        }
    }
}

TEST(ChooseGridLayout, NotANumberSizeGivesOneCell) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(chooseGridLayout({nan, 400}, 10, 4, kAnalog), (GridLayout{1, 1}));
    EXPECT_EQ(chooseGridLayout({400, nan}, 10, 4, kAnalog), (GridLayout{1, 1}));
}

TEST(GridCellSize, SharesTheSpaceMinusTheGaps) {
    EXPECT_EQ(gridCellSize({760, 460}, 10, {2, 2}), QSizeF(375, 225));
    EXPECT_EQ(gridCellSize({760, 460}, 10, {3, 2}), QSizeF(740.0 / 3, 225));
}

TEST(GridCaptionScale, ClampedBetweenSevenTenthsAndOnePointSix) {
    const std::pair<QSizeF, double> cases[] = {
        {{100, 100}, 0.7}, {{154, 400}, 0.7}, {{220, 220}, 1.0}, {{500, 500}, 1.6},
        {{330, 900}, 1.5}, {{0, 0}, 0.7},
    };
    for (const auto& [cell, scale] : cases) EXPECT_DOUBLE_EQ(gridCaptionScale(cell), scale) << cell.width();
}
