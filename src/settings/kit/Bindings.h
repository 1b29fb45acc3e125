#pragma once

// How the settings pages tie plain Qt controls to the model. A control never
// keeps a copy of a setting: it is refreshed from the model whenever the
// model announces a change and writes each user edit through one model
// operation. Refreshing only touches a control whose shown value differs, so
// a field being typed in keeps its cursor and selection.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QVariant>
#include <functional>

#include "appmodel/AppModel.h"

namespace corvane {

// Runs `refresh` now and after every `signal` of `model`, for as long as
// `owner` lives.
template <typename Signal>
void follow(QWidget* owner, AppModel& model, Signal signal, std::function<void()> refresh) {
    refresh();
    QObject::connect(&model, signal, owner, [refresh = std::move(refresh)](auto&&...) { refresh(); });
}

using SettingsGet = std::function<bool(const AppSettings&)>;
using SettingsSet = std::function<void(AppSettings&, bool)>;

// A check box showing one Bool of the settings; a click stores it.
void bindToggle(QCheckBox* box, AppModel& model, SettingsGet get, SettingsSet set);

// A combo box whose entries carry their values as item data: it shows the
// entry whose data equals `get` (none when no entry does) and stores the
// data of the entry the user picks.
void bindChoice(QComboBox* combo, AppModel& model, std::function<QVariant(const AppSettings&)> get,
                std::function<void(AppSettings&, const QVariant&)> set);

// Lets a combo box narrow below its longest entry (eliding it) and widen to
// the space it is given, so a narrow column squeezes the box rather than
// overflowing. Returns `combo`.
QComboBox* fitToColumn(QComboBox* combo, int minimumCharacters = 8);

// A combo box of the program's own entries: never narrower than its longest
// entry, so whichever is chosen shows whole; it widens to the column when
// `fill` is set. Returns `combo`.
QComboBox* fitToEntries(QComboBox* combo, bool fill = true);

// Shows `text` in `edit` unless it already does; the cursor stays where it
// was (as far as the new text reaches), so an answer of the model while the
// user types never throws the cursor to the end.
void showText(QLineEdit* edit, const QString& text);

// The first `count` user-perceived characters of `text` (grapheme clusters:
// a letter with its combining accents, an emoji with its modifiers and
// joiners count as one), never cutting inside one.
QString leftGraphemes(const QString& text, int count);
int graphemeCount(const QString& text);

// Keeps `edit` at `count` user-perceived characters at most, however the
// text gets there (typed, pasted, dropped, an input method), and hands each
// edit of the user to `store`. An edit of which nothing fits is refused
// whole, so the field, its cursor and its undo history stay as they were; a
// longer one (a paste) is cut to its first `count` characters, the cursor
// where the edit left it or at the end of the cut, and the undo history then
// starts from the cut text, so undo never brings back more than is stored.
void bindLimitedText(QLineEdit* edit, int count, std::function<void(const QString&)> store);

}  // namespace corvane
