#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace corvane {

// What the user is asked to pick: the dialog's title, its filters and the
// folder it opens in.
struct FileRequest {
    QString title;
    QStringList patterns;     // the files offered, in order ("*.jpg", "*.png")
    QStringList nameFilters;  // as the dialog lists them: the offered files by a German name, then all files
    QString startFolder;

    // Sound files ("Audiodateien"), opening in the user's music folder.
    static FileRequest sounds(const QString& title, const QStringList& patterns);
    // Images ("Bilder"), opening in the user's pictures folder.
    static FileRequest images(const QString& title, const QStringList& patterns);
};

// How the program asks the user to pick one file: the file dialog
// (DialogFileChooser) in the program; tests answer directly.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    // None when the user cancelled.
    virtual std::optional<QString> chooseFile(const FileRequest& request) = 0;
};

}  // namespace corvane
