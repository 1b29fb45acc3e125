#pragma once

// The eight dial faces. Every length is a fraction of the diameter `s`, so a
// face looks the same from a settings tile to a full-screen clock; minimum
// widths in points keep marks visible on small dials.

#include "dial/DialColors.h"
#include "model/Settings.h"

#include <QPointF>

class QPainter;

namespace corvane {

struct DialPainter {
    QPainter& ctx;
    QPointF center;
    double s;  // diameter in points
    DialColors c;

    void drawClassic();
    void drawMinimal();
    void drawRoman();
    void drawModern();
    void drawDots();
    void drawElegant();
    void drawGradient();
    void drawNight();

    // Calls the routine of `style`.
    void draw(DialStyle style);
};

// The roman dial's numeral size on a dial of diameter `s`: the nominal
// 0.078 s, shrunk as far as the widest numerals need to keep
// `romanNumeralGap` inside the inner ring (of `romanRingWidth`).
double romanNumeralSize(double s);
double romanRingWidth(double s);
double romanNumeralGap(double s);

}  // namespace corvane
