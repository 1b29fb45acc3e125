// The general and about pages.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDate>
#include <QLineEdit>
#include <QTextEdit>

#include "SettingsHarness.h"
#include "platform/FileManager.h"
#include "settings/AboutPage.h"
#include "settings/kit/Bindings.h"
#include "shell/components/Card.h"
#include "shell/components/Icons.h"
#include "shell/components/TextLines.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

TEST(GeneralPage, EachToggleWritesItsOwnField) {
    SettingsHarness h;
    h.open(SettingsCategory::general);
    const struct {
        const char* label;
        bool AppSettings::*field;
    } rows[] = {{"Namen des angemeldeten Benutzers verwenden", &AppSettings::useSystemUserName},
                {"Begrüßung anzeigen", &AppSettings::showGreeting},
                {"Datum anzeigen", &AppSettings::showDate},
                {"Immer im Vordergrund", &AppSettings::topmost}};
    for (const auto& row : rows) {
        QCheckBox* box = h.find<QCheckBox>(QString::fromUtf8(row.label));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->isChecked(), h.model->settings().*row.field) << row.label;
        AppSettings expected = h.model->settings();
        expected.*row.field = !(expected.*row.field);
        h.click(box);
        EXPECT_EQ(h.model->settings(), expected) << row.label;
        // A change from elsewhere (the pin in the clock window) shows here.
        h.model->editSettings([&](AppSettings& s) { s.*row.field = !(s.*row.field); });
        h.settle();
        EXPECT_EQ(box->isChecked(), h.model->settings().*row.field) << row.label;
    }
}

TEST(GeneralPage, NameIsCutAt40CharactersWhileTypingOrPasting) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.useSystemUserName = false;
    s.userName = QString();
    h.open(s, SettingsCategory::general);
    QLineEdit* name = h.find<QLineEdit>(QStringLiteral("Benutzername"));
    ASSERT_NE(name, nullptr);
    ASSERT_TRUE(name->isVisible());

    name->setFocus();
    QTest::keyClicks(name, QStringLiteral("Jo"));
    h.settle();
    EXPECT_EQ(h.model->settings().userName, QStringLiteral("Jo"));
    EXPECT_TRUE(h.model->greetingText().contains(QStringLiteral("Jo")));

    // Typed one by one, 47 characters leave 40 in the field and in the name.
    QTest::keyClicks(name, QString(45, u'x'));
    h.settle();
    EXPECT_EQ(name->text(), QStringLiteral("Jo") + QString(38, u'x'));
    EXPECT_EQ(h.model->settings().userName, name->text());

    // Pasted: 45 decomposed "é" keep 40 of them whole.
    const QString e = QStringLiteral("e\u0301");
    name->clear();
    QApplication::clipboard()->setText(e.repeated(45));
    name->paste();
    h.settle();
    EXPECT_EQ(h.model->settings().userName, e.repeated(40));
    EXPECT_EQ(name->text(), e.repeated(40));
    EXPECT_TRUE(name->hasFocus());

    // Typing a 41st character leaves the name as it was.
    QTest::keyClicks(name, QStringLiteral("x"));
    h.settle();
    EXPECT_EQ(h.model->settings().userName, e.repeated(40));

    // Emptied, the name is empty.
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    h.settle();
    EXPECT_EQ(h.model->settings().userName, QString());
}

TEST(GeneralPage, DetectedNameReplacesTheFieldWhileTheSystemNameIsUsed) {
    SettingsHarness h;
    AppSettings s = SettingsHarness::quietSettings();
    s.useSystemUserName = true;
    s.userName = QStringLiteral("Bleibt");
    h.open(s, SettingsCategory::general);
    Caption* detected = nullptr;
    for (Caption* c : h.page()->findChildren<Caption*>())
        if (c->text().startsWith(QStringLiteral("Erkannt"))) detected = c;
    ASSERT_NE(detected, nullptr);
    EXPECT_EQ(detected->text(), QStringLiteral("Erkannt: „%1“").arg(h.model->systemGivenName()));
    QLineEdit* name = h.find<QLineEdit>(QStringLiteral("Benutzername"));
    EXPECT_TRUE(detected->isVisible());
    EXPECT_FALSE(name->isVisible());

    h.click(h.find<QCheckBox>(QStringLiteral("Namen des angemeldeten Benutzers verwenden")));
    EXPECT_FALSE(detected->isVisible());
    EXPECT_TRUE(name->isVisible());
    EXPECT_EQ(name->text(), QStringLiteral("Bleibt")) << "the stored name stayed while unused";
}

TEST(GeneralPage, StorageCardRevealsTheFileAndShowsTheLastSaveError) {
    SettingsHarness h;
    h.open(SettingsCategory::general);
    std::vector<QString> revealed;
    replaceShowInFileManager([&](const QString& path) { revealed.push_back(path); });
    h.click(h.find<ThemedButton>(QStringLiteral("Im Dateimanager zeigen")));
    replaceShowInFileManager({});
    EXPECT_EQ(revealed, std::vector<QString>{h.settingsFile()});
    QTextEdit* path = h.page()->findChild<QTextEdit*>();
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->toPlainText(), h.settingsFile());
    EXPECT_TRUE(path->isReadOnly());
    // The line above the path names no container this system does not have.
    QStringList captions;
    for (Caption* c : h.page()->findChildren<Caption*>()) captions << c->text();
    EXPECT_TRUE(captions.contains(QStringLiteral("Einstellungen werden hier gespeichert:"))) << captions.join(u'|').toStdString();
    for (const QString& c : captions) EXPECT_FALSE(c.contains(QStringLiteral("Container"))) << c.toStdString();

    WarningText* status = h.page()->findChild<WarningText*>();
    ASSERT_NE(status, nullptr);
    EXPECT_FALSE(status->isVisible());
    // A directory where the file should be: the next save fails.
    QFile::remove(h.settingsFile());
    ASSERT_TRUE(QDir().mkpath(h.settingsFile() + "/blockiert"));
    h.model->editSettings([](AppSettings& s) { s.showDate = !s.showDate; });
    h.advance(1.0);
    h.settleWrites();
    ASSERT_TRUE(h.model->saveStatusText().has_value());
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(status->text(), *h.model->saveStatusText());
}

TEST(AboutPage, VersionFallsBackPerValue) {
    const struct {
        std::optional<QString> shortVersion, build;
        const char* expected;
    } cases[] = {
        {QStringLiteral("2.3"), QStringLiteral("17"), "Version 2.3 (17)"},
        {std::nullopt, std::nullopt, "Version 2.0 (1)"},
        {QString(), QStringLiteral("9"), "Version 2.0 (9)"},
        {QStringLiteral("0.1.0"), std::nullopt, "Version 0.1.0 (1)"},
    };
    for (const auto& c : cases) EXPECT_EQ(aboutVersionText(c.shortVersion, c.build), QString::fromUtf8(c.expected));
    EXPECT_EQ(copyrightLine(2026), QStringLiteral("Copyright © 2026 %1. Alle Rechte vorbehalten.").arg(Maker::name()));
    EXPECT_TRUE(QUrl(Maker::webUrl()).isValid());
    EXPECT_EQ(QUrl(Maker::webUrl()).scheme(), QStringLiteral("https"));
}

TEST(AboutPage, ShowsFeaturesInOrderAndTheCurrentYear) {
    SettingsHarness h;
    h.open(SettingsCategory::about);
    const AppSettings before = h.model->settings();
    const char* features[] = {"Kostenlos – ohne Abo, ohne In-App-Käufe",
                              "Keine Werbung",
                              "Keine Datensammlung, kein Tracking",
                              "Funktioniert vollständig offline",
                              "Bis zu 24 Weltuhren mit eigener Zeitzone",
                              "Weltkarte mit über 900 Städten, Tag und Nacht live",
                              "4 Wecker, 2 Countdowns, 2 Stoppuhren",
                              "Widget für Schreibtisch und Mitteilungszentrale",
                              "8 Zifferblätter, eigene Bilder, 72 Farben"};
    QWidget* list = nullptr;
    for (QWidget* w : h.page()->findChildren<QWidget*>())
        if (w->accessibleName() == QStringLiteral("Funktionen")) list = w;
    ASSERT_NE(list, nullptr);
    std::vector<std::pair<int, QString>> shown;
    for (ThemedLabel* l : list->findChildren<ThemedLabel*>()) shown.emplace_back(l->y(), l->text());
    std::sort(shown.begin(), shown.end());
    ASSERT_EQ(shown.size(), std::size(features));
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i].second, QString::fromUtf8(features[i]));
    for (const char* symbol : {"gift", "nosign", "hand.raised", "wifi.slash", "globe", "map", "alarm",
                               "square.grid.2x2", "paintpalette"})
        EXPECT_TRUE(icons::has(QString::fromLatin1(symbol))) << symbol;

    bool copyright = false;
    for (QLabel* l : h.page()->findChildren<QLabel*>())
        if (l->text() == copyrightLine(QDate::currentDate().year())) copyright = true;
    EXPECT_TRUE(copyright);
    EXPECT_EQ(h.model->settings(), before) << "the page writes nothing";
}

TEST(GeneralPage, AnUnbrokenThirtyLetterNameKeepsTwoColumnsAndWrapsInItsOwn) {
    // Typed into the name field, or read from the account as the given name:
    // either way the name shows in a label of the personal card.
    const QString name(30, u'W');
    for (bool systemName : {false, true}) {
        SCOPED_TRACE(systemName ? "detected name" : "typed name");
        SettingsHarness h;
        h.names = {systemName ? name + QStringLiteral(" Schmidt") : QStringLiteral("Anna Schmidt"), QStringLiteral("w")};
        AppSettings s = SettingsHarness::quietSettings();
        s.useSystemUserName = systemName;
        s.userName.clear();
        SettingsRoot& root = h.open(s, SettingsCategory::general, {940, 640});
        QLabel* shown = nullptr;
        if (systemName) {
            for (QLabel* l : h.page()->findChildren<QLabel*>())
                if (l->isVisible() && l->text().contains(name)) shown = l;
        } else {
            QLineEdit* field = h.find<QLineEdit>(QStringLiteral("Benutzername"));
            field->setFocus();
            QTest::keyClicks(field, name);
            h.settle();
            ASSERT_EQ(h.model->settings().userName, name);
            shown = h.find<QLabel>(QStringLiteral("Begrüßung"));
        }
        ASSERT_NE(shown, nullptr);
        ASSERT_TRUE(shown->text().contains(name));
        h.settle();  // the page laid out again around the new text

        auto cardOf = [](QWidget* w) {
            while (w && !qobject_cast<Card*>(w)) w = w->parentWidget();
            return w;
        };
        QWidget* personal = cardOf(shown);
        QWidget* storage = cardOf(h.find<ThemedButton>(QStringLiteral("Im Dateimanager zeigen")));
        ASSERT_TRUE(personal && storage && personal != storage);
        const QPoint left = personal->mapTo(&root, QPoint());
        const QPoint right = storage->mapTo(&root, QPoint());
        EXPECT_LT(left.x() + personal->width(), right.x()) << "the storage card went under the personal card";
        EXPECT_EQ(left.y(), right.y());

        // The name breaks inside its column: the label stays within its card,
        // on more than one line, as tall as its text needs there.
        const QRect inCard(shown->mapTo(personal, QPoint()), shown->size());
        EXPECT_TRUE(personal->rect().contains(inCard)) << inCard.right() << " in " << personal->width();
        EXPECT_GT(shown->height(), 2 * shown->fontMetrics().height() - 2);
        EXPECT_GE(shown->height(), shown->heightForWidth(shown->width()));
        // Painted: the name runs on over more than one line of ink.
        QImage shot(shown->size(), QImage::Format_ARGB32);
        shot.fill(Qt::transparent);
        shown->render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
        int lines = 0;
        bool inLine = false;
        for (int y = 0; y < shot.height(); ++y) {
            bool ink = false;
            for (int x = 0; x < shot.width() && !ink; ++x) ink = qAlpha(shot.pixel(x, y)) > 64;
            lines += ink && !inLine;
            inLine = ink;
        }
        EXPECT_GE(lines, 2);
        h.shoot(QStringLiteral("general-long-name-%1").arg(systemName ? QStringLiteral("detected") : QStringLiteral("typed")));
    }
}
