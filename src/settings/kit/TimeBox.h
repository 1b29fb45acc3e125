#pragma once

#include <QFont>
#include <QString>
#include <QWidget>

namespace corvane {

// The live time of a countdown or stopwatch over its status line, on a
// rounded panel in the palette's background colour. The time is drawn at its
// full size and shrunk, never wrapped, when the box is narrower. Setting an
// unchanged text repaints nothing; a new one repaints this box alone. It
// belongs on a Card: its corners are painted in the card's surface colour.
class TimeBox : public QWidget {
    Q_OBJECT
public:
    // `timeSize`: the font size of the time; `timeHeight`: the height its
    // line takes; `padV`: the inset above and below.
    TimeBox(double timeSize, int timeHeight, int padV, QWidget* parent = nullptr);

    void setTime(const QString& text);
    void setStatus(const QString& text);
    const QString& time() const { return time_; }
    const QString& status() const { return status_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect timeLine() const;

    QFont timeFont_;
    QFont statusFont_;
    int timeHeight_;
    int padV_;
    QString time_;
    QString status_;
};

}  // namespace corvane
