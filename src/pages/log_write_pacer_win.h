#pragma once
// When the keyboard test page writes its queued event log lines: once no key input waits (a
// posted UWM_WRITE_LOG), or at once when the oldest line has waited the delay limit; and how
// waiting raw input is stamped before a key event's work delays it.
#include "input/raw_input_win.h"
#include "view/log_viewer_win.h"

#include <windows.h>

#include <cstdint>

class LogWritePacer {
public:
    // The messages go to the input's target window (the page).
    LogWritePacer(LogViewer& log, RawInputReader& input) : log_(log), input_(input) {}

    // After a key event: writes now, or posts UWM_WRITE_LOG once.
    void ScheduleLogWrite();
    // Decodes the raw input already waiting, at most once per millisecond tick.
    void StampWaitingInput();
    // UWM_WRITE_LOG.
    void OnWriteLog();

private:
    void PostOrWrite();

    LogViewer& log_;
    RawInputReader& input_;
    bool posted_ = false;
    bool looked_ = false;
    std::uint32_t lastLook_ = 0;
};
