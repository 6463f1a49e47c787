#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable for the object's lifetime, then puts back what was there.
class ScopedVariable {
public:
    ScopedVariable(std::string name, const std::string& value) : m_name(std::move(name)) {
        if (const char* old = std::getenv(m_name.c_str())) {
            m_old = old;
        }
        ::setenv(m_name.c_str(), value.c_str(), 1);
    }
    // Unset while it lives.
    ScopedVariable(std::string name, std::nullopt_t) : m_name(std::move(name)) {
        if (const char* old = std::getenv(m_name.c_str())) {
            m_old = old;
        }
        ::unsetenv(m_name.c_str());
    }
    ~ScopedVariable() {
        m_old ? ::setenv(m_name.c_str(), m_old->c_str(), 1) : ::unsetenv(m_name.c_str());
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

// Sets LC_ALL, the language of messages and of files' language variants; "C" gives English.
class ScopedLocale : ScopedVariable {
public:
    explicit ScopedLocale(const char* locale) : ScopedVariable("LC_ALL", locale) {}
};
