#include "pages/input_language_win.h"

#include "base/diagnostic_log.h"
#include "pages/keyboard_page.h"

#include <cstdint>

InputLanguageField* InputLanguageField::hooked_ = nullptr;

void InputLanguageField::Update() {
    wchar_t layoutName[KL_NAMELENGTH] = {};
    ::GetKeyboardLayoutNameW(layoutName);
    const HKL layout = ::GetKeyboardLayout(0);
    const auto handle = reinterpret_cast<std::uintptr_t>(layout);
    const auto languageId = static_cast<std::uint16_t>(handle & 0xFFFF);
    LogKeyboardLayout(layoutName, languageId, static_cast<std::uint16_t>((handle >> 16) & 0xFFFF));
    wchar_t nativeName[80] = {};
    ::GetLocaleInfoW(languageId, LOCALE_SNATIVELANGNAME, nativeName, 80);
    ::SetWindowTextW(field_, FormatLanguageField(languageId, nativeName).c_str());
}

void InputLanguageField::Hook() {
    hooked_ = this;
    hook_ = ::SetWindowsHookExW(WH_SHELL, &InputLanguageField::ShellHookProc, nullptr,
                                ::GetCurrentThreadId());
}

void InputLanguageField::Unhook() {
    if (hook_ != nullptr) {
        ::UnhookWindowsHookEx(hook_);
        hook_ = nullptr;
    }
    if (hooked_ == this) {
        hooked_ = nullptr;
    }
}

LRESULT CALLBACK InputLanguageField::ShellHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HSHELL_LANGUAGE) {
        if (hooked_ != nullptr) {
            LogMessage(L"CKeyboardDlg::ShellHookProc() - Updating locale info.\n");
            hooked_->Update();
        }
        return 0;
    }
    if (code < 0) {
        return ::CallNextHookEx(hooked_ != nullptr ? hooked_->hook_ : nullptr, code, wParam,
                                lParam);
    }
    return 0;
}
