#include "app/run_main_dialog.h"
#include "resources/resource.h"
#include "support/test_support.h"
#include "ui/message_loop.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

BOOL CALLBACK CloseMainWindow(HWND window, LPARAM) {
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && GetDlgItem(window, IDC_MAIN_CLOSE) != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return FALSE;
    }
    return TRUE;
}

// Runs inside the main window's message loop: closes the window the way a user would.
void CALLBACK CloseTimer(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CloseMainWindow, 0);
}

// Gives the thread its processors back after the run pinned it.
class AffinityGuard {
public:
    AffinityGuard() { GetProcessAffinityMask(GetCurrentProcess(), &process_, &system_); }
    ~AffinityGuard() { SetThreadAffinityMask(GetCurrentThread(), process_); }
    DWORD_PTR ProcessMask() const { return process_; }

private:
    DWORD_PTR process_ = 0;
    DWORD_PTR system_ = 0;
};

} // namespace

TEST(RunMainDialog, ClosingTheMainWindowEndsTheRunWith1069) {
    if (FindResourceW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), RT_DIALOG) ==
        nullptr) {
        GTEST_SKIP() << "the test program carries no main window template";
    }
    AffinityGuard affinity;
    CapturedLog log;
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CloseTimer);
    const int exitCode = RunMainDialog(SW_HIDE);
    KillTimer(nullptr, timer);

    EXPECT_EQ(exitCode, 1069);
    EXPECT_EQ(Module().GetMessageLoop(), nullptr);
    const std::wstring& text = log.Text();
    EXPECT_TRUE(std::regex_search(
        text,
        std::wregex(L"^Windows version [0-9]+\\.[0-9]+\\.[0-9]+ \"[^\"]*\" \\([0-9]+\\.[0-9]+\\), "
                    L"suite 0x[0-9a-f]+, product 0x[0-9a-f]+\\.\n")))
        << text;
    EXPECT_TRUE(
        std::regex_search(text, std::wregex(L"\nPerf counter frequency:  [1-9][0-9]*/sec\\.\n")))
        << text;
    const bool mayPin = (affinity.ProcessMask() & 2) != 0;
    EXPECT_EQ(text.find(L"\nSetting thread affinity...  Ok.\n") != std::wstring::npos, mayPin)
        << text;
    EXPECT_NE(text.find(L"Enabling raw input...\n"), std::wstring::npos);
    EXPECT_EQ(text.find(L"Main dialog creation failed!"), std::wstring::npos);
}

TEST(RunMainDialog, FailedCreationReturnsZeroAndUnregistersTheLoop) {
    AffinityGuard affinity;
    CapturedLog log;
    EXPECT_EQ(RunMainDialog(SW_HIDE, 4242), 0);
    EXPECT_EQ(Module().GetMessageLoop(), nullptr);
    const std::wstring& text = log.Text();
    EXPECT_NE(text.find(L"Main dialog creation failed!\n"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L"Enabling raw input"), std::wstring::npos);
}
