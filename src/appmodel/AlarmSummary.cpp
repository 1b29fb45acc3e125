#include "appmodel/AlarmSummary.h"

#include "appmodel/AppModel.h"
#include "platform/Text.h"

namespace corvane {

QStringList alarmSummary(const AppModel& model) {
    QStringList lines;
    const auto& alarms = model.settings().alarms;
    for (size_t i = 0; i < alarms.size(); ++i) {
        const AlarmSettings& a = alarms[i];
        if (!a.isEnabled) continue;
        lines << tr("Wecker %1 um %2:%3 Uhr")
                     .arg(qint64(i + 1))
                     .arg(a.hour, 2, 10, QLatin1Char('0'))
                     .arg(a.minute, 2, 10, QLatin1Char('0'));
    }
    for (int i = 0; i < 2; ++i) {
        const CountdownState state = model.countdownStates()[size_t(i)];
        if (state != CountdownState::running && state != CountdownState::paused) continue;
        lines << tr("Countdown %1 (%2)").arg(i + 1).arg(model.countdownTexts()[size_t(i)]);
    }
    return lines;
}

}  // namespace corvane
