#pragma once
// The input thread: raw keyboard input is registered to a message-only window of a thread of
// its own, at raised priority, so that each record is time-stamped the moment it arrives,
// however busy the window that handles it is (drawing, writing a burst's log lines, a modal
// box). The thread stamps the record (performance counter first), decides whether it may be
// taken (BackgroundKeyFilter), puts it in the handling window's inbox and, when the inbox had
// nothing waiting, posts that window one UWM_KEY_RECORDS. It never waits for that window.
#include "input/background_key_filter.h"
#include "input/key_record_inbox.h"
#include "input/worker_thread_win.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class InputThread : public Thread {
public:
    // The inbox must outlive the thread.
    explicit InputThread(KeyRecordInbox& inbox);
    ~InputThread() override;

    // Starts the thread and waits until its window exists; records are announced to
    // target. False when the thread or its window could not be made.
    bool Start(HWND target);
    using Thread::Start;
    // Ends the thread (its registration goes with its window) and waits for it.
    void Shutdown();

    // Register the thread's window for raw keyboard input / remove the registration; the work
    // is done on the input thread, the caller waits for it. Each writes its trace line and, on
    // failure, the error code; false on failure.
    bool EnableRawInput();
    bool DisableRawInput();

    // What the thread does with each record it reads: the privacy decision, the inbox, the
    // notice. timeUs is when the record arrived. Any thread may call it (tests and the
    // timing program hand records in here).
    void Deliver(const RawKeyRecord& record, std::int64_t timeUs, bool background);
    // Deliver with the time now.
    void OnRecord(const RAWINPUT& record, bool background = false);

    // The handling window released keys it could not see go up: after handling `handled`
    // records it holds only held (see BackgroundKeyFilter::KeepDownOnly).
    void KeepDownOnly(const std::vector<ScanCode>& held, std::uint64_t handled);

    HWND Window() const { return window_.load(); }

protected:
    DWORD Run() override;

private:
    static bool RegisterWindowClass();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnInput(WPARAM inputCode, LPARAM rawInputHandle);
    bool Register(bool on, const wchar_t* trace);

    KeyRecordInbox& inbox_;
    std::mutex filterLock_;
    BackgroundKeyFilter filter_; // guarded by filterLock_
    std::atomic<HWND> target_{nullptr};
    std::atomic<HWND> window_{nullptr}; // created and destroyed by the input thread
    HANDLE ready_ = nullptr;
};
