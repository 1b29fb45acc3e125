#pragma once

// Telling the desktop widget that its snapshot changed. The widget host also
// watches the shared folder; the signal just saves it a polling delay.

#include <QString>

namespace corvane {

// The session-bus signal the widget host listens for: one text argument,
// the widget kind.
inline constexpr const char* kWidgetKind = "TickoraWidget";
inline constexpr const char* kWidgetReloadPath = "/de/velmor/corvane/Widget";
inline constexpr const char* kWidgetReloadInterface = "de.velmor.corvane.Widget";
inline constexpr const char* kWidgetReloadSignal = "ReloadTimelines";

class WidgetReloader {
public:
    virtual ~WidgetReloader() = default;
    virtual void reloadTimelines(const QString& kind) = 0;
};

// Emits the signal on the session bus; without a bus nothing happens.
class DBusWidgetReloader final : public WidgetReloader {
public:
    void reloadTimelines(const QString& kind) override;
};

}  // namespace corvane
