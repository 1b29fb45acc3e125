#pragma once

// The map layers as widgets for a map view to stack: each fills the area it
// is given, ignores the pointer (hover and clicks belong to the view) and
// keeps its drawn picture, so repainting it for an unrelated reason (a card
// moving above it) only copies pixels. A layer is drawn anew only when its
// value changes: the base map on resize, the night and sky layers when their
// ten-second key or their other inputs change. Setting an unchanged value
// does nothing, so a view may pass the key on every tick.

#include "worldmap/MapLayers.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <cmath>

namespace corvane {

// The picture of one layer value, kept until the value or the device pixel
// ratio changes. Painting an unchanged picture allocates nothing.
template <typename Layer>
class LayerPicture {
public:
    void paint(QPainter& p, const Layer& layer, qreal devicePixelRatio);
    void clear() { m_pixmap = {}; }

private:
    Layer m_drawn;
    qreal m_ratio = 0;
    QPixmap m_pixmap;
};

template <typename Layer>
inline void LayerPicture<Layer>::paint(QPainter& p, const Layer& layer, qreal devicePixelRatio) {
    const QSizeF size = layer.size;
    if (!(size.width() > 0) || !(size.height() > 0)) return;
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    if (m_pixmap.isNull() || !(m_drawn == layer) || m_ratio != ratio) {
        QPixmap pixmap(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)));
        if (pixmap.isNull()) return;
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            layer.draw(painter);
        }
        m_pixmap = std::move(pixmap);
        m_drawn = layer;
        m_ratio = ratio;
    }
    p.drawPixmap(QPointF(0, 0), m_pixmap);
}

class BaseMapWidget : public QWidget {
public:
    explicit BaseMapWidget(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LayerPicture<BaseMapLayer> m_picture;
};

class NightLayerWidget : public QWidget {
public:
    explicit NightLayerWidget(QWidget* parent = nullptr);
    void setKey(qint64 key);
    qint64 key() const { return m_key; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qint64 m_key = 0;
    LayerPicture<NightLayer> m_picture;
};

class SkyLayerWidget : public QWidget {
public:
    explicit SkyLayerWidget(QWidget* parent = nullptr);
    void setKey(qint64 key);
    // WorldCity::id() of the city whose card is shown, or nothing.
    void setHoveredID(const std::optional<QString>& id);
    void setClockMarks(const ClockMarks& marks);
    // The layer as last set; its size is the widget's.
    SkyLayer layer() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SkyLayer m_layer;
    LayerPicture<SkyLayer> m_picture;
};

}  // namespace corvane
