#include "settings/kit/Bindings.h"

#include <QSignalBlocker>
#include <QTextBoundaryFinder>
#include <QValidator>

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

QComboBox* fitToEntries(QComboBox* combo, bool fill) {
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo->setSizePolicy(fill ? QSizePolicy::MinimumExpanding : QSizePolicy::Minimum, QSizePolicy::Fixed);
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

namespace {

class GraphemeLimit : public QValidator {
public:
    GraphemeLimit(int count, const QString& shown, QObject* parent)
        : QValidator(parent), count_(count), accepted_(shown) {}

    State validate(QString& input, int& pos) const override {
        // Most edits are far from the limit: a code unit is at most one character.
        if (input.size() <= count_ || graphemeCount(input) <= count_) {
            accepted_ = input;
            return Acceptable;
        }
        const QString cut = leftGraphemes(input, count_);
        // Nothing of the edit survives the cut (a key typed into a full
        // field): refused, and the field undoes it itself.
        if (cut == accepted_) return Invalid;
        input = cut;
        pos = std::min(pos, int(cut.size()));
        accepted_ = cut;
        return Acceptable;
    }

private:
    int count_;
    // What the field held after the last edit let through.
    mutable QString accepted_;
};

}  // namespace

void bindLimitedText(QLineEdit* edit, int count, std::function<void(const QString&)> store) {
    edit->setValidator(new GraphemeLimit(count, edit->text(), edit));
    QObject::connect(edit, &QLineEdit::textEdited, edit, [store = std::move(store)](const QString& text) { store(text); });
}

}  // namespace corvane
