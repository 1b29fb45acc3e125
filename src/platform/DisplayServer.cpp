#include "platform/DisplayServer.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace corvane {

void preferX11() {
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) return;
    if (qEnvironmentVariable("XDG_SESSION_TYPE") == QLatin1String("wayland") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

void sendFramesWithoutSharedMemory() {
    if (qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) return;
    qputenv("QT_XCB_NO_MITSHM", "1");
}

}  // namespace corvane
