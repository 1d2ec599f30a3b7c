#include "pages/keyboard_dlg_win.h"

#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "devices/device_identity_win.h"
#include "input/elapsed_clock.h"
#include "input/key_states.h"
#include "input/scancode_map_win.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/layout_file_load.h"
#include "layouts/layout_install_win.h"
#include "layouts/layout_parser.h"
#include "layouts/resource_strings_win.h"
#include "pages/keyboard_page.h"
#include "report/readout.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/settings_page.h"
#include "ui/colour_scheme.h"
#include "view/message_font_win.h"

#include <algorithm>

CKeyboardDlg* CKeyboardDlg::hookPage_ = nullptr;

namespace {

// The fields the key engine writes on every event: the six last-key fields, then the
// held-keys line.
constexpr int kKeyFieldIds[7] = {IDC_KBD_DOWN_NAME,      IDC_KBD_UP_NAME,     IDC_KBD_DOWN_WIN_CODE,
                                 IDC_KBD_DOWN_BIOS_CODE, IDC_KBD_UP_WIN_CODE, IDC_KBD_UP_BIOS_CODE,
                                 IDC_KBD_HELD_KEYS};

std::wstring PageText(int id) {
    std::wstring text;
    ReadResourceString(static_cast<UINT>(id), text);
    return text;
}

void ShowErrorBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
    ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_ICONERROR);
}

// The controls whose drawing, colour and notification messages go back to them.
bool IsReflectedControl(int id) {
    switch (id) {
    case IDC_KBD_CLEAR:
    case IDC_KBD_SAVE:
    case IDC_KBD_REPORT:
    case IDC_KBD_KEYBOARD:
    case IDC_KBD_LOG_STATUS:
    case IDC_KBD_STATUS_LABEL:
    case IDC_KBD_STATUS:
    case IDC_KBD_STATUS_ERROR:
        return true;
    default:
        return false;
    }
}

// The readout's bar: a dim green that light text stays readable on; faulty counts in a red
// that stands out on the dark frame.
constexpr Colour kReadoutBar = MakeColour(46, 100, 46);
constexpr Colour kReadoutAlarm = MakeColour(255, 110, 110);

void SetFont(HWND control, HFONT font) {
    if (control != nullptr && font != nullptr) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

} // namespace

CKeyboardDlg::CKeyboardDlg()
    : clearButton_(Palette::DimText, Palette::MainBackground),
      saveButton_(Palette::DimText, Palette::MainBackground),
      reportButton_(Palette::DimText, Palette::MainBackground),
      numLockLamp_(Palette::LampOn, Palette::DimText),
      scrollLockLamp_(Palette::LampOn, Palette::DimText),
      capsLockLamp_(Palette::LampOn, Palette::DimText), textColour_(Palette::NormalText),
      backgroundColour_(Palette::PageBackground),
      infoGroup_(Palette::FrameLine, Palette::MainBackground),
      layoutGroup_(Palette::FrameLine, Palette::MainBackground),
      keyboardGroup_(Palette::FrameLine, Palette::MainBackground),
      statusCaption_(Palette::MainBackground), statusText_(Palette::MainBackground),
      statusError_(Palette::MainBackground), logStatus_(Palette::PageBackground),
      readout_({Palette::MainBackground, Palette::FrameLine, kReadoutBar, Palette::NormalText,
                kReadoutAlarm}),
      keyboardView_(Palette::BrightText, Palette::MainBackground, Palette::Black),
      rawInput_(
          nullptr, keyEvents_, [this](const RAWINPUT& record) { IdentifyDevice(record); },
          [this](ScanCode code) { return engine_.IsHeld(code); }),
      viewRedraw_(keyboardView_), numLamp_(numLockLamp_), scrollLamp_(scrollLockLamp_),
      capsLamp_(capsLockLamp_), lockIndicators_(lockMonitor_, capsLamp_, numLamp_, scrollLamp_),
      statusLabel_(statusText_), logStatusLabel_(logStatus_),
      engine_(keyEvents_, KeyNames(), remapTable_, *this, nullptr), // reads the setting
      errorBox_(&ShowErrorBox) {
    ReadScancodeMap(remapTable_);
}

CKeyboardDlg::~CKeyboardDlg() {
    // A page object that goes before its window must not leave the hook behind.
    if (shellHook_ != nullptr) {
        ::UnhookWindowsHookEx(shellHook_);
        shellHook_ = nullptr;
    }
    if (hookPage_ == this) {
        hookPage_ = nullptr;
    }
}

HWND CKeyboardDlg::Create(HWND parent) {
    return ModelessDialog::Create(parent, IDD_KEYBOARD);
}

void CKeyboardDlg::OnInitDialog() {
    HWND page = Handle();
    rawInput_.SetTarget(page);
    // 1.
    if (Settings().Overwrite) {
        ::CheckDlgButton(page, IDC_KBD_OVERWRITE, BST_CHECKED);
    }
    // 2.
    AttachControls();
    // 3.
    lockMonitor_.Start();
    lockIndicators_.InitLockIndicators();
    // 4. The keyboard group box never shrinks below the design of the template.
    const PixelRect layoutGroup = ChildRect(page, layoutGroup_.Handle());
    const PixelRect keyboardGroup = ChildRect(page, keyboardGroup_.Handle());
    minimumGroupWidth_ = layoutGroup.right - keyboardGroup.left;
    minimumGroupHeight_ = keyboardGroup.Height();
    // 5.
    UpdateLogStatus();
    UpdateInputLanguage();
    // 6. Filled by the first key event's device identification.
    ::SetDlgItemTextW(page, IDC_KBD_INTERFACE, L"");
    ::SetDlgItemTextW(page, IDC_KBD_INTERFACE_DETAILS, L"");
    // 7.
    hookPage_ = this;
    shellHook_ = ::SetWindowsHookExW(WH_SHELL, &CKeyboardDlg::ShellHookProc, nullptr,
                                     ::GetCurrentThreadId());
    // 8.
    CreateFonts();
    // 9.
    std::wstring defaultText;
    std::wstring defaultName;
    PrepareDefaultLayout(defaultText, defaultName);
    selector_.SetDefaultLayout(std::move(defaultText), std::move(defaultName));
    // 10.
    BuildLayoutList();
    // 11.
    const std::wstring lastLayout = Settings().LastLayout;
    selector_.SelectLayout(*layoutPage_, lastLayout, Settings().LastLayout);
    if (selector_.Status() == LayoutStatusNoLayout) {
        LogMessage(L"Unable to load any keyboard layout!\n");
    }
    // 12.
    logSaver_.ShowSequenceNumber(*logSavePage_);
    // 13.
    pageBrush_.Reset(::CreateSolidBrush(Palette::PageBackground));
    dimBrush_.Reset(::CreateSolidBrush(Palette::DimText));
    lightBrush_.Reset(::CreateSolidBrush(Palette::NormalText));
    brightBrush_.Reset(::CreateSolidBrush(Palette::BrightText));
    frameBrush_.Reset(::CreateSolidBrush(Palette::MainBackground));
    // 14.
    AddToMessageLoop(this);
    // 15.
    EnableRawInputAtStart();
}

void CKeyboardDlg::AttachControls() {
    HWND page = Handle();
    infoGroup_.SubclassWindow(::GetDlgItem(page, IDC_KBD_INFO_GROUP));
    layoutGroup_.SubclassWindow(::GetDlgItem(page, IDC_KBD_LAYOUT_GROUP));
    keyboardGroup_.SubclassWindow(::GetDlgItem(page, IDC_KBD_KEYBOARD_GROUP));
    LogMessage(L"LogViewer::SubclassWindow()\n");
    logViewer_.SubclassWindow(::GetDlgItem(page, IDC_KBD_LOG));
    logViewer_.LiftTextLimit();
    clearButton_.SubclassWindow(::GetDlgItem(page, IDC_KBD_CLEAR));
    saveButton_.SubclassWindow(::GetDlgItem(page, IDC_KBD_SAVE));
    reportButton_.SubclassWindow(::GetDlgItem(page, IDC_KBD_REPORT));
    readout_.SubclassWindow(::GetDlgItem(page, IDC_KBD_READOUT));
    numLockLamp_.SubclassWindow(::GetDlgItem(page, IDC_KBD_NUM_LOCK));
    scrollLockLamp_.SubclassWindow(::GetDlgItem(page, IDC_KBD_SCROLL_LOCK));
    capsLockLamp_.SubclassWindow(::GetDlgItem(page, IDC_KBD_CAPS_LOCK));
    keyboardView_.SubclassWindow(::GetDlgItem(page, IDC_KBD_KEYBOARD));
    keyboardView_.AlignLeftEdges(keyboardGroup_.Handle(), kKeyboardMargin);
    keyboardView_.AlignTopEdges(keyboardGroup_.Handle(), kKeyboardMargin);

    layoutList_ = ::GetDlgItem(page, IDC_KBD_LAYOUT_LIST);
    for (int i = 0; i < 7; ++i) {
        keyFields_[i].SubclassWindow(::GetDlgItem(page, kKeyFieldIds[i]));
    }
    for (int i = 0; i < 6; ++i) {
        lastKeyFields_[i] = keyFields_[i].Handle();
        ::SetWindowTextW(lastKeyFields_[i], L"");
    }
    languageField_ = ::GetDlgItem(page, IDC_KBD_LANGUAGE);
    overwriteBox_ = ::GetDlgItem(page, IDC_KBD_OVERWRITE);

    logStatus_.SubclassWindow(::GetDlgItem(page, IDC_KBD_LOG_STATUS));
    statusCaption_.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS_LABEL));
    statusText_.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS));
    statusError_.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS_ERROR));

    LayoutPageControls controls;
    controls.page = page;
    controls.combo = layoutList_;
    controls.logView = logViewer_.Handle();
    controls.logStatus = logStatus_.Handle();
    controls.statusCaption = statusCaption_.Handle();
    for (int i = 0; i < 6; ++i) {
        controls.lastKeyFields[static_cast<size_t>(i)] = lastKeyFields_[i];
    }
    controls.reportFailure = [this](const std::wstring& line) {
        logViewer_.AppendLine(line, true);
    };
    // The figures of a test start afresh with its key states.
    layoutPage_ = std::make_unique<WinLayoutPage>(controls, keyboardView_, statusLabel_, [this] {
        engine_.ResetStatistics();
        UpdateReadout();
    });
    logSavePage_ = std::make_unique<WinLogSavePage>(
        page, ::GetDlgItem(page, IDC_KBD_SEQUENCE), overwriteBox_, logStatusLabel_,
        [this] { return logViewer_.Text(); }, [](int id) { return PageText(id); });
}

void CKeyboardDlg::CreateFonts() {
    const AppSettings& settings = Settings();
    HWND page = Handle();
    if (settings.PressedKeysFont != 0) {
        heldKeysFont_.Reset(CreateMessageFont(settings.PressedKeysFont, false));
        SetFont(::GetDlgItem(page, IDC_KBD_HELD_KEYS), heldKeysFont_.Get());
    }
    if (settings.KeyLabelFont != 0) {
        keyboardView_.ReplaceLabelFont(CreateMessageFont(settings.KeyLabelFont, false));
    }
    logFont_.Reset(CreateMessageFont(settings.LogFont, true));
    SetFont(logViewer_.Handle(), logFont_.Get());
    if (settings.LogNumberFont != 0) {
        sequenceFont_.Reset(CreateMessageFont(settings.LogNumberFont, false));
        SetFont(::GetDlgItem(page, IDC_KBD_SEQUENCE), sequenceFont_.Get());
    }
}

void CKeyboardDlg::BuildLayoutList() {
    AppSettings& settings = Settings();
    const std::wstring folder = ExpandLayoutFolder(settings.LayoutFileDirectory);
    // A first start fills the new layout folder with the layouts that ship beside the program.
    InstallLayoutsBesideProgram(folder);
    selector_.BuildLibrary(folder,
                           [](const std::wstring& path) { return ReadAnyLayoutName(path); });
    FillLayoutCombo(layoutList_, selector_.Library());
    if (settings.LastLayout.empty()) {
        settings.LastLayout = kDefaultLayoutMarker;
    }
    const int index = selector_.Library().IndexOfPath(settings.LastLayout);
    if (index >= 0) {
        HighlightLayoutCombo(layoutList_, index);
    }
}

void CKeyboardDlg::EnableRawInputAtStart() {
    if (rawInput_.EnableRawInput()) {
        return;
    }
    if (errorBox_ != nullptr) {
        errorBox_(Handle(), PageText(IDS_RAW_INPUT_FAILED), PageText(IDS_INIT_ERROR_CAPTION));
    }
}

void CKeyboardDlg::OnDestroy() {
    logViewer_.WriteQueuedLines();
    lockMonitor_.Stop(INFINITE);
    if (shellHook_ != nullptr) {
        ::UnhookWindowsHookEx(shellHook_);
        shellHook_ = nullptr;
    }
    if (hookPage_ == this) {
        hookPage_ = nullptr;
    }
    RemoveFromMessageLoop(this);
}

void CKeyboardDlg::OnClick_Clear() {
    LogMessage(L"CKeyboardDlg::OnClick_ClearClearing keyboard display...\n");
    // Lines of the test before go in before the view is emptied, never after it.
    logViewer_.WriteQueuedLines();
    // A copy: the selection writes the setting it reads.
    const std::wstring lastLayout = Settings().LastLayout;
    selector_.SelectLayout(*layoutPage_, lastLayout, Settings().LastLayout);
    logSaver_.SetStatus(LogStatusNone);
}

void CKeyboardDlg::OnClick_Save() {
    logViewer_.WriteQueuedLines();
    logSaver_.OnClick_Save(*logSavePage_, logFiles_, Settings().LogFileDirectory,
                           Settings().LogFilePrefix);
}

void CKeyboardDlg::OnClick_Report() {
    logSaver_.OnClick_Report(
        *logSavePage_, logFiles_, Settings().LogFileDirectory, Settings().LogFilePrefix, [this] {
            const TestReport report = BuildTestReport(Layout(), engine_.Statistics(),
                                                      KeyNames().Entries(), ReportContextNow());
            return std::vector<std::string>{WriteReportHtml(report), WriteReportCsv(report)};
        });
}

ReportContext CKeyboardDlg::ReportContextNow() const {
    const AppSettings& settings = Settings();
    ReportContext context;
    context.layoutName = Layout().name;
    context.threshold = static_cast<std::uint32_t>(std::max(0, settings.ChatterThreshold));
    context.interfaceText = WindowText(::GetDlgItem(Handle(), IDC_KBD_INTERFACE), 1024);
    context.deviceText = WindowText(::GetDlgItem(Handle(), IDC_KBD_INTERFACE_DETAILS), 1024);
    context.inputLanguage = WindowText(languageField_, 1024);
    context.programVersion = ProgramVersionText();
    context.colours = {settings.Unpressed, settings.Depressed, settings.Pressed, settings.Alarm};
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    context.clockNow = ElapsedMilliseconds();
    context.timeOfDayNow =
        ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
    context.dateTime = FormatWide(L"%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay,
                                  now.wHour, now.wMinute, now.wSecond);
    return context;
}

void CKeyboardDlg::UpdateReadout() {
    const TestCoverage coverage = CountCoverage(Layout());
    readout_.SetProgress(ReadoutParts(coverage, engine_.Statistics().Rollover()), coverage.tested,
                         coverage.keys);
}

void CKeyboardDlg::OnLayoutChoice() {
    logViewer_.WriteQueuedLines();
    const LRESULT index = ::SendMessageW(layoutList_, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        ::SetFocus(Handle());
        return;
    }
    selector_.OnSelectionChange(*layoutPage_, static_cast<int>(index), Settings().LastLayout);
}

bool CKeyboardDlg::OnCommand(int id, UINT code) {
    switch (id) {
    case IDC_KBD_CLEAR:
        OnClick_Clear();
        return true;
    case IDC_KBD_SAVE:
        OnClick_Save();
        return true;
    case IDC_KBD_REPORT:
        OnClick_Report();
        return true;
    case IDC_KBD_LAYOUT_LIST:
        if (code == CBN_SELCHANGE) {
            OnLayoutChoice();
            return true;
        }
        return false;
    case IDC_KBD_SEQUENCE:
        // Raw input without legacy messages would keep the typing from the box.
        if (code == EN_SETFOCUS) {
            ::SendMessageW(Handle(), UWM_DISABLE_RAW_INPUT, 0, 0);
            return true;
        }
        if (code == EN_KILLFOCUS) {
            ::SendMessageW(Handle(), UWM_ENABLE_RAW_INPUT, 0, 0);
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CKeyboardDlg::UpdateLogStatus() {
    logSaver_.UpdateLogStatus(logStatusLabel_);
}

void CKeyboardDlg::UpdateInputLanguage() {
    wchar_t layoutName[KL_NAMELENGTH] = {};
    ::GetKeyboardLayoutNameW(layoutName);
    const HKL layout = ::GetKeyboardLayout(0);
    const auto handle = reinterpret_cast<std::uintptr_t>(layout);
    const auto languageId = static_cast<std::uint16_t>(handle & 0xFFFF);
    LogKeyboardLayout(layoutName, languageId, static_cast<std::uint16_t>((handle >> 16) & 0xFFFF));
    wchar_t nativeName[80] = {};
    ::GetLocaleInfoW(languageId, LOCALE_SNATIVELANGNAME, nativeName, 80);
    ::SetWindowTextW(languageField_, FormatLanguageField(languageId, nativeName).c_str());
}

LRESULT CALLBACK CKeyboardDlg::ShellHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HSHELL_LANGUAGE) {
        if (hookPage_ != nullptr) {
            LogMessage(L"CKeyboardDlg::ShellHookProc() - Updating locale info.\n");
            hookPage_->UpdateInputLanguage();
        }
        return 0;
    }
    if (code < 0) {
        return ::CallNextHookEx(hookPage_ != nullptr ? hookPage_->shellHook_ : nullptr, code,
                                wParam, lParam);
    }
    return 0;
}

bool CKeyboardDlg::FitKeyboard(int maxWidth, int maxHeight) {
    return keyboardView_.FitWithin(maxWidth, maxHeight);
}

void CKeyboardDlg::Reflow() {
    LogMessage(L"Reflowing keyboard dialog layout...\n");
    logViewer_.WriteQueuedLines();
    HWND page = Handle();
    const PixelRect group = ChildRect(page, keyboardGroup_.Handle());
    const int width = keyboardView_.Layout().width;
    const int height = keyboardView_.Layout().height;

    ::MoveWindow(keyboardView_.Handle(), group.left + kKeyboardMargin, group.top + kKeyboardMargin,
                 width, height, TRUE);
    const PixelRect grown =
        KeyboardGroupRect(group, width, height, minimumGroupWidth_, minimumGroupHeight_);
    ResizeClient(keyboardGroup_.Handle(), grown.Width(), grown.Height());
    ::RedrawWindow(keyboardGroup_.Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    layoutGroup_.StretchToRight(keyboardGroup_.Handle(), 0);

    const int shift = grown.bottom - group.bottom;
    for (int id : {IDC_KBD_LOG, IDC_KBD_SAVE, IDC_KBD_REPORT, IDC_KBD_SEQUENCE, IDC_KBD_OVERWRITE,
                   IDC_KBD_LOG_STATUS}) {
        HWND control = ::GetDlgItem(page, id);
        const PixelRect rect = ChildRect(page, control);
        ::SetWindowPos(control, nullptr, rect.left, rect.top + shift, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const bool showLog = Settings().ShowLog;
    if (showLog) {
        LogMessage(L"Showing log window and controls.\n");
        for (int id :
             {IDC_KBD_LOG, IDC_KBD_SAVE, IDC_KBD_REPORT, IDC_KBD_SEQUENCE, IDC_KBD_OVERWRITE}) {
            ::ShowWindow(::GetDlgItem(page, id), SW_SHOW);
        }
        UpdateLogStatus();
    } else {
        LogMessage(L"Hiding log window and controls.\n");
        for (int id : {IDC_KBD_LOG, IDC_KBD_SAVE, IDC_KBD_REPORT, IDC_KBD_SEQUENCE,
                       IDC_KBD_OVERWRITE, IDC_KBD_LOG_STATUS}) {
            ::ShowWindow(::GetDlgItem(page, id), SW_HIDE);
        }
    }

    StretchToRight(keyboardGroup_.Handle(), 0);
    StretchToBottom(showLog ? logViewer_.Handle() : keyboardGroup_.Handle(), 0);
}

void CKeyboardDlg::ApplySettings() {
    LogMessage(L"Settings updated.\n");
    const AppSettings& settings = Settings();
    keyboardView_.SetStateColours(settings.Unpressed, settings.Depressed, settings.Pressed,
                                  settings.Alarm);
    if (settings.ShowLog != showLog_) {
        showLog_ = settings.ShowLog;
        ::PostMessageW(::GetParent(Handle()), UWM_REFLOW_LAYOUT, 0, 0);
    }
}

void CKeyboardDlg::IdentifyDevice(const RAWINPUT& record) {
    const IdentificationResult result =
        IdentifyRawInputDevice(record.header.hDevice, [](int id) { return PageText(id); });
    ShowIdentification(result, ::GetDlgItem(Handle(), IDC_KBD_INTERFACE),
                       ::GetDlgItem(Handle(), IDC_KBD_INTERFACE_DETAILS));
}

void CKeyboardDlg::SetFieldText(int control, const wchar_t* text) {
    // Looking a control up by its number asks the window manager; these are held here.
    for (int i = 0; i < 7; ++i) {
        if (kKeyFieldIds[i] == control) {
            keyFields_[i].SetText(text);
            return;
        }
    }
    ::SetDlgItemTextW(Handle(), control, text);
}

void CKeyboardDlg::AppendLine(const wchar_t* text, bool fault) {
    logViewer_.QueueLine(text, fault, ElapsedMilliseconds());
}

void CKeyboardDlg::ScheduleLogWrite() {
    const LogLineQueue& queued = logViewer_.Queued();
    if (queued.Empty()) {
        return;
    }
    // During a long burst the view still moves at least every delay limit.
    if (queued.DueForWrite(true, ElapsedMilliseconds())) {
        logViewer_.WriteQueuedLines();
        return;
    }
    if (!logWritePosted_) {
        logWritePosted_ = ::PostMessageW(Handle(), UWM_WRITE_LOG, 0, 0) != FALSE;
        if (!logWritePosted_) {
            logViewer_.WriteQueuedLines();
        }
    }
}

void CKeyboardDlg::StampWaitingInput() {
    // Looking for waiting records is a round trip to the window manager, as long as a key
    // event's work under Wine; one look per tick of the millisecond clock keeps a burst's
    // stamps within that millisecond at a fraction of the cost.
    const std::uint32_t now = ElapsedMilliseconds();
    if (inputLooked_ && now == lastInputLook_) {
        return;
    }
    inputLooked_ = true;
    lastInputLook_ = now;
    rawInput_.DecodeWaitingInput();
}

void CKeyboardDlg::OnWriteLog() {
    logWritePosted_ = false;
    // Posted messages come before raw input: records that arrived meanwhile are stamped
    // before the view takes its time.
    rawInput_.DecodeWaitingInput();
    if (logViewer_.Queued().DueForWrite(rawInput_.KeyInputWaiting(), ElapsedMilliseconds())) {
        logViewer_.WriteQueuedLines();
    } else if (!logViewer_.Queued().Empty()) {
        // Behind the waiting key messages; their handling may write first.
        logWritePosted_ = ::PostMessageW(Handle(), UWM_WRITE_LOG, 0, 0) != FALSE;
        if (!logWritePosted_) {
            logViewer_.WriteQueuedLines();
        }
    }
}

void CKeyboardDlg::NotifyPressed(ScanCode code) {
    ::NotifyPressed(keyboardView_.Layout(), &viewRedraw_, code);
}

void CKeyboardDlg::NotifyReleased(ScanCode code) {
    ::NotifyReleased(keyboardView_.Layout(), &viewRedraw_, code);
}

void CKeyboardDlg::NotifyFault(ScanCode code) {
    ::NotifyFault(keyboardView_.Layout(), &viewRedraw_, code);
}

void CKeyboardDlg::RefreshLockIndicator(LockKey lock) {
    lockIndicators_.RefreshLockIndicator(lock);
}

void CKeyboardDlg::SetLayoutStatus(int status) {
    // The engine only ever moves the status on after a key press; the selector does that
    // step and redraws the status line when the value changes.
    if (status != selector_.Status()) {
        selector_.OnKeyPress(*layoutPage_);
    }
}

LRESULT CKeyboardDlg::OnCtlColor(UINT message, HDC dc, HWND control) {
    ColourMessage kind = ColourMessage::Dialog;
    if (message == WM_CTLCOLORSTATIC) {
        kind = ColourMessage::Static;
    } else if (message == WM_CTLCOLORBTN || message == kReflectedCtlColorBtn) {
        kind = ColourMessage::Button;
    }
    const int id = control != nullptr && control != Handle() ? ::GetDlgCtrlID(control) : 0;
    const ControlColours colours = SchemeColours(SchemeDialog::KeyboardPage, kind, id);
    ::SetBkColor(dc, colours.background);
    ::SetTextColor(dc, colours.text);
    HBRUSH brush = pageBrush_.Get();
    if (colours.background == Palette::MainBackground) {
        brush = frameBrush_.Get();
    } else if (colours.background == Palette::NormalText) {
        brush = lightBrush_.Get();
    } else if (colours.background == Palette::BrightText) {
        brush = brightBrush_.Get();
    } else if (colours.background == Palette::DimText) {
        brush = dimBrush_.Get();
    }
    return reinterpret_cast<LRESULT>(brush);
}

void CKeyboardDlg::ReleaseKeysMissedWhileAway() {
    engine_.ReleaseKeysMissedWhileAway(ElapsedMilliseconds(), [](ScanCode, std::uint16_t key) {
        return key != 0 && key < 0xFF && (::GetAsyncKeyState(key) & 0x8000) != 0;
    });
    ScheduleLogWrite();
}

bool CKeyboardDlg::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return true;
    case WM_INPUT:
        result = rawInput_.OnInput(wParam, lParam);
        StampWaitingInput();
        return true;
    case UWM_KEY_MAKE:
        // Records already waiting are stamped before this event's work delays them.
        StampWaitingInput();
        engine_.OnKeyMake(static_cast<std::size_t>(wParam));
        UpdateReadout();
        ScheduleLogWrite();
        result = 0;
        return true;
    case UWM_KEY_BREAK:
        StampWaitingInput();
        engine_.OnKeyBreak(static_cast<std::size_t>(wParam));
        UpdateReadout();
        ScheduleLogWrite();
        result = 0;
        return true;
    case UWM_WRITE_LOG:
        OnWriteLog();
        result = 0;
        return true;
    case UWM_DISABLE_RAW_INPUT:
        rawInput_.DisableRawInput();
        result = 0;
        return true;
    case UWM_ENABLE_RAW_INPUT:
        rawInput_.EnableRawInput();
        ReleaseKeysMissedWhileAway();
        result = 0;
        return true;
    case WM_DESTROY:
        OnDestroy();
        result = 0;
        return true;
    case WM_LBUTTONDOWN:
        ::SetFocus(::GetParent(Handle()));
        result = 0;
        return true;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam))) {
            result = 0;
            return true;
        }
        break;
    default:
        break;
    }
    if (IsReflectedControl(ReflectionTargetId(message, wParam, lParam)) &&
        ReflectNotification(message, wParam, lParam, result)) {
        return true;
    }
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORBTN:
    case kReflectedCtlColorBtn:
    case WM_CTLCOLORSTATIC:
        result = OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    default:
        return false;
    }
}
