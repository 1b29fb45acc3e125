#include "shell/WindowFrames.h"

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

QRectF unionOf(const QList<QRectF>& screens) {
    QRectF u;
    for (const QRectF& s : screens) u = u.isNull() ? s : u.united(s);
    return u;
}

// QRectF::intersects treats touching edges as no overlap, which is what a
// visibility test wants; it also copes with huge values without overflow.
bool intersectsAny(const QRectF& r, const QList<QRectF>& screens) {
    return std::any_of(screens.begin(), screens.end(), [&](const QRectF& s) { return s.intersects(r); });
}

double finiteOr(double v, double fallback) { return std::isfinite(v) ? v : fallback; }

}  // namespace

double roundHalfAway(double v) { return std::round(v); }

RestoredFrame restoreFrame(const StoredFrame& stored, bool singleAnalogClock, const QList<QRectF>& screens) {
    RestoredFrame out;
    if (!stored.left || !stored.top || !stored.width || !stored.height) {
        if (singleAnalogClock) out.size = QSizeF(kSingleAnalogSide, kSingleAnalogSide);
        return out;
    }
    const QRectF u = unionOf(screens);
    // A stored value that is not a number behaves like the smallest window.
    const double w = std::min(std::max(finiteOr(*stored.width, 0), kMinWindowWidth), std::max(u.width(), kMinWindowWidth));
    const double h =
        std::min(std::max(finiteOr(*stored.height, 0), kMinWindowHeight), std::max(u.height(), kMinWindowHeight));
    const QRectF first = screens.isEmpty() ? u : screens.first();
    const double x = finiteOr(*stored.left, 1e12);
    const double y = first.top() + finiteOr(*stored.top, 1e12);

    // The band from 20 to 60 points below the top edge, inset 40 at each side:
    // where the user grabs a window. If no screen shows it, the window is lost.
    const QRectF strip(x + 40, y + 20, std::max(w - 80, 1.0), 40);
    if (intersectsAny(strip, screens)) {
        out.centre = false;
        out.frame = QRectF(x, y, w, h);
    } else {
        out.size = QSizeF(w, h);
    }
    return out;
}

SavedFrame saveFrame(const QRectF& frame, const std::optional<QRectF>& firstScreen) {
    const QRectF r = firstScreen.value_or(frame);
    return {roundHalfAway(frame.left()), roundHalfAway(frame.top() - r.top()), roundHalfAway(frame.width()),
            roundHalfAway(frame.height())};
}

QRectF squareFrame(const QRectF& frame) {
    const double side = std::max(std::min(frame.width(), frame.height()), kMinWindowWidth);
    return QRectF(frame.left(), frame.top(), side, side);
}

QRectF fallbackVisibleArea() { return QRectF(0, 0, 1440, 900); }

QRectF keepOnScreen(const QRectF& frame, const QRectF& v) {
    double x = frame.left(), t = frame.top();
    const double w = frame.width(), h = frame.height();
    if (x + w > v.right()) x = std::max(v.left(), v.right() - w);
    if (t + h > v.bottom()) t = std::max(v.bottom() - h, v.top());
    if (x < v.left()) x = v.left();
    if (t < v.top()) t = v.top();
    return QRectF(x, t, w, h);
}

QRectF placeSettingsWindow(const QRectF& m, const QRectF& v) {
    const double w = std::min(v.width(), kSettingsWidth);
    const double h = std::min(v.height(), kSettingsHeight);
    double x;
    if (m.right() + kSettingsGap + w <= v.right())
        x = m.right() + kSettingsGap;
    else if (m.left() - kSettingsGap - w >= v.left())
        x = m.left() - kSettingsGap - w;
    else
        x = v.right() - w;
    x = std::max(x, v.left());
    const double t = std::max(std::min(m.top(), v.bottom() - h), v.top());
    return QRectF(x, t, w, h);
}

QRect toWindowRect(const QRectF& f) {
    // Far beyond any real desktop, well inside int.
    constexpr double kLimit = 1'000'000;
    auto clampRound = [](double v, double lo, double hi) {
        return static_cast<int>(std::clamp(roundHalfAway(finiteOr(v, 0)), lo, hi));
    };
    return QRect(clampRound(f.left(), -kLimit, kLimit), clampRound(f.top(), -kLimit, kLimit),
                 clampRound(f.width(), 1, kLimit), clampRound(f.height(), 1, kLimit));
}

}  // namespace corvane
