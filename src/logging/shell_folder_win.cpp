#include "logging/shell_folder_win.h"

#include "base/diagnostic_log.h"

#include <shlobj.h>
#include <windows.h>

std::wstring GetShellFolder(int csidl, bool* ok) {
    wchar_t buffer[MAX_PATH] = {};
    const HRESULT result = SHGetFolderPathW(nullptr, csidl, nullptr, 0, buffer);
    const bool found = result == S_OK;
    if (ok != nullptr) {
        *ok = found;
    }
    if (found) {
        return buffer;
    }
    if (result == S_FALSE || result == E_FAIL) {
        LogMessage(L"CSIDL valid (%d), but folder does not exist.\n", csidl);
    } else if (result == E_INVALIDARG) {
        LogMessage(L"CSIDL invalid (%d).\n", csidl);
    }
    return std::wstring();
}
