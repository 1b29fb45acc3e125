#include "settings/GeneralPage.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTextEdit>

#include "appmodel/AppModel.h"
#include "platform/FileManager.h"
#include "platform/Text.h"
#include "settings/Pages.h"
#include "settings/TwoColumns.h"
#include "settings/kit/Bindings.h"
#include "settings/kit/Padded.h"
#include "settings/kit/WrappingCheckBox.h"
#include "shell/components/Card.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"

namespace corvane {

namespace {

// The settings file's path: small, selectable, in a thin rounded frame. A
// path has no blanks to wrap at, so it wraps anywhere rather than widen
// its column.
class PathBox : public QTextEdit {
public:
    explicit PathBox(const QString& path) {
        setReadOnly(true);
        setFrameShape(QFrame::NoFrame);
        setPlainText(path);
        setFont(uiFont(11));
        setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        document()->setDocumentMargin(0);
        viewport()->setAutoFillBackground(false);
        setAutoFillBackground(false);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setAccessibleName(path);
        // Selectable with the pointer, but no Tab stop: there is nothing to
        // edit, and a caret in read-only text would be the only sign of focus.
        setFocusPolicy(Qt::ClickFocus);
        fitHeight();
    }
    QString text() const { return toPlainText(); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QTextEdit::resizeEvent(event);
        fitHeight();
    }

private:
    void fitHeight() {
        document()->setTextWidth(std::max(10, width()));
        const int h = int(std::ceil(document()->size().height()));
        if (h != height()) setFixedHeight(h);
    }
};

// The thin rounded frame around the path, 6 away from it.
class PathFrame : public QWidget {
public:
    explicit PathFrame(QWidget* content) {
        auto* box = new QVBoxLayout(this);
        box->setContentsMargins(6, 6, 6, 6);
        box->addWidget(content);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(themeOf(this).secondaryForeground.toQColor(0.4), 1.0));
        p.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    }
};

QCheckBox* toggle(AppModel& model, const char* text, bool AppSettings::*field) {
    auto* box = new WrappingCheckBox(tr(text));
    bindToggle(
        box, model, [field](const AppSettings& s) { return s.*field; },
        [field](AppSettings& s, bool on) { s.*field = on; });
    return box;
}

Card* personalCard(AppModel& model) {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    l->addWidget(new SectionTitle(tr("Persönlich")));
    l->addWidget(toggle(model, "Namen des angemeldeten Benutzers verwenden", &AppSettings::useSystemUserName));

    auto* detected = new Caption(tr("Erkannt: „%1“").arg(model.systemGivenName()));
    QWidget* detectedRow = paddedTop(detected, 4);
    l->addWidget(detectedRow);

    auto* nameBlock = new QWidget;
    auto* nameLayout = new QVBoxLayout(nameBlock);
    nameLayout->setContentsMargins(0, 10, 0, 0);
    nameLayout->setSpacing(4);
    nameLayout->addWidget(new Caption(tr("Benutzername")));
    auto* name = new QLineEdit;
    name->setPlaceholderText(tr("Name für die Begrüßung"));
    name->setAccessibleName(tr("Benutzername"));
    nameLayout->addWidget(name);
    l->addWidget(nameBlock);
    // The name is cut while it is typed or pasted; the field shows the cut
    // text and the greeting follows every keystroke.
    bindLimitedText(name, kMaxUserNameLength, [&model](const QString& text) {
        model.editSettings([&](AppSettings& s) { s.userName = text; });
    });

    follow(card, model, &AppModel::settingsChanged, [&model, detectedRow, nameBlock, name] {
        const AppSettings& s = model.settings();
        detectedRow->setVisible(s.useSystemUserName);
        nameBlock->setVisible(!s.useSystemUserName);
        showText(name, s.userName);
    });

    l->addWidget(paddedTop(toggle(model, "Begrüßung anzeigen", &AppSettings::showGreeting), 12));
    l->addWidget(paddedTop(toggle(model, "Datum anzeigen", &AppSettings::showDate), 8));
    auto* greeting = new ThemedLabel(QString(), 13, QFont::Light, ThemedLabel::Tone::foreground);
    greeting->setAccessibleName(tr("Begrüßung"));
    // A long name takes the greeting onto a second line rather than past the card.
    greeting->setWordWrap(true);
    l->addWidget(paddedTop(greeting, 8));
    follow(greeting, model, &AppModel::greetingTextChanged, [&model, greeting] { greeting->setText(model.greetingText()); });

    l->addWidget(paddedTop(new SectionTitle(tr("Fenster")), 18));
    l->addWidget(toggle(model, "Immer im Vordergrund", &AppSettings::topmost));
    l->addWidget(paddedTop(new Caption(tr("Auch über die Stecknadel neben dem Zahnrad umschaltbar.")), 4));
    return card;
}

Card* storageCard(AppModel& model) {
    auto* card = new Card;
    QVBoxLayout* l = card->contentLayout();
    l->addWidget(new SectionTitle(tr("Speicherung")));
    l->addWidget(new Caption(tr("Einstellungen werden hier gespeichert:")));
    const QString file = model.settingsService().settingsFilePath();
    l->addWidget(paddedTop(new PathFrame(new PathBox(file)), 6));
    auto* reveal = new ThemedButton(tr("Im Dateimanager zeigen"));
    reveal->setNaturalSize(true);
    QObject::connect(reveal, &QAbstractButton::clicked, reveal, [file] { showInFileManager(file); });
    l->addWidget(paddedTop(reveal, 6, Qt::AlignLeft));
    auto* status = new WarningText;
    l->addWidget(status);
    follow(status, model, &AppModel::saveStatusTextChanged, [&model, status] { status->setWarning(model.saveStatusText()); });
    return card;
}

}  // namespace

QWidget* makeGeneralPage(AppModel& model, QWidget* parent) {
    auto* page = new TwoColumns(parent);
    page->addLeft(personalCard(model));
    page->addRight(storageCard(model));
    return page;
}

}  // namespace corvane
