#include "ui/align_window.h"

#include "ui/window_dpi.h"

namespace {
PixelRect FromRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}
} // namespace

PixelRect ScreenRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return FromRect(rect);
}

PixelRect ChildRect(HWND parent, HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return FromRect(rect);
}

bool AlignWindow::Apply(const PixelRect& target, bool move) {
    HWND window = AlignedWindow();
    if (window == nullptr) {
        return false;
    }
    POINT topLeft{target.left, target.top};
    HWND parent = ::GetAncestor(window, GA_PARENT);
    if (parent != nullptr && (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) != 0) {
        ::ScreenToClient(parent, &topLeft);
    }
    const UINT flags = SWP_NOACTIVATE | SWP_NOZORDER | (move ? SWP_NOSIZE : SWP_NOMOVE);
    return ::SetWindowPos(window, nullptr, topLeft.x, topLeft.y, target.Width(), target.Height(),
                          flags) != FALSE;
}

bool AlignWindow::AlignAbove(HWND reference, int offset) {
    return Apply(::AlignAbove(ScreenRect(AlignedWindow()), ScreenRect(reference), offset), true);
}

bool AlignWindow::AlignLeftEdges(HWND reference, int offset) {
    return Apply(::AlignLeftEdges(ScreenRect(AlignedWindow()), ScreenRect(reference), offset),
                 true);
}

bool AlignWindow::AlignTopEdges(HWND reference, int offset) {
    return Apply(::AlignTopEdges(ScreenRect(AlignedWindow()), ScreenRect(reference), offset), true);
}

bool AlignWindow::AlignRightEdges(HWND reference, int offset) {
    return Apply(::AlignRightEdges(ScreenRect(AlignedWindow()), ScreenRect(reference), offset),
                 true);
}

bool AlignWindow::AlignLeftOf(HWND reference, int offset) {
    return Apply(::AlignLeftOf(ScreenRect(AlignedWindow()), ScreenRect(reference), offset), true);
}

bool AlignWindow::CentreBetween(HWND upper, HWND lower) {
    return Apply(::CentreBetween(ScreenRect(AlignedWindow()), ScreenRect(upper), ScreenRect(lower)),
                 true);
}

bool AlignWindow::StretchToBottom(HWND reference, int offset) {
    return Apply(::StretchToBottom(ScreenRect(AlignedWindow()), ScreenRect(reference), offset),
                 false);
}

bool AlignWindow::StretchToRight(HWND reference, int offset) {
    return Apply(::StretchToRight(ScreenRect(AlignedWindow()), ScreenRect(reference), offset),
                 false);
}

bool CentreWindow(HWND window) {
    if (window == nullptr) {
        return false;
    }
    const LONG style = ::GetWindowLongW(window, GWL_STYLE);
    const PixelRect own = ScreenRect(window);
    PixelRect reference;
    PixelRect bounds;
    HWND parent = ::GetAncestor(window, GA_PARENT);
    if ((style & WS_CHILD) != 0 && parent != nullptr) {
        RECT client{};
        ::GetClientRect(parent, &client);
        ::MapWindowPoints(parent, nullptr, reinterpret_cast<POINT*>(&client), 2);
        reference = bounds = FromRect(client);
    } else {
        HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
        MONITORINFO info{};
        info.cbSize = sizeof(info);
        if (!::GetMonitorInfoW(monitor, &info)) {
            return false;
        }
        bounds = FromRect(info.rcWork);
        reference = bounds;
        HWND owner = ::GetWindow(window, GW_OWNER);
        if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
            reference = ScreenRect(owner);
        }
    }
    const PixelRect target = CentreWithin(own, reference, bounds);
    POINT topLeft{target.left, target.top};
    if ((style & WS_CHILD) != 0 && parent != nullptr) {
        ::ScreenToClient(parent, &topLeft);
    }
    return ::SetWindowPos(window, nullptr, topLeft.x, topLeft.y, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

bool KeepOnWorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    if (window == nullptr ||
        !::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info)) {
        return false;
    }
    const PixelRect own = ScreenRect(window);
    const PixelRect target = KeepWithin(own, FromRect(info.rcWork));
    if (target == own) {
        return true;
    }
    return ::SetWindowPos(window, nullptr, target.left, target.top, 0, 0,
                          SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

bool ResizeClient(HWND window, int width, int height) {
    RECT rect{0, 0, width, height};
    const DWORD style = static_cast<DWORD>(::GetWindowLongW(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongW(window, GWL_EXSTYLE));
    const BOOL hasMenu = (style & WS_CHILD) == 0 && ::GetMenu(window) != nullptr;
    if (!AdjustWindowRectForDpi(rect, style, hasMenu != FALSE, exStyle, WindowDpi(window))) {
        return false;
    }
    return ::SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                          SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}
