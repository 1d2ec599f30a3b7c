#include "logging/logger_choice_win.h"

#include "logging/paths.h"
#include "logging/shell_folder_win.h"

#include <shlobj.h>

namespace {

RegistrySwitchValue ReadSwitch(const DiagnosticLogSource& source) {
    RegistrySwitchValue result;
    HKEY key = nullptr;
    if (RegOpenKeyExW(source.root, source.subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return result;
    }
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, source.valueName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(&data), &size) == ERROR_SUCCESS) {
        result.read = true;
        result.type = type;
        result.size = size;
        result.value = data;
    }
    RegCloseKey(key);
    return result;
}

std::unique_ptr<Logger> CreateFileLogger(const DiagnosticLogSource& source) {
    const std::wstring appData =
        source.appDataFolder ? *source.appDataFolder : GetShellFolder(CSIDL_APPDATA);
    const std::wstring folder = DiagnosticLogFolder(appData, kMakerName, kModuleName);
    // An existing folder is fine; any other failure shows as a file that cannot be opened.
    SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);

    SYSTEMTIME now;
    GetLocalTime(&now);
    const LocalTimeFields time{now.wYear, now.wMonth,  now.wDay,
                               now.wHour, now.wMinute, now.wSecond};
    return std::make_unique<FileLogger>(folder + DiagnosticLogFileName(kModuleName, time));
}

} // namespace

std::unique_ptr<Logger> ChooseDiagnosticLogger(const DiagnosticLogSource& source) {
    if (IsDiagnosticLogSwitchOn(ReadSwitch(source))) {
        return CreateFileLogger(source);
    }
    return std::make_unique<NullLogger>();
}

void InstallDiagnosticLogger() {
    InstallLogger(ChooseDiagnosticLogger());
}
