// What Qt draws itself (pop-up lists, menus, dialogs, tool tips) in the
// theme's light or dark colours.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QListView>
#include <QMenu>
#include <QToolTip>

#include "shell/components/AppPalette.h"

using namespace corvane;

namespace {

ThemeColors themeOf(ThemeMode mode) { return ThemeColors::make(mode, std::nullopt, true, 1.0); }

// Text and window colours as a widget would paint them.
void expectThemed(const QWidget& w, const ThemeColors& t, const char* what) {
    SCOPED_TRACE(what);
    EXPECT_EQ(w.palette().color(QPalette::Window), t.background.toQColor());
    EXPECT_EQ(w.palette().color(QPalette::WindowText), t.foreground.toQColor());
    EXPECT_EQ(w.palette().color(QPalette::Text), t.foreground.toQColor());
}

bool isDarkPixel(const QImage& image, QPoint at) { return qGray(image.pixel(at)) < 90; }

}  // namespace

TEST(AppPalette, ListsMenusDialogsAndToolTipsFollowLightAndDark) {
    for (ThemeMode mode : {ThemeMode::dark, ThemeMode::light, ThemeMode::dark}) {
        const ThemeColors t = themeOf(mode);
        SCOPED_TRACE(t.isDark ? "dark" : "light");
        applyAppPalette(t);

        QComboBox combo;
        combo.addItems({QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Serif")});
        QWidget* list = combo.view();
        expectThemed(*list->window(), t, "pop-up list");
        EXPECT_EQ(list->palette().color(QPalette::Text), t.foreground.toQColor());
        // The list's field colour, a shade off the window, on the scheme's side.
        EXPECT_EQ(list->palette().color(QPalette::Base).lightness() < 128, t.isDark);

        QMenu menu;
        menu.addAction(QStringLiteral("Vorhandene Uhr ersetzen"));
        menu.addAction(QStringLiteral("Entfernen"));
        expectThemed(menu, t, "menu");
        const QImage shot = menu.grab().toImage();
        EXPECT_EQ(isDarkPixel(shot, QPoint(shot.width() - 4, shot.height() / 2)), t.isDark);

        QFileDialog files(nullptr, QStringLiteral("Ton wählen"));
        files.setOption(QFileDialog::DontUseNativeDialog);
        expectThemed(files, t, "file dialog");
        QColorDialog colours;
        colours.setOption(QColorDialog::DontUseNativeDialog);
        expectThemed(colours, t, "colour dialog");

        EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), t.surface.toQColor());
        EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipText), t.foreground.toQColor());
    }
}

// A desktop theme hands menus and other classes palettes of their own, which
// the program's palette alone would not replace.
TEST(AppPalette, ClassPalettesOfADesktopThemeAreReplacedToo) {
    const ThemeColors dark = themeOf(ThemeMode::dark);
    applyAppPalette(dark);
    QPalette desktop(Qt::white);
    desktop.setColor(QPalette::Window, Qt::white);
    desktop.setColor(QPalette::WindowText, Qt::black);
    QApplication::setPalette(desktop, "QMenu");
    QApplication::setPalette(desktop, "QAbstractItemView");
    applyAppPalette(dark);
    QMenu menu;
    expectThemed(menu, dark, "menu");
    QListView view;
    EXPECT_EQ(view.palette().color(QPalette::Text), dark.foreground.toQColor());
}

TEST(AppPalette, AnUnchangedThemeSendsNoPaletteChange) {
    const ThemeColors dark = themeOf(ThemeMode::dark);
    applyAppPalette(dark);
    struct Probe : QWidget {
        int changes = 0;
        void changeEvent(QEvent* e) override {
            if (e->type() == QEvent::PaletteChange) ++changes;
            QWidget::changeEvent(e);
        }
    } probe;
    applyAppPalette(dark);
    QApplication::processEvents();
    EXPECT_EQ(probe.changes, 0);
    applyAppPalette(themeOf(ThemeMode::light));
    QApplication::processEvents();
    EXPECT_GE(probe.changes, 1);
}
