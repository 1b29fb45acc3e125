#include "settings/Pages.h"
#include "worldmap/WorldMapSettings.h"

namespace corvane {

QWidget* makeWorldMapPage(AppModel& model, QWidget* parent) { return new WorldMapSettings(model, parent); }

}  // namespace corvane
