#include "pages/layout_list_win.h"

#include "base/app_messages.h"
#include "logging/log_files_win.h"
#include "view/keyboard_window_win.h"

void FillLayoutCombo(HWND combo, const LayoutLibrary& library) {
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const auto& entry : library.Entries()) {
        SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(entry.name.c_str()));
    }
}

void HighlightLayoutCombo(HWND combo, int index) {
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::wstring ExpandLayoutFolder(const std::wstring& setting) {
    return ExpandEnvironmentText(setting);
}

WinLayoutPage::WinLayoutPage(const LayoutPageControls& controls, KeyboardWindow& view,
                             StatusLabel& statusText, std::function<void()> keyStatesReset)
    : controls_(controls), view_(view), statusText_(statusText),
      keyStatesReset_(std::move(keyStatesReset)) {}

bool WinLayoutPage::LoadLayoutFile(const std::wstring& path) {
    return view_.LoadLayoutFile(path);
}

bool WinLayoutPage::LoadLayoutString(const std::wstring& text) {
    return view_.LoadLayoutString(text);
}

void WinLayoutPage::ResetKeyStates() {
    view_.ResetKeyStates();
    if (keyStatesReset_) {
        keyStatesReset_();
    }
}

void WinLayoutPage::EmptyEventLog() {
    SetWindowTextW(controls_.logView, L"");
}

void WinLayoutPage::HideLogStatus() {
    ShowWindow(controls_.logStatus, SW_HIDE);
}

void WinLayoutPage::ClearLastKeyFields() {
    for (HWND field : controls_.lastKeyFields) {
        SetWindowTextW(field, L"");
    }
}

void WinLayoutPage::ShowStatusCaption(bool visible) {
    ShowWindow(controls_.statusCaption, visible ? SW_SHOW : SW_HIDE);
}

void WinLayoutPage::PostLayoutChanged() {
    PostMessageW(GetParent(controls_.page), UWM_LAYOUT_CHANGED, 0, 0);
}

void WinLayoutPage::HighlightLayoutEntry(int index) {
    HighlightLayoutCombo(controls_.combo, index);
}

void WinLayoutPage::FocusPage() {
    SetFocus(controls_.page);
}

const LayoutLoadFailure* WinLayoutPage::LastLoadFailure() const {
    return &view_.LastFailure();
}

void WinLayoutPage::ReportLoadFailure(const std::wstring& line) {
    if (controls_.reportFailure) {
        controls_.reportFailure(line);
    }
}
