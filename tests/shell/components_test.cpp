#include <gtest/gtest.h>

#include <QDir>
#include <QHBoxLayout>
#include <QImage>
#include <QPainter>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "shell/components/Card.h"
#include "shell/components/IconButton.h"
#include "shell/components/Icons.h"
#include "shell/components/NumberPicker.h"
#include "shell/components/ScaleDownToFit.h"
#include "shell/components/TextLines.h"
#include "shell/components/Theme.h"
#include "shell/components/ThemedButton.h"

using namespace corvane;

namespace {

ThemeColors lightPalette() {
    return ThemeColors::make(ThemeMode::light, std::nullopt, true, 1.0);
}

QString screenshotPath(const char* name) {
    const QString dir = QStringLiteral(CORVANE_BUILD_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + "/" + name + ".png";
}

}  // namespace

TEST(Theme, ViewsReadTheNearestProviderElseTheDefault) {
    QWidget loose;
    EXPECT_EQ(themeOf(&loose), ThemeColors::defaultPalette());

    QWidget window;
    auto* child = new QWidget(&window);
    auto* label = new Caption("Text", child);
    ThemeProvider provider;
    ThemeProvider::attach(&window, &provider);
    QSignalSpy changed(&provider, &ThemeProvider::changed);

    provider.setColors(ThemeColors::defaultPalette());
    EXPECT_EQ(changed.count(), 0) << "an unchanged palette must not repaint anything";

    const ThemeColors light = lightPalette();
    ASSERT_NE(light, ThemeColors::defaultPalette());
    provider.setColors(light);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(themeOf(child), light);
    // Labels keep their colour in the palette, so they must be told.
    EXPECT_EQ(label->palette().color(QPalette::WindowText), light.secondaryForeground.toQColor());

    {
        ThemeProvider gone;
        ThemeProvider::attach(&window, &gone);
    }
    EXPECT_EQ(themeOf(child), ThemeColors::defaultPalette()) << "a destroyed provider must not be read";
}

TEST(WarningText, TakesNoSpaceWithoutText) {
    QWidget page;
    auto* column = new QVBoxLayout(&page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* above = new QWidget;
    above->setFixedHeight(20);
    auto* warning = new WarningText(std::nullopt);
    column->addWidget(above);
    column->addWidget(warning);
    page.show();

    const int without = page.sizeHint().height();
    EXPECT_EQ(without, 20);
    EXPECT_FALSE(warning->isVisible());

    warning->setWarning(QStringLiteral("Die Datei fehlt."));
    EXPECT_TRUE(warning->isVisible());
    EXPECT_GT(page.sizeHint().height(), 20 + 4);
    EXPECT_EQ(warning->contentsMargins().top(), 4);

    warning->setWarning(QString());  // empty counts as absent
    EXPECT_FALSE(warning->isVisible());
    EXPECT_EQ(page.sizeHint().height(), without);

    // Created on its own with a text it must not pop up as a window.
    WarningText loose(QStringLiteral("x"));
    loose.setWarning(QStringLiteral("y"));
    EXPECT_FALSE(loose.isVisible());
}

TEST(ScaleDownToFit, ScaleTable) {
    struct Case {
        QSizeF available;
        QSizeF content;
        double scale;
    };
    const Case cases[] = {
        {{200, 200}, {400, 100}, 0.5},  {{800, 800}, {400, 100}, 1.0}, {{0, 0}, {400, 100}, 0.01},
        {{300, 25}, {400, 100}, 0.25},  {{200, 200}, {0, 0}, 1.0},      {{-5, 100}, {400, 100}, 0.01},
        {{1, 1}, {4000, 4000}, 0.01},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(ScaleDownToFit::scaleFor(c.available, c.content), c.scale)
            << c.available.width() << "x" << c.available.height();
}

TEST(ScaleDownToFit, ShrinksLiveContentAndPassesClicksOn) {
    ScaleDownToFit fit;
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    auto* button = new QPushButton("Alarm beenden");
    button->setFixedSize(400, 100);
    row->addWidget(button);
    fit.setContent(content);
    fit.resize(800, 800);
    fit.show();
    EXPECT_DOUBLE_EQ(fit.scale(), 1.0);
    EXPECT_EQ(content->geometry(), QRect(200, 350, 400, 100));  // natural size, centred

    fit.resize(200, 200);
    EXPECT_DOUBLE_EQ(fit.scale(), 0.5);
    EXPECT_FALSE(QRect(0, 0, 200, 200).intersects(content->geometry()));

    QSignalSpy clicked(button, &QPushButton::clicked);
    // The shrunk button lies at (0, 75)-(200, 125).
    QTest::mouseClick(&fit, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(clicked.count(), 1);
    QTest::mouseClick(&fit, Qt::LeftButton, {}, QPoint(100, 20));
    EXPECT_EQ(clicked.count(), 1) << "a click beside the shrunk content reaches nothing";

    const QImage shot = fit.grab().toImage();
    shot.save(screenshotPath("scale_down_to_fit"));
    // Something is drawn at the centre, nothing at the top edge.
    EXPECT_NE(shot.pixelColor(100, 100), shot.pixelColor(100, 5));
}

// Scaled or not, what the content gets, and what climbs back up from it,
// says where the pointer is on the screen: a window dragged by shrunk content
// follows the pointer, and a menu opens under it.
TEST(ScaleDownToFit, ForwardedEventsKeepThePointersPlaceOnTheScreen) {
    // Takes the press when `takes`, else lets it climb on.
    struct Recorder : QWidget {
        explicit Recorder(bool takes) : takes(takes) {}
        bool takes;
        QList<QPoint> seen;
        void mousePressEvent(QMouseEvent* e) override {
            seen.append(e->globalPosition().toPoint());
            e->setAccepted(takes);
        }
    };
    Recorder host(true);
    auto* fit = new ScaleDownToFit(&host);
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    auto* inner = new Recorder(false);
    inner->setFixedSize(400, 100);
    row->addWidget(inner);
    fit->setContent(content);
    host.resize(200, 200);
    fit->resize(200, 200);
    host.move(300, 250);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    ASSERT_DOUBLE_EQ(fit->scale(), 0.5);

    const QPoint at(150, 110);  // inside the shrunk content
    QTest::mousePress(host.windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(host.windowHandle(), Qt::LeftButton, {}, at);
    const QPoint onScreen = host.mapToGlobal(at);
    EXPECT_EQ(inner->seen, QList<QPoint>{onScreen});
    EXPECT_EQ(host.seen, QList<QPoint>{onScreen});
}

TEST(ThemedButton, LookByAccentPressAndEnabledState) {
    const ThemeColors& t = ThemeColors::defaultPalette();
    ThemedButton plain("Durchsuchen …");
    auto look = plain.look();
    EXPECT_EQ(look.fill, t.control.toQColor());
    EXPECT_EQ(look.outline, t.border.toQColor());
    EXPECT_EQ(look.text, t.foreground.toQColor());
    plain.setDown(true);
    EXPECT_EQ(plain.look().fill, t.controlHover.toQColor());

    ThemedButton accent("Alarm beenden");
    accent.setAccent(true);
    EXPECT_EQ(accent.look().fill, t.accent.toQColor());
    EXPECT_EQ(accent.look().outline.alpha(), 0);
    accent.setDown(true);
    EXPECT_NEAR(accent.look().fill.alphaF(), 0.85, 0.001);
    accent.setEnabled(false);
    EXPECT_DOUBLE_EQ(accent.look().opacity, 0.4);

    // Natural size keeps the label's width; the default fills what it gets.
    EXPECT_EQ(plain.sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
    plain.setNaturalSize(true);
    EXPECT_EQ(plain.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    EXPECT_GE(plain.sizeHint().height(), 30);
    const int before = plain.sizeHint().width();
    plain.setSymbol("plus");
    EXPECT_GT(plain.sizeHint().width(), before) << "a leading icon widens the button";
}

TEST(IconButton, HoverDestructiveActiveAndDisabledOpacity) {
    const ThemeColors& t = ThemeColors::defaultPalette();
    IconButton remove("minus.circle", "Uhr entfernen", 26);
    remove.setDestructive(true);
    EXPECT_EQ(remove.size(), QSize(26, 26));
    EXPECT_EQ(remove.toolTip(), "Uhr entfernen");
    EXPECT_EQ(remove.accessibleName(), "Uhr entfernen");
    EXPECT_EQ(remove.look().symbol, t.foreground.toQColor());
    EXPECT_EQ(remove.look().background.alpha(), 0);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&remove, &enter);
    EXPECT_TRUE(remove.hovered());
    EXPECT_EQ(remove.look().symbol, QColor(Qt::white));
    EXPECT_EQ(remove.look().background, QColor(196, 43, 28));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&remove, &leave);
    EXPECT_EQ(remove.look().background.alpha(), 0);

    IconButton pin("pin.fill", "Immer im Vordergrund – aus", 34);
    pin.setActive(true);
    EXPECT_EQ(pin.look().symbol, t.accent.toQColor());
    QCoreApplication::sendEvent(&pin, &enter);
    EXPECT_EQ(pin.look().background, t.controlHover.toQColor());
    EXPECT_EQ(pin.look().symbol, t.accent.toQColor()) << "only destructive buttons turn white";

    // Disabled while hovered: no leave event follows, so it must not stay lit.
    pin.setDisabledOpacity(0.3);
    pin.setEnabled(false);
    EXPECT_FALSE(pin.hovered());
    EXPECT_DOUBLE_EQ(pin.look().opacity, 0.3);
    QSignalSpy clicked(&pin, &IconButton::clicked);
    QTest::mouseClick(&pin, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 0);
}

TEST(Icons, EverySymbolTheWindowsUseIsDrawn) {
    for (const char* name : {"clock", "globe.europe.africa", "pin", "pin.fill", "gearshape", "bell.fill",
                             "play.fill", "pause.fill", "stop.fill", "xmark", "chevron.up", "chevron.down",
                             "minus.circle", "plus", "alarm", "checkmark.shield.fill", "radio",
                             "speaker.slash.fill",
                             // the world map's card and legend
                             "sun.max.fill", "sun.haze.fill", "moon.stars.fill", "moon.fill",
                             "checkmark.circle.fill", "plus.circle.fill", "ellipsis.circle.fill",
                             "xmark.circle.fill", "line.diagonal"}) {
        const QPainterPath& p = icons::path(QString::fromLatin1(name));
        EXPECT_FALSE(p.isEmpty()) << name;
        EXPECT_TRUE(QRectF(-1, -1, icons::kUnits + 2, icons::kUnits + 2).contains(p.boundingRect())) << name;
    }
    EXPECT_FALSE(icons::has(u"no.such.symbol"));

    // A sheet of every symbol at toolbar size, to look at.
    const char* sheet[] = {"clock", "globe.europe.africa", "globe.europe.africa.fill", "pin", "pin.fill",
                           "gearshape", "bell.fill", "alarm", "play.fill", "pause.fill", "stop.fill", "xmark",
                           "xmark.circle.fill", "chevron.up", "chevron.down", "minus.circle", "plus",
                           "plus.circle.fill", "checkmark.circle.fill", "info.circle", "speaker.slash.fill",
                           "speaker.wave.2.fill", "sun.max.fill", "moon.fill", "checkmark.shield.fill", "radio",
                           "sun.haze.fill", "moon.stars.fill", "ellipsis.circle.fill", "line.diagonal"};
    QImage image(48 * 8, 48 * 5, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(32, 32, 32));
    QPainter p(&image);
    int i = 0;
    for (const char* name : sheet) {
        const QRectF box(48 * (i % 8) + 8, 48 * (i / 8) + 8, 32, 32);
        icons::draw(p, QString::fromLatin1(name), box, Qt::white);
        ++i;
    }
    p.end();
    EXPECT_TRUE(image.save(screenshotPath("icons")));
}

TEST(NumberPicker, ListsTheRangeWithTwoDigits) {
    NumberPicker minutes("Minute", 0, 59);
    ASSERT_EQ(minutes.count(), 60);
    EXPECT_EQ(minutes.itemText(0), "00");
    EXPECT_EQ(minutes.itemText(59), "59");
    EXPECT_EQ(minutes.width(), 64);
    EXPECT_EQ(minutes.accessibleName(), "Minute");

    NumberPicker hours("Stunde", 1, 12);
    EXPECT_EQ(hours.itemText(0), "01");
    EXPECT_EQ(hours.itemText(11), "12");
    EXPECT_EQ(NumberPicker::entryText(120), "120");

    hours.setValue(7);
    EXPECT_EQ(hours.currentText(), "07");
    EXPECT_EQ(hours.value(), 7);
    hours.setValue(13);
    EXPECT_FALSE(hours.value()) << "a value outside the range must not show as another number";

    QSignalSpy chosen(&hours, &NumberPicker::valueChanged);
    Q_EMIT hours.activated(2);
    ASSERT_GE(chosen.count(), 1);
    EXPECT_EQ(chosen.last().at(0).toInt(), 3);

    NumberPicker empty("x", 5, 4);
    EXPECT_EQ(empty.count(), 0);
    NumberPicker huge("x", std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    EXPECT_LE(huge.count(), 1000) << "an absurd range must not build billions of entries";
}

TEST(Components, SettingsCardScreenshot) {
    QWidget window;
    window.resize(420, 260);
    ThemeProvider provider;
    provider.setColors(lightPalette());
    ThemeProvider::attach(&window, &provider);
    window.setAutoFillBackground(true);
    QPalette pal = window.palette();
    pal.setColor(QPalette::Window, provider.colors().background.toQColor());
    window.setPalette(pal);

    auto* outer = new QVBoxLayout(&window);
    auto* card = new Card(QMargins(14, 12, 14, 12));
    card->addWidget(new SectionTitle("Uhren"));
    auto* caption = new Caption("Bis zu 24 Uhren, jede in ihrer eigenen Zeitzone; die Reihenfolge "
                                "bestimmt die Anordnung im Fenster.");
    card->contentLayout()->addWidget(caption);
    auto* row = new QHBoxLayout;
    row->addWidget(new FieldLabel("Stunde"));
    row->addWidget(new NumberPicker("Stunde", 0, 23));
    row->addStretch();
    row->addWidget(new IconButton("chevron.up", "Nach vorne", 26));
    row->addWidget(new IconButton("minus.circle", "Uhr entfernen", 26));
    card->contentLayout()->addLayout(row);
    auto* add = new ThemedButton("Uhr hinzufügen");
    add->setSymbol("plus");
    add->setAccent(true);
    add->setNaturalSize(true);
    card->addWidget(add);
    auto* warning = new WarningText(QStringLiteral("Die Datei „wecker.mp3“ fehlt."));
    card->contentLayout()->addWidget(warning);
    outer->addWidget(card);
    outer->addStretch();
    window.show();
    QCoreApplication::processEvents();

    const QImage shot = window.grab().toImage();
    ASSERT_TRUE(shot.save(screenshotPath("settings_card")));
    // The card spans the window's width, its content stays inside it.
    EXPECT_GE(card->width(), window.width() - 2 * outer->contentsMargins().left());
    for (QWidget* w : card->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->parentWidget() != card) continue;
        EXPECT_TRUE(card->rect().contains(w->geometry())) << w->metaObject()->className();
    }
    EXPECT_GT(caption->height(), QFontMetrics(caption->font()).height()) << "the caption wraps";
    EXPECT_EQ(add->width(), add->sizeHint().width());
    // The accent fill is drawn.
    const QPoint mid = add->mapTo(&window, QPoint(add->width() - 4, add->height() / 2));
    EXPECT_EQ(shot.pixelColor(mid), provider.colors().accent.toQColor());
}
