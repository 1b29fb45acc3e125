#pragma once

// The window that hosts the widget on the desktop: frameless, below other
// windows, moved by dragging, with the size family, the log-in start and
// closing in its context menu.

#include "platform/WindowDrag.h"
#include "widget/HostSettings.h"

#include <QWidget>

class QAction;
class QActionGroup;
class QMenu;
class QTimer;

namespace corvane {

class TimelineRunner;
class TimeZoneProvider;

class WidgetWindow : public QWidget {
    Q_OBJECT
public:
    WidgetWindow(TimelineRunner& runner, const TimeZoneProvider& zones, const HostSettings& settings,
                 QWidget* parent = nullptr);

    WidgetFamily family() const { return state_.family; }
    const HostState& state() const { return state_; }
    QMenu* contextMenu() const { return menu_; }

    void setFamily(WidgetFamily family);
    // True when the autostart entry now matches `on`; on failure the choice
    // stays as it was and the user is told.
    bool setAutostart(bool on);
    // Writes family, position and autostart to the host's settings.
    void saveState();

    // The window as the user would see it now.
    QImage render() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void buildMenu();
    void placeInitially();
    void keepOnScreen();
    void syncMenu();
    // Qt's palette for the menu and messages, from the snapshot's theme.
    QPalette snapshotPalette() const;

    TimelineRunner& runner_;
    const TimeZoneProvider& zones_;
    const HostSettings& settings_;
    HostState state_;
    QMenu* menu_ = nullptr;
    QActionGroup* familyGroup_ = nullptr;
    QAction* autostartAction_ = nullptr;
    QTimer* saveDelay_ = nullptr;
    WindowDrag drag_;
};

}  // namespace corvane
