// What the user types into the background colour and coordinate fields, and
// the font list. The typing runs under a German LC_NUMERIC, where the C
// library's number functions want a decimal comma: the fields must read a
// point and a comma alike whatever the process locale says.

#include <gtest/gtest.h>

#include <QFontDatabase>

#include "GermanNumericLocale.h"
#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

enum class Field { latitude, longitude, hex };

const char* const kLatitudeNumber = "Bitte eine Zahl eingeben, z. B. 52,52";
const char* const kLongitudeNumber = "Bitte eine Zahl eingeben, z. B. 13,405";
const char* const kLatitudeRange = "Gültig: −90 bis 90 (Fallback aktiv)";
const char* const kLongitudeRange = "Gültig: −180 bis 180 (Fallback aktiv)";
const char* const kHexError = "Bitte eine Farbe im Format #RRGGBB eingeben.";

}  // namespace

TEST(TypedInput, FieldsUnderAGermanNumericLocale) {
    corvane::test::GermanNumericLocale german;
    if (!german.active()) GTEST_SKIP() << "no German locale could be compiled or found";

    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.useCustomBackground = false;
    s.dusk.latitude = 10.0;
    s.dusk.longitude = 20.0;
    h.writeSettings(s);
    AppModel& m = h.make();

    struct Row {
        Field field;
        const char* typed;
        double stored;       // the coordinate in the settings afterwards (a colour row: unused)
        const char* colour;  // the colour in the settings afterwards (coordinate rows: unused)
        const char* error;   // nullptr: no message
    } const rows[] = {
        {Field::latitude, "52,52", 52.52, nullptr, nullptr},
        {Field::latitude, "48.137", 48.137, nullptr, nullptr},
        {Field::latitude, "  52.52° ", 52.52, nullptr, nullptr},
        {Field::latitude, "\u221233,9", -33.9, nullptr, nullptr},
        {Field::latitude, "+5", 5.0, nullptr, nullptr},
        {Field::latitude, "1e2", 100.0, nullptr, kLatitudeRange},  // stored, and the fallback is announced
        {Field::latitude, "90", 90.0, nullptr, nullptr},
        {Field::latitude, "-90", -90.0, nullptr, nullptr},
        {Field::latitude, "90.0001", 90.0001, nullptr, kLatitudeRange},
        {Field::latitude, "", 90.0001, nullptr, kLatitudeNumber},  // keeps what was stored
        {Field::latitude, "blau", 90.0001, nullptr, kLatitudeNumber},
        {Field::latitude, "52,5,1", 90.0001, nullptr, kLatitudeNumber},
        {Field::latitude, "52 5", 90.0001, nullptr, kLatitudeNumber},
        {Field::latitude, "\n52", 90.0001, nullptr, kLatitudeNumber},  // a line break is no blank
        {Field::latitude, "inf", 90.0001, nullptr, kLatitudeNumber},
        {Field::latitude, "nan", 90.0001, nullptr, kLatitudeNumber},
        {Field::latitude, "1e400", 90.0001, nullptr, kLatitudeNumber},
        {Field::latitude, "0x10", 90.0001, nullptr, kLatitudeNumber},
        {Field::latitude, "12", 12.0, nullptr, nullptr},
        {Field::longitude, "13,405", 13.405, nullptr, nullptr},
        {Field::longitude, "180", 180.0, nullptr, nullptr},
        {Field::longitude, "\u2212180", -180.0, nullptr, nullptr},
        {Field::longitude, "180,5", 180.5, nullptr, kLongitudeRange},
        {Field::longitude, " ", 180.5, nullptr, kLongitudeNumber},
        {Field::longitude, "-0,5°", -0.5, nullptr, nullptr},
        {Field::hex, "#1f3a5f", 0, "#1F3A5F", nullptr},
        {Field::hex, "blau", 0, "#1F3A5F", kHexError},
        {Field::hex, "#abc", 0, "#AABBCC", nullptr},
        {Field::hex, "#12345", 0, "#AABBCC", kHexError},
        {Field::hex, " ##00ff7F ", 0, "#00FF7F", nullptr},
    };
    for (const Row& row : rows) {
        const QString typed = QString::fromUtf8(row.typed);
        SCOPED_TRACE(std::string(row.typed));
        const std::optional<QString> expectedError =
            row.error ? std::optional<QString>(QString::fromUtf8(row.error)) : std::nullopt;
        switch (row.field) {
            case Field::latitude:
                m.setLatitudeText(typed);
                EXPECT_EQ(m.latitudeText(), typed);
                EXPECT_DOUBLE_EQ(m.settings().dusk.latitude, row.stored);
                EXPECT_EQ(m.latitudeError(), expectedError);
                break;
            case Field::longitude:
                m.setLongitudeText(typed);
                EXPECT_EQ(m.longitudeText(), typed);
                EXPECT_DOUBLE_EQ(m.settings().dusk.longitude, row.stored);
                EXPECT_EQ(m.longitudeError(), expectedError);
                break;
            case Field::hex:
                m.setCustomBackgroundHex(typed);
                EXPECT_EQ(m.settings().customBackgroundColor, QString::fromLatin1(row.colour));
                EXPECT_EQ(m.backgroundHexError(), expectedError);
                break;
        }
    }
    EXPECT_EQ(m.settings().dusk.latitude, 12.0);  // the other field never touched it
    EXPECT_TRUE(m.settings().useCustomBackground);
}

TEST(TypedInput, TheHexFieldShowsTheStoredColourUnlessItOnlyDiffersInCase) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.useCustomBackground = false;
    h.writeSettings(s);
    AppModel& m = h.make();

    m.setCustomBackgroundHex(QStringLiteral("#1f3a5f"));
    EXPECT_EQ(m.customBackgroundHex(), QStringLiteral("#1f3a5f"));  // as typed
    EXPECT_TRUE(m.settings().useCustomBackground);
    m.setCustomBackgroundHex(QStringLiteral("#abc"));
    EXPECT_EQ(m.customBackgroundHex(), QStringLiteral("#AABBCC"));

    // A colour that changes elsewhere only reaches the field: it does not
    // switch the own background back on.
    m.setCustomBackgroundHex(QStringLiteral("rot"));
    ASSERT_TRUE(m.backgroundHexError());
    m.editSettings([](AppSettings& next) {
        next.useCustomBackground = false;
        next.customBackgroundColor = QStringLiteral("#102030");
    });
    EXPECT_EQ(m.customBackgroundHex(), QStringLiteral("#102030"));
    EXPECT_FALSE(m.backgroundHexError());
    EXPECT_FALSE(m.settings().useCustomBackground);

    // Picker, sliders and swatches all go through the field and switch it on.
    m.setCustomBackgroundColor(QColor::fromRgbF(1.0f, 0.5f, 0.0f));
    EXPECT_EQ(m.settings().customBackgroundColor, QStringLiteral("#FF8000"));
    EXPECT_TRUE(m.settings().useCustomBackground);
    EXPECT_EQ(m.customBackgroundColor(), QColor(255, 128, 0));
    m.editSettings([](AppSettings& next) { next.useCustomBackground = false; });
    m.setCustomBackgroundColor(QColor());  // no colour: nothing at all
    EXPECT_FALSE(m.settings().useCustomBackground);

    m.setBackgroundComponent(std::nullopt, 0x11, std::nullopt);
    EXPECT_EQ(m.settings().customBackgroundColor, QStringLiteral("#FF1100"));
    EXPECT_EQ(m.customBackgroundHex(), QStringLiteral("#FF1100"));
    EXPECT_TRUE(m.settings().useCustomBackground);

    m.editSettings([](AppSettings& next) { next.useCustomBackground = false; });
    m.applyBackgroundHex(QStringLiteral("#FF1100"));  // the same colour still switches it on
    EXPECT_TRUE(m.settings().useCustomBackground);
    m.applyBackgroundHex(AppModel::paletteSwatches().back().hex);
    EXPECT_EQ(m.settings().customBackgroundColor, AppModel::paletteSwatches().back().hex);

    // A malformed stored colour reads as black for the picker and the sliders.
    m.editSettings([](AppSettings& next) { next.customBackgroundColor = QStringLiteral("kaputt"); });
    EXPECT_EQ(m.customBackgroundColor(), QColor(0, 0, 0));
    m.setBackgroundComponent(0x20, std::nullopt, std::nullopt);
    EXPECT_EQ(m.settings().customBackgroundColor, QStringLiteral("#200000"));
    m.setBackgroundComponent(AppModel::kKeepComponent, 300, -4);
    EXPECT_EQ(m.settings().customBackgroundColor, QStringLiteral("#20FF00"));
}

TEST(TypedInput, HslConversion) {
    struct Case {
        double h, s, l;
        RGB rgb;
    } const cases[] = {
        {0, 1, 0.5, {255, 0, 0}},      {120, 1, 0.5, {0, 255, 0}}, {240, 1, 0.25, {0, 0, 128}},
        {77, 0, 0.5, {128, 128, 128}}, {360, 1, 0.5, {255, 0, 0}}, {300, 1, 0.5, {255, 0, 255}},
    };
    for (const Case& c : cases) {
        const RGB rgb = AppModel::hslToRGB(c.h, c.s, c.l);
        EXPECT_EQ(rgb, c.rgb) << c.h << " " << c.s << " " << c.l;
    }
}

TEST(FontList, SortedWithoutHiddenFamiliesAndWithTheStoredOne) {
    const QStringList families = AppModel::makeFontFamilies(
        {QStringLiteral("Zapfino"), QStringLiteral(".SF NS"), QStringLiteral("arial"),
         QStringLiteral("Bodoni"), QStringLiteral("Äther"), QStringLiteral("Bodoni")},
        QStringLiteral("Corvane Serif"));
    EXPECT_EQ(families, (QStringList{"arial", "Äther", "Bodoni", "Corvane Serif", "Zapfino"}));
    EXPECT_EQ(AppModel::makeFontFamilies({QStringLiteral("Bodoni")}, QStringLiteral("Bodoni")),
              QStringList{QStringLiteral("Bodoni")});

    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.fontFamily = QStringLiteral("Nicht Installiert Sans");
    h.writeSettings(s);
    AppModel& m = h.make();
    const QStringList& list = m.fontFamilies();
    EXPECT_TRUE(list.contains(QStringLiteral("Nicht Installiert Sans")));
    for (const QString& family : list)
        EXPECT_FALSE(family.startsWith(QLatin1Char('.'))) << family.toStdString();
    EXPECT_EQ(list.size(), AppModel::makeFontFamilies(QFontDatabase::families(), s.fontFamily).size());
    // Built once: a later font choice does not rebuild it.
    m.editSettings([](AppSettings& next) { next.fontFamily = QStringLiteral("Noch Eine"); });
    EXPECT_EQ(&m.fontFamilies(), &list);
    EXPECT_FALSE(m.fontFamilies().contains(QStringLiteral("Noch Eine")));
}
