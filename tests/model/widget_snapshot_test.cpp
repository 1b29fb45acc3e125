#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <nlohmann/json.hpp>
#include <functional>
#include <string>
#include <vector>

#include "HostileFiles.h"
#include "model/JsonLimits.h"
#include "model/WidgetSnapshot.h"
#include "platform/AtomicFile.h"

using corvane::AppPaths;
using corvane::DialStyle;
using corvane::RGB;
using corvane::ThemeColors;
using corvane::ThemeMode;
using corvane::WidgetSnapshot;

namespace {

WidgetSnapshot sample() {
    WidgetSnapshot s;
    s.clocks = {
        {QStringLiteral("Europe/Berlin"), QStringLiteral("Zuhause"), DialStyle::roman,
         QStringLiteral("#1F3A5F")},
        {QString(), QStringLiteral("Hier \"jetzt\" – ü"), DialStyle::night, std::nullopt},
        {QStringLiteral("America/Argentina/Buenos_Aires"), QStringLiteral("BA"), DialStyle::classic,
         QStringLiteral(" 1af ")},
    };
    s.digital = true;
    s.fontFamily = QStringLiteral("Helvetica Neue");
    s.theme = ThemeColors::defaultPalette();
    s.nextAlarm = QStringLiteral("Wecker 07:00");
    return s;
}

struct FileId {
    ino_t inode = 0;
    timespec mtime{};
    bool operator==(const FileId& o) const {
        return inode == o.inode && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

FileId fileId(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return {st.st_ino, st.st_mtim};
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

class WidgetSnapshotFile : public ::testing::Test {
protected:
    QTemporaryDir root;
    AppPaths paths = AppPaths::under(root.path() + QStringLiteral("/deeper/still"));
    QString file() const { return *WidgetSnapshot::fileURL(paths); }
};

}  // namespace

TEST(WidgetSnapshotFormat, EncodesCompactInFieldOrderWithEscapedSlashes) {
    WidgetSnapshot s;
    s.clocks = {{QStringLiteral("Europe/Berlin"), QStringLiteral("B"), DialStyle::gradient, std::nullopt},
                {QStringLiteral(""), QStringLiteral("C"), DialStyle::dots, QStringLiteral("#ABC")}};
    s.fontFamily = QStringLiteral("Menlo");
    s.theme = ThemeColors::defaultPalette();
    const QByteArray expected =
        R"({"clocks":[{"timeZoneID":"Europe\/Berlin","title":"B","dial":"Gradient"},)"
        R"({"timeZoneID":"","title":"C","dial":"Dots","face":"#ABC"}],"digital":false,"fontFamily":"Menlo",)"
        R"("theme":{"background":"#202020","surface":"#2D2D2D","control":"#353535","controlHover":"#444444",)"
        R"("border":"#525252","foreground":"#F2F2F2","secondaryForeground":"#B3B3B3","accent":"#4CC2FF",)"
        R"("accentForeground":"#000000","isDark":true}})";
    EXPECT_EQ(s.encode(), expected);

    s.nextAlarm = QStringLiteral("7:00 / Mo–Fr");
    const QByteArray withAlarm = s.encode();
    EXPECT_TRUE(withAlarm.endsWith(R"(,"nextAlarm":"7:00 \/ Mo–Fr"})")) << withAlarm.toStdString();
}

TEST(WidgetSnapshotFormat, RoundTrips) {
    const WidgetSnapshot s = sample();
    EXPECT_EQ(WidgetSnapshot::decode(s.encode()), s);

    WidgetSnapshot empty;
    EXPECT_EQ(WidgetSnapshot::decode(empty.encode()), empty);

    // Every dial style survives by its text value.
    for (DialStyle style : corvane::allCases<DialStyle>()) {
        WidgetSnapshot one;
        one.clocks = {{QStringLiteral("Asia/Tokyo"), QStringLiteral("T"), style, std::nullopt}};
        EXPECT_EQ(WidgetSnapshot::decode(one.encode()), one) << int(style);
    }
}

TEST(WidgetSnapshotFormat, UnreadableOnlyWithoutTheUsersClocks) {
    const std::string theme = corvane::toJson(ThemeColors::defaultPalette()).dump();
    const std::string clock = R"({"timeZoneID":"Europe/Paris","title":"P","dial":"Modern"})";
    auto doc = [&](const std::string& clocks, const std::string& rest) {
        return QByteArray::fromStdString(R"({"clocks":[)" + clocks + "]," + rest + "}");
    };
    const std::string good = R"("digital":true,"fontFamily":"F","theme":)" + theme;

    struct Case {
        const char* name;
        QByteArray json;
        bool readable;
    };
    const Case cases[] = {
        {"complete", doc(clock, good), true},
        {"unescaped slash and unknown keys", doc(clock, good + R"(,"extra":[1,2])"), true},
        {"null optionals",
         doc(R"({"timeZoneID":"","title":"","dial":"Night","face":null})", good + R"(,"nextAlarm":null)"),
         true},
        {"only the clocks", doc(clock, R"("x":0)"), true},
        {"no clocks at all", doc("", good), true},
        {"no clocks key", QByteArray::fromStdString("{" + good + "}"), false},
        {"clocks not a list", QByteArray::fromStdString(R"({"clocks":{},)" + good + "}"), false},
        {"clocks null", QByteArray::fromStdString(R"({"clocks":null,)" + good + "}"), false},
        {"no clock is one", doc(R"(1,"Berlin",{"title":"ohne Zone"},{"timeZoneID":7})", good), false},
        {"top level a list", "[]", false},
        {"not JSON", "widget", false},
        {"empty", "", false},
        {"truncated", doc(clock, good).left(60), false},
        {"trailing garbage", doc(clock, good) + "}", false},
        {"invalid UTF-8",
         doc(R"({"timeZoneID":"","title":")" + std::string("\xC3\x28") + R"(","dial":"Roman"})", good),
         false},
        {"nested without end", QByteArray(100000, '['), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WidgetSnapshot::decode(c.json).has_value(), c.readable);
    }
}

// A value of the wrong type (or none) where the file should hold one costs
// that value alone: the user's clocks stay, the field takes its default, and
// everything around it keeps what the file says.
TEST(WidgetSnapshotFormat, AFieldOfTheWrongTypeCostsThatFieldAlone) {
    WidgetSnapshot s = sample();
    // A light palette whose every colour differs from the plain light one, so
    // a fallback cannot pass for the value the file held.
    s.theme = ThemeColors{RGB{250, 240, 230}, RGB{1, 2, 3},  RGB{4, 5, 6},    RGB{7, 8, 9},    RGB{10, 11, 12},
                          RGB{13, 14, 15},    RGB{16, 17, 18}, RGB{19, 20, 21}, RGB{22, 23, 24}, false};
    const ThemeColors plainLight = ThemeColors::make(ThemeMode::light, std::nullopt, true, 1.0);
    const nlohmann::json intact = nlohmann::json::parse(s.encode().toStdString());
    ASSERT_EQ(WidgetSnapshot::decode(s.encode()), s);

    using Pointer = nlohmann::json::json_pointer;
    const std::optional<nlohmann::json> kRemoved;
    const std::optional<nlohmann::json> wrongTypes[] = {nlohmann::json(16777215), nlohmann::json(nullptr),
                                                        nlohmann::json::array({"#FFFFFF"}),
                                                        nlohmann::json::object({{"r", 255}}), kRemoved};
    struct Case {
        std::string pointer;
        std::function<void(WidgetSnapshot&)> expect;  // what the field reads as instead
        std::vector<std::optional<nlohmann::json>> values;
    };
    std::vector<Case> cases;
    const std::vector<std::optional<nlohmann::json>> all(std::begin(wrongTypes), std::end(wrongTypes));
    const std::pair<const char*, RGB ThemeColors::*> colours[] = {
        {"background", &ThemeColors::background},
        {"surface", &ThemeColors::surface},
        {"control", &ThemeColors::control},
        {"controlHover", &ThemeColors::controlHover},
        {"border", &ThemeColors::border},
        {"foreground", &ThemeColors::foreground},
        {"secondaryForeground", &ThemeColors::secondaryForeground},
        {"accent", &ThemeColors::accent},
        {"accentForeground", &ThemeColors::accentForeground},
    };
    for (const auto& [key, member] : colours) {
        ASSERT_NE(s.theme.*member, plainLight.*member) << key;
        cases.push_back({std::string("/theme/") + key,
                         [member, plainLight](WidgetSnapshot& e) { e.theme.*member = plainLight.*member; }, all});
    }
    // Without the flag the light background still says light, although
    // the default palette is dark.
    cases.push_back({"/theme/isDark", [](WidgetSnapshot&) {}, {nlohmann::json(1), nlohmann::json("false"), kRemoved}});
    cases.push_back({"/theme", [](WidgetSnapshot& e) { e.theme = ThemeColors::defaultPalette(); },
                     {nlohmann::json(0), nlohmann::json("#FFFFFF"), nlohmann::json::array(), kRemoved}});
    cases.push_back({"/digital", [](WidgetSnapshot& e) { e.digital = false; },
                     {nlohmann::json(1), nlohmann::json("ja"), nlohmann::json(nullptr), kRemoved}});
    cases.push_back({"/fontFamily", [](WidgetSnapshot& e) { e.fontFamily.clear(); }, all});
    cases.push_back({"/nextAlarm", [](WidgetSnapshot& e) { e.nextAlarm.reset(); }, all});
    cases.push_back({"/clocks/0/title", [](WidgetSnapshot& e) { e.clocks[0].title.clear(); }, all});
    cases.push_back({"/clocks/0/dial", [](WidgetSnapshot& e) { e.clocks[0].dial = DialStyle::classic; },
                     {nlohmann::json(2), nlohmann::json("roman"), nlohmann::json(nullptr), kRemoved}});
    cases.push_back({"/clocks/0/face", [](WidgetSnapshot& e) { e.clocks[0].face.reset(); }, all});
    // A clock without a zone of its own is left out, the others stay.
    cases.push_back({"/clocks/1/timeZoneID", [](WidgetSnapshot& e) { e.clocks.erase(e.clocks.begin() + 1); }, all});
    cases.push_back({"/clocks/1", [](WidgetSnapshot& e) { e.clocks.erase(e.clocks.begin() + 1); },
                     {nlohmann::json(1), nlohmann::json("Tokyo"), nlohmann::json(nullptr)}});

    for (const Case& c : cases) {
        for (const std::optional<nlohmann::json>& value : c.values) {
            SCOPED_TRACE(c.pointer + " = " + (value ? value->dump() : "(missing)"));
            nlohmann::json broken = intact;
            const Pointer at(c.pointer);
            if (value)
                broken[at] = *value;
            else
                broken[at.parent_pointer()].erase(at.back());
            WidgetSnapshot expected = s;
            c.expect(expected);
            const std::optional<WidgetSnapshot> read = WidgetSnapshot::decode(QByteArray::fromStdString(broken.dump()));
            ASSERT_TRUE(read.has_value());
            EXPECT_EQ(*read, expected);
        }
    }

    // A colour text that does not parse is no error either.
    nlohmann::json notAColour = intact;
    notAColour["theme"]["accent"] = "blau";
    WidgetSnapshot expected = s;
    expected.theme.accent = plainLight.accent;
    EXPECT_EQ(WidgetSnapshot::decode(QByteArray::fromStdString(notAColour.dump())), expected);
}

TEST_F(WidgetSnapshotFile, WritesOnlyWhenTheContentChanged) {
    const WidgetSnapshot s = sample();
    ASSERT_FALSE(QFile::exists(file()));

    // The first write creates the shared folder with its parents.
    EXPECT_TRUE(WidgetSnapshot::write(s, paths));
    EXPECT_EQ(readAll(file()), s.encode());
    EXPECT_EQ(WidgetSnapshot::read(paths), s);
    const FileId first = fileId(file());

    EXPECT_FALSE(WidgetSnapshot::write(s, paths));
    EXPECT_EQ(fileId(file()), first);

    // One palette colour is a change; the file is replaced, not edited.
    WidgetSnapshot changed = s;
    changed.theme.border.b ^= 1;
    EXPECT_TRUE(WidgetSnapshot::write(changed, paths));
    EXPECT_EQ(WidgetSnapshot::read(paths), changed);
    EXPECT_NE(fileId(file()).inode, first.inode);

    // Leaving out the armed alarms drops the key.
    changed.nextAlarm.reset();
    EXPECT_TRUE(WidgetSnapshot::write(changed, paths));
    EXPECT_FALSE(readAll(file()).contains("nextAlarm"));
    EXPECT_EQ(QDir(paths.sharedFolder).entryList(QDir::Files | QDir::Hidden), QStringList{"widget.json"});
}

TEST_F(WidgetSnapshotFile, ReplacesADamagedOrForeignFile) {
    ASSERT_TRUE(QDir().mkpath(paths.sharedFolder));
    const WidgetSnapshot s = sample();

    writeAll(file(), "{not json");
    EXPECT_EQ(WidgetSnapshot::read(paths), std::nullopt);
    EXPECT_TRUE(WidgetSnapshot::write(s, paths));
    EXPECT_EQ(WidgetSnapshot::read(paths), s);

    // Same snapshot, other bytes (pretty printed by someone else): rewritten
    // so the file always holds our exact encoding.
    writeAll(file(), QByteArray::fromStdString(nlohmann::json::parse(s.encode().toStdString()).dump(2)));
    ASSERT_EQ(WidgetSnapshot::read(paths), s);
    EXPECT_TRUE(WidgetSnapshot::write(s, paths));
    EXPECT_EQ(readAll(file()), s.encode());
}

TEST_F(WidgetSnapshotFile, CapsWhatItReads) {
    ASSERT_TRUE(QDir().mkpath(paths.sharedFolder));
    const QByteArray bytes = sample().encode();

    // Exactly at the cap is still read; one byte more is not.
    QByteArray padded = bytes + QByteArray(WidgetSnapshot::kMaxFileBytes - bytes.size(), ' ');
    writeAll(file(), padded);
    EXPECT_EQ(WidgetSnapshot::read(paths), sample());
    writeAll(file(), padded + ' ');
    EXPECT_EQ(WidgetSnapshot::read(paths), std::nullopt);
    EXPECT_EQ(WidgetSnapshot::decode(padded + ' '), std::nullopt);
    // An oversized file is replaced like a damaged one.
    EXPECT_TRUE(WidgetSnapshot::write(sample(), paths));
    EXPECT_EQ(readAll(file()), bytes);
}

TEST_F(WidgetSnapshotFile, NeverBlocksOnOrTrustsSomethingThatIsNotAFile) {
    ASSERT_TRUE(QDir().mkpath(paths.sharedFolder));
    // A FIFO would block a plain read until a writer came along.
    ASSERT_EQ(::mkfifo(QFile::encodeName(file()).constData(), 0600), 0);
    EXPECT_EQ(WidgetSnapshot::read(paths), std::nullopt);
    EXPECT_TRUE(WidgetSnapshot::write(sample(), paths));
    EXPECT_EQ(WidgetSnapshot::read(paths), sample());

    EXPECT_EQ(WidgetSnapshot::read(root.path() + QStringLiteral("/missing.json")), std::nullopt);
    EXPECT_EQ(WidgetSnapshot::read(root.path()), std::nullopt);  // a folder
}

TEST_F(WidgetSnapshotFile, ReportsFailureWithoutWriting) {
    // No shared folder at all.
    AppPaths none = paths;
    none.sharedFolder.clear();
    EXPECT_EQ(WidgetSnapshot::fileURL(none), std::nullopt);
    EXPECT_FALSE(WidgetSnapshot::write(sample(), none));
    EXPECT_EQ(WidgetSnapshot::read(none), std::nullopt);

    // The folder cannot be created: a regular file stands in its way.
    writeAll(root.path() + QStringLiteral("/blocker"), "x");
    AppPaths blocked{paths.dataFolder, root.path() + QStringLiteral("/blocker/shared")};
    EXPECT_FALSE(WidgetSnapshot::write(sample(), blocked));

    // The file's place is taken by a folder.
    ASSERT_TRUE(QDir().mkpath(file()));
    EXPECT_FALSE(WidgetSnapshot::write(sample(), paths));
    EXPECT_TRUE(QFileInfo(file()).isDir());
}

// The widget reads the file at any moment: a write that cannot finish must
// leave the previous snapshot whole, and say so, so no reload is asked for.
TEST_F(WidgetSnapshotFile, AFailingWriteKeepsThePreviousSnapshot) {
    using corvane::WriteStage;
    ASSERT_TRUE(WidgetSnapshot::write(sample(), paths));
    const QByteArray old = readAll(file());
    WidgetSnapshot changed = sample();
    changed.nextAlarm.reset();
    for (const WriteStage stage : {WriteStage::create, WriteStage::write, WriteStage::sync, WriteStage::close,
                                   WriteStage::rename}) {
        SCOPED_TRACE(int(stage));
        corvane::testing::ScopedWriteFault fault(stage, ENOSPC);
        EXPECT_FALSE(WidgetSnapshot::write(changed, paths));
        EXPECT_EQ(readAll(file()), old);
        EXPECT_EQ(corvane::test::entriesOf(paths.sharedFolder), QStringList{"widget.json"});
    }
    EXPECT_TRUE(WidgetSnapshot::write(changed, paths));

    corvane::test::FullDisk disk;
    if (!disk.mounted()) GTEST_SKIP() << "no permission to mount a tmpfs";
    const AppPaths onDisk = AppPaths::under(disk.path());
    ASSERT_TRUE(WidgetSnapshot::write(sample(), onDisk));
    const QByteArray before = readAll(*WidgetSnapshot::fileURL(onDisk));
    disk.fill();
    WidgetSnapshot many = sample();
    for (int i = 0; i < 200; ++i) many.clocks.push_back(sample().clocks.front());
    EXPECT_FALSE(WidgetSnapshot::write(many, onDisk));
    EXPECT_EQ(readAll(*WidgetSnapshot::fileURL(onDisk)), before);
    EXPECT_EQ(corvane::test::entriesOf(onDisk.sharedFolder), QStringList{"widget.json"});
}

// Whatever stands under the snapshot's name is replaced by the snapshot
// itself; nothing a link leads to is ever written.
TEST_F(WidgetSnapshotFile, OddThingsUnderItsNameAreReplacedNotWrittenThrough) {
    for (const corvane::test::Oddity what : corvane::test::kOddities) {
        SCOPED_TRACE(corvane::test::oddityName(what));
        QTemporaryDir scratch;
        const AppPaths here = AppPaths::under(scratch.path());
        const QString elsewhere = scratch.path() + QStringLiteral("/anderswo");
        ASSERT_TRUE(QDir().mkpath(here.sharedFolder));
        const QString target = *WidgetSnapshot::fileURL(here);
        ASSERT_TRUE(corvane::test::makeOddity(what, target, elsewhere));
        bool written = false;
        ASSERT_TRUE(corvane::test::endsWithin(std::chrono::seconds(5), [&] {
            EXPECT_EQ(WidgetSnapshot::read(here), std::nullopt);
            written = WidgetSnapshot::write(sample(), here);
        }));
        EXPECT_TRUE(written);
        EXPECT_EQ(corvane::test::entryType(target), mode_t(S_IFREG));
        EXPECT_EQ(WidgetSnapshot::read(here), sample());
        corvane::test::expectForeignUntouched(what, elsewhere);
    }
}

// A link to a snapshot elsewhere is kept and the snapshot replaced where it
// is; only a link to something else is replaced (above).
TEST_F(WidgetSnapshotFile, ALinkToASnapshotIsFollowed) {
    ASSERT_TRUE(QDir().mkpath(paths.sharedFolder));
    const QString target = root.path() + QStringLiteral("/Dotfiles/widget.json");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(target).absolutePath()));
    WidgetSnapshot older = sample();
    older.digital = !older.digital;
    writeAll(target, older.encode());
    ASSERT_TRUE(QFile::link(target, file()));

    EXPECT_TRUE(WidgetSnapshot::write(sample(), paths));
    EXPECT_TRUE(QFileInfo(file()).isSymLink());
    EXPECT_EQ(readAll(target), sample().encode());
    EXPECT_EQ(QDir(QFileInfo(target).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList{"widget.json"});
}

TEST(JsonNesting, ClosersFirstBuyNoExtraDepth) {
    // "]]]]" before the openers must not let the openers go deeper than the limit.
    const QByteArray sneaky = QByteArray(100, ']') + QByteArray(80, '[') + QByteArray(80, ']');
    EXPECT_FALSE(corvane::jsonNestingWithin(sneaky, 64));
    EXPECT_TRUE(corvane::jsonNestingWithin(QByteArray(64, '[') + QByteArray(64, ']'), 64));
    // Brackets inside strings, escaped quotes included, are text.
    EXPECT_TRUE(corvane::jsonNestingWithin(R"(["\"[[[[[[", "]]]"])", 1));
}
