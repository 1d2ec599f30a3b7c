#include "settings/profile_win.h"

#include "settings/settings_store.h"

#include <shlobj.h>
#include <windows.h>

#include <vector>

void ExpandEnvironment(std::wstring& text) {
    if (text.empty()) {
        return;
    }
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (size == 0) {
        return;
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size) + 1);
    const DWORD written =
        ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (written == 0 || written > buffer.size()) {
        return;
    }
    text.assign(buffer.data());
}

const std::wstring& SettingsFilePath() {
    // Expanded without a fixed-size buffer, so a long profile path is not cut short.
    static const std::wstring path = [] {
        std::wstring text = L"%APPDATA%\\Quillmark\\Tapwise.ini";
        ::ExpandEnvironment(text);
        return text;
    }();
    return path;
}

std::wstring WinProfile::ReadText(const wchar_t* section, const wchar_t* key,
                                  const wchar_t* defaultText) {
    wchar_t buffer[1024] = {};
    const DWORD length =
        GetPrivateProfileStringW(section, key, defaultText, buffer, 1024, path_.c_str());
    return std::wstring(buffer, length);
}

std::int32_t WinProfile::ReadInt(const wchar_t* section, const wchar_t* key,
                                 std::int32_t defaultValue) {
    return static_cast<std::int32_t>(
        GetPrivateProfileIntW(section, key, defaultValue, path_.c_str()));
}

namespace {

void PrepareNewFile(const std::wstring& path) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return;
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 0) {
        const std::wstring folder = path.substr(0, slash);
        if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
            SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        }
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return; // the write that follows reports the reason
    }
    const unsigned char byteOrderMark[] = {0xFF, 0xFE};
    DWORD written = 0;
    WriteFile(file, byteOrderMark, sizeof byteOrderMark, &written, nullptr);
    CloseHandle(file);
}

} // namespace

bool WinProfile::WriteText(const wchar_t* section, const wchar_t* key, const std::wstring& value,
                           std::uint32_t& error) {
    PrepareNewFile(path_);
    if (!WritePrivateProfileStringW(section, key, value.c_str(), path_.c_str())) {
        error = GetLastError();
        return false;
    }
    return true;
}

void WinProfile::ExpandEnvironment(std::wstring& text) {
    ::ExpandEnvironment(text);
}

bool LoadSettings() {
    WinProfile profile(SettingsFilePath());
    return LoadSettings(profile, Settings());
}

bool SaveSettings(std::uint32_t& error) {
    WinProfile profile(SettingsFilePath());
    return SaveSettings(profile, Settings(), nullptr, &error);
}
