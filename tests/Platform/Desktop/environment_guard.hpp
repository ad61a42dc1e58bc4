#pragma once
// Sets or clears environment variables for one test and puts them back afterwards.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

class EnvironmentGuard {
public:
    ~EnvironmentGuard() {
        for (const auto& [name, value] : m_saved) apply(name, value);
    }
    void set(const std::string& name, const std::optional<std::string>& value) {
        if (const char* old = std::getenv(name.c_str()); !m_saved.count(name))
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> m_saved;
};
