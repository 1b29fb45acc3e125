#include "worldmap/MapShapes.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/AtomicFile.h"
#include "platform/Resources.h"

namespace corvane {

namespace {

quint32 readU32(const unsigned char* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

double readCoordinate(const unsigned char* p) {
    return double(std::int16_t(std::uint16_t(p[0] | p[1] << 8))) / 100.0;
}

}  // namespace

ShapeList MapShapes::parse(QByteArrayView bytes) {
    ShapeList shapes;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();
    if (size < 4) return shapes;

    const quint32 count = readU32(data);
    // Every shape takes at least its 4-byte point count, so the file itself
    // bounds how many can follow, whatever the count claims.
    shapes.reserve(std::min<qsizetype>(count, (size - 4) / 4));

    qsizetype pos = 4;
    for (quint32 i = 0; i < count; ++i) {
        if (size - pos < 4) break;
        const quint32 points = readU32(data + pos);
        pos += 4;
        // 64-bit arithmetic: 4 × a 32-bit count cannot overflow.
        if (qint64(size - pos) < qint64(points) * 4) break;

        Shape shape(points);
        for (ShapePoint& point : shape) {
            point.lon = readCoordinate(data + pos);
            point.lat = readCoordinate(data + pos + 2);
            pos += 4;
        }
        shapes.push_back(std::move(shape));
    }
    return shapes;
}

bool MapShapes::withinDrawingCaps(const ShapeList& shapes) {
    if (shapes.size() > kMaxShapes) return false;
    double outline = 0;
    double boxes = 0;
    for (const Shape& shape : shapes) {
        if (shape.empty()) continue;
        double lon0 = shape.front().lon, lon1 = lon0, lat0 = shape.front().lat, lat1 = lat0;
        // The closing edge too: land rings are drawn closed.
        ShapePoint last = shape.back();
        for (const ShapePoint& point : shape) {
            const double dx = point.lon - last.lon;
            const double dy = point.lat - last.lat;
            outline += std::sqrt(dx * dx + dy * dy);
            last = point;
            lon0 = std::min(lon0, point.lon);
            lon1 = std::max(lon1, point.lon);
            lat0 = std::min(lat0, point.lat);
            lat1 = std::max(lat1, point.lat);
        }
        boxes += (lon1 - lon0) * (lat1 - lat0);
        if (outline > kMaxOutlineDegrees || boxes > kMaxBoxSquareDegrees) return false;
    }
    return true;
}

ShapeList MapShapes::loadFile(const QString& filePath, ResourceState* state) {
    ResourceState ignored = ResourceState::ok;
    ResourceState& result = state ? *state : ignored;
    const QFileInfo info(filePath);
    result = info.exists() || info.isSymLink() ? ResourceState::unreadable : ResourceState::missing;
    // Only a regular file: a FIFO or device would block or never end.
    const std::optional<QByteArray> bytes = readRegularFile(filePath, kMaxFileBytes).bytes;
    if (!bytes) return {};
    ShapeList shapes = parse(*bytes);
    if (shapes.empty() || !withinDrawingCaps(shapes)) return {};
    result = ResourceState::ok;
    return shapes;
}

ShapeList MapShapes::load(const QString& name, ResourceState* state) {
    return loadFile(resourcePath(name + QStringLiteral(".bin")), state);
}

namespace {

struct LoadedShapes {
    ShapeList shapes;
    ResourceState state = ResourceState::missing;

    explicit LoadedShapes(const QString& name) { shapes = MapShapes::load(name, &state); }
};

const LoadedShapes& loadedLand() {
    static const LoadedShapes land(QStringLiteral("land"));
    return land;
}

const LoadedShapes& loadedBorders() {
    static const LoadedShapes borders(QStringLiteral("borders"));
    return borders;
}

}  // namespace

const ShapeList& MapShapes::land() { return loadedLand().shapes; }

const ShapeList& MapShapes::borders() { return loadedBorders().shapes; }

ResourceState MapShapes::landState() { return loadedLand().state; }

ResourceState MapShapes::bordersState() { return loadedBorders().state; }

}  // namespace corvane
