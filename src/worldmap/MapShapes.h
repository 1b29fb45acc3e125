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

#include "platform/Resources.h"

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
    // What a shape file may hold: five to fifteen times the shipped land,
    // and little enough to read and draw in well under half a second. Bytes
    // alone would not do: a few thousand triangles spanning the map cost the
    // fill and the coast line minutes, so the number of shapes (each is
    // clipped against every tile of the fill it reaches), the outline's
    // length and the area the shapes' bounding boxes cover (the fill's
    // overdraw) are capped too.
    static constexpr qint64 kMaxFileBytes = 2 * 1024 * 1024;
    static constexpr std::size_t kMaxShapes = 20'000;
    static constexpr double kMaxOutlineDegrees = 100'000;
    static constexpr double kMaxBoxSquareDegrees = 300'000;

    // Whether `shapes` stay within the outline and box caps above.
    static bool withinDrawingCaps(const ShapeList& shapes);

    // The shapes of <name>.bin in the program's resource folder ("land",
    // "borders"). A missing, unreadable or oversized file gives an empty list;
    // `state`, when given, tells which (a file without any shape counts as
    // unreadable).
    static ShapeList load(const QString& name, ResourceState* state = nullptr);
    // The same for a file given by its path.
    static ShapeList loadFile(const QString& filePath, ResourceState* state = nullptr);

    // Every complete shape of `bytes`, in file order; a cut-off shape and
    // everything after it are left out, and fewer than 4 bytes give none.
    // The counts in the data are never trusted for allocation: memory grows
    // only with what the bytes actually hold.
    static ShapeList parse(QByteArrayView bytes);

    // Built on the first call from any thread and kept for the whole run.
    static const ShapeList& land();
    static const ShapeList& borders();
    // How reading them went; reading them first when not done yet.
    static ResourceState landState();
    static ResourceState bordersState();
};

}  // namespace corvane
