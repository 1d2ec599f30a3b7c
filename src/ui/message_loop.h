#pragma once
// The user-interface thread's message loop with message filters and idle handlers, and the
// module object that maps thread ids to loops.
#include <windows.h>

#include <map>
#include <vector>

class CMessageFilter {
public:
    // true: the message is consumed and is neither translated nor dispatched.
    virtual BOOL PreTranslateMessage(MSG* message) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
public:
    // The loop does not own registrants; each removes itself before it is destroyed.
    void AddMessageFilter(CMessageFilter* filter);
    void RemoveMessageFilter(CMessageFilter* filter);
    void AddIdleHandler(CIdleHandler* handler);
    void RemoveIdleHandler(CIdleHandler* handler);

    // Pumps messages until WM_QUIT and returns its wParam.
    int Run();
    // Offers the message to the filters, last registered first.
    BOOL PreTranslateMessage(MSG* message);
    // Calls every idle handler in registration order; returns false.
    BOOL OnIdle(int idleCount);

private:
    std::vector<CMessageFilter*> filters_;
    std::vector<CIdleHandler*> idleHandlers_;
    MSG message_{};
};

// The module object: instance handle and the thread-id-to-loop map under a critical section.
class AppModule {
public:
    AppModule();
    ~AppModule();
    AppModule(const AppModule&) = delete;
    AppModule& operator=(const AppModule&) = delete;

    void Init(HINSTANCE instance);
    void Term();
    HINSTANCE Instance() const { return instance_; }

    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId());

private:
    HINSTANCE instance_ = nullptr;
    CRITICAL_SECTION lock_;
    std::map<DWORD, CMessageLoop*> loops_;
};

AppModule& Module();
