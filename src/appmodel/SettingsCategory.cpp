#include "appmodel/SettingsCategory.h"

#include "platform/Text.h"

namespace corvane {

QString rawValue(SettingsCategory category) {
    switch (category) {
        case SettingsCategory::general:
            return QStringLiteral("general");
        case SettingsCategory::display:
            return QStringLiteral("display");
        case SettingsCategory::worldMap:
            return QStringLiteral("worldMap");
        case SettingsCategory::design:
            return QStringLiteral("design");
        case SettingsCategory::alarms:
            return QStringLiteral("alarms");
        case SettingsCategory::countdown:
            return QStringLiteral("countdown");
        case SettingsCategory::stopwatch:
            return QStringLiteral("stopwatch");
        case SettingsCategory::about:
            return QStringLiteral("about");
    }
    return {};
}

QString title(SettingsCategory category) {
    switch (category) {
        case SettingsCategory::general:
            return tr("Allgemein");
        case SettingsCategory::display:
            return tr("Anzeige");
        case SettingsCategory::worldMap:
            return tr("Weltkarte");
        case SettingsCategory::design:
            return tr("Design");
        case SettingsCategory::alarms:
            return tr("Wecker");
        case SettingsCategory::countdown:
            return tr("Countdown");
        case SettingsCategory::stopwatch:
            return tr("Stoppuhr");
        case SettingsCategory::about:
            return tr("Über");
    }
    return {};
}

}  // namespace corvane
