#pragma once

#include <QPointer>
#include <QWidget>

namespace corvane {

// A frameless pop-up below a button, as the clock rows open their design
// panel and zone chooser. Qt closes it on an outside click or Esc. The object
// lives as long as its button, so what was typed into it survives closing.
class PopupPanel : public QWidget {
    Q_OBJECT
public:
    explicit PopupPanel(QWidget* anchor);

    // Shows the panel under the anchor, centred on it, moved onto the screen
    // when it would leave it (above the anchor when there is no room below).
    void openBelowAnchor();
    // Where the panel of `size` goes for an anchor at `anchor` (global
    // coordinates) on a screen whose free area is `screen`: on the side the
    // panel prefers (below, unless `above`) when it fits there, else on the
    // other side when that fits, and always moved onto the screen.
    static QPoint placement(const QRect& anchor, const QSize& size, const QRect& screen, bool above = false);

    // From now on the panel takes the size its content asks for whenever the
    // content changes, growing and shrinking, and stays on the screen, on the
    // side of its anchor where it opened as long as it fits there.
    void followContentSize();

    // While the panel opens a window of its own (a file or colour dialog), a
    // pop-up would close at the first click into that window. Held, it
    // stays on screen as a plain window at its place, with all it shows;
    // released, it is a pop-up again, active, with the focus where it was.
    // Neither reports a close or an open.
    void hold();
    void release();
    // Held is a plain window on screen; closed, it opens as a pop-up again.
    bool isHeld() const { return isVisible() && windowType() != Qt::Popup; }

Q_SIGNALS:
    void opened();
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void place();
    void setKind(Qt::WindowFlags kind);

    QWidget* anchor_;
    bool followsContent_ = false;
    bool above_ = false;
    bool switching_ = false;  // between kinds: the hide and show are no close and open
    QPointer<QWidget> focusBeforeHold_;
};

}  // namespace corvane
