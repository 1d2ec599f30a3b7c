#include "layouts/resource_strings_win.h"

#include "layouts/default_layout.h"
#include "layouts/layout_parser.h"

#include <climits>
#include <new>
#include <vector>

bool ReadResourceString(UINT id, std::wstring& text, HMODULE module) {
    text.clear();
    if (module == nullptr) {
        module = GetModuleHandleW(nullptr);
    }
    std::vector<wchar_t> buffer;
    int size = 256;
    int length = 0;
    try {
        buffer.resize(static_cast<std::size_t>(size));
        length = LoadStringW(module, id, buffer.data(), size);
        if (length == 0) {
            return false;
        }
        // A result that fills the buffer may have been cut; grow until it does not.
        while (length >= size - 1) {
            if (size > INT_MAX - 256) {
                return false;
            }
            size += 256;
            buffer.resize(static_cast<std::size_t>(size));
            length = LoadStringW(module, id, buffer.data(), size);
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    text.assign(buffer.data(), static_cast<std::size_t>(length));
    return true;
}

std::wstring ReadJoinedResourceStrings(std::initializer_list<UINT> ids, bool stopAtBlank,
                                       HMODULE module) {
    std::wstring joined;
    for (UINT id : ids) {
        std::wstring text;
        ReadResourceString(id, text, module);
        if (stopAtBlank && text.find_first_not_of(L' ') == std::wstring::npos) {
            break;
        }
        joined += text;
    }
    return joined;
}

bool ToNarrow(const std::wstring& text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) {
        return true;
    }
    if (text.size() > static_cast<std::size_t>(INT_MAX)) {
        return false;
    }
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        return false;
    }
    bytes.resize(static_cast<std::size_t>(needed));
    if (WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), needed, nullptr,
                            nullptr) != needed) {
        bytes.clear();
        return false;
    }
    return true;
}

bool ToWide(const std::string& bytes, std::wstring& text) {
    text.clear();
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        return false;
    }
    const int length = static_cast<int>(bytes.size());
    const int needed = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0) {
        return false;
    }
    text.resize(static_cast<std::size_t>(needed));
    if (MultiByteToWideChar(CP_UTF8, 0, bytes.data(), length, text.data(), needed) != needed) {
        text.clear();
        return false;
    }
    return true;
}

void PrepareDefaultLayout(std::wstring& text, std::wstring& name, HMODULE module) {
    const std::wstring joined = ReadJoinedResourceStrings({160, 161, 162, 163}, true, module);
    std::string encoded;
    std::string decoded;
    text.clear();
    if (ToNarrow(joined, encoded) && DecodeBase64(encoded, decoded)) {
        ToWide(decoded, text);
    }
    name = ReadLayoutTextName(text);
}

std::wstring ResourceText(UINT id) {
    std::wstring text;
    ReadResourceString(id, text);
    return text;
}
