#include "platform/QuitLog.h"

#include <QDebug>

namespace corvane {

void logFailureAtQuit(const QString& message) { qWarning().noquote() << "Beim Beenden:" << message; }

}  // namespace corvane
