#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace corvane {

// The program's menu. Linux desktops have no global menu bar everywhere, so
// the same actions are shown as the windows' context menu and their
// shortcuts are attached to both windows.
class MainMenu : public QObject {
    Q_OBJECT
public:
    explicit MainMenu(QObject* parent = nullptr);
    ~MainMenu() override;

    // The whole menu: "Corvane", "Bearbeiten", "Fenster".
    QMenu* menu() const { return menu_; }
    // Makes every shortcut work while `window` is active.
    void attachTo(QWidget* window);
    // Every action in menu order (separators left out).
    QList<QAction*> actions() const;

Q_SIGNALS:
    void aboutRequested();
    void toggleSettingsRequested();
    void hideRequested();
    void quitRequested();
    void minimizeRequested();
    void toggleFullScreenRequested();
    void showClockRequested();

private:
    QMenu* menu_;
};

// Sends an edit command to the text field that has the keyboard focus, if
// any; the edit menu works on whatever field the user is typing in.
enum class EditCommand { Undo, Redo, Cut, Copy, Paste, SelectAll };
bool sendEditCommand(EditCommand command);

}  // namespace corvane
