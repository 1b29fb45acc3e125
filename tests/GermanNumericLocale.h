#pragma once

#include <clocale>
#include <cstdlib>
#include <string>

namespace corvane::test {

// Switches LC_NUMERIC to German (decimal comma) for one scope, the way Qt
// leaves it for a user with a German environment. The build compiles its own
// copy of the locale, so this works on machines where it isn't installed.
class GermanNumericLocale {
public:
    GermanNumericLocale() {
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        restore_ = previous ? previous : "C";
        active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
#ifdef CORVANE_TEST_LOCALE_DIR
        if (!active_) {
            // glibc reads LOCPATH on every setlocale call.
            const char* oldPath = std::getenv("LOCPATH");
            const std::string saved = oldPath ? oldPath : "";
            ::setenv("LOCPATH", CORVANE_TEST_LOCALE_DIR, 1);
            active_ = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
            if (oldPath)
                ::setenv("LOCPATH", saved.c_str(), 1);
            else
                ::unsetenv("LOCPATH");
        }
#endif
    }
    ~GermanNumericLocale() { std::setlocale(LC_NUMERIC, restore_.c_str()); }
    GermanNumericLocale(const GermanNumericLocale&) = delete;
    GermanNumericLocale& operator=(const GermanNumericLocale&) = delete;

    // Whether a German LC_NUMERIC is in force (its decimal point is a comma).
    bool active() const { return active_ && *std::localeconv()->decimal_point == ','; }

private:
    std::string restore_;
    bool active_ = false;
};

}  // namespace corvane::test
