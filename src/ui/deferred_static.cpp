#include "ui/deferred_static.h"

#include <algorithm>
#include <utility>
#include <vector>

bool DeferredStatic::SubclassWindow(HWND window) {
    // Read before taking over: afterwards the text is answered from here.
    std::wstring current;
    if (window != nullptr) {
        const int length = ::GetWindowTextLengthW(window);
        std::vector<wchar_t> buffer(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
        ::GetWindowTextW(window, buffer.data(), length + 1);
        current = buffer.data();
    }
    if (!SubclassedWindow::SubclassWindow(window)) {
        return false;
    }
    text_ = std::move(current);
    stored_ = true;
    return true;
}

void DeferredStatic::SetText(const wchar_t* text) {
    const wchar_t* value = text != nullptr ? text : L"";
    if (text_ == value) {
        return;
    }
    text_ = value;
    stored_ = false;
    // One invalidation until the paint: every later change is drawn by that same paint.
    if (!paintPending_) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
        paintPending_ = true;
    }
}

LRESULT DeferredStatic::CopyText(WPARAM capacity, LPARAM buffer) const {
    auto* out = reinterpret_cast<wchar_t*>(buffer);
    if (out == nullptr || capacity == 0) {
        return 0;
    }
    const std::size_t count = std::min<std::size_t>(text_.size(), capacity - 1);
    std::copy_n(text_.c_str(), count, out);
    out[count] = L'\0';
    return static_cast<LRESULT>(count);
}

void DeferredStatic::StoreText() {
    if (!stored_) {
        // The plain window procedure stores the text without drawing; the control's own
        // WM_SETTEXT would draw it once more before this paint.
        ::DefWindowProcW(Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text_.c_str()));
        stored_ = true;
    }
}

bool DeferredStatic::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SETTEXT:
        SetText(reinterpret_cast<const wchar_t*>(lParam));
        result = TRUE;
        return true;
    case WM_GETTEXT:
        result = CopyText(wParam, lParam);
        return true;
    case WM_GETTEXTLENGTH:
        result = static_cast<LRESULT>(text_.size());
        return true;
    case WM_PAINT:
        paintPending_ = false;
        StoreText();
        return false;
    case WM_PRINTCLIENT:
        // Drawn into another device context (a print, an animation): the current text too.
        StoreText();
        return false;
    case WM_SHOWWINDOW:
        // A window shown again is painted whole; no earlier request stands in for that.
        paintPending_ = false;
        return false;
    default:
        return false;
    }
}
