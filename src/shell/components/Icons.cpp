#include "shell/components/Icons.h"

#include <QHash>
#include <QPainter>
#include <QPainterPathStroker>
#include <QString>
#include <QTransform>
#include <QtMath>

namespace corvane::icons {

namespace {

// Paths are built at this many units per side: boolean operations flatten
// curves with a fixed absolute tolerance, which would turn circles drawn in a
// unit square into octagons.
constexpr double K = kUnits;

QPointF P(double x, double y) { return {x * K, y * K}; }
QPointF P(QPointF p) { return p * K; }
QRectF R(double x, double y, double w, double h) { return {x * K, y * K, w * K, h * K}; }

QPainterPath stroked(const QPainterPath& line, double width, Qt::PenCapStyle cap = Qt::RoundCap) {
    QPainterPathStroker stroker;
    stroker.setWidth(width * K);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::RoundJoin);
    return stroker.createStroke(line);
}

QPainterPath ring(QPointF c, double r, double width) {
    QPainterPath p;
    p.addEllipse(P(c), (r + width / 2) * K, (r + width / 2) * K);
    QPainterPath inner;
    inner.addEllipse(P(c), (r - width / 2) * K, (r - width / 2) * K);
    return p.subtracted(inner);
}

QPainterPath disc(QPointF c, double r) {
    QPainterPath p;
    p.addEllipse(P(c), r * K, r * K);
    return p;
}

QPainterPath polyline(std::initializer_list<QPointF> pts) {
    QPainterPath p;
    bool first = true;
    for (const QPointF& pt : pts) {
        if (first) p.moveTo(P(pt));
        else p.lineTo(P(pt));
        first = false;
    }
    return p;
}

QPainterPath polygon(std::initializer_list<QPointF> pts) {
    QPainterPath p = polyline(pts);
    p.closeSubpath();
    return p;
}

QPainterPath clockFace() {
    QPainterPath p = ring({0.5, 0.5}, 0.40, 0.09);
    p = p.united(stroked(polyline({{0.5, 0.25}, {0.5, 0.5}, {0.68, 0.6}}), 0.08));
    return p;
}

QPainterPath globe(bool filled) {
    const QPointF c(0.5, 0.5);
    QPainterPath p = filled ? disc(c, 0.44) : ring(c, 0.40, 0.08);
    // Meridian and parallels, cut out of the filled disc or drawn on the ring.
    QPainterPath grid;
    QPainterPath meridian;
    meridian.addEllipse(P(c), 0.17 * K, 0.40 * K);
    grid = grid.united(stroked(meridian, 0.06));
    grid = grid.united(stroked(polyline({{0.1, 0.5}, {0.9, 0.5}}), 0.06));
    grid = grid.united(stroked(polyline({{0.18, 0.3}, {0.82, 0.3}}), 0.05));
    grid = grid.united(stroked(polyline({{0.18, 0.7}, {0.82, 0.7}}), 0.05));
    QPainterPath clip = disc(c, 0.40);
    grid = grid.intersected(clip);
    return filled ? p.subtracted(grid) : p.united(grid);
}

QPainterPath pin(bool filled) {
    QPainterPath head;
    head.addRoundedRect(R(0.3, 0.08, 0.4, 0.42), 0.08 * K, 0.08 * K);
    QPainterPath p = filled ? head : stroked(head, 0.07);
    p = p.united(stroked(polyline({{0.2, 0.52}, {0.8, 0.52}}), 0.09));
    p = p.united(stroked(polyline({{0.5, 0.55}, {0.5, 0.93}}), 0.07));
    return p;
}

QPainterPath gear() {
    const QPointF c(0.5, 0.5);
    QPainterPath teeth;
    const int n = 8;
    for (int i = 0; i < n; ++i) {
        QPainterPath tooth;
        tooth.addRoundedRect(R(-0.07, -0.45, 0.14, 0.2), 0.03 * K, 0.03 * K);
        QTransform t;
        t.translate(c.x() * K, c.y() * K);
        t.rotate(360.0 * i / n);
        teeth = teeth.united(t.map(tooth));
    }
    QPainterPath body = disc(c, 0.31).united(teeth);
    return body.subtracted(disc(c, 0.13));
}

QPainterPath bell() {
    QPainterPath p;
    p.moveTo(P(0.5, 0.1));
    p.cubicTo(P(0.72, 0.1), P(0.78, 0.3), P(0.78, 0.45));
    p.lineTo(P(0.78, 0.62));
    p.lineTo(P(0.9, 0.76));
    p.lineTo(P(0.1, 0.76));
    p.lineTo(P(0.22, 0.62));
    p.lineTo(P(0.22, 0.45));
    p.cubicTo(P(0.22, 0.3), P(0.28, 0.1), P(0.5, 0.1));
    p.closeSubpath();
    p.addEllipse(P(0.5, 0.84), 0.09 * K, 0.07 * K);
    return p.simplified();
}

QPainterPath alarmClock() {
    QPainterPath p = ring({0.5, 0.55}, 0.34, 0.08);
    p = p.united(stroked(polyline({{0.5, 0.36}, {0.5, 0.56}, {0.63, 0.64}}), 0.07));
    p = p.united(stroked(polyline({{0.12, 0.24}, {0.26, 0.1}}), 0.09));
    p = p.united(stroked(polyline({{0.88, 0.24}, {0.74, 0.1}}), 0.09));
    return p;
}

QPainterPath cross(double inset, double width) {
    QPainterPath p = stroked(polyline({{inset, inset}, {1 - inset, 1 - inset}}), width);
    p = p.united(stroked(polyline({{1 - inset, inset}, {inset, 1 - inset}}), width));
    return p;
}

QPainterPath plusSign(double half, double width) {
    QPainterPath p = stroked(polyline({{0.5 - half, 0.5}, {0.5 + half, 0.5}}), width);
    p = p.united(stroked(polyline({{0.5, 0.5 - half}, {0.5, 0.5 + half}}), width));
    return p;
}

QPainterPath circled(const QPainterPath& mark, bool filled) {
    const QPointF c(0.5, 0.5);
    if (filled) return disc(c, 0.44).subtracted(mark);
    QPainterPath p = ring(c, 0.40, 0.08);
    p = p.united(mark);
    return p;
}

QPainterPath speakerBody() {
    return polygon({{0.1, 0.38}, {0.28, 0.38}, {0.5, 0.16}, {0.5, 0.84}, {0.28, 0.62}, {0.1, 0.62}});
}

QPainterPath sun() {
    const QPointF c(0.5, 0.5);
    QPainterPath p = disc(c, 0.2);
    for (int i = 0; i < 8; ++i) {
        const double a = qDegreesToRadians(45.0 * i);
        p.addPath(stroked(polyline({{c.x() + 0.3 * std::cos(a), c.y() + 0.3 * std::sin(a)},
                                    {c.x() + 0.43 * std::cos(a), c.y() + 0.43 * std::sin(a)}}),
                          0.07));
    }
    return p;
}

QPainterPath moon() {
    return disc({0.5, 0.5}, 0.38).subtracted(disc({0.68, 0.38}, 0.3));
}

QPainterPath locationArrow() {
    // The navigation arrow, tilted to the upper right.
    return polygon({{0.86, 0.14}, {0.56, 0.88}, {0.47, 0.53}, {0.12, 0.44}});
}

QPainterPath photo() {
    // A framed landscape: a sun and two hills inside a rounded frame.
    QPainterPath frame;
    frame.addRoundedRect(R(0.1, 0.2, 0.8, 0.6), 0.08 * K, 0.08 * K);
    QPainterPath p = stroked(frame, 0.07);
    p = p.united(disc({0.34, 0.4}, 0.07));
    return p.united(polygon({{0.14, 0.76}, {0.4, 0.52}, {0.55, 0.64}, {0.68, 0.5}, {0.86, 0.76}}));
}

QPainterPath hourglass() {
    QPainterPath p = stroked(polyline({{0.24, 0.1}, {0.76, 0.1}}), 0.08);
    p = p.united(stroked(polyline({{0.24, 0.9}, {0.76, 0.9}}), 0.08));
    QPainterPath glass;
    glass.moveTo(P(0.3, 0.12));
    glass.lineTo(P(0.7, 0.12));
    glass.cubicTo(P(0.7, 0.36), P(0.54, 0.42), P(0.54, 0.5));
    glass.cubicTo(P(0.54, 0.58), P(0.7, 0.64), P(0.7, 0.88));
    glass.lineTo(P(0.3, 0.88));
    glass.cubicTo(P(0.3, 0.64), P(0.46, 0.58), P(0.46, 0.5));
    glass.cubicTo(P(0.46, 0.42), P(0.3, 0.36), P(0.3, 0.12));
    glass.closeSubpath();
    p = p.united(stroked(glass, 0.07));
    // The sand: a heap in the lower bulb.
    p = p.united(polygon({{0.36, 0.84}, {0.64, 0.84}, {0.5, 0.66}}));
    return p;
}

QPainterPath stopwatch() {
    QPainterPath p = ring({0.5, 0.56}, 0.33, 0.08);
    p = p.united(stroked(polyline({{0.5, 0.56}, {0.5, 0.36}}), 0.08));
    p = p.united(stroked(polyline({{0.4, 0.1}, {0.6, 0.1}}), 0.09));
    p = p.united(stroked(polyline({{0.5, 0.12}, {0.5, 0.22}}), 0.08));
    p = p.united(stroked(polyline({{0.78, 0.22}, {0.85, 0.29}}), 0.08));
    return p;
}

QPainterPath shieldWithCheck() {
    QPainterPath shield;
    shield.moveTo(P(0.5, 0.06));
    shield.lineTo(P(0.86, 0.2));
    shield.cubicTo(P(0.86, 0.58), P(0.72, 0.8), P(0.5, 0.94));
    shield.cubicTo(P(0.28, 0.8), P(0.14, 0.58), P(0.14, 0.2));
    shield.closeSubpath();
    return shield.subtracted(stroked(polyline({{0.33, 0.5}, {0.46, 0.63}, {0.68, 0.38}}), 0.09));
}

QPainterPath radio() {
    QPainterPath body;
    body.addRoundedRect(R(0.08, 0.32, 0.84, 0.56), 0.08 * K, 0.08 * K);
    // Speaker grille and tuning dial cut out of the body.
    QPainterPath holes = disc({0.34, 0.6}, 0.15).subtracted(disc({0.34, 0.6}, 0.06));
    holes = holes.united(stroked(polyline({{0.62, 0.5}, {0.8, 0.5}}), 0.06));
    holes = holes.united(stroked(polyline({{0.62, 0.64}, {0.8, 0.64}}), 0.06));
    holes = holes.united(stroked(polyline({{0.62, 0.77}, {0.8, 0.77}}), 0.06));
    QPainterPath p = body.subtracted(holes);
    // The handle / aerial.
    return p.united(stroked(polyline({{0.22, 0.32}, {0.72, 0.1}}), 0.06));
}

// The symbols of the settings sidebar and the about page.
void addSettingsSymbols(QHash<QString, QPainterPath>& all) {
    // Palette: a rounded blob with a thumb hole and four paint spots cut out.
    QPainterPath palette;
    palette.addEllipse(R(0.08, 0.14, 0.84, 0.72));
    palette = palette.subtracted(disc({0.66, 0.66}, 0.09));
    for (QPointF spot : {QPointF(0.3, 0.36), QPointF(0.5, 0.27), QPointF(0.7, 0.36), QPointF(0.3, 0.6)})
        palette = palette.subtracted(disc(spot, 0.065));
    all.insert("paintpalette", palette);

    QPainterPath gift;
    gift.addRoundedRect(R(0.16, 0.44, 0.68, 0.46), 0.04 * K, 0.04 * K);
    gift.addRoundedRect(R(0.1, 0.3, 0.8, 0.14), 0.04 * K, 0.04 * K);
    QPainterPath ribbon;
    ribbon.addRect(R(0.46, 0.28, 0.08, 0.64));
    gift = gift.simplified().subtracted(ribbon);
    QPainterPath bow;
    bow.addEllipse(R(0.26, 0.1, 0.22, 0.2));
    bow.addEllipse(R(0.52, 0.1, 0.22, 0.2));
    gift = gift.united(stroked(bow, 0.06));
    all.insert("gift", gift);

    all.insert("nosign", ring({0.5, 0.5}, 0.36, 0.09).united(
                             stroked(polyline({{0.25, 0.75}, {0.75, 0.25}}), 0.09, Qt::FlatCap)
                                 .intersected(disc({0.5, 0.5}, 0.37))));

    // An open hand: palm and four fingers, the thumb to the left.
    QPainterPath hand;
    hand.addRoundedRect(R(0.26, 0.44, 0.52, 0.46), 0.18 * K, 0.18 * K);
    const double fingerTops[] = {0.16, 0.08, 0.08, 0.16};
    for (int i = 0; i < 4; ++i)
        hand.addRoundedRect(R(0.28 + 0.13 * i, fingerTops[i], 0.11, 0.5), 0.055 * K, 0.055 * K);
    hand = hand.simplified().united(stroked(polyline({{0.3, 0.68}, {0.14, 0.5}}), 0.11));
    all.insert("hand.raised", hand);

    // Three arcs over a dot, struck through.
    QPainterPath wifi = disc({0.5, 0.78}, 0.07);
    for (double r : {0.2, 0.36, 0.52}) {
        QPainterPath arc;
        const QRectF box = R(0.5 - r, 0.8 - r, 2 * r, 2 * r);
        arc.arcMoveTo(box, 50);
        arc.arcTo(box, 50, 80);
        wifi = wifi.united(stroked(arc, 0.08));
    }
    const QPainterPath slash = stroked(polyline({{0.14, 0.12}, {0.86, 0.9}}), 0.08);
    wifi = wifi.subtracted(stroked(polyline({{0.14, 0.12}, {0.86, 0.9}}), 0.2)).united(slash);
    all.insert("wifi.slash", wifi);

    all.insert("globe", globe(false));

    // A folded map: three panels.
    QPainterPath map = polygon({{0.08, 0.22}, {0.36, 0.12}, {0.64, 0.22}, {0.92, 0.12},
                                {0.92, 0.78}, {0.64, 0.88}, {0.36, 0.78}, {0.08, 0.88}});
    map = stroked(map, 0.07).united(stroked(polyline({{0.36, 0.12}, {0.36, 0.78}}), 0.06))
              .united(stroked(polyline({{0.64, 0.22}, {0.64, 0.88}}), 0.06));
    all.insert("map", map);

    QPainterPath grid;
    for (double x : {0.12, 0.54})
        for (double y : {0.12, 0.54}) {
            QPainterPath cell;
            cell.addRoundedRect(R(x, y, 0.34, 0.34), 0.07 * K, 0.07 * K);
            grid = grid.united(stroked(cell, 0.07));
        }
    all.insert("square.grid.2x2", grid);
}

// The world map's card and legend.
QPainterPath sunHaze() {
    // A sun half sunk behind two haze bars.
    QPainterPath p = disc({0.5, 0.5}, 0.18);
    for (int i = 4; i <= 8; ++i) {
        const double a = qDegreesToRadians(45.0 * i);
        p.addPath(stroked(polyline({{0.5 + 0.27 * std::cos(a), 0.5 + 0.27 * std::sin(a)},
                                    {0.5 + 0.4 * std::cos(a), 0.5 + 0.4 * std::sin(a)}}),
                          0.07));
    }
    QPainterPath cut;
    cut.addRect(R(0, 0.56, 1, 0.44));
    p = p.simplified().subtracted(cut);
    p = p.united(stroked(polyline({{0.12, 0.66}, {0.88, 0.66}}), 0.07));
    p = p.united(stroked(polyline({{0.24, 0.82}, {0.76, 0.82}}), 0.07));
    return p;
}

QPainterPath moonStars() {
    QPainterPath p = disc({0.42, 0.56}, 0.34).subtracted(disc({0.6, 0.44}, 0.28));
    auto star = [](QPointF c, double r) {
        QPainterPath s;
        for (int i = 0; i < 8; ++i) {
            const double a = qDegreesToRadians(45.0 * i - 90);
            const double rr = i % 2 == 0 ? r : r * 0.35;
            const QPointF pt(c.x() + rr * std::cos(a), c.y() + rr * std::sin(a));
            if (i == 0) s.moveTo(P(pt));
            else s.lineTo(P(pt));
        }
        s.closeSubpath();
        return s;
    };
    p = p.united(star({0.74, 0.2}, 0.12));
    p = p.united(star({0.86, 0.5}, 0.08));
    return p;
}

QPainterPath ellipsisCircle() {
    QPainterPath dots = disc({0.3, 0.5}, 0.06);
    dots = dots.united(disc({0.5, 0.5}, 0.06));
    dots = dots.united(disc({0.7, 0.5}, 0.06));
    return disc({0.5, 0.5}, 0.44).subtracted(dots);
}

QHash<QString, QPainterPath> buildAll() {
    QHash<QString, QPainterPath> all;
    all.insert("clock", clockFace());
    all.insert("globe.europe.africa", globe(false));
    all.insert("globe.europe.africa.fill", globe(true));
    all.insert("pin", pin(false));
    all.insert("pin.fill", pin(true));
    all.insert("gearshape", gear());
    all.insert("bell.fill", bell());
    all.insert("alarm", alarmClock());
    all.insert("hourglass", hourglass());
    all.insert("stopwatch", stopwatch());
    all.insert("play.fill", polygon({{0.25, 0.14}, {0.85, 0.5}, {0.25, 0.86}}));
    QPainterPath pause;
    pause.addRoundedRect(R(0.22, 0.15, 0.2, 0.7), 0.04 * K, 0.04 * K);
    pause.addRoundedRect(R(0.58, 0.15, 0.2, 0.7), 0.04 * K, 0.04 * K);
    all.insert("pause.fill", pause);
    QPainterPath stop;
    stop.addRoundedRect(R(0.2, 0.2, 0.6, 0.6), 0.08 * K, 0.08 * K);
    all.insert("stop.fill", stop);
    all.insert("xmark", cross(0.22, 0.1));
    all.insert("xmark.circle.fill", circled(cross(0.33, 0.08), true));
    all.insert("chevron.up", stroked(polyline({{0.18, 0.66}, {0.5, 0.34}, {0.82, 0.66}}), 0.1));
    all.insert("chevron.down", stroked(polyline({{0.18, 0.34}, {0.5, 0.66}, {0.82, 0.34}}), 0.1));
    all.insert("minus.circle",
               circled(stroked(polyline({{0.3, 0.5}, {0.7, 0.5}}), 0.08), false));
    all.insert("plus", plusSign(0.34, 0.1));
    all.insert("plus.circle.fill", circled(plusSign(0.22, 0.08), true));
    all.insert("checkmark.circle.fill",
               circled(stroked(polyline({{0.3, 0.52}, {0.45, 0.66}, {0.72, 0.36}}), 0.08), true));
    QPainterPath info = stroked(polyline({{0.5, 0.46}, {0.5, 0.7}}), 0.08);
    info = info.united(disc({0.5, 0.32}, 0.05));
    all.insert("info.circle", circled(info, false));
    const QPainterPath muted = speakerBody().united(
        stroked(polyline({{0.62, 0.38}, {0.86, 0.62}}), 0.07).united(
            stroked(polyline({{0.86, 0.38}, {0.62, 0.62}}), 0.07)));
    all.insert("speaker.slash.fill", muted);
    QPainterPath speaker = speakerBody();
    QPainterPath wave;
    wave.arcMoveTo(R(0.4, 0.28, 0.3, 0.44), -50);
    wave.arcTo(R(0.4, 0.28, 0.3, 0.44), -50, 100);
    speaker = speaker.united(stroked(wave, 0.06));
    all.insert("speaker.wave.2.fill", speaker);
    all.insert("location.fill", locationArrow());
    all.insert("checkmark", stroked(polyline({{0.2, 0.52}, {0.42, 0.74}, {0.8, 0.28}}), 0.1));
    all.insert("photo", photo());
    all.insert("checkmark.shield.fill", shieldWithCheck());
    all.insert("radio", radio());
    all.insert("sun.max.fill", sun());
    all.insert("moon.fill", moon());
    addSettingsSymbols(all);
    // The world map's card and legend.
    all.insert("sun.haze.fill", sunHaze());
    all.insert("moon.stars.fill", moonStars());
    all.insert("ellipsis.circle.fill", ellipsisCircle());
    all.insert("line.diagonal", stroked(polyline({{0.2, 0.8}, {0.8, 0.2}}), 0.09));
    return all;
}

const QHash<QString, QPainterPath>& allPaths() {
    static const QHash<QString, QPainterPath> all = buildAll();
    return all;
}

}  // namespace

const QPainterPath& path(QStringView symbol) {
    static const QPainterPath empty;
    const auto& all = allPaths();
    const auto it = all.constFind(symbol.toString());
    return it == all.constEnd() ? empty : it.value();
}

bool has(QStringView symbol) { return !path(symbol).isEmpty(); }

void draw(QPainter& painter, QStringView symbol, const QRectF& box, const QColor& color) {
    draw(painter, path(symbol), box, color);
}

void draw(QPainter& painter, const QPainterPath& p, const QRectF& box, const QColor& color) {
    if (p.isEmpty() || box.isEmpty()) return;
    const double side = std::min(box.width(), box.height());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / kUnits, side / kUnits);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(p);
    painter.restore();
}

}  // namespace corvane::icons
