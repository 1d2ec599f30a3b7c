#include "logging/paths.h"

#include "base/diagnostic_log.h"

namespace {

constexpr std::uint32_t kRegDword = 4;
constexpr std::size_t kFileNameCapacity = 255; // characters, terminator included

} // namespace

void AppendBackslash(std::wstring& path) {
    if (path.empty() || path.back() != L'\\') {
        path.push_back(L'\\');
    }
}

std::wstring DiagnosticLogFolder(std::wstring appDataFolder, const std::wstring& maker,
                                 const std::wstring& module) {
    AppendBackslash(appDataFolder);
    appDataFolder += maker;
    appDataFolder += L'\\';
    appDataFolder += module;
    AppendBackslash(appDataFolder);
    return appDataFolder;
}

std::wstring DiagnosticLogFileName(const std::wstring& module, const LocalTimeFields& time) {
    std::wstring name = FormatWide(L"%ls-%04d%02d%02d-%02d%02d%02d.log", module.c_str(), time.year,
                                   time.month, time.day, time.hour, time.minute, time.second);
    if (name.size() >= kFileNameCapacity) {
        name.resize(kFileNameCapacity - 1);
    }
    return name;
}

bool IsDiagnosticLogSwitchOn(const RegistrySwitchValue& value) {
    return value.read && value.type == kRegDword && value.size == 4 && value.value == 1;
}
