#pragma once

// Map data files as large as the readers accept, filled the way that costs
// the most: the figures for "a hostile file cannot hold up the window".

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdint>

#include "model/WorldCity.h"
#include "worldmap/MapShapes.h"

namespace corvane::bench {

// As many distinct, valid cities as are read, each with a known zone and a
// region code (so an English reader looks up region names), padded so that
// the file ends just under the size cap.
inline QByteArray catalogueAtCap() {
    static const char* const zones[] = {"Europe/Berlin", "America/New_York", "Asia/Tokyo", "Africa/Cairo",
                                        "Australia/Sydney", "America/Sao_Paulo", "Asia/Kolkata", "UTC"};
    const qsizetype lineBytes = WorldCity::kMaxFileBytes / WorldCity::kMaxLines - 1;
    QByteArray text;
    text.reserve(WorldCity::kMaxFileBytes);
    for (qsizetype i = 0; i < WorldCity::kMaxLines; ++i) {
        QByteArray line = "Stadt" + QByteArray::number(i) + "\tLand\t" + QByteArray::number(double(i % 170) - 85) +
                          "\t" + QByteArray::number(double(i % 360) - 180) + "\t" + zones[i % 8] + "\t" +
                          QByteArray::number(i * 37) + "\t0\tCity" + QByteArray::number(i) + "\t\tDE";
        if (line.size() < lineBytes) line += QByteArray(lineBytes - line.size(), 'x');  // a long Spanish name
        text += line + '\n';
    }
    return text;
}

inline void appendU32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xff);
}

inline void appendPoint(QByteArray& out, int lon, int lat) {
    out += char(lon & 0xff);
    out += char((lon >> 8) & 0xff);
    out += char(lat & 0xff);
    out += char((lat >> 8) & 0xff);
}

enum class HostileShapes {
    mediumTriangles,  // as many as the outline and box caps allow together: the most overdraw
    tinyTriangles,    // as many as the shape cap allows
    walk,             // one ring of as many points as fit, steps just too long to be thinned
};

// A shape file at the caps (see MapShapes), built the way that costs the
// drawing the most.
inline QByteArray shapesAtCap(HostileShapes kind) {
    const qsizetype room = MapShapes::kMaxFileBytes - 4;
    QByteArray data;
    data.reserve(MapShapes::kMaxFileBytes);
    std::uint32_t seed = 12345;
    auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % std::uint32_t(range));
    };
    auto triangles = [&](std::uint32_t count, int side) {  // side in hundredths of a degree
        appendU32(data, count);
        for (std::uint32_t r = 0; r < count; ++r) {
            const int lon = next(36000 - side) - 18000;
            const int lat = next(14200 - side) - 5800;
            appendU32(data, 3);
            appendPoint(data, lon, lat);
            appendPoint(data, lon + side, lat);
            appendPoint(data, lon, lat + side);
        }
    };
    switch (kind) {
        case HostileShapes::mediumTriangles: {
            // n (2 + sqrt 2) s = outline cap and n s^2 = box cap, less a little.
            const double s = MapShapes::kMaxBoxSquareDegrees * 3.414 / MapShapes::kMaxOutlineDegrees;
            const auto n = std::uint32_t(0.98 * MapShapes::kMaxBoxSquareDegrees / (s * s));
            triangles(n, int(s * 100));
            break;
        }
        case HostileShapes::tinyTriangles:
            triangles(std::uint32_t(std::min<qsizetype>(room / 16, qsizetype(MapShapes::kMaxShapes))), 20);
            break;
        case HostileShapes::walk: {
            // Steps of 0.2 degrees: about a pixel at 1600 wide, so none is
            // thinned; as many as the outline cap allows.
            const auto points = std::uint32_t(
                std::min<double>(double(room - 4) / 4, 0.97 * MapShapes::kMaxOutlineDegrees / (0.14 * 1.4143)));
            appendU32(data, 1);
            appendU32(data, points);
            int lon = 0, lat = 0;
            for (std::uint32_t i = 0; i < points; ++i) {
                lon = std::clamp(lon + (next(2) ? 14 : -14), -18000, 18000);
                lat = std::clamp(lat + (next(2) ? 14 : -14), -5800, 8400);
                appendPoint(data, lon, lat);
            }
            break;
        }
    }
    return data;
}

// Writes `bytes` to a file in `dir` and returns its path.
inline QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    return path;
}

}  // namespace corvane::bench
