#include "widget/WidgetFamily.h"

#include "platform/Text.h"

namespace corvane {

QSize familySize(WidgetFamily family) {
    switch (family) {
        case WidgetFamily::systemSmall: return {170, 170};
        case WidgetFamily::systemMedium: return {364, 170};
        case WidgetFamily::systemLarge: return {364, 382};
        case WidgetFamily::systemExtraLarge: return {796, 382};
    }
    return {364, 170};
}

QString familyTitle(WidgetFamily family) {
    switch (family) {
        case WidgetFamily::systemSmall: return tr("Klein");
        case WidgetFamily::systemMedium: return tr("Mittel");
        case WidgetFamily::systemLarge: return tr("Groß");
        case WidgetFamily::systemExtraLarge: return tr("Extragroß");
    }
    return {};
}

QString familyKey(WidgetFamily family) {
    switch (family) {
        case WidgetFamily::systemSmall: return QStringLiteral("small");
        case WidgetFamily::systemMedium: return QStringLiteral("medium");
        case WidgetFamily::systemLarge: return QStringLiteral("large");
        case WidgetFamily::systemExtraLarge: return QStringLiteral("extraLarge");
    }
    return {};
}

std::optional<WidgetFamily> familyFromKey(const QString& key) {
    for (WidgetFamily family : kAllWidgetFamilies)
        if (familyKey(family) == key) return family;
    return std::nullopt;
}

}  // namespace corvane
