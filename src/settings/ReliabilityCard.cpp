#include "settings/ReliabilityCard.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "appmodel/AppModel.h"
#include "settings/RadioWakeEditor.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"

namespace corvane {

namespace {
const QColor kWarningColor(247, 167, 0);
}

ReliabilityCard::ReliabilityCard(AppModel& model, QWidget* parent) : Card(QMargins(14, 12, 14, 12), parent), model_(model) {
    auto* row = new QWidget(this);
    row->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(10);
    symbol_ = new SymbolView(QStringLiteral("checkmark.shield.fill"), 24, row);
    h->addWidget(symbol_, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setContentsMargins(0, 0, 0, 0);
    texts->setSpacing(4);
    line_ = new ThemedLabel(tr("Wecker und Timer klingeln in jeder Ansicht – auch bei Weltkarte, Einstellungen oder im "
                               "Dock."),
                            13, QFont::DemiBold, ThemedLabel::Tone::foreground, row);
    warningLine_ = new ThemedLabel(tr("Achtung: Der Computer ist stummgeschaltet oder auf 0 % Lautstärke – Wecker wären "
                                      "nicht zu hören!"),
                                   13, QFont::DemiBold, ThemedLabel::Tone::warning, row);
    for (ThemedLabel* l : {line_, warningLine_}) {
        l->setWordWrap(true);
        texts->addWidget(l);
    }
    caption_ = new Caption({}, row);
    texts->addWidget(caption_);
    h->addLayout(texts, 1);
    contentLayout()->addWidget(row);

    connect(&model_, &AppModel::systemAudioSilentChanged, this, &ReliabilityCard::refresh);
    refresh();
}

QString ReliabilityCard::headline() const { return model_.systemAudioSilent() ? warningLine_->text() : line_->text(); }
QString ReliabilityCard::caption() const { return caption_->text(); }
QString ReliabilityCard::symbol() const { return symbol_->symbol(); }

bool ReliabilityCard::event(QEvent* event) {
    if (event->type() == ThemeChangeEvent::eventType() || event->type() == QEvent::Show) refresh();
    return Card::event(event);
}

void ReliabilityCard::refresh() {
    const bool silent = model_.systemAudioSilent();
    symbol_->setSymbol(silent ? QStringLiteral("speaker.slash.fill") : QStringLiteral("checkmark.shield.fill"));
    // The warning keeps its amber on every palette; the shield takes the accent.
    symbol_->setColor(silent ? std::optional<QColor>(kWarningColor) : std::optional<QColor>(themeOf(this).accent.toQColor()));
    line_->setVisible(!silent);
    warningLine_->setVisible(silent);
    shownPower_ = model_.powerActivity();
    caption_->setText(shownPower_
                          ? tr("Solange ein Wecker aktiv ist oder ein Timer läuft, verhindert die App den automatischen "
                               "Ruhezustand (der Bildschirm darf ausgehen). Verpasste Wecker – z. B. bei zugeklapptem "
                               "Laptop – klingeln sofort nach dem Aufwachen mit Hinweis auf die Verspätung. Die App darf "
                               "nicht beendet werden; „–“ legt sie ins Dock.")
                          : tr("Bei aktivem Wecker verhindert die App den automatischen Ruhezustand. Zugeklappte Laptops "
                               "oder ein manuell gestarteter Ruhezustand können nicht geweckt werden – der Wecker "
                               "klingelt dann sofort nach dem Aufwachen."));
}

}  // namespace corvane
