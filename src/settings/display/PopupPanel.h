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
    // coordinates) on a screen whose free area is `screen`.
    static QPoint placement(const QRect& anchor, const QSize& size, const QRect& screen);

Q_SIGNALS:
    void opened();
    void closed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    QWidget* anchor_;
};

}  // namespace corvane
