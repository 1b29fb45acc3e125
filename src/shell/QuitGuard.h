#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace corvane {

// What the user chose when asked before quitting with alarms armed.
enum class QuitChoice { MinimizeToDock, QuitAnyway, Cancel };

inline constexpr const char* kQuitGuardMessage = "Achtung, es laufen noch Wecker!";

// The alert's explanation around the summary lines ("• " before each).
QString quitGuardInformativeText(const QStringList& summaryLines);
// The three button titles in the order they stand.
QStringList quitGuardButtonTitles();

// Shows the modal warning; Return chooses the first button, Esc or closing
// the alert cancels.
QuitChoice askBeforeQuit(QWidget* parent, const QStringList& summaryLines);

// The decision itself, with the prompt as a seam for tests: nothing armed
// means quitting at once without asking.
using QuitPrompt = std::function<QuitChoice(const QStringList&)>;
QuitChoice confirmQuit(const QStringList& summaryLines, const QuitPrompt& prompt);

}  // namespace corvane
