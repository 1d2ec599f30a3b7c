#include "pages/settings_dlg_win.h"

#include "base/app_messages.h"
#include "layouts/resource_strings_win.h"
#include "resources/resource.h"
#include "settings/settings_page.h"
#include "ui/colour_scheme.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

namespace {

constexpr DWORD kColourDialogFlags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR; // 0x103
// File-system folders only, an edit field, the resizable dialog style.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_EDITBOX | BIF_NEWDIALOGSTYLE; // 0x51
constexpr int kBrowseStartChars = 259;

class PlatformDialogs final : public SettingsPageDialogs {
public:
    bool PickColour(HWND owner, Colour initial, Colour& chosen) override {
        CHOOSECOLORW request{};
        request.lStructSize = sizeof request;
        request.hwndOwner = owner;
        request.rgbResult = initial;
        request.lpCustColors = customColours_;
        request.Flags = kColourDialogFlags;
        if (!::ChooseColorW(&request)) {
            return false;
        }
        chosen = request.rgbResult;
        return true;
    }

    bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& startFolder,
                         std::wstring& chosen) override {
        BROWSEINFOW request{};
        request.hwndOwner = owner;
        request.lpszTitle = title.c_str();
        request.ulFlags = kBrowseFlags;
        request.lpfn = &PlatformDialogs::BrowseCallback;
        request.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
        PIDLIST_ABSOLUTE folder = ::SHBrowseForFolderW(&request);
        if (folder == nullptr) {
            return false;
        }
        wchar_t path[MAX_PATH] = {};
        const bool hasPath = ::SHGetPathFromIDListW(folder, path) != FALSE;
        ::CoTaskMemFree(folder);
        if (hasPath) {
            chosen = path;
        }
        return hasPath;
    }

    bool BrowseForPlan(HWND owner, const std::wstring& title, const std::wstring& startPath,
                       std::wstring& chosen) override {
        // Two filters, each a name and a pattern, ended by an empty pair.
        static const wchar_t kFilter[] = L"Test plans (*.plan.json)\0*.plan.json\0"
                                         L"All files (*.*)\0*.*\0";
        std::wstring path(MAX_PATH * 4, L'\0');
        startPath.copy(path.data(), std::min(startPath.size(), path.size() - 1));
        OPENFILENAMEW request{};
        request.lStructSize = sizeof request;
        request.hwndOwner = owner;
        request.lpstrFilter = kFilter;
        request.lpstrFile = path.data();
        request.nMaxFile = static_cast<DWORD>(path.size());
        request.lpstrTitle = title.c_str();
        request.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
        if (!::GetOpenFileNameW(&request)) {
            return false;
        }
        chosen = path.c_str();
        return true;
    }

private:
    // Opens the browser at the folder now in the edit box, expanded.
    static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
        if (message == BFFM_INITIALIZED && data != 0) {
            ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
            ::SendMessageW(browser, BFFM_SETEXPANDED, TRUE, data);
        }
        return 0;
    }

    // The user's custom colours, offered again each time the dialog opens during this run.
    COLORREF customColours_[16] = {};
};

std::wstring ControlText(HWND control) {
    const int length = ::GetWindowTextLengthW(control);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

bool IsOwnedButton(int id) {
    return (id >= IDC_SET_UNPRESSED && id <= IDC_SET_BROWSE_LAYOUT) || id == IDC_SET_BROWSE_PLAN ||
           id == IDC_SET_BROWSE_BENCH_OUTPUT;
}

} // namespace

SettingsPageDialogs& PlatformSettingsDialogs() {
    static PlatformDialogs dialogs;
    return dialogs;
}

CSettingsDlg::CSettingsDlg(AppSettings& settings, SettingsPageDialogs& dialogs)
    : settings_(settings), dialogs_(dialogs), unpressedButton_(settings.Unpressed),
      depressedButton_(settings.Depressed), pressedButton_(settings.Pressed),
      alarmButton_(settings.Alarm), browseLogButton_(Palette::NormalText, Palette::MainBackground),
      browseLayoutButton_(Palette::NormalText, Palette::MainBackground),
      browsePlanButton_(Palette::NormalText, Palette::MainBackground),
      browseBenchOutputButton_(Palette::NormalText, Palette::MainBackground),
      loggingGroup_(Palette::FrameLine, Palette::MainBackground),
      layoutGroup_(Palette::FrameLine, Palette::MainBackground),
      benchGroup_(Palette::FrameLine, Palette::MainBackground), textColour_(Palette::NormalText),
      backgroundColour_(Palette::PageBackground) {}

HWND CSettingsDlg::Create(HWND parent) {
    return ModelessDialog::Create(parent, IDD_SETTINGS);
}

void CSettingsDlg::OnInitDialog() {
    HWND page = Handle();
    layoutGroup_.SubclassWindow(::GetDlgItem(page, IDC_SET_LAYOUT_GROUP));
    loggingGroup_.SubclassWindow(::GetDlgItem(page, IDC_SET_LOGGING_GROUP));
    benchGroup_.SubclassWindow(::GetDlgItem(page, IDC_SET_BENCH_GROUP));
    unpressedButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_UNPRESSED));
    depressedButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_DEPRESSED));
    pressedButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_PRESSED));
    alarmButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_ALARM));
    browseLogButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_BROWSE_LOG));
    browseLayoutButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_BROWSE_LAYOUT));
    browsePlanButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_BROWSE_PLAN));
    browseBenchOutputButton_.SubclassWindow(::GetDlgItem(page, IDC_SET_BROWSE_BENCH_OUTPUT));
    dialogDpi_.Attach(page);
    ApplyDpiToControls();

    logFolderEdit_ = ::GetDlgItem(page, IDC_SET_LOG_FOLDER);
    layoutFolderEdit_ = ::GetDlgItem(page, IDC_SET_LAYOUT_FOLDER);
    prefixEdit_ = ::GetDlgItem(page, IDC_SET_LOG_PREFIX);
    chatterEdit_ = ::GetDlgItem(page, IDC_SET_CHATTER);
    benchPlanEdit_ = ::GetDlgItem(page, IDC_SET_BENCH_PLAN);
    benchOutputEdit_ = ::GetDlgItem(page, IDC_SET_BENCH_OUTPUT);

    pageBrush_.Reset(::CreateSolidBrush(backgroundColour_));
    frameBrush_.Reset(::CreateSolidBrush(Palette::MainBackground));

    if (settings_.Overwrite) {
        ::SendDlgItemMessageW(page, IDC_SET_OVERWRITE, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (settings_.ShowLog) {
        ::SendDlgItemMessageW(page, IDC_SET_SHOW_LOG, BM_SETCHECK, BST_CHECKED, 0);
    }
    if (settings_.BenchEnabled) {
        ::SendDlgItemMessageW(page, IDC_SET_BENCH_ENABLED, BM_SETCHECK, BST_CHECKED, 0);
    }

    AddToMessageLoop(this);
}

void CSettingsDlg::ApplyDpiToControls() {
    const int dpi = dialogDpi_.Dpi();
    for (FlatColorButton* button :
         {&unpressedButton_, &depressedButton_, &pressedButton_, &alarmButton_}) {
        button->SetDpi(dpi);
    }
    for (FlatButton* button :
         {&browseLogButton_, &browseLayoutButton_, &browsePlanButton_, &browseBenchOutputButton_}) {
        button->SetDpi(dpi);
    }
    for (FlatGroupbox* group : {&loggingGroup_, &layoutGroup_, &benchGroup_}) {
        group->SetDpi(dpi);
    }
}

void CSettingsDlg::SetDpi(int dpi) {
    if (dialogDpi_.Change(dpi)) {
        ApplyDpiToControls();
    }
}

void CSettingsDlg::OnDestroy() {
    RemoveFromMessageLoop(this);
}

void CSettingsDlg::RefreshFromSettings() {
    if (Handle() == nullptr) {
        return;
    }
    for (int id : {IDC_SET_UNPRESSED, IDC_SET_DEPRESSED, IDC_SET_PRESSED, IDC_SET_ALARM}) {
        FlatColorButton* button = ColourButton(id);
        const Colour wanted = *StateColourOfButton(settings_, id);
        if (button->FillColour() != wanted) {
            button->SetFillColour(wanted);
        }
    }
    // Each text raises EN_CHANGE, which stores the same value back.
    ::SetWindowTextW(layoutFolderEdit_, settings_.LayoutFileDirectory.c_str());
    ::SetWindowTextW(logFolderEdit_, settings_.LogFileDirectory.c_str());
    ::SetWindowTextW(prefixEdit_, settings_.LogFilePrefix.c_str());
    ::SetWindowTextW(chatterEdit_, FormatDecimalInt(settings_.ChatterThreshold).c_str());
    ::SetWindowTextW(benchPlanEdit_, settings_.BenchPlan.c_str());
    ::SetWindowTextW(benchOutputEdit_, settings_.BenchOutputDirectory.c_str());
    ::SendDlgItemMessageW(Handle(), IDC_SET_BENCH_ENABLED, BM_SETCHECK,
                          settings_.BenchEnabled ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CSettingsDlg::ShowVersion() {
    if (Handle() != nullptr) {
        ::SetDlgItemTextW(Handle(), IDC_SET_VERSION, ProgramVersionText().c_str());
    }
}

FlatColorButton* CSettingsDlg::ColourButton(int id) {
    switch (id) {
    case IDC_SET_UNPRESSED:
        return &unpressedButton_;
    case IDC_SET_DEPRESSED:
        return &depressedButton_;
    case IDC_SET_PRESSED:
        return &pressedButton_;
    case IDC_SET_ALARM:
        return &alarmButton_;
    default:
        return nullptr;
    }
}

void CSettingsDlg::OnPickColour(int id) {
    Colour* field = StateColourOfButton(settings_, id);
    Colour chosen = *field;
    // Owned by the main window, so that the whole program waits for the choice.
    if (!dialogs_.PickColour(::GetParent(Handle()), *field, chosen)) {
        return;
    }
    *field = chosen;
    ColourButton(id)->SetFillColour(chosen);
}

void CSettingsDlg::OnBrowseFolder(int id) {
    const FolderBrowseTarget target = FolderBrowseTargetOf(id);
    HWND edit = ::GetDlgItem(Handle(), target.editId);
    std::wstring title;
    ReadResourceString(target.titleId, title);
    std::wstring start(kBrowseStartChars + 1, L'\0');
    const int length = ::GetWindowTextW(edit, start.data(), kBrowseStartChars + 1);
    start.resize(length > 0 ? static_cast<size_t>(length) : 0);
    std::wstring chosen;
    if (dialogs_.BrowseForFolder(Handle(), title, start, chosen)) {
        ::SetWindowTextW(edit, chosen.c_str()); // EN_CHANGE stores it
    }
}

void CSettingsDlg::OnBrowsePlan() {
    std::wstring title;
    ReadResourceString(IDS_BROWSE_PLAN, title);
    std::wstring chosen;
    if (dialogs_.BrowseForPlan(Handle(), title, settings_.BenchPlan, chosen)) {
        ::SetWindowTextW(benchPlanEdit_, chosen.c_str()); // EN_CHANGE stores it
    }
}

void CSettingsDlg::OnEditNotification(int id, UINT code, HWND edit) {
    if (const RawInputSwitch change = RawInputSwitchForEdit(id, code);
        change != RawInputSwitch::None) {
        const UINT message =
            change == RawInputSwitch::Disable ? UWM_DISABLE_RAW_INPUT : UWM_ENABLE_RAW_INPUT;
        ::SendMessageW(::GetParent(Handle()), message, 0, 0);
        return;
    }
    if (code == EN_CHANGE) {
        const std::wstring typed = ControlText(edit);
        StoreEditText(settings_, id, typed);
        // The new text raises EN_CHANGE again, which stores the same value.
        if (const std::wstring shown = CorrectedEditText(settings_, id, typed); !shown.empty()) {
            ::SetWindowTextW(edit, shown.c_str());
        }
    }
}

bool CSettingsDlg::OnCommand(int id, UINT code, HWND control) {
    switch (id) {
    case IDC_SET_UNPRESSED:
    case IDC_SET_DEPRESSED:
    case IDC_SET_PRESSED:
    case IDC_SET_ALARM:
        if (code == BN_CLICKED) {
            OnPickColour(id);
        }
        return true;
    case IDC_SET_BROWSE_PLAN:
        if (code == BN_CLICKED) {
            OnBrowsePlan();
        }
        return true;
    case IDC_SET_BROWSE_LOG:
    case IDC_SET_BROWSE_LAYOUT:
    case IDC_SET_BROWSE_BENCH_OUTPUT:
        if (code == BN_CLICKED) {
            OnBrowseFolder(id);
        }
        return true;
    case IDC_SET_LOG_FOLDER:
    case IDC_SET_LOG_PREFIX:
    case IDC_SET_LAYOUT_FOLDER:
    case IDC_SET_CHATTER:
    case IDC_SET_BENCH_PLAN:
    case IDC_SET_BENCH_OUTPUT:
        OnEditNotification(id, code, control);
        return true;
    case IDC_SET_OVERWRITE:
    case IDC_SET_SHOW_LOG:
    case IDC_SET_BENCH_ENABLED:
        StoreCheckState(settings_, id, ::SendMessageW(control, BM_GETCHECK, 0, 0));
        return true;
    default:
        return false;
    }
}

LRESULT CSettingsDlg::OnCtlColor(UINT message, HDC dc, HWND control) {
    const ControlColours colours =
        ApplySchemeColours(SchemeDialog::SettingsPage, message, dc, control);
    HBRUSH brush = colours.background == backgroundColour_ ? pageBrush_.Get() : frameBrush_.Get();
    return reinterpret_cast<LRESULT>(brush);
}

bool CSettingsDlg::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog();
        result = TRUE;
        return true;
    case WM_DESTROY:
        OnDestroy();
        return false;
    case WM_LBUTTONDOWN:
        // A click on the background takes the focus from an edit box.
        ::SetFocus(Handle());
        result = 0;
        return true;
    case WM_COMMAND:
        if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
            result = 0;
            return true;
        }
        break;
    default:
        break;
    }
    return ReflectOrColour(message, wParam, lParam, result, &IsOwnedButton);
}
