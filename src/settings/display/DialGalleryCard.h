#pragma once

#include <vector>

#include "shell/components/Card.h"

namespace corvane {

class AppModel;
class DesignTile;
class ThemedButton;
class WarningText;

// "Standard-Zifferblatt": the design of every clock without one of its own,
// one of the eight styles or a shared image, each as a live tile.
class DialGalleryCard : public Card {
    Q_OBJECT
public:
    explicit DialGalleryCard(AppModel& model, QWidget* parent = nullptr);

    DesignTile* tile(int i) const { return tiles_[std::size_t(i)]; }
    int tileCount() const { return int(tiles_.size()); }
    // 0 ... 7 the styles, 8 "Eigenes Bild".
    int selectedTile() const;
    WarningText* warning() const { return warning_; }
    // Why the image picked last could not be taken over.
    WarningText* importProblem() const { return importProblem_; }
    ThemedButton* chooseButton() const { return choose_; }

    // The "Eigenes Bild" tile: the stored image again when its file is still
    // there, else the file dialog.
    void useOwnImage();

private:
    void refresh();

    AppModel& model_;
    std::vector<DesignTile*> tiles_;
    WarningText* warning_;
    ThemedButton* choose_;
    WarningText* importProblem_;
};

}  // namespace corvane
