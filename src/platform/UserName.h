#pragma once

#include <QString>

namespace corvane {

// The names of the account the program runs under.
struct AccountNames {
    QString fullName;     // from the account database's comment field; may be empty
    QString accountName;  // the login name
};

// Read through getpwuid for the real user id; the login name falls back to
// $USER when the account database has no entry.
AccountNames currentAccountNames();

// The name to greet with: the given name read from the full name ("Anna
// Schmidt", "Schmidt, Anna", "Dr. Anna Schmidt" all give "Anna"), else the
// first word of it, else the account name.
QString givenNameOf(const AccountNames& names);

}  // namespace corvane
