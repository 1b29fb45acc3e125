#include "platform/QtTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace corvane {

QString qtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

QTranslator* installQtTranslation(const QString& folder) {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return nullptr;
    auto* translator = new QTranslator(app);
    if (!translator->load(QStringLiteral("qtbase_de"), folder) || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return nullptr;
    }
    return translator;
}

}  // namespace corvane
