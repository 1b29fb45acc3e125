#pragma once

#include <QString>
#include <functional>

namespace corvane {

// Opens the desktop's file manager with `filePath` selected (the
// FileManager1 service on the session bus); without that service, the folder
// holding it. Returns at once: the answer of the bus is not waited for.
void showInFileManager(const QString& filePath);

// Tests put their own action in place of the desktop's; an empty function
// restores it.
void replaceShowInFileManager(std::function<void(const QString&)> replacement);

}  // namespace corvane
