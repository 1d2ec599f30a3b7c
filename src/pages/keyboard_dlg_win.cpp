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
#include "session/test_files.h"
#include "settings/app_settings.h"
#include "ui/colour_scheme.h"

CKeyboardDlg::CKeyboardDlg()
    : session_(*this, KeyNames(), remapTable_), // reads the settings
      keyboardView_(session_.Layout(), Palette::BrightText, Palette::MainBackground,
                    Palette::Black),
      pacer_(controls_.log, inbox_),
      errorBox_([](HWND owner, const std::wstring& text, const std::wstring& caption) {
          ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_ICONERROR);
      }),
      benchPanel_([this] { OnUnitEntered(); }),
      input_(inbox_) {
    ReadScancodeMap(remapTable_);
}

CKeyboardDlg::~CKeyboardDlg() = default;

HWND CKeyboardDlg::Create(HWND parent) {
    return ModelessDialog::Create(parent, IDD_KEYBOARD);
}

void CKeyboardDlg::OnInitDialog() {
    pacer_.SetWindow(Handle());
    if (!input_.Start(Handle())) {
        LogMessage(L"Unable to start the input thread (%08x).\n",
                   static_cast<unsigned>(::GetLastError()));
    }
    controls_.dpi.Attach(Handle());
    AttachControls();
    controls_.ApplyDpi(Dpi());
    keyboardView_.SetDpi(Dpi());
    controls_.StartLamps();
    controls_.RememberDesign(Handle());
    UpdateLogStatus();
    UpdateInputLanguage();
    controls_.ClearInterfaceFields(Handle());
    language_.Hook();
    CreateFonts();
    PrepareLayouts();
    LoadLastLayout();
    logSaver_.ShowSequenceNumber(*logSavePage_);
    controls_.CreateBrushes();
    AddToMessageLoop(this);
    EnableRawInputAtStart();
}

void CKeyboardDlg::AttachControls() {
    HWND page = Handle();
    controls_.Attach(page);
    keyboardView_.SubclassWindow(::GetDlgItem(page, IDC_KBD_KEYBOARD));
    keyboardView_.AlignLeftEdges(controls_.keyboardGroup.Handle(), kKeyboardMargin);
    keyboardView_.AlignTopEdges(controls_.keyboardGroup.Handle(), kKeyboardMargin);
    layoutList_.Attach(::GetDlgItem(page, IDC_KBD_LAYOUT_LIST));
    language_.SetField(::GetDlgItem(page, IDC_KBD_LANGUAGE));
    logSavePage_ = std::make_unique<WinLogSavePage>(
        page, ::GetDlgItem(page, IDC_KBD_SEQUENCE), ::GetDlgItem(page, IDC_KBD_OVERWRITE),
        controls_.logStatusLabel, [this] { return controls_.log.Text(); },
        [](int id) { return ResourceText(static_cast<UINT>(id)); });
}

void CKeyboardDlg::CreateFonts() {
    controls_.CreateFonts(Handle(), Dpi());
    if (Settings().KeyLabelFont != 0) {
        keyboardView_.SetLabelPointSize(Settings().KeyLabelFont);
    }
}

void CKeyboardDlg::PrepareLayouts() {
    std::wstring defaultText;
    std::wstring defaultName;
    PrepareDefaultLayout(defaultText, defaultName);
    session_.SetDefaultLayout(std::move(defaultText), std::move(defaultName));
    layoutList_.Build(session_.Selector(), Settings().LayoutFileDirectory, Settings().LastLayout,
                      Handle(), UWM_LAYOUT_FOLDER_CHANGED);
}

void CKeyboardDlg::LoadLastLayout() {
    session_.Reload(Settings().LastLayout);
    AfterLayoutSelection();
    if (session_.Status() == LayoutStatusNoLayout) {
        LogMessage(L"Unable to load any keyboard layout!\n");
    }
}

void CKeyboardDlg::EnableRawInputAtStart() {
    if (!input_.EnableRawInput() && errorBox_ != nullptr) {
        errorBox_(Handle(), ResourceText(IDS_RAW_INPUT_FAILED),
                  ResourceText(IDS_INIT_ERROR_CAPTION));
    }
}

void CKeyboardDlg::OnDestroy() {
    // No record arrives any more; those already stamped are handled.
    input_.Shutdown();
    TakeKeyRecords();
    layoutList_.StopWatching();
    ::KillTimer(Handle(), kBenchTimerId);
    controls_.log.WriteQueuedLines();
    controls_.lockMonitor.Stop(INFINITE);
    language_.Unhook();
    RemoveFromMessageLoop(this);
}

void CKeyboardDlg::OnClick_Clear() {
    LogMessage(L"CKeyboardDlg::OnClick_ClearClearing keyboard display...\n");
    // Lines of the test before go in before the view is emptied, never after it.
    controls_.log.WriteQueuedLines();
    session_.Reload(Settings().LastLayout);
    AfterLayoutSelection();
    logSaver_.SetStatus(LogStatusNone);
}

void CKeyboardDlg::OnClick_Save() {
    controls_.log.WriteQueuedLines();
    logSaver_.OnClick_Save(*logSavePage_, logFiles_, Settings().LogFileDirectory,
                           Settings().LogFilePrefix);
}

void CKeyboardDlg::OnClick_Report() {
    // The .log holds every line of the test, as Save would write it.
    controls_.log.WriteQueuedLines();
    logSaver_.OnClick_Report(
        *logSavePage_, logFiles_, Settings().LogFileDirectory, Settings().LogFilePrefix, [this] {
            return RecordedTestFiles(session_, PageReportContext(Handle(), Layout().name),
                                     controls_.log.Text());
        });
}

void CKeyboardDlg::OnLayoutChoice() {
    controls_.log.WriteQueuedLines();
    const int index = layoutList_.Chosen();
    ::SetFocus(Handle());
    const LayoutEntry* entry = index < 0 ? nullptr : session_.Selector().Library().At(index);
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
        layoutList_.Highlight(session_.LoadedEntry());
    }
    controls_.log.WriteQueuedLines();
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
        } else if (code == CBN_DROPDOWN) {
            layoutList_.Refresh(session_.Selector(), Settings().LayoutFileDirectory,
                                Settings().LastLayout);
        }
        return code == CBN_SELCHANGE || code == CBN_DROPDOWN;
    case IDC_KBD_FINISH:
        OnClick_Finish();
        return true;
    case IDC_KBD_SEQUENCE:
    case IDC_KBD_UNIT:
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

bool CKeyboardDlg::FitKeyboard(int maxWidth, int maxHeight) {
    // The room is in screen pixels; the layout is kept at 96 DPI.
    const int dpi = keyboardView_.Dpi();
    return session_.FitWithin(RoomAtBaseDpi(maxWidth, dpi), RoomAtBaseDpi(maxHeight, dpi));
}

void CKeyboardDlg::SetDpi(int dpi) {
    if (!controls_.ChangeDpi(Handle(), dpi)) {
        return;
    }
    keyboardView_.SetDpi(dpi);
    benchPanel_.SetDpi(dpi);
    CreateFonts();
    // A layout drawn smaller to fit the last screen gets its full size back; the next fit
    // looks at the new screen.
    if (session_.RestoreKeySize()) {
        keyboardView_.RedrawAll();
    }
}

void CKeyboardDlg::Reflow() {
    LogMessage(L"Reflowing keyboard dialog layout...\n");
    controls_.log.WriteQueuedLines();
    const bool showLog = Settings().ShowLog;
    controls_.PlaceAround(Handle(), keyboardView_.Handle(), keyboardView_.ViewWidth(),
                          keyboardView_.ViewHeight(), showLog, ScaleToDpi(kKeyboardMargin, Dpi()));
    if (showLog) {
        UpdateLogStatus();
    }
    if (benchPanel_.Shown()) {
        const PixelRect group = ChildRect(Handle(), controls_.keyboardGroup.Handle());
        benchPanel_.Place(group.left, benchPanel_.Top(Handle()), group.Width(), Dpi());
    }
    StretchToRight(controls_.keyboardGroup.Handle(), 0);
    StretchToBottom(showLog ? controls_.log.Handle() : controls_.keyboardGroup.Handle(), 0);
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
    ApplyBenchSettings();
}

void CKeyboardDlg::IdentifyDevice(std::uint64_t device) {
    const IdentificationResult result =
        IdentifyRawInputDevice(reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(device)),
                               [](int id) { return ResourceText(static_cast<UINT>(id)); });
    ShowIdentification(result, ::GetDlgItem(Handle(), IDC_KBD_INTERFACE),
                       ::GetDlgItem(Handle(), IDC_KBD_INTERFACE_DETAILS));
}

void CKeyboardDlg::KeyChanged(const LayoutKey& key) {
    keyboardView_.DrawKey(keyboardView_.BufferDC(), key);
    keyboardView_.RepaintKey(key);
}

void CKeyboardDlg::DisplayCleared() {
    // The session set the states (a plan's skipped keys stay skipped); the view draws them.
    keyboardView_.RedrawAll();
    ::InvalidateRect(keyboardView_.Handle(), nullptr, FALSE);
    UpdateReadout();
    controls_.ClearLogAndLastKey();
}

void CKeyboardDlg::LogLinesReady() {
    for (const SessionLogLine& line : session_.TakeLogLines()) {
        controls_.log.QueueLine(line.text, line.fault, ElapsedMilliseconds());
    }
}

void CKeyboardDlg::UpdateReadout() {
    const TestCoverage coverage = session_.Coverage();
    controls_.readout.SetProgress(session_.Readout(), coverage.tested, coverage.keys);
    ShowBench(); // the banner counts with the readout
}

LRESULT CKeyboardDlg::OnCtlColor(UINT message, HDC dc, HWND control) {
    const ControlColours colours =
        ApplySchemeColours(SchemeDialog::KeyboardPage, message, dc, control);
    return reinterpret_cast<LRESULT>(controls_.BrushFor(colours.background));
}

void CKeyboardDlg::ReleaseKeysMissedWhileAway() {
    // What arrived before the return comes first.
    TakeKeyRecords();
    session_.ReleaseKeysMissedWhileAway(ElapsedMicroseconds(), [](ScanCode, std::uint16_t key) {
        return key != 0 && key < 0xFF && (::GetAsyncKeyState(key) & 0x8000) != 0;
    });
    input_.KeepDownOnly(session_.Engine().Held(), inbox_.Taken());
    UpdateReadout();
    pacer_.ScheduleLogWrite();
}

void CKeyboardDlg::TakeKeyRecords() {
    // A local batch: the handling of one record must not see the storage change under it
    // should anything in it take the records again.
    std::vector<StampedKeyRecord> batch;
    batch.swap(batch_);
    inbox_.TakeAll(batch);
    for (const StampedKeyRecord& item : batch) {
        // Device lookups stay here, on the page's thread: they never delay a time stamp.
        if (session_.Decoder().IsNewDevice(item.record)) {
            IdentifyDevice(item.record.device);
        }
        session_.Feed(item.record, item.timeUs, item.background);
    }
    const bool any = !batch.empty();
    batch_.swap(batch);
    if (any) {
        UpdateReadout();
        pacer_.ScheduleLogWrite();
    }
}

bool CKeyboardDlg::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return true;
    case UWM_KEY_RECORDS:
        TakeKeyRecords();
        return true;
    case UWM_WRITE_LOG:
        pacer_.OnWriteLog();
        return true;
    case UWM_LAYOUT_FOLDER_CHANGED:
        layoutList_.Refresh(session_.Selector(), Settings().LayoutFileDirectory,
                            Settings().LastLayout);
        return true;
    case UWM_BENCH_FOCUS:
        FocusUnitBoxWhenIdle();
        return true;
    case WM_TIMER:
        if (wParam == kBenchTimerId) {
            OnBenchTimer();
            return true;
        }
        break;
    case UWM_DISABLE_RAW_INPUT:
        input_.DisableRawInput();
        return true;
    case UWM_ENABLE_RAW_INPUT:
        input_.EnableRawInput();
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
    return ReflectOrColour(message, wParam, lParam, result, &KeyboardPageControls::IsReflected);
}
