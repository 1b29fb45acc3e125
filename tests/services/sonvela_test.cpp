#include "services/Sonvela.h"

#include "platform/system/ProcessScan.h"
#include "platform/system/PulseAudio.h"
#include "platform/system/SchemeHandler.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include <unistd.h>

using namespace corvane;
using Mode = AlarmSettings::RadioMode;
using Sonvela::WakeLink;

namespace {

AlarmSettings radioAlarm(Mode mode, std::optional<QString> uuid, qint64 fade, qint64 volume) {
    AlarmSettings alarm;
    alarm.wakeWithRadio = true;
    alarm.radioMode = mode;
    alarm.radioStationUUID = std::move(uuid);
    alarm.fadeSeconds = fade;
    alarm.radioVolume = volume;
    return alarm;
}

std::string describe(const std::optional<WakeLink>& link) {
    if (!link) {
        return "none";
    }
    std::string text = link->mode == Mode::station          ? "station"
                       : link->mode == Mode::randomFavorite ? "random"
                                                            : "lastPlayed";
    text += " uuid=" + (link->stationUUID ? link->stationUUID->toStdString() : std::string("-"));
    text += " fade=" + (link->fade ? std::to_string(*link->fade) : std::string("-"));
    text += " volume=" + (link->volume ? std::to_string(*link->volume) : std::string("-"));
    return text;
}

}  // namespace

TEST(SonvelaWakeURL, BuildsQueryInOrderAndEncodesStationFully) {
    struct Case {
        Mode mode;
        std::optional<QString> uuid;
        qint64 fade;
        qint64 volume;
        const char* expected;  // nullptr: no URL
    };
    const Case cases[] = {
        {Mode::randomFavorite, std::nullopt, 30, 40, "sonvela://play?station=random&fade=30&volume=40"},
        // The stored station of another mode is not sent.
        {Mode::randomFavorite, QStringLiteral("abc"), 30, 40, "sonvela://play?station=random&fade=30&volume=40"},
        {Mode::lastPlayed, QStringLiteral("abc"), 30, 40, "sonvela://play?fade=30&volume=40"},
        {Mode::station, QStringLiteral("AbC-12"), 0, 100, "sonvela://play?station=AbC-12&fade=0&volume=100"},
        {Mode::station, QString(), 30, 40, nullptr},
        {Mode::station, std::nullopt, 30, 40, nullptr},
        // A station id pasted from a crafted link must not add or replace items.
        {Mode::station, QStringLiteral("a&volume=1"), 5, 40, "sonvela://play?station=a%26volume%3D1&fade=5&volume=40"},
        {Mode::station, QStringLiteral("x+y#z"), 5, 40, "sonvela://play?station=x%2By%23z&fade=5&volume=40"},
        {Mode::station, QStringLiteral("a b/ä?"), 5, 40, "sonvela://play?station=a%20b%2F%C3%A4%3F&fade=5&volume=40"},
        {Mode::lastPlayed, std::nullopt, -3, 7, "sonvela://play?fade=-3&volume=7"},
    };
    for (const Case& c : cases) {
        const auto url = Sonvela::wakeURL(radioAlarm(c.mode, c.uuid, c.fade, c.volume));
        const std::string label = c.uuid ? c.uuid->toStdString() : std::string("<none>");
        if (c.expected == nullptr) {
            EXPECT_FALSE(url.has_value()) << label;
        } else {
            ASSERT_TRUE(url.has_value()) << label;
            EXPECT_EQ(url->toEncoded().toStdString(), c.expected) << label;
        }
    }
}

TEST(SonvelaWakeLink, ParsesPastedLinks) {
    struct Case {
        QString text;
        std::optional<WakeLink> expected;
    };
    const auto link = [](Mode mode, std::optional<QString> uuid, std::optional<qint64> fade,
                         std::optional<qint64> volume) {
        return std::optional<WakeLink>(WakeLink{mode, std::move(uuid), fade, volume});
    };
    const std::optional<WakeLink> none;
    const qint64 max = std::numeric_limits<qint64>::max();
    const qint64 min = std::numeric_limits<qint64>::min();
    const Case cases[] = {
        {QStringLiteral("  SONVELA://Play?station=Random&fade=20 \n"),
         link(Mode::randomFavorite, std::nullopt, 20, std::nullopt)},
        {QStringLiteral("sonvela://play?station=AbC-12"), link(Mode::station, QStringLiteral("AbC-12"), {}, {})},
        {QStringLiteral("sonvela://play?station=&volume=x"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=1&fade=2&volume=3&volume=4"), link(Mode::lastPlayed, {}, 1, 3)},
        // Names are case-sensitive; only the first item of a name counts, even when empty.
        {QStringLiteral("sonvela://play?Fade=5&VOLUME=6"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=&fade=9"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade&volume"), link(Mode::lastPlayed, {}, {}, {})},
        // Numbers: optional sign, ASCII digits, 64 bits.
        {QStringLiteral("sonvela://play?fade=+20&volume=-7"), link(Mode::lastPlayed, {}, 20, -7)},
        {QStringLiteral("sonvela://play?fade=9223372036854775807&volume=-9223372036854775808"),
         link(Mode::lastPlayed, {}, max, min)},
        {QStringLiteral("sonvela://play?fade=9223372036854775808&volume=-9223372036854775809"),
         link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=99999999999999999999999"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=%2020&volume=20%20"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=%0920&volume=%2B"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=1.5&volume=1e2"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=--1&volume=0x10"), link(Mode::lastPlayed, {}, {}, {})},
        {QStringLiteral("sonvela://play?fade=%D9%A3"), link(Mode::lastPlayed, {}, {}, {})},  // Arabic-Indic three
        // An encoded "&" stays inside the station id and does not set the volume.
        {QStringLiteral("sonvela://play?station=a%26volume%3D1"), link(Mode::station, QStringLiteral("a&volume=1"), {}, {})},
        {QStringLiteral("sonvela://play?station=a+b"), link(Mode::station, QStringLiteral("a+b"), {}, {})},
        {QStringLiteral("sonvela://play?station=RANDOM&volume=0"), link(Mode::randomFavorite, {}, {}, 0)},
        // Not a wake link.
        {QStringLiteral("https://play?station=random"), none},
        {QStringLiteral("sonvela://open"), none},
        {QStringLiteral("sonvela:play?fade=1"), none},
        {QStringLiteral("sonvela://?fade=1"), none},
        {QStringLiteral(""), none},
        {QStringLiteral("   \n"), none},
        {QStringLiteral("sonvela://play?station=two words"), none},
        {QStringLiteral("sonvela://pl ay"), none},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(describe(WakeLink::parse(c.text)), describe(c.expected)) << c.text.toStdString();
        EXPECT_EQ(WakeLink::parse(c.text), c.expected) << c.text.toStdString();
    }
}

TEST(SonvelaWakeLink, PastedStationSurvivesTheRoundTripWithoutInjecting) {
    const auto pasted = WakeLink::parse(QStringLiteral("sonvela://play?station=x%26volume%3D1%23%2B&fade=12"));
    ASSERT_TRUE(pasted && pasted->stationUUID);
    const AlarmSettings alarm = radioAlarm(pasted->mode, pasted->stationUUID, *pasted->fade, 55);

    const auto url = Sonvela::wakeURL(alarm);
    ASSERT_TRUE(url);
    const auto back = WakeLink::parse(url->toString(QUrl::FullyEncoded));
    EXPECT_EQ(back, (WakeLink{Mode::station, QStringLiteral("x&volume=1#+"), 12, 55}));
}

TEST(SonvelaFirstQueryValue, FindsTheFirstValueOfAnExactName) {
    const QUrl url(QStringLiteral("sonvela://play?a=1&b&a=2&c=&d=x%2By+z"));
    EXPECT_EQ(Sonvela::firstQueryValue(QStringLiteral("a"), url), QStringLiteral("1"));
    EXPECT_EQ(Sonvela::firstQueryValue(QStringLiteral("b"), url), std::nullopt);
    EXPECT_EQ(Sonvela::firstQueryValue(QStringLiteral("c"), url), QString());
    EXPECT_EQ(Sonvela::firstQueryValue(QStringLiteral("d"), url), QStringLiteral("x+y+z"));
    EXPECT_EQ(Sonvela::firstQueryValue(QStringLiteral("A"), url), std::nullopt);
    EXPECT_EQ(Sonvela::firstQueryValue(QStringLiteral("a"), QUrl(QStringLiteral("sonvela://play"))), std::nullopt);
}

namespace {

class FakeHandler final : public UrlSchemeHandler {
public:
    bool installed = false;
    bool accepts = true;
    QList<QUrl> opened;
    bool hasHandler() const override { return installed; }
    bool open(const QUrl& url) override {
        opened.append(url);
        return accepts;
    }
};

class FakeProcesses final : public ProcessFinder {
public:
    std::vector<qint64> running;
    std::vector<qint64> pids() const override { return running; }
};

class FakeAudio final : public AudioOutputStatus {
public:
    std::optional<std::vector<SinkInputInfo>> inputs;
    bool isOutputSilent() const override { return false; }
    std::optional<std::vector<SinkInputInfo>> sinkInputs() const override { return inputs; }
};

class SonvelaSystem : public ::testing::Test {
protected:
    void SetUp() override {
        Sonvela::setSchemeHandler(&handler);
        Sonvela::setProcessFinder(&processes);
        Sonvela::setAudioStatus(&audio);
    }
    void TearDown() override {
        Sonvela::setSchemeHandler(nullptr);
        Sonvela::setProcessFinder(nullptr);
        Sonvela::setAudioStatus(nullptr);
    }
    FakeHandler handler;
    FakeProcesses processes;
    FakeAudio audio;
};

}  // namespace

TEST_F(SonvelaSystem, OpenWakeOpensOnlyWhenInstalledAndAUrlExists) {
    const AlarmSettings random = radioAlarm(Mode::randomFavorite, std::nullopt, 30, 40);

    EXPECT_FALSE(Sonvela::isInstalled());
    EXPECT_FALSE(Sonvela::openWake(random));
    EXPECT_TRUE(handler.opened.isEmpty());

    handler.installed = true;
    EXPECT_TRUE(Sonvela::isInstalled());
    EXPECT_FALSE(Sonvela::openWake(radioAlarm(Mode::station, QString(), 30, 40)));
    EXPECT_TRUE(handler.opened.isEmpty());

    EXPECT_TRUE(Sonvela::openWake(random));
    ASSERT_EQ(handler.opened.size(), 1);
    EXPECT_EQ(handler.opened[0], *Sonvela::wakeURL(random));

    // A refusal by the desktop is reported, not papered over.
    handler.accepts = false;
    EXPECT_FALSE(Sonvela::openWake(random));
}

TEST_F(SonvelaSystem, RadioPlayingNeedsAnUncorkedStreamOfItsOwnProcess) {
    using Inputs = std::optional<std::vector<SinkInputInfo>>;
    using List = std::vector<SinkInputInfo>;
    struct Case {
        const char* what;
        std::vector<qint64> running;
        Inputs inputs;
        std::optional<bool> expected;
    };
    const Case cases[] = {
        {"not running, no server", {}, std::nullopt, false},
        {"not running, other stream plays", {}, Inputs(List{{77, false}}), false},
        {"running, no server", {42}, std::nullopt, std::nullopt},
        {"running, no streams at all", {42}, Inputs(List{}), std::nullopt},
        {"running, only another program plays", {42}, Inputs(List{{77, false}, {-1, false}}), false},
        {"running, own stream paused", {42}, Inputs(List{{42, true}}), false},
        {"running, own stream plays", {42}, Inputs(List{{77, false}, {42, false}}), true},
        {"second instance plays", {41, 42}, Inputs(List{{41, true}, {42, false}}), true},
    };
    for (const Case& c : cases) {
        processes.running = c.running;
        audio.inputs = c.inputs;
        EXPECT_EQ(Sonvela::isRadioPlaying(), c.expected) << c.what;
    }
}

namespace {

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

}  // namespace

TEST(ProcProcessFinder, MatchesExecutableArgv0OrFlatpakSandbox) {
    QTemporaryDir proc;
    ASSERT_TRUE(proc.isValid());
    const QString root = proc.path();
    const auto link = [&](const QString& pid, const QString& target) {
        QDir().mkpath(root + u'/' + pid);
        ASSERT_TRUE(QFile::link(target, root + u'/' + pid + QStringLiteral("/exe")));
    };
    link(QStringLiteral("10"), QStringLiteral("/usr/bin/sonvela"));
    writeFile(root + QStringLiteral("/11/cmdline"), QByteArray("/opt/radio/sonvela\0--hidden\0", 29));
    link(QStringLiteral("11"), QStringLiteral("/usr/bin/python3"));
    writeFile(root + QStringLiteral("/12/environ"), QByteArray("HOME=/h\0FLATPAK_ID=de.velmor.sonvela\0", 37));
    writeFile(root + QStringLiteral("/12/cmdline"), QByteArray("/app/bin/radio\0", 15));
    link(QStringLiteral("15"), QStringLiteral("/usr/bin/sonvela (deleted)"));
    // Near misses.
    writeFile(root + QStringLiteral("/13/cmdline"), QByteArray("/usr/bin/sonvela-helper\0sonvela\0", 32));
    writeFile(root + QStringLiteral("/14/environ"), QByteArray("FLATPAK_ID=de.velmor.sonvela.Locale\0", 36));
    writeFile(root + QStringLiteral("/16/environ"), QByteArray("X_FLATPAK_ID=de.velmor.sonvela\0", 31));
    writeFile(root + QStringLiteral("/17/cmdline"), QByteArray("/usr/bin/sonvela/\0", 18));
    link(QStringLiteral("self"), QStringLiteral("/usr/bin/sonvela"));
    link(QStringLiteral("1x"), QStringLiteral("/usr/bin/sonvela"));
    QDir().mkpath(root + QStringLiteral("/18"));  // a process we may not look into

    const ProcProcessFinder finder(QStringLiteral("sonvela"), QStringLiteral("de.velmor.sonvela"), root);
    std::vector<qint64> pids = finder.pids();
    std::sort(pids.begin(), pids.end());
    EXPECT_EQ(pids, (std::vector<qint64>{10, 11, 12, 15}));
}

TEST(ProcProcessFinder, FindsThisProcessInTheRealProc) {
    const QString self = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const ProcProcessFinder finder(self, QString());
    const std::vector<qint64> pids = finder.pids();
    EXPECT_NE(std::find(pids.begin(), pids.end(), qint64(getpid())), pids.end());

    const ProcProcessFinder nobody(QStringLiteral("no-such-program-here"), QStringLiteral("no.such.app"));
    EXPECT_TRUE(nobody.pids().empty());
}

TEST(SonvelaStation, SubtitleJoinsRegionAndFormat) {
    using Sonvela::Station;
    const auto station = [](std::optional<QString> code, std::optional<QString> country, std::optional<QString> codec,
                            std::optional<qint64> bitrate) {
        Station s;
        s.stationuuid = QStringLiteral("id");
        s.name = QStringLiteral("Name");
        s.countrycode = std::move(code);
        s.country = std::move(country);
        s.codec = std::move(codec);
        s.bitrate = bitrate;
        return s;
    };
    struct Case {
        Station station;
        QString expected;
    };
    const Case cases[] = {
        {station(QStringLiteral("DE"), QStringLiteral("Germany"), QStringLiteral("mp3"), 128),
         QStringLiteral("Deutschland · MP3 128 kbit/s")},
        {station(QStringLiteral("de"), std::nullopt, QStringLiteral("unknown"), 128), QStringLiteral("Deutschland")},
        {station(QStringLiteral("AT"), std::nullopt, QStringLiteral("aac"), 0), QStringLiteral("Österreich · AAC")},
        {station(QStringLiteral("XX"), QStringLiteral("Atlantis"), QStringLiteral("ogg"), std::nullopt),
         QStringLiteral("Atlantis · OGG")},
        {station(QString(), QStringLiteral("Atlantis"), std::nullopt, 128), QStringLiteral("Atlantis")},
        {station(QStringLiteral("D@E_x"), QStringLiteral("Kaputt"), QString(), 64), QStringLiteral("Kaputt")},
        {station(std::nullopt, QString(), QStringLiteral("flac"), -1), QStringLiteral("FLAC")},
        {station(std::nullopt, std::nullopt, std::nullopt, std::nullopt), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.station.subtitle().toStdString(), c.expected.toStdString());
    }
}
