#include "platform/Fonts.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QThread>

#include <mutex>

namespace corvane {

namespace {

const QString& genericSans() {
    static const QString name = QStringLiteral("Sans Serif");
    return name;
}

// The font database needs a GUI application, and its thread.
bool canAskFonts() {
    const QCoreApplication* app = QCoreApplication::instance();
    return qobject_cast<const QGuiApplication*>(app) && QThread::currentThread() == app->thread();
}

QString resolveSans() {
    QFont sans(QStringLiteral("sans-serif"));
    sans.setStyleHint(QFont::SansSerif);
    const QString resolved = QFontInfo(sans).family();
    const QStringList installed = QFontDatabase::families();
    if (!resolved.isEmpty() && installed.contains(resolved)) return resolved;
    // A fontconfig without a sans-serif rule: the application's own font.
    const QString ui = QFontInfo(QGuiApplication::font()).family();
    if (!ui.isEmpty() && installed.contains(ui)) return ui;
    return installed.isEmpty() ? genericSans() : installed.front();
}

}  // namespace

QString platformDefaultFontFamily() {
    static std::mutex mutex;
    static QString resolved;
    const std::lock_guard<std::mutex> lock(mutex);
    if (!resolved.isEmpty()) return resolved;
    if (!canAskFonts()) return genericSans();
    resolved = resolveSans();
    return resolved;
}

bool isFontFamilyInstalled(const QString& family) {
    if (!canAskFonts()) return true;
    return QFontDatabase::families().contains(family);
}

QString fontFamilyHere(const QString& stored) {
    if (stored != QLatin1String("Helvetica Neue") || isFontFamilyInstalled(stored)) return stored;
    return platformDefaultFontFamily();
}

}  // namespace corvane
