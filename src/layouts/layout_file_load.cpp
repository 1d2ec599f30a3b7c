#include "layouts/layout_file_load.h"

#include "base/diagnostic_log.h"
#include "base/utf8.h"
#include "layouts/import_file.h"
#include "layouts/layout_import.h"
#include "logging/printable_text.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::filesystem::path PathOf(const std::wstring& path) {
    return std::filesystem::path(path);
}

std::wstring FileName(const std::wstring& path) {
    try {
        return PathOf(path).filename().wstring();
    } catch (const std::exception&) {
        return path;
    }
}

// The converted layout of a .json file; false with the reason in result.error.
bool ConvertJsonFile(const std::wstring& path, ImportResult& result) {
    std::ifstream stream(PathOf(path), std::ios::binary);
    if (!stream.is_open()) {
        result.error = "Unable to open file.";
        return false;
    }
    // One byte more than the importer accepts is enough to refuse a larger file.
    std::string bytes(MaxImportBytes() + 1, '\0');
    stream.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(stream.gcount()));
    result = ImportLayoutFile(bytes, PathOf(path), ImportOptions());
    return result.ok;
}

} // namespace

bool IsJsonLayoutFile(const std::wstring& path) {
    static const std::wstring extension = L".json";
    if (path.size() < extension.size()) {
        return false;
    }
    for (std::size_t i = 0; i < extension.size(); ++i) {
        wchar_t c = path[path.size() - extension.size() + i];
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
        if (c != extension[i]) {
            return false;
        }
    }
    return true;
}

bool LoadAnyLayoutFile(const std::wstring& path, int keyDimensions, KeyboardLayout& layout,
                       KeyNameTable& names, LayoutLoadFailure* failure) {
    if (!IsJsonLayoutFile(path)) {
        return LoadLayoutFile(path, keyDimensions, layout, names, nullptr, failure);
    }
    LogMessage(L"Loading keyboard layout \"%ls\"...\n", path.c_str());
    ImportResult result;
    if (!ConvertJsonFile(path, result)) {
        const std::wstring reason = DecodeUtf8(result.error);
        LogMessage(L"   Error:  %ls\n", reason.c_str());
        layout.Clear();
        if (failure != nullptr) {
            *failure = {0, reason};
        }
        return false;
    }
    for (const std::string& note : result.notes) {
        LogMessage(L"   %ls\n", DecodeUtf8(note).c_str());
    }
    std::istringstream text(result.text);
    return LoadLayoutStream(text, keyDimensions, layout, names, nullptr, failure);
}

std::wstring ReadAnyLayoutName(const std::wstring& path) {
    if (!IsJsonLayoutFile(path)) {
        return ReadLayoutName(path);
    }
    ImportResult result;
    if (ConvertJsonFile(path, result)) {
        return DecodeUtf8(result.name);
    }
    return FileName(path);
}

std::wstring LayoutFailureLine(const std::wstring& path, const LayoutLoadFailure& failure) {
    std::wstring line = L"Layout \"" + FileName(path) + L"\" not loaded: ";
    if (failure.line > 0) {
        line += L"line " + std::to_wstring(failure.line) + L": ";
    }
    // The file name and a reason quoting the file's text go into one line of the event log.
    return PrintableText(line + (failure.reason.empty() ? L"unknown reason" : failure.reason));
}
