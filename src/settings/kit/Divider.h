#pragma once

#include <QPainter>
#include <QWidget>

#include "shell/components/Theme.h"

namespace corvane {

// A one-pixel horizontal rule in the palette's border colour.
class Divider : public QWidget {
public:
    explicit Divider(QWidget* parent = nullptr) : QWidget(parent) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(rect(), themeOf(this).border.toQColor());
    }
};

}  // namespace corvane
