#include "shell/main_dlg.h"

#include "logging/diagnostic_log.h"
#include "resources/resource.h"
#include "shell/app_messages.h"

CMainDlg::CMainDlg() : rawInput_(nullptr, keyEvents_) {}

HWND CMainDlg::Create(UINT templateId) {
    return ModelessDialog::Create(nullptr, templateId);
}

bool CMainDlg::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return true;
    case WM_INPUT:
        result = rawInput_.OnInput(lParam);
        return true;
    case UWM_KEY_MAKE:
        OnKeyMake(wParam);
        return true;
    case UWM_KEY_BREAK:
        OnKeyBreak(wParam);
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MAIN_CLOSE) {
            CloseDialog(IDC_MAIN_CLOSE);
            return true;
        }
        break;
    case WM_CLOSE:
        CloseDialog(IDC_MAIN_CLOSE);
        return true;
    case WM_ENDSESSION:
        if (wParam) {
            CloseDialog(IDC_MAIN_CLOSE);
            return true;
        }
        break;
    case WM_DESTROY:
        RemoveFromMessageLoop(this);
        return true;
    default:
        break;
    }
    return ReflectNotification(message, wParam, lParam, result);
}

void CMainDlg::OnInitDialog() {
    AddToMessageLoop(this);
    rawInput_.SetTarget(Handle());
    rawInput_.EnableRawInput();
}

void CMainDlg::OnKeyMake(WPARAM index) {
    LogMessage(L"CMainDlg::OnKeyMake(%u)\n", static_cast<unsigned>(index));
}

void CMainDlg::OnKeyBreak(WPARAM index) {
    LogMessage(L"CMainDlg::OnKeyBreak(%u)\n", static_cast<unsigned>(index));
}

void CMainDlg::CloseDialog(int id) {
    // Posting the quit message more than once has the effect of posting it once.
    ::PostQuitMessage(id);
    DestroyWindow();
    ::PostQuitMessage(id);
}
