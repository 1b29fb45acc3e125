#pragma once

#include <QWidget>

#include "appmodel/AppModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace corvane {

class Caption;
class FormGrid;
class ThemedButton;
class WarningText;

// Edits the sound of one alarm or countdown: source, system sound or own
// file, volume, endless repetition, and a test on the preview channel. It
// keeps nothing of the sound itself; every control shows the model's value
// and writes through the model, so two editors of one slot stay in step and
// a test started elsewhere shows here.
//
// The alarm card shows its own volume warning beside this editor; it reads
// the same slot's volume from the model.
class SoundEditor : public QWidget {
    Q_OBJECT
public:
    SoundEditor(AppModel& model, SoundSlot slot, QWidget* parent = nullptr);

    const SoundSlot& slot() const { return slot_; }

    // The controls, for the pages' tests.
    QComboBox* sourcePicker() const { return source_; }
    QComboBox* systemSoundPicker() const { return systemSound_; }
    QLabel* fileLabel() const { return fileLabel_; }
    ThemedButton* browseButton() const { return browse_; }
    Caption* builtInCaption() const { return builtInCaption_; }
    WarningText* warning() const { return warning_; }
    bool warningShown() const;
    // Why the last file picked here could not be taken over.
    WarningText* importProblem() const { return importProblem_; }
    bool importProblemShown() const;
    QSlider* volumeSlider() const { return volume_; }
    QLabel* volumeText() const { return volumeText_; }
    QCheckBox* loopBox() const { return loop_; }
    ThemedButton* testButton() const { return test_; }
    // Why the last test of this slot could not play, shown under the editor.
    WarningText* previewProblem() const { return previewProblem_; }

    // A system sound's name as the list shows it: without its extension.
    static QString displayName(const QString& fileName);

private:
    void refresh();
    void refreshSystemSounds(const QString& stored);
    void refreshTestButton();
    template <typename Edit>
    void editSound(Edit&& edit);

    AppModel& model_;
    SoundSlot slot_;
    FormGrid* grid_;
    int warningRow_ = -1;
    int importRow_ = -1;
    QComboBox* source_;
    QWidget* choice_;
    Caption* builtInCaption_;
    QComboBox* systemSound_;
    QWidget* fileRow_;
    QLabel* fileLabel_;
    ThemedButton* browse_;
    WarningText* importProblem_;
    WarningText* warning_;
    QSlider* volume_;
    QLabel* volumeText_;
    QCheckBox* loop_;
    ThemedButton* test_;
    WarningText* previewProblem_;
    // The stored name the system list was last built for, when it is not in
    // the folders; the list is rebuilt only when this changes.
    std::optional<QString> extraSystemEntry_;
    bool systemListBuilt_ = false;
};

}  // namespace corvane
