#include "logging/log_viewer_win.h"

#include "logging/diagnostic_log.h"
#include "logging/event_log.h"

#include <vector>

bool LogViewer::AppendLine(const std::wstring& text, bool fault) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return AppendLineAt(text, fault, now);
}

bool LogViewer::AppendLineAt(const std::wstring& text, bool fault, const SYSTEMTIME& time) {
    HWND view = Handle();
    SetFocus(view);
    const int length = GetWindowTextLengthW(view);
    const std::wstring line =
        ComposeLogLine(length <= 0, time.wMinute, time.wSecond, time.wMilliseconds, text);

    // The text is inserted at its end and then coloured as a whole, line break included.
    // Colouring the empty end first and relying on the insertion format is not enough: a
    // control may drop that format when the selection is set again.
    // Drawing is held back while the line is inserted, coloured and scrolled into view, and
    // done once afterwards: painting every intermediate step made each key event cost
    // milliseconds, and fast typing queued up behind the log.
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    CHARRANGE range{length, length};
    SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const LONG start = range.cpMin;
    SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const LONG end = range.cpMax;

    range = {start, end};
    SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMATW format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.dwEffects = 0;
    format.crTextColor = LogLineColour(fault);
    SendMessageW(view, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    range = {end, end};
    SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    SendMessageW(view, EM_LINESCROLL, 0, 1);
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view, nullptr, TRUE);
    HideCaret(view);
    return true;
}

std::wstring LogViewer::Text() const {
    HWND view = Handle();
    const int length = GetWindowTextLengthW(view);
    if (length <= 0) {
        return std::wstring();
    }
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(view, buffer.data(), length + 1);
    return std::wstring(buffer.data(), static_cast<std::size_t>(copied > 0 ? copied : 0));
}

void LogViewer::PrepareContextMenu(HMENU popup, const CHARRANGE& selection) {
    if (!CopyEnabled(selection.cpMin, selection.cpMax)) {
        EnableMenuItem(popup, kLogViewerCopyCommand, MF_BYCOMMAND | MF_DISABLED);
    }
}

POINT LogViewer::PlaceContextMenu(POINT screenPoint) {
    const bool onAMonitor = MonitorFromPoint(screenPoint, MONITOR_DEFAULTTONULL) != nullptr;
    if (onAMonitor) {
        return screenPoint;
    }
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    HMONITOR nearest = MonitorFromPoint(screenPoint, MONITOR_DEFAULTTONEAREST);
    if (nearest == nullptr || !GetMonitorInfoW(nearest, &info)) {
        return screenPoint;
    }
    const ScreenRect work{info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    screenPoint.x = PlaceMenuX(screenPoint.x, false, work);
    return screenPoint;
}

LRESULT LogViewer::OnRightButtonUp(LPARAM position) {
    LogMessage(L"LogViewer::OnRightButtonUp(), showing menu...\n");
    HWND view = Handle();
    CHARRANGE selection{};
    SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    ClientToScreen(view, &point);
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kLogViewerMenuId));
    if (menu == nullptr) {
        return 0;
    }
    HMENU popup = GetSubMenu(menu, 0);
    if (popup != nullptr) {
        PrepareContextMenu(popup, selection);
        point = PlaceContextMenu(point);
        TrackPopupMenu(popup, 0, point.x, point.y, 0, view, nullptr);
    }
    // Destroying the loaded menu destroys its popup with it.
    DestroyMenu(menu);
    return 0;
}

void LogViewer::OnCopy() {
    LogMessage(L"LogViewer::OnCopy()\n");
    SendMessageW(Handle(), WM_COPY, 0, 0);
}

bool LogViewer::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_LBUTTONUP:
        HideCaret(Handle());
        return false;
    case WM_RBUTTONUP:
        result = OnRightButtonUp(lParam);
        return true;
    case WM_COMMAND:
        if (LOWORD(wParam) == kLogViewerCopyCommand) {
            OnCopy();
            result = 0;
            return true;
        }
        return false;
    default:
        return false;
    }
}
