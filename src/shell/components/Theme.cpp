#include "shell/components/Theme.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <QWidget>

namespace corvane {

namespace {

constexpr const char* kProviderProperty = "_corvane_themeProvider";

// Qt sizes fonts in typographic points; the layout's sizes are pixels at
// 1x. The logical DPI says how many pixels a point takes.
double pointsPerPixel() {
    double dpi = 96.0;
    if (auto* screen = QGuiApplication::primaryScreen()) {
        const double d = screen->logicalDotsPerInchY();
        if (d > 0) dpi = d;
    }
    return 72.0 / dpi;
}

}  // namespace

ThemeProvider::ThemeProvider(QObject* parent) : QObject(parent) {}

void ThemeProvider::setColors(const ThemeColors& colors) {
    if (colors == colors_) return;
    colors_ = colors;
    notifyHosts();
    Q_EMIT changed();
}

namespace {

void sendThemeChange(QWidget* host, const ThemeProvider* provider) {
    ThemeChangeEvent ev;
    QCoreApplication::sendEvent(host, &ev);
    const auto children = host->findChildren<QWidget*>();
    for (QWidget* child : children) {
        // A nested provider owns its own subtree.
        if (ThemeProvider::of(child) != provider) continue;
        ThemeChangeEvent childEvent;
        QCoreApplication::sendEvent(child, &childEvent);
    }
    host->update();
}

}  // namespace

void ThemeProvider::notifyHosts() {
    for (const auto& host : hosts_)
        if (host && of(host) == this) sendThemeChange(host, this);
}

void ThemeProvider::attach(QWidget* host, ThemeProvider* provider) {
    if (!host) return;
    if (auto* old = qobject_cast<ThemeProvider*>(host->property(kProviderProperty).value<QObject*>()))
        std::erase_if(old->hosts_, [host](const QPointer<QWidget>& h) { return !h || h == host; });
    host->setProperty(kProviderProperty, QVariant::fromValue<QObject*>(provider));
    if (provider) {
        provider->hosts_.emplace_back(host);
        // The property must never point at a destroyed provider.
        QObject::connect(provider, &QObject::destroyed, host, [host] {
            host->setProperty(kProviderProperty, QVariant());
        });
    }
    sendThemeChange(host, provider);
}

ThemeProvider* ThemeProvider::of(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant v = w->property(kProviderProperty);
        if (!v.isValid()) continue;
        if (auto* p = qobject_cast<ThemeProvider*>(v.value<QObject*>())) return p;
    }
    return nullptr;
}

const ThemeColors& themeOf(const QWidget* widget) {
    if (auto* p = ThemeProvider::of(widget)) return p->colors();
    return ThemeColors::defaultPalette();
}

QEvent::Type ThemeChangeEvent::eventType() {
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

QFont uiFont(double size, QFont::Weight weight) {
    return sizedFont(QApplication::font(), size, weight);
}

QFont sizedFont(QFont base, double size, QFont::Weight weight) {
    base.setPointSizeF(std::max(0.5, size * pointsPerPixel()));
    base.setWeight(weight);
    return base;
}

}  // namespace corvane
