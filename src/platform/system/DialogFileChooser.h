#pragma once

// The desktop's open-file dialog behind the model's FileChooser seam.

#include "platform/FileChooser.h"

namespace corvane {

class DialogFileChooser final : public FileChooser {
public:
    // Modal over the active window; none when cancelled or when the program
    // runs without a widget application (nothing could show the dialog).
    std::optional<QString> chooseFile(const QString& title, const QStringList& patterns) override;

    // The dialog's filter for `patterns`: each also in upper case, since
    // camera files are often named "IMG_0001.JPG" and some dialogs match
    // case-sensitively.
    static QString filterFor(const QStringList& patterns);
};

}  // namespace corvane
