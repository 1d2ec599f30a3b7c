#include "settings/environment.h"

#include "base/utf8.h"

#include <cstdlib>

std::wstring ExpandEnvironmentReferences(std::wstring_view text, const EnvironmentLookup& lookup) {
    std::wstring result;
    result.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find(L'%', position);
        if (open == std::wstring_view::npos) {
            result.append(text.substr(position));
            break;
        }
        result.append(text.substr(position, open - position));
        const std::size_t close = text.find(L'%', open + 1);
        if (close == std::wstring_view::npos) {
            result.append(text.substr(open));
            break;
        }
        const std::wstring name(text.substr(open + 1, close - open - 1));
        std::optional<std::wstring> value;
        if (!name.empty()) {
            value = lookup(name);
        }
        if (value) {
            result += *value;
        } else {
            result.append(text.substr(open, close - open + 1));
        }
        position = close + 1;
    }
    return result;
}

std::optional<std::wstring> ProcessEnvironmentVariable(const std::wstring& name) {
    // A name with "=" or NUL would address something other than one variable.
    if (name.find_first_of(std::wstring(L"=\0", 2)) != std::wstring::npos) {
        return std::nullopt;
    }
#ifdef _WIN32
    const wchar_t* value = _wgetenv(name.c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return std::wstring(value);
#else
    const char* value = std::getenv(EncodeUtf8(name).c_str());
    if (value == nullptr) {
        return std::nullopt;
    }
    return DecodeUtf8(value);
#endif
}
