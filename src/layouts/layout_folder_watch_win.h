#pragma once
// Tells a window when the layout folder changes (a file added, removed, renamed or rewritten),
// so that the layout list follows the folder while the program runs. A thread of its own waits
// for the folder's change notification and posts the window a message; the window rebuilds the
// list on its own thread.
#include <windows.h>

#include <string>
#include <thread>

class LayoutFolderWatch {
public:
    LayoutFolderWatch() = default;
    LayoutFolderWatch(const LayoutFolderWatch&) = delete;
    LayoutFolderWatch& operator=(const LayoutFolderWatch&) = delete;
    ~LayoutFolderWatch() { Stop(); }

    // Watches folder (a watch already running is stopped first); false, with a diagnostic
    // message, when the folder cannot be watched (it does not exist, for one).
    bool Start(const std::wstring& folder, HWND target, UINT message);
    // Ends the watch and waits for its thread.
    void Stop();
    bool Watching() const { return thread_.joinable(); }

private:
    void Run(HWND target, UINT message);

    HANDLE change_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    std::thread thread_;
};
