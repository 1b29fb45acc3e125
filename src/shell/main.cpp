#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Corvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("de.velmor.corvane"));
    return 0;
}
