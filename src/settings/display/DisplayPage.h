#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace corvane {

class AppModel;
class ClocksCard;
class DialGalleryCard;
class ScaleDownToFit;
class ThemedButton;
class ThemedLabel;

// "Anzeige": the clocks card over two columns, the display mode and the
// digital font on the left, the default dial on the right.
class DisplaySettings : public QWidget {
    Q_OBJECT
public:
    explicit DisplaySettings(AppModel& model, QWidget* parent = nullptr);

    // What the size slider stores for a position: whole points within
    // 24 ... 320, 120 for a position that is no number.
    static double sliderFontSize(double value);
    // The font the preview shows the family in: the family when it is
    // installed, else the system font, like the digital clock.
    static QFont previewFont(const QString& family);

    ClocksCard* clocksCard() const { return clocks_; }
    DialGalleryCard* galleryCard() const { return gallery_; }
    ThemedButton* analogButton() const { return analog_; }
    ThemedButton* digitalButton() const { return digital_; }
    QCheckBox* smoothToggle() const { return smooth_; }
    QCheckBox* dateToggle() const { return date_; }
    QComboBox* fontPicker() const { return fonts_; }
    QSlider* sizeSlider() const { return size_; }
    QLabel* sizeLabel() const { return sizeText_; }
    QLabel* preview() const { return preview_; }

    // Stores a family chosen in the picker (trimmed, never empty).
    void chooseFamily(const QString& family);

private:
    QWidget* makeModeCard();
    QWidget* makeFontCard();
    void refresh();

    AppModel& model_;
    ClocksCard* clocks_;
    DialGalleryCard* gallery_;
    ThemedButton* analog_ = nullptr;
    ThemedButton* digital_ = nullptr;
    QCheckBox* smooth_ = nullptr;
    QCheckBox* date_ = nullptr;
    QComboBox* fonts_ = nullptr;
    QSlider* size_ = nullptr;
    QLabel* sizeText_ = nullptr;
    QLabel* preview_ = nullptr;
    ScaleDownToFit* previewFit_ = nullptr;
};

}  // namespace corvane
