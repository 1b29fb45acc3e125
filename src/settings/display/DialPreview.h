#pragma once

#include <QImage>
#include <QTimeZone>
#include <QWidget>
#include <optional>

#include "dial/DialGeometry.h"
#include "model/Rgb.h"
#include "model/Settings.h"

namespace corvane {

class AppModel;
struct ClockEntry;

// The zone a clock's previews and row time read: the clock's own, or the
// model's current zone for a local clock or an identifier that names none.
QTimeZone previewZone(const AppModel& model, const ClockEntry& clock);

// A small live dial of the settings (clock rows, design tiles, gallery). It
// follows the model's clock but repaints only when the second it shows
// changes, so a fast tick of the main window costs it one comparison.
class DialPreview : public QWidget {
    Q_OBJECT
public:
    struct Look {
        DialStyle style = DialStyle::classic;
        QImage image;                // own dial image; null means none
        std::optional<RGB> faceRGB;  // the clock's own face colour
        bool backgroundFace = false; // face in the palette's background colour
        bool placeholder = false;    // dashed circle with a photo symbol instead of a dial
        double placeholderSymbol = 18;
        bool badge = false;          // the own-design dot at the lower right

        bool operator==(const Look& other) const {
            return style == other.style && image.cacheKey() == other.image.cacheKey() &&
                   faceRGB == other.faceRGB && backgroundFace == other.backgroundFace &&
                   placeholder == other.placeholder && placeholderSymbol == other.placeholderSymbol &&
                   badge == other.badge;
        }
    };

    DialPreview(AppModel& model, double side, QWidget* parent = nullptr);

    void setLook(const Look& look);
    const Look& look() const { return look_; }
    void setZone(const QTimeZone& zone);
    const QTimeZone& zone() const { return clock_.zone(); }

    // The wall time drawn at the last paint (or that will be drawn next).
    const DialTime& shownTime() const { return time_; }
    // Paints since creation; tests check that a tick repaints nothing new.
    int paintCount() const { return paints_; }

    QSize sizeHint() const override;
    // Where the own-design dot of a dial `side` across is drawn, its outline
    // included.
    static QRectF badgeArea(double side) { return {side - 10.5, side - 10.5, 10.5, 10.5}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void follow();

    AppModel& model_;
    double side_;
    Look look_;
    ZoneClock clock_;
    DialTime time_;
    qint64 shownSecond_ = std::numeric_limits<qint64>::min();
    int paints_ = 0;
};

}  // namespace corvane
