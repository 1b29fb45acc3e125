// The dialogs of the settings pages (the design panel's and the design page's
// colour dialog, the sound editor's file dialog) in the whole program: closed
// however the user closes them, only the dialog goes. The panel stays open
// with its clock marked, the settings stay open, and afterwards Esc, the gear
// and the clock window's menu still do what they should.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <functional>

#include "DisplayHost.h"
#include "TestWait.h"
#include "settings/AlarmsPage.h"
#include "settings/SettingsRoot.h"
#include "settings/SoundEditor.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClockDesignPanel.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DisplayPage.h"
#include "settings/kit/ColorButton.h"
#include "shell/DelegateHarness.h"
#include "shell/ViewFactories.h"
#include "shell/components/IconButton.h"
#include "shell/components/ThemedButton.h"
#include "shell/views/RootView.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

// The program as the entry builds it: the delegate, and the real settings
// pages in its settings window.
struct Program : DelegateHarness {
    ViewFactory before = viewFactories().settingsRoot;

    Program() {
        viewFactories().settingsRoot = [](AppModel& m, QWidget* parent) -> QWidget* {
            return new SettingsRoot(m, parent);
        };
    }
    ~Program() {
        delegate.reset();
        viewFactories().settingsRoot = before;
    }

    AppModel& run(const AppSettings& settings, SettingsCategory page) {
        start(settings);
        model().openSettings(page);
        ModelHarness::settle();
        return model();
    }

    QWidget* settings() const { return delegate->settingsWindow(); }
    QWidget* page() const { return settings()->findChild<SettingsRoot*>()->view()->page(); }
    RootView* root() { return qobject_cast<RootView*>(window().content()); }

    // What the user sees of the settings: the window on screen, and the
    // model agreeing.
    void expectSettingsOpen(const std::string& what) {
        EXPECT_TRUE(model().isSettingsOpen()) << what;
        ASSERT_NE(settings(), nullptr) << what;
        EXPECT_TRUE(settings()->isVisible()) << what;
    }

    // Esc at the settings window closes them; the gear opens them again, the
    // menu's "Einstellungen …" brings them up while open, and the clock
    // window's context menu opens on a right click.
    void expectProgramStillAnswers(const std::string& what) {
        QTest::keyClick(settings()->windowHandle(), Qt::Key_Escape);
        ModelHarness::settle();
        EXPECT_FALSE(model().isSettingsOpen()) << what << ": Esc left the settings open";
        EXPECT_FALSE(settings()->isVisible()) << what;

        IconButton* gear = root()->settingsButton();
        QTest::mouseClick(gear, Qt::LeftButton, {}, gear->rect().center());
        ModelHarness::settle();
        EXPECT_TRUE(model().isSettingsOpen()) << what << ": the gear did not open the settings";
        EXPECT_TRUE(settings()->isVisible()) << what;

        QAction* openSettings = nullptr;
        for (QAction* a : window().actions())
            if (a->text() == QStringLiteral("Einstellungen …")) openSettings = a;
        ASSERT_NE(openSettings, nullptr);
        settings()->showMinimized();
        openSettings->trigger();
        ModelHarness::settle();
        EXPECT_TRUE(settings()->isVisible() && !settings()->isMinimized()) << what;

        QTest::mouseClick(window().windowHandle(), Qt::RightButton, {},
                          QPoint(window().width() / 2, window().height() / 2));
        ModelHarness::settle();
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr) << what << ": no context menu on the clock window";
        EXPECT_TRUE(menu->isVisible());
        menu->close();
        ModelHarness::settle();
    }
};

AppSettings twoClocks() {
    return withClocks({clockIn("Asia/Tokyo", "Tokio"), clockIn("Europe/London")});
}

// The ways a colour dialog is closed. It has no buttons (each colour applies
// as it is picked), so what Cancel does elsewhere is its reject.
using CloseColourDialog = std::function<void(QColorDialog* dialog, QWidget* settings, QWidget* panel)>;
struct ColourWay {
    const char* what;
    CloseColourDialog close;
};

const ColourWay kEscInDialog{"Esc pressed in the dialog",
                             [](QColorDialog* d, QWidget*, QWidget*) { QTest::keyClick(d, Qt::Key_Escape); }};
// On X11 a key goes to the window that last had the focus, which need not be
// the dialog in front.
const ColourWay kEscAtSettings{"Esc reaching the settings window",
                               [](QColorDialog*, QWidget* settings, QWidget*) {
                                   QTest::keyClick(settings->windowHandle(), Qt::Key_Escape);
                               }};

const ColourWay kColourWays[] = {
    {"rejected", [](QColorDialog* d, QWidget*, QWidget*) { d->reject(); }},
    kEscInDialog,
    {"Esc delivered to the dialog's window",
     [](QColorDialog* d, QWidget*, QWidget*) { QTest::keyClick(d->windowHandle(), Qt::Key_Escape); }},
    {"closed by the window manager", [](QColorDialog* d, QWidget*, QWidget*) { d->windowHandle()->close(); }},
    {"destroyed", [](QColorDialog* d, QWidget*, QWidget*) { delete d; }},
    kEscAtSettings,
    {"Esc reaching the panel while it holds still for the dialog",
     [](QColorDialog*, QWidget*, QWidget* panel) {
         ASSERT_TRUE(qobject_cast<PopupPanel*>(panel)->isHeld());
         QTest::keyClick(panel->windowHandle(), Qt::Key_Escape);
     }},
};

}  // namespace

TEST(PageDialogs, TheDesignPanelsColourDialogClosesAloneHoweverItIsClosed) {
    for (const ColourWay& c : kColourWays) {
        SCOPED_TRACE(c.what);
        Program p;
        AppModel& m = p.run(twoClocks(), SettingsCategory::display);
        auto* display = qobject_cast<DisplaySettings*>(p.page());
        ASSERT_NE(display, nullptr);
        ClockDesignButton* button = display->clocksCard()->row(1)->designButton();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        ModelHarness::settle();
        ClockDesignPanel* panel = button->panel();
        ASSERT_TRUE(panel->isVisible());
        const QString id = button->clockID();

        QTest::mouseClick(panel->colorButton(), Qt::LeftButton, {}, panel->colorButton()->rect().center());
        ModelHarness::settle();
        QPointer<QColorDialog> dialog = panel->colorButton()->dialog();
        ASSERT_TRUE(dialog && dialog->isVisible());

        c.close(dialog, p.settings(), panel);
        ModelHarness::settle();
        EXPECT_TRUE(!dialog || !dialog->isVisible()) << "the dialog is still open";
        EXPECT_TRUE(panel->isVisible()) << "the panel went with the dialog";
        EXPECT_EQ(panel->windowType(), Qt::Popup);
        EXPECT_EQ(m.highlightedClockID(), id) << "the clock is no longer marked";
        p.expectSettingsOpen(c.what);

        // Esc now closes the panel, and only the panel.
        QTest::keyClick(panel->windowHandle(), Qt::Key_Escape);
        ModelHarness::settle();
        EXPECT_FALSE(panel->isVisible());
        EXPECT_FALSE(m.highlightedClockID());
        p.expectSettingsOpen(c.what);

        p.expectProgramStillAnswers(c.what);
    }
}

TEST(PageDialogs, TheDesignPagesColourDialogClosesAloneOnEsc) {
    for (const ColourWay& c : {kEscInDialog, kEscAtSettings}) {
        SCOPED_TRACE(c.what);
        Program p;
        p.run(twoClocks(), SettingsCategory::design);
        auto* picker = p.page()->findChild<ColorButton*>();
        ASSERT_NE(picker, nullptr);
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->rect().center());
        ModelHarness::settle();
        QColorDialog* dialog = picker->dialog();
        ASSERT_TRUE(dialog && dialog->isVisible());

        c.close(dialog, p.settings(), nullptr);
        ModelHarness::settle();
        EXPECT_FALSE(dialog->isVisible());
        p.expectSettingsOpen(c.what);
        p.expectProgramStillAnswers(c.what);
    }
}

namespace {

// Runs `act` on the file dialog once it is up, from inside its modal loop;
// a dialog still open after `act` is rejected, so a failing case cannot
// hang the test.
void whileFileDialogOpen(std::function<void(QFileDialog*)> act, bool& seen) {
    seen = false;
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act, &seen] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        seen = true;
        act(dialog);
        ModelHarness::settle();
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the file dialog stayed open";
            dialog->reject();
        }
    });
    poll->start();
}

}  // namespace

TEST(PageDialogs, TheSoundEditorsFileDialogClosesAlone) {
    const struct {
        const char* what;
        std::function<void(QFileDialog*, QWidget* settings)> close;
    } cases[] = {
        {"Esc pressed in the dialog", [](QFileDialog* d, QWidget*) { QTest::keyClick(d, Qt::Key_Escape); }},
        {"Esc reaching the settings window first",
         [](QFileDialog* d, QWidget* settings) {
             // The dialog is modal: the settings window below it takes no keys.
             QTest::keyClick(settings->windowHandle(), Qt::Key_Escape);
             ModelHarness::settle();
             EXPECT_TRUE(d->isVisible());
             QTest::keyClick(d, Qt::Key_Escape);
         }},
        {"its Cancel button",
         [](QFileDialog* d, QWidget*) {
             QPushButton* cancel = d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
             ASSERT_NE(cancel, nullptr);
             QTest::mouseClick(cancel, Qt::LeftButton, {}, cancel->rect().center());
         }},
        {"closed by the window manager", [](QFileDialog* d, QWidget*) { d->windowHandle()->close(); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Program p;  // no file chooser given: the model asks through the real dialog
        AppSettings s = twoClocks();
        s.alarms[0].sound.source = SoundSource::customFile;
        AppModel& m = p.run(s, SettingsCategory::alarms);
        auto* alarms = qobject_cast<AlarmsPage*>(p.page());
        ASSERT_NE(alarms, nullptr);
        ThemedButton* browse = alarms->card(0)->soundEditor()->browseButton();
        ASSERT_TRUE(browse->isVisible());

        bool seen = false;
        QWidget* settings = p.settings();
        whileFileDialogOpen([&](QFileDialog* d) { c.close(d, settings); }, seen);
        QTest::mouseClick(browse, Qt::LeftButton, {}, browse->rect().center());
        ModelHarness::settle();
        ASSERT_TRUE(seen) << "no file dialog came up";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "a modal dialog is left over";
        EXPECT_FALSE(m.settings().alarms[0].sound.customFilePath) << "a cancelled dialog chose a file";
        p.expectSettingsOpen(c.what);
        p.expectProgramStillAnswers(c.what);
    }
}

// The other way round: the settings going away take their dialogs and the
// panel with them, so nothing of a page stays on screen while the model has
// the settings closed, and they open again as they should.
TEST(PageDialogs, ClosingTheSettingsClosesTheirDialogsAndPanels) {
    for (const bool inPanel : {false, true}) {
        SCOPED_TRACE(inPanel ? "the design panel's colour dialog" : "the design page's colour dialog");
        Program p;
        AppModel& m = p.run(twoClocks(), inPanel ? SettingsCategory::display : SettingsCategory::design);
        ClockDesignButton* button = nullptr;
        ColorButton* picker = nullptr;
        if (inPanel) {
            button = qobject_cast<DisplaySettings*>(p.page())->clocksCard()->row(0)->designButton();
            button->openPanel();
            ModelHarness::settle();
            picker = button->panel()->colorButton();
        } else {
            picker = p.page()->findChild<ColorButton*>();
        }
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->rect().center());
        ModelHarness::settle();
        QPointer<QColorDialog> dialog = picker->dialog();
        ASSERT_TRUE(dialog && dialog->isVisible());

        p.settings()->windowHandle()->close();  // the window's close button
        ModelHarness::settle();
        EXPECT_FALSE(m.isSettingsOpen());
        EXPECT_FALSE(p.settings()->isVisible());
        EXPECT_TRUE(!dialog || !dialog->isVisible()) << "the colour dialog outlived the settings";
        if (inPanel) {
            EXPECT_FALSE(button->panel()->isVisible()) << "the panel outlived the settings";
            EXPECT_FALSE(m.highlightedClockID());
        }

        m.openSettings();
        ModelHarness::settle();
        p.expectSettingsOpen("opened again");
        if (inPanel) {
            button->openPanel();
            ModelHarness::settle();
            EXPECT_TRUE(button->panel()->isVisible());
            EXPECT_EQ(button->panel()->windowType(), Qt::Popup);
            EXPECT_EQ(m.highlightedClockID(), button->clockID());
            button->panel()->close();
        }
    }
}

// Minimised, the settings are still open; closed from the task bar while
// minimised, they are closed, and the gear brings them back.
TEST(PageDialogs, SettingsClosedWhileMinimisedAreClosed) {
    Program p;
    AppModel& m = p.run(twoClocks(), SettingsCategory::general);
    p.settings()->showMinimized();
    ModelHarness::settle();
    EXPECT_TRUE(m.isSettingsOpen());
    p.settings()->windowHandle()->close();
    ModelHarness::settle();
    EXPECT_FALSE(m.isSettingsOpen());
    EXPECT_FALSE(p.settings()->isVisible());
    IconButton* gear = p.root()->settingsButton();
    QTest::mouseClick(gear, Qt::LeftButton, {}, gear->rect().center());
    ModelHarness::settle();
    p.expectSettingsOpen("after the gear");
    EXPECT_FALSE(p.settings()->isMinimized());
}

// A tool tip over the settings is no dialog: Esc still closes the settings.
TEST(PageDialogs, EscClosesTheSettingsWhileATooltipShows) {
    Program p;
    AppModel& m = p.run(twoClocks(), SettingsCategory::display);
    ClockDesignButton* button = qobject_cast<DisplaySettings*>(p.page())->clocksCard()->row(0)->designButton();
    QToolTip::showText(button->mapToGlobal(button->rect().center()), button->toolTip(), button);
    ModelHarness::settle();
    ASSERT_TRUE(QToolTip::isVisible());
    QTest::keyClick(p.settings()->windowHandle(), Qt::Key_Escape);
    ModelHarness::settle();
    EXPECT_FALSE(m.isSettingsOpen());
    EXPECT_FALSE(p.settings()->isVisible());
    QToolTip::hideText();
}
