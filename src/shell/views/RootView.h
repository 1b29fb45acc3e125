#pragma once

#include <QPixmap>
#include <QPointer>
#include <QSet>
#include <QWidget>
#include <vector>

class QGraphicsOpacityEffect;
class QLabel;
class QPropertyAnimation;
class QVariantAnimation;
class QShortcut;

namespace corvane {

class AppModel;
class ClockView;
class IconButton;
class ScaleDownToFit;
class ThemedButton;
class TimerBars;
struct AlertItem;

// The world-map screen: its header row, the map (when the program supplies
// one, see ViewFactories) and the timer bars.
class MainWorldMap : public QWidget {
    Q_OBJECT
public:
    explicit MainWorldMap(AppModel& model, QWidget* parent = nullptr);
    QWidget* headerRow() const { return header_; }

private:
    QWidget* header_;
};

// One ringing alert: bell, title, subtitle, the radio fallback note and the
// button that ends it.
class FadeLayer;

class AlertCard : public QWidget {
    Q_OBJECT
public:
    AlertCard(const AlertItem& alert, bool radioFellBack, QWidget* parent = nullptr);

    static QString fallbackText();
    QString alertID() const { return id_; }
    QString titleText() const;
    QString subtitleText() const;
    bool showsFallback() const;
    ThemedButton* dismissButton() const { return button_; }

    static constexpr int kMinWidth = 380;
    // Never narrower than kMinWidth, whatever its texts.
    QSize sizeHint() const override;

Q_SIGNALS:
    void dismissRequested(const QString& id);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void applyTheme();

    QString id_;
    QWidget* bell_;
    QLabel* title_;
    QLabel* subtitle_;
    QLabel* fallback_ = nullptr;
    ThemedButton* button_;
};

// The dimmed layer with one card per alert, oldest on top, shrunk to fit.
class AlertOverlay : public QWidget {
    Q_OBJECT
public:
    explicit AlertOverlay(QWidget* parent = nullptr);

    void setAlerts(const std::vector<AlertItem>& alerts, const QSet<QString>& radioFallbacks);
    const std::vector<AlertCard*>& cards() const { return cards_; }
    ScaleDownToFit* scaler() const { return scaler_; }

Q_SIGNALS:
    void dismissRequested(const QString& id);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    ScaleDownToFit* scaler_;
    std::vector<AlertCard*> cards_;
};

// The whole content of the clock window: the clock screen or the map, the
// toolbar while the pointer is over the window, and the alerts above all.
// Presses on free space are left to the window, which moves on a drag.
class RootView : public QWidget {
    Q_OBJECT
public:
    explicit RootView(AppModel& model, QWidget* parent = nullptr);
    ~RootView() override;

    static constexpr int kCrossFadeMs = 250;
    static constexpr int kShowControlsMs = 180;
    static constexpr int kHideControlsMs = 320;

    QWidget* screen() const { return screen_; }
    ClockView* clockView() const;
    MainWorldMap* worldMap() const;
    QWidget* toolbar() const { return toolbar_; }
    IconButton* mapButton() const { return mapButton_; }
    IconButton* pinButton() const { return pinButton_; }
    IconButton* settingsButton() const { return settingsButton_; }
    AlertOverlay* alertOverlay() const { return overlay_; }
    bool controlsVisible() const { return controlsVisible_; }
    double toolbarOpacity() const;
    bool isCrossFading() const;

    // Without a cross-fade; toggleAnimation cross-fades the two screens.
    void toggleWorldMap();
    void toggleAnimation();
    void toggleTopmost();
    void setControlsVisible(bool visible);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void applyPalette();
    void showScreen(bool animated);
    void refreshToolbar();
    void refreshAlerts();
    void dismissNewest();
    void place();

    AppModel& model_;
    QWidget* screen_ = nullptr;
    bool showingMap_ = false;
    bool animateSwitch_ = false;
    FadeLayer* fade_;
    QWidget* toolbar_;
    IconButton* mapButton_;
    IconButton* pinButton_;
    IconButton* settingsButton_;
    QGraphicsOpacityEffect* toolbarEffect_;
    QPropertyAnimation* toolbarAnimation_;
    bool controlsVisible_ = false;
    AlertOverlay* overlay_;
    std::vector<QShortcut*> returnKeys_;
};

}  // namespace corvane
