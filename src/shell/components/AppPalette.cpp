#include "shell/components/AppPalette.h"

#include <QApplication>
#include <QToolTip>


namespace corvane {

namespace {

// The classes a platform theme may give palettes of their own; a palette set
// for the whole program does not replace those.
constexpr const char* kThemedClasses[] = {
    "QMenu",          "QMenuBar",         "QAbstractItemView", "QHeaderView",  "QAbstractButton",
    "QToolButton",    "QCheckBox",        "QRadioButton",      "QComboBox",    "QTabBar",
    "QLabel",         "QMessageBoxLabel", "QGroupBox",         "QTextEdit",    "QTextControl",
    "QLineEdit",
};

}  // namespace

void applyAppPalette(const ThemeColors& theme) {
    const QPalette p = qtPalette(theme);
    // Each change reaches every widget of the program; the theme repeats
    // itself far more often than it changes.
    if (!(QApplication::palette() == p)) QApplication::setPalette(p);
    for (const char* name : kThemedClasses)
        if (!(QApplication::palette(name) == p)) QApplication::setPalette(p, name);
    if (!(QToolTip::palette() == p)) QToolTip::setPalette(p);
}

}  // namespace corvane
