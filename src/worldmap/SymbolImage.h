#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

#include "model/Theme.h"

namespace corvane {

// One of the program's symbols in a colour that may follow the palette.
class SymbolImage : public QWidget {
    Q_OBJECT
public:
    using ColorOf = std::function<QColor(const ThemeColors&)>;

    SymbolImage(const QString& symbol, QSize size, ColorOf color, QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }
    void setSymbol(const QString& symbol);
    void setColor(ColorOf color);
    QColor color() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    ColorOf color_;
};

}  // namespace corvane
