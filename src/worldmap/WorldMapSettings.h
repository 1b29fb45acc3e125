#pragma once

// The settings window's world-map page: the live map with its card, a legend
// of what the map draws with the sun's and moon's current values, and a
// caption on how to use it.

#include <QWidget>

namespace corvane {

class AppModel;
class Caption;
class ThemedLabel;
class WorldMapView;

class WorldMapSettings : public QWidget {
    Q_OBJECT
public:
    explicit WorldMapSettings(AppModel& model, QWidget* parent = nullptr);

    // "23,4° S · 45,0° O" for the sun in the zenith at (lat, lon).
    static QString sunCoordinatesText(double latitude, double longitude);
    // The lit part of the moon in whole percent, halves away from zero.
    static int litPercent(double fraction);
    // The caption for a catalogue of `cities` cities.
    static QString captionText(qsizetype cities);

    WorldMapView* map() const { return map_; }
    QString sunDetail() const;
    QString moonTitle() const;
    QString moonDetail() const;
    QString caption() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void followTime();

    AppModel& model_;
    WorldMapView* map_;
    ThemedLabel* sunDetail_ = nullptr;
    ThemedLabel* moonTitle_ = nullptr;
    ThemedLabel* moonDetail_ = nullptr;
    Caption* caption_;
    qint64 shownSecond_ = -1;
};

}  // namespace corvane
