#include <gtest/gtest.h>

#include <QWidget>
#include <limits>

#include "shell/layout/FlowLayout.h"

using namespace corvane;

namespace {

std::vector<std::vector<int>> itemsOf(const std::vector<FlowLayout::Row>& rows) {
    std::vector<std::vector<int>> out;
    for (const auto& r : rows) out.push_back(r.items);
    return out;
}

// A widget with a fixed natural size, like a timer bar.
QWidget* box(QWidget* parent, int w, int h) {
    auto* b = new QWidget(parent);
    b->setFixedSize(w, h);
    return b;
}

}  // namespace

TEST(FlowLayoutRows, Table) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        std::vector<QSizeF> sizes;
        double width;
        std::vector<std::vector<int>> rows;
        QSizeF size;
    };
    const Case cases[] = {
        {"nothing", {}, 300, {}, {0, 0}},
        {"unlimited width keeps one row", {{100, 20}, {150, 30}, {90, 10}}, inf, {{0, 1, 2}}, {356, 30}},
        {"third item breaks", {{100, 20}, {100, 30}, {100, 25}}, 216, {{0, 1}, {2}}, {208, 63}},
        {"exactly fitting joins the row", {{100, 20}, {100, 20}}, 208, {{0, 1}}, {208, 20}},
        {"one point short breaks", {{100, 20}, {100, 20}}, 207, {{0}, {1}}, {100, 48}},
        {"too wide item alone", {{50, 10}, {400, 20}, {50, 10}}, 200, {{0}, {1}, {2}}, {400, 56}},
        {"too wide first item", {{400, 20}}, 200, {{0}}, {400, 20}},
    };
    for (const Case& c : cases) {
        const auto rows = FlowLayout::rows(c.sizes, c.width, 8);
        EXPECT_EQ(itemsOf(rows), c.rows) << c.what;
        EXPECT_EQ(FlowLayout::size(rows, 8), c.size) << c.what;
    }
}

TEST(FlowLayout, PlacesRowsCentredAndItemsOnTheRowMiddle) {
    QWidget host;
    auto* flow = new FlowLayout(8, &host);
    QWidget* a = box(&host, 100, 20);
    QWidget* b = box(&host, 100, 40);
    QWidget* c = box(&host, 100, 30);
    for (QWidget* w : {a, b, c}) flow->addWidget(w);

    EXPECT_TRUE(flow->hasHeightForWidth());
    EXPECT_EQ(flow->heightForWidth(216), 40 + 8 + 30);
    EXPECT_EQ(flow->heightForWidth(1000), 40);
    EXPECT_EQ(flow->sizeHint(), QSize(316, 40));

    flow->setGeometry(QRect(0, 0, 216, 78));
    EXPECT_EQ(a->geometry(), QRect(4, 10, 100, 20));  // (216 - 208) / 2, centred on the 40-high row
    EXPECT_EQ(b->geometry(), QRect(112, 0, 100, 40));
    EXPECT_EQ(c->geometry(), QRect(58, 48, 100, 30));  // (216 - 100) / 2

    // An item wider than the space overhangs both edges equally.
    QWidget wide;
    auto* single = new FlowLayout(8, &wide);
    QWidget* big = box(&wide, 300, 20);
    single->setSizeConstraint(QLayout::SetNoConstraint);
    single->addWidget(big);
    single->setGeometry(QRect(0, 0, 200, 20));
    EXPECT_EQ(big->geometry(), QRect(-50, 0, 300, 20));
}

// The map page's legend: every row starts at the leading edge, also the
// wrapped one, and in a right-to-left layout that edge is the right one.
TEST(FlowLayout, LeadingRowsStartAtTheLeadingEdge) {
    for (const Qt::LayoutDirection direction : {Qt::LeftToRight, Qt::RightToLeft}) {
        QWidget host;
        host.setLayoutDirection(direction);
        auto* flow = new FlowLayout(8, &host, FlowLayout::Rows::leading);
        QWidget* a = box(&host, 100, 20);
        QWidget* b = box(&host, 100, 40);
        QWidget* c = box(&host, 100, 30);
        for (QWidget* w : {a, b, c}) flow->addWidget(w);
        flow->setGeometry(QRect(0, 0, 300, 78));
        const bool ltr = direction == Qt::LeftToRight;
        EXPECT_EQ(a->geometry(), ltr ? QRect(0, 10, 100, 20) : QRect(200, 10, 100, 20));
        EXPECT_EQ(b->geometry(), ltr ? QRect(108, 0, 100, 40) : QRect(92, 0, 100, 40));
        // 3 x 100 + 2 x 8 does not fit 300: the third starts the next row.
        EXPECT_EQ(c->geometry(), ltr ? QRect(0, 48, 100, 30) : QRect(200, 48, 100, 30));
    }
}

TEST(FlowLayout, HiddenItemsTakeNoPlaceAndEmptyLayoutIsZero) {
    QWidget host;
    auto* flow = new FlowLayout(8, &host);
    EXPECT_EQ(flow->sizeHint(), QSize(0, 0));
    EXPECT_EQ(flow->heightForWidth(300), 0);
    QWidget* a = box(&host, 100, 20);
    QWidget* b = box(&host, 100, 20);
    flow->addWidget(a);
    flow->addWidget(b);
    a->hide();
    EXPECT_EQ(flow->sizeHint(), QSize(100, 20));
    flow->setGeometry(QRect(0, 0, 300, 20));
    EXPECT_EQ(b->geometry(), QRect(100, 0, 100, 20));
}

TEST(FlowLayout, ADeletedWidgetLeavesNoItemBehind) {
    // A timer bar that goes away is deleted: its item goes with it, and the
    // others close up.
    QWidget host;
    auto* flow = new FlowLayout(8, &host);
    QWidget* a = box(&host, 100, 20);
    QWidget* b = box(&host, 100, 20);
    QWidget* c = box(&host, 100, 20);
    for (QWidget* w : {a, b, c}) flow->addWidget(w);
    delete b;
    ASSERT_EQ(flow->count(), 2);
    EXPECT_EQ(flow->itemAt(0)->widget(), a);
    EXPECT_EQ(flow->itemAt(1)->widget(), c);
    EXPECT_EQ(flow->itemAt(2), nullptr);
    EXPECT_EQ(flow->sizeHint(), QSize(208, 20));
    flow->setGeometry(QRect(0, 0, 208, 20));
    EXPECT_EQ(c->geometry(), QRect(108, 0, 100, 20));
}
