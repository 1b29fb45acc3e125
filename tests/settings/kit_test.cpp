// The pieces pages are built from: form rows, the colour button, the text
// helpers of the bindings, the time box.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "settings/kit/Bindings.h"
#include "settings/kit/ColorButton.h"
#include "settings/kit/FormGrid.h"
#include "settings/kit/ReflowRow.h"
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

namespace {

// A field as the pages bind it, with what reached the store.
struct LimitedField {
    QLineEdit edit;
    QString stored;
    int stores = 0;
    explicit LimitedField(int count) {
        bindLimitedText(&edit, count, [this](const QString& t) {
            stored = t;
            ++stores;
        });
        edit.show();
        edit.setFocus();
    }
    // One key whose text is a whole character, as a keyboard or an input
    // method delivers an accented letter or an emoji.
    void type(const QString& character) {
        QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, character, Qt::NoModifier);
    }
    void paste(const QString& text) {
        QApplication::clipboard()->setText(text);
        edit.paste();
    }
};

}  // namespace

TEST(LimitedText, TypingAndPastingStopAtWholeCharacters) {
    const QString thumb = QStringLiteral("\U0001F44D\U0001F3FD");                          // skin tone
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");  // ZWJ sequence
    const QString decomposed = QStringLiteral("u\u0308");
    const struct {
        const char* what;
        QString character;
        bool pasted;
    } cases[] = {
        {"ASCII typed", QStringLiteral("x"), false},
        {"composed umlaut typed", QStringLiteral("\u00FC"), false},
        {"decomposed umlaut typed", decomposed, false},
        {"emoji with skin tone typed", thumb, false},
        {"ZWJ family typed", family, false},
        {"ASCII pasted", QStringLiteral("x"), true},
        {"decomposed umlauts pasted", decomposed, true},
        {"emoji with skin tone pasted", thumb, true},
        {"ZWJ families pasted", family, true},
    };
    for (const auto& c : cases) {
        LimitedField f(40);
        if (c.pasted) {
            f.paste(c.character.repeated(47));
        } else {
            for (int i = 0; i < 47; ++i) f.type(c.character);
        }
        const QString expected = c.character.repeated(40);
        EXPECT_EQ(f.edit.text(), expected) << c.what << ": the field shows what is stored";
        EXPECT_EQ(f.stored, expected) << c.what;
        EXPECT_EQ(graphemeCount(f.edit.text()), 40) << c.what;
        EXPECT_EQ(f.edit.cursorPosition(), expected.size()) << c.what;
    }
}

TEST(LimitedText, APasteOfAHundredIsCutAndTheCursorStaysWithTheEdit) {
    LimitedField f(40);
    f.paste(QStringLiteral("Anna"));
    f.paste(QString(100, u'y'));
    EXPECT_EQ(f.edit.text(), QStringLiteral("Anna") + QString(36, u'y'));
    EXPECT_EQ(f.stored, f.edit.text());
    EXPECT_EQ(f.edit.cursorPosition(), 40);
    // Undo never brings back more than is stored.
    f.edit.undo();
    EXPECT_LE(graphemeCount(f.edit.text()), 40);
    EXPECT_EQ(f.stored, f.edit.text());

    // Pasted into the middle: the text is cut at the end, the cursor stays
    // after what was pasted.
    LimitedField g(10);
    g.paste(QStringLiteral("abcdefghij"));
    g.edit.setCursorPosition(3);
    g.paste(QStringLiteral("XY"));
    EXPECT_EQ(g.edit.text(), QStringLiteral("abcXYdefgh"));
    EXPECT_EQ(g.stored, g.edit.text());
    EXPECT_EQ(g.edit.cursorPosition(), 5);
}

TEST(LimitedText, AKeyIntoAFullFieldIsRefusedAndUndoStillWorks) {
    LimitedField f(5);
    QTest::keyClicks(&f.edit, QStringLiteral("abcde"));
    const int stores = f.stores;
    f.type(QStringLiteral("Z"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("abcde"));
    EXPECT_EQ(f.edit.cursorPosition(), 5) << "the cursor stays where it was";
    EXPECT_EQ(f.stores, stores) << "a refused key is no edit";
    // The typing before the refused key is still undoable, and the undo
    // reaches the store.
    ASSERT_TRUE(f.edit.isUndoAvailable());
    QTest::keyClick(&f.edit, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(f.edit.text(), QString());
    EXPECT_EQ(f.stored, QString());
    // Deleting makes room again.
    QTest::keyClicks(&f.edit, QStringLiteral("abcde"));
    QTest::keyClick(&f.edit, Qt::Key_Backspace);
    f.type(QStringLiteral("\u00E4"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("abcd\u00E4"));
    EXPECT_EQ(f.stored, f.edit.text());

    // A key typed inside a full field stays; the text keeps its first five.
    f.edit.setCursorPosition(2);
    f.type(QStringLiteral("Z"));
    EXPECT_EQ(f.edit.text(), QStringLiteral("abZcd"));
    EXPECT_EQ(f.stored, f.edit.text());
    EXPECT_EQ(f.edit.cursorPosition(), 3);
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

TEST(ReflowLayout, AWidgetThatLeavesTakesItsItemWithIt) {
    // However the text or the button leaves the row (deleted, handed to
    // another parent, taken out of the layout), the layout lets go of its
    // item, and the one that stays has the row to itself.
    enum class Leave { deleted, reparented, removed };
    for (Leave how : {Leave::deleted, Leave::reparented, Leave::removed}) {
        for (bool buttonLeaves : {true, false}) {
            SCOPED_TRACE(::testing::Message() << "way " << int(how) << (buttonLeaves ? ", button" : ", text"));
            QWidget host;
            QWidget elsewhere;
            auto* text = new QLabel(QStringLiteral("Kein Sender gewählt"));
            auto* button = new QPushButton(QStringLiteral("Suchen …"));
            auto* row = new ReflowLayout(text, button, 12, &host);
            host.resize(400, 40);
            host.show();
            QCoreApplication::processEvents();
            ASSERT_EQ(row->count(), 2);
            ASSERT_TRUE(row->sideBySide(400));

            QWidget* leaving = buttonLeaves ? static_cast<QWidget*>(button) : text;
            QWidget* staying = buttonLeaves ? static_cast<QWidget*>(text) : button;
            switch (how) {
                case Leave::deleted: delete leaving; break;
                case Leave::reparented: leaving->setParent(&elsewhere); break;
                case Leave::removed: row->removeWidget(leaving); break;
            }
            EXPECT_EQ(row->count(), 1);
            ASSERT_NE(row->itemAt(0), nullptr);
            EXPECT_EQ(row->itemAt(0)->widget(), staying);
            EXPECT_EQ(row->itemAt(1), nullptr);
            EXPECT_EQ(row->takeAt(1), nullptr);

            // Relaid at another width, from the sizes of what stays alone.
            host.resize(300, 60);
            row->activate();
            QCoreApplication::processEvents();
            EXPECT_EQ(row->sizeHint(), staying->sizeHint());
            EXPECT_GT(row->heightForWidth(300), 0);
            if (staying == text) EXPECT_EQ(text->width(), 300) << "the text takes the whole row";
            else EXPECT_EQ(button->geometry().right(), 299) << "the button keeps to the trailing edge";

            // The last one gone too: an empty row of no size.
            delete staying;
            EXPECT_EQ(row->count(), 0);
            EXPECT_EQ(row->itemAt(0), nullptr);
            EXPECT_EQ(row->sizeHint(), QSize(0, 0));
            row->setGeometry(QRect(0, 0, 300, 60));
        }
    }
}
