#pragma once

#include <QStringList>

namespace corvane {

class AppModel;

// One line for each enabled alarm and each running or paused countdown:
// what the user would miss by quitting. Stopwatches don't count.
QStringList alarmSummary(const AppModel& model);

}  // namespace corvane
