#pragma once

#include "appmodel/SettingsCategory.h"

class QWidget;

namespace corvane {

class AppModel;

// One constructor per page of the settings window. The frame builds a fresh
// page whenever the selected category changes; a page reads everything it
// shows from the model and the palette of the window it is placed in.
QWidget* makeGeneralPage(AppModel& model, QWidget* parent);
QWidget* makeDisplayPage(AppModel& model, QWidget* parent);
QWidget* makeWorldMapPage(AppModel& model, QWidget* parent);
QWidget* makeDesignPage(AppModel& model, QWidget* parent);
QWidget* makeAlarmsPage(AppModel& model, QWidget* parent);
QWidget* makeCountdownPage(AppModel& model, QWidget* parent);
QWidget* makeStopwatchPage(AppModel& model, QWidget* parent);
QWidget* makeAboutPage(AppModel& model, QWidget* parent);

// The page of `category`.
QWidget* makePage(SettingsCategory category, AppModel& model, QWidget* parent);

}  // namespace corvane
