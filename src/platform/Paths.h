#pragma once

#include <QString>

namespace corvane {

// Where the program keeps its files. Tests build their own instance over a
// temporary folder; nothing reads the environment behind its back.
struct AppPaths {
    QString dataFolder;    // settings.json and the media folder
    QString sharedFolder;  // widget.json, read by the desktop widget

    // $XDG_DATA_HOME/Corvane and $XDG_DATA_HOME/<group identifier>.
    static AppPaths fromEnvironment();
    // Both folders below one root, for tests.
    static AppPaths under(const QString& root);
};

// The identifier of the folder that the program and its widget share.
inline constexpr const char* kSharedGroupIdentifier = "Q7RM2ZX5KD.de.velmor.corvane";

}  // namespace corvane
