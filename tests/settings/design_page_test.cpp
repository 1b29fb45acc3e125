// The design page: theme card with the own background colour, dusk card.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>

#include "SettingsHarness.h"
#include "settings/DesignPage.h"
#include "settings/kit/FormGrid.h"
#include "shell/components/NumberPicker.h"
#include "shell/components/TextLines.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

void pick(SettingsHarness& h, QComboBox* combo, int index) {
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
    h.settle();
}

// Swatch buttons are the page's buttons whose name is "<hue>, Stufe <n>";
// the framed one is checked.
std::vector<QAbstractButton*> framedSwatches(SettingsHarness& h) {
    std::vector<QAbstractButton*> framed;
    int swatches = 0;
    for (QAbstractButton* b : h.page()->findChildren<QAbstractButton*>()) {
        if (!b->accessibleName().contains(QStringLiteral(", Stufe "))) continue;
        ++swatches;
        if (b->isChecked()) framed.push_back(b);
    }
    EXPECT_EQ(swatches, 72);
    return framed;
}

}  // namespace

TEST(DesignPage, PickersAndTogglesWriteTheirFields) {
    SettingsHarness h;
    h.open(SettingsCategory::design);
    QComboBox* theme = h.find<QComboBox>(QStringLiteral("Theme"));
    const std::pair<const char*, ThemeMode> themes[] = {{"Hell oder dunkel wie das System", ThemeMode::system},
                                                        {"Hell", ThemeMode::light},
                                                        {"Dunkel", ThemeMode::dark},
                                                        {"Automatische Dämmerung", ThemeMode::dusk}};
    ASSERT_EQ(theme->count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(theme->itemText(i), QString::fromUtf8(themes[i].first));
        pick(h, theme, i);
        EXPECT_EQ(h.model->settings().theme, themes[i].second);
    }

    QComboBox* mode = h.find<QComboBox>(QStringLiteral("Dämmerungsmodus"));
    pick(h, mode, 1);
    EXPECT_EQ(h.model->settings().dusk.source, DuskSource::sun);

    QComboBox* transition = h.find<QComboBox>(QStringLiteral("Übergangsdauer"));
    ASSERT_EQ(transition->count(), 12);
    EXPECT_EQ(transition->itemText(0), QStringLiteral("Kein Übergang"));
    EXPECT_EQ(transition->itemText(8), QStringLiteral("90\u00A0Minuten"));
    pick(h, transition, 8);
    EXPECT_EQ(h.model->settings().dusk.transitionMinutes, 90);
    // A stored value the list does not offer selects nothing and stays.
    h.model->editSettings([](AppSettings& s) { s.dusk.setTransitionMinutes(7); });
    h.settle();
    EXPECT_EQ(transition->currentIndex(), -1);
    EXPECT_EQ(h.model->settings().dusk.transitionMinutes, 7);

    // The four time pickers, in page order: day hour, day minute, night hour, night minute.
    std::vector<NumberPicker*> times;
    for (NumberPicker* p : h.page()->findChildren<NumberPicker*>()) times.push_back(p);
    ASSERT_EQ(times.size(), 4u);
    const int values[] = {6, 45, 21, 15};
    for (std::size_t i = 0; i < 4; ++i) {
        times[i]->setCurrentIndex(values[i]);
        Q_EMIT times[i]->activated(values[i]);
    }
    h.settle();
    const DuskSettings& d = h.model->settings().dusk;
    EXPECT_EQ(std::make_tuple(d.dayStartHour, d.dayStartMinute, d.nightStartHour, d.nightStartMinute),
              std::make_tuple(6, 45, 21, 15));
}

TEST(DesignPage, SwatchSelectionFollowsTheOwnColourIgnoringCase) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    const ColorSwatch swatch = AppModel::paletteSwatches()[20];
    s.useCustomBackground = false;
    s.customBackgroundColor = swatch.hex;
    h.open(s, SettingsCategory::design);
    EXPECT_TRUE(framedSwatches(h).empty()) << "off: nothing framed, even on an equal colour";

    // Picking a swatch turns the own colour on and frames it.
    const ColorSwatch other = AppModel::paletteSwatches()[45];
    h.click(h.find<QAbstractButton>(other.name));
    EXPECT_TRUE(h.model->settings().useCustomBackground);
    EXPECT_EQ(h.model->settings().customBackgroundColor, other.hex);
    EXPECT_TRUE(h.find<QCheckBox>(QStringLiteral("Eigene Hintergrundfarbe verwenden"))->isChecked());
    auto framed = framedSwatches(h);
    ASSERT_EQ(framed.size(), 1u);
    EXPECT_EQ(framed[0]->accessibleName(), other.name);

    h.model->editSettings([&](AppSettings& next) { next.customBackgroundColor = swatch.hex.toLower(); });
    h.settle();
    framed = framedSwatches(h);
    ASSERT_EQ(framed.size(), 1u);
    EXPECT_EQ(framed[0]->accessibleName(), swatch.name);
}

TEST(DesignPage, HexFieldShowsItsErrorAndRecoversWithoutLosingTheCursor) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.useCustomBackground = false;
    s.customBackgroundColor = QStringLiteral("#102030");
    h.open(s, SettingsCategory::design);
    const ThemeColors palette = h.model->theme();
    QLineEdit* hex = h.find<QLineEdit>(QStringLiteral("Farbe"));
    EXPECT_EQ(hex->text(), QStringLiteral("#102030"));

    hex->setFocus();
    hex->selectAll();
    QTest::keyClicks(hex, QStringLiteral("#12"));
    h.settle();
    EXPECT_EQ(h.model->backgroundHexError(), QStringLiteral("Bitte eine Farbe im Format #RRGGBB eingeben."));
    const auto warnings = h.page()->findChildren<WarningText*>();
    EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](WarningText* w) {
        return w->isVisible() && w->text().startsWith(QStringLiteral("Bitte eine Farbe"));
    }));
    EXPECT_EQ(h.model->settings().customBackgroundColor, QStringLiteral("#102030"));
    EXPECT_EQ(h.model->theme(), palette);
    EXPECT_EQ(hex->text(), QStringLiteral("#12"));
    EXPECT_EQ(hex->cursorPosition(), 3);

    QTest::keyClicks(hex, QStringLiteral("34ab"));
    h.settle();
    EXPECT_FALSE(h.model->backgroundHexError().has_value());
    EXPECT_EQ(h.model->settings().customBackgroundColor, QStringLiteral("#1234AB"));
    EXPECT_TRUE(h.model->settings().useCustomBackground);
    EXPECT_NE(h.model->theme(), palette);
    EXPECT_TRUE(hex->hasFocus());
    EXPECT_EQ(hex->cursorPosition(), hex->text().size());
}

TEST(DesignPage, ChannelSliderKeepsTheOtherChannels) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.useCustomBackground = false;
    s.customBackgroundColor = QStringLiteral("#102030");
    h.open(s, SettingsCategory::design);
    QSlider* red = h.find<QSlider>(QStringLiteral("Rot"));
    QSlider* blue = h.find<QSlider>(QStringLiteral("Blau"));
    EXPECT_EQ(std::make_pair(red->value(), blue->value()), std::make_pair(0x10, 0x30));
    red->setValue(200);
    h.settle();
    EXPECT_EQ(h.model->settings().customBackgroundColor, QStringLiteral("#C82030"));
    EXPECT_TRUE(h.model->settings().useCustomBackground);
    EXPECT_EQ(h.find<QLineEdit>(QStringLiteral("Farbe"))->text(), QStringLiteral("#C82030"));
    blue->setValue(0);
    h.settle();
    EXPECT_EQ(h.model->settings().customBackgroundColor, QStringLiteral("#C82000"));
    EXPECT_EQ(red->value(), 200);
}

TEST(DuskCard, CoordinateRowsOnlyForTheSunAndTheirMessages) {
    SettingsHarness h;
    h.open(SettingsCategory::design);
    FormGrid* grid = nullptr;
    for (FormGrid* g : h.page()->findChildren<FormGrid*>())
        if (g->rowCount() == 6) grid = g;
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->visibleRowCount(), 4);
    pick(h, h.find<QComboBox>(QStringLiteral("Dämmerungsmodus")), 1);
    EXPECT_EQ(grid->visibleRowCount(), 6);

    QLineEdit* latitude = h.find<QLineEdit>(QStringLiteral("Breitengrad"));
    const struct {
        const char* typed;
        double stored;
        const char* error;  // null: none
    } cases[] = {
        {"52,52", 52.52, nullptr},
        {"−33,9", -33.9, nullptr},
        {"48.1°", 48.1, nullptr},
        {"95", 95.0, "Gültig: −90 bis 90 (Fallback aktiv)"},
        {"Nord", 95.0, "Bitte eine Zahl eingeben, z. B. 52,52"},
    };
    for (const auto& c : cases) {
        latitude->setFocus();
        latitude->selectAll();
        latitude->insert(QString::fromUtf8(c.typed));  // as typed or pasted
        h.settle();
        EXPECT_DOUBLE_EQ(h.model->settings().dusk.latitude, c.stored) << c.typed;
        EXPECT_EQ(latitude->text(), QString::fromUtf8(c.typed)) << "the field keeps what was typed";
        if (c.error) {
            EXPECT_EQ(h.model->latitudeError(), QString::fromUtf8(c.error)) << c.typed;
        } else {
            EXPECT_FALSE(h.model->latitudeError().has_value()) << c.typed;
        }
        WarningText* shown = nullptr;
        for (WarningText* w : latitude->parentWidget()->findChildren<WarningText*>()) shown = w;
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->isVisible(), c.error != nullptr) << c.typed;
    }

    // Back to the schedule: the rows go, their texts stay in the model.
    pick(h, h.find<QComboBox>(QStringLiteral("Dämmerungsmodus")), 0);
    EXPECT_EQ(grid->visibleRowCount(), 4);
    EXPECT_EQ(h.model->latitudeText(), QStringLiteral("Nord"));
}

TEST(DuskCard, BrightnessCaptionNamesWhetherTheDuskIsActive) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.theme = ThemeMode::light;
    h.open(s, SettingsCategory::design);
    const auto caption = [&] {
        for (Caption* c : h.page()->findChildren<Caption*>())
            if (c->text().contains(QStringLiteral("Helligkeit"))) return c->text();
        return QString();
    };
    EXPECT_TRUE(caption().startsWith(QStringLiteral("Helligkeit bei aktivem Dämmerungsmodus: "))) << caption().toStdString();
    pick(h, h.find<QComboBox>(QStringLiteral("Theme")), 3);
    EXPECT_TRUE(caption().startsWith(QStringLiteral("Aktuelle Helligkeit: "))) << caption().toStdString();
    EXPECT_EQ(caption(), h.model->brightnessText());
}
