#include "view/log_viewer_win.h"

#include "base/diagnostic_log.h"
#include "logging/event_log.h"
#include "logging/log_rtf.h"

#include <algorithm>
#include <vector>

void LogViewer::LiftTextLimit() {
    SendMessageW(Handle(), EM_EXLIMITTEXT, 0, kLogViewTextLimit);
}

bool LogViewer::AppendLine(const std::wstring& text, bool fault) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return AppendLineAt(text, fault, now);
}

bool LogViewer::AppendLineAt(const std::wstring& text, bool fault, const SYSTEMTIME& time) {
    QueueLineAt(text, fault, time, 0);
    WriteQueuedLines();
    return true;
}

void LogViewer::QueueLine(const std::wstring& text, bool fault, std::uint32_t now) {
    SYSTEMTIME time{};
    GetLocalTime(&time);
    QueueLineAt(text, fault, time, now);
}

void LogViewer::QueueLineAt(const std::wstring& text, bool fault, const SYSTEMTIME& time,
                            std::uint32_t now) {
    queued_.Push(ComposeLogLine(true, time.wMinute, time.wSecond, time.wMilliseconds, text), fault,
                 now);
}

void LogViewer::WriteQueuedLines() {
    if (queued_.Empty()) {
        return;
    }
    HWND view = Handle();
    SetFocus(view);
    const int length = GetWindowTextLengthW(view);
    const LogInsertion insertion = queued_.Take(length <= 0);

    // Drawing is held back for the whole insertion and done once afterwards. Each message
    // costs the control a pass over its layout, so their number must not grow with the lines.
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    // Placing the selection by position makes a control walk its text, so it is placed only
    // when it is not at the end already, where the last write left it.
    CHARRANGE range{};
    SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    GETTEXTLENGTHEX characters{GTL_NUMCHARS, 1200};
    const LONG storedLength = static_cast<LONG>(
        SendMessageW(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&characters), 0));
    if (range.cpMin != range.cpMax || range.cpMax != storedLength) {
        range = {length, length};
        SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    const bool faults =
        std::any_of(insertion.runs.begin(), insertion.runs.end(),
                    [](const LogColourRun& run) { return run.colour != kNormalLineColour; });
    if (faults) {
        // Text and colours in one message, as rich text that names only colours (the text
        // keeps the view's font).
        const std::string rtf = LogInsertionRtf(insertion);
        SETTEXTEX how{ST_SELECTION, CP_ACP};
        SendMessageW(view, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&how),
                     reinterpret_cast<LPARAM>(rtf.c_str()));
    } else {
        // The normal colour as the format of the empty selection at the end, then the text.
        CHARFORMATW format{};
        format.cbSize = sizeof(format);
        format.dwMask = CFM_COLOR;
        format.dwEffects = 0;
        format.crTextColor = kNormalLineColour;
        SendMessageW(view, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(insertion.text.c_str()));
    }
    // The caret after the new text, where the next write expects it.
    std::size_t inserted = 0;
    for (const LogColourRun& run : insertion.runs) {
        inserted += run.span;
    }
    const LONG end = range.cpMin + static_cast<LONG>(inserted);
    SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMin != end || range.cpMax != end) {
        range = {end, end};
        SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    }
    // One line of scrolling per line, as if each had been appended alone.
    SendMessageW(view, EM_LINESCROLL, 0, static_cast<LPARAM>(insertion.lines));
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(view, nullptr, TRUE);
    HideCaret(view);
}

std::wstring LogViewer::Text() {
    WriteQueuedLines();
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
    const MonitorWorkArea work{info.rcWork.left, info.rcWork.top, info.rcWork.right,
                               info.rcWork.bottom};
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
    // Queued lines go in first; writing them moves the selection, so the user's is kept.
    CHARRANGE selection{};
    SendMessageW(Handle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    if (!queued_.Empty()) {
        WriteQueuedLines();
        SendMessageW(Handle(), EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    }
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
