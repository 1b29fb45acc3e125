#include "worldmap/MapShapes.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdint>

#include "platform/Resources.h"

namespace corvane {

namespace {

// The shipped files are a few hundred kilobytes; the world at 0.01° in every
// detail would still fit well below this. Anything larger is not ours.
constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

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

ShapeList MapShapes::loadFile(const QString& filePath) {
    // Only a regular file: a FIFO or device would block or never end.
    if (!QFileInfo(filePath).isFile()) return {};
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileBytes) return {};
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileBytes) return {};
    return parse(bytes);
}

ShapeList MapShapes::load(const QString& name) {
    return loadFile(resourcePath(name + QStringLiteral(".bin")));
}

const ShapeList& MapShapes::land() {
    static const ShapeList shapes = load(QStringLiteral("land"));
    return shapes;
}

const ShapeList& MapShapes::borders() {
    static const ShapeList shapes = load(QStringLiteral("borders"));
    return shapes;
}

}  // namespace corvane
