#include "platform/system/DialogFileChooser.h"

#include <QApplication>
#include <QFileDialog>

namespace corvane {

QString DialogFileChooser::filterFor(const QStringList& patterns) {
    QStringList all;
    for (const QString& pattern : patterns) {
        all << pattern;
        const QString upper = pattern.toUpper();
        if (upper != pattern) all << upper;
    }
    all.removeDuplicates();
    return all.join(QLatin1Char(' '));
}

std::optional<QString> DialogFileChooser::chooseFile(const QString& title, const QStringList& patterns) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return std::nullopt;
    const QString path =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), title, QString(), filterFor(patterns));
    if (path.isEmpty()) return std::nullopt;
    return path;
}

}  // namespace corvane
