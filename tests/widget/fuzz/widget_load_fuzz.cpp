// Whatever lies in the shared folder, the widget loads something and draws it
// in every size without crashing or hanging.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>
#include <memory>

#include "platform/TimeZones.h"
#include "widget/ClockProvider.h"
#include "widget/TickoraWidgetView.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static int argc = 1;
    static char name[] = "widget_load";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    static QTemporaryDir dir;
    (void)app;

    const QString path = dir.filePath(QStringLiteral("widget.json"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const std::shared_ptr<const corvane::WidgetSnapshot> snapshot = corvane::loadSnapshot(path);
    if (!snapshot) std::abort();

    static const corvane::FixedTimeZoneProvider zones("Europe/Berlin");
    const corvane::ClockEntryW entry{1'781'000'000'000, snapshot};
    for (corvane::WidgetFamily family : corvane::kAllWidgetFamilies) {
        QImage image(corvane::familySize(family), QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        corvane::paintWidget(painter, QRectF(image.rect()), family, entry, zones);
    }
    return 0;
}
