#include "platform/Uuid.h"

#include <QUuid>

namespace corvane {

QString newUuidText() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

}  // namespace corvane
