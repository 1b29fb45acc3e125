#pragma once

#include <QSize>
#include <QString>

#include <optional>

namespace corvane {

// The sizes the widget comes in, chosen from its context menu.
enum class WidgetFamily { systemSmall, systemMedium, systemLarge, systemExtraLarge };

inline constexpr WidgetFamily kAllWidgetFamilies[] = {WidgetFamily::systemSmall, WidgetFamily::systemMedium,
                                                      WidgetFamily::systemLarge, WidgetFamily::systemExtraLarge};

// Window size in points.
QSize familySize(WidgetFamily family);
// The menu entry: "Klein", "Mittel", "Groß", "Extragroß".
QString familyTitle(WidgetFamily family);
// The name kept in the host's settings, and back; unknown names give nothing.
QString familyKey(WidgetFamily family);
std::optional<WidgetFamily> familyFromKey(const QString& key);

}  // namespace corvane
