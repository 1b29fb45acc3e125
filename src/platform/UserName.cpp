#include "platform/UserName.h"

#include <pwd.h>
#include <unistd.h>

#include <QStringList>
#include <vector>

namespace corvane {

AccountNames currentAccountNames() {
    AccountNames names;
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        // The comment field is "Full Name,Room,Phone,...".
        const QString gecos = QString::fromLocal8Bit(found->pw_gecos ? found->pw_gecos : "");
        names.fullName = gecos.section(QLatin1Char(','), 0, 0).trimmed();
        names.accountName = QString::fromLocal8Bit(found->pw_name ? found->pw_name : "");
    }
    if (names.accountName.isEmpty()) names.accountName = qEnvironmentVariable("USER");
    return names;
}

namespace {

// Honorifics that precede a given name; a word ending in "." (Dr., Prof.)
// counts as one too.
bool isPrefix(const QString& word) {
    static const QStringList prefixes{QStringLiteral("herr"), QStringLiteral("frau"), QStringLiteral("mr"),
                                      QStringLiteral("mrs"), QStringLiteral("ms")};
    return word.endsWith(QLatin1Char('.')) || prefixes.contains(word.toLower());
}

}  // namespace

QString givenNameOf(const AccountNames& names) {
    const QString full = names.fullName.trimmed();
    // "Schmidt, Anna": the given name follows the comma.
    const qsizetype comma = full.indexOf(QLatin1Char(','));
    if (comma > 0) {
        const QStringList after = full.mid(comma + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!after.isEmpty()) return after.constFirst();
    }
    const QStringList words = full.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : words) {
        if (!isPrefix(word)) return word;
    }
    if (!words.isEmpty()) return words.constFirst();
    return names.accountName;
}

}  // namespace corvane
