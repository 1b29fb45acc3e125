// What Qt draws itself for the settings (the font picker's list, the colour
// dialog, the file dialog of "Durchsuchen …", a text field's menu), in the
// dark and the light theme, with Qt's German texts as the program loads
// them. Saved to build/screenshots to look at.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHash>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTranslator>

#include "SettingsHarness.h"
#include "platform/QtTranslation.h"
#include "platform/system/AudioDecoder.h"
#include "platform/system/DialogFileChooser.h"
#include "settings/DesignPage.h"
#include "settings/display/DisplayPage.h"
#include "settings/kit/ColorButton.h"
#include "shell/components/AppPalette.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

void save(QWidget* w, const QString& name) {
    QDir().mkpath(QStringLiteral(CORVANE_BUILD_DIR "/screenshots"));
    EXPECT_TRUE(w->grab().save(QStringLiteral(CORVANE_BUILD_DIR "/screenshots/") + name + ".png")) << name.toStdString();
}

// The colour a window shows most (its background) is dark in the dark theme
// and light in the light one.
void expectScheme(QWidget* w, bool dark, const char* what) {
    const QImage image = w->grab().toImage();
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2) ++counts[image.pixel(x, y)];
    ASSERT_FALSE(counts.isEmpty()) << what;
    QRgb most = counts.constBegin().key();
    for (auto it = counts.constBegin(); it != counts.constEnd(); ++it)
        if (it.value() > counts.value(most)) most = it.key();
    EXPECT_EQ(qGray(most) < 100, dark) << what << ": background " << QColor(most).name().toStdString();
}

QStringList buttonTexts(QWidget* w) {
    QStringList texts;
    for (QPushButton* b : w->findChildren<QPushButton*>())
        if (b->isVisible()) texts << b->text().remove(u'&');
    return texts;
}

}  // namespace

// Qt's German catalogue for this test only, taken out again however it ends.
struct GermanQt {
    QTranslator* translator = installQtTranslation();
    ~GermanQt() {
        if (!translator) return;
        QCoreApplication::removeTranslator(translator);
        delete translator;
    }
};

TEST(QtDialogScreens, FontListColourAndFileDialogsInBothThemes) {
    const GermanQt german;
    if (!german.translator)
        GTEST_SKIP() << "Qt's German catalogue qtbase_de is not in " << qtTranslationsFolder().toStdString()
                     << " (Debian package qt6-translations-l10n): the dialogs would show English texts";
    for (ThemeMode theme : {ThemeMode::dark, ThemeMode::light}) {
        const bool dark = theme == ThemeMode::dark;
        const QString suffix = QString::fromLatin1(dark ? "dark" : "light");
        SCOPED_TRACE(suffix.toStdString());
        SettingsHarness h;
        AppSettings s = SettingsHarness::quietSettings();
        s.theme = theme;
        h.open(s, SettingsCategory::display);
        // As the application delegate does for the whole program.
        applyAppPalette(h.model->theme());

        auto* display = qobject_cast<DisplaySettings*>(h.page());
        ASSERT_NE(display, nullptr);
        QComboBox* fonts = display->fontPicker();
        fonts->showPopup();
        h.settle();
        QWidget* list = fonts->view()->window();
        ASSERT_TRUE(list->isVisible());
        save(list, QStringLiteral("qt-font-list-") + suffix);
        expectScheme(list, dark, "font list");
        fonts->hidePopup();

        QFileDialog files(h.root.get());
        DialogFileChooser::configure(files, FileRequest::sounds(QStringLiteral("Alarmton auswählen"), [] {
                                         QStringList p;
                                         for (const QString& e : decodableExtensions()) p << QStringLiteral("*.") + e;
                                         return p;
                                     }()));
        files.resize(720, 460);
        files.show();
        h.settle();
        save(&files, QStringLiteral("qt-file-dialog-") + suffix);
        expectScheme(&files, dark, "file dialog");
        EXPECT_TRUE(buttonTexts(&files).contains(QStringLiteral("Abbrechen"))) << buttonTexts(&files).join(u'|').toStdString();
        EXPECT_TRUE(buttonTexts(&files).contains(QStringLiteral("Öffnen"))) << buttonTexts(&files).join(u'|').toStdString();
        files.hide();

        h.model->setSelectedCategory(SettingsCategory::design);
        h.settle();
        auto* picker = h.page()->findChild<ColorButton*>();
        ASSERT_NE(picker, nullptr);
        picker->openDialog();
        h.settle();
        QColorDialog* colours = picker->dialog();
        ASSERT_NE(colours, nullptr);
        save(colours, QStringLiteral("qt-colour-dialog-") + suffix);
        expectScheme(colours, dark, "colour dialog");
        EXPECT_TRUE(buttonTexts(colours).contains(QStringLiteral("Farbe vom Bildschirm wählen")))
            << buttonTexts(colours).join(u'|').toStdString();
        colours->hide();

        QLineEdit field(QStringLiteral("Anna"), h.root.get());
        std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
        menu->popup(h.root->mapToGlobal(QPoint(40, 40)));
        h.settle();
        save(menu.get(), QStringLiteral("qt-text-menu-") + suffix);
        expectScheme(menu.get(), dark, "text field menu");
        QStringList items;
        for (const QAction* a : menu->actions()) items << a->text().remove(u'&').section(u'\t', 0, 0);
        EXPECT_TRUE(items.contains(QStringLiteral("Kopieren"))) << items.join(u'|').toStdString();
    }
}
