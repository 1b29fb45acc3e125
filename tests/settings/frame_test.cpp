// The settings window's frame: sidebar, page pane and the palette that
// reaches the plain controls of the pages.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "SettingsHarness.h"
#include "settings/TwoColumns.h"
#include "shell/components/Icons.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

std::vector<SettingsCategory> highlighted(const SettingsView& view) {
    std::vector<SettingsCategory> out;
    for (const CategoryButton* b : view.categoryButtons())
        if (b->isSelected()) out.push_back(b->category());
    return out;
}

// Two columns filling a host window of their own, with nothing around them.
struct ColumnsHost {
    QWidget host;
    TwoColumns* columns = new TwoColumns;

    ColumnsHost() {
        auto* layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(columns);
    }
    void show(int width) {
        host.resize(width, 400);
        host.show();
        QCoreApplication::processEvents();
    }
    QRect placeOf(const QWidget* w) { return {w->mapTo(&host, QPoint()), w->size()}; }
};

// A card of the given height that takes whatever width its column has.
QWidget* card(int height) {
    auto* w = new QWidget;
    w->setFixedHeight(height);
    w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return w;
}

}  // namespace

TEST(SettingsFrame, SidebarListsEveryCategoryInOrderAndHighlightsExactlyOne) {
    SettingsHarness h;
    SettingsRoot& root = h.open(SettingsCategory::display);
    SettingsView& view = *root.view();

    const std::vector<std::pair<SettingsCategory, const char*>> expected = {
        {SettingsCategory::general, "Allgemein"}, {SettingsCategory::display, "Anzeige"},
        {SettingsCategory::worldMap, "Weltkarte"}, {SettingsCategory::design, "Design"},
        {SettingsCategory::alarms, "Wecker"},     {SettingsCategory::countdown, "Countdown"},
        {SettingsCategory::stopwatch, "Stoppuhr"}, {SettingsCategory::about, "Über"}};
    ASSERT_EQ(view.categoryButtons().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const CategoryButton* b = view.categoryButtons()[i];
        EXPECT_EQ(b->category(), expected[i].first);
        EXPECT_EQ(b->text(), QString::fromUtf8(expected[i].second));
        EXPECT_TRUE(icons::has(CategoryButton::symbolOf(b->category()))) << expected[i].second;
        // Rows follow each other top to bottom.
        if (i > 0) {
            EXPECT_GT(b->y(), view.categoryButtons()[i - 1]->y());
        }
    }

    // By click, and by the shell opening the window on a page: either way
    // exactly one row is lit, and title and page follow together.
    for (const auto& [category, name] : expected) {
        QWidget* before = view.page();
        h.click(view.categoryButtons()[std::size_t(int(category))]);
        EXPECT_EQ(h.model->selectedCategory(), category);
        EXPECT_EQ(highlighted(view), std::vector<SettingsCategory>{category});
        EXPECT_EQ(view.pageTitle()->text(), QString::fromUtf8(name));
        if (category != SettingsCategory::display) {
            EXPECT_NE(view.page(), before) << name;
        }
    }
    h.model->openSettings(SettingsCategory::countdown);
    h.settle();
    EXPECT_EQ(highlighted(view), std::vector<SettingsCategory>{SettingsCategory::countdown});
    EXPECT_EQ(view.pageTitle()->text(), QStringLiteral("Countdown"));
}

TEST(SettingsFrame, ThemeChangeReachesPlainControlsAtOnce) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.theme = ThemeMode::light;
    SettingsRoot& root = h.open(s, SettingsCategory::general);
    const ThemeColors light = h.model->theme();
    ASSERT_FALSE(light.isDark);

    // A control a page adds later inherits as well.
    auto* box = new QCheckBox(QStringLiteral("Probe"), h.page());
    const auto colours = [&](const QWidget* w) {
        return std::make_tuple(w->palette().color(QPalette::Base), w->palette().color(QPalette::WindowText),
                               w->palette().color(QPalette::Highlight));
    };
    EXPECT_EQ(colours(box), std::make_tuple(light.background.toQColor(), light.foreground.toQColor(),
                                            light.accent.toQColor()));

    h.model->editSettings([](AppSettings& next) { next.theme = ThemeMode::dark; });
    h.settle();
    const ThemeColors dark = h.model->theme();
    ASSERT_TRUE(dark.isDark);
    EXPECT_EQ(colours(box), std::make_tuple(dark.background.toQColor(), dark.foreground.toQColor(),
                                            dark.accent.toQColor()));
    EXPECT_EQ(themeOf(box), dark);
    // The labels of the kit repaint in the new palette too.
    auto* title = root.view()->pageTitle();
    EXPECT_EQ(title->palette().color(QPalette::WindowText), dark.foreground.toQColor());
    // And the window itself.
    const QImage shot = root.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(root.width() - 3, root.height() - 3)), dark.background.toQColor());
}

TEST(SettingsFrame, AtTheSmallestSizeSidebarKeepsItsWidthAndTheNoteSitsAtTheBottom) {
    SettingsHarness h;
    SettingsRoot& root = h.open(SettingsCategory::general);
    ASSERT_EQ(root.size(), QSize(820, 520));
    QWidget* sidebar = root.view()->sidebar();
    EXPECT_EQ(sidebar->width(), SettingsView::kSidebarWidth);
    EXPECT_EQ(sidebar->height(), 520);
    Caption* note = nullptr;
    for (Caption* c : sidebar->findChildren<Caption*>())
        if (c->text().startsWith(QStringLiteral("Änderungen"))) note = c;
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->geometry().bottom() + 1, sidebar->height() - 12);
    EXPECT_LE(note->geometry().right(), SettingsView::kSidebarWidth - 12) << "the note wraps inside";

    // A page taller than the pane scrolls under a title that stays put.
    auto* tall = new QWidget;
    tall->setMinimumHeight(2000);
    h.page()->layout()->addWidget(tall);
    h.settle();
    QScrollArea* scroll = root.view()->scrollArea();
    const QPoint titleAt = root.view()->pageTitle()->mapTo(&root, QPoint());
    ASSERT_GT(scroll->verticalScrollBar()->maximum(), 0);
    scroll->verticalScrollBar()->setValue(500);
    h.settle();
    EXPECT_EQ(root.view()->pageTitle()->mapTo(&root, QPoint()), titleAt);
}

TEST(TwoColumns, ColumnsStackWhereAColumnCannotBeThatNarrow) {
    ColumnsHost h;
    TwoColumns* columns = h.columns;
    QWidget* left = card(40);
    // A control that needs 280 of the row, say a menu's longest entry.
    QWidget* right = card(60);
    right->setMinimumWidth(280);
    columns->addLeft(left);
    columns->addRight(right);
    h.show(614);
    EXPECT_EQ(left->width(), 300);
    EXPECT_EQ(right->width(), 300);
    EXPECT_EQ(left->mapTo(columns, QPoint()).y(), right->mapTo(columns, QPoint()).y()) << "side by side";

    h.host.resize(500, 400);
    QCoreApplication::processEvents();
    const QRect leftAt = h.placeOf(left);
    const QRect rightAt = h.placeOf(right);
    EXPECT_EQ(rightAt.width(), 500) << "the right column under the left, at the full width";
    EXPECT_EQ(leftAt.width(), 500);
    EXPECT_EQ(rightAt.top(), leftAt.bottom() + 1 + TwoColumns::kColumnSpacing);
    EXPECT_GE(columns->height(), 40 + TwoColumns::kColumnSpacing + 60);
}

TEST(TwoColumns, ColumnsShareTheWidthAndStartAtTheSameHeight) {
    ColumnsHost h;
    TwoColumns* columns = h.columns;
    QWidget* shortCard = card(40);
    QWidget* tallCard = card(300);
    // A wide child must not win its column more than half.
    auto* wide = new QLabel(QString(80, QLatin1Char('W')));
    columns->addLeft(shortCard);
    columns->addRight(tallCard);
    columns->addLeft(wide);
    wide->setWordWrap(true);
    h.show(614);
    const QRect shortAt = h.placeOf(shortCard);
    const QRect tallAt = h.placeOf(tallCard);
    EXPECT_EQ(shortAt.y(), tallAt.y());
    EXPECT_EQ(shortAt.width(), 300);
    EXPECT_EQ(tallAt.width(), 300);
    EXPECT_EQ(tallAt.x() - shortAt.right() - 1, TwoColumns::kSpacing);
}
