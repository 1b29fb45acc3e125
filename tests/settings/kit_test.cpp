// The pieces pages are built from: form rows, the colour button, the text
// helpers of the bindings, the time box.

#include <gtest/gtest.h>

#include <QColorDialog>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "settings/kit/Bindings.h"
#include "settings/kit/ColorButton.h"
#include "settings/kit/FormGrid.h"
#include "settings/kit/TimeBox.h"
#include "shell/components/TextLines.h"

using namespace corvane;

TEST(FormGrid, HiddenRowsTakeNoSpaceAndComeBackInPlace) {
    QWidget host;
    auto* layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setAlignment(Qt::AlignTop);
    auto* grid = new FormGrid(8);
    layout->addWidget(grid);
    std::vector<QLineEdit*> fields;
    for (const char* label : {"Modus", "Breitengrad", "Längengrad", "Übergang"}) {
        fields.push_back(new QLineEdit);
        grid->addRow(QString::fromUtf8(label), fields.back());
    }
    host.resize(400, 300);
    host.show();
    QCoreApplication::processEvents();
    const int full = grid->sizeHint().height();
    const int lastY = fields[3]->y();
    const int rowStep = fields[1]->y() - fields[0]->y();
    EXPECT_EQ(grid->visibleRowCount(), 4);

    // A field with focus keeps it (and its text) while its neighbours go.
    fields[0]->setFocus();
    fields[0]->setText(QStringLiteral("52,5"));
    grid->setRowVisible(1, false);
    grid->setRowVisible(2, false);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->visibleRowCount(), 2);
    EXPECT_EQ(grid->sizeHint().height(), full - 2 * rowStep) << "each hidden row takes its gap with it";
    EXPECT_EQ(fields[0]->text(), QStringLiteral("52,5"));

    grid->setRowVisible(1, true);
    grid->setRowVisible(2, true);
    QCoreApplication::processEvents();
    EXPECT_EQ(fields[3]->y(), lastY);
    EXPECT_EQ(grid->sizeHint().height(), full);
    // Labels share one column: controls start at the same x.
    EXPECT_EQ(fields[0]->x(), fields[2]->x());
    EXPECT_GE(fields[0]->x(), grid->label(1)->sizeHint().width());
}

TEST(ColorButton, EachColourMovedToInTheDialogIsOneChange) {
    QColor stored(10, 20, 30);
    ColorButton button(QStringLiteral("Beliebige Farbe wählen …"), [&] { return stored; });
    QSignalSpy picked(&button, &ColorButton::colorPicked);
    button.click();
    QColorDialog* dialog = button.dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->testOption(QColorDialog::DontUseNativeDialog));
    EXPECT_FALSE(dialog->testOption(QColorDialog::ShowAlphaChannel));
    EXPECT_EQ(dialog->currentColor(), stored) << "the dialog starts from the model's colour";
    EXPECT_EQ(picked.count(), 0) << "opening is no change";

    dialog->setCurrentColor(QColor(200, 0, 0));
    dialog->setCurrentColor(QColor(200, 100, 0));
    ASSERT_EQ(picked.count(), 2);
    EXPECT_EQ(picked.at(1).at(0).value<QColor>(), QColor(200, 100, 0));

    // Reopened, it starts again from what the model holds now.
    dialog->hide();
    stored = QColor(1, 2, 3);
    button.click();
    EXPECT_EQ(button.dialog()->currentColor(), stored);
    EXPECT_EQ(picked.count(), 2);
    button.dialog()->hide();
}

TEST(Graphemes, CutsAfterWholeUserPerceivedCharacters) {
    const QString e = QStringLiteral("e\u0301");                        // e + combining acute
    const QString thumb = QStringLiteral("\U0001F44D\U0001F3FD");       // thumbs up, skin tone
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");  // ZWJ sequence
    const struct {
        QString text;
        int count;
        QString expected;
    } cases[] = {
        {QStringLiteral("Anna"), 40, QStringLiteral("Anna")},
        {QString(50, QLatin1Char('x')), 40, QString(40, QLatin1Char('x'))},
        {e.repeated(41), 40, e.repeated(40)},
        {QString(39, QLatin1Char('a')) + thumb + QStringLiteral("b"), 40, QString(39, QLatin1Char('a')) + thumb},
        {QString(39, QLatin1Char('a')) + family + family, 40, QString(39, QLatin1Char('a')) + family},
        {QString(), 40, QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(leftGraphemes(c.text, c.count), c.expected) << c.text.toStdString();
        EXPECT_LE(graphemeCount(leftGraphemes(c.text, c.count)), c.count);
    }
}

TEST(ShowText, KeepsTheCursorWhereTheUserWas) {
    QLineEdit edit;
    edit.setText(QStringLiteral("#12AB"));
    edit.setCursorPosition(2);
    QSignalSpy edited(&edit, &QLineEdit::textEdited);
    QSignalSpy changed(&edit, &QLineEdit::textChanged);
    showText(&edit, QStringLiteral("#12AB"));
    EXPECT_EQ(edit.cursorPosition(), 2);
    EXPECT_EQ(changed.count(), 0) << "an equal text is left alone";
    showText(&edit, QStringLiteral("#12ABCD"));
    EXPECT_EQ(edit.text(), QStringLiteral("#12ABCD"));
    EXPECT_EQ(edit.cursorPosition(), 2);
    showText(&edit, QStringLiteral("#"));
    EXPECT_EQ(edit.cursorPosition(), 1);
    EXPECT_EQ(edited.count(), 0) << "the model's answer is no user edit";
}

TEST(TimeBox, RepaintsOnlyForANewTextAndShrinksToFit) {
    TimeBox box(56, 64, 8);
    box.setTime(QStringLiteral("00:00:00.00"));
    box.setStatus(QStringLiteral("Bereit"));
    const int natural = box.sizeHint().width();
    box.resize(natural / 2, box.sizeHint().height());
    box.show();
    QCoreApplication::processEvents();
    // The shrunk time stays inside the box: no ink in the side padding.
    const QImage shot = box.grab().toImage();
    const QColor panel = shot.pixelColor(box.width() / 2, 2);
    for (int y = 0; y < shot.height(); ++y)
        for (int x : {1, shot.width() - 2})
            if (y > 8 && y < shot.height() - 8) {
                EXPECT_EQ(shot.pixelColor(x, y), panel) << x << "," << y;
            }
    // Digits that change keep the width the box asks for.
    box.setTime(QStringLiteral("11:11:11.11"));
    EXPECT_EQ(box.sizeHint().width(), natural);
}
