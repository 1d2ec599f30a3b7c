#include "ui/message_loop.h"

#include <algorithm>

namespace {

// Messages that arrive in streams and would otherwise run the idle handlers over and over.
bool IsIdleMessage(const MSG& message) {
    switch (message.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case 0x0118: // WM_SYSTIMER: the caret blink
        return false;
    default:
        return true;
    }
}

template <typename T> void RemoveFrom(std::vector<T*>& list, T* item) {
    const auto found = std::find(list.begin(), list.end(), item);
    if (found != list.end()) {
        list.erase(found);
    }
}

} // namespace

void CMessageLoop::AddMessageFilter(CMessageFilter* filter) {
    filters_.push_back(filter);
}

void CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) {
    RemoveFrom(filters_, filter);
}

void CMessageLoop::AddIdleHandler(CIdleHandler* handler) {
    idleHandlers_.push_back(handler);
}

void CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) {
    RemoveFrom(idleHandlers_, handler);
}

int CMessageLoop::Run() {
    bool doIdle = true;
    int idleCount = 0;
    for (;;) {
        while (doIdle && !::PeekMessageW(&message_, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) {
                doIdle = false;
            }
        }
        const BOOL result = ::GetMessageW(&message_, nullptr, 0, 0);
        if (result == -1) {
            continue;
        }
        if (result == 0) {
            break;
        }
        if (!PreTranslateMessage(&message_)) {
            ::TranslateMessage(&message_);
            ::DispatchMessageW(&message_);
        }
        if (IsIdleMessage(message_)) {
            doIdle = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(message_.wParam);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* message) {
    // By index, newest first: a filter may remove itself (or others) while it runs.
    for (std::size_t i = filters_.size(); i-- > 0;) {
        if (i >= filters_.size()) {
            continue;
        }
        CMessageFilter* filter = filters_[i];
        if (filter != nullptr && filter->PreTranslateMessage(message)) {
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle(int /*idleCount*/) {
    for (std::size_t i = 0; i < idleHandlers_.size(); ++i) {
        CIdleHandler* handler = idleHandlers_[i];
        if (handler != nullptr) {
            handler->OnIdle();
        }
    }
    return FALSE;
}

AppModule::AppModule() {
    ::InitializeCriticalSection(&lock_);
}

AppModule::~AppModule() {
    ::DeleteCriticalSection(&lock_);
}

void AppModule::Init(HINSTANCE instance) {
    instance_ = instance;
}

void AppModule::Term() {
    ::EnterCriticalSection(&lock_);
    loops_.clear();
    ::LeaveCriticalSection(&lock_);
}

bool AppModule::AddMessageLoop(CMessageLoop* loop) {
    ::EnterCriticalSection(&lock_);
    const bool added = loops_.emplace(::GetCurrentThreadId(), loop).second;
    ::LeaveCriticalSection(&lock_);
    return added;
}

bool AppModule::RemoveMessageLoop() {
    ::EnterCriticalSection(&lock_);
    const bool removed = loops_.erase(::GetCurrentThreadId()) != 0;
    ::LeaveCriticalSection(&lock_);
    return removed;
}

CMessageLoop* AppModule::GetMessageLoop(DWORD threadId) {
    ::EnterCriticalSection(&lock_);
    const auto found = loops_.find(threadId);
    CMessageLoop* loop = found != loops_.end() ? found->second : nullptr;
    ::LeaveCriticalSection(&lock_);
    return loop;
}

AppModule& Module() {
    static AppModule module;
    return module;
}
