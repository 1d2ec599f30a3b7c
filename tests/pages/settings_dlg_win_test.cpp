// The settings page as a child of a stand-in main window: edits, boxes, colour and folder
// choices reach the record at once; focus changes reach the parent as raw input requests.
#include "pages/settings_dlg_win.h"

#include "base/app_messages.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <objbase.h>

#include <string>
#include <vector>

namespace {

class FakeDialogs final : public SettingsPageDialogs {
public:
    bool PickColour(HWND owner, Colour initial, Colour& chosen) override {
        colourOwner = owner;
        colourInitial = initial;
        ++colourCalls;
        if (!colourAnswer) {
            return false;
        }
        chosen = colourChosen;
        return true;
    }
    bool BrowseForPlan(HWND, const std::wstring&, const std::wstring& startPath,
                       std::wstring& chosen) override {
        planStart = startPath;
        chosen = L"D:\\plans\\keypad.plan.json";
        return true;
    }
    bool BrowseForFolder(HWND owner, const std::wstring& title, const std::wstring& startFolder,
                         std::wstring& chosen) override {
        browseOwner = owner;
        browseTitle = title;
        browseStart = startFolder;
        ++browseCalls;
        if (folderAnswer.empty()) {
            return false;
        }
        chosen = folderAnswer;
        return true;
    }

    bool colourAnswer = false;
    Colour colourChosen = 0;
    HWND colourOwner = nullptr;
    Colour colourInitial = 0;
    int colourCalls = 0;
    std::wstring folderAnswer;
    HWND browseOwner = nullptr;
    std::wstring browseTitle;
    std::wstring browseStart;
    int browseCalls = 0;
    std::wstring planStart;
};

// Stands in for the main window: records the raw input requests of the page.
class ParentWindow {
public:
    ParentWindow() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ParentWindow::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TapwiseSettingsTestParent";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                  1000, 700, nullptr, nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ParentWindow(const ParentWindow&) = delete;
    ParentWindow& operator=(const ParentWindow&) = delete;
    ~ParentWindow() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

    std::vector<UINT> rawInputRequests;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<ParentWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr &&
            (message == UWM_DISABLE_RAW_INPUT || message == UWM_ENABLE_RAW_INPUT)) {
            self->rawInputRequests.push_back(message);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    HWND window_;
};

std::wstring TextOf(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

class SettingsPageTest : public testing::Test {
protected:
    void SetUp() override {
        settings.LogFileDirectory = L"C:\\logs";
        settings.LayoutFileDirectory = L"C:\\layouts";
        settings.LogFilePrefix = L"Board";
        settings.ChatterThreshold = 12;
        settings.Overwrite = true;
        settings.ShowLog = false;
    }
    // Created on demand so that each test can prepare the record first.
    HWND CreatePage() {
        HWND handle = page.Create(parent.Handle());
        EXPECT_NE(handle, nullptr) << GetLastError();
        ShowWindow(handle, SW_SHOW);
        return handle;
    }
    HWND Item(int id) { return GetDlgItem(page.Handle(), id); }
    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    // The colour a FlatColorButton paints with: its answer to the reflected colour message.
    Colour ButtonColour(int id) {
        HDC dc = CreateCompatibleDC(nullptr);
        SendMessageW(page.Handle(), WM_CTLCOLORBTN, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Item(id)));
        const Colour colour = GetBkColor(dc);
        DeleteDC(dc);
        return colour;
    }

    // One stand-in main window for all tests: showing and destroying top-level windows is slow
    // without a window manager.
    static void SetUpTestSuite() { sharedParent = new ParentWindow; }
    static void TearDownTestSuite() {
        delete sharedParent;
        sharedParent = nullptr;
    }
    static ParentWindow* sharedParent;

    AppSettings settings;
    FakeDialogs dialogs;
    ParentWindow& parent = *sharedParent;
    CSettingsDlg page{settings, dialogs};
};

ParentWindow* SettingsPageTest::sharedParent = nullptr;

} // namespace

TEST_F(SettingsPageTest, CheckBoxesStartFromTheRecordAndEditsStayEmpty) {
    CreatePage();
    EXPECT_EQ(SendMessageW(Item(IDC_SET_OVERWRITE), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(Item(IDC_SET_SHOW_LOG), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(TextOf(Item(IDC_SET_LOG_FOLDER)), L"");
    EXPECT_EQ(TextOf(Item(IDC_SET_CHATTER)), L"");
    EXPECT_EQ(settings.ChatterThreshold, 12); // nothing was stored back yet
}

TEST_F(SettingsPageTest, RefreshShowsTheRecord) {
    CreatePage();
    settings.Alarm = MakeColour(0x12, 0x34, 0x56);
    page.RefreshFromSettings();
    EXPECT_EQ(TextOf(Item(IDC_SET_LOG_FOLDER)), L"C:\\logs");
    EXPECT_EQ(TextOf(Item(IDC_SET_LAYOUT_FOLDER)), L"C:\\layouts");
    EXPECT_EQ(TextOf(Item(IDC_SET_LOG_PREFIX)), L"Board");
    EXPECT_EQ(TextOf(Item(IDC_SET_CHATTER)), L"12");
    EXPECT_EQ(ButtonColour(IDC_SET_ALARM), MakeColour(0x12, 0x34, 0x56));
    EXPECT_EQ(ButtonColour(IDC_SET_UNPRESSED), settings.Unpressed);
    // The texts came back through the change notifications unchanged.
    EXPECT_EQ(settings.LogFileDirectory, L"C:\\logs");
    EXPECT_EQ(settings.ChatterThreshold, 12);
}

TEST_F(SettingsPageTest, ColourButtonsStartWithTheColoursOfConstruction) {
    // The record changes after the page object was made (settings loaded later).
    const Colour atConstruction = settings.Pressed;
    settings.Pressed = MakeColour(1, 2, 3);
    CreatePage();
    EXPECT_EQ(ButtonColour(IDC_SET_PRESSED), atConstruction);
    page.RefreshFromSettings();
    EXPECT_EQ(ButtonColour(IDC_SET_PRESSED), MakeColour(1, 2, 3));
}

TEST_F(SettingsPageTest, EveryEditChangeIsStoredAtOnce) {
    CreatePage();
    page.RefreshFromSettings();
    SetWindowTextW(Item(IDC_SET_LOG_FOLDER), L"%USERPROFILE%\\logs");
    EXPECT_EQ(settings.LogFileDirectory, L"%USERPROFILE%\\logs"); // not expanded
    SetWindowTextW(Item(IDC_SET_LAYOUT_FOLDER), L"");
    EXPECT_EQ(settings.LayoutFileDirectory, L"");
    SetWindowTextW(Item(IDC_SET_LOG_PREFIX), L"Kbd-");
    EXPECT_EQ(settings.LogFilePrefix, L"Kbd-");
    SetWindowTextW(Item(IDC_SET_CHATTER), L"2000");
    EXPECT_EQ(settings.ChatterThreshold, 2000);
    SetWindowTextW(Item(IDC_SET_CHATTER), L"");
    EXPECT_EQ(settings.ChatterThreshold, 0);
}

TEST_F(SettingsPageTest, ThresholdBoxTakesDigitsOnlyAndPastedTextByItsLeadingDigits) {
    CreatePage();
    HWND box = Item(IDC_SET_CHATTER);
    EXPECT_EQ(GetWindowLongW(box, GWL_STYLE) & ES_NUMBER, ES_NUMBER);
    SetWindowTextW(box, L"15ms");
    EXPECT_EQ(settings.ChatterThreshold, 15);
    // An explicit change notification (as typing raises) reads the box again.
    SendMessageW(page.Handle(), WM_COMMAND, MAKEWPARAM(IDC_SET_CHATTER, EN_CHANGE),
                 reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(settings.ChatterThreshold, 15);
}

TEST_F(SettingsPageTest, NegativeThresholdShowsAndStoresZero) {
    settings.ChatterThreshold = -7; // as a record filled before the rule existed
    CreatePage();
    page.RefreshFromSettings();
    HWND box = Item(IDC_SET_CHATTER);
    EXPECT_EQ(settings.ChatterThreshold, 0);
    EXPECT_EQ(TextOf(box), L"0");
    SetWindowTextW(box, L"12");
    SetWindowTextW(box, L"-5"); // pasted: the box takes it despite ES_NUMBER
    EXPECT_EQ(settings.ChatterThreshold, 0);
    EXPECT_EQ(TextOf(box), L"0");
}

TEST_F(SettingsPageTest, EditFocusSwitchesRawInputThroughTheParent) {
    CreatePage();
    SetFocus(page.Handle());
    parent.rawInputRequests.clear();
    SetFocus(Item(IDC_SET_LOG_PREFIX));
    SetFocus(Item(IDC_SET_CHATTER));
    // A click on the background: the dialog passes the focus on to its first tab stop, which
    // is not an edit box.
    SendMessageW(page.Handle(), WM_LBUTTONDOWN, 0, MAKELPARAM(500, 300));
    EXPECT_NE(GetFocus(), Item(IDC_SET_CHATTER));
    EXPECT_TRUE(GetFocus() == page.Handle() || IsChild(page.Handle(), GetFocus()));
    const std::vector<UINT> expected = {UWM_DISABLE_RAW_INPUT, UWM_ENABLE_RAW_INPUT,
                                        UWM_DISABLE_RAW_INPUT, UWM_ENABLE_RAW_INPUT};
    EXPECT_EQ(parent.rawInputRequests, expected);
}

TEST_F(SettingsPageTest, CheckBoxesStoreTheirState) {
    CreatePage();
    Click(IDC_SET_OVERWRITE);
    EXPECT_FALSE(settings.Overwrite);
    Click(IDC_SET_SHOW_LOG);
    EXPECT_TRUE(settings.ShowLog);
    Click(IDC_SET_SHOW_LOG);
    EXPECT_FALSE(settings.ShowLog);
}

TEST_F(SettingsPageTest, PickingAColourStoresItAndRepaintsTheButton) {
    CreatePage();
    const Colour before = settings.Depressed;
    dialogs.colourAnswer = true;
    dialogs.colourChosen = MakeColour(0x10, 0x20, 0x30);
    Click(IDC_SET_DEPRESSED);
    EXPECT_EQ(dialogs.colourCalls, 1);
    EXPECT_EQ(dialogs.colourOwner, parent.Handle());
    EXPECT_EQ(dialogs.colourInitial, before);
    EXPECT_EQ(settings.Depressed, MakeColour(0x10, 0x20, 0x30));
    EXPECT_EQ(ButtonColour(IDC_SET_DEPRESSED), MakeColour(0x10, 0x20, 0x30));
}

TEST_F(SettingsPageTest, CancellingTheColourDialogChangesNothing) {
    CreatePage();
    const Colour before = settings.Unpressed;
    dialogs.colourAnswer = false;
    dialogs.colourChosen = MakeColour(0xFF, 0, 0);
    Click(IDC_SET_UNPRESSED);
    EXPECT_EQ(dialogs.colourCalls, 1);
    EXPECT_EQ(settings.Unpressed, before);
    EXPECT_EQ(ButtonColour(IDC_SET_UNPRESSED), before);
}

TEST_F(SettingsPageTest, BrowsingFillsTheFolderBox) {
    CreatePage();
    page.RefreshFromSettings();
    dialogs.folderAnswer = L"D:\\tests\\logs";
    Click(IDC_SET_BROWSE_LOG);
    EXPECT_EQ(dialogs.browseOwner, page.Handle());
    EXPECT_EQ(dialogs.browseTitle, L"Select the folder where log files should be written.");
    EXPECT_EQ(dialogs.browseStart, L"C:\\logs");
    EXPECT_EQ(TextOf(Item(IDC_SET_LOG_FOLDER)), L"D:\\tests\\logs");
    EXPECT_EQ(settings.LogFileDirectory, L"D:\\tests\\logs");

    dialogs.folderAnswer.clear(); // cancelled
    Click(IDC_SET_BROWSE_LAYOUT);
    EXPECT_EQ(dialogs.browseTitle, L"Select the folder where keyboard layout files are stored.");
    EXPECT_EQ(dialogs.browseStart, L"C:\\layouts");
    EXPECT_EQ(settings.LayoutFileDirectory, L"C:\\layouts");
}

TEST_F(SettingsPageTest, BenchModeSwitchPlanAndOutputFolderAreShownAndStored) {
    settings.BenchEnabled = true;
    settings.BenchPlan = L"C:\\plans\\old.plan.json";
    CreatePage();
    page.RefreshFromSettings();
    EXPECT_EQ(SendMessageW(Item(IDC_SET_BENCH_ENABLED), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(TextOf(Item(IDC_SET_BENCH_PLAN)), L"C:\\plans\\old.plan.json");
    EXPECT_EQ(TextOf(Item(IDC_SET_BENCH_OUTPUT)), L"");

    Click(IDC_SET_BROWSE_PLAN);
    EXPECT_EQ(dialogs.planStart, L"C:\\plans\\old.plan.json");
    EXPECT_EQ(settings.BenchPlan, L"D:\\plans\\keypad.plan.json");
    dialogs.folderAnswer = L"E:\\bench";
    Click(IDC_SET_BROWSE_BENCH_OUTPUT);
    EXPECT_EQ(settings.BenchOutputDirectory, L"E:\\bench");
    Click(IDC_SET_BENCH_ENABLED);
    EXPECT_FALSE(settings.BenchEnabled);
}

TEST_F(SettingsPageTest, BrowseStartsFromAtMost259Characters) {
    CreatePage();
    SetWindowTextW(Item(IDC_SET_LAYOUT_FOLDER), std::wstring(400, L'x').c_str());
    Click(IDC_SET_BROWSE_LAYOUT);
    EXPECT_EQ(dialogs.browseStart, std::wstring(259, L'x'));
}

TEST_F(SettingsPageTest, ColoursOfThePageAndItsLabels) {
    CreatePage();
    HDC dc = CreateCompatibleDC(nullptr);
    auto ask = [&](UINT message, HWND control) {
        const LRESULT brush = SendMessageW(page.Handle(), message, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
        EXPECT_NE(brush, 0);
        EXPECT_EQ(GetTextColor(dc), MakeColour(220, 220, 220));
        return GetBkColor(dc);
    };
    EXPECT_EQ(ask(WM_CTLCOLORDLG, page.Handle()), MakeColour(69, 69, 69));
    EXPECT_EQ(ask(WM_CTLCOLORSTATIC, Item(IDC_SET_OVERWRITE)), MakeColour(51, 51, 51));
    EXPECT_EQ(ask(WM_CTLCOLORSTATIC, Item(IDC_SET_SHOW_LOG)), MakeColour(51, 51, 51));
    EXPECT_EQ(ask(WM_CTLCOLORSTATIC, Item(IDC_SET_LOGGING_HEADING)), MakeColour(69, 69, 69));
    EXPECT_EQ(ask(WM_CTLCOLORSTATIC, Item(IDC_SET_VERSION)), MakeColour(69, 69, 69));
    // An unnamed label inside a frame.
    HWND label = FindWindowExW(page.Handle(), nullptr, L"Static", L"Save path:");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(ask(WM_CTLCOLORSTATIC, label), MakeColour(51, 51, 51));
    // Edit boxes keep the system's colours.
    SendMessageW(page.Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(Item(IDC_SET_LOG_PREFIX)));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    DeleteDC(dc);
}

TEST_F(SettingsPageTest, VersionLabel) {
    CreatePage();
    EXPECT_EQ(TextOf(Item(IDC_SET_VERSION)), L"");
    page.ShowVersion();
    EXPECT_EQ(TextOf(Item(IDC_SET_VERSION)), L"1.0.2.2910");
}

namespace {

// Answers the next modal dialog of this thread with a command (IDOK or IDCANCEL) as soon as it
// shows, the way a user would press the button.
class DialogAnswer {
public:
    explicit DialogAnswer(WORD command) {
        command_ = command;
        answered_ = false;
        timer_ = SetTimer(nullptr, 0, 50, &DialogAnswer::OnTimer);
    }
    ~DialogAnswer() { KillTimer(nullptr, timer_); }
    DialogAnswer(const DialogAnswer&) = delete;
    DialogAnswer& operator=(const DialogAnswer&) = delete;
    bool Answered() const { return answered_; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        if (answered_) {
            return;
        }
        EnumThreadWindows(GetCurrentThreadId(), &DialogAnswer::Visit, 0);
    }
    static BOOL CALLBACK Visit(HWND window, LPARAM) {
        wchar_t name[16] = {};
        GetClassNameW(window, name, 16);
        if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
            answered_ = true;
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(command_, BN_CLICKED), 0);
            return FALSE;
        }
        return TRUE;
    }
    static inline WORD command_ = IDOK;
    static inline bool answered_ = false;
    UINT_PTR timer_ = 0;
};

} // namespace

TEST(PlatformSettingsDialogs, ColourDialogStartsAtTheCurrentColour) {
    Colour chosen = 0;
    {
        DialogAnswer answer(IDOK);
        ASSERT_TRUE(
            PlatformSettingsDialogs().PickColour(nullptr, MakeColour(0x12, 0x80, 0xF0), chosen));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(chosen, MakeColour(0x12, 0x80, 0xF0));
    DialogAnswer answer(IDCANCEL);
    chosen = 7;
    EXPECT_FALSE(PlatformSettingsDialogs().PickColour(nullptr, MakeColour(1, 2, 3), chosen));
    EXPECT_EQ(chosen, 7u);
}

TEST(PlatformSettingsDialogs, FolderBrowserStartsAtTheFolderInTheBox) {
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    const HRESULT com = CoInitialize(nullptr);
    std::wstring chosen;
    {
        DialogAnswer answer(IDOK);
        EXPECT_TRUE(PlatformSettingsDialogs().BrowseForFolder(nullptr, L"Pick", windows, chosen));
        EXPECT_TRUE(answer.Answered());
    }
    EXPECT_EQ(_wcsicmp(chosen.c_str(), windows), 0) << chosen;
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}
