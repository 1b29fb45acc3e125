#include "shell/components/Theme.h"

#include "shell/components/FocusRing.h"

#include <QApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QVariant>
#include <utility>
#include <vector>
#include <QWidget>

namespace corvane {

namespace {

// Which widget hosts which provider. Views ask on every paint, so this is a
// short list of pointers walked for each parent rather than a named property
// (a property lookup searches the whole meta-object first). Entries leave
// when either side is destroyed, so an address reused by a new widget never
// inherits an old provider.
std::vector<std::pair<const QWidget*, ThemeProvider*>>& hostRegistry() {
    static std::vector<std::pair<const QWidget*, ThemeProvider*>> registry;
    return registry;
}

ThemeProvider* registeredProvider(const QWidget* host) {
    for (const auto& [h, p] : hostRegistry())
        if (h == host) return p;
    return nullptr;
}

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
    FocusRing::install();
    auto& registry = hostRegistry();
    if (ThemeProvider* old = registeredProvider(host)) {
        std::erase_if(old->hosts_, [host](const QPointer<QWidget>& h) { return !h || h == host; });
        std::erase_if(registry, [host](const auto& entry) { return entry.first == host; });
    }
    if (provider) {
        registry.emplace_back(host, provider);
        provider->hosts_.emplace_back(host);
        // The entry leaves with whichever of the two goes first.
        const auto forget = [host, provider] {
            std::erase_if(hostRegistry(),
                          [&](const auto& entry) { return entry.first == host && entry.second == provider; });
        };
        QObject::connect(host, &QObject::destroyed, provider, forget);
        QObject::connect(provider, &QObject::destroyed, host, forget);
    }
    sendThemeChange(host, provider);
}

ThemeProvider* ThemeProvider::of(const QWidget* widget) {
    if (hostRegistry().empty()) return nullptr;
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (ThemeProvider* p = registeredProvider(w)) return p;
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
