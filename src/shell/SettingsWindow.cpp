#include "shell/SettingsWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QVBoxLayout>
#include <utility>

#include "appmodel/AppModel.h"
#include "model/SettingsService.h"
#include "platform/AtomicFile.h"
#include "platform/IniFile.h"
#include "platform/Text.h"
#include "shell/ViewFactories.h"
#include "shell/components/OwnWindows.h"
#include "shell/components/TextLines.h"

namespace corvane {

namespace {
// The frame file's one key.
QString geometryKey() {
    return SettingsService::windowStateLayout().keys.front();
}
}  // namespace

SettingsWindow::SettingsWindow(AppModel& model, QString stateFile)
    : QWidget(nullptr, Qt::Window), model_(model), stateFile_(std::move(stateFile)) {
    setWindowTitle(tr("Einstellungen – Corvane"));
    setMinimumSize(kMinWidth, kMinHeight);
    resize(kWidth, kHeight);
    auto* layout = new QVBoxLayout(this);
    if (const ViewFactory& makeRoot = viewFactories().settingsRoot) {
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(makeRoot(model_, this));
        return;
    }
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addWidget(new SectionTitle(tr("Einstellungen")));
    layout->addStretch(1);
}

SettingsWindow::~SettingsWindow() = default;

bool SettingsWindow::restoreFrame() {
    const QString hex =
        readIniGroup(stateFile_, SettingsService::windowStateLayout().group).value(geometryKey());
    const auto geometry = QByteArray::fromHex(hex.toLatin1());
    return !geometry.isEmpty() && restoreGeometry(geometry);
}

std::optional<QString> SettingsWindow::saveFrame() const {
    // Hex keeps the value a plain INI word. A frame that cannot be stored
    // costs only the window's place next time; the old one stays whole. A
    // folder that cannot be made fails the write, which says why.
    QDir().mkpath(QFileInfo(stateFile_).absolutePath());
    const WriteOutcome written = writeIniGroup(stateFile_, SettingsService::windowStateLayout(),
                                               {{geometryKey(), QString::fromLatin1(saveGeometry().toHex())}});
    if (written.ok()) return std::nullopt;
    return tr("Größe und Position des Einstellungsfensters konnten nicht gespeichert werden: ") +
           describeFileError(written.error);
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        // With a dialog or panel of a page open, Esc that lands here (the
        // window that last had the focus) is the user's answer to that
        // dialog, not a wish to leave the settings.
        if (passKeyToOwnWindow(this, event)) return;
        // Esc closes the settings, not the clock window.
        if (model_.isSettingsOpen()) {
            model_.setSettingsOpen(false);
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    closing_ = true;
    saveFrame();
}

void SettingsWindow::showEvent(QShowEvent* event) {
    closing_ = false;
    QWidget::showEvent(event);
}

void SettingsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Minimised, the settings are still open; closed from the dock or task
    // bar while minimised, they are not.
    const bool closing = std::exchange(closing_, false);
    if (isMinimized() && !closing) return;
    // Nothing of a page stays behind on screen (a colour dialog still
    // editing, a panel with its clock marked, a file dialog's modal loop)
    // once the settings are gone.
    closeOwnWindows(this);
    // However the window went away, the clock stops highlighting the clock
    // whose design was being edited, and the model knows it is closed.
    model_.setHighlightedClockID(std::nullopt);
    if (model_.isSettingsOpen()) model_.setSettingsOpen(false);
}

}  // namespace corvane
