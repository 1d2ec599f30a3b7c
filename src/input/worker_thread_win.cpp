#include "input/worker_thread_win.h"

#include "base/diagnostic_log.h"

#include <cstdint>
#include <process.h>

SimpleThread::SimpleThread() : stopEvent_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {}

SimpleThread::~SimpleThread() {
    StopAndWait();
    if (thread_ != nullptr) {
        CloseHandle(thread_);
    }
    if (stopEvent_ != nullptr) {
        CloseHandle(stopEvent_);
    }
}

bool SimpleThread::IsRunning() const {
    return thread_ != nullptr && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT;
}

void SimpleThread::StopAndWait() {
    if (IsRunning()) {
        SetEvent(stopEvent_);
        WaitForSingleObject(thread_, INFINITE);
    }
}

unsigned __stdcall SimpleThread::Entry(void* self) {
    return static_cast<unsigned>(static_cast<SimpleThread*>(self)->Run());
}

bool SimpleThread::Start() {
    if (thread_ != nullptr) {
        if (WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT) {
            return false;
        }
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    // A stop request the last thread never took must not end the new one at once.
    if (stopEvent_ != nullptr) {
        ResetEvent(stopEvent_);
    }
    const std::uintptr_t handle =
        _beginthreadex(nullptr, 0, &SimpleThread::Entry, this, 0, nullptr);
    thread_ = reinterpret_cast<HANDLE>(handle);
    return thread_ != nullptr;
}

bool SimpleThread::Stop(DWORD timeout) {
    if (thread_ == nullptr || WaitForSingleObject(thread_, 0) != WAIT_TIMEOUT) {
        return true;
    }
    SetEvent(stopEvent_);
    return WaitForSingleObject(thread_, timeout) == WAIT_OBJECT_0;
}

DWORD SimpleThread::Run() {
    if (stopEvent_ == nullptr) {
        return 0xFFFFFFFF;
    }
    WaitForSingleObject(stopEvent_, INFINITE);
    return 0;
}

Thread::Thread() {
    waitHandles_.push_back(StopEvent());
}

Thread::~Thread() {
    // The loop reads the handle array; it must have ended before the array goes.
    StopAndWait();
}

void Thread::OnHandleSignaled(HANDLE) {}

DWORD Thread::Run() {
    for (;;) {
        const DWORD count = static_cast<DWORD>(waitHandles_.size());
        const DWORD result =
            MsgWaitForMultipleObjects(count, waitHandles_.data(), FALSE, waitTimeout_, QS_ALLINPUT);
        bool leave = false;
        if (result == WAIT_OBJECT_0) {
            OnStopSignaled();
            leave = true;
        } else if (result > WAIT_OBJECT_0 && result < WAIT_OBJECT_0 + count) {
            OnHandleSignaled(waitHandles_[result - WAIT_OBJECT_0]);
        } else if (result == WAIT_OBJECT_0 + count) {
            // A message is waiting: pumped below.
        } else if (result == WAIT_FAILED) {
            LogMessage(L"Wait failed (0x%08x).\n", static_cast<unsigned>(GetLastError()));
            OnWaitFailed();
            leave = true;
        } else if (result == WAIT_TIMEOUT) {
            OnWaitTimeout();
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (leave) {
            return 0;
        }
    }
}

ToggleKeyMonitorThread::ToggleKeyMonitorThread(KeyStateFunction keyState)
    : keyState_(keyState != nullptr ? keyState : ::GetKeyState),
      requestEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      doneEvent_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    AddWaitHandle(requestEvent_);
}

ToggleKeyMonitorThread::~ToggleKeyMonitorThread() {
    // Never close an event the monitor still waits on.
    StopAndWait();
    if (requestEvent_ != nullptr) {
        CloseHandle(requestEvent_);
    }
    if (doneEvent_ != nullptr) {
        CloseHandle(doneEvent_);
    }
}

void ToggleKeyMonitorThread::OnHandleSignaled(HANDLE handle) {
    if (handle != requestEvent_) {
        return;
    }
    result_ = keyState_(virtualKey_);
    ResetEvent(requestEvent_);
    SetEvent(doneEvent_);
}

bool ToggleKeyMonitorThread::QueryToggleState(int virtualKey) {
    if (requestEvent_ == nullptr || doneEvent_ == nullptr || !IsRunning()) {
        return ReadDirectly(virtualKey);
    }
    virtualKey_ = virtualKey;
    SetEvent(requestEvent_);
    // The thread handle is waited on too: a monitor that ends meanwhile cannot hang us.
    const HANDLE handles[2] = {doneEvent_, ThreadHandle()};
    if (WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0) {
        ResetEvent(doneEvent_);
        return (result_ & 1) != 0;
    }
    ResetEvent(requestEvent_);
    return ReadDirectly(virtualKey);
}
