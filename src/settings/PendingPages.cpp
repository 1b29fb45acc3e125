#include <QWidget>

#include "settings/Pages.h"

// Pages that are not built yet show an empty page. Each page's own file
// replaces its line here.

namespace corvane {

namespace {
QWidget* emptyPage(QWidget* parent) { return new QWidget(parent); }
}  // namespace

QWidget* makeWorldMapPage(AppModel&, QWidget* parent) { return emptyPage(parent); }

}  // namespace corvane
