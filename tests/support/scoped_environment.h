#pragma once

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace kelbo::testing {

// Sets (or, given nothing, unsets) environment variables for the life of
// the object, then puts back what was there.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::initializer_list<std::pair<const std::string, std::optional<std::string>>> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved_[name] = old ? std::optional<std::string>(old) : std::nullopt;
            set(name, value);
        }
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : saved_) set(name, value);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    static void set(const std::string& name, const std::optional<std::string>& value) {
        if (value) ::setenv(name.c_str(), value->c_str(), 1);
        else ::unsetenv(name.c_str());
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

}  // namespace kelbo::testing
