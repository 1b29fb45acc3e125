#include "platform/Text.h"

#include <QCoreApplication>

namespace corvane {

QString tr(const char* german) {
    return QCoreApplication::translate("Corvane", german);
}

}  // namespace corvane
