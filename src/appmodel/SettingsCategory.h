#pragma once

#include <QString>

#include "model/Settings.h"

namespace corvane {

// The pages of the settings window, in the order the category list shows them.
enum class SettingsCategory { general, display, worldMap, design, alarms, countdown, stopwatch, about };

template <>
struct EnumCases<SettingsCategory> {
    static constexpr std::array values{SettingsCategory::general,   SettingsCategory::display,
                                       SettingsCategory::worldMap,  SettingsCategory::design,
                                       SettingsCategory::alarms,    SettingsCategory::countdown,
                                       SettingsCategory::stopwatch, SettingsCategory::about};
};

QString rawValue(SettingsCategory category);
// The German page title.
QString title(SettingsCategory category);

}  // namespace corvane
