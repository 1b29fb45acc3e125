#include "shell/MainMenu.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

#include "platform/Text.h"

namespace corvane {

namespace {

QAction* addItem(QMenu* menu, const char* title, const QKeySequence& key) {
    QAction* a = menu->addAction(tr(title));
    a->setShortcut(key);
    // Shortcuts are attached to each window separately; the window's own
    // context keeps a text field's standard keys working inside it.
    a->setShortcutContext(Qt::WindowShortcut);
    return a;
}

template <typename Edit>
bool applyTo(Edit* e, EditCommand c) {
    switch (c) {
        case EditCommand::Undo: e->undo(); break;
        case EditCommand::Redo: e->redo(); break;
        case EditCommand::Cut: e->cut(); break;
        case EditCommand::Copy: e->copy(); break;
        case EditCommand::Paste: e->paste(); break;
        case EditCommand::SelectAll: e->selectAll(); break;
    }
    return true;
}

}  // namespace

bool sendEditCommand(EditCommand command) {
    QWidget* w = QApplication::focusWidget();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return applyTo(e, command);
    if (auto* e = qobject_cast<QTextEdit*>(w)) return applyTo(e, command);
    if (auto* e = qobject_cast<QPlainTextEdit*>(w)) return applyTo(e, command);
    return false;
}

MainMenu::MainMenu(QObject* parent) : QObject(parent), menu_(new QMenu) {
    QMenu* app = menu_->addMenu(QStringLiteral("Corvane"));
    connect(addItem(app, "Über Corvane", {}), &QAction::triggered, this, &MainMenu::aboutRequested);
    app->addSeparator();
    connect(addItem(app, "Einstellungen …", QKeySequence(Qt::CTRL | Qt::Key_Comma)), &QAction::triggered, this,
            &MainMenu::toggleSettingsRequested);
    app->addSeparator();
    connect(addItem(app, "Corvane ausblenden", QKeySequence(Qt::CTRL | Qt::Key_H)), &QAction::triggered, this,
            &MainMenu::hideRequested);
    app->addSeparator();
    connect(addItem(app, "Corvane beenden", QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered, this,
            &MainMenu::quitRequested);

    QMenu* edit = menu_->addMenu(tr("Bearbeiten"));
    const struct {
        const char* title;
        QKeySequence key;
        EditCommand command;
    } edits[] = {
        {"Widerrufen", QKeySequence(Qt::CTRL | Qt::Key_Z), EditCommand::Undo},
        {"Wiederholen", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), EditCommand::Redo},
        {nullptr, {}, EditCommand::Undo},
        {"Ausschneiden", QKeySequence(Qt::CTRL | Qt::Key_X), EditCommand::Cut},
        {"Kopieren", QKeySequence(Qt::CTRL | Qt::Key_C), EditCommand::Copy},
        {"Einsetzen", QKeySequence(Qt::CTRL | Qt::Key_V), EditCommand::Paste},
        {"Alles auswählen", QKeySequence(Qt::CTRL | Qt::Key_A), EditCommand::SelectAll},
    };
    for (const auto& e : edits) {
        if (!e.title) {
            edit->addSeparator();
            continue;
        }
        const EditCommand command = e.command;
        connect(addItem(edit, e.title, e.key), &QAction::triggered, this, [command] { sendEditCommand(command); });
    }

    QMenu* window = menu_->addMenu(tr("Fenster"));
    connect(addItem(window, "Im Dock ablegen", QKeySequence(Qt::CTRL | Qt::Key_M)), &QAction::triggered, this,
            &MainMenu::minimizeRequested);
    connect(addItem(window, "Vollbild ein/aus", QKeySequence(Qt::Key_F11)), &QAction::triggered, this,
            &MainMenu::toggleFullScreenRequested);
    window->addSeparator();
    connect(addItem(window, "Uhr anzeigen", QKeySequence(Qt::CTRL | Qt::Key_0)), &QAction::triggered, this,
            &MainMenu::showClockRequested);
}

MainMenu::~MainMenu() { delete menu_; }

QList<QAction*> MainMenu::actions() const {
    QList<QAction*> out;
    for (QAction* top : menu_->actions()) {
        if (!top->menu()) continue;
        for (QAction* a : top->menu()->actions())
            if (!a->isSeparator()) out.append(a);
    }
    return out;
}

void MainMenu::attachTo(QWidget* window) { window->addActions(actions()); }

}  // namespace corvane
