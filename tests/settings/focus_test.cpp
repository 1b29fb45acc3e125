// Keyboard use of the settings window: Tab reaches every control once, in
// the order the page shows them, and wherever the focus is, a ring shows it.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QVBoxLayout>
#include <QLineEdit>
#include <set>

#include "SettingsHarness.h"
#include "settings/AboutPage.h"
#include "settings/SwitchToggle.h"
#include "settings/TwoColumns.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClockDesignPanel.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DesignTile.h"
#include "settings/display/DialPreview.h"
#include "settings/display/RowStack.h"
#include "settings/kit/ColorButton.h"
#include "settings/kit/WrappingCheckBox.h"
#include "shell/components/FocusRing.h"
#include "shell/components/IconButton.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

QString describe(const QWidget* w) {
    QString name = w->accessibleName();
    if (name.isEmpty())
        if (auto* b = qobject_cast<const QAbstractButton*>(w)) name = b->text();
    return QStringLiteral("%1 \"%2\" at %3,%4")
        .arg(QString::fromLatin1(w->metaObject()->className()), name)
        .arg(w->mapTo(w->window(), QPoint()).x())
        .arg(w->mapTo(w->window(), QPoint()).y());
}

// Every control of `root` that Tab should stop at.
std::set<QWidget*> tabStops(QWidget* root) {
    std::set<QWidget*> out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (w->window() != root->window() || !w->isVisible() || !w->isEnabled()) continue;
        if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus || w->focusProxy()) continue;
        out.insert(w);
    }
    return out;
}

// The controls visited by Tab from `first` until the focus comes back to it.
std::vector<QWidget*> tabWalk(QWidget* first) {
    first->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> seen{first};
    for (int i = 0; i < 400; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        if (!now || now == first) break;
        seen.push_back(now);
    }
    return seen;
}

QRect globalRect(const QWidget* w) { return {w->mapToGlobal(QPoint()), w->size()}; }

const TwoColumns* columnsOf(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (auto* t = qobject_cast<const TwoColumns*>(p)) return t;
    return nullptr;
}

// Whether a reader meets `a` before `b`: the sidebar first; on a two-column
// page the left column before the right; else line by line, left to right.
bool readsBefore(const QWidget* a, const QWidget* b, const QWidget* sidebar) {
    const bool sideA = sidebar && sidebar->isAncestorOf(a), sideB = sidebar && sidebar->isAncestorOf(b);
    if (sideA != sideB) return sideA;
    const QRect ra = globalRect(a), rb = globalRect(b);
    const TwoColumns* ta = columnsOf(a);
    if (ta && ta == columnsOf(b)) {
        const int mid = ta->mapToGlobal(ta->rect().center()).x();
        const bool rightA = ra.center().x() > mid, rightB = rb.center().x() > mid;
        if (rightA != rightB) return rightB;
    }
    const int overlap = std::min(ra.bottom(), rb.bottom()) - std::max(ra.top(), rb.top());
    if (overlap > std::min(ra.height(), rb.height()) / 2) return ra.left() < rb.left();
    return ra.top() < rb.top();
}

// Tab from the first category through the page and back: every stop once,
// in reading order.
void expectReadingOrder(SettingsHarness& h, const char* where) {
    SettingsView& view = *h.root->view();
    const std::vector<QWidget*> seen = tabWalk(view.categoryButtons().front());
    const std::set<QWidget*> stops = tabStops(h.root.get());
    std::set<QWidget*> unique(seen.begin(), seen.end());
    EXPECT_EQ(unique.size(), seen.size()) << where << ": a control was visited twice";
    for (QWidget* w : stops)
        EXPECT_TRUE(unique.count(w)) << where << ": never reached " << describe(w).toStdString();
    for (QWidget* w : unique)
        EXPECT_TRUE(stops.count(w)) << where << ": stopped at " << describe(w).toStdString();
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_TRUE(readsBefore(seen[i - 1], seen[i], view.sidebar()))
            << where << ": " << describe(seen[i]).toStdString() << " came after "
            << describe(seen[i - 1]).toStdString();
}

AppSettings withClocks(int n) {
    AppSettings s = SettingsHarness::quietSettings();
    s.clocks.clear();
    const char* zones[] = {"Europe/Berlin", "Asia/Tokyo", "America/New_York", "Europe/London"};
    for (int i = 0; i < n; ++i) {
        ClockEntry c;
        c.id = QStringLiteral("clock-%1").arg(i);
        c.timeZoneID = QString::fromLatin1(zones[i % 4]);
        s.clocks.push_back(c);
    }
    return s;
}

}  // namespace

TEST(SettingsFocus, TabVisitsEveryControlOfEachPageOnceInReadingOrder) {
    for (SettingsCategory category : EnumCases<SettingsCategory>::values) {
        SettingsHarness h;
        h.open(withClocks(3), category, {940, 640});
        QApplication::setActiveWindow(h.root.get());
        expectReadingOrder(h, title(category).toUtf8().constData());
        // A look at the ring in place: the page's fourth stop, reached by Tab.
        QWidget* first = h.root->view()->categoryButtons().back();
        first->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < 4; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_NE(FocusRing::shownOn(QApplication::focusWidget()), nullptr);
        h.shoot(QStringLiteral("focus-page-") + rawValue(category));
    }
}

TEST(SettingsFocus, RowsThatAppearWithAnOptionAreReachedInPlace) {
    // The radio wake editor of an alarm, the coordinates of the dusk, an own
    // sound file: shown by an option, they take their place in the chain.
    AppSettings s = withClocks(1);
    s.alarms[0].isEnabled = true;
    s.alarms[0].wakeWithRadio = true;
    s.alarms[1].sound.source = SoundSource::customFile;
    s.dusk.source = DuskSource::sun;
    for (SettingsCategory category : {SettingsCategory::alarms, SettingsCategory::design}) {
        SettingsHarness h;
        h.open(s, category, {940, 640});
        QApplication::setActiveWindow(h.root.get());
        expectReadingOrder(h, title(category).toUtf8().constData());
    }
    // Switched on while the page is open.
    for (SettingsCategory category : {SettingsCategory::alarms, SettingsCategory::design}) {
        SettingsHarness h;
        h.open(withClocks(1), category, {940, 640});
        QApplication::setActiveWindow(h.root.get());
        h.model->editSettings([&](AppSettings& next) {
            next.alarms = s.alarms;
            next.dusk = s.dusk;
        });
        h.settle();
        expectReadingOrder(h, (title(category) + QStringLiteral(", switched on")).toUtf8().constData());
    }
}

TEST(SettingsFocus, TabFollowsTheClockRowsAfterAddMoveAndRemove) {
    SettingsHarness h;
    h.open(withClocks(3), SettingsCategory::display, {940, 640});
    QApplication::setActiveWindow(h.root.get());
    auto* card = h.page()->findChild<ClocksCard*>();
    ASSERT_NE(card, nullptr);

    h.click(card->addButton());
    ASSERT_EQ(card->rowCount(), 4);
    expectReadingOrder(h, "after add");

    // Moved by keyboard: the focus stays on the moved row's button.
    QWidget* down = card->row(0)->downButton();
    down->setFocus(Qt::TabFocusReason);
    QTest::keyClick(down, Qt::Key_Space);
    card->rows()->motion()->setCurrentTime(RowStack::kDurationMs);  // the rows at rest
    EXPECT_EQ(card->row(1)->downButton(), down);
    EXPECT_EQ(QApplication::focusWidget(), down);
    expectReadingOrder(h, "after move");

    // Removed by keyboard: the focus goes on to the same button of the row
    // that takes the place, not into the row fading out.
    QWidget* remove = card->row(2)->removeButton();
    remove->setFocus(Qt::TabFocusReason);
    QTest::keyClick(remove, Qt::Key_Space);
    card->rows()->motion()->setCurrentTime(RowStack::kDurationMs);
    ASSERT_EQ(card->rowCount(), 3);
    EXPECT_EQ(QApplication::focusWidget(), card->row(2)->removeButton());
    expectReadingOrder(h, "after remove");
}

TEST(SettingsFocus, TabGoesThroughTheDesignPanelInReadingOrder) {
    SettingsHarness h;
    h.open(withClocks(2), SettingsCategory::display, {940, 640});
    QApplication::setActiveWindow(h.root.get());
    ClockDesignButton* button = h.page()->findChild<ClocksCard*>()->row(0)->designButton();
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);
    ClockDesignPanel* panel = button->panel();
    ASSERT_TRUE(panel->isVisible());
    QApplication::setActiveWindow(panel);
    const std::vector<QWidget*> seen = tabWalk(panel->tile(0));
    const std::set<QWidget*> stops = tabStops(panel);
    EXPECT_EQ(std::set<QWidget*>(seen.begin(), seen.end()), stops);
    EXPECT_EQ(seen.size(), stops.size());
    EXPECT_EQ(seen.size(), std::size_t(10 + 2 + 16 + 1)) << "tiles, toggle and colour, swatches, apply to all";
    for (std::size_t i = 1; i < seen.size(); ++i)
        EXPECT_TRUE(readsBefore(seen[i - 1], seen[i], nullptr))
            << describe(seen[i]).toStdString() << " came after " << describe(seen[i - 1]).toStdString();
    panel->hide();
}

TEST(SettingsFocus, EveryKitControlPaintsItsKeyboardFocus) {
    ThemeProvider provider;
    for (bool dark : {false, true}) {
        provider.setColors(ThemeColors::make(dark ? ThemeMode::dark : ThemeMode::light, std::nullopt, true, 0));
        SettingsHarness models;
        AppModel& model = models.make();
        QWidget host;
        ThemeProvider::attach(&host, &provider);
        auto* row = new QVBoxLayout(&host);
        // The first stop takes the focus first, so every control under test
        // is reached by Tab.
        auto* start = new QLineEdit(&host);
        row->addWidget(start);
        ClockEntry clock = model.settings().clocks.front();
        auto* accent = new ThemedButton(QStringLiteral("Uhr hinzufügen"));
        accent->setAccent(true);
        std::vector<QWidget*> controls{accent,
                                       new ThemedButton(QStringLiteral("Im Dateimanager zeigen")),
                                       new IconButton(QStringLiteral("chevron.up"), QStringLiteral("Nach vorne"), 26),
                                       new SwitchToggle(QStringLiteral("Wecker aktiv")),
                                       new SwatchButton(QStringLiteral("#1F3A5F")),
                                       new DesignTile(model, QStringLiteral("Standard"), {50, 10, 5, 3, 74}),
                                       new ClockDesignButton(model, clock, 0),
                                       new ColorButton(QStringLiteral("Farbe"), [] { return QColor(Qt::red); }),
                                       new WrappingCheckBox(QStringLiteral("Datum anzeigen")),
                                       new QCheckBox(QStringLiteral("Endlos wiederholen"))};
        for (QWidget* c : controls) {
            c->setFocusPolicy(Qt::StrongFocus);
            row->addWidget(c);
        }
        host.resize(280, host.sizeHint().height());
        host.show();
        QApplication::setActiveWindow(&host);
        start->setFocus(Qt::TabFocusReason);
        QTest::qWait(1);
        for (QWidget* c : controls) {
            // What the user sees of the control: a ring may stand around it.
            const QRect around = c->geometry().adjusted(-8, -8, 8, 8);
            const QImage before = host.grab(around).toImage();
            const QSize hint = c->sizeHint();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(QApplication::focusWidget(), c) << describe(c).toStdString();
            EXPECT_NE(FocusRing::shownOn(c), nullptr) << describe(c).toStdString();
            const QImage focused = host.grab(around).toImage();
            EXPECT_NE(before, focused) << describe(c).toStdString() << " looks the same with focus";
            EXPECT_EQ(c->sizeHint(), hint) << "the ring takes no room";
            QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
            host.grab(around)
                .scaled(around.size() * 2, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                .save(QStringLiteral(CORVANE_BUILD_DIR "/screenshots/focus-%1%2-%3.png")
                          .arg(c == accent ? QStringLiteral("Accent") : QString())
                          .arg(QString::fromLatin1(c->metaObject()->className()).section(QLatin1String("::"), -1))
                          .arg(dark ? QStringLiteral("dark") : QStringLiteral("light")));
        }
        // A click ends the keyboard's ring: the pointer shows where it went.
        QWidget* last = controls.back();
        QTest::mouseClick(last, Qt::LeftButton, {}, QPoint(4, 4));
        EXPECT_EQ(FocusRing::shownOn(last), nullptr);
        ThemeProvider::attach(&host, nullptr);
    }
}

namespace {

// What `w` and its children paint, on nothing: no background of any kind.
QImage ownPaint(QWidget* w) {
    QImage out(w->size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    w->render(&out, QPoint(), QRegion(), QWidget::DrawChildren);
    return out;
}

// Tab from the sidebar until `target` has the focus, as a keyboard user gets
// there; false when the chain never reaches it.
bool tabTo(SettingsHarness& h, QWidget* target) {
    h.root->view()->categoryButtons().front()->setFocus(Qt::TabFocusReason);
    for (int i = 0; i < 200 && QApplication::focusWidget() != target; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget() == target;
}

// The ring on `control` stands clear of everything the control draws (its
// text, its box, its dial): no ring pixel on or next to one of them, and
// ring on every side of them. Returns the ring's pixels in the control's
// coordinates.
std::vector<QPoint> expectRingClear(QWidget* control, const QImage& ink, const std::string& what) {
    // A pixel shows from a quarter of coverage on; fainter antialiasing
    // fringes of two edges may meet without the eye seeing them touch.
    constexpr int kShows = 64;
    std::vector<QPoint> ringPixels;
    FocusRing* ring = FocusRing::shownOn(control);
    EXPECT_NE(ring, nullptr) << what;
    if (!ring) return ringPixels;
    // Nothing of it cut: the widget it lives in holds it whole.
    EXPECT_TRUE(ring->parentWidget()->rect().contains(ring->geometry())) << what;
    const QImage picture = ownPaint(ring);
    const QPoint shift = ring->mapTo(ring->window(), QPoint()) - control->mapTo(control->window(), QPoint());
    auto inked = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < ink.width() && y < ink.height() && qAlpha(ink.pixel(x, y)) > kShows;
    };
    QRect inkBox;
    for (int y = 0; y < ink.height(); ++y)
        for (int x = 0; x < ink.width(); ++x)
            if (inked(x, y)) inkBox |= QRect(x, y, 1, 1);
    EXPECT_FALSE(inkBox.isEmpty()) << what;
    int touching = 0;
    bool left = false, right = false, above = false, below = false;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(picture.pixel(x, y)) <= kShows) continue;
            const QPoint at = QPoint(x, y) + shift;
            ringPixels.push_back(at);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) touching += inked(at.x() + dx, at.y() + dy);
            left = left || at.x() < inkBox.left();
            right = right || at.x() > inkBox.right();
            above = above || at.y() < inkBox.top();
            below = below || at.y() > inkBox.bottom();
        }
    }
    EXPECT_FALSE(ringPixels.empty()) << what;
    EXPECT_EQ(touching, 0) << what << ": the ring covers or touches what it marks";
    EXPECT_TRUE(left && right && above && below) << what << ": the ring does not go round it";
    return ringPixels;
}

// A close look at the ring in its place, four times enlarged.
void shootRing(QWidget* control, const QString& name) {
    QWidget* window = control->window();
    const QRect around = QRect(control->mapTo(window, QPoint()), control->size()).adjusted(-10, -10, 10, 10);
    QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
    window->grab(around).scaled(around.size() * 4, Qt::KeepAspectRatio, Qt::FastTransformation)
        .save(QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + name + QStringLiteral(".png"));
}

QImage unfocusedInk(QWidget* control) { return ownPaint(control); }

}  // namespace

TEST(FocusRing, StandsClearOfTheTextAndTheDialItMarks) {
    for (ThemeMode theme : {ThemeMode::light, ThemeMode::dark}) {
        const QString look = theme == ThemeMode::dark ? QStringLiteral("dark") : QStringLiteral("light");
        AppSettings s = withClocks(2);
        s.theme = theme;
        s.dialStyle = DialStyle::classic;  // the dial with the accent-coloured rim
        s.clocks[1].faceColor = QStringLiteral("#F2C14E");  // an own design: the badge
        {
            // Check boxes: the wrapping one of the general page, Qt's own on
            // the display page.
            for (SettingsCategory category : {SettingsCategory::general, SettingsCategory::display}) {
                SettingsHarness h;
                h.open(s, category, {940, 640});
                QApplication::setActiveWindow(h.root.get());
                QCheckBox* box = h.find<QCheckBox>(QStringLiteral("Datum anzeigen"));
                ASSERT_NE(box, nullptr);
                const QImage ink = unfocusedInk(box);
                ASSERT_TRUE(tabTo(h, box));
                const std::string what = (look + QStringLiteral(" ") + rawValue(category)).toStdString();
                expectRingClear(box, ink, what + " check box");
                shootRing(box, QStringLiteral("focus-ring-%1-checkbox-%2").arg(rawValue(category), look));
            }
        }
        {
            SettingsHarness h;
            h.open(s, SettingsCategory::about, {940, 640});
            QApplication::setActiveWindow(h.root.get());
            for (const QString& text : {Maker::webText(), Maker::mail()}) {
                auto* link = h.find<QAbstractButton>(text);
                ASSERT_NE(link, nullptr);
                const QImage ink = unfocusedInk(link);
                ASSERT_TRUE(tabTo(h, link));
                expectRingClear(link, ink, look.toStdString() + " link " + text.toStdString());
            }
            shootRing(h.find<QAbstractButton>(Maker::mail()), QStringLiteral("focus-ring-link-") + look);
        }
        {
            SettingsHarness h;
            h.open(s, SettingsCategory::display, {940, 640});
            QApplication::setActiveWindow(h.root.get());
            auto* card = h.page()->findChild<ClocksCard*>();
            ASSERT_NE(card, nullptr);
            for (int i = 0; i < 2; ++i) {
                ClockDesignButton* button = card->row(i)->designButton();
                ASSERT_EQ(button->preview()->look().badge, i == 1);
                const QImage ink = unfocusedInk(button);
                ASSERT_TRUE(tabTo(h, button));
                const std::string what = look.toStdString() + " design button " + std::to_string(i + 1);
                // Outside the dial's round frame, a gap away from its rim.
                const QPointF centre(ClockDesignButton::kSide / 2.0, ClockDesignButton::kSide / 2.0);
                double nearest = 1e9;
                for (const QPoint& p : expectRingClear(button, ink, what))
                    nearest = std::min(nearest, std::hypot(p.x() + 0.5 - centre.x(), p.y() + 0.5 - centre.y()));
                EXPECT_GE(nearest, ClockDesignButton::kSide / 2.0 + 1) << what;
                shootRing(button, QStringLiteral("focus-ring-design-%1-%2").arg(i + 1).arg(look));
            }
        }
    }
}

TEST(SettingsFocus, AClickOnACategoryTakesTheFocusAndTabGoesOnIntoItsPage) {
    const struct {
        SettingsCategory clicked;
        int sidebarStopsAfter;  // categories below it, which Tab passes first
    } cases[] = {{SettingsCategory::about, 0}, {SettingsCategory::general, 7}, {SettingsCategory::alarms, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(rawValue(c.clicked).toStdString());
        SettingsHarness h;
        h.open(withClocks(2), SettingsCategory::display, {940, 640});
        QApplication::setActiveWindow(h.root.get());
        SettingsView& view = *h.root->view();
        // The keyboard is on the display page.
        view.categoryButtons().back()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(h.page()->isAncestorOf(QApplication::focusWidget()));

        CategoryButton* button = view.categoryButtons()[std::size_t(c.clicked)];
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        h.settle();
        ASSERT_EQ(h.model->selectedCategory(), c.clicked);
        EXPECT_EQ(QApplication::focusWidget(), button);
        EXPECT_EQ(FocusRing::shownOn(button), nullptr) << "a click shows where it went by itself";

        for (int i = 0; i < c.sidebarStopsAfter; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_TRUE(view.sidebar()->isAncestorOf(QApplication::focusWidget()));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr);
        EXPECT_TRUE(h.page()->isAncestorOf(now)) << "Tab went to " << describe(now).toStdString();
        // The first control of the page shown, where a reader starts.
        for (QWidget* w : tabStops(h.page()))
            EXPECT_FALSE(w != now && readsBefore(w, now, view.sidebar())) << describe(w).toStdString();
        EXPECT_NE(FocusRing::shownOn(now), nullptr) << "the keyboard shows its ring again";
    }
}
