#include "shell/components/NumberPicker.h"

#include <QSignalBlocker>

#include "shell/components/Theme.h"

namespace corvane {

namespace {
// The longest sensible menu (minutes, hours, days); a wider range would make
// a menu nobody can use and cost memory for nothing.
constexpr qint64 kMaxEntries = 1000;
}  // namespace

NumberPicker::NumberPicker(const QString& label, int minimum, int maximum, QWidget* parent)
    : QComboBox(parent) {
    setAccessibleName(label);
    setFixedWidth(64);
    setFont(uiFont(13));
    setRange(minimum, maximum);
    connect(this, &QComboBox::activated, this, [this](int index) {
        const QVariant v = itemData(index);
        if (v.isValid()) Q_EMIT valueChanged(v.toInt());
    });
}

QString NumberPicker::entryText(int value) {
    // "%02d": the sign counts towards the width, so -5 shows as "-5".
    return QString::asprintf("%02d", value);
}

void NumberPicker::setRange(int minimum, int maximum) {
    const std::optional<int> current = value();
    const QSignalBlocker block(this);
    clear();
    min_ = minimum;
    max_ = maximum;
    if (maximum < minimum) return;
    const qint64 count = std::min<qint64>(qint64(maximum) - minimum + 1, kMaxEntries);
    for (qint64 i = 0; i < count; ++i) {
        const int v = int(minimum + i);
        addItem(entryText(v), v);
    }
    max_ = int(minimum + count - 1);
    if (current) setValue(*current);
    else setCurrentIndex(-1);
}

void NumberPicker::setValue(int value) {
    const QSignalBlocker block(this);
    setCurrentIndex(value >= min_ && value <= max_ ? value - min_ : -1);
}

std::optional<int> NumberPicker::value() const {
    const QVariant v = currentData();
    if (!v.isValid()) return std::nullopt;
    return v.toInt();
}

}  // namespace corvane
