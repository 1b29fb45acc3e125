#include "worldmap/MapLayerWidgets.h"

#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace corvane {

namespace {

void prepare(QWidget* widget) {
    widget->setAttribute(Qt::WA_TransparentForMouseEvents);
    widget->setFocusPolicy(Qt::NoFocus);
}

}  // namespace

BaseMapWidget::BaseMapWidget(QWidget* parent) : QWidget(parent) { prepare(this); }

void BaseMapWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_picture.paint(p, BaseMapLayer{QSizeF(size())}, devicePixelRatioF());
}

NightLayerWidget::NightLayerWidget(QWidget* parent) : QWidget(parent) { prepare(this); }

void NightLayerWidget::setKey(qint64 key) {
    if (key == m_key) return;
    m_key = key;
    update();
}

void NightLayerWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_picture.paint(p, NightLayer{m_key, QSizeF(size())}, devicePixelRatioF());
}

SkyLayerWidget::SkyLayerWidget(QWidget* parent) : QWidget(parent) { prepare(this); }

void SkyLayerWidget::setKey(qint64 key) {
    if (key == m_layer.key) return;
    m_layer.key = key;
    update();
}

void SkyLayerWidget::setHoveredID(const std::optional<QString>& id) {
    if (id == m_layer.hoveredID) return;
    m_layer.hoveredID = id;
    update();
}

void SkyLayerWidget::setClockMarks(const ClockMarks& marks) {
    if (marks == m_layer.clockMarks) return;
    m_layer.clockMarks = marks;
    update();
}

SkyLayer SkyLayerWidget::layer() const {
    SkyLayer layer = m_layer;
    layer.size = QSizeF(size());
    return layer;
}

void SkyLayerWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    m_layer.size = QSizeF(size());
    m_picture.paint(p, m_layer, devicePixelRatioF());
}

}  // namespace corvane
