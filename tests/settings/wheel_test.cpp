// The mouse wheel over the settings: a drop-down, number menu, spin box or
// slider the user has not gone to lets the page scroll on, and changes only
// once a click or Tab gave it the focus.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <functional>

#include "SettingsHarness.h"
#include "settings/AlarmsPage.h"
#include "settings/RadioWakeEditor.h"
#include "settings/SoundEditor.h"
#include "settings/display/PopupPanel.h"
#include "settings/kit/WheelGuard.h"
#include "shell/components/NumberPicker.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

enum class Delivery {
    // As the window system delivers it: to the widget under the pointer,
    // where Qt first hands the focus to a control that takes it by wheel
    // and passes a turn nobody took on to the parents.
    windowSystem,
    // Sent by a program straight to the control: no focus, no passing on.
    sent,
};

const char* nameOf(Delivery how) { return how == Delivery::windowSystem ? "window system" : "sendEvent"; }

// `notches` turns of the wheel (positive: towards the user, the page moves
// down) delivered to `receiver`, the pointer at `local` in it.
void deliverWheel(QWidget* receiver, QPoint local, int notches, Delivery how) {
    QWheelEvent turn(QPointF(local), QPointF(receiver->mapToGlobal(local)), QPoint(), QPoint(0, -120 * notches),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    if (how == Delivery::windowSystem) {
        QSpontaneKeyEvent::setSpontaneous(&turn);
        qApp->notify(receiver, &turn);
    } else {
        QApplication::sendEvent(receiver, &turn);
    }
}

// The same with the pointer at `at` in `control`: the turn goes to the
// innermost widget there (a spin box's text field, say).
void turnWheel(QWidget* control, QPoint at, int notches, Delivery how) {
    QWidget* target = control->childAt(at);
    if (!target) target = control;
    deliverWheel(target, target == control ? at : target->mapFrom(control, at), notches, how);
}

// A click gives the focus; the menu a drop-down opens on it is closed again.
void clickToFocus(QWidget* control) {
    QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    QWidget* menu = QApplication::activePopupWidget();
    if (menu && menu != control->window()) {
        QTest::keyClick(menu, Qt::Key_Escape);
        // The offscreen platform moved the activation to the menu; a window
        // manager gives it back to the window.
        QCoreApplication::processEvents();
        QApplication::setActiveWindow(control->window());
    }
    QCoreApplication::processEvents();
}

std::string shown(const QWidget* control) {
    if (auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText().toStdString();
    if (auto* slider = qobject_cast<const QAbstractSlider*>(control)) return std::to_string(slider->value());
    return {};
}

// Alarm 1 with every value in the middle of its range, so one notch either
// way changes it.
AppSettings middleValues() {
    AppSettings s = SettingsHarness::quietSettings();
    AlarmSettings& a = s.alarms[0];
    a.hour = 7;
    a.fadeSeconds = RadioWakeEditor::fadeOptions()[1];
    a.sound.source = SoundSource::customFile;
    a.sound.volume = 50;
    return s;
}

struct AlarmsWindow {
    SettingsHarness h;
    AlarmCard* card = nullptr;
    QScrollArea* scroll = nullptr;
    QScrollBar* bar = nullptr;

    explicit AlarmsWindow(const AppSettings& settings) {
        h.open(settings, SettingsCategory::alarms);
        QApplication::setActiveWindow(h.root.get());
        card = h.root->findChild<AlarmsPage*>()->card(0);
        scroll = h.root->view()->scrollArea();
        bar = scroll->verticalScrollBar();
    }
    const AlarmSettings& alarm() const { return h.model->settings().alarms[0]; }
    // Scrolls until `control` is in sight, with room left to scroll on.
    int bringIntoView(QWidget* control) {
        scroll->ensureWidgetVisible(control);
        h.settle();
        EXPECT_LT(bar->value(), bar->maximum());
        return bar->value();
    }
};

}  // namespace

TEST(WheelOverSettings, AnUnfocusedControlScrollsThePageAFocusedOneChanges) {
    struct Kind {
        const char* what;
        std::function<QWidget*(AlarmCard&)> control;
        std::function<qint64(const AlarmSettings&)> stored;
    };
    const Kind kinds[] = {
        {"drop-down Alarmton", [](AlarmCard& c) { return c.soundEditor()->sourcePicker(); },
         [](const AlarmSettings& a) { return qint64(a.sound.source); }},
        {"drop-down Sanft aufwachen", [](AlarmCard& c) { return c.radioEditor()->fadePicker(); },
         [](const AlarmSettings& a) { return a.fadeSeconds; }},
        {"time field Stunde", [](AlarmCard& c) { return c.hourPicker(); },
         [](const AlarmSettings& a) { return a.hour; }},
        {"slider Lautstärke", [](AlarmCard& c) { return c.soundEditor()->volumeSlider(); },
         [](const AlarmSettings& a) { return a.sound.volume; }},
    };
    for (Delivery how : {Delivery::windowSystem, Delivery::sent}) {
        for (const Kind& kind : kinds) {
            SCOPED_TRACE(std::string(kind.what) + ", " + nameOf(how));
            AlarmsWindow w(middleValues());
            QWidget* control = kind.control(*w.card);
            const QPoint at = control->rect().center();
            const int top = w.bringIntoView(control);

            // What one notch over the page itself scrolls.
            deliverWheel(w.scroll->viewport(), QPoint(1, 1), 1, how);
            const int notch = w.bar->value() - top;
            ASSERT_GT(notch, 0);
            w.bar->setValue(top);

            const AppSettings before = w.h.model->settings();
            const std::string shownBefore = shown(control);
            const ino_t file = ModelHarness::inodeOf(w.h.settingsFile());
            turnWheel(control, at, 1, how);
            w.h.advance(1.0);  // past the save delay
            w.h.settleWrites();
            EXPECT_EQ(shown(control), shownBefore);
            EXPECT_EQ(w.h.model->settings(), before);
            EXPECT_EQ(ModelHarness::inodeOf(w.h.settingsFile()), file) << "the settings file was written";
            EXPECT_EQ(w.bar->value(), top + notch) << "the page did not scroll on";
            EXPECT_FALSE(control->hasFocus()) << "the wheel took the focus";

            // Gone to with a click, the control takes the wheel; the page stays.
            w.bar->setValue(top);
            clickToFocus(control);
            ASSERT_TRUE(control->hasFocus());
            const qint64 storedBefore = kind.stored(w.alarm());  // a click on a slider may step it
            const std::string shownFocused = shown(control);
            turnWheel(control, at, 1, how);
            EXPECT_NE(shown(control), shownFocused);
            EXPECT_NE(kind.stored(w.alarm()), storedBefore);
            EXPECT_EQ(w.bar->value(), top);
        }
    }
}

TEST(WheelOverSettings, AControlThatAppearsLaterFollowsTheSameRule) {
    AlarmsWindow w(middleValues());
    QComboBox* source = w.card->soundEditor()->sourcePicker();
    QComboBox* systemSound = w.card->soundEditor()->systemSoundPicker();
    ASSERT_FALSE(systemSound->isVisible());

    // The source goes from "Eigene MP3-Datei" one up to "Systemklang" with
    // the wheel of the focused drop-down; its sound picker appears.
    w.bringIntoView(source);
    clickToFocus(source);
    turnWheel(source, source->rect().center(), -1, Delivery::windowSystem);
    ASSERT_EQ(w.alarm().sound.source, SoundSource::system);
    w.h.settle();
    ASSERT_TRUE(systemSound->isVisible());

    const int top = w.bringIntoView(systemSound);
    const AppSettings before = w.h.model->settings();
    turnWheel(systemSound, systemSound->rect().center(), 1, Delivery::windowSystem);
    EXPECT_EQ(w.h.model->settings(), before);
    EXPECT_GT(w.bar->value(), top);
    EXPECT_TRUE(source->hasFocus()) << "the focus stays where the user put it";
}

TEST(WheelOverSettings, SpinBoxesTooAndNothingOutsideTheGuardedWindows) {
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    auto* anchor = new ThemedButton(QStringLiteral("Öffnen"));
    column->addWidget(anchor);
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    auto* page = new QWidget;
    auto* rows = new QVBoxLayout(page);
    auto* spin = new QSpinBox;
    spin->setRange(0, 100);
    spin->setValue(50);
    auto* time = new QTimeEdit(QTime(7, 30));
    rows->addWidget(spin);
    rows->addWidget(time);
    rows->addSpacing(2000);
    scroll->setWidget(page);
    column->addWidget(scroll, 1);
    keepWheelForScrolling(&window);
    window.resize(300, 400);
    window.show();
    QApplication::setActiveWindow(&window);
    QCoreApplication::processEvents();

    QScrollBar* bar = scroll->verticalScrollBar();
    for (QAbstractSpinBox* control : std::initializer_list<QAbstractSpinBox*>{spin, time}) {
        SCOPED_TRACE(control->metaObject()->className());
        bar->setValue(0);
        const std::string before = control->text().toStdString();
        turnWheel(control, control->rect().center(), 1, Delivery::windowSystem);
        EXPECT_EQ(control->text().toStdString(), before);
        EXPECT_GT(bar->value(), 0);
        bar->setValue(0);
        clickToFocus(control);
        ASSERT_TRUE(control->hasFocus());
        turnWheel(control, control->rect().center(), 1, Delivery::windowSystem);
        EXPECT_NE(control->text().toStdString(), before);
        EXPECT_EQ(bar->value(), 0);
    }

    // A pop-up has no page to scroll: the turn changes nothing.
    auto* popup = new PopupPanel(anchor);
    auto* popupRows = new QVBoxLayout(popup);
    auto* search = new QLineEdit;
    auto* inPopup = new QSpinBox;
    inPopup->setValue(5);
    popupRows->addWidget(search);
    popupRows->addWidget(inPopup);
    popup->openBelowAnchor();
    search->setFocus(Qt::PopupFocusReason);
    QCoreApplication::processEvents();
    turnWheel(inPopup, inPopup->rect().center(), 1, Delivery::windowSystem);
    EXPECT_EQ(inPopup->value(), 5);
    EXPECT_TRUE(search->hasFocus());
    popup->hide();

    // A window of its own opened from inside (as the colour dialog is) keeps
    // Qt's ways.
    QDialog dialog(spin);
    auto* dialogRows = new QVBoxLayout(&dialog);
    auto* inDialog = new QSpinBox;
    inDialog->setValue(5);
    dialogRows->addWidget(inDialog);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QCoreApplication::processEvents();
    turnWheel(inDialog, inDialog->rect().center(), 1, Delivery::windowSystem);
    EXPECT_NE(inDialog->value(), 5);
}
