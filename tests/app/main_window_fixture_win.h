#pragma once
// The main window as the program makes it, on a message loop of this thread; closed with
// the close command at the end. Settings changed by a test are put back.
#include "app/main_dlg.h"
#include "resources/resource.h"
#include "settings/app_settings.h"

#include <gtest/gtest.h>

#include <memory>

// Handles every message waiting on this thread.
inline void PumpMainWindow() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = Settings();
        // The event log control's window class, as the program's start-up loads it.
        static const HMODULE richEdit = LoadLibraryW(L"RICHED20.DLL");
        ASSERT_NE(richEdit, nullptr);
        Module().AddMessageLoop(&loop_);
        dialog_ = std::make_unique<CMainDlg>();
        window_ = dialog_->Create(IDD_MAIN);
        ASSERT_NE(window_, nullptr);
        page_ = dialog_->KeyboardPage().Handle();
        ASSERT_NE(page_, nullptr);
        PumpMainWindow();
    }
    void TearDown() override {
        if (window_ != nullptr && IsWindow(window_)) {
            SendMessageW(window_, WM_COMMAND, IDC_MAIN_CLOSE, 0);
        }
        PumpMainWindow();
        dialog_.reset();
        Module().RemoveMessageLoop();
        Settings() = saved_;
    }

    AppSettings saved_;
    CMessageLoop loop_;
    std::unique_ptr<CMainDlg> dialog_;
    HWND window_ = nullptr;
    HWND page_ = nullptr;
};
