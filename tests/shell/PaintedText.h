#pragma once

// What a widget really draws as text: render it into this device and read
// each line back with the font and colour it was drawn in. The state a
// widget keeps (a font member, a label's text) can differ from what reaches
// the painter; this sees only the latter. Everything but text is dropped.

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

namespace corvane::testing {

struct PaintedLine {
    QString text;
    QFont font;
    QColor color;
    double baseline = 0;  // in device coordinates
};

class PaintedText : public QPaintDevice {
public:
    // Rendered at the widget's size and resolution, children included
    // (hidden widgets are not drawn).
    explicit PaintedText(QWidget& widget) : size_(widget.size()), dpiX_(widget.logicalDpiX()), dpiY_(widget.logicalDpiY()) {
        engine_ = std::make_unique<Engine>(*this);
        widget.render(this, QPoint(), QRegion(), QWidget::DrawChildren);
    }

    // Runs drawn one after another on one baseline in one font and colour
    // come back as one line (a line mixing scripts reaches the engine in
    // pieces).
    const std::vector<PaintedLine>& lines() const { return lines_; }

    std::optional<PaintedLine> find(const QString& text) const {
        for (const PaintedLine& l : lines_)
            if (l.text == text) return l;
        return std::nullopt;
    }
    bool contains(const QString& part) const {
        for (const PaintedLine& l : lines_)
            if (l.text.contains(part)) return true;
        return false;
    }

    QPaintEngine* paintEngine() const override { return engine_.get(); }

protected:
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth: return size_.width();
            case PdmHeight: return size_.height();
            case PdmWidthMM: return size_.width() * 254 / (dpiX_ * 10);
            case PdmHeightMM: return size_.height() * 254 / (dpiY_ * 10);
            case PdmNumColors: return 0x7fffffff;
            case PdmDepth: return 32;
            case PdmDpiX:
            case PdmPhysicalDpiX: return dpiX_;
            case PdmDpiY:
            case PdmPhysicalDpiY: return dpiY_;
            case PdmDevicePixelRatio: return 1;
            case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(PaintedText& owner) : QPaintEngine(AllFeatures), owner_(owner) {}
        bool begin(QPaintDevice*) override { return true; }
        bool end() override { return true; }
        Type type() const override { return User; }
        void updateState(const QPaintEngineState& state) override {
            if (state.state() & DirtyPen) pen_ = state.pen().color();
            if (state.state() & DirtyTransform) transform_ = state.transform();
        }
        void drawTextItem(const QPointF& p, const QTextItem& item) override {
            const double baseline = transform_.map(p).y();
            auto& lines = owner_.lines_;
            if (!lines.empty() && lines.back().baseline == baseline && lines.back().font == item.font() &&
                lines.back().color == pen_) {
                lines.back().text += item.text();
                return;
            }
            lines.push_back({item.text(), item.font(), pen_, baseline});
        }
        void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
        void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
        void drawPath(const QPainterPath&) override {}
        void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
        void drawRects(const QRectF*, int) override {}
        void drawLines(const QLineF*, int) override {}
        void drawEllipse(const QRectF&) override {}
        void drawPoints(const QPointF*, int) override {}
        void drawTiledPixmap(const QRectF&, const QPixmap&, const QPointF&) override {}

    private:
        PaintedText& owner_;
        QColor pen_;
        QTransform transform_;
    };

    QSize size_;
    int dpiX_, dpiY_;
    std::unique_ptr<Engine> engine_;
    std::vector<PaintedLine> lines_;
};

}  // namespace corvane::testing
