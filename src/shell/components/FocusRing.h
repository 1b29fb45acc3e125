#pragma once

#include <QPointer>
#include <QRectF>
#include <QWidget>

namespace corvane {

struct ThemeColors;

// The outline a control's focus ring follows, in the control's coordinates:
// a rounded rectangle, or the ellipse inside `rect` when `round` is set.
struct FocusOutline {
    QRectF rect;
    double radius = 6;
    bool round = false;
};

// Controls that are not a plain rounded rectangle (a switch's track, a
// round swatch, a dial) say where their ring goes.
class FocusShaped {
public:
    virtual ~FocusShaped() = default;
    virtual FocusOutline focusOutline() const = 0;
};

// The keyboard-focus ring of every control in a themed window, Qt's own
// controls included: a child laid over the focused control, above anything
// the control holds (a live dial, say), drawn inside the control's own
// bounds so no size changes for it. It shows while the focus came from the
// keyboard and goes as soon as the pointer is used, as users know from
// their desktop; a click already shows where it went.
class FocusRing : public QWidget {
    Q_OBJECT
public:
    // Makes focus visible in every window that has a palette provider; the
    // provider's attach calls it, so a themed window needs nothing more.
    static void install();

    // The ring's outline for `control`.
    static FocusOutline outlineOf(const QWidget* control);
    // Draws a ring along `outline`, inside it: an accent edge, a softer
    // accent glow and a thin line of the accent's text colour, so it stands
    // out on plain, selected and accent-filled controls alike.
    static void paint(QPainter& p, const ThemeColors& theme, const FocusOutline& outline);

    // The ring over `control`, when it shows one now.
    static FocusRing* shownOn(const QWidget* control);

    QWidget* control() const { return parentWidget(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit FocusRing(QWidget* control);
    friend class FocusRingTracker;
};

}  // namespace corvane
