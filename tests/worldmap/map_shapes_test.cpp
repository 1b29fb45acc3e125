#include <gtest/gtest.h>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <initializer_list>
#include <ostream>

#include "worldmap/MapShapes.h"

namespace corvane {

void PrintTo(const ShapePoint& p, std::ostream* os) {
    *os << '(' << p.lon << ", " << p.lat << ')';
}

namespace {

void appendU32(QByteArray& out, quint32 v) {
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xff));
}

void appendPoint(QByteArray& out, std::int16_t lon, std::int16_t lat) {
    for (std::int16_t v : {lon, lat}) {
        out.append(char(std::uint16_t(v) & 0xff));
        out.append(char(std::uint16_t(v) >> 8));
    }
}

// A shape count followed by the shapes, each written as its points.
QByteArray file(quint32 count, std::initializer_list<std::initializer_list<std::pair<int, int>>> shapes) {
    QByteArray out;
    appendU32(out, count);
    for (const auto& shape : shapes) {
        appendU32(out, quint32(shape.size()));
        for (const auto& [lon, lat] : shape) appendPoint(out, std::int16_t(lon), std::int16_t(lat));
    }
    return out;
}

TEST(MapShapesParse, ReadsShapesInFileOrderAsSignedHundredths) {
    const QByteArray bytes = file(3, {{{1336, 5252}, {-7401, 4071}, {18000, -9000}}, {}, {{-18000, 8400}}});
    const ShapeList shapes = MapShapes::parse(bytes);
    ASSERT_EQ(shapes.size(), 3u);
    EXPECT_EQ(shapes[0], (Shape{{13.36, 52.52}, {-74.01, 40.71}, {180.0, -90.0}}));
    EXPECT_TRUE(shapes[1].empty()) << "a shape of no points is still a shape";
    EXPECT_EQ(shapes[2], (Shape{{-180.0, 84.0}}));

    // 0xC350 read as signed is -15536; no range check clips latitude 100.
    QByteArray raw;
    appendU32(raw, 1);
    appendU32(raw, 1);
    raw.append("\x50\xC3\x10\x27", 4);
    EXPECT_EQ(MapShapes::parse(raw), (ShapeList{{{-155.36, 100.0}}}));
}

TEST(MapShapesParse, CutOrShortDataKeepsTheCompleteShapesBeforeIt) {
    const QByteArray two = file(2, {{{100, 200}, {300, 400}}, {{500, 600}, {700, 800}}});
    const ShapeList first{{{1.0, 2.0}, {3.0, 4.0}}};
    struct Case {
        const char* what;
        QByteArray bytes;
        ShapeList expected;
    };
    const Case cases[] = {
        {"empty file", QByteArray(), {}},
        {"3 bytes", QByteArray("\x01\x00\x00", 3), {}},
        {"count 0", file(0, {}), {}},
        {"count 0 with data behind it", file(0, {{{1, 1}}}), {}},
        {"whole file", two, {first.front(), {{5.0, 6.0}, {7.0, 8.0}}}},
        {"cut inside the second shape's points", two.left(two.size() - 1), first},
        {"cut inside the second point count", two.left(4 + 4 + 8 + 2), first},
        {"count larger than the data", file(5, {{{100, 200}, {300, 400}}}), first},
        {"data beyond the count is ignored", file(1, {{{100, 200}, {300, 400}}, {{9, 9}}}), first},
    };
    for (const Case& c : cases) EXPECT_EQ(MapShapes::parse(c.bytes), c.expected) << c.what;
}

// A hostile file must not make the parser reserve what the counts claim.
TEST(MapShapesParse, HugeCountsReserveNoMoreThanTheBytesHold) {
    const ShapeList none = MapShapes::parse(file(0xFFFFFFFFu, {}));
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.capacity(), 0u);

    // One real shape, then one that claims a billion points but holds one.
    QByteArray bytes = file(0xFFFFFFFFu, {{{100, 200}}});
    appendU32(bytes, 1'000'000'000u);
    appendPoint(bytes, 1, 1);
    const ShapeList shapes = MapShapes::parse(bytes);
    ASSERT_EQ(shapes.size(), 1u);
    EXPECT_LE(shapes.capacity(), size_t(bytes.size()) / 4);

    // The largest count whose byte length still overflows 32 bits.
    QByteArray wrap;
    appendU32(wrap, 1);
    appendU32(wrap, 0x40000001u);
    appendPoint(wrap, 1, 1);
    EXPECT_TRUE(MapShapes::parse(wrap).empty());
}

TEST(MapShapesLoad, ReadsAFileAndTreatsUnusableOnesAsEmpty) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString good = dir.filePath(QStringLiteral("good.bin"));
    QFile out(good);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(file(1, {{{100, 200}}}));
    out.close();
    EXPECT_EQ(MapShapes::loadFile(good), (ShapeList{{{1.0, 2.0}}}));

    EXPECT_TRUE(MapShapes::loadFile(dir.filePath(QStringLiteral("missing.bin"))).empty());
    EXPECT_TRUE(MapShapes::loadFile(dir.path()).empty()) << "a folder is no file";

    // The resource lookup takes the name plus ".bin" from the resource folder.
    qputenv("CORVANE_RESOURCE_DIR", QFile::encodeName(dir.path()));
    EXPECT_EQ(MapShapes::load(QStringLiteral("good")), (ShapeList{{{1.0, 2.0}}}));
    EXPECT_TRUE(MapShapes::load(QStringLiteral("borders")).empty());
    qunsetenv("CORVANE_RESOURCE_DIR");
}

// Files that would hold up the window while the map is drawn are turned
// away whole; the state tells the map view what to say.
TEST(MapShapesLoad, FilesBeyondTheCapsAreTurnedAwayAsUnreadable) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto singlePoints = [](std::size_t count) {
        QByteArray out;
        appendU32(out, quint32(count));
        for (std::size_t i = 0; i < count; ++i) {
            appendU32(out, 1);
            appendPoint(out, 100, 200);
        }
        return out;
    };
    QByteArray oversized;
    appendU32(oversized, 1);
    appendU32(oversized, quint32((MapShapes::kMaxFileBytes - 8) / 4 + 1));
    oversized.resize(MapShapes::kMaxFileBytes + 4, '\0');
    QByteArray zigzag;  // across the map and back, a thousand times
    appendU32(zigzag, 1);
    appendU32(zigzag, 1000);
    for (int i = 0; i < 1000; ++i) appendPoint(zigzag, std::int16_t(i % 2 ? 17000 : -17000), 0);
    QByteArray worldTriangles;  // each one's box nearly the whole map
    appendU32(worldTriangles, 7);
    for (int i = 0; i < 7; ++i) {
        appendU32(worldTriangles, 3);
        appendPoint(worldTriangles, -17500, -5500);
        appendPoint(worldTriangles, 17500, -5500);
        appendPoint(worldTriangles, 0, 8300);
    }
    const struct {
        const char* what;
        QByteArray contents;
        ResourceState expected;
    } cases[] = {
        {"just over the byte cap", oversized, ResourceState::unreadable},
        {"one shape more than the cap", singlePoints(MapShapes::kMaxShapes + 1), ResourceState::unreadable},
        {"exactly the shape cap", singlePoints(MapShapes::kMaxShapes), ResourceState::ok},
        {"an outline far too long", zigzag, ResourceState::unreadable},
        {"boxes covering the map many times", worldTriangles, ResourceState::unreadable},
        {"no shape at all", file(0, {}), ResourceState::unreadable},
        {"too short for a count", QByteArray("\1\0", 2), ResourceState::unreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = dir.filePath(QStringLiteral("shapes.bin"));
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(out.write(c.contents), c.contents.size());
        out.close();
        ResourceState state = ResourceState::missing;
        const ShapeList shapes = MapShapes::loadFile(path, &state);
        EXPECT_EQ(state, c.expected);
        EXPECT_EQ(shapes.empty(), c.expected != ResourceState::ok);
    }
    ResourceState state = ResourceState::ok;
    EXPECT_TRUE(MapShapes::loadFile(dir.filePath(QStringLiteral("missing.bin")), &state).empty());
    EXPECT_EQ(state, ResourceState::missing);
    EXPECT_TRUE(MapShapes::loadFile(dir.path(), &state).empty());
    EXPECT_EQ(state, ResourceState::unreadable);
}

}  // namespace
}  // namespace corvane
