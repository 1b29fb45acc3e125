#pragma once

#include <QImage>
#include <QString>

namespace corvane {

// Photos from phones come as HEIC/HEIF, which Qt's image readers on this
// platform do not know. These read them through libheif.

// Whether the file starts like an HEIF container (an "ftyp" box naming an
// HEIF brand), whatever its name says.
bool looksLikeHeif(const QString& path);

// The primary image of an HEIF file, with the file's rotation, mirroring and
// cropping applied, scaled down (never up) so neither side exceeds `maxSide`
// (0: no limit). A null image for a missing, broken or unsupported file.
QImage readHeifImage(const QString& path, int maxSide = 0);

}  // namespace corvane
