#pragma once

#include <QString>

#include <vector>

namespace corvane {

// The process ids of one application's running instances.
class ProcessFinder {
public:
    virtual ~ProcessFinder() = default;
    virtual std::vector<qint64> pids() const = 0;
};

// Finds an application in /proc: a process counts when the basename of its
// executable or of its argv[0] is `executableName`, or when it runs in the
// Flatpak sandbox `flatpakId` (there the executable path says nothing useful).
// Processes we may not inspect are skipped, not errors. `procRoot` is
// injectable so a test can lay out a small fake /proc.
class ProcProcessFinder final : public ProcessFinder {
public:
    ProcProcessFinder(QString executableName, QString flatpakId, QString procRoot = QStringLiteral("/proc"));
    std::vector<qint64> pids() const override;

private:
    QString executableName_;
    QString flatpakId_;
    QString procRoot_;
};

}  // namespace corvane
