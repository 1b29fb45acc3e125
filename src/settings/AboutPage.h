#pragma once

#include <QString>
#include <optional>

namespace corvane {

// "Version 2.1 (7)": the short version and build number, each replaced by its
// fallback (2.0, 1) when missing or empty.
QString aboutVersionText(const std::optional<QString>& shortVersion, const std::optional<QString>& build);

// The maker's fixed details, as shown on the about page.
struct Maker {
    static const QString& name();
    static const QString& webText();  // without scheme
    static const QString& webUrl();
    static const QString& mail();
};

// "Copyright © 2026 <maker>. Alle Rechte vorbehalten." for the year.
QString copyrightLine(int year);

}  // namespace corvane
