#pragma once

#include <QAbstractButton>
#include <array>
#include <vector>

#include "model/Settings.h"
#include "settings/display/PopupPanel.h"
#include "shell/components/FocusRing.h"

class QCheckBox;
class QGridLayout;

namespace corvane {

class AppModel;
class ColorButton;
class DesignTile;
class ThemedButton;
class ThemedLabel;
class WarningText;

// A round colour to click, ringed in the accent colour when it is the one
// chosen.
class SwatchButton : public QAbstractButton, public FocusShaped {
    Q_OBJECT
public:
    SwatchButton(const QString& hex, QWidget* parent = nullptr);
    const QString& hex() const { return hex_; }
    bool selected() const { return selected_; }
    void setSelected(bool selected);
    QSize sizeHint() const override { return {22, 22}; }
    QSize minimumSizeHint() const override { return {10, 22}; }
    FocusOutline focusOutline() const override { return {circle(), 0, true}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF circle() const;

    QString hex_;
    bool selected_ = false;
};

// The pop-up in which one clock gets a design of its own: a style, its own
// image or the default design, its own face colour, or everything back to
// the default; and its design copied to every clock. Each click applies at
// once through the model; the panel shows the clock as the model has it now.
class ClockDesignPanel : public PopupPanel {
    Q_OBJECT
public:
    static constexpr int kWidth = 430;
    static const std::array<const char*, 16>& swatchColors();

    ClockDesignPanel(AppModel& model, QString clockID, int index, QWidget* anchor);

    void setClock(const QString& clockID, int index);
    // Reads the clock from the model again.
    void refresh();

    // The edited clock; a stand-by entry once it is gone.
    ClockEntry clock() const;

    // What is selected, for the clock as it is: 0 "Standard", 1 + style, 9
    // "Eigenes Bild".
    static int selectedTile(const ClockEntry& clock);

    DesignTile* tile(int i) const { return tiles_[std::size_t(i)]; }
    int tileCount() const { return int(tiles_.size()); }
    QCheckBox* colorToggle() const { return colorToggle_; }
    ColorButton* colorButton() const { return colorButton_; }
    SwatchButton* swatch(int i) const { return swatches_[std::size_t(i)]; }
    ThemedButton* resetButton() const { return reset_; }
    ThemedButton* applyAllButton() const { return applyAll_; }
    // Why the image picked last could not be taken over.
    WarningText* importProblem() const { return importProblem_; }
    QString headerText() const;

private:
    void toggleColor(bool on);
    void chooseImage();

    AppModel& model_;
    QString clockID_;
    int index_;
    QString standbyID_;
    ThemedLabel* header_;
    std::vector<DesignTile*> tiles_;
    WarningText* importProblem_;
    QCheckBox* colorToggle_;
    ColorButton* colorButton_;
    std::vector<SwatchButton*> swatches_;
    ThemedButton* reset_;
    ThemedButton* applyAll_;
};

}  // namespace corvane
