#pragma once

#include <QPainterPath>
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
    // The ring goes around `rect`, a gap away from it, rather than along its
    // inside: for what has no frame of its own to carry a ring (a text, a
    // dial), so the ring neither covers nor touches it. It may reach past
    // the control's bounds.
    bool outside = false;
    // What the ring leaves free, a gap around it included (a badge standing
    // over the edge it follows); empty for nothing.
    QPainterPath clear = {};
};

// Controls that are not a plain rounded rectangle (a switch's track, a
// round swatch, a dial) say where their ring goes.
class FocusShaped {
public:
    virtual ~FocusShaped() = default;
    virtual FocusOutline focusOutline() const = 0;
};

// The keyboard-focus ring of every control in a themed window, Qt's own
// controls included: laid over the focused control, above anything the
// control holds (a live dial, say), so no size changes for it. A ring inside
// the control's bounds is its child; one that stands around it lives in the
// nearest ancestor with room for it (at most up to the window or a scroll
// area's viewport, which clip it) and follows the control there. It shows
// while the focus came from the keyboard and goes as soon as the pointer is
// used, as users know from their desktop; a click already shows where it
// went.
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
    // out on plain, selected and accent-filled controls alike. Around an
    // outside outline: a gap, the accent edge, and the glow fading outwards.
    static void paint(QPainter& p, const ThemeColors& theme, const FocusOutline& outline);
    // Everything `paint` may touch for `outline`.
    static QRectF paintedArea(const FocusOutline& outline);
    // The free space an outside ring keeps around what it marks.
    static constexpr double kOutsideGap = 2.0;

    // The ring over `control`, when it shows one now.
    static FocusRing* shownOn(const QWidget* control);

    QWidget* control() const { return control_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    FocusRing(QWidget* control, QWidget* host);
    // Over the control again, after it or an ancestor moved or changed size.
    void place();
    friend class FocusRingTracker;

    QPointer<QWidget> control_;
};

}  // namespace corvane
