#pragma once
// A static text field whose text may change many times a second (the last-key fields, the
// held-keys line). A static control paints itself at once on every WM_SETTEXT and stores the
// text through the window manager, which under Wine costs a server round trip each; a burst of
// key events would spend most of its time there. This one keeps the text in the program,
// answers WM_GETTEXT from it, and asks for one paint however often the text changes before
// that paint; the control's own painting then draws it, so it looks exactly as before.
#include "ui/window_base.h"

#include <string>

class DeferredStatic : public SubclassedWindow {
public:
    bool SubclassWindow(HWND window) override;

    // As WM_SETTEXT, without a message. A null text empties the field.
    void SetText(const wchar_t* text);
    const std::wstring& Text() const { return text_; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LRESULT CopyText(WPARAM capacity, LPARAM buffer) const;
    // Hands the text to the window manager, from which the control's painting reads it.
    void StoreText();

    std::wstring text_;
    bool stored_ = true;        // the window manager holds text_ (what the control paints)
    bool paintPending_ = false; // invalidated, WM_PAINT not yet seen
};
