#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <memory>
#include <optional>

#include "appmodel/AppModel.h"
#include "shell/QuitGuard.h"

class QWidget;

namespace corvane {

class ClockWindow;
class MainMenu;
class SettingsWindow;
class ThemeProvider;

// Owns the model and the two windows and turns the model's announcements
// into window operations: where the clock window stands, whether it floats,
// when the settings window opens, and how the program ends.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    // `deps` is handed to the model; tests pass fakes.
    explicit AppDelegate(AppModelDeps deps, QObject* parent = nullptr);
    ~AppDelegate() override;

    // Builds the menu, the model and the clock window, restores the frame
    // and starts the model. Call once.
    void setUp();

    AppModel* model() const { return model_.get(); }
    ClockWindow* window() const { return window_; }
    QWidget* settingsWindow() const;

    void showClock();
    void minimizeToDock();
    void toggleClockFullScreen();
    void showSettingsWindow();

    void restoreWindowFrame();
    void saveWindowFrame();
    void fitSquareForSingleClock();
    void keepWindowOnScreen();
    void applyWindowAppearance();

    // "Corvane beenden": asks first when alarms or countdowns are armed.
    void requestQuit();
    // The ordered end for every way out (menu, signal, session): runs once.
    void shutdown();

    // How the quit question is asked; tests replace it.
    void setQuitPrompt(QuitPrompt prompt) { quitPrompt_ = std::move(prompt); }

private:
    void connectModel();
    void connectWindow();
    void placeSettingsWindow();
    void storeFrame(const QRect& frame);

    AppModelDeps deps_;
    std::unique_ptr<AppModel> model_;
    std::unique_ptr<MainMenu> menu_;
    std::unique_ptr<ClockWindow> windowOwner_;
    ClockWindow* window_ = nullptr;
    std::unique_ptr<SettingsWindow> settingsWindow_;
    ThemeProvider* themeProvider_ = nullptr;
    QuitPrompt quitPrompt_;
    bool adjustingFrame_ = false;
    bool minimizeAfterFullScreen_ = false;
    bool fullScreenActive_ = false;
    // The frame from before full screen, kept until the window shows a
    // geometry other than `leftFullScreenGeometry_` (the one it had when
    // full screen ended).
    std::optional<QRect> windowedFrame_;
    QRect leftFullScreenGeometry_;
    bool shutDown_ = false;
};

}  // namespace corvane
