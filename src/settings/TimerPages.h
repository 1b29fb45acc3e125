#pragma once

#include <QString>
#include <vector>

class QWidget;

namespace corvane {

class ThemedButton;
class TwoColumns;

// The frame of the countdown and stopwatch pages: their two cards side by
// side over an explanation that spans both.
QWidget* timerPageFrame(TwoColumns* cards, const QString& caption, QWidget* parent);

// Gives the buttons of one card the width of the widest, so the grid reads
// as one block.
void equalizeWidths(const std::vector<ThemedButton*>& buttons);

}  // namespace corvane
