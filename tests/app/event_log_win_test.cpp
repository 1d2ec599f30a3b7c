// The event log of the running page: key records through the page's own road into the view and
// the saved file, with bursts cut by Save and Clear / Reload.
#include "app/main_dlg.h"
#include "app/main_window_fixture_win.h"
#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "input/elapsed_clock.h"
#include "logging/event_log.h"
#include "logging/log_line_queue.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "support/test_support.h"
#include "ui/gdi_objects.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

void Pump() {
    PumpMainWindow();
}

// Handles the records waiting for the page and nothing else: the key engine's work, with the
// log lines it queued not yet written.
void HandleKeyRecords() {
    MSG message;
    while (PeekMessageW(&message, nullptr, UWM_KEY_RECORDS, UWM_KEY_RECORDS, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
}

// The home row A S D F G H J K L with their scan codes.
const USHORT kCodes[9] = {0x1E, 0x1F, 0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26};
const wchar_t kNames[9] = {L'A', L'S', L'D', L'F', L'G', L'H', L'J', L'K', L'L'};

RAWINPUT KeyRecord(int key, bool release) {
    RAWINPUT record{};
    record.header.dwType = RIM_TYPEKEYBOARD;
    record.data.keyboard.MakeCode = kCodes[key];
    record.data.keyboard.Flags = release ? RI_KEY_BREAK : RI_KEY_MAKE;
    record.data.keyboard.VKey = kNames[key];
    return record;
}

// The line text of record `index` of the sequence press 0, release 0, press 1, ...
std::wstring ExpectedLine(int index) {
    const int key = (index / 2) % 9;
    return FormatWide(L"%ls (0x%02X, BIOS 0x%02X) %ls", std::wstring(1, kNames[key]).c_str(),
                      static_cast<unsigned>(kNames[key]), static_cast<unsigned>(kCodes[key]),
                      index % 2 == 0 ? L"DOWN" : L"UP -> ");
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    if (text.empty()) {
        return lines;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end - start));
        if (end == std::wstring::npos) {
            return lines;
        }
        start = end + 2;
    }
}

// Every line is the stamp and the expected text of records first .. first + count - 1.
::testing::AssertionResult HoldsLines(const std::wstring& text, int first, int count) {
    const std::vector<std::wstring> lines = SplitLines(text);
    if (static_cast<int>(lines.size()) != count) {
        return ::testing::AssertionFailure() << lines.size() << " lines, not " << count;
    }
    for (int i = 0; i < count; ++i) {
        const std::wstring expected = ExpectedLine(first + i);
        if (lines[i].size() < 11 || lines[i].compare(11, expected.size(), expected) != 0) {
            return ::testing::AssertionFailure() << "line " << i << " reads \"" << lines[i]
                                                 << "\", expected \"" << expected << "\"";
        }
    }
    return ::testing::AssertionSuccess();
}

class EventLogTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        if (HasFatalFailure()) {
            return;
        }
        log_ = GetDlgItem(page_, IDC_KBD_LOG);
        // After the window loaded the settings file.
        Settings().ChatterThreshold = 0; // records handed over at once are no chatter here
        Settings().LogFileDirectory = folder_.Path().wstring();
        Settings().LogFilePrefix = L"Run";
    }
    // Hands over records first .. first + count - 1 of the sequence.
    void Type(int first, int count) {
        InputThread& input = dialog_->KeyboardPage().Input();
        for (int i = first; i < first + count; ++i) {
            input.OnRecord(KeyRecord((i / 2) % 9, i % 2 == 1));
        }
    }
    std::wstring LogText() {
        const int length = GetWindowTextLengthW(log_);
        return WindowText(log_, length + 1);
    }
    void Save() { SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_SAVE, BN_CLICKED), 0); }
    std::string Saved(int number) {
        return ReadFileBytes(folder_.Path() / FormatWide(L"Run%05d.log", number));
    }

    TempFolder folder_;
    HWND log_ = nullptr;
};

} // namespace

TEST_F(EventLogTest, FiftyThousandLinesArriveInOrderAndAreSavedWhole) {
    EXPECT_GE(SendMessageW(log_, EM_GETLIMITTEXT, 0, 0), 1000000 * 120);
    for (int first = 0; first < 50000; first += 1000) {
        Type(first, 1000);
        Pump();
    }
    const std::wstring text = LogText();
    EXPECT_GT(text.size(), 1500000u);
    EXPECT_TRUE(HoldsLines(text, 0, 50000));
    Save();
    EXPECT_TRUE(Saved(1) == EncodeLogFileBytes(text));
}

TEST_F(EventLogTest, LinesWaitWhileKeysAreHandledAndComeInOrder) {
    const std::uint32_t start = ElapsedMilliseconds();
    Type(0, 6);
    HandleKeyRecords();
    // The keys and fields are done; the lines wait for the page to have nothing else to do
    // (unless handling took so long that the oldest line was due anyway).
    EXPECT_EQ(WindowText(GetDlgItem(page_, IDC_KBD_UP_NAME), 16), L" D");
    if (ElapsedMilliseconds() - start < kLogWriteDelayLimitMs) {
        EXPECT_TRUE(LogText().empty());
    }
    Pump();
    EXPECT_TRUE(HoldsLines(LogText(), 0, 6));
    EXPECT_EQ(GetFocus(), log_);
    Type(6, 200);
    Pump();
    EXPECT_TRUE(HoldsLines(LogText(), 0, 206));
}

TEST_F(EventLogTest, LinesWaitingTooLongAreWrittenDuringABurst) {
    Type(0, 1);
    HandleKeyRecords();
    EXPECT_TRUE(LogText().empty());
    Sleep(80);
    Type(1, 1);
    HandleKeyRecords();
    EXPECT_TRUE(HoldsLines(LogText(), 0, 2));
}

TEST_F(EventLogTest, SaveInTheMiddleOfABurstHasEveryLineHandledSoFar) {
    Type(0, 60);
    HandleKeyRecords();
    // The rest of the burst has arrived, not yet handled.
    Type(60, 40);
    Save();
    const std::wstring first = LogText();
    EXPECT_TRUE(HoldsLines(first, 0, 60));
    EXPECT_TRUE(Saved(1) == EncodeLogFileBytes(first));
    Pump();
    Save();
    EXPECT_TRUE(HoldsLines(LogText(), 0, 100));
    EXPECT_TRUE(Saved(2) == EncodeLogFileBytes(LogText()));
}

TEST_F(EventLogTest, ClearInTheMiddleOfABurstLeavesNothingOfTheTestBefore) {
    Type(0, 40);
    HandleKeyRecords();
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_CLEAR, BN_CLICKED), 0);
    Pump();
    EXPECT_TRUE(LogText().empty());
    Type(40, 2);
    Pump();
    EXPECT_TRUE(HoldsLines(LogText(), 40, 2));
}

namespace {

// Ends whatever modal loop the page is in once the loop has handled everything posted: a
// timer message comes only when no posted message waits.
HWND g_modalOwner = nullptr;

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && window != g_modalOwner) {
        PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}

void CALLBACK EndMessageBox(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    EnumThreadWindows(GetCurrentThreadId(), CloseMessageBox, 0);
}

void CALLBACK EndMove(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    // The move loop ends on Return.
    PostMessageW(g_modalOwner, WM_KEYDOWN, VK_RETURN, 0);
}

} // namespace

TEST_F(EventLogTest, BurstWhileAMessageBoxIsOpenIsLoggedWhole) {
    Type(0, 400);
    g_modalOwner = window_;
    SetTimer(nullptr, 0, 10, EndMessageBox);
    MessageBoxW(window_, L"A burst arrives behind this box.", L"Tapwise", MB_OK);
    // Handled by the box's own loop: in the view before this test pumps anything.
    EXPECT_TRUE(HoldsLines(LogText(), 0, 400));
    Save();
    EXPECT_TRUE(Saved(1) == EncodeLogFileBytes(LogText()));
}

TEST_F(EventLogTest, BurstWhileTheWindowIsMovedIsLoggedWhole) {
    Type(0, 400);
    g_modalOwner = window_;
    SetTimer(nullptr, 0, 10, EndMove);
    // The move loop of the window manager, as a drag of the title bar starts it.
    ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    SendMessageW(window_, WM_SYSCOMMAND, SC_MOVE, 0);
    EXPECT_TRUE(HoldsLines(LogText(), 0, 400));
    Type(400, 100);
    Pump();
    Save();
    EXPECT_TRUE(HoldsLines(LogText(), 0, 500));
    EXPECT_TRUE(Saved(1) == EncodeLogFileBytes(LogText()));
}
