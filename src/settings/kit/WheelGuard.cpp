#include "settings/kit/WheelGuard.h"

#include <QAbstractScrollArea>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QScrollBar>
#include <QSet>
#include <QWheelEvent>

namespace corvane {

namespace {

// Controls whose value a wheel turn changes. A scroll bar is a slider too,
// but scrolling is what it is for.
bool wheelChangesValue(const QObject* o) {
    if (qobject_cast<const QComboBox*>(o) || qobject_cast<const QAbstractSpinBox*>(o)) return true;
    return qobject_cast<const QAbstractSlider*>(o) && !qobject_cast<const QScrollBar*>(o);
}

bool hasKeyboardFocus(const QWidget* control) {
    if (control->hasFocus()) return true;
    // An editable drop-down: the focus sits in its text field.
    const QWidget* focus = QApplication::focusWidget();
    return focus && control->isAncestorOf(focus);
}

// The nearest scroll area in the control's own window.
QAbstractScrollArea* scrollAreaAround(QWidget* control) {
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget()) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(p)) return area;
        if (p->isWindow()) break;
    }
    return nullptr;
}

// Watches the whole application, as the wheel reaches whichever widget lies
// under the pointer; only wheel and show events of value controls below a
// root are looked at.
class WheelGuard : public QObject {
public:
    static WheelGuard& instance() {
        static WheelGuard* guard = nullptr;
        if (!guard) {
            guard = new WheelGuard;
            QObject::connect(guard, &QObject::destroyed, [] { guard = nullptr; });
        }
        return *guard;
    }

    void add(QWidget* root) {
        if (roots_.contains(root)) return;
        roots_.insert(root);
        connect(root, &QObject::destroyed, this, [this](QObject* gone) { roots_.remove(gone); });
        for (QWidget* w : root->findChildren<QWidget*>())
            if (wheelChangesValue(w) && isGuarded(w)) keepFocusFromWheel(w);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::Wheel && type != QEvent::Show) return false;
        if (!watched->isWidgetType() || !wheelChangesValue(watched)) return false;
        auto* control = static_cast<QWidget*>(watched);
        if (!isGuarded(control)) return false;
        if (type == QEvent::Show) {
            // Before the first wheel can reach it: Qt hands the focus to a
            // wheel-focus control before any filter sees the turn.
            keepFocusFromWheel(control);
            return false;
        }
        if (hasKeyboardFocus(control)) return false;
        auto* wheel = static_cast<QWheelEvent*>(event);
        handToScrollArea(control, wheel);
        // Handled either way: neither the control nor anything around it
        // gets this turn a second time.
        wheel->accept();
        return true;
    }

private:
    WheelGuard() : QObject(qApp) { qApp->installEventFilter(this); }

    bool isGuarded(const QWidget* control) const {
        for (const QWidget* p = control; p; p = p->parentWidget()) {
            if (roots_.contains(p)) return true;
            if (p->isWindow()) break;
        }
        return false;
    }

    static void keepFocusFromWheel(QWidget* control) {
        // Click and Tab still give the focus.
        if (control->focusPolicy() == Qt::WheelFocus) control->setFocusPolicy(Qt::StrongFocus);
    }

    static void handToScrollArea(QWidget* control, QWheelEvent* event) {
        QAbstractScrollArea* area = scrollAreaAround(control);
        if (!area) return;
        QWidget* viewport = area->viewport();
        // The same turn, as if it had met the page beside the control.
        QWheelEvent turn(control->mapTo(viewport, event->position()), event->globalPosition(), event->pixelDelta(),
                         event->angleDelta(), event->buttons(), event->modifiers(), event->phase(), event->inverted(),
                         event->source(), event->pointingDevice());
        turn.setTimestamp(event->timestamp());
        QCoreApplication::sendEvent(viewport, &turn);
    }

    QSet<const QObject*> roots_;
};

}  // namespace

void keepWheelForScrolling(QWidget* root) {
    if (!qApp || !root) return;
    WheelGuard::instance().add(root);
}

}  // namespace corvane
