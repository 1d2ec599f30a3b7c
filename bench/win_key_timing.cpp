// Key handling times in the running program: the main window with both pages is created as at
// start-up, then raw keyboard records are handed to the keyboard test page as WM_INPUT would
// hand them. Prints medians and 90th percentiles of:
// - one press and release of A: handled with the key drawn on the screen (decoding, engine,
//   fields, the key painted), then with its two lines written to the view (not yet painted),
//   and until the message queue is empty (everything painted, the view too);
// - a burst of 1,000 records (a roll over 10 keys, 50 press/release cycles) handed over at once,
//   from the first record until the queue is empty with all 1,000 lines in the view;
// - the same with 1,000 and with LINES lines already in the view, and the process's working
//   set at LINES lines;
// - real keys sent with SendInput by another thread, 2 ms apart (the window in the foreground):
//   from SendInput to the input thread's stamp, and from the stamp to the record in the page's
//   inbox, medians and 99th percentiles in microseconds, with the window thread idle and while
//   it is blocked for 300 ms.
// usage: tapwise-key-timing.exe [presses] [lines]
#include "app/main_dlg.h"
#include "base/app_messages.h"
#include "input/elapsed_clock.h"
#include "input/raw_input_win.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "ui/message_loop.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
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

// Handles the key records only: the work of the key engine, the log lines queued.
void HandleKeyRecords() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, UWM_KEY_RECORDS, UWM_KEY_RECORDS, PM_REMOVE)) {
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

class Stopwatch {
public:
    Stopwatch() {
        ::QueryPerformanceFrequency(&frequency_);
        ::QueryPerformanceCounter(&start_);
    }
    double Milliseconds() const {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 /
               static_cast<double>(frequency_.QuadPart);
    }

private:
    LARGE_INTEGER frequency_{};
    LARGE_INTEGER start_{};
};

struct Summary {
    double median = 0;
    double p90 = 0;
};

Summary Summarise(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return {values[values.size() / 2], values[values.size() * 9 / 10]};
}

// The ten keys of the roll: A S D F G H J K L ;
const USHORT kRollCodes[10] = {0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27};
const USHORT kRollKeys[10] = {'A', 'S', 'D', 'F', 'G', 'H', 'J', 'K', 'L', 0xBA};

class Bench {
public:
    explicit Bench(CMainDlg& dialog) : dialog_(dialog), page_(dialog.KeyboardPage().Handle()) {
        log_ = ::GetDlgItem(page_, IDC_KBD_LOG);
    }

    InputThread& Input() { return dialog_.KeyboardPage().Input(); }

    // The lines in the view, counted in its text (the control's own count is of display rows).
    int Lines() const {
        const int length = ::GetWindowTextLengthW(log_);
        if (length == 0) {
            return 0;
        }
        std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1);
        ::GetWindowTextW(log_, text.data(), length + 1);
        return 1 + static_cast<int>(std::count(text.begin(), text.end(), L'\n'));
    }

    void Clear() {
        ::SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_CLEAR, BN_CLICKED), 0);
        PumpUntilIdle();
    }

    // One press and release of A: handled with the key on the screen, its lines written to the
    // view, and until idle.
    void PressAndRelease(double& handled, double& written, double& idle) {
        HWND keyboard = ::GetDlgItem(page_, IDC_KBD_KEYBOARD);
        const Stopwatch watch;
        Input().OnRecord(KeyRecord(0x1E, 'A', false));
        HandleKeyRecords();
        ::UpdateWindow(keyboard);
        Input().OnRecord(KeyRecord(0x1E, 'A', true));
        HandleKeyRecords();
        ::UpdateWindow(keyboard);
        handled = watch.Milliseconds();
        // What the posted write does once nothing else waits, without the paint after it.
        ::SendMessageW(page_, UWM_WRITE_LOG, 0, 0);
        written = watch.Milliseconds();
        PumpUntilIdle();
        idle = watch.Milliseconds();
    }

    // 50 cycles of a roll over 10 keys, every record handed over before any is handled. Keys
    // pressed again at once are chatter, which adds a CHATTER DETECTED line to the DOWN line;
    // `lines` is what arrived in the view.
    double Burst(int& lines) {
        const int before = Lines();
        const Stopwatch watch;
        for (int cycle = 0; cycle < 50; ++cycle) {
            for (int key = 0; key < 10; ++key) {
                Input().OnRecord(KeyRecord(kRollCodes[key], kRollKeys[key], false));
                if (key > 0) {
                    Input().OnRecord(KeyRecord(kRollCodes[key - 1], kRollKeys[key - 1], true));
                }
            }
            Input().OnRecord(KeyRecord(kRollCodes[9], kRollKeys[9], true));
        }
        PumpUntilIdle();
        const double elapsed = watch.Milliseconds();
        lines = Lines() - before;
        return elapsed;
    }

    // Fills the view to `lines` lines through the key road, 1,000 records at a time (each
    // record makes one line).
    void FillTo(int lines) {
        // Without the chatter rule: the filling lines are all of one colour.
        const std::int32_t threshold = Settings().ChatterThreshold;
        Settings().ChatterThreshold = 0;
        int now = Lines();
        while (now < lines) {
            int records = std::min(1000, lines - now);
            records -= records % 2;
            if (records == 0) {
                break;
            }
            now += records;
            for (int i = 0; i + 1 < records; i += 2) {
                const int key = (i / 2) % 10;
                Input().OnRecord(KeyRecord(kRollCodes[key], kRollKeys[key], false));
                Input().OnRecord(KeyRecord(kRollCodes[key], kRollKeys[key], true));
            }
            PumpUntilIdle();
        }
        Settings().ChatterThreshold = threshold;
    }

private:
    CMainDlg& dialog_;
    HWND page_;
    HWND log_ = nullptr;
};

struct PressFigures {
    double written = 0; // median, lines written to the view
    double idle = 0;    // median, until idle
};

PressFigures PressesAtSize(Bench& bench, int presses, const char* what) {
    std::vector<double> handled;
    std::vector<double> written;
    std::vector<double> idle;
    for (int i = 0; i < presses; ++i) {
        double h = 0;
        double w = 0;
        double t = 0;
        bench.PressAndRelease(h, w, t);
        handled.push_back(h);
        written.push_back(w);
        idle.push_back(t);
        ::Sleep(10); // clear of the chatter rule
    }
    const Summary h = Summarise(handled);
    const Summary w = Summarise(written);
    const Summary t = Summarise(idle);
    std::printf("%s: handled, key drawn: median %.3f ms, p90 %.3f ms; lines written to the view: "
                "median %.3f ms, p90 %.3f ms; until idle, all painted: median %.3f ms, p90 %.3f "
                "ms\n",
                what, h.median, h.p90, w.median, w.p90, t.median, t.p90);
    return {w.median, t.median};
}

std::int64_t CounterNowUs() {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return CounterToElapsedMicroseconds(now.QuadPart);
}

Summary Percentiles(std::vector<double> values, double& p99) {
    std::sort(values.begin(), values.end());
    p99 = values[values.size() * 99 / 100];
    return {values[values.size() / 2], values[values.size() * 9 / 10]};
}

// Real input through the input thread: `records` key strokes sent gapMs apart by another
// thread while the window thread is blocked for blockMs (0: it handles messages as they come).
// Adds, per record, the time from SendInput to the stamp and from the stamp to the inbox.
void SendAndMeasure(CMainDlg& dialog, int records, double gapMs, DWORD blockMs,
                    std::vector<double>& sendToStamp, std::vector<double>& stampToInbox) {
    const KeyRecordInbox& inbox = dialog.KeyboardPage().Inbox();
    const KeyEventQueue& events = dialog.KeyboardPage().Session().Events();
    PumpUntilIdle();
    const std::size_t firstEvent = events.size();
    const std::uint64_t firstArrival = inbox.Arrived();
    std::vector<std::int64_t> sentUs(static_cast<std::size_t>(records));
    std::vector<std::int64_t> arrivedUs(static_cast<std::size_t>(records), 0);
    std::atomic<bool> sending{true};
    // Watches the inbox: the moment each record appears in it.
    std::thread watcher([&] {
        std::uint64_t seen = firstArrival;
        while (sending || seen < firstArrival + static_cast<std::uint64_t>(records)) {
            // Yields between looks: the processors are for the threads being measured.
            ::SwitchToThread();
            const std::uint64_t now = inbox.Arrived();
            if (now != seen) {
                const std::int64_t at = CounterNowUs();
                for (; seen < now && seen < firstArrival + static_cast<std::uint64_t>(records);
                     ++seen) {
                    arrivedUs[static_cast<std::size_t>(seen - firstArrival)] = at;
                }
                seen = now;
            }
        }
    });
    std::thread sender([&] {
        const std::int64_t start = CounterNowUs();
        for (int i = 0; i < records; ++i) {
            const auto at = start + static_cast<std::int64_t>(i * gapMs * 1000);
            while (CounterNowUs() < at) {
            }
            const int key = (i / 2) % 10;
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = kRollKeys[key];
            input.ki.wScan = kRollCodes[key];
            input.ki.dwFlags = i % 2 == 1 ? KEYEVENTF_KEYUP : 0;
            sentUs[static_cast<std::size_t>(i)] = CounterNowUs();
            ::SendInput(1, &input, sizeof(input));
        }
    });
    if (blockMs > 0) {
        ::Sleep(blockMs);
    } else {
        const std::int64_t giveUp = CounterNowUs() + 10'000'000;
        while (inbox.Arrived() < firstArrival + static_cast<std::uint64_t>(records) &&
               CounterNowUs() < giveUp) {
            // As a message loop waits: asleep until a message comes.
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
            PumpUntilIdle();
        }
    }
    sender.join();
    // Lost records would keep the watcher waiting for ever; none may be lost, but a figure
    // must not hang.
    const std::int64_t giveUp = CounterNowUs() + 10'000'000;
    while (inbox.Arrived() < firstArrival + static_cast<std::uint64_t>(records) &&
           CounterNowUs() < giveUp) {
        ::Sleep(1);
    }
    sending = false;
    if (inbox.Arrived() < firstArrival + static_cast<std::uint64_t>(records)) {
        std::fprintf(stderr, "records were lost\n");
        std::exit(1);
    }
    watcher.join();
    PumpUntilIdle();
    for (int i = 0; i < records && firstEvent + static_cast<std::size_t>(i) < events.size(); ++i) {
        const auto stamp =
            static_cast<std::int64_t>(events[firstEvent + static_cast<std::size_t>(i)].time);
        sendToStamp.push_back(static_cast<double>(stamp - sentUs[static_cast<std::size_t>(i)]));
        stampToInbox.push_back(static_cast<double>(arrivedUs[static_cast<std::size_t>(i)] - stamp));
    }
}

void PrintArrivals(const char* what, const std::vector<double>& sendToStamp,
                   const std::vector<double>& stampToInbox) {
    double stampP99 = 0;
    double inboxP99 = 0;
    const Summary stamp = Percentiles(sendToStamp, stampP99);
    const Summary inbox = Percentiles(stampToInbox, inboxP99);
    std::printf("%s (%zu records): SendInput to stamp median %.0f us, p99 %.0f us; stamp to "
                "inbox median %.0f us, p99 %.0f us\n",
                what, stampToInbox.size(), stamp.median, stampP99, inbox.median, inboxP99);
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const int presses = argc > 1 ? std::max(1, _wtoi(argv[1])) : 200;
    const int largeLines = argc > 2 ? std::max(2000, _wtoi(argv[2])) : 200000;
    Module().Init(::GetModuleHandleW(nullptr));
    ElapsedMilliseconds();
    ::LoadLibraryW(L"RICHED20.DLL");
    CMessageLoop loop;
    Module().AddMessageLoop(&loop);
    auto* mainDialog = new CMainDlg();
    HWND window = mainDialog->Create(IDD_MAIN);
    if (window == nullptr) {
        std::fprintf(stderr, "cannot create the main window\n");
        return 1;
    }
    ::ShowWindow(window, SW_SHOW);
    PumpUntilIdle();
    Bench bench(*mainDialog);

    // Warm-up, not counted: the first presses draw the key faces into the cache, and a fresh
    // Wine prefix is still starting its own services for the first seconds.
    for (int i = 0; i < 50; ++i) {
        double h = 0;
        double w = 0;
        double t = 0;
        bench.PressAndRelease(h, w, t);
        ::Sleep(10);
    }
    ::Sleep(1000);
    std::printf("presses: %d\n", presses);
    PressesAtSize(bench, presses, "one press and release");

    // The roll as it is timed (chatter lines included), then with the chatter rule off, one
    // line per record.
    for (const std::int32_t threshold : {Settings().ChatterThreshold, std::int32_t{0}}) {
        const std::int32_t saved = Settings().ChatterThreshold;
        Settings().ChatterThreshold = threshold;
        std::vector<double> bursts;
        int lines = 0;
        for (int i = 0; i < 20; ++i) {
            bench.Clear();
            bursts.push_back(bench.Burst(lines));
            ::Sleep(20);
        }
        Settings().ChatterThreshold = saved;
        const Summary burst = Summarise(bursts);
        std::printf("burst of 1,000 records, chatter threshold %d ms, to idle with all %d lines in "
                    "the view (20 runs): median %.1f ms, p90 %.1f ms\n",
                    static_cast<int>(threshold), lines, burst.median, burst.p90);
    }

    bench.Clear();
    bench.FillTo(1000);
    const PressFigures small = PressesAtSize(bench, presses, "at 1,000 lines");
    const Stopwatch fill;
    bench.FillTo(largeLines);
    const double fillSeconds = fill.Milliseconds() / 1000.0;
    const int lines = bench.Lines();
    char what[64];
    std::snprintf(what, sizeof(what), "at %d lines", lines);
    const PressFigures large = PressesAtSize(bench, presses, what);
    std::printf("appending at %d lines costs %.2f times the cost at 1,000 lines until written, "
                "%.2f times until idle (filled in %.1f s)\n",
                lines, large.written / small.written, large.idle / small.idle, fillSeconds);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof(memory))) {
        std::printf("working set at %d lines: %.1f MB (peak %.1f MB)\n", lines,
                    static_cast<double>(memory.WorkingSetSize) / (1024.0 * 1024.0),
                    static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    }

    // Real keys need the window in the foreground.
    ::SetForegroundWindow(window);
    PumpUntilIdle();
    ::Sleep(200);
    if (!ThisProcessHasTheForeground()) {
        std::fprintf(stderr, "the window did not get the foreground: no real keys measured\n");
        return 1;
    }
    bench.Clear();
    std::vector<double> sendToStamp;
    std::vector<double> stampToInbox;
    for (int run = 0; run < 5; ++run) {
        SendAndMeasure(*mainDialog, 140, 2.0, 0, sendToStamp, stampToInbox);
    }
    PrintArrivals("real keys 2 ms apart, window thread idle", sendToStamp, stampToInbox);
    sendToStamp.clear();
    stampToInbox.clear();
    for (int run = 0; run < 5; ++run) {
        SendAndMeasure(*mainDialog, 140, 2.0, 300, sendToStamp, stampToInbox);
    }
    PrintArrivals("real keys 2 ms apart, window thread blocked 300 ms", sendToStamp, stampToInbox);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    loop.Run();
    Module().RemoveMessageLoop();
    delete mainDialog;
    return 0;
}
