#include "layouts/layout_library.h"

#include "layouts/default_layout.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

bool HasExtension(const std::wstring& fileName, const std::wstring& extension) {
    if (fileName.size() < extension.size()) {
        return false;
    }
    const auto tail = fileName.substr(fileName.size() - extension.size());
    return std::equal(tail.begin(), tail.end(), extension.begin(), [](wchar_t a, wchar_t b) {
        return (a >= L'A' && a <= L'Z' ? a - L'A' + L'a' : a) == b;
    });
}

// Layout text, and keyboard descriptions that are converted when loaded; test plans are JSON
// too but describe no keyboard.
bool HasLayoutExtension(const std::wstring& fileName) {
    return HasExtension(fileName, L".kbl") ||
           (HasExtension(fileName, L".json") && !IsPlanFileName(fileName));
}

// The code units of a character as UTF-16 would hold them.
void AppendUtf16(std::u16string& units, wchar_t c) {
    const auto value = static_cast<unsigned long>(c);
    if (value > 0xFFFF && value <= 0x10FFFF) {
        units.push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
    } else {
        units.push_back(static_cast<char16_t>(value));
    }
}

std::u16string Utf16Units(const std::wstring& text) {
    std::u16string units;
    units.reserve(text.size());
    for (wchar_t c : text) {
        AppendUtf16(units, c);
    }
    return units;
}

} // namespace

bool IsPlanFileName(const std::wstring& path) {
    return HasExtension(path, L".plan.json");
}

namespace {

// The files of a folder (directories skipped) whose names pass wanted, as full paths in the
// order of the enumeration.
template <typename Wanted>
std::vector<std::wstring> FindFiles(const std::wstring& folder, Wanted wanted) {
    std::vector<std::wstring> paths;
    if (folder.empty()) {
        return paths;
    }
    std::wstring prefix = folder;
    if (prefix.back() != L'\\' && prefix.back() != L'/') {
        prefix.push_back(static_cast<wchar_t>(std::filesystem::path::preferred_separator));
    }
    std::error_code error;
    std::filesystem::directory_iterator it(std::filesystem::path(folder), error);
    const std::filesystem::directory_iterator end;
    for (; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) {
            continue;
        }
        const std::wstring name = it->path().filename().wstring();
        if (wanted(name)) {
            paths.push_back(prefix + name);
        }
    }
    return paths;
}

} // namespace

std::vector<std::wstring> FindLayoutFiles(const std::wstring& folder) {
    return FindFiles(folder, HasLayoutExtension);
}

std::vector<std::wstring> FindPlanFiles(const std::wstring& folder) {
    std::vector<std::wstring> paths = FindFiles(folder, IsPlanFileName);
    std::sort(paths.begin(), paths.end());
    return paths;
}

bool LayoutNameLess(const std::wstring& a, const std::wstring& b) {
    if constexpr (sizeof(wchar_t) == 2) {
        return a < b;
    } else {
        return Utf16Units(a) < Utf16Units(b);
    }
}

void LayoutLibrary::Build(const std::wstring& folder, const std::wstring& defaultName,
                          const NameReader& readName) {
    entries_.clear();
    entries_.push_back({kDefaultLayoutMarker, defaultName});
    for (const auto& path : FindLayoutFiles(folder)) {
        std::wstring name = readName(path);
        if (!name.empty()) {
            entries_.push_back({path, std::move(name)});
        }
    }
    std::sort(entries_.begin(), entries_.end(), [](const LayoutEntry& a, const LayoutEntry& b) {
        return LayoutNameLess(a.name, b.name);
    });
}

int LayoutLibrary::Refresh(const std::wstring& folder, const std::wstring& defaultName,
                           const NameReader& readName, const std::wstring& chosenPath) {
    const int chosen = IndexOfPath(chosenPath);
    const LayoutEntry kept =
        chosen >= 0 ? entries_[static_cast<std::size_t>(chosen)] : LayoutEntry{};
    Build(folder, defaultName, readName);
    if (chosen >= 0 && IndexOfPath(chosenPath) < 0) {
        entries_.insert(std::upper_bound(entries_.begin(), entries_.end(), kept,
                                         [](const LayoutEntry& a, const LayoutEntry& b) {
                                             return LayoutNameLess(a.name, b.name);
                                         }),
                        kept);
    }
    return IndexOfPath(chosenPath);
}

int LayoutLibrary::IndexOfPath(const std::wstring& path) const {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].path == path) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

const LayoutEntry* LayoutLibrary::At(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= entries_.size()) {
        return nullptr;
    }
    return &entries_[static_cast<std::size_t>(index)];
}
