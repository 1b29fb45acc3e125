#pragma once

#include <QHash>
#include <QImage>
#include <QPointer>
#include <QTimeZone>
#include <QWidget>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "dial/AnalogClock.h"
#include "dial/SweepLayer.h"
#include "shell/digital/ClockCaption.h"
#include "shell/digital/EditHighlight.h"
#include "shell/grid/HandRegion.h"
#include "model/Rgb.h"
#include "model/Settings.h"
#include "shell/grid/GridLayout.h"

class QPropertyAnimation;

namespace corvane {

class ClockCell;

// What the grid shows of one clock; the caller derives it from the settings.
struct GridClock {
    QString id;
    QString title;
    QString subtitle;  // the zone line, with the date when the settings show it
    QTimeZone zone;
    std::optional<DialStyle> dialStyle;  // the clock's own, else the grid's
    QImage image;                        // its dial image; null for none
    std::optional<RGB> face;             // its parsed face colour

    // A malformed face colour counts as none.
    static GridClock from(const ClockEntry& entry, const QString& title, const QString& subtitle,
                          const QImage& image = {});

    bool operator==(const GridClock&) const = default;
};

// Display options the grid shares across its cells.
struct GridOptions {
    ClockDisplayMode mode = ClockDisplayMode::analog;
    DialStyle dialStyle = DialStyle::classic;
    bool smoothSeconds = true;
    QString fontFamily;
    double fontSize = 120;

    bool operator==(const GridOptions&) const = default;
};

// All clocks at once, in the columns and rows that give the largest cells.
// Cells belong to clock identifiers, so they survive re-arrangement; only a
// change of columns or rows moves them with an animation.
class ClockGrid : public QWidget {
    Q_OBJECT
public:
    // The edit mark reaches outside its clock's cell; it lies on `markHost`
    // (an ancestor with room around the grid, by default the parent), above
    // everything there, so it is never cut at the grid's edges.
    explicit ClockGrid(double spacing = 10, QWidget* parent = nullptr, QWidget* markHost = nullptr);
    ~ClockGrid() override;

    void setClocks(const std::vector<GridClock>& clocks);
    void setOptions(const GridOptions& options);
    // Analog cells repaint on every call; digital cells only when their text
    // changes.
    void setNow(qint64 msecsSinceEpoch);
    void setHighlightedClock(const std::optional<QString>& id);

    GridLayout currentLayout() const { return layout_; }
    // The cell of a clock, or nullptr.
    ClockCell* cell(const QString& id) const;
    // Where each cell will be once any animation has finished.
    QRect targetRect(int index) const;
    bool isAnimating() const;
    EditHighlight* highlight() const { return highlight_; }

    static constexpr int kAnimationMs = 250;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void relayout(bool allowAnimation);
    void shareCaptions(const QSizeF& cellSize);
    void placeHighlight();

    double spacing_;
    std::vector<GridClock> clocks_;
    GridOptions options_;
    qint64 now_ = 0;
    std::optional<QString> highlighted_;
    QHash<QString, ClockCell*> cells_;
    std::vector<QRect> targets_;
    GridLayout layout_;
    bool laidOut_ = false;
    std::vector<QPointer<QPropertyAnimation>> animations_;
    QPointer<QWidget> markHost_;
    QPointer<EditHighlight> highlight_;
};

// One clock of the grid: an analog dial with its caption, or a digital time
// on its face plate, scaled down to fit.
class ClockCell : public QWidget {
    Q_OBJECT
public:
    explicit ClockCell(QWidget* parent = nullptr);
    ~ClockCell() override;

    void setClock(const GridClock& clock);
    void setOptions(const GridOptions& options);
    void setNow(qint64 msecsSinceEpoch);
    // The caption's size, how far its lines may grow and the caption fitted
    // into `width`, the narrowest cell's: the same for every cell of the grid.
    void setCaption(double scale, const CaptionScales& limits, const CaptionLayout& fitted, int width);

    const GridClock& clock() const { return clock_; }
    // The caption as drawn in the current width.
    const CaptionLayout& caption() const;
    const QString& timeText() const;
    // The dial's square, or the face plate, in this cell's coordinates.
    QRectF markFrame() const;
    // The digital block's scale (1 for analog cells).
    double contentScale() const;

    std::function<void()> onGeometryChanged;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    struct Digital;
    QRectF dialRect() const;
    AnalogClock analogClock(const ThemeColors& theme) const;
    QRectF digitalTimeRect() const;
    QPointF digitalBlockOrigin() const;
    QRect digitalTimeBand() const;
    // The band narrowed to a span of the time text (from its left edge,
    // unscaled); the whole band for an empty span.
    QRect digitalTimeBand(std::pair<double, double> span) const;

    GridClock clock_;
    // Each tick reads the wall time; the zone's offset is kept between its
    // transitions instead of being looked up every time.
    mutable ZoneClock zoneClock_;
    GridOptions options_;
    qint64 now_ = 0;
    int shownSecond_ = -1;  // the second of day the digital text shows
    qint64 shownFrame_ = std::numeric_limits<qint64>::min();  // what the dial shows
    handregion::Painted paintedHands_;  // where the last frame drew the hands
    SweepLayer sweep_;                  // face and slow hands under a sweeping second hand
    std::unique_ptr<Digital> digital_;
    QFont captionTitle_;
    QFont captionSubtitle_;
    double captionScale_ = 0;
    double captionHeight_ = 0;
    double dpr_ = 1.0;  // the device pixel ratio of the last paint
    CaptionScales captionLimits_;
    mutable CaptionLayout caption_;
    mutable int captionWidth_ = -1;  // the width `caption_` was fitted for
    CaptionLayout gridCaption_;
    int gridCaptionWidth_ = -1;
};

}  // namespace corvane
