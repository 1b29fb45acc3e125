#pragma once

#include <QWidget>

namespace corvane {

class AppModel;

// The clock window's content until the clock views are in place: the
// greeting and the date in the palette's colours. Presses fall through to
// the window so dragging the background moves it.
class GreetingView : public QWidget {
    Q_OBJECT
public:
    explicit GreetingView(AppModel& model, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void refreshDate();

    AppModel& model_;
    QString dateText_;
    qint64 lastMinute_ = -1;
};

}  // namespace corvane
