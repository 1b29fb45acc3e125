#include "shell/QuitGuard.h"

#include <QMessageBox>
#include <QPushButton>

#include "platform/Text.h"

namespace corvane {

QString quitGuardInformativeText(const QStringList& lines) {
    QString text = tr("Wenn Sie die App beenden, werden Sie nicht geweckt:");
    text += QStringLiteral("\n\n");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0) text += u'\n';
        text += QStringLiteral("• ") + lines[i];
    }
    text += QStringLiteral("\n\n");
    text += tr("Tipp: Legen Sie die Uhr stattdessen ins Dock ab – dann klingeln Wecker und Timer weiterhin.");
    return text;
}

QStringList quitGuardButtonTitles() {
    return {tr("Ins Dock ablegen"), tr("Trotzdem beenden"), tr("Abbrechen")};
}

QuitChoice askBeforeQuit(QWidget* parent, const QStringList& summaryLines) {
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(QStringLiteral("Corvane"));
    box.setTextFormat(Qt::PlainText);
    box.setText(tr(kQuitGuardMessage));
    box.setInformativeText(quitGuardInformativeText(summaryLines));
    const QStringList titles = quitGuardButtonTitles();
    // Roles would let the style reorder the buttons; ActionRole keeps ours.
    QPushButton* dock = box.addButton(titles[0], QMessageBox::ActionRole);
    QPushButton* quit = box.addButton(titles[1], QMessageBox::ActionRole);
    QPushButton* cancel = box.addButton(titles[2], QMessageBox::ActionRole);
    box.setDefaultButton(dock);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == dock) return QuitChoice::MinimizeToDock;
    if (box.clickedButton() == quit) return QuitChoice::QuitAnyway;
    return QuitChoice::Cancel;
}

QuitChoice confirmQuit(const QStringList& summaryLines, const QuitPrompt& prompt) {
    if (summaryLines.isEmpty()) return QuitChoice::QuitAnyway;
    return prompt(summaryLines);
}

}  // namespace corvane
