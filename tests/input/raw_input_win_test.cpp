// The input thread on its own: the records it hands over, its privacy decision, its notices to
// the handling window and its raw input registration.
#include "base/app_messages.h"
#include "input/elapsed_clock.h"
#include "input/input_thread_win.h"
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

// A hidden top-level window owned by the test: the handling window.
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

int TakeNotices(HWND window) {
    int count = 0;
    MSG message;
    while (PeekMessageW(&message, window, UWM_KEY_RECORDS, UWM_KEY_RECORDS, PM_REMOVE)) {
        ++count;
    }
    return count;
}

std::vector<ScanCode> Codes(const std::vector<StampedKeyRecord>& records) {
    std::vector<ScanCode> codes;
    for (const StampedKeyRecord& item : records) {
        codes.push_back(CompleteScanCode(item.record.makeCode, item.record.flags));
    }
    return codes;
}

const HANDLE kDevice = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0x77));

} // namespace

TEST(RawInput, ConvertsTheKeyboardFieldsOfARecord) {
    const HANDLE device = reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(0xABCD0001));
    const RawKeyRecord record =
        ToRawKeyRecord(KeyboardRecord(0x48, RI_KEY_E0 | RI_KEY_BREAK, VK_UP, device));
    EXPECT_EQ(record.makeCode, 0x48);
    EXPECT_EQ(record.flags, kRawFlagE0 | kRawFlagBreak);
    EXPECT_EQ(record.virtualKey, VK_UP);
    EXPECT_EQ(record.device, 0xABCD0001u);
    EXPECT_EQ(kRawInputFlags, 0x730u);
}

TEST(InputThread, HandsRecordsOverInOrderWithOneNoticePerBatch) {
    TestWindow window;
    KeyRecordInbox inbox;
    InputThread input(inbox);
    ASSERT_TRUE(input.Start(window.Handle()));
    EXPECT_NE(input.Window(), nullptr);
    input.Deliver(ToRawKeyRecord(KeyboardRecord(0x1E, 0, 'A', kDevice)), 1000, false);
    input.Deliver(ToRawKeyRecord(KeyboardRecord(0x37, RI_KEY_E0, VK_SNAPSHOT, kDevice)), 2500,
                  false);
    input.Deliver(ToRawKeyRecord(KeyboardRecord(0x1E, RI_KEY_BREAK, 'A', kDevice)), 4000, false);
    EXPECT_EQ(TakeNotices(window.Handle()), 1);

    std::vector<StampedKeyRecord> taken;
    inbox.TakeAll(taken);
    EXPECT_EQ(Codes(taken), (std::vector<ScanCode>{0x1E, 0xE037, 0x1E}));
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_EQ(taken[1].timeUs, 2500);
    EXPECT_EQ(taken[2].record.flags, kRawFlagBreak);
    EXPECT_EQ(taken[0].record.device, 0x77u);
    // Once taken, the next record is announced again.
    input.Deliver(ToRawKeyRecord(KeyboardRecord(0x1F, 0, 'S', kDevice)), 5000, false);
    EXPECT_EQ(TakeNotices(window.Handle()), 1);
    input.Shutdown();
    EXPECT_EQ(input.Window(), nullptr);
}

TEST(InputThread, InTheBackgroundOnlyReleasesOfKeysSeenGoingDownHereAreTaken) {
    TestWindow window;
    KeyRecordInbox inbox;
    InputThread input(inbox);
    input.OnRecord(KeyboardRecord(0x1E, 0, 'A', kDevice)); // A goes down here
    input.OnRecord(KeyboardRecord(0x1F, 0, 'S', kDevice)); // and S
    // Typing in another program: neither its presses nor releases of keys not held here.
    input.OnRecord(KeyboardRecord(0x30, 0, 'B', kDevice), true);
    input.OnRecord(KeyboardRecord(0x30, RI_KEY_BREAK, 'B', kDevice), true);
    input.OnRecord(KeyboardRecord(0x1E, 0, 'A', kDevice), true);
    // The release of A, held here, is taken; A pressed and released there again is not.
    input.OnRecord(KeyboardRecord(0x1E, RI_KEY_BREAK, 'A', kDevice), true);
    input.OnRecord(KeyboardRecord(0x1E, 0, 'A', kDevice), true);
    input.OnRecord(KeyboardRecord(0x1E, RI_KEY_BREAK, 'A', kDevice), true);
    std::vector<StampedKeyRecord> taken;
    inbox.TakeAll(taken);
    EXPECT_EQ(Codes(taken), (std::vector<ScanCode>{0x1E, 0x1F, 0x1E}));
    ASSERT_EQ(taken.size(), 3u);
    EXPECT_FALSE(taken[0].background);
    EXPECT_TRUE(taken[2].background);
    EXPECT_LE(taken[0].timeUs, taken[2].timeUs);

    // The page found S released while it was away: its release there is no longer taken.
    input.KeepDownOnly({}, inbox.Taken());
    input.OnRecord(KeyboardRecord(0x1F, RI_KEY_BREAK, 'S', kDevice), true);
    EXPECT_TRUE(inbox.Empty());
}

TEST(InputThread, RegistersItsOwnWindowAndRemovesTheRegistration) {
    TestWindow window;
    KeyRecordInbox inbox;
    InputThread input(inbox);
    CapturedLog log;
    // Without its thread there is no window to register.
    EXPECT_FALSE(input.EnableRawInput());
    ASSERT_TRUE(input.Start(window.Handle()));
    ASSERT_TRUE(input.EnableRawInput());

    RAWINPUTDEVICE devices[4];
    UINT count = 4;
    ASSERT_EQ(GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)), 1u);
    EXPECT_EQ(devices[0].usUsagePage, 1);
    EXPECT_EQ(devices[0].usUsage, 6);
    EXPECT_EQ(devices[0].hwndTarget, input.Window());
    EXPECT_EQ(devices[0].dwFlags & RIDEV_INPUTSINK, static_cast<DWORD>(RIDEV_INPUTSINK));

    EXPECT_TRUE(input.DisableRawInput());
    count = 4;
    EXPECT_EQ(GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)), 0u);
    // Registered again, then gone with the thread.
    EXPECT_TRUE(input.EnableRawInput());
    input.Shutdown();
    count = 4;
    EXPECT_EQ(GetRegisteredRawInputDevices(devices, &count, sizeof(RAWINPUTDEVICE)), 0u);
    EXPECT_EQ(log.Text(), L"Enabling raw input...\n   Failed (00000578).\nEnabling raw input...\n"
                          L"Disabling raw input...\nEnabling raw input...\n");
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
