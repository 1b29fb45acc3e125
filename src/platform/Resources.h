#pragma once

#include <QString>

namespace corvane {

// The full path of a read-only data file that ships with the program
// (cities.tsv, the map shapes). The folder is, in this order:
// $CORVANE_RESOURCE_DIR when set (tests point it at their fixtures);
// <executable folder>/../share/corvane when the file is there (installed);
// otherwise the source tree's resources/ folder, so a program started from
// its build folder finds its data. The file itself may be missing: readers
// treat that like an empty resource.
QString resourcePath(const QString& fileName);

// How reading a data file went, so that a view left without its data can say
// why. `unreadable` also covers a file that held nothing usable.
enum class ResourceState { ok, missing, unreadable };

}  // namespace corvane
