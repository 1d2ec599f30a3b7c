#pragma once
// Helpers of the settings tests on both sides.
#include "base/utf8.h"

#include <cstdlib>
#include <optional>
#include <string>

// Sets an environment variable for the life of the object (for the C runtime and, on
// Windows, for the platform's own expansion as well) and restores it afterwards.
class ScopedEnvironment {
public:
    ScopedEnvironment(const std::string& name, const std::wstring& value) : name_(name) {
        if (const char* old = std::getenv(name.c_str())) {
            previous_ = old;
        }
        Set(DecodeUtf8(name) + L"=" + value, EncodeUtf8(value));
    }
    ~ScopedEnvironment() {
        if (previous_) {
            Set(DecodeUtf8(name_) + L"=" + DecodeUtf8(*previous_), *previous_);
        } else {
#ifdef _WIN32
            Set(DecodeUtf8(name_) + L"=", "");
#else
            unsetenv(name_.c_str());
#endif
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Set([[maybe_unused]] const std::wstring& assignment,
             [[maybe_unused]] const std::string& value) {
#ifdef _WIN32
        _wputenv(assignment.c_str());
#else
        setenv(name_.c_str(), value.c_str(), 1);
#endif
    }

    std::string name_;
    std::optional<std::string> previous_;
};
