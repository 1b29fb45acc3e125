#pragma once

// Tells the widget that Corvane wrote a new snapshot: Corvane's reload signal
// on the session bus when there is one, and in any case a watch on the
// shared folder (Corvane replaces widget.json by a rename, which a watch on
// the file itself would lose).

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;

namespace corvane {

class SnapshotWatcher : public QObject {
    Q_OBJECT
public:
    // `sharedFolder` may not exist yet: then its nearest existing parent is
    // watched until it appears. An empty path watches nothing.
    explicit SnapshotWatcher(const QString& sharedFolder, QObject* parent = nullptr);

    // Subscribes to the reload signal; false when there is no session bus.
    bool listenOnSessionBus();

    QStringList watchedPaths() const;

Q_SIGNALS:
    // Coalesced: a rename shows up as several folder events within a moment.
    void changed();

public Q_SLOTS:
    // The reload signal's handler; other widget kinds are not ours.
    void reloadTimelines(const QString& kind);

private:
    void onPathChanged();
    void rewatch();

    QString folder_;
    QFileSystemWatcher* watcher_;
    QTimer* settle_;
};

}  // namespace corvane
