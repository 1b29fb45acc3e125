// The shape files lie in the program's folder, but a damaged install or a
// hand-edited file must neither crash the map nor make it allocate beyond
// what the file holds.
#include <QByteArrayView>
#include <cstdint>
#include <cstdlib>

#include "worldmap/MapShapes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const corvane::ShapeList shapes =
        corvane::MapShapes::parse(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
    size_t points = 0;
    for (const corvane::Shape& shape : shapes) {
        points += shape.size();
        for (const corvane::ShapePoint& p : shape)
            if (p.lon < -327.68 || p.lon > 327.67 || p.lat < -327.68 || p.lat > 327.67) std::abort();
    }
    // Each shape costs 4 bytes and each point 4 more.
    if (size >= 4 && 4 + 4 * (shapes.size() + points) > size) std::abort();
    if (shapes.capacity() > (size < 4 ? 0 : (size - 4) / 4)) std::abort();
    return 0;
}
