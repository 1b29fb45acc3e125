#pragma once

#include <QObject>

class QSocketNotifier;

namespace corvane {

// Turns SIGTERM, SIGINT and SIGHUP (a session log-out, Ctrl+C in a terminal)
// into a Qt signal on the main thread, so they end in the same orderly
// shutdown as "Corvane beenden" instead of killing the process with a save
// still pending.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Only one instance may exist at a time.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return notifier_ != nullptr; }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void drain();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace corvane
