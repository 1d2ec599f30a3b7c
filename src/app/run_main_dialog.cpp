#include "app/run_main_dialog.h"

#include "app/main_dlg.h"
#include "base/diagnostic_log.h"
#include "resources/resource.h"
#include "ui/message_loop.h"

#include <windows.h>

#include <memory>

void LogMachineFacts() {
    OSVERSIONINFOEXW version{};
    version.dwOSVersionInfoSize = sizeof(version);
#ifdef _MSC_VER
#pragma warning(suppress : 4996) // the version is only written to the log
#endif
    const BOOL gotVersion = ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version));
    if (gotVersion) {
        LogMessage(
            L"Windows version %d.%d.%d \"%ls\" (%d.%d), suite 0x%x, product 0x%x.\n",
            static_cast<int>(version.dwMajorVersion), static_cast<int>(version.dwMinorVersion),
            static_cast<int>(version.dwBuildNumber), version.szCSDVersion,
            static_cast<int>(version.wServicePackMajor),
            static_cast<int>(version.wServicePackMinor), static_cast<unsigned>(version.wSuiteMask),
            static_cast<unsigned>(version.wProductType));
    } else {
        LogMessage(L"Unable to get windows version (0x%08x).\n",
                   static_cast<unsigned>(::GetLastError()));
    }

    LARGE_INTEGER frequency;
    if (::QueryPerformanceFrequency(&frequency)) {
        LogMessage(L"Perf counter frequency:  %lld/sec.\n",
                   static_cast<long long>(frequency.QuadPart));
    }
}

void PinThreadToSecondProcessor() {
    DWORD_PTR processMask = 0;
    DWORD_PTR systemMask = 0;
    if (!::GetProcessAffinityMask(::GetCurrentProcess(), &processMask, &systemMask) ||
        (processMask & 2) == 0) {
        return;
    }
    LogMessage(L"Setting thread affinity...  ");
    if (::SetThreadAffinityMask(::GetCurrentThread(), 2) != 0) {
        LogMessage(L"Ok.\n");
    } else {
        LogMessage(L"Failed (0x%08x).\n", static_cast<unsigned>(::GetLastError()));
    }
}

int RunMainDialog(int showCommand) {
    return RunMainDialog(showCommand, IDD_MAIN);
}

int RunMainDialog(int showCommand, unsigned templateId) {
    LogMachineFacts();
    PinThreadToSecondProcessor();

    // Registers the rich-edit window class the event log control needs.
    HMODULE richEdit = ::LoadLibraryW(L"RICHED20.DLL");

    auto loop = std::make_unique<CMessageLoop>();
    Module().AddMessageLoop(loop.get());

    auto mainDialog = std::make_unique<CMainDlg>();
    HWND window = mainDialog->Create(templateId);
    if (window == nullptr) {
        LogMessage(L"Main dialog creation failed!\n");
        mainDialog.reset();
        // The map must not keep a loop that is about to be destroyed.
        Module().RemoveMessageLoop();
        return 0;
    }
    ::ShowWindow(window, showCommand);

    const int exitCode = loop->Run();

    Module().RemoveMessageLoop();
    if (richEdit != nullptr) {
        ::FreeLibrary(richEdit);
    }
    mainDialog.reset();
    return exitCode;
}
