#include <QWidget>

#include "settings/Pages.h"

// Pages that are not built yet show an empty page. Each page's own file
// replaces its line here.

namespace corvane {

namespace {
QWidget* emptyPage(QWidget* parent) { return new QWidget(parent); }
}  // namespace

QWidget* makeGeneralPage(AppModel&, QWidget* parent) { return emptyPage(parent); }
QWidget* makeDisplayPage(AppModel&, QWidget* parent) { return emptyPage(parent); }
QWidget* makeDesignPage(AppModel&, QWidget* parent) { return emptyPage(parent); }
QWidget* makeAlarmsPage(AppModel&, QWidget* parent) { return emptyPage(parent); }
QWidget* makeCountdownPage(AppModel&, QWidget* parent) { return emptyPage(parent); }
QWidget* makeStopwatchPage(AppModel&, QWidget* parent) { return emptyPage(parent); }
QWidget* makeAboutPage(AppModel&, QWidget* parent) { return emptyPage(parent); }

}  // namespace corvane
