#pragma once

// The text lines of the settings pages and cards. All show their text as
// plain text, never as markup or a translation key.

#include <QLabel>
#include <QTextLayout>
#include <optional>

namespace corvane {

class ThemedLabel : public QLabel {
    Q_OBJECT
public:
    enum class Tone { foreground, secondary, warning, accent };

    ThemedLabel(const QString& text, double fontSize, QFont::Weight weight, Tone tone,
                QWidget* parent = nullptr);

    // A wrapping label breaks a word that fits no line (a long name, say)
    // where it must, instead of asking its column for the word's width: it
    // never needs more than a short line, so one such word cannot push a
    // page out of shape.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    int heightForWidth(int width) const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void applyTheme();
    bool breaksWords() const;
    // Lays the text out in lines of `width`; returns the height they take.
    double layOut(QTextLayout& layout, double width) const;

    Tone tone_;
};

// A card heading: 15 px semibold with 8 px below.
class SectionTitle : public ThemedLabel {
    Q_OBJECT
public:
    explicit SectionTitle(const QString& text = {}, QWidget* parent = nullptr);
};

// Secondary explanatory text; wraps onto as many lines as it needs.
class Caption : public ThemedLabel {
    Q_OBJECT
public:
    explicit Caption(const QString& text = {}, QWidget* parent = nullptr);
};

// The label in front of a form row, with 10 px after it.
class FieldLabel : public ThemedLabel {
    Q_OBJECT
public:
    explicit FieldLabel(const QString& text = {}, QWidget* parent = nullptr);
};

// A warning in a fixed amber that reads on every palette. Without a text it is
// hidden and takes no space, the 4 px above it included.
class WarningText : public ThemedLabel {
    Q_OBJECT
public:
    explicit WarningText(const std::optional<QString>& text = std::nullopt, QWidget* parent = nullptr);

    void setWarning(const std::optional<QString>& text);
    bool hasWarning() const { return !text().isEmpty(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
};

}  // namespace corvane
