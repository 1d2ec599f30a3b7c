#include "logging/event_log.h"
#include "logging/log_files_win.h"
#include "ui/gdi_objects.h"
#include "view/log_viewer_win.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cwctype>

namespace {

std::string Utf16(const std::wstring& text) {
    return EncodeLogFileBytes(text);
}

SYSTEMTIME At(int minute, int second, int milliseconds) {
    SYSTEMTIME time{};
    time.wHour = 12;
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = static_cast<WORD>(milliseconds);
    return time;
}

// A page-like parent window with a real read-only Rich Edit 2.0 control in it.
class LogViewerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(LoadLibraryW(L"RICHED20.DLL"), nullptr);
        parent_ = CreateWindowExW(0, L"STATIC", L"page", WS_POPUP | WS_VISIBLE, 0, 0, 600, 300,
                                  nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(parent_, nullptr);
        edit_ =
            CreateWindowExW(0, L"RichEdit20W", L"", 0x50200804, 0, 100, 500, 120, parent_,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(1005)), nullptr, nullptr);
        ASSERT_NE(edit_, nullptr);
        ASSERT_TRUE(viewer_.SubclassWindow(edit_));
    }
    void TearDown() override {
        viewer_.UnsubclassWindow();
        if (parent_ != nullptr) {
            DestroyWindow(parent_);
        }
    }

    // The text colour of `count` characters from the start of a line of the control.
    COLORREF LineColour(int line, DWORD* effects = nullptr) {
        const LONG start = static_cast<LONG>(SendMessageW(edit_, EM_LINEINDEX, line, 0));
        CHARRANGE range{start, start + 5};
        SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATW format{};
        format.cbSize = sizeof(format);
        SendMessageW(edit_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        if (effects != nullptr) {
            *effects = format.dwEffects;
        }
        return format.crTextColor;
    }

    HWND parent_ = nullptr;
    HWND edit_ = nullptr;
    LogViewer viewer_;
};

TEST_F(LogViewerFixture, AppendedLinesAreStampedAndSeparated) {
    SetFocus(parent_);
    viewer_.AppendLineAt(L"a DOWN", false, At(5, 7, 42));
    EXPECT_EQ(viewer_.Text(), L"05:07.0042 a DOWN");
    EXPECT_EQ(GetFocus(), edit_);
    viewer_.AppendLineAt(L"a UP", false, At(5, 7, 130));
    viewer_.AppendLineAt(L"a CHATTER DETECTED", true, At(5, 8, 0));
    EXPECT_EQ(viewer_.Text(),
              L"05:07.0042 a DOWN\r\n05:07.0130 a UP\r\n05:08.0000 a CHATTER DETECTED");
    EXPECT_EQ(SendMessageW(edit_, EM_GETLINECOUNT, 0, 0), 3);

    // A line stamped with the clock: mm:ss.0mmm and a blank before the text.
    viewer_.AppendLine(L"b DOWN", false);
    const std::wstring text = viewer_.Text();
    const std::wstring last = text.substr(text.rfind(L"\r\n") + 2);
    ASSERT_EQ(last.size(), 17u);
    const std::wstring shape = L"dd:dd.0ddd b DOWN";
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == L'd') {
            EXPECT_TRUE(std::iswdigit(last[i])) << i;
        } else {
            EXPECT_EQ(last[i], shape[i]) << i;
        }
    }
    EXPECT_NE(text.back(), L'\n');
}

TEST_F(LogViewerFixture, FaultLineIsRedAndTheNextBlack) {
    viewer_.AppendLineAt(L"a DOWN", false, At(1, 2, 3));
    viewer_.AppendLineAt(L"a CHATTER DETECTED", true, At(1, 2, 4));
    viewer_.AppendLineAt(L"a UP", false, At(1, 2, 5));
    DWORD effects = 0;
    EXPECT_EQ(LineColour(0), 0x000000u);
    EXPECT_EQ(LineColour(1, &effects), 0x0000FFu);
    EXPECT_EQ(effects & CFE_AUTOCOLOR, 0u);
    EXPECT_EQ(LineColour(2, &effects), 0x000000u);
    EXPECT_EQ(effects & CFE_AUTOCOLOR, 0u);
}

TEST_F(LogViewerFixture, QueuedLinesGoInAsOneUpdateWithTheColoursOfSingleLines) {
    // A second view receives the same lines one at a time.
    HWND single = CreateWindowExW(0, L"RichEdit20W", L"", 0x50200804, 0, 0, 500, 90, parent_,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(single, nullptr);
    LogViewer alone;
    ASSERT_TRUE(alone.SubclassWindow(single));
    // Both views in a font of their own, which fault lines must keep too.
    OwnedFont font(CreateFontW(-15, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0,
                               FIXED_PITCH, L"Courier New"));
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    SendMessageW(single, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), FALSE);
    const bool faults[] = {false, true, true, false, false, true, false};
    // Names with the characters rich text escapes, letters outside ASCII and a tab.
    const std::wstring names[] = {L"key0", L"{\\}", L"\u00C4 \u20AC", L"\U0001D11E", L"a\tb",
                                  L"key5", L"}{"};
    for (int i = 0; i < 7; ++i) {
        const std::wstring text = names[i] + (faults[i] ? L" CHATTER" : L" UP");
        alone.AppendLineAt(text, faults[i], At(1, i, 10 * i));
        viewer_.QueueLineAt(text, faults[i], At(1, i, 10 * i), 0);
    }
    SetFocus(parent_);
    EXPECT_EQ(GetWindowTextLengthW(edit_), 0) << "queued lines are not in the view yet";
    EXPECT_EQ(viewer_.Queued().Size(), 7u);
    viewer_.WriteQueuedLines();
    EXPECT_TRUE(viewer_.Queued().Empty());
    EXPECT_EQ(GetFocus(), edit_);
    const std::wstring text = viewer_.Text();
    EXPECT_EQ(text, alone.Text());
    EXPECT_EQ(text, L"01:00.0000 key0 UP\r\n01:01.0010 {\\} CHATTER\r\n"
                    L"01:02.0020 \u00C4 \u20AC CHATTER\r\n01:03.0030 \U0001D11E UP\r\n"
                    L"01:04.0040 a\tb UP\r\n01:05.0050 key5 CHATTER\r\n01:06.0060 }{ UP");
    // Every character in the colour it has in the other view, and in the font of the first
    // line (a plain line: the views' own font).
    CHARFORMATW first{};
    first.cbSize = sizeof(first);
    CHARRANGE origin{0, 1};
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&origin));
    SendMessageW(edit_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&first));
    EXPECT_EQ(std::wstring(first.szFaceName), L"Courier New");
    EXPECT_NE(first.dwEffects & CFE_BOLD, 0u);
    // Characters as the control counts them (a line break is one).
    GETTEXTLENGTHEX how{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LONG characters = static_cast<LONG>(
        SendMessageW(edit_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    EXPECT_EQ(characters, static_cast<LONG>(text.size()) - 6);
    for (LONG i = 0; i < characters; ++i) {
        CHARFORMATW formats[2] = {};
        HWND views[2] = {edit_, single};
        for (int v = 0; v < 2; ++v) {
            CHARRANGE range{i, i + 1};
            SendMessageW(views[v], EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
            formats[v].cbSize = sizeof(formats[v]);
            SendMessageW(views[v], EM_GETCHARFORMAT, SCF_SELECTION,
                         reinterpret_cast<LPARAM>(&formats[v]));
        }
        ASSERT_EQ(formats[0].crTextColor, formats[1].crTextColor) << "character " << i;
        ASSERT_EQ(std::wstring(formats[0].szFaceName), first.szFaceName) << "character " << i;
        ASSERT_EQ(formats[0].yHeight, first.yHeight) << "character " << i;
        ASSERT_EQ(formats[0].dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_AUTOCOLOR),
                  first.dwEffects & (CFE_BOLD | CFE_ITALIC | CFE_AUTOCOLOR))
            << "character " << i;
    }
    EXPECT_EQ(LineColour(1), 0x0000FFu);
    EXPECT_EQ(LineColour(3), 0x000000u);
    alone.UnsubclassWindow();
}

TEST_F(LogViewerFixture, LiftedLimitHoldsAMillionLongLines) {
    viewer_.LiftTextLimit();
    EXPECT_GE(SendMessageW(edit_, EM_GETLIMITTEXT, 0, 0), 1000000 * 120);
    // Far past the control's default of 32,767 characters, nothing is cut.
    for (int i = 0; i < 2000; ++i) {
        viewer_.QueueLineAt(L"Left Shift (0xA0, BIOS 0x2A) DOWN", false, At(0, 0, i), 0);
    }
    viewer_.WriteQueuedLines();
    const std::wstring text = viewer_.Text();
    EXPECT_EQ(text.size(), 2000u * 46 - 2);
    EXPECT_EQ(text.substr(text.size() - 46), L"\r\n00:00.1999 Left Shift (0xA0, BIOS 0x2A) DOWN");
}

TEST_F(LogViewerFixture, LinesGoToTheEndWhereverTheUserSelected) {
    viewer_.AppendLineAt(L"a DOWN", false, At(0, 0, 1));
    viewer_.AppendLineAt(L"a UP", false, At(0, 0, 2));
    CHARRANGE range{3, 8};
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    viewer_.QueueLineAt(L"b DOWN", true, At(0, 0, 3), 0);
    viewer_.QueueLineAt(L"b UP", false, At(0, 0, 4), 0);
    viewer_.WriteQueuedLines();
    range = {0, 0};
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    viewer_.AppendLineAt(L"c DOWN", false, At(0, 0, 5));
    EXPECT_EQ(viewer_.Text(), L"00:00.0001 a DOWN\r\n00:00.0002 a UP\r\n00:00.0003 b DOWN\r\n"
                              L"00:00.0004 b UP\r\n00:00.0005 c DOWN");
    EXPECT_EQ(LineColour(1), 0x000000u);
    EXPECT_EQ(LineColour(2), 0x0000FFu);
    EXPECT_EQ(LineColour(3), 0x000000u);
    EXPECT_EQ(LineColour(4), 0x000000u);
}

TEST_F(LogViewerFixture, CopyWritesQueuedLinesAndKeepsTheSelection) {
    viewer_.AppendLineAt(L"abc DOWN", false, At(0, 0, 1));
    CHARRANGE range{11, 14};
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    viewer_.QueueLineAt(L"xyz DOWN", false, At(0, 0, 2), 0);
    SendMessageW(edit_, WM_COMMAND, kLogViewerCopyCommand, 0);
    EXPECT_EQ(WindowText(edit_, 100), L"00:00.0001 abc DOWN\r\n00:00.0002 xyz DOWN");
    ASSERT_TRUE(OpenClipboard(parent_));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    EXPECT_STREQ(static_cast<const wchar_t*>(GlobalLock(data)), L"abc");
    GlobalUnlock(data);
    CloseClipboard();
}

TEST_F(LogViewerFixture, SavedTextIsUtf16) {
    TempFolder folder;
    WinLogFiles files;
    viewer_.AppendLineAt(L"a DOWN", false, At(0, 1, 2));
    viewer_.AppendLineAt(L"\u00e9 UP", true, At(0, 1, 3));
    const std::wstring path = (folder.Path() / L"log.log").wstring();
    ASSERT_TRUE(SaveLogText(files, path, viewer_.Text(), false));
    EXPECT_EQ(ReadFileBytes(path), Utf16(L"00:01.0002 a DOWN\r\n00:01.0003 \u00e9 UP"));
    // Without overwrite an existing file is left alone.
    CapturedLog log;
    SetWindowTextW(edit_, L"");
    EXPECT_FALSE(SaveLogText(files, path, viewer_.Text(), false));
    EXPECT_EQ(ReadFileBytes(path), Utf16(L"00:01.0002 a DOWN\r\n00:01.0003 \u00e9 UP"));
    EXPECT_NE(log.Text().find(L"Error creating file \"" + path + L"\", 0x00000050\n"),
              std::wstring::npos);
    ASSERT_TRUE(SaveLogText(files, path, viewer_.Text(), true));
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(LogViewerFixture, CopyIsDisabledWithoutSelection) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, kLogViewerCopyCommand, L"&Copy");
    LogViewer::PrepareContextMenu(popup, CHARRANGE{3, 3});
    const UINT state = GetMenuState(popup, kLogViewerCopyCommand, MF_BYCOMMAND);
    EXPECT_TRUE(state & MF_DISABLED);
    EXPECT_FALSE(state & MF_GRAYED);
    DestroyMenu(popup);

    popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, kLogViewerCopyCommand, L"&Copy");
    LogViewer::PrepareContextMenu(popup, CHARRANGE{0, 3});
    EXPECT_FALSE(GetMenuState(popup, kLogViewerCopyCommand, MF_BYCOMMAND) & MF_DISABLED);
    DestroyMenu(popup);

    const POINT inside = LogViewer::PlaceContextMenu(POINT{100, 200});
    EXPECT_EQ(inside.x, 100);
    const POINT outside = LogViewer::PlaceContextMenu(POINT{-5000, 200});
    EXPECT_GE(outside.x, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(outside.y, 200);
}

TEST_F(LogViewerFixture, CopyCommandCopiesTheSelection) {
    viewer_.AppendLineAt(L"abc DOWN", false, At(0, 0, 1));
    CHARRANGE range{11, 14};
    SendMessageW(edit_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CapturedLog log;
    SendMessageW(edit_, WM_COMMAND, kLogViewerCopyCommand, 0);
    EXPECT_EQ(log.Text(), L"LogViewer::OnCopy()\n");
    ASSERT_TRUE(OpenClipboard(parent_));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(data, nullptr);
    const auto* copied = static_cast<const wchar_t*>(GlobalLock(data));
    EXPECT_STREQ(copied, L"abc");
    GlobalUnlock(data);
    CloseClipboard();
}

// Plain static standing in for the page's colour label: records what it was told.
class RecordingLabel final : public StatusLabel {
public:
    int textId = -1;
    Colour colour = 0;
    bool visible = false;
    void SetStatusText(int id, Colour textColour) override {
        textId = id;
        colour = textColour;
    }
    void Show(bool show) override { visible = show; }
};

class TestSavePage final : public WinLogSavePage {
public:
    using WinLogSavePage::WinLogSavePage;
    int folderErrors = 0;
    void ShowFolderError(int, int) override { ++folderErrors; }
};

class LogSaveFixture : public LogViewerFixture {
protected:
    void SetUp() override {
        LogViewerFixture::SetUp();
        box_ = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_NUMBER, 0, 0, 60, 20, parent_,
                               nullptr, nullptr, nullptr);
        check_ = CreateWindowExW(0, L"BUTTON", L"Overwrite?", WS_CHILD | BS_AUTOCHECKBOX, 0, 30, 80,
                                 20, parent_, nullptr, nullptr, nullptr);
        page_ = std::make_unique<TestSavePage>(
            parent_, box_, check_, label_, [this] { return viewer_.Text(); }, LogSavingTextDefault);
        saver_.ShowSequenceNumber(*page_);
    }
    void Save(const std::wstring& folder, const std::wstring& prefix = L"Board") {
        WinLogFiles files;
        saver_.OnClick_Save(*page_, files, folder, prefix);
    }
    std::wstring BoxText() {
        wchar_t text[32] = {};
        GetWindowTextW(box_, text, 32);
        return text;
    }
    void Tick(bool on) { SendMessageW(check_, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }

    HWND box_ = nullptr;
    HWND check_ = nullptr;
    RecordingLabel label_;
    std::unique_ptr<TestSavePage> page_;
    LogSaver saver_;
    TempFolder temp_;
};

TEST_F(LogSaveFixture, SaveExistsAndOverwriteWithRealFiles) {
    const std::wstring folder = (temp_.Path() / L"logs").wstring();
    viewer_.AppendLineAt(L"a DOWN", false, At(0, 0, 1));
    EXPECT_EQ(BoxText(), L"00001");
    Save(folder); // the missing folder is created (one level)
    const std::wstring first = folder + L"\\Board00001.log";
    EXPECT_EQ(ReadFileBytes(first), Utf16(L"00:00.0001 a DOWN"));
    EXPECT_EQ(saver_.Status(), LogStatusSaved);
    EXPECT_EQ(label_.textId, 159);
    EXPECT_TRUE(label_.visible);
    EXPECT_EQ(BoxText(), L"00002");

    SetWindowTextW(box_, L"1");
    viewer_.AppendLineAt(L"a UP", false, At(0, 0, 9));
    Save(folder);
    EXPECT_EQ(saver_.Status(), LogStatusFileExists);
    EXPECT_EQ(label_.colour, 0x0000FFu);
    EXPECT_EQ(BoxText(), L"1");
    EXPECT_EQ(ReadFileBytes(first), Utf16(L"00:00.0001 a DOWN"));

    Tick(true);
    Save(folder);
    EXPECT_EQ(saver_.Status(), LogStatusSaved);
    EXPECT_EQ(ReadFileBytes(first), Utf16(L"00:00.0001 a DOWN\r\n00:00.0009 a UP"));
    EXPECT_EQ(BoxText(), L"00002");
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1); // no temporary file left behind
}

TEST_F(LogSaveFixture, ReadOnlyTargetIsNeverReplaced) {
    const std::wstring folder = temp_.Path().wstring();
    const std::wstring path = folder + L"\\Board00001.log";
    WriteFileBytes(path, "earlier");
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    viewer_.AppendLineAt(L"a DOWN", false, At(0, 0, 1));
    Tick(true);
    Save(folder);
    EXPECT_EQ(saver_.Status(), LogStatusUnknownError);
    EXPECT_EQ(label_.textId, 158);
    EXPECT_EQ(BoxText(), L"00001");
    EXPECT_EQ(ReadFileBytes(path), "earlier");
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(LogSaveFixture, MissingParentFolderShowsTheMessageBox) {
    const std::wstring folder = (temp_.Path() / L"missing" / L"logs").wstring();
    saver_.SetStatus(LogStatusSaved);
    Save(folder);
    EXPECT_EQ(page_->folderErrors, 1);
    EXPECT_EQ(saver_.Status(), LogStatusSaved);
    EXPECT_EQ(BoxText(), L"00001");
    EXPECT_FALSE(std::filesystem::exists(temp_.Path() / L"missing"));
}

TEST_F(LogSaveFixture, EmptyLogAndEnvironmentFolder) {
    SetEnvironmentVariableW(L"TAPWISE_TEST_LOGS", temp_.Path().wstring().c_str());
    SetWindowTextW(box_, L"123456");
    Save(L"%TAPWISE_TEST_LOGS%\\", L"");
    const auto path = temp_.Path() / L"123456.log";
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0u);
    EXPECT_EQ(BoxText(), L"123457");
}

} // namespace

TEST_F(LogSaveFixture, ReportOverAnEarlierOneWithItsCsvLockedOrAFolderKeepsTheEarlierFiles) {
    const std::wstring folder = temp_.Path().wstring();
    const std::wstring html = folder + L"\\Board00001.html";
    const std::wstring csv = folder + L"\\Board00001.csv";
    const auto report = [] {
        return std::vector<std::string>{"new html", "new csv", "new log", "new trace"};
    };
    const auto entries = [&folder] {
        int count = 0;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            (void)entry;
            ++count;
        }
        return count;
    };
    WriteFileBytes(html, "earlier html");
    WriteFileBytes(csv, "earlier csv");
    Tick(true);
    WinLogFiles files;
    {
        // Open in a spreadsheet program, which shares it for reading only.
        HANDLE open = CreateFileW(csv.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(open, INVALID_HANDLE_VALUE);
        saver_.OnClick_Report(*page_, files, folder, L"Board", report);
        CloseHandle(open);
    }
    EXPECT_EQ(saver_.Status(), LogStatusUnknownError);
    EXPECT_EQ(BoxText(), L"00001");
    EXPECT_EQ(ReadFileBytes(html), "earlier html");
    EXPECT_EQ(ReadFileBytes(csv), "earlier csv");
    EXPECT_EQ(entries(), 2); // neither a new .log nor a .trace is left behind

    ASSERT_TRUE(DeleteFileW(csv.c_str()));
    ASSERT_TRUE(CreateDirectoryW(csv.c_str(), nullptr));
    saver_.OnClick_Report(*page_, files, folder, L"Board", report);
    EXPECT_EQ(saver_.Status(), LogStatusUnknownError);
    EXPECT_EQ(ReadFileBytes(html), "earlier html");
    EXPECT_TRUE(std::filesystem::is_directory(csv));
    EXPECT_EQ(entries(), 2);

    ASSERT_TRUE(RemoveDirectoryW(csv.c_str()));
    saver_.OnClick_Report(*page_, files, folder, L"Board", report);
    EXPECT_EQ(saver_.Status(), LogStatusReportSaved);
    EXPECT_EQ(ReadFileBytes(html), "new html");
    EXPECT_EQ(ReadFileBytes(csv), "new csv");
    EXPECT_EQ(ReadFileBytes(folder + L"\\Board00001.log"), "new log");
    EXPECT_EQ(ReadFileBytes(folder + L"\\Board00001.trace"), "new trace");
    EXPECT_EQ(entries(), 4);
}
