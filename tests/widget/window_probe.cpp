// Looks at a window on the X display the way a user would: saves a picture of
// it, or prints the colours at given points ("#RRGGBB" per line).
//
//   widget_window_probe WINDOW_ID out.png
//   widget_window_probe WINDOW_ID X Y [X Y ...]

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WINDOW_ID out.png | X Y ...\n", argv[0]);
        return 2;
    }
    bool ok = false;
    const WId window = QByteArray(argv[1]).toULongLong(&ok, 0);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!ok || !screen) return 2;
    const QImage image = screen->grabWindow(window).toImage();
    if (image.isNull()) return 1;
    if (argc == 3) return image.save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    for (int i = 2; i + 1 < argc; i += 2) {
        const int x = QByteArray(argv[i]).toInt();
        const int y = QByteArray(argv[i + 1]).toInt();
        if (!image.rect().contains(x, y)) return 1;
        std::printf("%s\n", qPrintable(image.pixelColor(x, y).name().toUpper()));
    }
    return 0;
}
