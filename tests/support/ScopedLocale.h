#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets LC_ALL, which chooses the language of messages and of language
// variants of files, for the object's lifetime; "C" gives English.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* locale) {
        if (const char* old = std::getenv("LC_ALL")) {
            m_old = old;
        }
        ::setenv("LC_ALL", locale, 1);
    }
    ~ScopedLocale() { m_old ? ::setenv("LC_ALL", m_old->c_str(), 1) : ::unsetenv("LC_ALL"); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

private:
    std::optional<std::string> m_old;
};
