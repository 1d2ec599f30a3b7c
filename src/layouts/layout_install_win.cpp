#include "layouts/layout_install_win.h"

#include "base/diagnostic_log.h"

#include <windows.h>

#include <vector>

std::wstring ProgramFilePath() {
    // GetModuleFileNameW cuts long paths without saying so other than by filling the
    // buffer; grow it until the path fits.
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::vector<wchar_t> buffer(size);
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) {
            LogMessage(L"ProgramFilePath: GetModuleFileNameW failed (%08x).\n", GetLastError());
            return std::wstring();
        }
        if (length < size) {
            return std::wstring(buffer.data(), length);
        }
    }
    return std::wstring();
}

LayoutInstallOutcome InstallLayoutsBesideProgram(const std::wstring& layoutFolder) {
    const std::wstring program = ProgramFilePath();
    if (program.empty() || layoutFolder.empty()) {
        return LayoutInstallOutcome{LayoutInstallResult::NothingShipped, 0};
    }
    return InstallShippedLayouts(ShippedLayoutFolder(program), layoutFolder);
}
