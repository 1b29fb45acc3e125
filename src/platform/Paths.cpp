#include "platform/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace corvane {

AppPaths AppPaths::fromEnvironment() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return {base + QStringLiteral("/Corvane"), base + u'/' + QLatin1String(kSharedGroupIdentifier)};
}

AppPaths AppPaths::under(const QString& root) {
    return {root + QStringLiteral("/Corvane"), root + u'/' + QLatin1String(kSharedGroupIdentifier)};
}

}  // namespace corvane
