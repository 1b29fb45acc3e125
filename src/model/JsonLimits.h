#pragma once

#include <QByteArray>

namespace corvane {

// Whether no array or object in `data` is nested deeper than `limit`
// (brackets inside strings don't count). nlohmann builds its tree without
// recursion, but copying, comparing, printing and destroying it recurse, so
// a file nested without end must be turned away before parsing.
bool jsonNestingWithin(const QByteArray& data, int limit);

}  // namespace corvane
