#pragma once

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

Q_SIGNALS:
    void opened();
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void place();

    QWidget* anchor_;
    bool followsContent_ = false;
    bool above_ = false;
};

}  // namespace corvane
