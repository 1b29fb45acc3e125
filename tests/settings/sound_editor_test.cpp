// The sound editor on a model with fake sound: what each control writes,
// what it shows for every source, and the shared preview channel.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <QTest>
#include <QVBoxLayout>

#include "appmodel/ModelHarness.h"
#include "settings/SoundEditor.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

struct EditorHarness : ModelHarness {
    QWidget host;
    QVBoxLayout* layout = new QVBoxLayout(&host);

    SoundEditor* add(SoundSlot slot) {
        auto* editor = new SoundEditor(*model, slot);
        layout->addWidget(editor);
        return editor;
    }
    const SoundSettings& sound(SoundSlot slot) { return *model->sound(slot); }
    void editSound(SoundSlot slot, const std::function<void(SoundSettings&)>& f) {
        model->editSettings([&](AppSettings& s) {
            f(slot.kind == SoundSlot::Kind::alarm ? s.alarms[std::size_t(slot.index)].sound
                                                  : s.countdowns[std::size_t(slot.index)].sound);
        });
    }
    void pick(QComboBox* combo, int index) {
        combo->setCurrentIndex(index);
        Q_EMIT combo->activated(index);
        settle();
    }
};

const SoundSlot kCountdown1{SoundSlot::Kind::countdown, 1};
const SoundSlot kAlarm0{SoundSlot::Kind::alarm, 0};

}  // namespace

TEST(SoundEditor, EachControlWritesItsFieldOfTheSlotAlone) {
    EditorHarness h;
    h.make();
    SoundEditor* editor = h.add(kCountdown1);
    const AppSettings before = h.model->settings();

    // Source entries in their order, each with the value it stands for.
    QComboBox* source = editor->sourcePicker();
    ASSERT_EQ(source->count(), 3);
    const std::pair<const char*, SoundSource> entries[] = {{"Systemklang", SoundSource::system},
                                                           {"Eigene MP3-Datei", SoundSource::customFile},
                                                           {"Integrierter Standardalarm", SoundSource::builtIn}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(source->itemText(i), QString::fromUtf8(entries[i].first));
        h.pick(source, i);
        EXPECT_EQ(h.sound(kCountdown1).source, entries[i].second);
    }
    editor->volumeSlider()->setValue(0);
    h.settle();
    EXPECT_EQ(h.sound(kCountdown1).volume, 0);
    EXPECT_EQ(editor->volumeText()->text(), QStringLiteral("0\u00A0%"));
    editor->loopBox()->click();
    EXPECT_EQ(h.sound(kCountdown1).loop, !before.countdowns[1].sound.loop);

    // Nothing but that one sound changed.
    AppSettings expected = before;
    expected.countdowns[1].sound = h.sound(kCountdown1);
    EXPECT_EQ(h.model->settings(), expected);

    // And the editor follows a change made elsewhere.
    h.editSound(kCountdown1, [](SoundSettings& s) { s.volume = 55; s.loop = true; });
    h.settle();
    EXPECT_EQ(editor->volumeSlider()->value(), 55);
    EXPECT_EQ(editor->volumeText()->text(), QStringLiteral("55\u00A0%"));
    EXPECT_TRUE(editor->loopBox()->isChecked());
}

TEST(SoundEditor, ShowsWhatEachSourceNeedsAndWhyItWouldFallBack) {
    EditorHarness h;
    h.make();
    SoundEditor* editor = h.add(kAlarm0);
    h.host.show();

    // Built-in tone: the caption, nothing else, no warning.
    h.editSound(kAlarm0, [](SoundSettings& s) { s.source = SoundSource::builtIn; });
    h.settle();
    EXPECT_TRUE(editor->builtInCaption()->isVisible());
    EXPECT_FALSE(editor->systemSoundPicker()->isVisible());
    EXPECT_FALSE(editor->fileLabel()->isVisible());
    EXPECT_FALSE(editor->warningShown());

    // Own file without a file.
    h.editSound(kAlarm0, [](SoundSettings& s) {
        s.source = SoundSource::customFile;
        s.customFilePath.reset();
    });
    h.settle();
    EXPECT_TRUE(editor->fileLabel()->isVisible());
    EXPECT_TRUE(editor->browseButton()->isVisible());
    EXPECT_EQ(editor->fileLabel()->toolTip(), QString());
    EXPECT_EQ(editor->fileLabel()->accessibleName(), QStringLiteral("Keine Datei ausgewählt"));
    EXPECT_TRUE(editor->warningShown());
    EXPECT_EQ(editor->warning()->text(), AudioService::fallbackWarning(h.sound(kAlarm0)).value());

    // Own file that is gone: its name, its path as help, the warning.
    h.editSound(kAlarm0, [&](SoundSettings& s) { s.customFilePath = h.dir.path() + "/weg/wecker.mp3"; });
    h.settle();
    EXPECT_EQ(editor->fileLabel()->toolTip(), h.dir.path() + "/weg/wecker.mp3");
    EXPECT_TRUE(editor->warning()->text().startsWith(QStringLiteral("Datei nicht gefunden")));

    // A stored system sound no folder holds comes first in the list, shown,
    // and warned about; the real sounds follow.
    h.editSound(kAlarm0, [](SoundSettings& s) {
        s.source = SoundSource::system;
        s.systemSoundName = QStringLiteral("Nirgends.aiff");
    });
    h.settle();
    QComboBox* list = editor->systemSoundPicker();
    EXPECT_TRUE(list->isVisible());
    ASSERT_GE(list->count(), 1);
    EXPECT_EQ(list->itemText(0), QStringLiteral("Nirgends"));
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_EQ(list->count(), AudioService::systemSounds().size() + 1);
    EXPECT_TRUE(editor->warningShown());
    EXPECT_TRUE(editor->warning()->text().startsWith(QStringLiteral("Systemklang nicht vorhanden")));
}

TEST(SoundEditor, TwoEditorsShareThePreviewChannel) {
    EditorHarness h;
    h.make();
    SoundEditor* alarm = h.add(kAlarm0);
    SoundEditor* countdown = h.add(kCountdown1);
    for (SoundSlot slot : {kAlarm0, kCountdown1})
        h.editSound(slot, [](SoundSettings& s) { s.source = SoundSource::builtIn; });
    h.settle();
    const QString play = QStringLiteral("▶  Testen");
    const QString stop = QStringLiteral("■  Stopp");
    EXPECT_EQ(alarm->testButton()->text(), play);

    alarm->testButton()->click();
    h.settle();
    EXPECT_EQ(alarm->testButton()->text(), stop);
    EXPECT_EQ(countdown->testButton()->text(), play);

    countdown->testButton()->click();
    h.settle();
    EXPECT_EQ(alarm->testButton()->text(), play) << "the other editor took the channel";
    EXPECT_EQ(countdown->testButton()->text(), stop);

    countdown->testButton()->click();
    h.settle();
    EXPECT_EQ(countdown->testButton()->text(), play);
    EXPECT_FALSE(h.model->audio().isOwner(AudioChannel::preview, kCountdown1.id()));
}

TEST(SoundEditor, BrowseStoresTheImportedCopy) {
    EditorHarness h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    h.make();
    SoundEditor* editor = h.add(kCountdown1);
    const QString picked = h.dir.path() + "/klingel.wav";
    QFile file(picked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("RIFF");
    file.close();
    answers->answers.push_back(picked);
    h.editSound(kCountdown1, [](SoundSettings& s) { s.source = SoundSource::customFile; });
    editor->browseButton()->click();
    h.settleWrites();
    const SoundSettings& s = h.sound(kCountdown1);
    ASSERT_TRUE(s.customFilePath.has_value());
    EXPECT_TRUE(s.customFilePath->startsWith(h.mediaFolder()));
    EXPECT_EQ(editor->fileLabel()->toolTip(), *s.customFilePath);
}

// "▶  Testen" without audio output says so under the editor that tried,
// until a test plays; the text is what the user reads.
TEST(SoundEditor, ATestThatCannotPlayShowsWhyUntilOnePlays) {
    EditorHarness h;
    h.make();
    SoundEditor* alarm = h.add(kAlarm0);
    SoundEditor* countdown = h.add(kCountdown1);
    h.host.show();
    for (SoundSlot slot : {kAlarm0, kCountdown1})
        h.editSound(slot, [](SoundSettings& s) { s.source = SoundSource::builtIn; });
    h.settle();
    EXPECT_FALSE(alarm->previewProblem()->isVisible());

    h.sounds->tone.acceptsPlay = false;
    alarm->testButton()->click();
    h.settle();
    EXPECT_EQ(alarm->testButton()->text(), QStringLiteral("▶  Testen"));
    EXPECT_TRUE(alarm->previewProblem()->isVisible());
    EXPECT_EQ(alarm->previewProblem()->text(), QStringLiteral("Audioausgabe nicht möglich."));
    EXPECT_FALSE(countdown->previewProblem()->isVisible());
    EXPECT_GT(alarm->previewProblem()->height(), 0);

    h.editSound(kAlarm0, [](SoundSettings& s) { s.volume = 40; });  // editing is not a test
    h.settle();
    EXPECT_TRUE(alarm->previewProblem()->isVisible());

    // A broken own file with no output at all: why the file failed is not
    // swallowed by the tone's failure.
    const QString broken = h.dir.path() + QStringLiteral("/kaputt.mp3");
    {
        QFile f(broken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ID3");
    }
    h.sounds->answerFile(broken, {1.0, QStringLiteral("Ungültige Daten"), true});
    h.editSound(kAlarm0, [&](SoundSettings& s) {
        s.source = SoundSource::customFile;
        s.customFilePath = broken;
    });
    h.settle();
    QTest::mouseClick(alarm->testButton(), Qt::LeftButton);
    h.settle();
    EXPECT_EQ(alarm->testButton()->text(), QStringLiteral("▶  Testen"));
    EXPECT_TRUE(alarm->previewProblem()->isVisible());
    EXPECT_EQ(alarm->previewProblem()->text(),
              QStringLiteral("Audiodatei konnte nicht gelesen werden (Ungültige Daten) – Standardalarm wird verwendet. "
                             "Auch der Standardalarm kann nicht abgespielt werden: Audioausgabe nicht möglich."));

    h.sounds->tone.acceptsPlay = true;
    countdown->testButton()->click();
    h.settle();
    EXPECT_FALSE(alarm->previewProblem()->isVisible());
    EXPECT_FALSE(countdown->previewProblem()->isVisible());
}

// A file that cannot be taken over (a pipe, a file that cannot be read, one
// gone meanwhile) says why under the file row, and only there; the next
// good pick removes the line.
TEST(SoundEditor, AFailedImportShowsWhyUnderTheFileRowUntilAGoodPick) {
    EditorHarness h;
    auto chooser = std::make_unique<FakeChooser>();
    FakeChooser* answers = chooser.get();
    h.fileChooser = std::move(chooser);
    h.make();
    SoundEditor* editor = h.add(kCountdown1);
    SoundEditor* neighbour = h.add(kAlarm0);
    h.editSound(kCountdown1, [](SoundSettings& s) { s.source = SoundSource::customFile; });
    h.host.show();
    h.settle();
    ASSERT_FALSE(editor->importProblemShown());

    const QString pipe = h.dir.path() + QStringLiteral("/rohr.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString locked = h.dir.path() + QStringLiteral("/gesperrt.mp3");
    {
        QFile f(locked);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("ID3");
    }
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner));
    std::vector<std::pair<const char*, QString>> bad{{"a pipe", pipe},
                                                     {"a file gone meanwhile", h.dir.path() + QStringLiteral("/weg.mp3")}};
    // Root reads every file whatever its mode.
    if (::access(QFile::encodeName(locked).constData(), R_OK) != 0) bad.emplace_back("an unreadable file", locked);

    const AppSettings before = h.model->settings();
    for (const auto& [what, path] : bad) {
        SCOPED_TRACE(what);
        answers->answers = {path};
        QTest::mouseClick(editor->browseButton(), Qt::LeftButton);
        h.settle();
        EXPECT_EQ(h.model->settings(), before);
        ASSERT_TRUE(editor->importProblemShown());
        EXPECT_TRUE(editor->importProblem()->isVisible());
        EXPECT_TRUE(editor->importProblem()->text().startsWith(QStringLiteral("Datei konnte nicht übernommen werden: ")))
            << editor->importProblem()->text().toStdString();
        EXPECT_EQ(editor->importProblem()->text(), h.model->settingsService().lastError().value_or(QString()));
        EXPECT_EQ(editor->fileLabel()->text(), QStringLiteral("Keine Datei ausgewählt"));
        EXPECT_FALSE(neighbour->importProblemShown());
    }

    const QString good = h.dir.path() + QStringLiteral("/klingel.wav");
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("RIFF");
    }
    answers->answers = {good};
    QTest::mouseClick(editor->browseButton(), Qt::LeftButton);
    h.settle();
    EXPECT_FALSE(editor->importProblemShown());
    EXPECT_FALSE(editor->importProblem()->isVisible());
    EXPECT_TRUE(editor->fileLabel()->toolTip().startsWith(h.mediaFolder()));
}
