// The program's resources as the windows see them: dialog templates read back from the module
// and created for real, the string table, the log view menu and the manifest.
#include "resources/resource.h"
#include "settings/settings_page.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct TemplateControl {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    int id = 0;
    std::wstring className; // predefined classes by their names
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<TemplateControl> controls;
};

// Reads the extended dialog template format; fails the test on anything else.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    template <typename T> T Read() {
        T value{};
        if (position_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + position_, sizeof(T));
        position_ += sizeof(T);
        return value;
    }
    std::wstring ReadString() {
        std::wstring text;
        for (WORD c = Read<WORD>(); ok_ && c != 0; c = Read<WORD>()) {
            text.push_back(static_cast<wchar_t>(c));
        }
        return text;
    }
    // A name or an ordinal; ordinals of the predefined classes come back as their names.
    std::wstring ReadNameOrOrdinal() {
        const WORD first = Read<WORD>();
        if (first == 0) {
            return {};
        }
        if (first == 0xFFFF) {
            switch (const WORD ordinal = Read<WORD>()) {
            case 0x80:
                return L"Button";
            case 0x81:
                return L"Edit";
            case 0x82:
                return L"Static";
            case 0x83:
                return L"ListBox";
            case 0x84:
                return L"ScrollBar";
            case 0x85:
                return L"ComboBox";
            default:
                return L"#" + std::to_wstring(ordinal);
            }
        }
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + ReadString();
    }
    void AlignToDword() { position_ = (position_ + 3) & ~size_t{3}; }
    void Skip(size_t count) { position_ += count; }
    bool Ok() const { return ok_ && position_ <= size_; }

private:
    const BYTE* data_;
    size_t size_;
    size_t position_ = 0;
    bool ok_ = true;
};

bool LoadDialogTemplate(int id, DialogTemplate& out) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    if (!info) {
        return false;
    }
    HGLOBAL handle = LoadResource(nullptr, info);
    const auto* data = static_cast<const BYTE*>(LockResource(handle));
    TemplateReader reader(data, SizeofResource(nullptr, info));
    if (reader.Read<WORD>() != 1 || reader.Read<WORD>() != 0xFFFF) {
        return false; // not the extended format
    }
    reader.Read<DWORD>(); // help id
    out.exStyle = reader.Read<DWORD>();
    out.style = reader.Read<DWORD>();
    const WORD count = reader.Read<WORD>();
    out.x = reader.Read<short>();
    out.y = reader.Read<short>();
    out.cx = reader.Read<short>();
    out.cy = reader.Read<short>();
    reader.ReadNameOrOrdinal(); // menu
    reader.ReadNameOrOrdinal(); // class
    out.caption = reader.ReadString();
    if (out.style & DS_SETFONT) {
        out.pointSize = reader.Read<WORD>();
        reader.Read<WORD>(); // weight
        reader.Read<BYTE>(); // italic
        reader.Read<BYTE>(); // character set
        out.typeface = reader.ReadString();
    }
    for (WORD i = 0; i < count && reader.Ok(); ++i) {
        reader.AlignToDword();
        TemplateControl control;
        reader.Read<DWORD>(); // help id
        control.exStyle = reader.Read<DWORD>();
        control.style = reader.Read<DWORD>();
        control.x = reader.Read<short>();
        control.y = reader.Read<short>();
        control.cx = reader.Read<short>();
        control.cy = reader.Read<short>();
        control.id = static_cast<int>(reader.Read<DWORD>());
        control.className = reader.ReadNameOrOrdinal();
        control.text = reader.ReadNameOrOrdinal();
        reader.Skip(reader.Read<WORD>()); // creation data
        out.controls.push_back(control);
    }
    return reader.Ok() && out.controls.size() == count;
}

struct Expected {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    short x, y, cx, cy;
    DWORD style; // without WS_CHILD, which every control has
};

constexpr DWORD kVisible = WS_VISIBLE;
constexpr DWORD kLabel = WS_VISIBLE | WS_GROUP | SS_LEFT;
constexpr DWORD kRightLabel = WS_VISIBLE | WS_GROUP | SS_RIGHT;
constexpr DWORD kHiddenLabel = WS_GROUP | SS_LEFT;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kOwnerDraw = WS_VISIBLE | BS_OWNERDRAW;
constexpr DWORD kTextEdit = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;

const Expected kMainControls[] = {
    {IDC_MAIN_FRAME, L"Button", L"", 10, 37, 598, 307, kGroup},
    {IDC_MAIN_TAB_LAYOUT, L"Button", L"LAYOUT", 10, 23, 50, 16, kOwnerDraw},
    {IDC_MAIN_TAB_SETTINGS, L"Button", L"SETTINGS", 58, 23, 50, 16, kOwnerDraw},
    {IDC_MAIN_LOGO, L"Button", L"[Logo]", 579, 12, 29, 24, kOwnerDraw},
    {IDC_MAIN_MINIMIZE, L"Button", L"[min]", 549, 0, 19, 14, kOwnerDraw | WS_TABSTOP},
    {IDC_MAIN_RESTORE, L"Button", L"[restore]", 568, 0, 27, 14, kOwnerDraw | WS_TABSTOP},
    {IDC_MAIN_CLOSE, L"Button", L"[close]", 595, 0, 19, 14, kOwnerDraw | WS_TABSTOP},
};

const Expected kSettingsControls[] = {
    {1070, L"Static", L"Logging", 12, 0, 84, 8, kLabel},
    {1048, L"Button", L"Logging", 0, 12, 360, 84, kGroup},
    {1069, L"Button", L"Enable log:", 36, 24, 51, 10,
     kVisible | BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP},
    {-1, L"Static", L"Save path:", 18, 41, 54, 8, kRightLabel},
    {1003, L"Edit", L"", 79, 40, 240, 12, kTextEdit},
    {1042, L"Button", L"...", 319, 40, 18, 12, kOwnerDraw},
    {-1, L"Static", L"Filename Prefix:", 18, 60, 54, 8, kRightLabel},
    {1004, L"Edit", L"", 79, 60, 126, 12, kTextEdit},
    {1008, L"Button", L"Overwrite:  ", 20, 78, 67, 10,
     kVisible | BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT},
    {1071, L"Static", L"Layout and Display", 12, 102, 84, 8, kLabel},
    {1049, L"Button", L"Key Layout", 0, 114, 360, 102, kGroup},
    {-1, L"Static", L"Layout file location:", 18, 126, 54, 20, kRightLabel},
    {1047, L"Edit", L"", 78, 128, 240, 14, kTextEdit},
    {1043, L"Button", L"...", 318, 128, 18, 14, kOwnerDraw},
    {-1, L"Static", L"Unpressed:", 34, 155, 38, 8, kLabel},
    {1038, L"Button", L"[Unpressed]", 78, 152, 24, 14, kOwnerDraw},
    {-1, L"Static", L"Pressed:", 138, 155, 29, 8, kLabel},
    {1040, L"Button", L"[Pressed]", 174, 152, 24, 14, kOwnerDraw},
    {-1, L"Static", L"Depressed:", 34, 174, 38, 8, kLabel},
    {1039, L"Button", L"[Depressed]", 78, 171, 24, 14, kOwnerDraw},
    {-1, L"Static", L"Alert:", 148, 174, 19, 8, kLabel},
    {1041, L"Button", L"[Alert]", 174, 171, 24, 14, kOwnerDraw},
    {-1, L"Static", L"Chatter Threshold", 18, 192, 54, 20, kLabel},
    {1052, L"Edit", L"", 78, 192, 40, 14, kTextEdit | ES_NUMBER},
    {1074, L"Static", L"Bench", 382, 0, 84, 8, kLabel},
    {1073, L"Button", L"Bench", 370, 12, 188, 84, kGroup},
    {1075, L"Button", L"Bench mode:", 384, 24, 56, 10,
     kVisible | BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP},
    {-1, L"Static", L"Test plan:", 376, 41, 34, 8, kRightLabel},
    {1076, L"Edit", L"", 414, 40, 120, 12, kTextEdit},
    {1077, L"Button", L"...", 534, 40, 18, 12, kOwnerDraw},
    {-1, L"Static", L"Output:", 376, 60, 34, 8, kRightLabel},
    {1078, L"Edit", L"", 414, 59, 120, 12, kTextEdit},
    {1079, L"Button", L"...", 534, 59, 18, 12, kOwnerDraw},
    {-1, L"Static", L"Empty: the log folder", 414, 76, 120, 8, kLabel},
    {1072, L"Static", L"Version:", 18, 241, 27, 8, kLabel},
    {1037, L"Static", L"", 54, 241, 87, 8, kLabel},
};

const Expected kKeyboardControls[] = {
    {1056, L"Button", L"", 0, 0, 384, 84, kGroup},
    {1059, L"Static", L"Name", 60, 12, 19, 8, kLabel},
    {1060, L"Static", L"Win Code", 108, 12, 32, 8, kLabel},
    {1061, L"Static", L"BIOS Code", 156, 12, 36, 8, kLabel},
    {1062, L"Static", L"Interface:", 210, 12, 34, 8, kLabel},
    {1017, L"Static", L"[Interface]", 252, 12, 36, 8, kLabel},
    {1064, L"Static", L"Num Lock", 320, 12, 37, 8, kRightLabel},
    {1024, L"Static", L"[Num Lock Indicator]", 366, 12, 8, 8, kLabel},
    {1057, L"Static", L"Last Key Down", 6, 25, 48, 8, kLabel},
    {1030, L"Static", L"[Dn]", 60, 25, 42, 8, kLabel},
    {1032, L"Static", L"[Dn]", 108, 25, 42, 8, kLabel},
    {1033, L"Static", L"[Dn]", 156, 25, 42, 8, kLabel},
    {1027, L"Static", L"[Interface Details]", 210, 24, 102, 18, kLabel},
    {1065, L"Static", L"Scroll Lock", 320, 24, 37, 8, kRightLabel},
    {1025, L"Static", L"[Scroll Lock Indicator]", 366, 24, 8, 8, kLabel},
    {1058, L"Static", L"Last Key Up", 6, 36, 39, 8, kLabel},
    {1031, L"Static", L"[Up]", 60, 36, 42, 8, kLabel},
    {1034, L"Static", L"[up]", 108, 36, 42, 8, kLabel},
    {1035, L"Static", L"[Up]", 156, 36, 42, 8, kLabel},
    {1063, L"Static", L"Lang Code:", 210, 42, 38, 8, kLabel},
    {1028, L"Static", L"[Language Code]", 252, 42, 70, 8, kLabel},
    {1066, L"Static", L"Caps Lock", 320, 36, 37, 8, kRightLabel},
    {1026, L"Static", L"[Cops Lock Indicator]", 366, 36, 8, 8, kLabel},
    {1054, L"Static", L"", 6, 60, 372, 14, kLabel},
    {1050, L"Button", L"", 390, 0, 168, 84, kGroup},
    {1021, L"ComboBox", L"", 396, 12, 156, 226,
     kVisible | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
    {1023, L"Button", L"Clear / Reload", 432, 60, 80, 14, kOwnerDraw | WS_TABSTOP},
    {1068, L"Static", L"Status:", 402, 36, 24, 8, kHiddenLabel},
    {1069, L"Static", L"[status]", 432, 36, 108, 8, kHiddenLabel},
    {1070, L"Static", L"[error]", 432, 48, 108, 8, kHiddenLabel},
    {1080, L"Static", L"", 402, 46, 144, 11, kLabel},
    {1051, L"Button", L"", 0, 89, 558, 126, kGroup},
    {1022, L"Static", L"[Keyboard Window]", 6, 97, 546, 114, kLabel},
    // The rich edit's style is fixed as one value: 0x50200804.
    {1005, L"RichEdit20W", L"", 0, 220, 456, 50, 0x50200804 & ~WS_CHILD},
    {1007, L"Button", L"Save", 462, 221, 50, 14, kOwnerDraw | WS_TABSTOP},
    {1003, L"Edit", L"", 516, 220, 33, 14,
     kVisible | WS_BORDER | WS_TABSTOP | ES_NUMBER | ES_AUTOHSCROLL},
    {1081, L"Button", L"Report", 462, 237, 34, 14, kOwnerDraw | WS_TABSTOP},
    {1008, L"Button", L"Overwrite?", 498, 239, 51, 10,
     kVisible | BS_AUTOCHECKBOX | BS_LEFTTEXT | WS_TABSTOP},
    {1071, L"Static", L"[log error]", 462, 257, 84, 8, kHiddenLabel},
};

template <size_t N>
void ExpectControls(const DialogTemplate& dialog, const Expected (&expected)[N]) {
    ASSERT_EQ(dialog.controls.size(), N);
    for (size_t i = 0; i < N; ++i) {
        const TemplateControl& actual = dialog.controls[i];
        const Expected& want = expected[i];
        SCOPED_TRACE(testing::Message() << "control #" << i << " id " << want.id);
        EXPECT_EQ(actual.id, want.id);
        EXPECT_EQ(_wcsicmp(actual.className.c_str(), want.className), 0);
        EXPECT_EQ(actual.text, want.text);
        EXPECT_EQ(actual.x, want.x);
        EXPECT_EQ(actual.y, want.y);
        EXPECT_EQ(actual.cx, want.cx);
        EXPECT_EQ(actual.cy, want.cy);
        EXPECT_EQ(actual.style, want.style | WS_CHILD) << std::hex << actual.style;
        EXPECT_EQ(actual.exStyle, 0u);
    }
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// A parent for the child pages, as the main window is for them.
class TestParent {
public:
    TestParent() {
        window_ = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1200, 800, nullptr, nullptr,
                                  nullptr, nullptr);
    }
    ~TestParent() { DestroyWindow(window_); }
    HWND Handle() const { return window_; }

private:
    HWND window_;
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The control's rectangle in its dialog's client pixels.
RECT ClientRectOf(HWND dialog, HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// As the dialog manager places a control: position and size are converted separately.
RECT DialogUnitsToPixels(HWND dialog, int x, int y, int cx, int cy) {
    RECT units{x, y, cx, cy};
    MapDialogRect(dialog, &units);
    return RECT{units.left, units.top, units.left + units.right, units.top + units.bottom};
}

void ExpectAtDialogUnits(HWND dialog, int id, int x, int y, int cx, int cy) {
    SCOPED_TRACE(testing::Message() << "control " << id);
    HWND control = GetDlgItem(dialog, id);
    ASSERT_NE(control, nullptr);
    const RECT actual = ClientRectOf(dialog, control);
    const RECT expected = DialogUnitsToPixels(dialog, x, y, cx, cy);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    // A combo box's height is its closed height, not the template's drop-down extent.
    if (ClassOf(control) != L"ComboBox") {
        EXPECT_EQ(actual.bottom, expected.bottom);
    }
}

std::wstring StringResource(UINT id) {
    const wchar_t* text = nullptr;
    const int length =
        LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

} // namespace

TEST(DialogTemplates, MainWindowIsABorderlessHiddenPopup) {
    DialogTemplate dialog;
    ASSERT_TRUE(LoadDialogTemplate(IDD_MAIN, dialog));
    EXPECT_EQ(dialog.style, 0x80000048u);
    EXPECT_EQ(dialog.exStyle, 0x00040000u);
    EXPECT_EQ(dialog.cx, 616);
    EXPECT_EQ(dialog.cy, 351);
    EXPECT_EQ(dialog.caption, L"");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
    ExpectControls(dialog, kMainControls);
}

TEST(DialogTemplates, PagesAreHiddenChildDialogs) {
    for (const auto& [id, cx, cy] :
         {std::tuple{IDD_SETTINGS, 590, 341}, {IDD_KEYBOARD, 560, 272}}) {
        SCOPED_TRACE(id);
        DialogTemplate dialog;
        ASSERT_TRUE(LoadDialogTemplate(id, dialog));
        EXPECT_EQ(dialog.style & (WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_POPUP),
                  static_cast<DWORD>(WS_CHILD));
        EXPECT_EQ(dialog.cx, cx);
        EXPECT_EQ(dialog.cy, cy);
        EXPECT_EQ(dialog.caption, L"");
        EXPECT_EQ(dialog.typeface, L"MS Shell Dlg");
    }
}

TEST(DialogTemplates, SettingsPageControls) {
    DialogTemplate dialog;
    ASSERT_TRUE(LoadDialogTemplate(IDD_SETTINGS, dialog));
    ExpectControls(dialog, kSettingsControls);
}

TEST(DialogTemplates, KeyboardPageControls) {
    DialogTemplate dialog;
    ASSERT_TRUE(LoadDialogTemplate(IDD_KEYBOARD, dialog));
    ExpectControls(dialog, kKeyboardControls);
}

TEST(DialogTemplates, MainWindowCreatesWithItsControlsInPlace) {
    HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MAIN), nullptr,
                                     PlainDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    EXPECT_FALSE(IsWindowVisible(dialog));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongW(dialog, GWL_EXSTYLE)) & WS_EX_APPWINDOW,
              static_cast<DWORD>(WS_EX_APPWINDOW));
    EXPECT_EQ(GetWindowLongW(dialog, GWL_STYLE) & WS_CAPTION, 0);
    for (const Expected& control : kMainControls) {
        EXPECT_EQ(ClassOf(GetDlgItem(dialog, control.id)), control.className);
    }
    ExpectAtDialogUnits(dialog, IDC_MAIN_FRAME, 10, 37, 598, 307);
    ExpectAtDialogUnits(dialog, IDC_MAIN_CLOSE, 595, 0, 19, 14);
    RECT client{};
    GetClientRect(dialog, &client);
    const RECT size = DialogUnitsToPixels(dialog, 0, 0, 616, 351);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    DestroyWindow(dialog);
}

TEST(DialogTemplates, SettingsPageCreatesAsChild) {
    TestParent parent;
    HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS),
                                   parent.Handle(), PlainDialogProc, 0);
    ASSERT_NE(page, nullptr) << GetLastError();
    EXPECT_EQ(GetParent(page), parent.Handle());
    for (const Expected& control : kSettingsControls) {
        if (control.id != -1) {
            EXPECT_EQ(ClassOf(GetDlgItem(page, control.id)), control.className) << control.id;
        }
    }
    ExpectAtDialogUnits(page, IDC_SET_LOG_FOLDER, 79, 40, 240, 12);
    ExpectAtDialogUnits(page, IDC_SET_ALARM, 174, 171, 24, 14);
    ExpectAtDialogUnits(page, IDC_SET_VERSION, 54, 241, 87, 8);
    DestroyWindow(page);
}

TEST(DialogTemplates, KeyboardPageCreatesWithTheRichEditLog) {
    HMODULE richEdit = LoadLibraryW(L"RICHED20.DLL");
    ASSERT_NE(richEdit, nullptr);
    TestParent parent;
    HWND page = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_KEYBOARD),
                                   parent.Handle(), PlainDialogProc, 0);
    ASSERT_NE(page, nullptr) << GetLastError();
    for (const Expected& control : kKeyboardControls) {
        EXPECT_EQ(_wcsicmp(ClassOf(GetDlgItem(page, control.id)).c_str(), control.className), 0)
            << control.id;
    }
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_KBD_STATUS)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_KBD_LOG_STATUS)));
    ExpectAtDialogUnits(page, IDC_KBD_KEYBOARD_GROUP, 0, 89, 558, 126);
    ExpectAtDialogUnits(page, IDC_KBD_LOG, 0, 220, 456, 50);
    ExpectAtDialogUnits(page, IDC_KBD_LAYOUT_LIST, 396, 12, 156, 226);
    EXPECT_EQ(GetWindowLongW(GetDlgItem(page, IDC_KBD_SEQUENCE), GWL_STYLE) & ES_NUMBER, ES_NUMBER);
    DestroyWindow(page);
}

TEST(StringTable, HoldsTheExactTexts) {
    const std::pair<UINT, const wchar_t*> expected[] = {
        {129, L"Select the folder where log files should be written."},
        {130, L"Select the folder where keyboard layout files are stored."},
        {135, L"Unable to receive keyboard data."},
        {136, L"Initialization Error"},
        {139, L"Unknown"},
        {140, L"USB"},
        {141, L"PS/2"},
        {142, L"Bluetooth"},
        {143, L"USB Speed:  Low"},
        {144, L"USB Speed:  Full"},
        {145, L"USB Speed:  High"},
        {146, L"USB Speed:  Super"},
        {147, L"USB ID:  %03d"},
        {148, L"USB Speed:  Unknown"},
        {149, L"Unable to create log file folder."},
        {150, L"Error Saving Log"},
        {151, L"Layout loaded"},
        {152, L"Layout Cleared/Reloaded"},
        {153, L"Active"},
        {154, L"Invalid layout!  Default Loaded"},
        {155, L"Invalid layout!  Default Active"},
        {156, L"Invalid layout!  Unable to load default"},
        {157, L"Not saved, log file exists!"},
        {158, L"Not saved, unknown error!"},
        {159, L"Log saved"},
    };
    for (const auto& [id, text] : expected) {
        EXPECT_EQ(StringResource(id), text) << id;
    }
}

TEST(StringTable, UnusedIdsAreEmpty) {
    // The ids between the texts stay free, so that a wrong id is noticed instead of reading a
    // neighbour's text.
    for (UINT id : {131u, 132u, 133u, 134u, 137u, 138u}) {
        EXPECT_EQ(StringResource(id), L"") << id;
    }
}

TEST(LogViewerMenu, HasOnePopupWithTheCopyCommand) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_LOGVIEWER_MENU));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 1);
    wchar_t text[32] = {};
    GetMenuStringW(menu, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"LogViewerMenu");
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), 1);
    EXPECT_EQ(GetMenuItemID(popup, 0), 32776u);
    GetMenuStringW(popup, 0, text, 32, MF_BYPOSITION);
    EXPECT_STREQ(text, L"&Copy");
    DestroyMenu(menu);
}

TEST(Manifest, AsksForCommonControlsSixWithoutElevation) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(info, nullptr);
    const auto* data = static_cast<const char*>(LockResource(LoadResource(nullptr, info)));
    const std::string manifest(data, SizeofResource(nullptr, info));
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""),
              std::string::npos);
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
}

TEST(VersionResource, MatchesTheVersionShownOnTheSettingsPage) {
    HRSRC info = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
    ASSERT_NE(info, nullptr);
    // VerQueryValueW wants a writable copy of the block.
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, info)));
    std::vector<BYTE> block(data, data + SizeofResource(nullptr, info));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    const std::wstring fileVersion = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                     std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                     std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                                     std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(fileVersion, L"1.0.2.2910");
    EXPECT_EQ(fileVersion, ProgramVersionText());
}
