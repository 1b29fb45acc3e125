// Every page of the settings window, with the pop-ups that carry fixed texts,
// at the window's default and smallest size in both palettes: no fixed text
// (label, caption, button, check box, picker entry, tile title) is cut off,
// shortened with an ellipsis, or wider than what its control shows of it.
// The real widgets at their real sizes, measured in the fonts the program
// draws with.

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStyleOptionComboBox>
#include <QTest>

#include "SettingsHarness.h"
#include "settings/AlarmsPage.h"
#include "settings/RadioWakeEditor.h"
#include "settings/StationPicker.h"
#include "settings/display/ClockDesignButton.h"
#include "settings/display/ClockDesignPanel.h"
#include "settings/display/ClocksCard.h"
#include "settings/display/DesignTile.h"
#include "settings/display/DisplayPage.h"
#include "settings/display/TimeZoneChooser.h"
#include "shell/SettingsWindow.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;
using namespace corvane::testing;

namespace {

// Texts that may be cut, and why: names that are not the program's own
// wording but the system's or the user's, shown in the room their row has.
// Matched by the accessible name of the control that shows them.
const struct {
    const char* control;
    const char* why;
} kMayBeCut[] = {
    {"Schriftart", "installed font families are named by the system"},
    {"Systemklang", "sound files of the system's sound folders"},
};

bool mayBeCut(const QWidget* w) {
    for (const auto& allowed : kMayBeCut)
        if (w->accessibleName() == QString::fromUtf8(allowed.control)) return true;
    return false;
}

// Settings that put the long fixed texts on screen: a local clock, an alarm
// that wakes with the radio but has no station and no sound file, the dusk
// by the sun, a long name in the greeting.
AppSettings probeSettings(ThemeMode theme) {
    AppSettings s = SettingsHarness::quietSettings();
    s.theme = theme;
    s.useSystemUserName = false;
    s.userName = QStringLiteral("Maximiliane-Wilhelmine Friederike Sophie");
    s.clocks.clear();
    for (const char* zone : {"", "Asia/Kathmandu", "America/St_Johns", "America/Argentina/Buenos_Aires"}) {
        ClockEntry c = ClockEntry::makeNew();
        c.timeZoneID = QString::fromLatin1(zone);
        s.clocks.push_back(c);
    }
    s.alarms[0].isEnabled = true;
    s.alarms[0].wakeWithRadio = true;
    s.alarms[0].radioMode = AlarmSettings::RadioMode::station;
    s.alarms[0].radioStationUUID.reset();
    s.alarms[0].radioStationName.reset();
    s.alarms[0].sound.source = SoundSource::customFile;
    s.alarms[0].sound.customFilePath.reset();
    s.alarms[1].sound.source = SoundSource::builtIn;
    s.alarms[2].sound.source = SoundSource::system;
    s.countdowns[0].sound.source = SoundSource::customFile;
    s.countdowns[0].sound.customFilePath.reset();
    s.dusk.source = DuskSource::sun;
    return s;
}

struct Shown {
    QString text;
    bool vertical = false;  // `needed` and `room` are heights
    double needed = 0;  // width the text needs, in the control's coordinates
    double room = 0;    // width the control gives it
};

// Width of the widest run the text cannot be broken in (words; a
// non-breaking space keeps its neighbours together).
double widestRun(const QFontMetricsF& fm, const QString& text) {
    double widest = 0;
    for (const QString& word : text.split(QRegularExpression(QStringLiteral("[ \\t\\n]")), Qt::SkipEmptyParts))
        widest = std::max(widest, fm.horizontalAdvance(word));
    return widest;
}

// What of `w`'s own fixed text is shown, and in how much room; nothing for
// controls without one.
std::vector<Shown> shownTexts(QWidget* w) {
    std::vector<Shown> out;
    if (auto* tile = qobject_cast<DesignTile*>(w)) {
        // A tile may shrink its title a little; what counts is what it draws.
        out.push_back({tile->text(), false, tile->shownTitle() == tile->text() ? 0.0 : 1.0, 0.0});
        return out;
    }
    if (auto* zone = qobject_cast<TimeZoneButton*>(w)) {
        // In a short row the place may end in an ellipsis, named whole in
        // the tool tip; the offset and the chevron after it stand whole.
        const TimeZoneButton::Label shown = zone->label();
        out.push_back({shown.offset, false, shown.chevron.right(), double(zone->width())});
        const QString place = TimeZoneButton::placeName(zone->timeZoneID());
        if (shown.place != place && zone->toolTip() != place) out.push_back({place, false, 1, 0});
        return out;
    }
    if (auto* button = qobject_cast<ThemedButton*>(w)) {
        if (button->text().isEmpty()) return out;
        // The button may draw its label down to 75 % before it cuts it: the
        // label as it draws it must be whole.
        const double inset = 8;
        const double natural = button->sizeHint().width() - 2 * inset;
        const double avail = button->width() - 2 * inset;
        QFont f = button->font();
        double scale = 1.0;
        if (natural > avail && natural > 0) {
            scale = std::max(0.75, avail / natural);
            f.setPointSizeF(button->font().pointSizeF() * scale);
        }
        const QFontMetricsF fm(f);
        const double symbol = button->symbol().isEmpty() ? 0.0 : (QFontMetricsF(button->font()).height() * 0.8 + 6) * scale;
        const bool whole = fm.elidedText(button->text(), Qt::ElideRight, std::max(0.0, avail - symbol)) == button->text();
        out.push_back({button->text(), false, whole ? 0.0 : natural, avail});
        return out;
    }
    if (auto* box = qobject_cast<QCheckBox*>(w)) {
        if (box->hasHeightForWidth()) {
            // A wrapping label: as tall as its text needs, no word cut.
            out.push_back({box->text(), true, double(box->heightForWidth(box->width())), double(box->height())});
            out.push_back({box->text(), false, double(box->minimumSizeHint().width()), double(box->width())});
        } else {
            out.push_back({box->text(), false, double(box->sizeHint().width()), double(box->width())});
        }
        return out;
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        // The width the box needs to show an entry whole, worked out as the
        // box does for its own size hint (the ink of the text, the frame and
        // arrow of the style); every entry, since each may be the one chosen.
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.editable = combo->isEditable();
        const QFontMetrics fm(combo->font());
        for (int i = 0; i < combo->count(); ++i) {
            const QString entry = combo->itemText(i);
            const QSize content(fm.boundingRect(entry).width(), fm.height());
            const QSize needed = combo->style()->sizeFromContents(QStyle::CT_ComboBox, &option, content, combo);
            out.push_back({entry, false, double(needed.width()), double(combo->width())});
        }
        return out;
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        if (label->text().isEmpty() || label->textFormat() == Qt::RichText) return out;
        const QRect r = label->contentsRect();
        const QFontMetricsF fm(label->font());
        if (label->wordWrap()) {
            out.push_back({label->text(), false, widestRun(fm, label->text()), double(r.width())});
            out.push_back({label->text(), true, double(label->heightForWidth(label->width())), double(label->height())});
        } else {
            out.push_back({label->text(), false, fm.horizontalAdvance(label->text()), double(r.width())});
        }
        // A label shortened by its owner names its full text for the reader.
        if (!label->accessibleName().isEmpty() && label->text() != label->accessibleName() &&
            label->text().contains(QChar(0x2026)))
            out.push_back({label->accessibleName(), false, 1, 0});
        return out;
    }
    if (auto* station = qobject_cast<ElidedText*>(w)) {
        out.push_back({station->text(), false, QFontMetricsF(station->font()).horizontalAdvance(station->text()),
                       double(station->width())});
        return out;
    }
    return out;
}

// How much of `w`'s width its ancestors up to `top` let show. Inside a
// scroll area only the width counts: what is below the fold is reached by
// scrolling.
int visibleWidth(QWidget* w, QWidget* top) {
    QRect r = w->rect();
    for (QWidget* p = w; p != top && p->parentWidget(); p = p->parentWidget()) {
        QWidget* parent = p->parentWidget();
        r.translate(p->pos());
        const QRect bounds = parent->rect();
        if (parent->objectName() == QLatin1String("qt_scrollarea_viewport")) {
            r = QRect(QPoint(std::max(r.left(), bounds.left()), bounds.top()),
                      QPoint(std::min(r.right(), bounds.right()), bounds.bottom()));
        } else {
            r = r.intersected(bounds);
        }
        if (r.width() <= 0) return 0;
    }
    return r.width();
}

void probe(QWidget* top, const QString& where, std::vector<std::string>& faults) {
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(top) || w->width() <= 0) continue;
        // A combo box's own item view lives in its pop-up.
        if (w->inherits("QComboBoxPrivateContainer") || qobject_cast<QAbstractItemView*>(w->parentWidget()))
            continue;
        for (const Shown& s : shownTexts(w)) {
            if (s.text.isEmpty()) continue;
            const bool cut = s.needed > s.room + 0.5 ||
                             (!s.vertical && visibleWidth(w, top) + 0.5 < std::min<double>(s.needed, w->width()));
            if (!cut || mayBeCut(w)) continue;
            faults.push_back(QStringLiteral("%1: %2 \"%3\" needs %4, has %5 (shown %6 of %7)")
                                 .arg(where, QString::fromLatin1(w->metaObject()->className()), s.text)
                                 .arg(s.needed, 0, 'f', 1)
                                 .arg(s.room, 0, 'f', 1)
                                 .arg(visibleWidth(w, top))
                                 .arg(w->width())
                                 .toStdString());
        }
    }
}

struct Probe : ::testing::TestWithParam<std::tuple<ThemeMode, QSize>> {};

TEST_P(Probe, NoFixedTextIsCut) {
    const auto [theme, size] = GetParam();
    const QString where = QStringLiteral("%1 %2x%3")
                              .arg(QLatin1String(theme == ThemeMode::dark ? "dark" : "light"))
                              .arg(size.width())
                              .arg(size.height());
    std::vector<std::string> faults;
    for (SettingsCategory category : allCases<SettingsCategory>()) {
        SettingsHarness h;
        SettingsRoot& root = h.open(probeSettings(theme), category, size);
        h.advance(1.0);
        const QString page = where + QStringLiteral(" ") + rawValue(category);
        probe(&root, page, faults);
        // To look at: what the probe measured.
        h.shoot(QStringLiteral("probe-%1-%2-%3x%4")
                    .arg(rawValue(category), QLatin1String(theme == ThemeMode::dark ? "dark" : "light"))
                    .arg(size.width())
                    .arg(size.height()));

        if (auto* display = qobject_cast<DisplaySettings*>(h.page())) {
            ClockDesignButton* design = display->clocksCard()->row(0)->designButton();
            QTest::mouseClick(design, Qt::LeftButton);
            h.settle();
            probe(design->panel(), page + QStringLiteral(" design panel"), faults);
            design->panel()->hide();
        }
        if (auto* alarms = root.findChild<AlarmsPage*>()) {
            RadioWakeEditor* editor = alarms->card(0)->radioEditor();
            QTest::mouseClick(editor->searchButton(), Qt::LeftButton);
            h.settle();
            ASSERT_NE(editor->picker(), nullptr);
            probe(editor->picker()->window(), page + QStringLiteral(" station picker"), faults);
            editor->picker()->window()->close();
            h.settle();
        }
    }
    std::string all;
    for (const std::string& f : faults) all += f + "\n";
    EXPECT_TRUE(faults.empty()) << faults.size() << " cut texts:\n" << all;
}

INSTANTIATE_TEST_SUITE_P(
    SizesAndPalettes, Probe,
    ::testing::Combine(::testing::Values(ThemeMode::light, ThemeMode::dark),
                       ::testing::Values(QSize(SettingsWindow::kWidth, SettingsWindow::kHeight),
                                         QSize(SettingsWindow::kMinWidth, SettingsWindow::kMinHeight))));

}  // namespace
