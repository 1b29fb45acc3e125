#pragma once

#include <QFont>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "model/Theme.h"

class QPainter;

namespace corvane {

// One caption line as it is drawn: its font after any shrinking and its
// text, cut off with an ellipsis only when even half size is too wide.
struct CaptionLine {
    QFont font;
    QString text;
    double scale = 1.0;  // of the line's own font size
    bool whole = true;   // false: `text` ends in an ellipsis
};

// How far each line of a caption may grow; a grid gives all its captions
// the smallest scale any of them needs, so they come out the same size.
struct CaptionScales {
    double title = 1.0;
    double subtitle = 1.0;
    bool operator==(const CaptionScales&) const = default;
};

// Title and zone line as fitted into one width. Built once after a text, a
// font or the width changed; painting the same caption again measures nothing.
struct CaptionLayout {
    CaptionLine title;
    CaptionLine subtitle;
    // The heights of the unshrunk lines, which the caption keeps.
    double titleHeight = 0;
    double subtitleHeight = 0;
};

namespace captionfit {

inline constexpr double kMinScale = 0.5;

// The largest factor in [minScale, 1] found by which `font` may shrink so
// that `text` in the shrunk font is at most `width` wide, measured with the
// shrunk font itself (text widths do not shrink in proportion: glyph
// advances are rounded per size). Nothing when even minScale is too wide.
std::optional<double> scaleToFit(const QString& text, const QFont& font, double width,
                                 double minScale = kMinScale);

// The line drawn for `text` in `width`: at its own fitting scale, but never
// larger than `limit`; when `minScale` (half size) is too wide, that size
// cut off with an ellipsis.
CaptionLine fitLine(const QString& text, const QFont& font, double width, double limit = 1.0,
                    double minScale = kMinScale);
// The same with the text's own scale (`scaleToFit`) already known.
CaptionLine lineAt(const QString& text, const QFont& font, double width, std::optional<double> own, double limit,
                   double minScale = kMinScale);

CaptionLayout fit(const QString& title, const QString& subtitle, const QFont& titleFont,
                  const QFont& subtitleFont, double width, const CaptionScales& limits = {});

// Captions in one width and one pair of fonts that share their scales: for
// each line the smallest scale that one of them needs to show whole. A
// caption that cannot show whole even at half size is cut off anyway and
// does not pull the others down.
class SharedScales {
public:
    SharedScales(const QFont& titleFont, const QFont& subtitleFont, double width);
    void add(const QString& title, const QString& subtitle);
    const CaptionScales& scales() const { return scales_; }
    // The caption added `index`-th, at the shared scales; each text is
    // measured once more at most, to be sure of the shared size.
    CaptionLayout layout(std::size_t index) const;

private:
    struct Entry {
        QString title, subtitle;
        std::optional<double> ownTitle, ownSubtitle;
    };
    QFont titleFont_, subtitleFont_;
    double width_;
    double titleHeight_, subtitleHeight_;
    std::vector<Entry> entries_;
    CaptionScales scales_;
};

}  // namespace captionfit

// Title and zone line under an analog dial, both scaled with the dial. Each
// stays on one line: it shrinks to half its size before it is cut off.
class ClockCaption : public QWidget {
    Q_OBJECT
public:
    explicit ClockCaption(QWidget* parent = nullptr);

    void setTexts(const QString& title, const QString& subtitle);
    void setScale(double scale);
    double scale() const { return scale_; }

    const QFont& titleFont() const { return titleFont_; }
    const QFont& subtitleFont() const { return subtitleFont_; }
    static double titleSize(double scale) { return 15.0 * scale; }
    static double subtitleSize(double scale) { return 12.0 * scale; }
    // What is drawn in the current width.
    const CaptionLayout& shown() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // A fitted caption drawn into `rect` (vertically centred), for views
    // that paint it themselves. Measures nothing.
    static void paint(QPainter& painter, const QRectF& rect, const CaptionLayout& caption,
                      const ThemeColors& theme);
    static double height(const QFont& titleFont, const QFont& subtitleFont);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    void refit() const;
    // Takes `scale` and its fonts whether or not it differs from the current.
    void applyScale(double scale);

    QString title_;
    QString subtitle_;
    double scale_ = 1.0;  // with its fonts from construction on
    QFont titleFont_;
    QFont subtitleFont_;
    // Fitted when next drawn or asked for after a text, the scale or the
    // width changed: once, however many of them change together (a new
    // clock's texts arrive just before the caption is placed).
    mutable CaptionLayout shown_;
    mutable int fittedWidth_ = -1;
};

}  // namespace corvane
