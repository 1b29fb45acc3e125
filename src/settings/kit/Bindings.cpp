#include "settings/kit/Bindings.h"

#include <QSignalBlocker>
#include <QTextBoundaryFinder>

namespace corvane {

void bindToggle(QCheckBox* box, AppModel& model, SettingsGet get, SettingsSet set) {
    follow(box, model, &AppModel::settingsChanged, [box, &model, get] {
        const bool on = get(model.settings());
        if (box->isChecked() == on) return;
        const QSignalBlocker block(box);
        box->setChecked(on);
    });
    QObject::connect(box, &QCheckBox::clicked, box, [&model, set = std::move(set)](bool on) {
        model.editSettings([&](AppSettings& s) { set(s, on); });
    });
}

void bindChoice(QComboBox* combo, AppModel& model, std::function<QVariant(const AppSettings&)> get,
                std::function<void(AppSettings&, const QVariant&)> set) {
    follow(combo, model, &AppModel::settingsChanged, [combo, &model, get] {
        const int index = combo->findData(get(model.settings()));
        if (combo->currentIndex() == index) return;
        const QSignalBlocker block(combo);
        combo->setCurrentIndex(index);
    });
    QObject::connect(combo, &QComboBox::activated, combo, [combo, &model, set = std::move(set)](int index) {
        const QVariant value = combo->itemData(index);
        if (!value.isValid()) return;
        model.editSettings([&](AppSettings& s) { set(s, value); });
    });
}

QComboBox* fitToColumn(QComboBox* combo, int minimumCharacters) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(minimumCharacters);
    combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return combo;
}

void showText(QLineEdit* edit, const QString& text) {
    if (edit->text() == text) return;
    const int cursor = edit->cursorPosition();
    const QSignalBlocker block(edit);
    edit->setText(text);
    edit->setCursorPosition(std::min(cursor, int(text.size())));
}

QString leftGraphemes(const QString& text, int count) {
    if (count <= 0) return {};
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int seen = 0;
    while (finder.toNextBoundary() != -1) {
        if (++seen == count) return text.left(finder.position());
    }
    return text;
}

int graphemeCount(const QString& text) {
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int n = 0;
    while (finder.toNextBoundary() != -1) ++n;
    return n;
}

}  // namespace corvane
