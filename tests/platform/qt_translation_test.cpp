// Qt's own texts (standard buttons, text-field menus) in German.

#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>

#include <memory>

#include "platform/QtTranslation.h"

using namespace corvane;

namespace {

QString cancelText() {
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    return box.button(QDialogButtonBox::Cancel)->text();
}

QStringList lineEditMenuTexts() {
    QLineEdit edit(QStringLiteral("Text"));
    std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator()) texts << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    return texts;
}

}  // namespace

TEST(QtTranslation, MissingCatalogueIsNoErrorAndChangesNothing) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    EXPECT_EQ(installQtTranslation(empty.path()), nullptr);
    EXPECT_EQ(installQtTranslation(empty.filePath(QStringLiteral("nirgends"))), nullptr);
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));
}

TEST(QtTranslation, StandardButtonsAndTextFieldMenusSpeakGerman) {
    if (!QFileInfo::exists(qtTranslationsFolder() + QStringLiteral("/qtbase_de.qm")))
        GTEST_SKIP() << "qtbase_de.qm is not installed in " << qtTranslationsFolder().toStdString()
                     << " (package qt6-translations-l10n)";
    QTranslator* translator = installQtTranslation();
    ASSERT_NE(translator, nullptr);
    EXPECT_EQ(cancelText(), QStringLiteral("Abbrechen"));
    const QStringList menu = lineEditMenuTexts();
    EXPECT_TRUE(menu.contains(QStringLiteral("Rückgängig"))) << menu.join(u'|').toStdString();
    EXPECT_TRUE(menu.contains(QStringLiteral("Einfügen"))) << menu.join(u'|').toStdString();
    EXPECT_TRUE(menu.contains(QStringLiteral("Alles auswählen"))) << menu.join(u'|').toStdString();
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(cancelText(), QStringLiteral("Cancel"));
}
