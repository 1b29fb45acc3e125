#include "worldmap/MapDataHint.h"

#include <QStringList>
#include <utility>

#include "model/WorldCity.h"
#include "platform/Text.h"
#include "worldmap/MapShapes.h"

namespace corvane {

QString mapDataHint(ResourceState land, ResourceState borders, ResourceState cities) {
    QStringList problems;
    const std::pair<const char*, ResourceState> files[] = {
        {"land.bin", land}, {"borders.bin", borders}, {"cities.tsv", cities}};
    for (const auto& [name, state] : files) {
        if (state == ResourceState::missing) problems << tr("%1 fehlt").arg(QLatin1String(name));
        if (state == ResourceState::unreadable) problems << tr("%1 ist unlesbar").arg(QLatin1String(name));
    }
    if (problems.isEmpty()) return {};
    return tr("Kartendaten unvollständig: %1").arg(problems.join(QStringLiteral(", ")));
}

const QString& mapDataHint() {
    static const QString hint =
        mapDataHint(MapShapes::landState(), MapShapes::bordersState(), WorldCity::catalogueState());
    return hint;
}

}  // namespace corvane
