#pragma once

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <map>
#include <vector>

namespace corvane {

// A column of full-width rows that glide to their new places when rows are
// added, moved or removed: a new row fades in where it belongs, a removed one
// fades out where it stood, the others slide, and the column's height
// follows. The rows are only moved, never taken out and put back, so what is
// open or typed in them stays. Nothing runs while no row moves.
class RowStack : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDurationMs = 250;

    explicit RowStack(int spacing, QWidget* parent = nullptr);

    // The rows from top to bottom; rows the stack holds that are not listed
    // leave and are deleted once they have faded. A stack that is not on
    // screen takes the new order at once.
    void setRows(const std::vector<QWidget*>& rows);

    int count() const { return int(rows_.size()); }
    QWidget* at(int index) const;
    int indexOf(const QWidget* row) const;
    // Where row `index` stands once the motion has ended.
    int restingY(int index) const;

    // The motion; tests drive its time by hand.
    QVariantAnimation* motion() { return &motion_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(double progress);
    void settle();
    int restingHeight() const;
    static void setFade(QWidget* row, double opacity);

    int spacing_;
    std::vector<QWidget*> rows_;
    std::map<const QWidget*, int> fromY_;  // where each moving row started
    std::vector<QWidget*> entering_;
    std::vector<QPointer<QWidget>> leaving_;
    int fromHeight_ = 0;
    int height_ = 0;  // what the column reports now
    QVariantAnimation motion_;
};

}  // namespace corvane
