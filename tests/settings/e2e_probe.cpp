// Prints the colour of one pixel of an X window as "#RRGGBB", for the
// end-to-end scripts: e2e_probe <window id> <x> <y>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: e2e_probe WINDOW X Y\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    const WId window = WId(QByteArray(argv[1]).toULongLong());
    const int x = QByteArray(argv[2]).toInt();
    const int y = QByteArray(argv[3]).toInt();
    const QImage image = QGuiApplication::primaryScreen()->grabWindow(window, x, y, 1, 1).toImage();
    if (image.isNull()) return 1;
    std::printf("%s\n", qPrintable(image.pixelColor(0, 0).name()));
    return 0;
}
