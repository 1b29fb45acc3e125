#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace corvane {

// How the program asks the user to pick one file: the desktop's file dialog
// (DialogFileChooser) in the program; tests answer directly.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // `patterns` are the file names offered, in order ("*.jpg", "*.png");
    // none when the user cancelled.
    virtual std::optional<QString> chooseFile(const QString& title, const QStringList& patterns) = 0;
};

}  // namespace corvane
