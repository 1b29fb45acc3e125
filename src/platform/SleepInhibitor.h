#pragma once

// Keeping the computer from suspending while it is idle, so an armed alarm
// rings on time. The model decides when; this only talks to the desktop.

#include <QDBusUnixFileDescriptor>
#include <QString>

namespace corvane {

class SleepInhibitor {
public:
    virtual ~SleepInhibitor() = default;
    // Starts keeping the computer awake; `reason` is shown by the desktop.
    // Without a way to do so we simply carry on: an alarm still rings while
    // the computer happens to be awake, and catches up after waking.
    virtual void acquire(const QString& reason) = 0;
    // Ends what acquire started; harmless when nothing is held.
    virtual void release() = 0;
};

// The desktop portal's Inhibit (flag 4: suspend), else logind's
// Inhibit("idle", ..., "block") on the system bus. Calls block for at most
// kCallTimeoutMs; they happen only when the need changes.
class DesktopSleepInhibitor final : public SleepInhibitor {
public:
    static constexpr int kCallTimeoutMs = 2000;
    static constexpr unsigned kPortalSuspendFlag = 4;

    ~DesktopSleepInhibitor() override;
    void acquire(const QString& reason) override;
    void release() override;

    // What is held, for diagnostics.
    bool holdsPortalRequest() const { return !m_portalRequest.isEmpty(); }
    bool holdsLogindLock() const { return m_logindLock.isValid(); }

private:
    bool acquireThroughPortal(const QString& reason);
    bool acquireThroughLogind(const QString& reason);

    QString m_portalRequest;               // object path of the portal's request
    QDBusUnixFileDescriptor m_logindLock;  // closing it ends the inhibition
};

}  // namespace corvane
