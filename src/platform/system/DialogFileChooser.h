#pragma once

// The open-file dialog behind the model's FileChooser seam.

#include "platform/FileChooser.h"

class QFileDialog;

namespace corvane {

class DialogFileChooser final : public FileChooser {
public:
    // Modal over the active window; none when cancelled or when the program
    // runs without a widget application (nothing could show the dialog).
    std::optional<QString> chooseFile(const FileRequest& request) override;

    // Sets `dialog` up for `request`. Always Qt's own dialog: it matches the
    // filters' extensions in any case (a desktop's dialog may hide
    // "Song.Mp3" from "*.mp3"), and it wears the program's palette and
    // German texts like the colour dialog.
    static void configure(QFileDialog& dialog, const FileRequest& request);
};

}  // namespace corvane
