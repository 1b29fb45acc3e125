#pragma once

// How views find the palette they draw with. A window owns one ThemeProvider
// (set from the model); every view below it asks `themeOf(this)` when it
// paints and so never holds a stale copy. Views outside any themed window get
// the default palette.

#include <QEvent>
#include <QFont>
#include <QObject>
#include <QPointer>
#include <vector>

#include "model/Theme.h"

#include <QWidget>

namespace corvane {

class ThemeProvider : public QObject {
    Q_OBJECT
public:
    explicit ThemeProvider(QObject* parent = nullptr);

    const ThemeColors& colors() const { return colors_; }
    // Stores and announces only a palette that differs, so an unchanged
    // palette repaints nothing.
    void setColors(const ThemeColors& colors);

    // Makes `provider` the palette source of `host` and everything below it.
    // Passing nullptr detaches it again.
    static void attach(QWidget* host, ThemeProvider* provider);
    // The provider nearest above `widget` (the widget itself included).
    static ThemeProvider* of(const QWidget* widget);

Q_SIGNALS:
    void changed();

private:
    void notifyHosts();

    ThemeColors colors_ = ThemeColors::defaultPalette();
    std::vector<QPointer<QWidget>> hosts_;
};

// The palette `widget` draws with: its nearest provider's, else the default.
const ThemeColors& themeOf(const QWidget* widget);

// Sent to every widget of a host when its palette changes, so views that keep
// palette-derived state (label colours) refresh it.
class ThemeChangeEvent : public QEvent {
public:
    ThemeChangeEvent() : QEvent(eventType()) {}
    static QEvent::Type eventType();
};

// The system font at `size` device-independent pixels (what the layout calls
// points) and `weight`.
QFont uiFont(double size, QFont::Weight weight = QFont::Normal);
// `base` (a family chosen by the user) at that size and weight.
QFont sizedFont(QFont base, double size, QFont::Weight weight);

}  // namespace corvane
