#pragma once

#include <QSet>
#include <QString>

namespace corvane {

// The installed font families, read on first use and kept for the run: a
// font installed later is seen after the next start.
const QSet<QString>& installedFontFamilies();

}  // namespace corvane
