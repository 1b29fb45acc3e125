// The clocks card: adding, moving, removing, labels, and rows that stay the
// same widgets whatever the model does.

#include <gtest/gtest.h>

#include <QGraphicsOpacityEffect>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "DisplayHost.h"
#include "SettingsHarness.h"
#include "settings/kit/FittedLineEdit.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DialPreview.h"
#include "settings/display/RowStack.h"
#include "settings/display/TimeZoneChooser.h"
#include "shell/components/IconButton.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

std::vector<ClockEntry> clocksIn(int n, const char* zone = "Europe/Paris") {
    std::vector<ClockEntry> out;
    for (int i = 0; i < n; ++i) out.push_back(clockIn(zone));
    return out;
}

std::vector<QString> zonesOf(const AppModel& m) {
    std::vector<QString> out;
    for (const ClockEntry& c : m.settings().clocks) out.push_back(c.timeZoneID);
    return out;
}

}  // namespace

TEST(ClocksCard, AddStopsAtTwentyFourAndTakesThePresetsInOrderThenUTC) {
    {
        DisplayHost h;
        AppModel& m = h.start(withClocks(clocksIn(23)));
        auto* card = h.show(new ClocksCard(m));
        ASSERT_TRUE(card->addButton()->isEnabled());
        QTest::mouseClick(card->addButton(), Qt::LeftButton);
        EXPECT_EQ(m.settings().clocks.size(), 24u);
        EXPECT_EQ(card->rowCount(), 24);
        EXPECT_FALSE(card->addButton()->isEnabled());
        m.addClockInSettings();
        EXPECT_EQ(m.settings().clocks.size(), 24u) << "the model refuses a 25th as well";
    }
    {
        DisplayHost h;
        AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo")}));
        auto* card = h.show(new ClocksCard(m));
        for (int i = 0; i < 15; ++i) QTest::mouseClick(card->addButton(), Qt::LeftButton);
        const std::vector<QString> zones = zonesOf(m);
        ASSERT_EQ(zones.size(), 16u);
        // Tokyo is taken, so it is skipped; after all fourteen comes UTC, twice.
        const char* expected[] = {"Asia/Tokyo", "America/New_York", "Europe/London", "Australia/Sydney",
                                  "America/Los_Angeles", "Asia/Shanghai", "Asia/Dubai", "Asia/Kolkata",
                                  "America/Sao_Paulo", "Asia/Singapore", "Africa/Johannesburg", "Pacific/Auckland",
                                  "America/Chicago", "Europe/Moscow", "UTC", "UTC"};
        for (int i = 0; i < 16; ++i) EXPECT_EQ(zones[std::size_t(i)], QLatin1String(expected[i])) << i;
        EXPECT_EQ(TimeZoneButton::placeName(card->row(15)->zoneButton()->timeZoneID()), QStringLiteral("UTC"));
    }
}

TEST(ClocksCard, ControlsThatWouldLeaveTheListAreDisabledAndFaded) {
    DisplayHost h;
    AppModel& m = h.start(withClocks(clocksIn(3)));
    auto* card = h.show(new ClocksCard(m));
    struct Expect {
        bool up, down, remove;
    } rows[] = {{false, true, true}, {true, true, true}, {true, false, true}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ClockRow* row = card->row(i);
        EXPECT_EQ(row->number()->text(), QStringLiteral("%1.").arg(i + 1));
        EXPECT_EQ(row->upButton()->isEnabled(), rows[i].up);
        EXPECT_EQ(row->downButton()->isEnabled(), rows[i].down);
        EXPECT_EQ(row->removeButton()->isEnabled(), rows[i].remove);
        for (IconButton* b : {row->upButton(), row->downButton(), row->removeButton()})
            EXPECT_DOUBLE_EQ(b->look().opacity, b->isEnabled() ? 1.0 : 0.3);
    }
    m.removeClock(m.settings().clocks[2].id);
    m.removeClock(m.settings().clocks[1].id);
    ASSERT_EQ(card->rowCount(), 1);
    EXPECT_FALSE(card->row(0)->removeButton()->isEnabled());
    EXPECT_DOUBLE_EQ(card->row(0)->removeButton()->look().opacity, 0.3);
    m.removeClock(m.settings().clocks[0].id);
    EXPECT_EQ(m.settings().clocks.size(), 1u);
}

TEST(ClocksCard, MovingKeepsEachRowWithItsClockAndWhatIsTypedInIt) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo", "Eins"), clockIn("Europe/London", "Zwei")}));
    auto* card = h.show(new ClocksCard(m));
    ClockRow* second = card->row(1);
    const QString secondID = second->clockID();

    // Typing in the second row, then it moves forward under the cursor.
    QLineEdit* field = second->labelField();
    field->setFocus();
    field->setCursorPosition(2);
    QTest::mouseClick(second->upButton(), Qt::LeftButton);
    EXPECT_EQ(m.settings().clocks[0].id, secondID);
    EXPECT_EQ(card->row(0), second) << "the row was rebuilt instead of moved";
    EXPECT_EQ(card->row(0)->number()->text(), QStringLiteral("1."));
    EXPECT_EQ(card->row(1)->number()->text(), QStringLiteral("2."));
    EXPECT_FALSE(second->upButton()->isEnabled());

    field->setFocus();
    field->setCursorPosition(2);
    QTest::keyClicks(field, QStringLiteral("x"));
    EXPECT_EQ(m.settings().clocks[0].name, QStringLiteral("Zwxei"));
    // Any other change of the settings leaves the field and its cursor alone.
    m.moveClock(m.settings().clocks[1].id, -1);
    EXPECT_EQ(card->row(1), second);
    EXPECT_EQ(field->text(), QStringLiteral("Zwxei"));
    EXPECT_EQ(field->cursorPosition(), 3);
    EXPECT_TRUE(field->hasFocus());

    // Removed elsewhere while the field had focus: the edit is dropped.
    second->setLabel(QStringLiteral("weg"));
    m.removeClock(secondID);
    const AppSettings before = m.settings();
    second->setLabel(QStringLiteral("noch da?"));
    EXPECT_EQ(m.settings(), before);
}

TEST(ClocksCard, LabelsStopAtThirtyCharactersCountingEmojiAsOne) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo")}));
    auto* card = h.show(new ClocksCard(m));
    ClockRow* row = card->row(0);
    const QString family = QStringLiteral("👩‍👩‍👧‍👦");  // one character, eleven UTF-16 units
    const QString flag = QStringLiteral("🇩🇪");
    struct Case {
        QString typed;
        QString stored;
    } cases[] = {
        {QString(30, u'a'), QString(30, u'a')},
        {QString(31, u'a'), QString(30, u'a')},
        {family.repeated(31), family.repeated(30)},
        {flag.repeated(29) + QStringLiteral("xy"), flag.repeated(29) + QStringLiteral("x")},
        {QStringLiteral("e\u0301").repeated(31), QStringLiteral("e\u0301").repeated(30)},
        {QStringLiteral("   "), QStringLiteral("   ")},
        {QStringLiteral("  Büro "), QStringLiteral("  Büro ")},
    };
    for (const Case& c : cases) {
        row->setLabel(c.typed);
        EXPECT_EQ(m.settings().clocks[0].name, c.stored) << c.typed.toStdString();
        EXPECT_EQ(row->labelField()->text(), c.stored);
    }
    // Typing the 31st character changes nothing.
    row->setLabel(QString(30, u'b'));
    row->labelField()->setFocus();
    row->labelField()->end(false);
    QTest::keyClicks(row->labelField(), QStringLiteral("c"));
    EXPECT_EQ(m.settings().clocks[0].name, QString(30, u'b'));
    EXPECT_EQ(row->labelField()->text(), QString(30, u'b'));
}

TEST(ClocksCard, RowTimesAndPreviewsFollowTheirZoneAndRepaintOncePerSecond) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn(""), clockIn("Asia/Kathmandu"), clockIn("Nowhere/Atlantis")}));
    auto* card = h.show(new ClocksCard(m));
    // 05:59:50 UTC: Berlin (the local zone) 06:59:50, Kathmandu 11:44:50.
    EXPECT_EQ(card->row(0)->time()->text(), QStringLiteral("06:59:50"));
    EXPECT_EQ(card->row(1)->time()->text(), QStringLiteral("11:44:50"));
    EXPECT_EQ(card->row(2)->time()->text(), QStringLiteral("06:59:50")) << "an unknown zone reads local";
    EXPECT_EQ(card->row(1)->designButton()->preview()->shownTime().minute, 44);

    DialPreview* preview = card->row(1)->designButton()->preview();
    ModelHarness::settle();
    const int painted = preview->paintCount();
    // A fast tick inside the same second repaints nothing.
    h.clock.advance(0.04);
    m.tick();
    ModelHarness::settle();
    EXPECT_EQ(preview->paintCount(), painted);
    EXPECT_EQ(card->row(1)->time()->text(), QStringLiteral("11:44:50"));
    h.clock.advance(1.0);
    m.tick();
    ModelHarness::settle();
    EXPECT_EQ(card->row(1)->time()->text(), QStringLiteral("11:44:51"));
    EXPECT_GT(preview->paintCount(), painted);
}

namespace {

double opacityOf(const QWidget* row) {
    const auto* fade = qobject_cast<const QGraphicsOpacityEffect*>(row->graphicsEffect());
    return fade ? fade->opacity() : 1.0;
}

// The motion at `ms` of its run, as if the clock had got there.
void at(RowStack* stack, int ms) {
    stack->motion()->pause();
    stack->motion()->setCurrentTime(ms);
}

}  // namespace

TEST(ClocksCard, RowsGlideToTheirPlacesWithWhatIsOpenAndTypedInThem) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn("Asia/Tokyo"), clockIn("Europe/London"), clockIn("America/Chicago")}));
    auto* card = h.show(new ClocksCard(m));
    RowStack* stack = card->rows();
    EXPECT_EQ(stack->motion()->state(), QAbstractAnimation::Stopped) << "nothing runs while nothing moves";
    ClockRow* first = card->row(0);
    ClockRow* second = card->row(1);
    ClockRow* third = card->row(2);
    const int y0 = stack->restingY(0), y1 = stack->restingY(1), y2 = stack->restingY(2);
    ASSERT_EQ(first->y(), y0);
    ASSERT_EQ(second->y(), y1);
    const int mid = RowStack::kDurationMs / 2;

    // A move while the second row's zone chooser is open with a search half
    // typed: the two rows cross, the chooser stays as it was.
    second->zoneButton()->open();
    ZoneChooserPopup* chooser = second->zoneButton()->popup();
    QTest::keyClicks(chooser->searchField(), QStringLiteral("ber"));
    m.moveClock(second->clockID(), -1);
    at(stack, 0);
    EXPECT_EQ(second->y(), y1);
    EXPECT_EQ(first->y(), y0);
    at(stack, mid);
    EXPECT_EQ(second->y(), (y0 + y1 + 1) / 2);
    EXPECT_EQ(first->y(), (y0 + y1 + 1) / 2);
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->searchField()->text(), QStringLiteral("ber"));
    at(stack, RowStack::kDurationMs);
    EXPECT_EQ(second->y(), y0);
    EXPECT_EQ(first->y(), y1);
    EXPECT_EQ(stack->motion()->state(), QAbstractAnimation::Stopped);
    EXPECT_TRUE(chooser->isVisible());
    chooser->hide();

    // Typing in a row that moves: focus, text and cursor ride along.
    QLineEdit* field = third->labelField();
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("Buero"));
    field->setCursorPosition(2);
    m.moveClock(third->clockID(), -1);
    at(stack, mid);
    EXPECT_EQ(third->y(), (y1 + y2 + 1) / 2);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->cursorPosition(), 2);
    at(stack, RowStack::kDurationMs);
    EXPECT_EQ(third->y(), y1);
    EXPECT_EQ(field->text(), QStringLiteral("Buero"));
    EXPECT_TRUE(field->hasFocus());

    // A new row fades in at the end while the column grows to take it.
    const int shortHeight = stack->sizeHint().height();
    m.addClockInSettings();
    ClockRow* added = card->row(3);
    at(stack, 0);
    EXPECT_EQ(added->y(), stack->restingY(3));
    EXPECT_DOUBLE_EQ(opacityOf(added), 0.0);
    EXPECT_EQ(stack->sizeHint().height(), shortHeight);
    at(stack, mid);
    EXPECT_NEAR(opacityOf(added), 0.5, 0.01);
    EXPECT_GT(stack->sizeHint().height(), shortHeight);
    at(stack, RowStack::kDurationMs);
    EXPECT_EQ(added->graphicsEffect(), nullptr) << "at rest the row paints straight";
    const int tallHeight = stack->sizeHint().height();
    EXPECT_EQ(tallHeight, stack->restingY(3) + added->height());

    // A removed row fades where it stood, the rows under it slide up, and it
    // is gone at the end.
    QPointer<ClockRow> removed = card->row(0);
    ClockRow* next = card->row(1);
    m.removeClock(removed->clockID());
    at(stack, mid);
    ASSERT_TRUE(removed);
    EXPECT_EQ(removed->y(), y0);
    EXPECT_NEAR(opacityOf(removed), 0.5, 0.01);
    EXPECT_EQ(next->y(), (y0 + y1 + 1) / 2);
    at(stack, RowStack::kDurationMs);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(removed);
    EXPECT_EQ(next->y(), y0);
    EXPECT_EQ(stack->sizeHint().height(), shortHeight);
    EXPECT_EQ(card->rowCount(), 3);
}

namespace {

// Whether anything but `fill` is painted inside `r` of `image`.
bool inkIn(const QImage& image, const QRect& r, const QColor& fill) {
    for (int y = std::max(0, r.top()); y <= std::min(image.height() - 1, r.bottom()); ++y)
        for (int x = std::max(0, r.left()); x <= std::min(image.width() - 1, r.right()); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::abs(c.red() - fill.red()) + std::abs(c.green() - fill.green()) + std::abs(c.blue() - fill.blue()) > 60)
                return true;
        }
    return false;
}

}  // namespace

TEST(ClocksCard, TheLabelFieldShowsItsWholePlaceholderReadablyInTheSmallestWindow) {
    // The widest place of the presets beside the local clock, in the
    // smallest window, at the first size and wider, in both palettes.
    AppSettings s = SettingsHarness::quietSettings();
    s.clocks = {clockIn(""), clockIn("America/Argentina/Buenos_Aires"), clockIn("America/St_Johns")};
    const QSize smallest(SettingsRoot::kMinWidth, SettingsRoot::kMinHeight);
    for (ThemeMode theme : {ThemeMode::light, ThemeMode::dark}) {
        s.theme = theme;
        for (QSize size : {smallest, QSize(940, 640), QSize(1200, 800)}) {
            SCOPED_TRACE(::testing::Message() << size.width() << (theme == ThemeMode::dark ? " dark" : " light"));
            SettingsHarness h;
            h.open(s, SettingsCategory::display, size);
            auto* card = h.page()->findChild<ClocksCard*>();
            ASSERT_NE(card, nullptr);
            int natural = 0;
            for (int i = 0; i < card->rowCount(); ++i)
                natural = std::max(natural, card->row(i)->zoneButton()->naturalWidth());
            ASSERT_GE(natural, TimeZoneButton::kWidth);
            for (int i = 0; i < card->rowCount(); ++i) {
                SCOPED_TRACE(i);
                FittedLineEdit* field = card->row(i)->labelField();
                const QString placeholder = field->placeholderText();
                ASSERT_EQ(placeholder, QStringLiteral("Bezeichnung (optional)"));
                // Measured as the field draws it: the whole text, in the room
                // the field's frame leaves, at a size one can read.
                const CaptionLine& shown = field->shownPlaceholder();
                EXPECT_EQ(shown.text.toStdString(), placeholder.toStdString());
                EXPECT_LE(QFontMetricsF(shown.font).horizontalAdvance(shown.text), field->placeholderRoom());
                if (size == smallest) {
                    EXPECT_GE(shown.scale, 0.85);
                } else {
                    EXPECT_EQ(shown.scale, 1.0) << "full size where there is room";
                }

                // The zone button gave that room: the place is cut, named
                // whole for the reader; icon, offset and chevron stand whole.
                TimeZoneButton* zone = card->row(i)->zoneButton();
                const QString place = TimeZoneButton::placeName(zone->timeZoneID());
                const TimeZoneButton::Label label = zone->label();
                EXPECT_TRUE(zone->accessibleName().startsWith(place + QStringLiteral(", ")));
                if (size == smallest) {
                    EXPECT_LT(zone->width(), natural);
                    EXPECT_TRUE(label.place.endsWith(QChar(0x2026))) << label.place.toStdString();
                    EXPECT_TRUE(place.startsWith(label.place.chopped(1))) << label.place.toStdString();
                    EXPECT_EQ(zone->toolTip(), place);
                } else {
                    EXPECT_EQ(zone->width(), natural) << "the column as wide as its widest place";
                    EXPECT_EQ(label.place, place);
                    EXPECT_TRUE(zone->toolTip().isEmpty());
                }
                EXPECT_EQ(label.offset, zone->offsetText());
                EXPECT_GE(label.icon.left(), 0);
                EXPECT_LE(label.chevron.right(), zone->width());
                // Painted where it is laid out: the offset's and the chevron's
                // ink inside the button.
                const QImage picture = zone->grab().toImage();
                const QColor fill = zone->look().fill;
                EXPECT_TRUE(inkIn(picture, label.offsetRect.toAlignedRect(), fill));
                EXPECT_TRUE(inkIn(picture, label.chevron.toAlignedRect(), fill));
                EXPECT_FALSE(inkIn(picture, QRectF(label.chevron.right() + 1, 4, 3, zone->height() - 8).toAlignedRect(), fill))
                    << "nothing drawn between the chevron and the frame";
            }
            // A typed label gets the same room as the placeholder.
            FittedLineEdit* field = card->row(1)->labelField();
            field->setFocus();
            QTest::keyClicks(field, QStringLiteral("Ferienhaus am See"));
            EXPECT_EQ(h.model->settings().clocks[1].name, QStringLiteral("Ferienhaus am See"));
            EXPECT_LE(QFontMetricsF(field->font()).horizontalAdvance(field->text()), field->placeholderRoom());
            field->clear();
            h.shoot(QStringLiteral("clocks-card-%1x%2-%3")
                        .arg(size.width())
                        .arg(size.height())
                        .arg(QLatin1String(theme == ThemeMode::dark ? "dark" : "light")));
        }
    }
}

TEST(ClocksCard, AShortRowTakesFromTheZoneButtonBeforeThePlaceholderShrinks) {
    DisplayHost h;
    AppModel& m = h.start(withClocks({clockIn(""), clockIn("Europe/Paris")}));
    auto* card = h.show(new ClocksCard(m), QSize(760, 400));
    bool zoneGaveWay = false;
    bool placeholderShrank = false;
    auto check = [&](int width) {
        SCOPED_TRACE(width);
        card->resize(width, card->height());
        h.settle();
        for (int i = 0; i < card->rowCount(); ++i) {
            TimeZoneButton* zone = card->row(i)->zoneButton();
            FittedLineEdit* field = card->row(i)->labelField();
            const CaptionLine& shown = field->shownPlaceholder();
            EXPECT_EQ(shown.text, field->placeholderText()) << "the placeholder is always whole";
            EXPECT_EQ(zone->width(), card->row(0)->zoneButton()->width()) << "one column of zone buttons";
            EXPECT_GE(zone->width(), zone->smallestWidth());
            EXPECT_LE(zone->label().chevron.right(), zone->width()) << "the offset and chevron always whole";
            if (zone->width() < zone->naturalWidth()) {
                zoneGaveWay = true;
                EXPECT_LE(field->width(), field->wholePlaceholderWidth() + 1)
                    << "the zone button narrowed while the field had room to spare";
            }
            if (shown.scale < 1.0) {
                placeholderShrank = true;
                EXPECT_EQ(zone->width(), zone->minimumSizeHint().width())
                    << "the placeholder shrank before the zone button had given all it may";
            }
        }
    };
    for (int width = 760; width >= 520; width -= 10) check(width);
    EXPECT_TRUE(zoneGaveWay);
    EXPECT_TRUE(placeholderShrank) << "the narrowest rows shrink the placeholder as a last resort";

    // A zone with a wider offset, chosen in the narrowest card: the column
    // makes room for it in every row.
    const int smallest = card->row(0)->zoneButton()->minimumSizeHint().width();
    card->row(1)->zoneButton()->pickZone(QStringLiteral("America/St_Johns"));
    h.settle();
    EXPECT_GT(card->row(0)->zoneButton()->minimumSizeHint().width(), smallest);
    check(520);
    check(700);
}
