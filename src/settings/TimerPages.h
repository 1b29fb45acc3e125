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

// The button grid of one card: `rows` of buttons (null leaves a cell to the
// button before it), in equal columns across the card's width, 8 apart; a
// button shrinks its label before the grid overflows a narrow card.
QWidget* buttonGrid(const std::vector<std::vector<ThemedButton*>>& rows);

}  // namespace corvane
