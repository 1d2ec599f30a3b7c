#pragma once
// When the keyboard test page writes its queued event log lines: once no key input waits (a
// posted UWM_WRITE_LOG), or at once when the oldest line has waited the delay limit.
#include "input/key_record_inbox.h"
#include "view/log_viewer_win.h"

#include <windows.h>

class LogWritePacer {
public:
    // Key records waiting in inbox hold the write back.
    LogWritePacer(LogViewer& log, const KeyRecordInbox& inbox) : log_(log), inbox_(inbox) {}

    // The window that gets UWM_WRITE_LOG (the page).
    void SetWindow(HWND window) { window_ = window; }
    // After key events: writes now, or posts UWM_WRITE_LOG once.
    void ScheduleLogWrite();
    // UWM_WRITE_LOG.
    void OnWriteLog();

private:
    void PostOrWrite();

    LogViewer& log_;
    const KeyRecordInbox& inbox_;
    HWND window_ = nullptr;
    bool posted_ = false;
};
