#include "app/main_dlg.h"

#include "app/main_layout.h"
#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "layouts/resource_strings_win.h"
#include "logging/printable_text.h"
#include "resources/resource.h"
#include "settings/profile_win.h"
#include "ui/align_window.h"
#include "ui/colour_scheme.h"

#include <shellapi.h>

#include <string>

namespace {

void ShowErrorBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
    ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_ICONERROR);
}

// The platform's own words for an error code, without the line break it ends in.
std::wstring SystemErrorText(std::uint32_t error) {
    wchar_t* text = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words = length > 0 && text != nullptr ? std::wstring(text, length) : L"";
    if (text != nullptr) {
        ::LocalFree(text);
    }
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L' ')) {
        words.pop_back();
    }
    return words.empty() ? FormatWide(L"Error 0x%08x.", static_cast<unsigned>(error)) : words;
}

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
      borderPen_(::CreatePen(PS_SOLID, 1, Palette::FrameLine)), settingsWriter_(&SaveSettings),
      errorBox_(&ShowErrorBox) {
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
    dialogDpi_.Attach(Handle());
    // Everything below sees the user's settings.
    LoadSettings();
    SetIcons();
    AddToMessageLoop(this);
    AttachCaptionButtons();
    frame_.SubclassWindow(::GetDlgItem(Handle(), IDC_MAIN_FRAME));
    ApplyDpiToControls();
    CreatePages();
    firstTab_.SubclassWindow(::GetDlgItem(Handle(), IDC_MAIN_TAB_LAYOUT));
    secondTab_.SubclassWindow(::GetDlgItem(Handle(), IDC_MAIN_TAB_SETTINGS));
    StackPagesOverTheFrame();
    dragStripHeight_ = Scaled(titleHeight_);
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
            Scaled(kFrameMargin);
    }
}

void CMainDlg::AlignTabsAndPage() {
    firstTab_.AlignAbove(frame_.Handle(), Scaled(2));
    secondTab_.AlignAbove(frame_.Handle(), Scaled(2));
    keyboardPage_.AlignLeftEdges(frame_.Handle(), Scaled(kFrameMargin));
    keyboardPage_.AlignTopEdges(frame_.Handle(), Scaled(kFrameMargin));
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
    WriteSettingsOnce(false);
    RemoveFromMessageLoop(this);
}

void CMainDlg::WriteSettingsOnce(bool showFailure) {
    if (settingsWritten_) {
        return;
    }
    settingsWritten_ = true;
    std::uint32_t error = 0;
    if (settingsWriter_(error)) {
        return;
    }
    LogMessage(L"Settings not saved to \"%ls\" (0x%08x).\n", SettingsFilePath().c_str(),
               static_cast<unsigned>(error));
    if (showFailure && errorBox_ != nullptr) {
        std::wstring format;
        std::wstring caption;
        ReadResourceString(IDS_SETTINGS_NOT_SAVED, format);
        ReadResourceString(IDS_SETTINGS_ERROR_CAPTION, caption);
        errorBox_(
            Handle(),
            FormatWide(format.c_str(), SettingsFilePath().c_str(), SystemErrorText(error).c_str()),
            caption);
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
        // A border of one 96-DPI pixel: as many screen pixels, one inside the other.
        for (int inset = 0; inset < Scaled(1); ++inset) {
            ::MoveToEx(dc, client.left + inset, client.top + inset, nullptr);
            ::LineTo(dc, client.right - 1 - inset, client.top + inset);
            ::LineTo(dc, client.right - 1 - inset, client.bottom - 1 - inset);
            ::LineTo(dc, client.left + inset, client.bottom - 1 - inset);
            ::LineTo(dc, client.left + inset, client.top + inset);
        }
    }
    if (titleBitmap_) {
        HDC memory = ::CreateCompatibleDC(dc);
        if (memory != nullptr) {
            {
                SelectedObject bitmap(memory,
                                      scaledTitle_ ? scaledTitle_.Get() : titleBitmap_.Get());
                ::BitBlt(dc, 0, 0, Scaled(titleWidth_), Scaled(titleHeight_), memory, 0, 0,
                         SRCCOPY);
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
        const int margin = Scaled(kFrameMargin);
        const int left = frame.left + margin;
        const int top = frame.top + margin;
        ::SetWindowPos(keyboardPage, nullptr, left, top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (settingsPage_.Handle() != nullptr) {
            ::SetWindowPos(settingsPage_.Handle(), nullptr, left, top, page.Width(), page.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const FrameExtent extent =
            FrameAroundPage(page.Width(), page.Height(), minimumFrameWidth_, margin);
        ::SetWindowPos(frame_.Handle(), nullptr, 0, 0, extent.width, extent.height,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const FrameExtent size =
        WindowAroundFrame(ChildRect(window, frame_.Handle()), Scaled(kFrameMargin));
    // A layout too large for the screen is drawn with smaller keys, so that the whole
    // window, close button included, stays on the screen.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    const bool onMonitor =
        ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor) != FALSE;
    const int workWidth = monitor.rcWork.right - monitor.rcWork.left;
    const int workHeight = monitor.rcWork.bottom - monitor.rcWork.top;
    if (keyboardPage != nullptr && !fitting_ && onMonitor) {
        const FrameExtent over = OverflowOf(size, workWidth, workHeight);
        if (over.width > 0 || over.height > 0) {
            const KeyboardWindow& view = keyboardPage_.View();
            fitting_ = true;
            const bool fitted = keyboardPage_.FitKeyboard(view.ViewWidth() - over.width,
                                                          view.ViewHeight() - over.height);
            if (fitted) {
                OnReflowLayout();
            }
            fitting_ = false;
            if (fitted) {
                return;
            }
        }
    }
    // Where even the smallest keys leave the window too large (the page's own controls at 200 %
    // on a small screen), everything is drawn at the largest scale at which the window fits.
    if (onMonitor) {
        const int fittingDpi = DpiToFit(Dpi(), size.width, size.height, workWidth, workHeight);
        if (fittingDpi < Dpi()) {
            LogMessage(L"Window drawn at %d DPI to fit the screen.\n", fittingDpi);
            ScaleTo(fittingDpi);
            const bool wasFitting = fitting_;
            fitting_ = false;
            OnReflowLayout();
            fitting_ = wasFitting;
            return;
        }
    }
    ::SetWindowPos(window, nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A larger layout grows the window to the right and down; keep it on the screen rather
    // than leave part of the keyboard beyond the edge.
    KeepOnWorkArea(window);

    closeButton_.AlignRightEdges(window, -Scaled(4));
    restoreButton_.AlignLeftOf(closeButton_.Handle(), 0);
    minimizeButton_.AlignLeftOf(restoreButton_.Handle(), 0);
    logoButton_.CentreBetween(closeButton_.Handle(), frame_.Handle());
    logoButton_.AlignRightEdges(frame_.Handle(), 0);

    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ShowLayoutName();
}

void CMainDlg::ApplyDpiToControls() {
    const int dpi = dialogDpi_.Dpi();
    for (ImageButton* button : {&logoButton_, &minimizeButton_, &restoreButton_, &closeButton_}) {
        button->SetDpi(dpi);
    }
    firstTab_.SetDpi(dpi);
    secondTab_.SetDpi(dpi);
    frame_.SetDpi(dpi);
    scaledTitle_.Reset();
    if (titleBitmap_ && dpi != kBaseDpi) {
        const int width = Scaled(titleWidth_);
        const int height = Scaled(titleHeight_);
        HDC screen = ::GetDC(nullptr);
        HDC source = ::CreateCompatibleDC(screen);
        HDC target = ::CreateCompatibleDC(screen);
        scaledTitle_.Reset(::CreateCompatibleBitmap(screen, width, height));
        if (source != nullptr && target != nullptr && scaledTitle_) {
            SelectedObject from(source, titleBitmap_.Get());
            SelectedObject to(target, scaledTitle_.Get());
            ::SetStretchBltMode(target, HALFTONE);
            ::SetBrushOrgEx(target, 0, 0, nullptr);
            ::StretchBlt(target, 0, 0, width, height, source, 0, 0, titleWidth_, titleHeight_,
                         SRCCOPY);
        }
        if (target != nullptr) {
            ::DeleteDC(target);
        }
        if (source != nullptr) {
            ::DeleteDC(source);
        }
        ::ReleaseDC(nullptr, screen);
    }
}

void CMainDlg::ScaleTo(int dpi) {
    const int previous = dialogDpi_.Dpi();
    if (!dialogDpi_.Change(dpi)) {
        return;
    }
    minimumFrameWidth_ = ScaleBetweenDpi(minimumFrameWidth_, previous, dpi);
    dragStripHeight_ = Scaled(titleHeight_);
    ApplyDpiToControls();
    if (keyboardPage_.Handle() != nullptr) {
        keyboardPage_.SetDpi(dpi);
    }
    if (settingsPage_.Handle() != nullptr) {
        settingsPage_.SetDpi(dpi);
    }
    firstTab_.AlignAbove(frame_.Handle(), Scaled(2));
    secondTab_.AlignAbove(frame_.Handle(), Scaled(2));
}

void CMainDlg::OnDpiChanged(int dpi, const RECT* suggested) {
    LogMessage(L"CMainDlg::OnDpiChanged(%d -> %d)\n", dialogDpi_.Dpi(), dpi);
    ScaleTo(dpi);
    // The suggested rectangle puts the window on the screen it went to; the reflow then sizes
    // it around the page and fits it to that screen's work area.
    if (suggested != nullptr) {
        ::SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    OnReflowLayout();
}

void CMainDlg::ShowLayoutName() {
    const std::wstring& name = keyboardPage_.Layout().name;
    if (name.empty()) {
        LogMessage(L"No layout name to display.\n");
        return;
    }
    ::SetWindowTextW(firstTab_.Handle(), PrintableText(UpperCase(name)).c_str());
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
    // Before the window goes, so that a failure can be shown; the program closes all the same.
    WriteSettingsOnce(true);
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
            WriteSettingsOnce(false);
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
    case kDpiChangedMessage:
        OnDpiChanged(static_cast<int>(HIWORD(wParam)), reinterpret_cast<const RECT*>(lParam));
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
