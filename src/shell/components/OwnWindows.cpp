#include "shell/components/OwnWindows.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QPointer>
#include <algorithm>
#include <vector>

namespace corvane {

namespace {

// How many windows lie between `w` and `window`; 0 when `window` does not
// own `w`.
int ownedDepth(const QWidget* window, const QWidget* w) {
    int depth = 0;
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (p->isWindow()) ++depth;
        if (p == window) return depth;
    }
    return 0;
}

struct Owned {
    QWidget* window;
    int depth;
};

std::vector<Owned> ownWindowsOnScreen(const QWidget* window) {
    std::vector<Owned> out;
    if (!window) return out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        // A tool tip lies over its window without taking keys or closing.
        if (w == window || !w->isVisible() || w->isMinimized() || w->windowType() == Qt::ToolTip) continue;
        if (const int depth = ownedDepth(window, w)) out.push_back({w, depth});
    }
    return out;
}

}  // namespace

QWidget* ownWindowInFront(const QWidget* window) {
    const std::vector<Owned> owned = ownWindowsOnScreen(window);
    QWidget* front = nullptr;
    int frontDepth = 0;
    for (const Owned& o : owned) {
        // Two at the same depth (two dialogs side by side): the active one.
        const bool deeper = o.depth > frontDepth;
        const bool active = o.depth == frontDepth && o.window == QApplication::activeWindow();
        if (deeper || active) {
            front = o.window;
            frontDepth = o.depth;
        }
    }
    return front;
}

bool passKeyToOwnWindow(const QWidget* window, QKeyEvent* event) {
    QWidget* front = ownWindowInFront(window);
    if (!front) return false;
    QWidget* receiver = front->focusWidget() ? front->focusWidget() : front;
    QKeyEvent copy(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
                   event->nativeVirtualKey(), event->nativeModifiers(), event->text(), event->isAutoRepeat(),
                   quint16(event->count()));
    QCoreApplication::sendEvent(receiver, &copy);
    event->accept();
    return true;
}

void closeOwnWindows(const QWidget* window) {
    std::vector<Owned> owned = ownWindowsOnScreen(window);
    // A panel closed before its dialog hears nothing from the dialog's end.
    std::stable_sort(owned.begin(), owned.end(),
                     [](const Owned& a, const Owned& b) { return a.depth < b.depth; });
    std::vector<QPointer<QWidget>> order;
    for (const Owned& o : owned) order.emplace_back(o.window);
    for (const QPointer<QWidget>& w : order) {
        // Closing one may already have closed (or destroyed) another.
        if (!w || !w->isVisible()) continue;
        if (auto* dialog = qobject_cast<QDialog*>(w.data()))
            dialog->reject();
        else
            w->close();
    }
}

}  // namespace corvane
