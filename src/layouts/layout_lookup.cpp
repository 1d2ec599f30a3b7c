#include "layouts/layout_lookup.h"

#include "layouts/default_layout.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_library.h"

#include <filesystem>
#include <system_error>

namespace {

bool IsFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool IsDefault(const std::wstring& reference) {
    if (reference == kDefaultLayoutMarker) {
        return true;
    }
    const std::wstring word = L"default";
    if (reference.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const wchar_t c = reference[i];
        if ((c >= L'A' && c <= L'Z' ? c - L'A' + L'a' : c) != word[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::wstring FindNamedLayout(const std::wstring& reference,
                             const std::vector<std::wstring>& folders) {
    if (reference.empty()) {
        return std::wstring();
    }
    if (IsDefault(reference)) {
        return kDefaultLayoutMarker;
    }
    try {
        const std::filesystem::path path(reference);
        if (IsFile(path)) {
            return reference;
        }
        // A path written on another machine (either kind of separator) may still name a
        // file that this machine keeps in its layout folder.
        const std::size_t slash = reference.find_last_of(L"\\/");
        const std::filesystem::path fileName(
            slash == std::wstring::npos ? reference : reference.substr(slash + 1));
        for (const std::wstring& folder : folders) {
            const std::filesystem::path inFolder = std::filesystem::path(folder) / fileName;
            if (!folder.empty() && !fileName.empty() && IsFile(inFolder)) {
                return inFolder.wstring();
            }
        }
    } catch (const std::exception&) {
        // A reference the platform cannot take for a path may still be a layout's name.
    }
    for (const std::wstring& folder : folders) {
        for (const std::wstring& file : FindLayoutFiles(folder)) {
            if (ReadAnyLayoutName(file) == reference) {
                return file;
            }
        }
    }
    return std::wstring();
}
