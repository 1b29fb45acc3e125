#pragma once

#include <QString>

#include "platform/Resources.h"

namespace corvane {

// Why the map lacks its land, borders or cities, as one short line such as
// "Kartendaten unvollständig: land.bin fehlt, cities.tsv ist unlesbar";
// empty when every file was read.
QString mapDataHint(ResourceState land, ResourceState borders, ResourceState cities);
// The same for the program's own files. They are read once, on the first
// call if not before, so the text never changes while the program runs.
const QString& mapDataHint();

}  // namespace corvane
