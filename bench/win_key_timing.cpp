// Handling time of one key press and release in the running program: the main window with
// both pages is created as at start-up, then raw keyboard records for A are handed to the
// keyboard test page as WM_INPUT would hand them; each press and release is timed from the
// make record to the moment the message queue is empty again (decoding, both log lines, the
// key drawn and painted, the fields). Prints the median and the 90th percentile.
// usage: tapwise-key-timing.exe [presses]
#include "app/main_dlg.h"
#include "input/elapsed_clock.h"
#include "ui/message_loop.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

RAWINPUT KeyRecord(USHORT makeCode, USHORT virtualKey, bool release) {
    RAWINPUT record{};
    record.header.dwType = RIM_TYPEKEYBOARD;
    record.header.dwSize = sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD);
    record.header.hDevice = nullptr; // the device identification runs for none of them
    record.data.keyboard.MakeCode = makeCode;
    record.data.keyboard.Flags = release ? RI_KEY_BREAK : RI_KEY_MAKE;
    record.data.keyboard.VKey = virtualKey;
    return record;
}

// Handles the posted key messages only: the work of the key engine without the painting.
void HandleKeyMessages() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, WM_USER + 101, WM_USER + 102, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }
}

void PumpUntilIdle() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

double Milliseconds(LONGLONG ticks, LONGLONG frequency) {
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int presses = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
    Module().Init(::GetModuleHandleW(nullptr));
    ElapsedMilliseconds();
    ::LoadLibraryW(L"RICHED20.DLL");
    CMessageLoop loop;
    Module().AddMessageLoop(&loop);
    auto* mainDialog = new CMainDlg();
    HWND window = mainDialog->Create(129);
    if (window == nullptr) {
        std::fprintf(stderr, "cannot create the main window\n");
        return 1;
    }
    ::ShowWindow(window, SW_SHOW);
    PumpUntilIdle();

    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    RawInputReader& input = mainDialog->KeyboardPage().RawInput();
    std::vector<double> handling;
    std::vector<double> total;
    // A pause between presses keeps them clear of the chatter rule.
    for (int i = 0; i < presses; ++i) {
        LARGE_INTEGER start;
        LARGE_INTEGER handled;
        LARGE_INTEGER end;
        ::QueryPerformanceCounter(&start);
        input.OnRecord(KeyRecord(0x1E, 'A', false));
        HandleKeyMessages();
        input.OnRecord(KeyRecord(0x1E, 'A', true));
        HandleKeyMessages();
        ::QueryPerformanceCounter(&handled);
        PumpUntilIdle();
        ::QueryPerformanceCounter(&end);
        handling.push_back(Milliseconds(handled.QuadPart - start.QuadPart, frequency.QuadPart));
        total.push_back(Milliseconds(end.QuadPart - start.QuadPart, frequency.QuadPart));
        ::Sleep(10);
    }
    std::sort(handling.begin(), handling.end());
    std::sort(total.begin(), total.end());
    std::printf("presses: %d\n", presses);
    std::printf("handling (decode, engine, log lines, key drawn into the buffer, fields): "
                "median %.3f ms, p90 %.3f ms\n",
                handling[handling.size() / 2], handling[handling.size() * 9 / 10]);
    std::printf("with painting until the queue is empty: median %.3f ms, p90 %.3f ms\n",
                total[total.size() / 2], total[total.size() * 9 / 10]);
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    loop.Run();
    Module().RemoveMessageLoop();
    delete mainDialog;
    return 0;
}
