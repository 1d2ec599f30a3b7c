#pragma once
// The keyboard test page's input language field, kept current through a shell hook that
// hears of the thread's input language changes.
#include <windows.h>

class InputLanguageField {
public:
    InputLanguageField() = default;
    InputLanguageField(const InputLanguageField&) = delete;
    InputLanguageField& operator=(const InputLanguageField&) = delete;
    ~InputLanguageField() { Unhook(); }

    void SetField(HWND field) { field_ = field; }
    // Shows the active input language: its identifier and its own name for itself.
    void Update();
    void Hook();
    void Unhook();
    HWND Field() const { return field_; }

private:
    static LRESULT CALLBACK ShellHookProc(int code, WPARAM wParam, LPARAM lParam);

    HWND field_ = nullptr;
    HHOOK hook_ = nullptr;
    static InputLanguageField* hooked_;
};
