#include "app/main_dlg.h"
#include "app/main_window_fixture_win.h"
#include "base/app_messages.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "settings/profile_win.h"
#include "support/test_support.h"
#include "ui/colour_scheme.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

void Pump() {
    PumpMainWindow();
}

PixelRect ClientRectOf(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

RAWINPUT KeyRecord(USHORT makeCode, USHORT virtualKey, bool release) {
    RAWINPUT record{};
    record.header.dwType = RIM_TYPEKEYBOARD;
    record.data.keyboard.MakeCode = makeCode;
    record.data.keyboard.Flags = release ? RI_KEY_BREAK : RI_KEY_MAKE;
    record.data.keyboard.VKey = virtualKey;
    return record;
}

// The window's own visibility: the main window is never shown in these tests.
bool Shown(HWND window) {
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring Text(HWND window) {
    return WindowText(window, 4096);
}

int settingsWrites = 0;
bool CountSettingsWrite(std::uint32_t&) {
    ++settingsWrites;
    return true;
}
// A settings file that another program holds open.
bool FailSettingsWrite(std::uint32_t& error) {
    ++settingsWrites;
    error = ERROR_SHARING_VIOLATION;
    return false;
}
std::vector<std::pair<std::wstring, std::wstring>> errorBoxes;
void RecordErrorBox(HWND, const std::wstring& text, const std::wstring& caption) {
    errorBoxes.emplace_back(text, caption);
}

int Count(const std::wstring& text, const std::wstring& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

// A 32-bit memory bitmap to draw controls into and read back.
class Canvas {
public:
    Canvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    Colour At(int x, int y) const { return static_cast<Colour>(GetPixel(dc_, x, y)); }

private:
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

using MainWindowTest = MainWindowFixture;

} // namespace

TEST_F(MainWindowTest, FitsItselfAroundTheFrameAndThePage) {
    EXPECT_EQ(Text(GetDlgItem(window_, IDC_MAIN_TAB_LAYOUT)), L"104 KEY ANSI");
    RECT client{};
    GetClientRect(window_, &client);
    const PixelRect frame = ClientRectOf(window_, GetDlgItem(window_, IDC_MAIN_FRAME));
    const PixelRect page = ClientRectOf(window_, page_);
    EXPECT_EQ(client.right, frame.right + 12);
    EXPECT_EQ(client.bottom, frame.bottom + 12);
    EXPECT_EQ(page.left, frame.left + 12);
    EXPECT_EQ(page.top, frame.top + 12);
    EXPECT_EQ(frame.bottom, page.bottom + 12);
    // The settings page lies exactly over the keyboard page.
    EXPECT_EQ(ClientRectOf(window_, dialog_->SettingsPage().Handle()), page);
    const PixelRect close = ClientRectOf(window_, GetDlgItem(window_, IDC_MAIN_CLOSE));
    const PixelRect restore = ClientRectOf(window_, GetDlgItem(window_, IDC_MAIN_RESTORE));
    EXPECT_EQ(close.right, client.right - 4);
    EXPECT_EQ(close.top, 0);
    EXPECT_EQ(restore.right, close.left);
    // The keyboard view sits 12 pixels inside its group box and has the layout's size.
    const PixelRect view = ClientRectOf(page_, GetDlgItem(page_, IDC_KBD_KEYBOARD));
    const PixelRect group = ClientRectOf(page_, GetDlgItem(page_, IDC_KBD_KEYBOARD_GROUP));
    EXPECT_EQ(view.left, group.left + 12);
    EXPECT_EQ(view.top, group.top + 12);
    EXPECT_EQ(view.Width(), dialog_->KeyboardPage().Layout().width);
    EXPECT_EQ(view.Height(), dialog_->KeyboardPage().Layout().height);
}

TEST_F(MainWindowTest, OnlyTheTitleStripDragsAndRestoreDoesNothing) {
    RECT window{};
    GetWindowRect(window_, &window);
    EXPECT_EQ(SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(window.left + 300, window.top + 5)),
              HTCAPTION);
    EXPECT_EQ(
        SendMessageW(window_, WM_NCHITTEST, 0, MAKELPARAM(window.left + 300, window.top + 200)),
        HTCLIENT);
    CapturedLog log;
    GetWindowRect(window_, &window);
    SendMessageW(window_, WM_COMMAND, IDC_MAIN_RESTORE, 0);
    RECT after{};
    GetWindowRect(window_, &after);
    EXPECT_EQ(log.Text(), L"Restore button, ignoring.\n");
    EXPECT_TRUE(EqualRect(&window, &after));
}

TEST_F(MainWindowTest, TabsSwitchPagesAndReturningAppliesTheSettings) {
    SendMessageW(window_, WM_COMMAND, IDC_MAIN_TAB_SETTINGS, 0);
    EXPECT_FALSE(Shown(page_));
    EXPECT_TRUE(Shown(dialog_->SettingsPage().Handle()));
    Settings().Unpressed = MakeColour(1, 2, 3);
    CapturedLog log;
    SendMessageW(window_, WM_COMMAND, IDC_MAIN_TAB_LAYOUT, 0);
    EXPECT_TRUE(Shown(page_));
    EXPECT_FALSE(Shown(dialog_->SettingsPage().Handle()));
    EXPECT_NE(log.Text().find(L"Settings updated.\n"), std::wstring::npos);
    EXPECT_EQ(dialog_->KeyboardPage().View().Colours().unpressed, MakeColour(1, 2, 3));
}

TEST_F(MainWindowTest, KeyRecordsReachTheKeyboardTheLogAndTheFields) {
    InputThread& input = dialog_->KeyboardPage().Input();
    input.OnRecord(KeyRecord(0x1E, 'A', false));
    Pump();
    const KeyboardLayout& layout = dialog_->KeyboardPage().Layout();
    const LayoutKey* key = nullptr;
    for (const LayoutKey& candidate : layout.keys) {
        if (candidate.scanCode == 0x1E) {
            key = &candidate;
            break;
        }
    }
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->state, Depressed);
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_STATUS)), L"Active");
    input.OnRecord(KeyRecord(0x1E, 'A', true));
    Pump();
    EXPECT_EQ(key->state, Pressed);
    const std::wstring log = Text(GetDlgItem(page_, IDC_KBD_LOG));
    EXPECT_NE(log.find(L" A (0x41, BIOS 0x1E) DOWN\r\n"), std::wstring::npos) << log;
    EXPECT_NE(log.find(L" A (0x41, BIOS 0x1E) UP -> "), std::wstring::npos) << log;
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_UP_NAME)), L" A");
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_UP_BIOS_CODE)), L" 30 (0x1e)");

    // Clear / Reload: keys untested again, log and fields empty, the status reloaded.
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_CLEAR, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ(dialog_->KeyboardPage().Layout().keys.front().state, Unpressed);
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_LOG)), L"");
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_UP_NAME)), L"");
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_STATUS)), L"Layout Cleared/Reloaded");
}

TEST_F(MainWindowTest, SequenceBoxFocusSwitchesRawInputOffAndOn) {
    HWND box = GetDlgItem(page_, IDC_KBD_SEQUENCE);
    CapturedLog log;
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_SEQUENCE, EN_SETFOCUS),
                 reinterpret_cast<LPARAM>(box));
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_SEQUENCE, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(log.Text(), L"Disabling raw input...\nEnabling raw input...\n");
    // The settings page's edit boxes go through the main window.
    log.Clear();
    SendMessageW(window_, UWM_DISABLE_RAW_INPUT, 0, 0);
    EXPECT_EQ(log.Text(), L"Disabling raw input...\n");
}

TEST_F(MainWindowTest, ShowLogOffHidesTheLogControlsAndShortensThePage) {
    CapturedLog log;
    dialog_->KeyboardPage().ApplySettings();
    Pump();
    EXPECT_EQ(log.Text().find(L"CMainDlg::OnReflowLayout"), std::wstring::npos)
        << "an unchanged ShowLog must not reflow";
    Settings().ShowLog = false;
    dialog_->KeyboardPage().ApplySettings();
    Pump();
    EXPECT_NE(log.Text().find(L"Hiding log window and controls.\n"), std::wstring::npos);
    for (int id : {IDC_KBD_LOG, IDC_KBD_SAVE, IDC_KBD_REPORT, IDC_KBD_SEQUENCE, IDC_KBD_OVERWRITE,
                   IDC_KBD_LOG_STATUS}) {
        EXPECT_FALSE(Shown(GetDlgItem(page_, id))) << id;
    }
    RECT client{};
    GetClientRect(page_, &client);
    EXPECT_EQ(client.bottom, ClientRectOf(page_, GetDlgItem(page_, IDC_KBD_KEYBOARD_GROUP)).bottom);
}

TEST_F(MainWindowTest, KeysReleasedWhileAwayAreReleasedOnReturnAndPressedAfresh) {
    InputThread& input = dialog_->KeyboardPage().Input();
    input.OnRecord(KeyRecord(0x1E, 'A', false));
    input.OnRecord(KeyRecord(0x1F, 'S', false));
    Pump();
    // Another program has the foreground: what is typed there is not logged; the release of
    // S, held here, is, with its own time. A's release is missed.
    input.OnRecord(KeyRecord(0x30, 'B', false), true);
    input.OnRecord(KeyRecord(0x30, 'B', true), true);
    input.OnRecord(KeyRecord(0x1F, 'S', true), true);
    Pump();
    std::wstring log = Text(GetDlgItem(page_, IDC_KBD_LOG));
    EXPECT_EQ(log.find(L"(0x42"), std::wstring::npos) << log;
    // Nor is it kept for the test's trace: only the release of S is.
    const std::vector<TraceRecord>& recording = dialog_->KeyboardPage().Session().Recording();
    ASSERT_EQ(recording.size(), 3u);
    EXPECT_EQ(recording[2].record.makeCode, 0x1F);
    EXPECT_EQ(recording[2].record.flags, RI_KEY_BREAK);
    EXPECT_NE(log.find(L" S (0x53, BIOS 0x1F) UP -> "), std::wstring::npos) << log;
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_HELD_KEYS)), L" A  ");

    SendMessageW(window_, WM_ACTIVATEAPP, TRUE, 0);
    Pump();
    log = Text(GetDlgItem(page_, IDC_KBD_LOG));
    EXPECT_NE(log.find(L" A (0x41, BIOS 0x1E) UP (released while away)"), std::wstring::npos)
        << log;
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_HELD_KEYS)), L" ");
    // The next press of A is a press, not a repeat of the old hold.
    input.OnRecord(KeyRecord(0x1E, 'A', false));
    Pump();
    EXPECT_EQ(Count(Text(GetDlgItem(page_, IDC_KBD_LOG)), L" A (0x41, BIOS 0x1E) DOWN"), 2);

    // A release missed while raw input was off for the sequence box.
    SendMessageW(page_, UWM_DISABLE_RAW_INPUT, 0, 0);
    SendMessageW(page_, UWM_ENABLE_RAW_INPUT, 0, 0);
    Pump();
    EXPECT_EQ(Count(Text(GetDlgItem(page_, IDC_KBD_LOG)), L"A (0x41, BIOS 0x1E) UP (released"), 2);
}

TEST_F(MainWindowTest, EndOfSessionWritesTheSettingsBeforeItsHandlerReturns) {
    settingsWrites = 0;
    dialog_->SetSettingsWriter(&CountSettingsWrite);
    SendMessageW(window_, WM_ENDSESSION, FALSE, 0); // a log-off that was cancelled
    Pump();
    EXPECT_EQ(settingsWrites, 0);
    ASSERT_TRUE(IsWindow(window_));
    SendMessageW(window_, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(settingsWrites, 1);
    EXPECT_TRUE(IsWindow(window_)); // the close was only posted
    Pump();
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(settingsWrites, 1);
}

TEST_F(MainWindowTest, NormalCloseWritesTheSettingsOnce) {
    settingsWrites = 0;
    dialog_->SetSettingsWriter(&CountSettingsWrite);
    SendMessageW(window_, WM_COMMAND, IDC_MAIN_CLOSE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(settingsWrites, 1);
}

TEST_F(MainWindowTest, ASettingsFileThatCannotBeWrittenIsShownOnceAtCloseAndTheProgramCloses) {
    settingsWrites = 0;
    errorBoxes.clear();
    dialog_->SetSettingsWriter(&FailSettingsWrite);
    dialog_->SetErrorBox(&RecordErrorBox);
    SendMessageW(window_, WM_COMMAND, IDC_MAIN_CLOSE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(settingsWrites, 1);
    ASSERT_EQ(errorBoxes.size(), 1u);
    EXPECT_NE(errorBoxes[0].first.find(SettingsFilePath()), std::wstring::npos)
        << errorBoxes[0].first;
    EXPECT_EQ(errorBoxes[0].first.find(L"%"), std::wstring::npos) << errorBoxes[0].first;
    // The reason follows the file name.
    EXPECT_GT(errorBoxes[0].first.size(),
              errorBoxes[0].first.find(SettingsFilePath()) + SettingsFilePath().size() + 4);
    EXPECT_EQ(errorBoxes[0].second, L"Error Saving Settings");
}

TEST_F(MainWindowTest, ASettingsWriteFailingAtTheEndOfTheSessionOnlyGoesToTheDiagnosticLog) {
    settingsWrites = 0;
    errorBoxes.clear();
    dialog_->SetSettingsWriter(&FailSettingsWrite);
    dialog_->SetErrorBox(&RecordErrorBox);
    CapturedLog log;
    SendMessageW(window_, WM_ENDSESSION, TRUE, 0);
    Pump();
    EXPECT_FALSE(IsWindow(window_));
    EXPECT_EQ(settingsWrites, 1);
    EXPECT_TRUE(errorBoxes.empty());
    EXPECT_NE(
        log.Text().find(L"Settings not saved to \"" + SettingsFilePath() + L"\" (0x00000020)"),
        std::wstring::npos);
}

TEST_F(MainWindowTest, TheLayoutListFollowsItsFolderAndKeepsTheChosenLayout) {
    TempFolder folder;
    Settings().LayoutFileDirectory = folder.Path().wstring();
    HWND list = GetDlgItem(page_, IDC_KBD_LAYOUT_LIST);
    const auto open = [this, list] {
        SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_LAYOUT_LIST, CBN_DROPDOWN),
                     reinterpret_cast<LPARAM>(list));
    };
    const auto item = [list](LRESULT index) {
        wchar_t text[128] = {};
        SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text));
        return std::wstring(text);
    };
    WriteFileBytes(folder.Path() / "alpha.kbl", "Alpha\nR1, 0x1E, \"A\", \"A\", 1\n");
    open();
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(item(SendMessageW(list, CB_GETCURSEL, 0, 0)), L"104 Key ANSI"); // still chosen

    // Alpha chosen, then its file deleted: it stays chosen with its keys until another choice.
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_LAYOUT_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    Pump();
    ASSERT_EQ(dialog_->KeyboardPage().Layout().name, L"Alpha");
    std::filesystem::remove(folder.Path() / "alpha.kbl");
    WriteFileBytes(folder.Path() / "beta.kbl", "Beta\nR1, 0x1E, \"A\", \"A\", 1\n");
    open();
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(item(SendMessageW(list, CB_GETCURSEL, 0, 0)), L"Alpha");
    EXPECT_EQ(item(2), L"Beta");
    EXPECT_EQ(dialog_->KeyboardPage().Layout().name, L"Alpha");
    EXPECT_EQ(dialog_->KeyboardPage().Layout().keys.size(), 1u);
}

TEST_F(MainWindowTest, ClearAndSaveButtonsDrawInTheDimTextColour) {
    for (int id : {IDC_KBD_CLEAR, IDC_KBD_SAVE}) {
        HWND button = GetDlgItem(page_, id);
        RECT rect{};
        GetClientRect(button, &rect);
        Canvas canvas(rect.right, rect.bottom);
        DRAWITEMSTRUCT item{};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(id);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = button;
        item.hDC = canvas.Dc();
        item.rcItem = rect;
        SendMessageW(page_, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item));
        EXPECT_EQ(canvas.At(0, rect.bottom / 2), Palette::DimText) << id;
        EXPECT_EQ(canvas.At(rect.right / 2, 0), Palette::DimText) << id;
        int textPixels = 0;
        for (int y = 1; y < rect.bottom - 1; ++y) {
            for (int x = 1; x < rect.right - 1; ++x) {
                const Colour pixel = canvas.At(x, y);
                EXPECT_NE(pixel, Palette::NormalText) << id << " at " << x << "," << y;
                textPixels += pixel == Palette::DimText ? 1 : 0;
            }
        }
        EXPECT_GT(textPixels, 10) << id;
    }
}

TEST_F(MainWindowTest, SequenceBoxTakesANumberWiderThanItself) {
    HWND box = GetDlgItem(page_, IDC_KBD_SEQUENCE);
    SetWindowTextW(box, L"");
    for (wchar_t digit : std::wstring(L"1234567")) {
        SendMessageW(box, WM_CHAR, digit, 1);
    }
    EXPECT_EQ(Text(box), L"1234567");
}

namespace {

// The readout's texts in order, an alarm part marked with "!".
std::wstring ReadoutText(const ProgressStatic& readout) {
    std::wstring text;
    for (const ReadoutPart& part : readout.Parts()) {
        text += part.text + (part.alarm ? L"!|" : L"|");
    }
    return text;
}

// The readout as it paints itself, read back at one pixel of its middle row.
COLORREF ReadoutPixel(const ProgressStatic& readout, int x) {
    RECT client{};
    GetClientRect(readout.Handle(), &client);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    readout.Draw(memory);
    const COLORREF pixel = GetPixel(memory, x < 0 ? client.right + x : x, client.bottom / 2);
    EXPECT_NE(pixel, CLR_INVALID) << "readout of " << client.right << "x" << client.bottom;
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixel;
}

} // namespace

TEST_F(MainWindowTest, ReadoutCountsTestedFaultyAndRolloverAndStartsAfreshWithClear) {
    const ProgressStatic& readout = dialog_->KeyboardPage().Readout();
    EXPECT_EQ(ReadoutText(readout), L"Tested 0 / 104|Faulty 0|Rollover 0|");
    EXPECT_EQ(ReadoutPixel(readout, 2), MakeColour(51, 51, 51));
    // Every re-press counts as chatter, however slowly the test machine runs.
    Settings().ChatterThreshold = 100000;
    InputThread& input = dialog_->KeyboardPage().Input();
    input.OnRecord(KeyRecord(0x1E, 'A', false));
    input.OnRecord(KeyRecord(0x1F, 'S', false));
    Pump();
    EXPECT_EQ(ReadoutText(readout), L"Tested 2 / 104|Faulty 0|Rollover 2|");
    input.OnRecord(KeyRecord(0x1E, 'A', true));
    input.OnRecord(KeyRecord(0x1E, 'A', false));
    input.OnRecord(KeyRecord(0x1E, 'A', true));
    input.OnRecord(KeyRecord(0x1F, 'S', true));
    Pump();
    EXPECT_EQ(ReadoutText(readout), L"Tested 2 / 104|Faulty 1!|Rollover 2|");
    // The bar is filled from the left for 2 of 104 keys, the rest is the frame's colour.
    EXPECT_NE(ReadoutPixel(readout, 2), MakeColour(51, 51, 51));
    EXPECT_EQ(ReadoutPixel(readout, -3), MakeColour(51, 51, 51));

    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_CLEAR, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ(ReadoutText(readout), L"Tested 0 / 104|Faulty 0|Rollover 0|");
    EXPECT_EQ(ReadoutPixel(readout, 2), MakeColour(51, 51, 51));
}

TEST_F(MainWindowTest, ReportButtonWritesBothFilesWithTheSaveRules) {
    TempFolder folder;
    Settings().LogFileDirectory = folder.Path().wstring();
    Settings().LogFilePrefix = L"Board";
    InputThread& input = dialog_->KeyboardPage().Input();
    input.OnRecord(KeyRecord(0x1E, 'A', false));
    input.OnRecord(KeyRecord(0x1E, 'A', true));
    Pump();
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_REPORT, BN_CLICKED), 0);
    Pump();
    const std::string html = ReadFileBytes(folder.Path() / "Board00001.html");
    const std::string csv = ReadFileBytes(folder.Path() / "Board00001.csv");
    EXPECT_NE(html.find("FAIL: 0 faulty, 103 untested"), std::string::npos);
    EXPECT_NE(html.find("<th>Layout</th><td>104 Key ANSI</td>"), std::string::npos);
    EXPECT_NE(csv.find("\r\n0x001E,A,A,yes,good,1,0,,"), std::string::npos) << csv;
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_LOG_STATUS)), L"Report saved");
    EXPECT_TRUE(Shown(GetDlgItem(page_, IDC_KBD_LOG_STATUS)));
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_SEQUENCE)), L"00002");

    // The same number again without "Overwrite?": nothing is replaced.
    SetWindowTextW(GetDlgItem(page_, IDC_KBD_SEQUENCE), L"00001");
    input.OnRecord(KeyRecord(0x1F, 'S', false));
    Pump();
    SendMessageW(page_, WM_COMMAND, MAKEWPARAM(IDC_KBD_REPORT, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_LOG_STATUS)), L"Not saved, report exists!");
    EXPECT_EQ(ReadFileBytes(folder.Path() / "Board00001.html"), html);
    EXPECT_EQ(Text(GetDlgItem(page_, IDC_KBD_SEQUENCE)), L"00001");
}
