#pragma once

#include <QMargins>
#include <QVBoxLayout>
#include <QWidget>

namespace corvane {

// `content` inside a plain box with `margins` around it: a row of a card that
// needs space of its own above or below, and that takes that space with it
// when it is hidden.
inline QWidget* padded(QWidget* content, QMargins margins, Qt::Alignment alignment = {}) {
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(margins);
    layout->setSpacing(0);
    layout->addWidget(content, 0, alignment);
    return box;
}

inline QWidget* paddedTop(QWidget* content, int top, Qt::Alignment alignment = {}) {
    return padded(content, QMargins(0, top, 0, 0), alignment);
}

}  // namespace corvane
