#include "base/app_messages.h"
#include "input/elapsed_clock.h"
#include "input/raw_input_win.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

RAWINPUT KeyboardRecord(USHORT makeCode, USHORT flags, USHORT vkey, HANDLE device) {
    RAWINPUT record{};
    record.header.dwType = RIM_TYPEKEYBOARD;
    record.header.dwSize = sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD);
    record.header.hDevice = device;
    record.data.keyboard.MakeCode = makeCode;
    record.data.keyboard.Flags = flags;
    record.data.keyboard.VKey = vkey;
    record.data.keyboard.Message = (flags & RI_KEY_BREAK) ? WM_KEYUP : WM_KEYDOWN;
    return record;
}

// A hidden top-level window owned by the test.
class TestWindow {
public:
    TestWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"raw input test", WS_POPUP, 0, 0, 10, 10, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr)) {}
    ~TestWindow() {
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }
    HWND Handle() const { return window_; }

private:
    HWND window_;
};

std::vector<MSG> TakeKeyMessages(HWND window) {
    std::vector<MSG> messages;
    MSG message;
    while (PeekMessageW(&message, window, UWM_KEY_MAKE, UWM_KEY_BREAK, PM_REMOVE)) {
        messages.push_back(message);
    }
    return messages;
}

} // namespace

TEST(RawInputReader, ConvertsTheKeyboardFieldsOfARecord) {
    const HANDLE device = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0xABCD0001));
    const RawKeyRecord record =
        ToRawKeyRecord(KeyboardRecord(0x48, RI_KEY_E0 | RI_KEY_BREAK, VK_UP, device));
    EXPECT_EQ(record.makeCode, 0x48);
    EXPECT_EQ(record.flags, kRawFlagE0 | kRawFlagBreak);
    EXPECT_EQ(record.virtualKey, VK_UP);
    EXPECT_EQ(record.device, 0xABCD0001u);
    EXPECT_EQ(kRawInputFlags, 0x730u);
}

TEST(RawInputReader, PostsMakeAndBreakWithQueueIndicesToItsWindow) {
    TestWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    KeyEventQueue queue;
    std::vector<HANDLE> identified;
    RawInputReader reader(window.Handle(), queue, [&](const RAWINPUT& record) {
        identified.push_back(record.header.hDevice);
    });
    std::vector<std::int64_t> keptTimes;
    reader.KeepRecordsIn(
        [&](const RawKeyRecord&, std::int64_t timeUs) { keptTimes.push_back(timeUs); });
    CapturedLog log;
    const HANDLE device = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x77));
    reader.OnRecord(KeyboardRecord(0x2a, RI_KEY_E0, 0xff, device)); // fake shift, dropped
    reader.OnRecord(KeyboardRecord(0x37, RI_KEY_E0, VK_SNAPSHOT, device));
    reader.OnRecord(KeyboardRecord(0x37, RI_KEY_E0 | RI_KEY_BREAK, VK_SNAPSHOT, device));

    EXPECT_EQ(identified, std::vector<HANDLE>{device});
    const std::vector<MSG> messages = TakeKeyMessages(window.Handle());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, UWM_KEY_MAKE);
    EXPECT_EQ(messages[0].wParam, 0u);
    EXPECT_EQ(messages[1].message, UWM_KEY_BREAK);
    EXPECT_EQ(messages[1].wParam, 1u);
    EXPECT_EQ(messages[1].lParam, 0);
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_LE(queue[0].time, queue[1].time);
    // The fake shift is kept too, so that a replay decodes the same sequence.
    ASSERT_EQ(keptTimes.size(), 3u);
    EXPECT_EQ(keptTimes[1], queue[0].time);
    EXPECT_NE(
        log.Text().find(L"OnInput():  Scan code 0x37, Up, Virtual key 0x2c, extended (E0).\n"),
        std::wstring::npos);
}

TEST(RawInputReader, InTheBackgroundOnlyReleasesOfKeysSeenGoingDownHereAreTaken) {
    TestWindow window;
    KeyEventQueue queue;
    std::vector<HANDLE> identified;
    RawInputReader reader(window.Handle(), queue, [&](const RAWINPUT& record) {
        identified.push_back(record.header.hDevice);
    });
    std::vector<RawKeyRecord> kept;
    reader.KeepRecordsIn([&](const RawKeyRecord& record, std::int64_t) { kept.push_back(record); });
    const HANDLE device = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x99));
    reader.OnRecord(KeyboardRecord(0x1E, 0, 'A', device)); // A goes down here
    ASSERT_EQ(TakeKeyMessages(window.Handle()).size(), 1u);
    CapturedLog log;
    // Typing in another program: not decoded, not logged.
    reader.OnRecord(KeyboardRecord(0x30, 0, 'B', device), true);
    reader.OnRecord(KeyboardRecord(0x30, RI_KEY_BREAK, 'B', device), true);
    reader.OnRecord(KeyboardRecord(0x1E, 0, 'A', device), true);
    EXPECT_EQ(queue.size(), 1u);
    EXPECT_EQ(log.Text(), L"");
    EXPECT_TRUE(TakeKeyMessages(window.Handle()).empty());
    // The release of A, held here, is taken with its own time.
    reader.OnRecord(KeyboardRecord(0x1E, RI_KEY_BREAK, 'A', device), true);
    // A pressed and released again there before the page handled that release: the key
    // test engine still holds A, but this is the other program's.
    reader.OnRecord(KeyboardRecord(0x1E, 0, 'A', device), true);
    reader.OnRecord(KeyboardRecord(0x1E, RI_KEY_BREAK, 'A', device), true);
    const std::vector<MSG> messages = TakeKeyMessages(window.Handle());
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, UWM_KEY_BREAK);
    ASSERT_EQ(queue.size(), 2u);
    EXPECT_EQ(queue[1].code, 0x1E);
    EXPECT_EQ(identified, std::vector<HANDLE>{device});
    // Only the records taken are kept for the test's trace: none of the other program's.
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].flags, 0);
    EXPECT_EQ(kept[1].flags, RI_KEY_BREAK);
    EXPECT_EQ(kept[1].device, 0x99u);
}

TEST(RawInputReader, UnreadableRecordIsIgnoredSilently) {
    TestWindow window;
    KeyEventQueue queue;
    RawInputReader reader(window.Handle(), queue);
    CapturedLog log;
    EXPECT_EQ(reader.OnInput(RIM_INPUT, 0), 0);
    EXPECT_EQ(reader.OnInput(RIM_INPUTSINK, 0x12345), 0);
    EXPECT_TRUE(queue.empty());
    EXPECT_TRUE(log.Text().empty());
    EXPECT_TRUE(TakeKeyMessages(window.Handle()).empty());
}

TEST(RawInputReader, RegistersAndRemovesTheKeyboardRegistration) {
    TestWindow window;
    KeyEventQueue queue;
    RawInputReader reader(window.Handle(), queue);
    CapturedLog log;
    ASSERT_TRUE(reader.EnableRawInput());

    RAWINPUTDEVICE devices[4];
    UINT count = 4;
    ASSERT_EQ(GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)), 1u);
    EXPECT_EQ(devices[0].usUsagePage, 1);
    EXPECT_EQ(devices[0].usUsage, 6);
    EXPECT_EQ(devices[0].hwndTarget, window.Handle());
    EXPECT_EQ(devices[0].dwFlags & RIDEV_INPUTSINK, static_cast<DWORD>(RIDEV_INPUTSINK));

    EXPECT_TRUE(reader.DisableRawInput());
    count = 4;
    EXPECT_EQ(GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)), 0u);
    EXPECT_EQ(log.Text(), L"Enabling raw input...\nDisabling raw input...\n");
}

TEST(ElapsedMilliseconds, NeverRunsBackwardsAndFollowsTheClock) {
    std::uint32_t previous = ElapsedMilliseconds();
    for (int i = 0; i < 10000; ++i) {
        const std::uint32_t now = ElapsedMilliseconds();
        ASSERT_GE(now, previous);
        previous = now;
    }
    const std::uint32_t before = ElapsedMilliseconds();
    Sleep(50);
    const std::uint32_t elapsed = ElapsedMilliseconds() - before;
    EXPECT_GE(elapsed, 40u);
    EXPECT_LT(elapsed, 10000u);
}

TEST(RawInputReader, WaitingInputIsTakenBeforeKeyMessagesAndReportedWhileItWaits) {
    TestWindow window;
    KeyEventQueue queue;
    RawInputReader reader(window.Handle(), queue);
    EXPECT_FALSE(reader.KeyInputWaiting());
    // A key message not yet handled is waiting input.
    reader.OnRecord(KeyboardRecord(0x1e, 0, 'A', nullptr));
    EXPECT_TRUE(reader.KeyInputWaiting());
    EXPECT_EQ(TakeKeyMessages(window.Handle()).size(), 1u);
    EXPECT_FALSE(reader.KeyInputWaiting());
    // So is a raw record; draining reads it (this one cannot be read and is dropped) and
    // leaves other messages where they are.
    PostMessageW(window.Handle(), WM_INPUT, RIM_INPUT, 0x4321);
    PostMessageW(window.Handle(), WM_APP + 7, 0, 0);
    EXPECT_TRUE(reader.KeyInputWaiting());
    reader.DecodeWaitingInput();
    EXPECT_FALSE(reader.KeyInputWaiting());
    MSG message;
    EXPECT_FALSE(PeekMessageW(&message, window.Handle(), WM_INPUT, WM_INPUT, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageW(&message, window.Handle(), WM_APP + 7, WM_APP + 7, PM_REMOVE));
    EXPECT_EQ(queue.size(), 1u);
}
