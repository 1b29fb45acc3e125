// The operations the pages and the map call: clock list and design edits,
// clock texts, timer controls, sound choice and preview, and the alarm page's
// texts.

#include <gtest/gtest.h>

#include <QFile>
#include <deque>

#include "appmodel/AlarmSummary.h"
#include "appmodel/ModelHarness.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

WorldCity city(const char* name, const char* tz) {
    WorldCity c;
    c.name = QString::fromUtf8(name);
    c.tz = QString::fromUtf8(tz);
    return c;
}

QStringList zonesOf(const AppModel& m) {
    QStringList zones;
    for (const ClockEntry& c : m.settings().clocks) zones << c.timeZoneID;
    return zones;
}

QString writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return path;
}

}  // namespace

// ---------------------------------------------------------------------------
// Clock list

TEST(ClockList, PresetZonesThenUtcAndTheBoundsOfTheList) {
    ModelHarness h;
    AppModel& m = h.make();
    const QString only = m.settings().clocks[0].id;
    m.removeClock(only);
    ASSERT_EQ(m.settings().clocks.size(), 1u);  // the last clock stays

    for (int i = 0; i < 16; ++i) m.addClockInSettings();
    QStringList expected{QString()};
    for (const char* zone : AppModel::presetZones()) expected << QString::fromLatin1(zone);
    expected << QStringLiteral("UTC") << QStringLiteral("UTC");
    EXPECT_EQ(zonesOf(m), expected);

    QSet<QString> ids;
    for (const ClockEntry& c : m.settings().clocks) {
        EXPECT_EQ(c.id, c.id.toUpper());
        EXPECT_TRUE(c.name.isEmpty());
        EXPECT_FALSE(c.dialStyle || c.dialImagePath || c.faceColor);
        ids.insert(c.id);
    }
    EXPECT_EQ(ids.size(), 17);

    while (m.settings().clocks.size() < 24) m.addClock(city("Wien", "Europe/Vienna"));
    const AppSettings full = m.settings();
    m.addClock(city("Graz", "Europe/Vienna"));
    m.addClockInSettings();
    EXPECT_EQ(m.settings(), full);

    m.removeClock(QStringLiteral("keine-solche-uhr"));
    EXPECT_EQ(m.settings(), full);
    m.removeClock(only);
    EXPECT_EQ(m.settings().clocks.size(), 23u);
    EXPECT_FALSE(m.clockIndex(only));
}

TEST(ClockList, ThePresetSkipsZonesInUse) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.clocks.clear();
    for (const char* zone : {"Asia/Tokyo", "America/New_York", "Europe/London"}) {
        ClockEntry c = ClockEntry::makeNew();
        c.timeZoneID = QString::fromLatin1(zone);
        s.clocks.push_back(c);
    }
    h.writeSettings(s);
    AppModel& m = h.make();
    m.addClockInSettings();
    m.addClockInSettings();
    EXPECT_EQ(zonesOf(m).mid(3), (QStringList{"Australia/Sydney", "America/Los_Angeles"}));
}

TEST(ClockList, CityNameIsKeptOnlyWhenTheZoneDoesNotSayIt) {
    struct Case {
        const char* name;
        const char* tz;
        const char* stored;
    } const cases[] = {
        {"Tokyo", "Asia/Tokyo", ""},
        {"New York", "America/New_York", ""},
        {"Buenos Aires", "America/Argentina/Buenos_Aires", ""},
        {"UTC", "UTC", ""},
        {"Neu-Delhi", "Asia/Kolkata", "Neu-Delhi"},
        {"New_York", "America/New_York", "New_York"},
        {"München", "Europe/Berlin", "München"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppModel::clockNameForCity(city(c.name, c.tz)), QString::fromUtf8(c.stored)) << c.name;

    ModelHarness h;
    AppModel& m = h.make();
    m.addClock(city("Neu-Delhi", "Asia/Kolkata"));
    const ClockEntry& added = m.settings().clocks.back();
    EXPECT_EQ(added.timeZoneID, QStringLiteral("Asia/Kolkata"));
    EXPECT_EQ(added.name, QStringLiteral("Neu-Delhi"));
}

TEST(ClockList, ReplaceAndMoveKeepIdentityAndDesign) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    for (const char* zone : {"Asia/Tokyo", "Europe/Paris"}) {
        ClockEntry c = ClockEntry::makeNew();
        c.timeZoneID = QString::fromLatin1(zone);
        s.clocks.push_back(c);
    }
    s.clocks[1].name = QStringLiteral("Büro");
    s.clocks[1].dialStyle = DialStyle::roman;
    s.clocks[1].faceColor = QStringLiteral("#102030");
    h.writeSettings(s);
    AppModel& m = h.make();
    const QString a = m.settings().clocks[0].id, b = m.settings().clocks[1].id, c = m.settings().clocks[2].id;

    int changes = 0;
    QObject::connect(&m, &AppModel::settingsChanged, [&] { ++changes; });
    m.replaceClock(b, city("New York", "America/New_York"));
    EXPECT_EQ(changes, 2);  // zone, then name
    const ClockEntry& replaced = m.settings().clocks[1];
    EXPECT_EQ(replaced.id, b);
    EXPECT_EQ(replaced.timeZoneID, QStringLiteral("America/New_York"));
    EXPECT_TRUE(replaced.name.isEmpty());
    EXPECT_EQ(replaced.dialStyle, DialStyle::roman);
    EXPECT_EQ(replaced.faceColor, QStringLiteral("#102030"));

    const AppSettings before = m.settings();
    m.replaceClock(QStringLiteral("fehlt"), city("Wien", "Europe/Vienna"));
    m.moveClock(a, -1);
    m.moveClock(c, +1);
    m.moveClock(QStringLiteral("fehlt"), 1);
    m.moveClock(a, 5);
    EXPECT_EQ(m.settings(), before);

    m.moveClock(a, +1);
    m.moveClock(c, -2);
    QStringList order;
    for (const ClockEntry& e : m.settings().clocks) order << e.id;
    EXPECT_EQ(order, (QStringList{c, a, b}));
}

// ---------------------------------------------------------------------------
// Clock design

TEST(ClockDesign, StyleResetCopyAndSharedStyle) {
    ModelHarness h;
    AppSettings s = ModelHarness::quietSettings();
    s.clocks.push_back(ClockEntry::makeNew());
    s.clocks[0].dialStyle = DialStyle::modern;
    s.clocks[0].dialImagePath = QStringLiteral("/bilder/a.png");
    s.clocks[0].faceColor = QStringLiteral("#ABCDEF");
    s.useCustomDial = true;
    h.writeSettings(s);
    AppModel& m = h.make();
    const QString first = m.settings().clocks[0].id, second = m.settings().clocks[1].id;

    m.applyDesignToAllClocks(first);
    EXPECT_EQ(m.settings().clocks[1].dialStyle, DialStyle::modern);
    EXPECT_EQ(m.settings().clocks[1].dialImagePath, QStringLiteral("/bilder/a.png"));
    EXPECT_EQ(m.settings().clocks[1].faceColor, QStringLiteral("#ABCDEF"));

    // The same style again still drops the own image.
    m.setClockDialStyle(second, DialStyle::modern);
    EXPECT_EQ(m.settings().clocks[1].dialStyle, DialStyle::modern);
    EXPECT_FALSE(m.settings().clocks[1].dialImagePath);
    m.setClockDialStyle(second, std::nullopt);
    EXPECT_FALSE(m.settings().clocks[1].dialStyle);

    int changes = 0;
    QObject::connect(&m, &AppModel::settingsChanged, [&] { ++changes; });
    m.resetClockDesign(first);
    EXPECT_EQ(changes, 3);
    const ClockEntry& reset = m.settings().clocks[0];
    EXPECT_FALSE(reset.dialStyle || reset.dialImagePath || reset.faceColor);

    const AppSettings before = m.settings();
    m.resetClockDesign(QStringLiteral("fehlt"));
    m.applyDesignToAllClocks(QStringLiteral("fehlt"));
    m.setClockDialStyle(QStringLiteral("fehlt"), DialStyle::dots);
    m.setClockFaceColor(QStringLiteral("fehlt"), QStringLiteral("#000000"));
    EXPECT_EQ(m.settings(), before);

    m.setClockFaceColor(second, QStringLiteral("#112233"));
    m.setClockFaceColor(second, std::nullopt);
    EXPECT_FALSE(m.settings().clocks[1].faceColor);

    m.setDialStyle(DialStyle::night);
    EXPECT_EQ(m.settings().dialStyle, DialStyle::night);
    EXPECT_FALSE(m.settings().useCustomDial);
}

TEST(ClockDesign, MissingSharedImageWarnsAndEachClockShowsTheRightImage) {
    ModelHarness h;
    const QString png = h.dir.path() + QStringLiteral("/dial.png");
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(png));
    AppSettings s = ModelHarness::quietSettings();
    s.clocks.push_back(ClockEntry::makeNew());
    s.clocks.push_back(ClockEntry::makeNew());
    s.clocks[1].dialImagePath = png;
    s.clocks[2].dialStyle = DialStyle::dots;
    s.useCustomDial = true;
    s.dialImagePath = png;
    h.writeSettings(s);
    AppModel& m = h.make();
    ModelHarness::settle();

    EXPECT_FALSE(m.dialImageWarning());
    ASSERT_TRUE(m.clockImage(m.settings().clocks[0]));   // the shared image
    ASSERT_TRUE(m.clockImage(m.settings().clocks[1]));   // its own
    EXPECT_FALSE(m.clockImage(m.settings().clocks[2]));  // its own drawn style

    const QString warning = QStringLiteral("Bilddatei nicht gefunden – das gewählte Design wird angezeigt.");
    for (const std::optional<QString>& path :
         {std::optional<QString>(), std::optional<QString>(QString()), std::optional<QString>(png + "x")}) {
        m.editSettings([&](AppSettings& next) { next.dialImagePath = path; });
        EXPECT_EQ(m.dialImageWarning(), warning);
    }
    m.editSettings([](AppSettings& next) { next.useCustomDial = false; });
    EXPECT_FALSE(m.dialImageWarning());
}

TEST(ClockDesign, ChoosingImagesImportsAndAFailedImportIsShown) {
    ModelHarness h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    AppSettings s = ModelHarness::quietSettings();
    s.clocks.push_back(ClockEntry::makeNew());
    s.clocks[1].dialStyle = DialStyle::roman;
    s.dialStyle = DialStyle::elegant;
    h.writeSettings(s);
    AppModel& m = h.make();
    const QString plain = m.settings().clocks[0].id, styled = m.settings().clocks[1].id;
    const QString picked = writeFile(h.dir.path() + QStringLiteral("/Mein Bild.png"), "png");

    const AppSettings before = m.settings();
    m.chooseDialImage(plain);  // cancelled
    EXPECT_EQ(m.settings(), before);
    EXPECT_EQ(answers->titles.back(), QStringLiteral("Zifferblatt-Bild für diese Uhr auswählen"));

    EXPECT_EQ(answers->patterns.back(), (QStringList{QStringLiteral("*.jpg"), QStringLiteral("*.jpeg"),
                                                     QStringLiteral("*.png"), QStringLiteral("*.heic")}));
    EXPECT_EQ(answers->requests.back().nameFilters,
              (QStringList{QStringLiteral("Bilder (*.jpg *.jpeg *.png *.heic)"), QStringLiteral("Alle Dateien (*)")}));
    EXPECT_EQ(answers->requests.back().startFolder, FileRequest::images(QString(), {}).startFolder);

    answers->answers = {h.dir.path() + QStringLiteral("/weg.png")};
    m.chooseDialImage(plain);
    EXPECT_EQ(m.settings(), before);
    ASSERT_TRUE(m.settingsService().lastError());
    EXPECT_TRUE(m.settingsService().lastError()->startsWith(
        QStringLiteral("Datei konnte nicht übernommen werden: ")));

    answers->answers = {picked, picked};
    m.chooseDialImage(plain);
    const ClockEntry& a = m.settings().clocks[0];
    ASSERT_TRUE(a.dialImagePath);
    EXPECT_TRUE(a.dialImagePath->startsWith(h.mediaFolder() + QStringLiteral("/zifferblatt")));
    EXPECT_TRUE(QFile::exists(*a.dialImagePath));
    EXPECT_EQ(a.dialStyle, DialStyle::elegant);  // the global style becomes its own
    m.chooseDialImage(styled);
    EXPECT_TRUE(m.settings().clocks[1].dialImagePath);
    EXPECT_EQ(m.settings().clocks[1].dialStyle, DialStyle::roman);

    answers->answers = {picked};
    m.chooseSharedDialImage();
    EXPECT_EQ(answers->titles.back(), QStringLiteral("Zifferblatt-Bild auswählen"));
    ASSERT_TRUE(m.settings().dialImagePath);
    EXPECT_TRUE(QFile::exists(*m.settings().dialImagePath));
    EXPECT_TRUE(m.settings().useCustomDial);

    // A chooser for an unknown clock is not even shown.
    const std::size_t shown = answers->titles.size();
    m.chooseDialImage(QStringLiteral("fehlt"));
    EXPECT_EQ(answers->titles.size(), shown);
}

// ---------------------------------------------------------------------------
// Clock texts

TEST(ClockTexts, OffsetsTitlesSubtitlesAndWorldTime) {
    const QDateTime winter(QDate(2026, 1, 15), QTime(12, 0), Qt::UTC);
    struct Case {
        QTimeZone zone;
        const char* text;
    } const cases[] = {
        {QTimeZone("UTC"), "UTC+0"},
        {QTimeZone("Asia/Kolkata"), "UTC+5:30"},
        {QTimeZone("America/St_Johns"), "UTC\u22123:30"},
        {QTimeZone("Asia/Kathmandu"), "UTC+5:45"},
        {QTimeZone("America/New_York"), "UTC\u22125"},
        {QTimeZone(5 * 3600 + 59), "UTC+5"},  // seconds below a minute are dropped
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppModel::utcOffsetText(winter, c.zone), QString::fromUtf8(c.text)) << c.text;

    ModelHarness h;  // Tuesday 10 March 2026, 05:59:50 UTC, computer in Berlin
    AppModel& m = h.make();
    ClockEntry clock = ClockEntry::makeNew();
    EXPECT_EQ(m.clockTitle(clock), QStringLiteral("Ortszeit · Berlin"));
    clock.name = QStringLiteral("  \t ");
    clock.timeZoneID = QStringLiteral("America/Sao_Paulo");
    EXPECT_EQ(m.clockTitle(clock), QStringLiteral("Sao Paulo"));
    clock.name = QStringLiteral(" Oma ");
    EXPECT_EQ(m.clockTitle(clock), QStringLiteral("Oma"));

    clock.timeZoneID = QStringLiteral("Asia/Tokyo");
    const QString tokyoName = timeZoneGenericName(QStringLiteral("Asia/Tokyo"));
    ASSERT_FALSE(tokyoName.isEmpty());
    EXPECT_EQ(m.clockTexts(clock, false), tokyoName + QStringLiteral(" · UTC+9"));
    EXPECT_EQ(m.clockTexts(clock, true), tokyoName + QStringLiteral(" · UTC+9 · Di., 10. März"));
    clock.timeZoneID.clear();
    const QString berlin = timeZoneGenericName(QStringLiteral("Europe/Berlin")) + " · UTC+1";
    EXPECT_EQ(m.clockTexts(clock, false), berlin);
    // A zone the system does not know reads as the computer's; the local
    // clock follows the computer to another zone.
    ClockEntry lost = clock;
    lost.timeZoneID = QStringLiteral("Mars/Olympus_Mons");
    EXPECT_EQ(m.clockTexts(lost, false), berlin);
    h.zones.setZone(QTimeZone("Asia/Tokyo"));
    EXPECT_EQ(m.clockTexts(clock, false), tokyoName + QStringLiteral(" · UTC+9"));
    EXPECT_EQ(m.clockTexts(lost, false), tokyoName + QStringLiteral(" · UTC+9"));
    h.zones.setZone(QTimeZone("Europe/Berlin"));

    // One formatter per zone and pattern: neither may stand in for the other.
    // (New York has been on summer time since 8 March.)
    const QTimeZone tokyo("Asia/Tokyo"), newYork("America/New_York");
    EXPECT_EQ(m.worldTimeText(m.now(), tokyo, QStringLiteral("HH:mm")), QStringLiteral("14:59"));
    EXPECT_EQ(m.worldTimeText(m.now(), tokyo, QStringLiteral("mm:ss")), QStringLiteral("59:50"));
    EXPECT_EQ(m.worldTimeText(m.now(), newYork, QStringLiteral("HH:mm")), QStringLiteral("01:59"));
    EXPECT_EQ(m.worldTimeText(m.now(), tokyo, QStringLiteral("HH:mm")), QStringLiteral("14:59"));
}
