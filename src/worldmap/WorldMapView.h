#pragma once

// The interactive world map: the three map layers, the city under the
// pointer with its card, a click that pins the card, the numbered marks of
// the clocks' cities. The main window's map screen and the settings page
// each make their own; its hover and pin state lives as long as it does.

#include <QHash>
#include <QRegion>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "platform/WindowDrag.h"
#include "worldmap/MapInteraction.h"
#include "worldmap/MapLayerWidgets.h"

namespace corvane {

class AppModel;
class CityCard;

class WorldMapView : public QWidget {
    Q_OBJECT
public:
    explicit WorldMapView(AppModel& model, QWidget* parent = nullptr);
    // With its own way of running the delayed hide (tests run it on fake time).
    WorldMapView(AppModel& model, MapHoverState::Schedule schedule, QWidget* parent = nullptr);
    ~WorldMapView() override;

    static constexpr double kWidthPerHeight = kMapWidthPerHeight;

    // A press that turns into a drag moves the window (the frameless main
    // window); a press that stays put is a click on the map.
    void setDragMovesWindow(bool moves) { dragMovesWindow_ = moves; }

    // The map's area inside the widget: the largest 360:142 rectangle, centred.
    QRectF mapRect() const { return mapRect_; }
    // A city's point in widget coordinates.
    QPointF cityPoint(const WorldCity& city) const;

    // The square around a city's dot (widget coordinates) that its
    // highlight can change; a new shown city repaints only these and the cards.
    QRect highlightRect(const WorldCity& city) const;

    const MapHoverState& state() const { return state_; }
    // The card while it is shown or fading out; null otherwise.
    CityCard* card() const { return card_; }
    // The card's opacity as the user sees it (1 while it stands still).
    double cardOpacity() const { return motion_.opacity(); }

    // The card eases in, between cities and out on frames of a timer that
    // runs only while it moves. Tests give it a clock of their own
    // (milliseconds, any origin) and step the frames themselves.
    void setAnimationClock(std::function<qint64()> clock) { animationClock_ = std::move(clock); }
    void advanceAnimation();
    bool isAnimating() const { return frames_.isActive(); }
    const QHash<QString, int>& clockMarks() const { return marks_; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    const WorldCity* cityAt(QPointF widgetPoint) const;
    void stateChanged();
    void placeCard();
    QPointF cardTarget();
    void startMotion();
    void applyMotion();
    void removeCard();
    void updateCardMask();
    void followTime();
    void followClocks();
    void updateMap();
    SkyLayer skyLayer(const WorldCity* highlighted) const;
    void paintHighlight(QPainter& p, const WorldCity& city);
    // Why the map is blank or lacks its cities, when it is.
    void paintDataHint(QPainter& p);

    AppModel& model_;
    MapHoverState state_;
    QRectF mapRect_;
    QHash<QString, int> marks_;
    qint64 key_ = 0;

    // Each layer's picture is kept until its value changes: the base map
    // with the size, night and sky with the key, the sky also with the clock
    // marks. The sky is kept without any highlight; the shown city's square
    // is drawn as its own small picture of the highlighted sky, so a hover
    // never redraws the whole layer.
    LayerPicture<BaseMapLayer> base_;
    LayerPicture<NightLayer> night_;
    LayerPicture<SkyLayer> sky_;
    QPixmap patch_;
    SkyLayer patchLayer_;
    QRect patchRect_;

    CityCard* card_ = nullptr;
    const WorldCity* cardCity_ = nullptr;
    bool cardPinned_ = false;
    // The card shows its last city while it fades out after the hide.
    bool cardLeaving_ = false;
    bool choosingPlace_ = false;
    CardMotion motion_;
    std::function<qint64()> animationClock_;
    QTimer frames_;
    // The map's rounded frame as a region: the card is cut to it.
    QRegion frameRegion_;
    // The card's box the mask was cut for; empty when it must be cut anew.
    QRect maskedBox_;

    bool dragMovesWindow_ = false;
    WindowDrag drag_;
};

}  // namespace corvane
