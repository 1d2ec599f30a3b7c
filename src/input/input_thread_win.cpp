#include "input/input_thread_win.h"

#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "input/elapsed_clock.h"
#include "input/raw_input_win.h"

namespace {

constexpr wchar_t kWindowClass[] = L"TapwiseInputThread";
// Sent to the thread's window: wParam 1 registers it for raw input, 0 removes the
// registration; the answer is 0 or the error code.
constexpr UINT kRegisterMessage = WM_APP + 1;

} // namespace

bool InputThread::RegisterWindowClass() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &InputThread::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassExW(&windowClass) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

InputThread::InputThread(KeyRecordInbox& inbox)
    : inbox_(inbox), ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

InputThread::~InputThread() {
    // The thread uses the members below until it has ended.
    StopAndWait();
    if (ready_ != nullptr) {
        ::CloseHandle(ready_);
    }
}

bool InputThread::Start(HWND target) {
    target_ = target;
    if (ready_ == nullptr || !RegisterWindowClass()) {
        return false;
    }
    ::ResetEvent(ready_);
    if (!Thread::Start()) {
        return false;
    }
    const HANDLE handles[2] = {ready_, ThreadHandle()};
    return ::WaitForMultipleObjects(2, handles, FALSE, INFINITE) == WAIT_OBJECT_0 &&
           window_ != nullptr;
}

void InputThread::Shutdown() {
    Stop(INFINITE);
}

DWORD InputThread::Run() {
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_HIGHEST);
    HWND window = ::CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                    ::GetModuleHandleW(nullptr), this);
    window_ = window;
    ::SetEvent(ready_);
    if (window == nullptr) {
        return 1;
    }
    const DWORD result = Thread::Run();
    // The registration names this window; it must not outlive it.
    RAWINPUTDEVICE devices[4];
    UINT count = 4;
    if (::GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)) !=
        static_cast<UINT>(-1)) {
        for (UINT i = 0; i < count; ++i) {
            if (devices[i].hwndTarget == window && devices[i].usUsagePage == 1 &&
                devices[i].usUsage == 6) {
                RegisterKeyboardInput(nullptr);
            }
        }
    }
    window_ = nullptr;
    ::DestroyWindow(window);
    return result;
}

LRESULT CALLBACK InputThread::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<InputThread*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
        if (message == WM_INPUT) {
            self->OnInput(wParam, lParam);
        } else if (message == kRegisterMessage) {
            return static_cast<LRESULT>(RegisterKeyboardInput(wParam != 0 ? window : nullptr));
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void InputThread::OnInput(WPARAM inputCode, LPARAM rawInputHandle) {
    // The moment of arrival, before anything else takes time.
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    RAWINPUT record{};
    if (!ReadKeyboardRecord(rawInputHandle, record)) {
        return;
    }
    // Input that arrived while this program was in the foreground says so. Input said to
    // come from the background may only mean that this thread is not the foreground thread
    // (the system may judge by thread), so then the foreground window is asked.
    const bool background =
        GET_RAWINPUT_CODE_WPARAM(inputCode) == RIM_INPUTSINK && !ThisProcessHasTheForeground();
    Deliver(ToRawKeyRecord(record), CounterToElapsedMicroseconds(counter.QuadPart), background);
}

void InputThread::Deliver(const RawKeyRecord& record, std::int64_t timeUs, bool background) {
    bool notify = false;
    {
        // One lock over the decision and the put: the filter numbers the records in the order
        // they reach the inbox.
        const std::lock_guard<std::mutex> guard(filterLock_);
        if (!filter_.Take(record, background)) {
            return;
        }
        notify = inbox_.Put({record, timeUs, background});
    }
    if (notify && !::PostMessageW(target_, UWM_KEY_RECORDS, 0, 0)) {
        inbox_.NoticeFailed();
    }
}

void InputThread::OnRecord(const RAWINPUT& record, bool background) {
    Deliver(ToRawKeyRecord(record), ElapsedMicroseconds(), background);
}

void InputThread::KeepDownOnly(const std::vector<ScanCode>& held, std::uint64_t handled) {
    const std::lock_guard<std::mutex> guard(filterLock_);
    filter_.KeepDownOnly(held, handled);
}

bool InputThread::Register(bool on, const wchar_t* trace) {
    LogMessage(trace);
    HWND window = window_;
    DWORD error = ERROR_INVALID_WINDOW_HANDLE;
    DWORD_PTR answer = 0;
    if (window != nullptr && ::SendMessageTimeoutW(window, kRegisterMessage, on ? 1 : 0, 0,
                                                   SMTO_NORMAL, INFINITE, &answer) != 0) {
        error = static_cast<DWORD>(answer);
    }
    if (error != 0) {
        LogMessage(L"   Failed (%08x).\n", static_cast<unsigned>(error));
        return false;
    }
    return true;
}

bool InputThread::EnableRawInput() {
    return Register(true, L"Enabling raw input...\n");
}

bool InputThread::DisableRawInput() {
    return Register(false, L"Disabling raw input...\n");
}
