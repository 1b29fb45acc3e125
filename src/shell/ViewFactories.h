#pragma once

#include <functional>

class QWidget;

namespace corvane {

class AppModel;

// The world map and the settings pages sit above the shell, so the shell
// cannot name them. The program entry hands their constructors in here before
// any window exists; left empty (as in the shell's own tests), the map screen
// shows an empty area and the settings window a plain page.
using ViewFactory = std::function<QWidget*(AppModel& model, QWidget* parent)>;

struct ViewFactories {
    ViewFactory worldMap;      // the map of the main window's map screen
    ViewFactory settingsRoot;  // the whole content of the settings window
};

ViewFactories& viewFactories();

}  // namespace corvane
