#pragma once

#include <QStringList>
#include <QtGlobal>

namespace corvane::test {

// What the program writes to its log (warnings and worse) while it lives.
class LogCapture {
public:
    LogCapture() : previous_(qInstallMessageHandler(&LogCapture::handle)) { s_lines = &lines; }
    ~LogCapture() {
        qInstallMessageHandler(previous_);
        s_lines = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    QStringList lines;

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (s_lines && (type == QtWarningMsg || type == QtCriticalMsg)) s_lines->append(message);
    }
    static inline QStringList* s_lines = nullptr;
    QtMessageHandler previous_;
};

}  // namespace corvane::test
