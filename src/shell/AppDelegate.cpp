#include "shell/AppDelegate.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include "appmodel/AlarmSummary.h"
#include "platform/QuitLog.h"
#include "platform/Text.h"
#include "shell/ClockWindow.h"
#include "shell/MainMenu.h"
#include "shell/views/RootView.h"
#include "shell/SettingsWindow.h"
#include "shell/WindowFrames.h"
#include "shell/components/AppPalette.h"
#include "shell/components/Theme.h"

namespace corvane {

namespace {

QList<QRectF> screenFrames() {
    QList<QRectF> frames;
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary) frames << QRectF(primary->geometry());
    for (const QScreen* s : QGuiApplication::screens())
        if (s != primary) frames << QRectF(s->geometry());
    return frames;
}

std::optional<QRectF> firstScreenFrame() {
    if (const QScreen* s = QGuiApplication::primaryScreen()) return QRectF(s->geometry());
    return std::nullopt;
}

QRectF visibleAreaOf(const QWidget* w) {
    const QScreen* s = w && w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    return s ? QRectF(s->availableGeometry()) : fallbackVisibleArea();
}

}  // namespace

AppDelegate::AppDelegate(AppModelDeps deps, QObject* parent) : QObject(parent), deps_(std::move(deps)) {
    quitPrompt_ = [this](const QStringList& lines) {
        showClock();
        return askBeforeQuit(window_, lines);
    };
}

AppDelegate::~AppDelegate() {
    shutdown();
    // The settings window reads the model while it goes away.
    settingsWindow_.reset();
}

QWidget* AppDelegate::settingsWindow() const { return settingsWindow_.get(); }

void AppDelegate::setUp() {
    menu_ = std::make_unique<MainMenu>();
    model_ = std::make_unique<AppModel>(std::move(deps_));

    windowOwner_ = std::make_unique<ClockWindow>();
    window_ = windowOwner_.get();
    window_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { menu_->menu()->popup(window_->mapToGlobal(pos)); });
    menu_->attachTo(window_);
    themeProvider_ = new ThemeProvider(window_);
    ThemeProvider::attach(window_, themeProvider_);
    window_->setContent(new RootView(*model_));

    restoreWindowFrame();
    applyWindowAppearance();
    connectModel();
    connectWindow();

    window_->show();
    window_->raise();
    window_->activateWindow();
    model_->start();
}

void AppDelegate::connectModel() {
    AppModel* m = model_.get();
    connect(m, &AppModel::settingsOpenChanged, this, [this](bool open) {
        if (open)
            showSettingsWindow();
        else if (settingsWindow_)
            settingsWindow_->close();
    });
    connect(m, &AppModel::showSettingsRequested, this, &AppDelegate::showSettingsWindow);
    connect(m, &AppModel::displayModeChanged, this, [this](ClockDisplayMode mode) {
        if (mode == ClockDisplayMode::analog) fitSquareForSingleClock();
    });
    connect(m, &AppModel::alertRaised, this, &AppDelegate::showClock);
    connect(m, &AppModel::windowOptionsChanged, this, &AppDelegate::applyWindowAppearance);
    // Every view reads the palette through the provider; it announces only a
    // palette that differs. What Qt draws itself (dialogs, pop-up lists,
    // menus, tool tips) follows through the program's palette, renewed here
    // and nowhere else.
    connect(m, &AppModel::themeChanged, this, [this] {
        applyAppPalette(model_->theme());
        themeProvider_->setColors(model_->theme());
    });
    applyAppPalette(m->theme());
    themeProvider_->setColors(m->theme());

    connect(menu_.get(), &MainMenu::aboutRequested, this, [this] {
        QMessageBox::about(window_, tr("Über Corvane"),
                           QStringLiteral("Corvane %1").arg(QStringLiteral(CORVANE_VERSION)));
    });
    connect(menu_.get(), &MainMenu::toggleSettingsRequested, this, [this] { model_->openSettings(); });
    connect(menu_.get(), &MainMenu::hideRequested, this, [this] {
        window_->showMinimized();
        if (settingsWindow_ && settingsWindow_->isVisible()) settingsWindow_->showMinimized();
    });
    connect(menu_.get(), &MainMenu::quitRequested, this, &AppDelegate::requestQuit);
    connect(menu_.get(), &MainMenu::minimizeRequested, this, [this] {
        // The key window goes into the dock, whichever it is.
        QWidget* active = QApplication::activeWindow();
        if (settingsWindow_ && active == settingsWindow_.get())
            settingsWindow_->showMinimized();
        else
            minimizeToDock();
    });
    connect(menu_.get(), &MainMenu::toggleFullScreenRequested, this, &AppDelegate::toggleClockFullScreen);
    connect(menu_.get(), &MainMenu::showClockRequested, this, &AppDelegate::showClock);
}

void AppDelegate::connectWindow() {
    ClockWindow* w = window_;
    connect(w, &ClockWindow::closeRequested, this, &AppDelegate::minimizeToDock);
    connect(w, &ClockWindow::minimizeRequested, this, &AppDelegate::minimizeToDock);
    connect(w, &ClockWindow::fullScreenToggleRequested, this, &AppDelegate::toggleClockFullScreen);
    connect(w, &ClockWindow::moved, this, [this] {
        if (!adjustingFrame_) saveWindowFrame();
    });
    connect(w, &ClockWindow::resizeSettled, this, [this] {
        if (!adjustingFrame_) saveWindowFrame();
    });
    connect(w, &ClockWindow::fullScreenWillEnter, this, [this] {
        // The frame to keep: whatever way full screen is left, the window
        // system may report the full-screen geometry for a while after it.
        // Entered again before the windowed size arrived: the old frame stays.
        const QRect now = window_->geometry();
        const bool stale = windowedFrame_ && now == leftFullScreenGeometry_;
        if (!stale && !window_->isFullScreen() && !window_->isMinimized()) windowedFrame_ = now;
        fullScreenActive_ = true;
        window_->setFloating(false);
    });
    connect(w, &ClockWindow::fullScreenEntered, this, &AppDelegate::applyWindowAppearance);
    connect(w, &ClockWindow::fullScreenFailed, this, [this] {
        fullScreenActive_ = false;
        windowedFrame_.reset();
        applyWindowAppearance();
    });
    connect(w, &ClockWindow::fullScreenExited, this, [this] {
        fullScreenActive_ = false;
        // On X11 the state turns before the windowed size arrives, and when
        // the window is minimised next that size may arrive only while it is
        // minimised (and not stored): until a geometry other than the
        // full-screen one is seen, the frame from before full screen counts.
        leftFullScreenGeometry_ = window_->geometry();
        applyWindowAppearance();
        if (minimizeAfterFullScreen_) {
            minimizeAfterFullScreen_ = false;
            QTimer::singleShot(0, window_, [this] { window_->showMinimized(); });
        }
        saveWindowFrame();
    });
}

void AppDelegate::showClock() {
    if (!window_) return;
    if (window_->isMinimized()) window_->setWindowState(window_->windowState() & ~Qt::WindowMinimized);
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void AppDelegate::minimizeToDock() {
    if (!window_) return;
    if (window_->isFullScreen()) {
        minimizeAfterFullScreen_ = true;
        window_->toggleFullScreen();
        return;
    }
    window_->showMinimized();
}

void AppDelegate::toggleClockFullScreen() {
    showClock();
    window_->toggleFullScreen();
}

void AppDelegate::restoreWindowFrame() {
    if (!window_ || !model_) return;
    const AppSettings& s = model_->settings();
    const bool singleAnalog = s.displayMode == ClockDisplayMode::analog && s.clocks.size() == 1;
    const RestoredFrame r = restoreFrame({s.windowLeft, s.windowTop, s.windowWidth, s.windowHeight}, singleAnalog,
                                         screenFrames());
    adjustingFrame_ = true;
    if (r.centre) {
        if (r.size) window_->resize(toWindowRect(QRectF(QPointF(), *r.size)).size());
        const QRectF v = visibleAreaOf(window_);
        QRectF frame(QPointF(), QSizeF(window_->size()));
        frame.moveCenter(v.center());
        window_->move(toWindowRect(frame).topLeft());
    } else {
        window_->setGeometry(toWindowRect(r.frame));
    }
    adjustingFrame_ = false;
}

void AppDelegate::saveWindowFrame() {
    if (!window_ || !model_ || window_->isMinimized() || fullScreenActive_ || window_->isFullScreen()) return;
    QRect frame = window_->geometry();
    if (windowedFrame_) {
        if (frame == leftFullScreenGeometry_) {
            frame = *windowedFrame_;
        } else {
            windowedFrame_.reset();
            leftFullScreenGeometry_ = QRect();
        }
    }
    storeFrame(frame);
}

void AppDelegate::storeFrame(const QRect& frame) {
    const SavedFrame f = saveFrame(QRectF(frame), firstScreenFrame());
    // One change per value, as every other edit: each is followed by the
    // model's change handling, and the debounced save writes once.
    model_->editSettings([&](AppSettings& s) { s.windowLeft = f.left; });
    model_->editSettings([&](AppSettings& s) { s.windowTop = f.top; });
    model_->editSettings([&](AppSettings& s) { s.windowWidth = f.width; });
    model_->editSettings([&](AppSettings& s) { s.windowHeight = f.height; });
}

void AppDelegate::fitSquareForSingleClock() {
    if (!window_ || !model_ || window_->isFullScreen() || model_->settings().clocks.size() != 1) return;
    const QRectF square = squareFrame(QRectF(window_->geometry()));
    adjustingFrame_ = true;
    window_->setGeometry(toWindowRect(square));
    adjustingFrame_ = false;
    keepWindowOnScreen();
    // When the top-left corner stays put the window system reports no move,
    // so the square would otherwise never be stored.
    saveWindowFrame();
}

void AppDelegate::keepWindowOnScreen() {
    if (!window_) return;
    const QRectF frame = keepOnScreen(QRectF(window_->geometry()), visibleAreaOf(window_));
    adjustingFrame_ = true;
    window_->setGeometry(toWindowRect(frame));
    adjustingFrame_ = false;
}

void AppDelegate::applyWindowAppearance() {
    if (!window_ || !model_) return;
    const ThemeColors& theme = model_->theme();
    const bool floating = model_->settings().topmost && !window_->isFullScreen();
    window_->setFloating(floating);
    window_->setBackgroundColor(theme.background.toQColor());
    window_->setDark(theme.isDark);
    if (settingsWindow_) {
        if (QWindow* h = settingsWindow_->windowHandle()) h->setFlag(Qt::WindowStaysOnTopHint, floating);
    }
}

void AppDelegate::showSettingsWindow() {
    if (!model_) return;
    if (!settingsWindow_) {
        settingsWindow_ = std::make_unique<SettingsWindow>(
            *model_, model_->settingsService().windowStateFilePath());
        menu_->attachTo(settingsWindow_.get());
        ThemeProvider::attach(settingsWindow_.get(), themeProvider_);
        if (!settingsWindow_->restoreFrame()) placeSettingsWindow();
        applyWindowAppearance();
    }
    if (settingsWindow_->isMinimized())
        settingsWindow_->setWindowState(settingsWindow_->windowState() & ~Qt::WindowMinimized);
    settingsWindow_->show();
    settingsWindow_->raise();
    settingsWindow_->activateWindow();
}

void AppDelegate::placeSettingsWindow() {
    const QRectF frame = corvane::placeSettingsWindow(QRectF(window_->geometry()), visibleAreaOf(window_));
    settingsWindow_->setGeometry(toWindowRect(frame));
}

void AppDelegate::requestQuit() {
    const QStringList lines = model_ ? alarmSummary(*model_) : QStringList();
    switch (confirmQuit(lines, quitPrompt_)) {
        case QuitChoice::MinimizeToDock:
            minimizeToDock();
            return;
        case QuitChoice::QuitAnyway:
            // Not quit(): in Qt 6 that asks every window to close first, and
            // the clock window refuses (it goes into the dock instead).
            QCoreApplication::exit(0);
            return;
        case QuitChoice::Cancel:
            return;
    }
}

void AppDelegate::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (settingsWindow_) {
        if (const auto failure = settingsWindow_->saveFrame()) logFailureAtQuit(*failure);
    }
    if (model_) model_->shutdown();
}

}  // namespace corvane
