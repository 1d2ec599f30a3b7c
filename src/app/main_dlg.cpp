#include "app/main_dlg.h"

#include "app/main_layout.h"
#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "resources/resource.h"
#include "settings/profile_win.h"
#include "ui/align_window.h"
#include "ui/colour_scheme.h"

#include <shellapi.h>

#include <string>

namespace {

constexpr Colour kTabText = MakeColour(242, 242, 242);
constexpr Colour kTabLine = MakeColour(100, 100, 100);
constexpr Colour kTabBackground = MakeColour(51, 51, 51);
constexpr Colour kTabSelected = MakeColour(69, 69, 69);
constexpr int kButtonTextChars = 49;

HINSTANCE ProgramInstance() {
    return Module().Instance() != nullptr ? Module().Instance() : ::GetModuleHandleW(nullptr);
}

bool IsCaptionControl(int id) {
    switch (id) {
    case IDC_MAIN_TAB_LAYOUT:
    case IDC_MAIN_TAB_SETTINGS:
    case IDC_MAIN_LOGO:
    case IDC_MAIN_MINIMIZE:
    case IDC_MAIN_RESTORE:
    case IDC_MAIN_CLOSE:
        return true;
    default:
        return false;
    }
}

std::wstring UpperCase(const std::wstring& text) {
    const int length = static_cast<int>(text.size());
    const int needed =
        ::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text.c_str(), length, nullptr, 0);
    if (needed <= 0) {
        return text;
    }
    std::wstring upper(static_cast<size_t>(needed), L'\0');
    if (::LCMapStringW(LOCALE_USER_DEFAULT, LCMAP_UPPERCASE, text.c_str(), length, upper.data(),
                       needed) <= 0) {
        return text;
    }
    return upper;
}

} // namespace

CMainDlg::CMainDlg()
    : firstTab_(kTabText, kTabLine, kTabBackground, kTabSelected, true),
      secondTab_(kTabText, kTabLine, kTabBackground, kTabSelected, false),
      frame_(Palette::FrameLine, Palette::PageBackground),
      logoButton_(IDB_LOGO, true, ProgramInstance()),
      minimizeButton_(IDB_MINIMIZE, true, ProgramInstance()),
      restoreButton_(IDB_RESTORE, true, ProgramInstance()),
      closeButton_(IDB_CLOSE, true, ProgramInstance()), textColour_(Palette::NormalText),
      backgroundColour_(Palette::MainBackground),
      borderPen_(::CreatePen(PS_SOLID, 1, Palette::FrameLine)), settingsWriter_(&SaveSettings) {
    firstTab_.SetNeighbours(nullptr, &secondTab_);
    secondTab_.SetNeighbours(&firstTab_, nullptr);
    titleBitmap_.Reset(static_cast<HBITMAP>(::LoadImageW(
        ProgramInstance(), MAKEINTRESOURCEW(IDB_TITLE), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    BITMAP info{};
    if (titleBitmap_ && ::GetObjectW(titleBitmap_.Get(), sizeof(info), &info) == sizeof(info)) {
        titleWidth_ = info.bmWidth;
        titleHeight_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
}

CMainDlg::~CMainDlg() {
    if (bigIcon_ != nullptr) {
        ::DestroyIcon(bigIcon_);
    }
    if (smallIcon_ != nullptr) {
        ::DestroyIcon(smallIcon_);
    }
}

HWND CMainDlg::Create(UINT templateId) {
    return ModelessDialog::Create(nullptr, templateId);
}

void CMainDlg::InitMainWindow() {
    // Everything below sees the user's settings.
    LoadSettings();
    SetIcons();
    AddToMessageLoop(this);
    AttachCaptionButtons();
    frame_.SubclassWindow(::GetDlgItem(Handle(), IDC_MAIN_FRAME));
    CreatePages();
    firstTab_.SubclassWindow(::GetDlgItem(Handle(), IDC_MAIN_TAB_LAYOUT));
    secondTab_.SubclassWindow(::GetDlgItem(Handle(), IDC_MAIN_TAB_SETTINGS));
    StackPagesOverTheFrame();
    dragStripHeight_ = titleHeight_;
    KeepRoomForTheLayoutList();
    AlignTabsAndPage();
    ::SendMessageW(Handle(), UWM_REFLOW_LAYOUT, 0, 0);
    CentreWindow(Handle());
    ShowPagesWithSettings();
    ::SetForegroundWindow(Handle());
    backgroundBrush_.Reset(::CreateSolidBrush(backgroundColour_));
}

void CMainDlg::SetIcons() {
    bigIcon_ = static_cast<HICON>(::LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(IDI_APP),
                                               IMAGE_ICON, ::GetSystemMetrics(SM_CXICON),
                                               ::GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(::LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(IDI_APP),
                                                 IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0));
    ::SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    ::SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
}

void CMainDlg::AttachCaptionButtons() {
    HWND window = Handle();
    logoButton_.SubclassWindow(::GetDlgItem(window, IDC_MAIN_LOGO));
    minimizeButton_.SubclassWindow(::GetDlgItem(window, IDC_MAIN_MINIMIZE));
    restoreButton_.SubclassWindow(::GetDlgItem(window, IDC_MAIN_RESTORE));
    closeButton_.SubclassWindow(::GetDlgItem(window, IDC_MAIN_CLOSE));
    minimizeButton_.AlignTopEdges(window, 0);
    restoreButton_.AlignTopEdges(window, 0);
    closeButton_.AlignTopEdges(window, 0);
}

void CMainDlg::CreatePages() {
    // A page that cannot be made leaves the window without it.
    if (keyboardPage_.Create(Handle()) == nullptr) {
        LogMessage(L"Unable to create keyboard dialog (0x%08x).\n",
                   static_cast<unsigned>(::GetLastError()));
    }
    if (settingsPage_.Create(Handle()) == nullptr) {
        LogMessage(L"Unable to create settings dialog (0x%08x).\n",
                   static_cast<unsigned>(::GetLastError()));
    }
}

void CMainDlg::StackPagesOverTheFrame() {
    HWND keyboardPage = keyboardPage_.Handle();
    HWND settingsPage = settingsPage_.Handle();
    if (keyboardPage != nullptr) {
        ::SetWindowPos(keyboardPage, frame_.Handle(), 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (settingsPage != nullptr) {
        ::SetWindowPos(settingsPage, keyboardPage != nullptr ? keyboardPage : frame_.Handle(), 0, 0,
                       0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void CMainDlg::KeepRoomForTheLayoutList() {
    // The frame must always hold the layout selection box where the template put it.
    HWND keyboardPage = keyboardPage_.Handle();
    if (keyboardPage != nullptr) {
        minimumFrameWidth_ =
            ChildRect(Handle(), ::GetDlgItem(keyboardPage, IDC_KBD_LAYOUT_GROUP)).right +
            kFrameMargin;
    }
}

void CMainDlg::AlignTabsAndPage() {
    firstTab_.AlignAbove(frame_.Handle(), 2);
    secondTab_.AlignAbove(frame_.Handle(), 2);
    keyboardPage_.AlignLeftEdges(frame_.Handle(), kFrameMargin);
    keyboardPage_.AlignTopEdges(frame_.Handle(), kFrameMargin);
}

void CMainDlg::ShowPagesWithSettings() {
    HWND keyboardPage = keyboardPage_.Handle();
    if (keyboardPage != nullptr) {
        keyboardPage_.ApplySettings();
    }
    settingsPage_.RefreshFromSettings();
    if (keyboardPage != nullptr) {
        ::ShowWindow(keyboardPage, SW_SHOWNORMAL);
    }
    settingsPage_.ShowVersion();
}

void CMainDlg::OnDestroy() {
    WriteSettingsOnce();
    RemoveFromMessageLoop(this);
}

void CMainDlg::WriteSettingsOnce() {
    if (!settingsWritten_) {
        settingsWritten_ = true;
        settingsWriter_();
    }
}

void CMainDlg::OnPaint() {
    HWND window = Handle();
    RECT update{};
    if (!::GetUpdateRect(window, &update, FALSE)) {
        LogMessage(L"CMainDlg::OnPaint():  GetUpdateRect returned 0, nothing to paint.\n");
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(window, &paint);
    if (dc == nullptr) {
        LogMessage(L"CMainDlg::OnPaint():  No display device context available.\n");
        return;
    }
    LogMessage(L"CMainDlg::OnPaint() - updating (%d, %d, %d, %d)\n", static_cast<int>(update.left),
               static_cast<int>(update.top), static_cast<int>(update.right),
               static_cast<int>(update.bottom));
    RECT client{};
    ::GetClientRect(window, &client);
    {
        SelectedObject pen(dc, borderPen_.Get());
        ::MoveToEx(dc, client.left, client.top, nullptr);
        ::LineTo(dc, client.right - 1, client.top);
        ::LineTo(dc, client.right - 1, client.bottom - 1);
        ::LineTo(dc, client.left, client.bottom - 1);
        ::LineTo(dc, client.left, client.top);
    }
    if (titleBitmap_) {
        HDC memory = ::CreateCompatibleDC(dc);
        if (memory != nullptr) {
            {
                SelectedObject bitmap(memory, titleBitmap_.Get());
                ::BitBlt(dc, 0, 0, titleWidth_, titleHeight_, memory, 0, 0, SRCCOPY);
            }
            ::DeleteDC(memory);
        }
    }
    ::EndPaint(window, &paint);
}

LRESULT CMainDlg::OnNcHitTest(LPARAM lParam) {
    POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    ::ScreenToClient(Handle(), &point);
    return HitTestDragStrip(point.y, dragStripHeight_);
}

void CMainDlg::OnReflowLayout() {
    LogMessage(L"CMainDlg::OnReflowLayout\n");
    HWND window = Handle();
    const PixelRect frame = ChildRect(window, frame_.Handle());
    HWND keyboardPage = keyboardPage_.Handle();
    if (keyboardPage != nullptr) {
        keyboardPage_.Reflow();
        const PixelRect page = ChildRect(window, keyboardPage);
        const int left = frame.left + kFrameMargin;
        const int top = frame.top + kFrameMargin;
        ::SetWindowPos(keyboardPage, nullptr, left, top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (settingsPage_.Handle() != nullptr) {
            ::SetWindowPos(settingsPage_.Handle(), nullptr, left, top, page.Width(), page.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const FrameExtent extent = FrameAroundPage(page.Width(), page.Height(), minimumFrameWidth_);
        ::SetWindowPos(frame_.Handle(), nullptr, 0, 0, extent.width, extent.height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const FrameExtent size = WindowAroundFrame(ChildRect(window, frame_.Handle()));
    // A layout too large for the screen is drawn with smaller keys, so that the whole
    // window, close button included, stays on the screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (keyboardPage != nullptr && !fitting_ &&
        ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const FrameExtent over = OverflowOf(size, monitor.rcWork.right - monitor.rcWork.left,
                                            monitor.rcWork.bottom - monitor.rcWork.top);
        if (over.width > 0 || over.height > 0) {
            const KeyboardLayout& layout = keyboardPage_.Layout();
            fitting_ = true;
            const bool fitted =
                keyboardPage_.FitKeyboard(layout.width - over.width, layout.height - over.height);
            if (fitted) {
                OnReflowLayout();
            }
            fitting_ = false;
            if (fitted) {
                return;
            }
        }
    }
    ::SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A larger layout grows the window to the right and down; keep it on the screen rather
    // than leave part of the keyboard beyond the edge.
    KeepOnWorkArea(window);

    closeButton_.AlignRightEdges(window, -4);
    restoreButton_.AlignLeftOf(closeButton_.Handle(), 0);
    minimizeButton_.AlignLeftOf(restoreButton_.Handle(), 0);
    logoButton_.CentreBetween(closeButton_.Handle(), frame_.Handle());
    logoButton_.AlignRightEdges(frame_.Handle(), 0);

    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ShowLayoutName();
}

void CMainDlg::ShowLayoutName() {
    const std::wstring& name = keyboardPage_.Layout().name;
    if (name.empty()) {
        LogMessage(L"No layout name to display.\n");
        return;
    }
    ::SetWindowTextW(firstTab_.Handle(), UpperCase(name).c_str());
    ::SendMessageW(firstTab_.Handle(), kLayoutTabRowMessage, 0, 0);
}

void CMainDlg::OnLogo() {
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(Handle(), L"open", kHomePageAddress, nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        LogMessage(L"ShellExecute error (0x%08x).\n", static_cast<unsigned>(result));
    }
}

void CMainDlg::OnMinimize() {
    LogMessage(L"Minimize button.\n");
    // With a caption the task bar can restore the window; WM_SIZE takes it away again.
    const LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
    ::SetWindowLongW(Handle(), GWL_STYLE, style | WS_CAPTION);
    ::ShowWindow(Handle(), SW_SHOWMINIMIZED);
}

void CMainDlg::ShowKeyboardPage() {
    if (keyboardPage_.Handle() != nullptr) {
        keyboardPage_.ApplySettings();
    }
    if (!firstTab_.IsSelected()) {
        firstTab_.SetSelected(true);
    }
    if (secondTab_.IsSelected()) {
        secondTab_.SetSelected(false);
    }
    ::ShowWindow(settingsPage_.Handle(), SW_HIDE);
    ::ShowWindow(keyboardPage_.Handle(), SW_SHOW);
}

void CMainDlg::ShowSettingsPage() {
    if (!secondTab_.IsSelected()) {
        secondTab_.SetSelected(true);
    }
    if (firstTab_.IsSelected()) {
        firstTab_.SetSelected(false);
    }
    ::ShowWindow(keyboardPage_.Handle(), SW_HIDE);
    ::ShowWindow(settingsPage_.Handle(), SW_SHOW);
}

void CMainDlg::CloseDialog(int id) {
    keyboardPage_.DestroyWindow();
    ::PostQuitMessage(id);
    settingsPage_.DestroyWindow();
    ::PostQuitMessage(id);
    DestroyWindow();
    // Posting the quit message more than once has the effect of posting it once.
    ::PostQuitMessage(id);
}

bool CMainDlg::OnCommand(int id) {
    switch (id) {
    case IDC_MAIN_LOGO:
        OnLogo();
        return true;
    case IDC_MAIN_TAB_LAYOUT:
        ShowKeyboardPage();
        return true;
    case IDC_MAIN_TAB_SETTINGS:
        ShowSettingsPage();
        return true;
    case IDC_MAIN_MINIMIZE:
        OnMinimize();
        return true;
    case IDC_MAIN_RESTORE:
        LogMessage(L"Restore button, ignoring.\n");
        return true;
    case IDC_MAIN_CLOSE:
        CloseDialog(IDC_MAIN_CLOSE);
        return true;
    default:
        return false;
    }
}

LRESULT CMainDlg::OnCtlColor(UINT message, HDC dc, HWND control) {
    if (message == WM_CTLCOLORBTN || message == kReflectedCtlColorBtn) {
        LogMessage(L"CMainDlg::OnCtlColor_Btn() - button ID %d \"%ls\".\n", ::GetDlgCtrlID(control),
                   WindowText(control, kButtonTextChars).c_str());
    }
    ::SetBkColor(dc, backgroundColour_);
    ::SetTextColor(dc, textColour_);
    return reinterpret_cast<LRESULT>(backgroundBrush_.Get());
}

bool CMainDlg::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_DESTROY:
        OnDestroy();
        result = 0;
        return true;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED) {
            const LONG style = ::GetWindowLongW(Handle(), GWL_STYLE);
            if ((style & WS_CAPTION) != 0) {
                ::SetWindowLongW(Handle(), GWL_STYLE, style & ~static_cast<LONG>(WS_CAPTION));
            }
        }
        result = 0;
        return true;
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    case WM_CLOSE:
        ::PostMessageW(Handle(), WM_COMMAND, IDC_MAIN_CLOSE, 0);
        result = 0;
        return true;
    case WM_ENDSESSION:
        // Only when the session really ends: a cancelled log-off keeps the program running.
        // Windows may end the process as soon as this returns, before the posted close runs,
        // so the settings are written here.
        if (wParam != FALSE) {
            WriteSettingsOnce();
            ::PostMessageW(Handle(), WM_COMMAND, IDC_MAIN_CLOSE, 0);
        }
        result = 0;
        return true;
    case WM_NCHITTEST:
        result = OnNcHitTest(lParam);
        return true;
    case WM_INITDIALOG:
        InitMainWindow();
        result = TRUE;
        return true;
    case WM_LBUTTONDOWN:
        ::SetFocus(Handle());
        result = 0;
        return true;
    case UWM_LAYOUT_CHANGED:
        LogMessage(L"Layout loaded, reflowing...\n");
        // The reflow at the end of initialisation covers the first load.
        if (backgroundBrush_) {
            ::SendMessageW(Handle(), UWM_REFLOW_LAYOUT, 0, 0);
        }
        result = 0;
        return true;
    case UWM_REFLOW_LAYOUT:
        OnReflowLayout();
        result = 0;
        return true;
    case UWM_DISABLE_RAW_INPUT:
    case UWM_ENABLE_RAW_INPUT:
        result = keyboardPage_.Handle() != nullptr
                     ? ::SendMessageW(keyboardPage_.Handle(), message, wParam, lParam)
                     : 0;
        return true;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && OnCommand(LOWORD(wParam))) {
            result = 0;
            return true;
        }
        break;
    default:
        break;
    }
    switch (message) {
    case WM_INPUTLANGCHANGEREQUEST:
        LogMessage(L"CMainDlg::OnInputLangChangeRequest()\n");
        if (keyboardPage_.Handle() != nullptr) {
            keyboardPage_.UpdateInputLanguage();
        }
        return false;
    case WM_ACTIVATEAPP:
        // Back in the foreground: releases that happened elsewhere may have been missed.
        if (wParam != FALSE && keyboardPage_.Handle() != nullptr) {
            keyboardPage_.ReleaseKeysMissedWhileAway();
        }
        return false;
    case WM_INPUTLANGCHANGE:
        LogMessage(L"CMainDlg::OnInputLangChange()\n");
        if (keyboardPage_.Handle() != nullptr) {
            keyboardPage_.UpdateInputLanguage();
        }
        return false;
    case WM_IME_SETCONTEXT:
        LogMessage(L"CMainDlg::OnIMESetContext()\n");
        return false;
    default:
        return ReflectOrColour(message, wParam, lParam, result, &IsCaptionControl);
    }
}
