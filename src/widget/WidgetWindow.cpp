#include "widget/WidgetWindow.h"

#include "model/ThemePalette.h"
#include "platform/Text.h"
#include "widget/DesktopHints.h"
#include "widget/TickoraWidgetView.h"
#include "widget/TimelineRunner.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QPalette>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace corvane {

namespace {

// Saving waits until the window has stopped moving.
constexpr int kSaveDelayMSecs = 400;
// Space kept to the screen's edge when the widget places itself.
constexpr int kScreenMargin = 24;

}  // namespace

WidgetWindow::WidgetWindow(TimelineRunner& runner, const TimeZoneProvider& zones, const HostSettings& settings,
                           QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint |
                          Qt::WindowDoesNotAcceptFocus),
      runner_(runner),
      zones_(zones),
      settings_(settings),
      state_(settings.load()) {
    setWindowTitle(QStringLiteral("Corvane-Widget"));
    setAccessibleName(QStringLiteral("Corvane-Widget"));
    // Every pixel is painted each time; nothing needs clearing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFixedSize(familySize(state_.family));

    saveDelay_ = new QTimer(this);
    saveDelay_->setSingleShot(true);
    saveDelay_->setInterval(kSaveDelayMSecs);
    connect(saveDelay_, &QTimer::timeout, this, &WidgetWindow::saveState);

    buildMenu();
    placeInitially();
    connect(&runner_, &TimelineRunner::entryChanged, this, qOverload<>(&QWidget::update));

    // The window-manager requests must be on the window before it is mapped.
    winId();
    applyDesktopWidgetHints(windowHandle());
}

void WidgetWindow::buildMenu() {
    menu_ = new QMenu(this);
    familyGroup_ = new QActionGroup(this);
    familyGroup_->setExclusive(true);
    for (WidgetFamily family : kAllWidgetFamilies) {
        QAction* action = menu_->addAction(familyTitle(family));
        action->setCheckable(true);
        action->setData(int(family));
        familyGroup_->addAction(action);
        connect(action, &QAction::triggered, this, [this, family] { setFamily(family); });
    }
    menu_->addSeparator();
    autostartAction_ = menu_->addAction(tr("Beim Anmelden starten"));
    autostartAction_->setCheckable(true);
    connect(autostartAction_, &QAction::triggered, this, [this](bool on) { setAutostart(on); });
    menu_->addSeparator();
    QAction* close = menu_->addAction(tr("Schließen"));
    connect(close, &QAction::triggered, qApp, &QCoreApplication::quit);
    syncMenu();
}

void WidgetWindow::syncMenu() {
    for (QAction* action : familyGroup_->actions()) action->setChecked(action->data().toInt() == int(state_.family));
    autostartAction_->setChecked(state_.autostart);
}

void WidgetWindow::placeInitially() {
    const QSize size = familySize(state_.family);
    if (state_.position) {
        // Only where it can be seen and grabbed again: a screen may have gone
        // since the position was stored.
        const QRect frame(*state_.position, size);
        for (QScreen* screen : QGuiApplication::screens()) {
            if (screen->availableGeometry().intersects(frame.adjusted(8, 8, -8, -8))) {
                move(*state_.position);
                return;
            }
        }
    }
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    move(area.right() + 1 - size.width() - kScreenMargin, area.top() + kScreenMargin);
}

void WidgetWindow::setFamily(WidgetFamily family) {
    if (family != state_.family) {
        state_.family = family;
        setFixedSize(familySize(family));
        keepOnScreen();
        update();
        saveState();
    }
    syncMenu();
}

void WidgetWindow::keepOnScreen() {
    // Growing from the corner it was placed in would push it off the edge.
    QScreen* screen = QGuiApplication::screenAt(geometry().center());
    if (!screen) screen = this->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QPoint at(std::clamp(x(), area.left(), std::max(area.left(), area.right() + 1 - width())),
                    std::clamp(y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    if (at != pos()) move(at);
}

bool WidgetWindow::setAutostart(bool on) {
    if (!settings_.setAutostart(on)) {
        syncMenu();
        // Not modal for the whole program: the clocks keep running meanwhile.
        auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Corvane-Widget"),
                                    on ? tr("Der Eintrag für den Start beim Anmelden konnte nicht angelegt werden.")
                                       : tr("Der Start beim Anmelden konnte nicht ausgeschaltet werden."),
                                    QMessageBox::Ok, this);
        box->setPalette(snapshotPalette());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
        return false;
    }
    state_.autostart = on;
    syncMenu();
    saveState();
    return true;
}

void WidgetWindow::saveState() {
    saveDelay_->stop();
    if (isVisible()) state_.position = pos();
    settings_.save(state_);
}

QImage WidgetWindow::render() const {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    paintWidget(painter, QRectF(rect()), state_.family, runner_.entry(), zones_);
    return image;
}

void WidgetWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintWidget(painter, QRectF(rect()), state_.family, runner_.entry(), zones_);
}

QPalette WidgetWindow::snapshotPalette() const {
    const auto& snapshot = runner_.entry().snapshot;
    return qtPalette(snapshot ? snapshot->theme : ThemeColors::defaultPalette());
}

void WidgetWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The desktop's session settings may have switched the entry since.
    state_.autostart = settings_.autostartEnabled();
    syncMenu();
    // In the widget's own light or dark colours, not the desktop's.
    const QPalette palette = snapshotPalette();
    if (!(menu_->palette() == palette)) menu_->setPalette(palette);
    menu_->popup(event->globalPos());
}

void WidgetWindow::mousePressEvent(QMouseEvent* event) {
    if (!drag_.press(*event, pos())) QWidget::mousePressEvent(event);
}

void WidgetWindow::mouseMoveEvent(QMouseEvent* event) {
    if (const auto at = drag_.follow(*event, windowHandle())) move(*at);
}

void WidgetWindow::mouseReleaseEvent(QMouseEvent* event) {
    drag_.release(*event);
    QWidget::mouseReleaseEvent(event);
}

void WidgetWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (isVisible()) saveDelay_->start();
}

}  // namespace corvane
