#include "appmodel/AlarmSummary.h"

#include "appmodel/AppModel.h"

namespace corvane {

QStringList alarmSummary(const AppModel& model) { return model.alarmSummary(); }

}  // namespace corvane
