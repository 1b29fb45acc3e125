#include "platform/system/DialogFileChooser.h"

#include <QApplication>
#include <QFileDialog>

namespace corvane {

void DialogFileChooser::configure(QFileDialog& dialog, const FileRequest& request) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setWindowTitle(request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(request.nameFilters);
    if (!request.startFolder.isEmpty()) dialog.setDirectory(request.startFolder);
}

std::optional<QString> DialogFileChooser::chooseFile(const FileRequest& request) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
    QFileDialog dialog(QApplication::activeWindow());
    configure(dialog, request);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList picked = dialog.selectedFiles();
    if (picked.isEmpty() || picked.front().isEmpty()) return std::nullopt;
    return picked.front();
}

}  // namespace corvane
