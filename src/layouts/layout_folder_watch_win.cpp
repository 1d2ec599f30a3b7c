#include "layouts/layout_folder_watch_win.h"

#include "base/diagnostic_log.h"

bool LayoutFolderWatch::Start(const std::wstring& folder, HWND target, UINT message) {
    Stop();
    change_ = ::FindFirstChangeNotificationW(
        folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (change_ == INVALID_HANDLE_VALUE) {
        LogMessage(L"Unable to watch the layout folder \"%ls\" (0x%08x).\n", folder.c_str(),
                   static_cast<unsigned>(::GetLastError()));
        return false;
    }
    stop_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (stop_ == nullptr) {
        ::FindCloseChangeNotification(change_);
        change_ = INVALID_HANDLE_VALUE;
        return false;
    }
    thread_ = std::thread([this, target, message] { Run(target, message); });
    return true;
}

void LayoutFolderWatch::Stop() {
    if (thread_.joinable()) {
        ::SetEvent(stop_);
        thread_.join();
    }
    if (change_ != INVALID_HANDLE_VALUE) {
        ::FindCloseChangeNotification(change_);
        change_ = INVALID_HANDLE_VALUE;
    }
    if (stop_ != nullptr) {
        ::CloseHandle(stop_);
        stop_ = nullptr;
    }
}

void LayoutFolderWatch::Run(HWND target, UINT message) {
    const HANDLE handles[2] = {stop_, change_};
    for (;;) {
        const DWORD woken = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (woken != WAIT_OBJECT_0 + 1) {
            return; // stopped, or the wait itself failed
        }
        ::PostMessageW(target, message, 0, 0);
        if (!::FindNextChangeNotification(change_)) {
            return;
        }
    }
}
