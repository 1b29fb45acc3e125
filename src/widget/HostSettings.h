#pragma once

// What the widget host keeps for itself, like the frame a desktop keeps for a
// widget: the size family, the window position and whether the widget starts
// at log-in. Stored in its own file under the config folder; Corvane's
// settings are none of its business.

#include "widget/WidgetFamily.h"

#include <QPoint>
#include <QString>

#include <optional>

namespace corvane {

// The widget's description, as its launcher and autostart entries give it.
QString widgetDescription();

struct HostState {
    WidgetFamily family = WidgetFamily::systemMedium;
    std::optional<QPoint> position;  // absent until the widget was placed
    bool autostart = false;

    friend bool operator==(const HostState&, const HostState&) = default;
};

class HostSettings {
public:
    // `configFolder` is $XDG_CONFIG_HOME (or its stand-in in tests);
    // `program` the executable the autostart entry starts.
    HostSettings(QString configFolder, QString program);

    QString settingsFile() const;
    QString autostartFile() const;

    // Whatever the file holds, the result is usable: unknown or broken
    // values fall back to the defaults. The autostart choice is whether the
    // entry exists and is not switched off in it (Hidden=true,
    // X-GNOME-Autostart-enabled=false), so turning it off in the desktop's
    // session settings counts too.
    HostState load() const;
    // False when the file could not be written.
    bool save(const HostState& state) const;

    // Whether the autostart entry exists and is not switched off in it.
    bool autostartEnabled() const;

    // Switches the autostart entry on (creating it when there is none) or
    // off (Hidden=true); false (and nothing changed) when that failed. Every
    // line of an entry already there stays but ours, and on switching on the
    // switches that turned it off.
    bool setAutostart(bool on) const;

    // The Exec value that starts `program` with no arguments.
    static QString desktopExec(const QString& program);

private:
    QString config_;
    QString program_;
};

}  // namespace corvane
