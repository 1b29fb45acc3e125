#include "settings/Pages.h"

namespace corvane {

QWidget* makePage(SettingsCategory category, AppModel& model, QWidget* parent) {
    switch (category) {
        case SettingsCategory::general: return makeGeneralPage(model, parent);
        case SettingsCategory::display: return makeDisplayPage(model, parent);
        case SettingsCategory::worldMap: return makeWorldMapPage(model, parent);
        case SettingsCategory::design: return makeDesignPage(model, parent);
        case SettingsCategory::alarms: return makeAlarmsPage(model, parent);
        case SettingsCategory::countdown: return makeCountdownPage(model, parent);
        case SettingsCategory::stopwatch: return makeStopwatchPage(model, parent);
        case SettingsCategory::about: return makeAboutPage(model, parent);
    }
    return makeDisplayPage(model, parent);
}

}  // namespace corvane
