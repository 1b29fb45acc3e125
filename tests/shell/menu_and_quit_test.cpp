#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>

#include "shell/MainMenu.h"
#include "shell/QuitGuard.h"

using namespace corvane;

TEST(MainMenu, TitlesAndShortcutsInOrder) {
    MainMenu menu;
    const QList<QAction*> actions = menu.actions();
    const std::pair<const char*, const char*> expected[] = {
        {"Über Corvane", ""},          {"Einstellungen …", "Ctrl+,"}, {"Corvane ausblenden", "Ctrl+H"},
        {"Corvane beenden", "Ctrl+Q"}, {"Widerrufen", "Ctrl+Z"},      {"Wiederholen", "Ctrl+Shift+Z"},
        {"Ausschneiden", "Ctrl+X"},    {"Kopieren", "Ctrl+C"},        {"Einsetzen", "Ctrl+V"},
        {"Alles auswählen", "Ctrl+A"}, {"Im Dock ablegen", "Ctrl+M"}, {"Vollbild ein/aus", "F11"},
        {"Uhr anzeigen", "Ctrl+0"},
    };
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(expected[i].first));
        EXPECT_EQ(actions[i]->shortcut().toString(), QString::fromLatin1(expected[i].second)) << expected[i].first;
    }
    QStringList tops;
    for (QAction* a : menu.menu()->actions()) tops << a->text();
    EXPECT_EQ(tops, (QStringList{QStringLiteral("Corvane"), QStringLiteral("Bearbeiten"), QStringLiteral("Fenster")}));
}

TEST(MainMenu, ActionsReachTheirSignalsAndEditItemsTheFocusedField) {
    MainMenu menu;
    QSignalSpy quit(&menu, &MainMenu::quitRequested);
    QSignalSpy show(&menu, &MainMenu::showClockRequested);
    const QList<QAction*> actions = menu.actions();
    actions[3]->trigger();
    actions[12]->trigger();
    EXPECT_EQ(quit.count(), 1);
    EXPECT_EQ(show.count(), 1);

    QWidget window;
    auto* field = new QLineEdit(QStringLiteral("Berlin"), &window);
    window.show();
    window.activateWindow();
    field->setFocus();
    QApplication::processEvents();
    if (QApplication::focusWidget() != field) GTEST_SKIP() << "no keyboard focus on this platform";
    field->deselect();
    actions[9]->trigger();  // Alles auswählen
    EXPECT_EQ(field->selectedText(), QStringLiteral("Berlin"));
    window.hide();
    QApplication::processEvents();
    field->clearFocus();
    EXPECT_FALSE(sendEditCommand(EditCommand::Paste));  // no field, nothing to do
}

TEST(QuitGuard, InformativeTextListsEveryLineWithABullet) {
    const QString text = quitGuardInformativeText({QStringLiteral("Wecker 1: 07:00"), QStringLiteral("Countdown 1")});
    EXPECT_EQ(text, QStringLiteral("Wenn Sie die App beenden, werden Sie nicht geweckt:\n\n"
                                   "• Wecker 1: 07:00\n• Countdown 1\n\n"
                                   "Tipp: Legen Sie die Uhr stattdessen ins Dock ab – dann klingeln Wecker und "
                                   "Timer weiterhin."));
}

TEST(QuitGuard, NothingArmedQuitsWithoutAsking) {
    bool asked = false;
    const QuitPrompt prompt = [&](const QStringList&) {
        asked = true;
        return QuitChoice::Cancel;
    };
    EXPECT_EQ(confirmQuit({}, prompt), QuitChoice::QuitAnyway);
    EXPECT_FALSE(asked);
    EXPECT_EQ(confirmQuit({QStringLiteral("Wecker")}, prompt), QuitChoice::Cancel);
    EXPECT_TRUE(asked);
}

namespace {
// Runs `act` on the message box once it is shown.
void whenAlertShows(const std::function<void(QMessageBox*)>& act) {
    QTimer::singleShot(50, [act] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) return act(box);
    });
}
}  // namespace

TEST(QuitGuard, AlertButtonsStandInOrderAndReturnChoosesTheDock) {
    QStringList titles;
    QString message;
    whenAlertShows([&](QMessageBox* box) {
        message = box->text();
        QList<QPushButton*> buttons;
        for (QAbstractButton* b : box->buttons())
            if (auto* p = qobject_cast<QPushButton*>(b)) buttons << p;
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        for (auto* b : buttons) titles << b->text();
        box->defaultButton()->click();  // what Return does
    });
    EXPECT_EQ(askBeforeQuit(nullptr, {QStringLiteral("Wecker 1")}), QuitChoice::MinimizeToDock);
    EXPECT_EQ(message, QStringLiteral("Achtung, es laufen noch Wecker!"));
    EXPECT_EQ(titles, quitGuardButtonTitles());
}

TEST(QuitGuard, EachButtonAndEscapeMapToTheirChoice) {
    for (int index : {1, 2, -1}) {
        whenAlertShows([index](QMessageBox* box) {
            if (index < 0) {
                box->reject();  // Esc or closing the alert
                return;
            }
            const QString title = quitGuardButtonTitles()[index];
            for (QAbstractButton* b : box->buttons())
                if (b->text() == title) b->click();
        });
        const QuitChoice choice = askBeforeQuit(nullptr, {QStringLiteral("Wecker 1")});
        EXPECT_EQ(choice, index == 1 ? QuitChoice::QuitAnyway : QuitChoice::Cancel) << index;
    }
}
