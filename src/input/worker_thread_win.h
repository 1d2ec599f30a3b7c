#pragma once
// A small worker-thread framework: SimpleThread (start, stop, wait for the stop event),
// Thread (waits on several handles and keeps its message queue pumped) and the lock-key
// monitor built on it.
#include <windows.h>

#include <atomic>
#include <vector>

class SimpleThread {
public:
    SimpleThread();
    SimpleThread(const SimpleThread&) = delete;
    SimpleThread& operator=(const SimpleThread&) = delete;

    // Starts the thread unless one is still running (then false).
    virtual bool Start();
    // Asks the thread to end and waits up to timeout ms; true when it has ended. The
    // thread handle stays open.
    virtual bool Stop(DWORD timeout);
    // The thread's work: waits for the stop event.
    virtual DWORD Run();
    virtual ~SimpleThread();

    bool IsRunning() const;
    HANDLE ThreadHandle() const { return thread_; }

protected:
    HANDLE StopEvent() const { return stopEvent_; }
    // For destructors of derived classes: the thread must have ended before the members it
    // uses are destroyed, and while the object is still whole.
    void StopAndWait();

private:
    static unsigned __stdcall Entry(void* self);

    HANDLE thread_ = nullptr;
    HANDLE stopEvent_ = nullptr;
};

class Thread : public SimpleThread {
public:
    Thread();
    ~Thread() override;

    // Waits on every wait handle and on messages until the stop event or a failed wait.
    DWORD Run() override;

protected:
    virtual void OnHandleSignaled(HANDLE handle);
    virtual void OnWaitTimeout() {}
    virtual void OnWaitFailed() {}
    virtual void OnStopSignaled() {}

    // Subclasses add their handles before Start; the stop event is always first.
    void AddWaitHandle(HANDLE handle) { waitHandles_.push_back(handle); }
    void SetWaitTimeout(DWORD timeout) { waitTimeout_ = timeout; }

private:
    DWORD waitTimeout_ = INFINITE;
    std::vector<HANDLE> waitHandles_;
};

// Reads a toggle key's state with GetKeyState on a thread of its own, one query at a time.
class ToggleKeyMonitorThread : public Thread {
public:
    using KeyStateFunction = SHORT(WINAPI*)(int virtualKey);

    // keyState stands in for GetKeyState in tests.
    explicit ToggleKeyMonitorThread(KeyStateFunction keyState = ::GetKeyState);
    ~ToggleKeyMonitorThread() override;

    // True when the toggle bit is set. Asks the monitor thread and waits for its answer; a
    // monitor that is not running (never started, or ended after a failed wait) is never
    // waited on: the state is read on the calling thread instead.
    bool QueryToggleState(int virtualKey);

    HANDLE RequestEvent() const { return requestEvent_; }
    HANDLE DoneEvent() const { return doneEvent_; }

protected:
    void OnHandleSignaled(HANDLE handle) override;

private:
    bool ReadDirectly(int virtualKey) const { return (keyState_(virtualKey) & 1) != 0; }

    KeyStateFunction keyState_;
    HANDLE requestEvent_ = nullptr; // manual reset; set by the asking thread
    HANDLE doneEvent_ = nullptr;    // manual reset; set by the monitor with the answer
    std::atomic<int> virtualKey_{0};
    std::atomic<SHORT> result_{0};
};
