#include "settings/SoundEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "platform/Text.h"
#include "services/AudioService.h"
#include "settings/kit/Bindings.h"
#include "settings/kit/FormGrid.h"
#include "settings/kit/ReflowRow.h"
#include "settings/kit/WrappingCheckBox.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {

// One line, shortened in the middle so the file's extension stays visible.
class MiddleElidedLabel : public QLabel {
public:
    explicit MiddleElidedLabel(QWidget* parent = nullptr) : QLabel(parent) {
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    // A whole text (the program's own, not a file name) is never shortened:
    // it asks for its full width.
    void setFullText(const QString& text, bool whole) {
        if (full_ == text && whole_ == whole) return;
        full_ = text;
        whole_ = whole;
        setAccessibleName(full_);
        updateGeometry();
        elide();
    }
    QSize minimumSizeHint() const override {
        return {whole_ ? fontMetrics().horizontalAdvance(full_) : 40, QLabel::minimumSizeHint().height()};
    }
    const QString& fullText() const { return full_; }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, std::max(0, width()))); }
    QString full_;
    bool whole_ = false;
};

}  // namespace

SoundEditor::SoundEditor(AppModel& model, SoundSlot slot, QWidget* parent)
    : QWidget(parent), model_(model), slot_(slot) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    grid_ = new FormGrid(6, this);
    grid_->setLabelWidth(80);

    source_ = fitToEntries(new QComboBox);
    source_->setAccessibleName(tr("Alarmton-Quelle"));
    source_->addItem(tr("Systemklang"), int(SoundSource::system));
    source_->addItem(tr("Eigene MP3-Datei"), int(SoundSource::customFile));
    source_->addItem(tr("Integrierter Standardalarm"), int(SoundSource::builtIn));
    connect(source_, &QComboBox::activated, this, [this](int index) {
        const auto value = SoundSource(source_->itemData(index).toInt());
        editSound([&](SoundSettings& s) { s.source = value; });
    });
    grid_->addRow(tr("Alarmton"), source_);

    choice_ = new QWidget;
    auto* choiceBox = new QHBoxLayout(choice_);
    choiceBox->setContentsMargins(0, 0, 0, 0);
    builtInCaption_ = new Caption(tr("Synthetischer Signalton (immer verfügbar)"));
    builtInCaption_->setMinimumHeight(30);
    choiceBox->addWidget(builtInCaption_, 1);
    systemSound_ = fitToColumn(new QComboBox);
    systemSound_->setAccessibleName(tr("Systemklang"));
    connect(systemSound_, &QComboBox::activated, this, [this](int index) {
        const QString name = systemSound_->itemData(index).toString();
        editSound([&](SoundSettings& s) { s.systemSoundName = name; });
    });
    choiceBox->addWidget(systemSound_, 1);
    fileRow_ = new QWidget;
    fileLabel_ = new MiddleElidedLabel;
    browse_ = new ThemedButton(tr("Durchsuchen …"));
    browse_->setNaturalSize(true);
    connect(browse_, &QAbstractButton::clicked, this, [this] { model_.chooseAlarmSoundFile(slot_); });
    // In a narrow column the button goes under the file rather than cut it.
    new ReflowLayout(fileLabel_, browse_, 8, fileRow_);
    choiceBox->addWidget(fileRow_, 1);
    choiceBox->addStretch(0);
    grid_->addRow(choice_);

    // Why the file picked last could not be taken over, under the row it
    // was picked in.
    importProblem_ = new WarningText;
    importRow_ = grid_->addRow(importProblem_);

    warning_ = new WarningText;
    warningRow_ = grid_->addRow(warning_);

    auto* volumeRow = new QWidget;
    auto* volumeBox = new QHBoxLayout(volumeRow);
    volumeBox->setContentsMargins(0, 0, 0, 0);
    volume_ = new QSlider(Qt::Horizontal);
    volume_->setRange(0, 100);
    volume_->setSingleStep(1);
    volume_->setPageStep(10);
    volume_->setAccessibleName(tr("Lautstärke"));
    connect(volume_, &QSlider::valueChanged, this, [this](int value) {
        editSound([&](SoundSettings& s) { s.volume = value; });
    });
    volumeBox->addWidget(volume_, 1);
    volumeText_ = new QLabel;
    volumeText_->setFixedWidth(44);
    volumeText_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    volumeBox->addWidget(volumeText_);
    grid_->addRowWithTopMargin(2, tr("Lautstärke"), volumeRow);
    column->addWidget(grid_);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 10, 0, 0);
    loop_ = new WrappingCheckBox(tr("Endlos wiederholen"));
    connect(loop_, &QCheckBox::clicked, this, [this](bool on) { editSound([&](SoundSettings& s) { s.loop = on; }); });
    bottom->addWidget(loop_, 1);
    test_ = new ThemedButton;
    test_->setFixedWidth(110);
    test_->setToolTip(tr("Alarmton testen / Test beenden"));
    connect(test_, &QAbstractButton::clicked, this, [this] { model_.previewSound(slot_); });
    bottom->addWidget(test_);
    column->addLayout(bottom);
    // Why the last test here could not play; gone with the next clean test.
    previewProblem_ = new WarningText(std::nullopt, this);
    column->addWidget(previewProblem_);

    connect(&model_, &AppModel::settingsChanged, this, &SoundEditor::refresh);
    connect(&model_.audio(), &AudioService::previewOwnerChanged, this, &SoundEditor::refreshTestButton);
    connect(&model_, &AppModel::previewProblemChanged, this,
            [this] { previewProblem_->setWarning(model_.previewProblem(slot_)); });
    connect(&model_, &AppModel::importProblemsChanged, this, &SoundEditor::refresh);
    refresh();
    refreshTestButton();
    previewProblem_->setWarning(model_.previewProblem(slot_));
}

QString SoundEditor::displayName(const QString& fileName) {
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? fileName.left(dot) : fileName;
}

bool SoundEditor::warningShown() const { return grid_->isRowVisible(warningRow_); }
bool SoundEditor::importProblemShown() const { return grid_->isRowVisible(importRow_); }

template <typename Edit>
void SoundEditor::editSound(Edit&& edit) {
    if (!model_.sound(slot_)) return;
    model_.editSettings([&](AppSettings& next) {
        SoundSettings& s = slot_.kind == SoundSlot::Kind::alarm ? next.alarms[std::size_t(slot_.index)].sound
                                                                 : next.countdowns[std::size_t(slot_.index)].sound;
        edit(s);
    });
}

void SoundEditor::refresh() {
    const SoundSettings* sound = model_.sound(slot_);
    setEnabled(sound != nullptr);
    if (!sound) return;

    const int sourceIndex = source_->findData(int(sound->source));
    if (source_->currentIndex() != sourceIndex) {
        const QSignalBlocker block(source_);
        source_->setCurrentIndex(sourceIndex);
    }
    builtInCaption_->setVisible(sound->source == SoundSource::builtIn);
    systemSound_->setVisible(sound->source == SoundSource::system);
    fileRow_->setVisible(sound->source == SoundSource::customFile);
    if (sound->source == SoundSource::system) refreshSystemSounds(sound->systemSoundName);

    const QString path = sound->customFilePath.value_or(QString());
    auto* label = static_cast<MiddleElidedLabel*>(fileLabel_);
    label->setFullText(path.isEmpty() ? tr("Keine Datei ausgewählt") : path.mid(path.lastIndexOf(QLatin1Char('/')) + 1),
                       path.isEmpty());
    label->setToolTip(path);

    const std::optional<QString> importProblem =
        sound->source == SoundSource::customFile ? model_.soundImportProblem(slot_) : std::nullopt;
    importProblem_->setWarning(importProblem);
    grid_->setRowVisible(importRow_, importProblem.has_value());

    const std::optional<QString> warning = AudioService::fallbackWarning(*sound);
    warning_->setWarning(warning);
    grid_->setRowVisible(warningRow_, warning.has_value());

    const int volume = int(std::clamp<qint64>(sound->volume, 0, 100));
    if (volume_->value() != volume) {
        const QSignalBlocker block(volume_);
        volume_->setValue(volume);
    }
    volumeText_->setText(QStringLiteral("%1\u00A0%").arg(sound->volume));
    if (loop_->isChecked() != sound->loop) {
        const QSignalBlocker block(loop_);
        loop_->setChecked(sound->loop);
    }
}

void SoundEditor::refreshSystemSounds(const QString& stored) {
    const QStringList& sounds = AudioService::systemSounds();
    const std::optional<QString> extra =
        sounds.contains(stored) ? std::nullopt : std::optional<QString>(stored);
    if (!systemListBuilt_ || extra != extraSystemEntry_) {
        // The folders are read once per run; only the extra entry for a
        // stored name they do not hold can change the list.
        const QSignalBlocker block(systemSound_);
        systemSound_->clear();
        if (extra) systemSound_->addItem(displayName(*extra), *extra);
        for (const QString& name : sounds) systemSound_->addItem(displayName(name), name);
        extraSystemEntry_ = extra;
        systemListBuilt_ = true;
    }
    const int index = systemSound_->findData(stored);
    if (systemSound_->currentIndex() != index) {
        const QSignalBlocker block(systemSound_);
        systemSound_->setCurrentIndex(index);
    }
}

void SoundEditor::refreshTestButton() {
    const bool playing = model_.audio().isOwner(AudioChannel::preview, slot_.id());
    test_->setText(playing ? tr("■  Stopp") : tr("▶  Testen"));
    test_->setAccessibleName(test_->text());
}

}  // namespace corvane
