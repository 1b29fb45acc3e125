#pragma once

// The panel the world map shows beside a city: name, country, population,
// local time with the phase of the day, date, zone, whether a clock already
// shows the city, and the button that makes it a clock. It keeps nothing of
// its own: every refresh derives all it shows from the model and the city.

#include <QAbstractButton>
#include <QColor>
#include <QPointF>
#include <QPixmap>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <limits>
#include <optional>

#include "model/Locale.h"
#include "model/Theme.h"
#include "model/WorldCity.h"

class QLabel;
class QMenu;

namespace corvane {

class AppModel;
class SymbolImage;
class ThemedLabel;

enum class DayPhase { day, twilight, night };

// By the sun's altitude in degrees: above 0 day, above -6 twilight, else night.
DayPhase dayPhase(double sunAltitude);
QString dayPhaseWord(DayPhase phase);
QString dayPhaseSymbol(DayPhase phase);
QColor dayPhaseColor(DayPhase phase);

// The sun's height over the horizon at (lat, lon), with the sun in the
// zenith at (sunLat, sunLon); geometric, without refraction.
double sunAltitude(double lat, double lon, double sunLat, double sunLon);

// The card's split button: the button runs the primary action, the arrow
// opens the menu.
class CardButton : public QToolButton {
    Q_OBJECT
public:
    explicit CardButton(QWidget* parent = nullptr);
    void setSymbol(const QString& symbol);
    QString symbol() const { return symbol_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
};

// The card's close button: the plain symbol, no bezel.
class CardCloseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CardCloseButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CityCard : public QWidget {
    Q_OBJECT
public:
    CityCard(AppModel& model, const WorldCity& city, bool pinned, std::function<void()> close,
             QWidget* parent = nullptr);

    const WorldCity& city() const { return city_; }
    // Shows another city (the map keeps one card while the pointer goes
    // from city to city).
    void setCity(const WorldCity& city, bool pinned);
    bool pinned() const { return pinned_; }

    // Re-derives what depends on the clock list (the already-a-clock line,
    // the button); the card follows the model's settings by itself.
    void refreshClocks();
    // Re-derives what depends on the time; the card follows every tick by
    // itself, formatting only when the minute changes.
    void refreshTime();

    // The panel without the shadow's margin, in the card's coordinates; the
    // map places this rectangle.
    QRect panelRect() const;
    QSize panelSize() const;
    // The shadow's room around the panel.
    static constexpr int kShadowMargin = 14;

    // Position of the first clock showing this city, if any.
    std::optional<int> matchingClockIndex() const;

    // What it shows, for tests and accessibility.
    QString nameText() const;
    QString countryText() const;
    std::optional<QString> populationText() const;
    QString timeText() const;
    QString phaseWord() const;
    QString phaseSymbol() const;
    QColor phaseColor() const;
    QString dateText() const;
    QString zoneText() const;
    std::optional<QString> alreadyText() const;
    CardButton* clockButton() const { return button_; }
    // Null unless pinned.
    QAbstractButton* closeButton() const { return pinned_ ? closeButton_ : nullptr; }
    // Fills the button's menu with what applies now; runs before it opens.
    void buildMenu(QMenu& menu);

    void addAsClock();
    void replaceClock(const QString& clockID);
    void removeClock();

Q_SIGNALS:
    void hoverChanged(bool inside);
    // The card took a new size (a line came or went, a longer name).
    void resized();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    void primaryClicked();
    void showCity();
    void setPointerInside(bool inside);

    AppModel& model_;
    WorldCity city_;
    bool pinned_;
    std::function<void()> close_;
    QTimeZone zone_;
    DayPhase phase_ = DayPhase::day;
    bool pointerInside_ = false;
    QPixmap backdrop_;
    ThemeColors backdropTheme_;
    qint64 shownMinute_ = std::numeric_limits<qint64>::min();

    ThemedLabel* name_;
    ThemedLabel* country_;
    ThemedLabel* population_;
    QAbstractButton* closeButton_ = nullptr;
    SymbolImage* phaseImage_;
    QLabel* time_;
    ThemedLabel* phaseWord_;
    ThemedLabel* date_;
    ThemedLabel* zoneLine_;
    QWidget* already_;
    ThemedLabel* alreadyLabel_;
    CardButton* button_;
    QMenu* menu_;
};

}  // namespace corvane
