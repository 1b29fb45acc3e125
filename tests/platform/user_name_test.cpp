// The name the greeting uses, read from the account.

#include <gtest/gtest.h>

#include "platform/UserName.h"

using namespace corvane;

TEST(GivenName, FromTheAccountsFullName) {
    struct Case {
        const char* full;
        const char* account;
        const char* given;
    };
    const Case cases[] = {
        {"Anna Schmidt", "anna", "Anna"},
        {"  Anna  ", "anna", "Anna"},
        {"Schmidt, Anna Maria", "as", "Anna"},
        {"Dr. Anna Schmidt", "as", "Anna"},
        {"", "anna", "anna"},
        {"   ", "bert", "bert"},
        {"Prof.", "p", "Prof."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(givenNameOf({QString::fromUtf8(c.full), QString::fromUtf8(c.account)}),
                  QString::fromUtf8(c.given))
            << c.full;
    }
    EXPECT_FALSE(currentAccountNames().accountName.isEmpty());
}
