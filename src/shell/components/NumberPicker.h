#pragma once

#include <QComboBox>
#include <optional>

namespace corvane {

// A menu of the integers from `minimum` to `maximum`, shown with at least two
// digits ("07"). The label is only the accessible name; forms put a
// FieldLabel beside it.
class NumberPicker : public QComboBox {
    Q_OBJECT
public:
    NumberPicker(const QString& label, int minimum, int maximum, QWidget* parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return min_; }
    int maximum() const { return max_; }

    // A value outside the range selects nothing rather than a wrong number.
    void setValue(int value);
    std::optional<int> value() const;

    static QString entryText(int value);

Q_SIGNALS:
    void valueChanged(int value);

private:
    int min_ = 0;
    int max_ = -1;
};

}  // namespace corvane
