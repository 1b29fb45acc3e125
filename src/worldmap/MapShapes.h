#pragma once

// The land outlines and country borders of the world map, read from the
// binary resource files land.bin and borders.bin.
//
// File layout (both files, little-endian, no header beyond the count):
//   u32 shape count, then per shape: u32 point count, then per point
//   i16 longitude, i16 latitude, each in hundredths of a degree.

#include <QByteArrayView>
#include <QString>
#include <vector>

namespace corvane {

struct ShapePoint {
    double lon = 0;  // degrees, east positive
    double lat = 0;  // degrees, north positive
    friend bool operator==(const ShapePoint&, const ShapePoint&) = default;
};

// A closed ring for land (the drawing closes it), an open polyline for borders.
using Shape = std::vector<ShapePoint>;
using ShapeList = std::vector<Shape>;

struct MapShapes {
    // The shapes of <name>.bin in the program's resource folder ("land",
    // "borders"). A missing, unreadable or oversized file gives an empty list.
    static ShapeList load(const QString& name);
    // The same for a file given by its path.
    static ShapeList loadFile(const QString& filePath);

    // Every complete shape of `bytes`, in file order; a cut-off shape and
    // everything after it are left out, and fewer than 4 bytes give none.
    // The counts in the data are never trusted for allocation: memory grows
    // only with what the bytes actually hold.
    static ShapeList parse(QByteArrayView bytes);

    // Built on the first call from any thread and kept for the whole run.
    static const ShapeList& land();
    static const ShapeList& borders();
};

}  // namespace corvane
