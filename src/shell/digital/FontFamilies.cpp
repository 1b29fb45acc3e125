#include "shell/digital/FontFamilies.h"

#include <QFontDatabase>

namespace corvane {

const QSet<QString>& installedFontFamilies() {
    static const QSet<QString> families = [] {
        const QStringList names = QFontDatabase::families();
        QSet<QString> set;
        set.reserve(names.size());
        for (const QString& n : names) set.insert(n);
        return set;
    }();
    return families;
}

}  // namespace corvane
