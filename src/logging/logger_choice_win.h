#pragma once
// Chooses the process-wide diagnostic logger from the user's registry switch.
#include "base/diagnostic_log.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

struct DiagnosticLogSource {
    HKEY root = HKEY_CURRENT_USER;
    std::wstring subKey = L"Software\\Quillmark";
    std::wstring valueName = L"ErrorLog";
    // Where the Quillmark\Tollgate folder goes; none: the user's application-data folder.
    std::optional<std::wstring> appDataFolder;
};

// A FileLogger writing to <application data>\Quillmark\Tollgate\Tollgate-<local time>.log
// when the switch is a REG_DWORD of 1, otherwise a NullLogger. The folder is made only for the
// FileLogger; a folder or file that cannot be made leaves a FileLogger that drops everything.
std::unique_ptr<Logger> ChooseDiagnosticLogger(const DiagnosticLogSource& source = {});

// Chooses the logger from the current user's switch and installs it; the entry function calls
// this first, before anything can write a message.
void InstallDiagnosticLogger();
