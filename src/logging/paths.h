#pragma once
// Path helpers and the location rules of the diagnostic log file.
#include <cstdint>
#include <string>

// Makes the path end in one backslash: "" becomes "\", "C:\x" becomes "C:\x\", "C:\x\" stays.
void AppendBackslash(std::wstring& path);

inline constexpr wchar_t kMakerName[] = L"Quillmark";
inline constexpr wchar_t kModuleName[] = L"Tollgate";

// <application-data folder>\<maker>\<module>\ with a trailing backslash. An empty
// application-data folder gives \<maker>\<module>\ at the root of the current drive.
std::wstring DiagnosticLogFolder(std::wstring appDataFolder, const std::wstring& maker,
                                 const std::wstring& module);

struct LocalTimeFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// <module>-YYYYMMDD-HHMMSS.log, cut to 254 characters.
std::wstring DiagnosticLogFileName(const std::wstring& module, const LocalTimeFields& time);

// What a query of the 4-byte registry switch returned.
struct RegistrySwitchValue {
    bool read = false;       // the key opened and the query succeeded
    std::uint32_t type = 0;  // registry value type (REG_DWORD is 4)
    std::uint32_t size = 0;  // bytes the value holds
    std::uint32_t value = 0; // the bytes read, little-endian
};

// Only a REG_DWORD of exactly 1 switches the diagnostic log file on.
bool IsDiagnosticLogSwitchOn(const RegistrySwitchValue& value);
