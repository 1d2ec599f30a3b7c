#include "ui/window_base.h"

#include <commctrl.h>

namespace {
// One subclass id for every object: a window is taken over by at most one of them.
constexpr UINT_PTR kSubclassId = 0x54415057; // "TAPW"
} // namespace

SubclassedWindow::~SubclassedWindow() {
    UnsubclassWindow();
}

bool SubclassedWindow::SubclassWindow(HWND window) {
    if (window == nullptr || window_ != nullptr) {
        return false;
    }
    if (!::SetWindowSubclass(window, &SubclassedWindow::SubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this))) {
        return false;
    }
    window_ = window;
    return true;
}

HWND SubclassedWindow::UnsubclassWindow() {
    HWND window = window_;
    if (window != nullptr) {
        if (::IsWindow(window)) {
            ::RemoveWindowSubclass(window, &SubclassedWindow::SubclassProc, kSubclassId);
        }
        window_ = nullptr;
    }
    return window;
}

LRESULT SubclassedWindow::DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefSubclassProc(window_, message, wParam, lParam);
}

LRESULT CALLBACK SubclassedWindow::SubclassProc(HWND window, UINT message, WPARAM wParam,
                                                LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<SubclassedWindow*>(data);
    if (message == WM_NCDESTROY) {
        // The window goes away: hand it back before the final default processing.
        ::RemoveWindowSubclass(window, &SubclassedWindow::SubclassProc, kSubclassId);
        if (self != nullptr && self->window_ == window) {
            self->window_ = nullptr;
        }
        return ::DefSubclassProc(window, message, wParam, lParam);
    }
    LRESULT result = 0;
    if (self != nullptr && self->ProcessMessage(message, wParam, lParam, result)) {
        return result;
    }
    return ::DefSubclassProc(window, message, wParam, lParam);
}
