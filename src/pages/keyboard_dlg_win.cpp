#include "pages/keyboard_dlg_win.h"

#include "base/app_messages.h"
#include "base/diagnostic_log.h"
#include "devices/device_identity_win.h"
#include "input/elapsed_clock.h"
#include "input/scancode_map_win.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/resource_strings_win.h"
#include "pages/input_language_win.h"
#include "pages/keyboard_page.h"
#include "pages/layout_list_win.h"
#include "pages/report_context_win.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "ui/colour_scheme.h"
#include "view/message_font_win.h"

namespace {

// The fields the key engine writes on every event: the six last-key fields, then the
// held-keys line.
constexpr int kKeyFieldIds[7] = {IDC_KBD_DOWN_NAME,      IDC_KBD_UP_NAME,     IDC_KBD_DOWN_WIN_CODE,
                                 IDC_KBD_DOWN_BIOS_CODE, IDC_KBD_UP_WIN_CODE, IDC_KBD_UP_BIOS_CODE,
                                 IDC_KBD_HELD_KEYS};
// The colours of the page's brushes, in the order of brushes_; the first is the default.
constexpr Colour kBrushColours[5] = {Palette::PageBackground, Palette::DimText, Palette::NormalText,
                                     Palette::BrightText, Palette::MainBackground};
// The log and its controls, which follow the keyboard group down and show with the log.
constexpr int kLogControls[6] = {IDC_KBD_LOG,      IDC_KBD_SAVE,      IDC_KBD_REPORT,
                                 IDC_KBD_SEQUENCE, IDC_KBD_OVERWRITE, IDC_KBD_LOG_STATUS};

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
    return id == IDC_KBD_CLEAR || id == IDC_KBD_SAVE || id == IDC_KBD_REPORT ||
           id == IDC_KBD_KEYBOARD || id == IDC_KBD_LOG_STATUS || id == IDC_KBD_STATUS_LABEL ||
           id == IDC_KBD_STATUS || id == IDC_KBD_STATUS_ERROR;
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
      capsLockLamp_(Palette::LampOn, Palette::DimText),
      infoGroup_(Palette::FrameLine, Palette::MainBackground),
      layoutGroup_(Palette::FrameLine, Palette::MainBackground),
      keyboardGroup_(Palette::FrameLine, Palette::MainBackground),
      statusCaption_(Palette::MainBackground), statusText_(Palette::MainBackground),
      statusError_(Palette::MainBackground), logStatus_(Palette::PageBackground),
      readout_({Palette::MainBackground, Palette::FrameLine, kReadoutBar, Palette::NormalText,
                kReadoutAlarm}),
      session_(*this, KeyNames(), remapTable_), // reads the settings
      keyboardView_(session_.Layout(), Palette::BrightText, Palette::MainBackground,
                    Palette::Black),
      rawInput_(
          nullptr, session_.Events(), [this](const RAWINPUT& record) { IdentifyDevice(record); },
          [this](ScanCode code) { return session_.IsHeld(code); }, &session_.Decoder()),
      pacer_(logViewer_, rawInput_), numLamp_(numLockLamp_), scrollLamp_(scrollLockLamp_),
      capsLamp_(capsLockLamp_), lockIndicators_(lockMonitor_, capsLamp_, numLamp_, scrollLamp_),
      statusLabel_(statusText_), logStatusLabel_(logStatus_), errorBox_(&ShowErrorBox) {
    ReadScancodeMap(remapTable_);
}

CKeyboardDlg::~CKeyboardDlg() = default;

HWND CKeyboardDlg::Create(HWND parent) {
    return ModelessDialog::Create(parent, IDD_KEYBOARD);
}

void CKeyboardDlg::OnInitDialog() {
    rawInput_.SetTarget(Handle());
    TickOverwriteBox();
    AttachControls();
    StartLockLamps();
    RememberDesignedGroupSize();
    UpdateLogStatus();
    UpdateInputLanguage();
    ClearInterfaceFields();
    language_.Hook();
    CreateFonts();
    PrepareLayouts();
    LoadLastLayout();
    logSaver_.ShowSequenceNumber(*logSavePage_);
    CreateBrushes();
    AddToMessageLoop(this);
    EnableRawInputAtStart();
}

void CKeyboardDlg::TickOverwriteBox() {
    if (Settings().Overwrite) {
        ::CheckDlgButton(Handle(), IDC_KBD_OVERWRITE, BST_CHECKED);
    }
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
        if (i < 6) {
            ::SetWindowTextW(keyFields_[i].Handle(), L"");
        }
    }
    language_.SetField(::GetDlgItem(page, IDC_KBD_LANGUAGE));
    logStatus_.SubclassWindow(::GetDlgItem(page, IDC_KBD_LOG_STATUS));
    statusCaption_.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS_LABEL));
    statusText_.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS));
    statusError_.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS_ERROR));
    logSavePage_ = std::make_unique<WinLogSavePage>(
        page, ::GetDlgItem(page, IDC_KBD_SEQUENCE), ::GetDlgItem(page, IDC_KBD_OVERWRITE),
        logStatusLabel_, [this] { return logViewer_.Text(); }, [](int id) { return PageText(id); });
}

void CKeyboardDlg::StartLockLamps() {
    lockMonitor_.Start();
    lockIndicators_.InitLockIndicators();
}

void CKeyboardDlg::RememberDesignedGroupSize() {
    // The keyboard group box never shrinks below the design of the template.
    const PixelRect layoutGroup = ChildRect(Handle(), layoutGroup_.Handle());
    const PixelRect keyboardGroup = ChildRect(Handle(), keyboardGroup_.Handle());
    minimumGroupWidth_ = layoutGroup.right - keyboardGroup.left;
    minimumGroupHeight_ = keyboardGroup.Height();
}

void CKeyboardDlg::ClearInterfaceFields() {
    // Filled by the first key event's device identification.
    ::SetDlgItemTextW(Handle(), IDC_KBD_INTERFACE, L"");
    ::SetDlgItemTextW(Handle(), IDC_KBD_INTERFACE_DETAILS, L"");
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

void CKeyboardDlg::PrepareLayouts() {
    std::wstring defaultText;
    std::wstring defaultName;
    PrepareDefaultLayout(defaultText, defaultName);
    session_.SetDefaultLayout(std::move(defaultText), std::move(defaultName));
    BuildLayoutList(layoutList_, session_.Selector(), Settings().LayoutFileDirectory,
                    Settings().LastLayout);
}

void CKeyboardDlg::LoadLastLayout() {
    session_.Reload(Settings().LastLayout);
    AfterLayoutSelection();
    if (session_.Status() == LayoutStatusNoLayout) {
        LogMessage(L"Unable to load any keyboard layout!\n");
    }
}

void CKeyboardDlg::CreateBrushes() {
    for (int i = 0; i < 5; ++i) {
        brushes_[i].Reset(::CreateSolidBrush(kBrushColours[i]));
    }
}

void CKeyboardDlg::EnableRawInputAtStart() {
    if (!rawInput_.EnableRawInput() && errorBox_ != nullptr) {
        errorBox_(Handle(), PageText(IDS_RAW_INPUT_FAILED), PageText(IDS_INIT_ERROR_CAPTION));
    }
}

void CKeyboardDlg::OnDestroy() {
    logViewer_.WriteQueuedLines();
    lockMonitor_.Stop(INFINITE);
    language_.Unhook();
    RemoveFromMessageLoop(this);
}

void CKeyboardDlg::OnClick_Clear() {
    LogMessage(L"CKeyboardDlg::OnClick_ClearClearing keyboard display...\n");
    // Lines of the test before go in before the view is emptied, never after it.
    logViewer_.WriteQueuedLines();
    session_.Reload(Settings().LastLayout);
    AfterLayoutSelection();
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
            const TestReport report = session_.Report(PageReportContext(Handle(), Layout().name));
            return std::vector<std::string>{WriteReportHtml(report), WriteReportCsv(report)};
        });
}

void CKeyboardDlg::OnLayoutChoice() {
    logViewer_.WriteQueuedLines();
    const LRESULT index = ::SendMessageW(layoutList_, CB_GETCURSEL, 0, 0);
    ::SetFocus(Handle());
    const LayoutEntry* entry =
        index == CB_ERR ? nullptr : session_.Selector().Library().At(static_cast<int>(index));
    if (entry != nullptr) {
        // A copy: the selection must not depend on the library staying as it is.
        const std::wstring path = entry->path;
        session_.SelectLayout(path, Settings().LastLayout);
        AfterLayoutSelection();
    }
}

void CKeyboardDlg::AfterLayoutSelection() {
    ::PostMessageW(::GetParent(Handle()), UWM_LAYOUT_CHANGED, 0, 0);
    if (session_.LoadedEntry() >= 0) {
        HighlightLayoutCombo(layoutList_, session_.LoadedEntry());
    }
    logViewer_.WriteQueuedLines();
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
        }
        return code == CBN_SELCHANGE;
    case IDC_KBD_SEQUENCE:
        // Raw input without legacy messages would keep the typing from the box.
        if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
            ::SendMessageW(
                Handle(), code == EN_SETFOCUS ? UWM_DISABLE_RAW_INPUT : UWM_ENABLE_RAW_INPUT, 0, 0);
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
    language_.Update();
}

bool CKeyboardDlg::FitKeyboard(int maxWidth, int maxHeight) {
    return session_.FitWithin(maxWidth, maxHeight);
}

void CKeyboardDlg::Reflow() {
    LogMessage(L"Reflowing keyboard dialog layout...\n");
    logViewer_.WriteQueuedLines();
    HWND page = Handle();
    const PixelRect group = ChildRect(page, keyboardGroup_.Handle());
    const int width = Layout().width;
    const int height = Layout().height;
    ::MoveWindow(keyboardView_.Handle(), group.left + kKeyboardMargin, group.top + kKeyboardMargin,
                 width, height, TRUE);
    const PixelRect grown =
        KeyboardGroupRect(group, width, height, minimumGroupWidth_, minimumGroupHeight_);
    ResizeClient(keyboardGroup_.Handle(), grown.Width(), grown.Height());
    ::RedrawWindow(keyboardGroup_.Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    layoutGroup_.StretchToRight(keyboardGroup_.Handle(), 0);
    for (int id : kLogControls) {
        HWND control = ::GetDlgItem(page, id);
        const PixelRect rect = ChildRect(page, control);
        ::SetWindowPos(control, nullptr, rect.left, rect.top + grown.bottom - group.bottom, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    const bool showLog = Settings().ShowLog;
    LogMessage(showLog ? L"Showing log window and controls.\n"
                       : L"Hiding log window and controls.\n");
    for (int id : kLogControls) {
        // The log status shows only with a status to show.
        if (!showLog || id != IDC_KBD_LOG_STATUS) {
            ::ShowWindow(::GetDlgItem(page, id), showLog ? SW_SHOW : SW_HIDE);
        }
    }
    if (showLog) {
        UpdateLogStatus();
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

void CKeyboardDlg::FieldChanged(int field, const wchar_t* text) {
    // Looking a control up by its number asks the window manager; these are held here.
    for (int i = 0; i < 7; ++i) {
        if (kKeyFieldIds[i] == field) {
            keyFields_[i].SetText(text);
            return;
        }
    }
    ::SetDlgItemTextW(Handle(), field, text);
}

void CKeyboardDlg::KeyChanged(const LayoutKey& key) {
    keyboardView_.DrawKey(keyboardView_.BufferDC(), key);
    keyboardView_.RepaintKey(key);
}

void CKeyboardDlg::StatusChanged(const LayoutStatusDisplay& display) {
    if (display.visible) {
        statusLabel_.SetStatusText(display.textId, display.colour);
    }
    statusLabel_.Show(display.visible);
    ::ShowWindow(statusCaption_.Handle(), display.visible ? SW_SHOW : SW_HIDE);
}

void CKeyboardDlg::DisplayCleared() {
    keyboardView_.ResetKeyStates();
    UpdateReadout();
    ::SetWindowTextW(logViewer_.Handle(), L"");
    ::ShowWindow(logStatus_.Handle(), SW_HIDE);
    for (int i = 0; i < 6; ++i) {
        ::SetWindowTextW(keyFields_[i].Handle(), L"");
    }
}

void CKeyboardDlg::LogLinesReady() {
    for (const SessionLogLine& line : session_.TakeLogLines()) {
        logViewer_.QueueLine(line.text, line.fault, ElapsedMilliseconds());
    }
}

void CKeyboardDlg::UpdateReadout() {
    const TestCoverage coverage = session_.Coverage();
    readout_.SetProgress(ReadoutParts(coverage, session_.Engine().Statistics().Rollover()),
                         coverage.tested, coverage.keys);
}

LRESULT CKeyboardDlg::OnCtlColor(UINT message, HDC dc, HWND control) {
    const ControlColours colours =
        ApplySchemeColours(SchemeDialog::KeyboardPage, message, dc, control);
    HBRUSH brush = brushes_[0].Get();
    for (int i = 1; i < 5; ++i) {
        if (colours.background == kBrushColours[i]) {
            brush = brushes_[i].Get();
        }
    }
    return reinterpret_cast<LRESULT>(brush);
}

void CKeyboardDlg::ReleaseKeysMissedWhileAway() {
    session_.ReleaseKeysMissedWhileAway(ElapsedMilliseconds(), [](ScanCode, std::uint16_t key) {
        return key != 0 && key < 0xFF && (::GetAsyncKeyState(key) & 0x8000) != 0;
    });
    pacer_.ScheduleLogWrite();
}

void CKeyboardDlg::OnKeyEvent(bool make, std::size_t index) {
    // Records already waiting are stamped before this event's work delays them.
    pacer_.StampWaitingInput();
    if (make) {
        session_.OnKeyMake(index);
    } else {
        session_.OnKeyBreak(index);
    }
    UpdateReadout();
    pacer_.ScheduleLogWrite();
}

bool CKeyboardDlg::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return true;
    case WM_INPUT:
        result = rawInput_.OnInput(wParam, lParam);
        pacer_.StampWaitingInput();
        return true;
    case UWM_KEY_MAKE:
    case UWM_KEY_BREAK:
        OnKeyEvent(message == UWM_KEY_MAKE, static_cast<std::size_t>(wParam));
        return true;
    case UWM_WRITE_LOG:
        pacer_.OnWriteLog();
        return true;
    case UWM_DISABLE_RAW_INPUT:
        rawInput_.DisableRawInput();
        return true;
    case UWM_ENABLE_RAW_INPUT:
        rawInput_.EnableRawInput();
        ReleaseKeysMissedWhileAway();
        return true;
    case WM_DESTROY:
        OnDestroy();
        return true;
    case WM_LBUTTONDOWN:
        ::SetFocus(::GetParent(Handle()));
        return true;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam))) {
            return true;
        }
        break;
    default:
        break;
    }
    return ReflectOrColour(message, wParam, lParam, result, &IsReflectedControl);
}
