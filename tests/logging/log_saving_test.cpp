#include "logging/event_log.h"
#include "logging/log_saving.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>

namespace {

// An in-memory file system that can be told to fail at each step.
class FakeLogFiles final : public LogFiles {
public:
    std::set<std::wstring> folders;
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> readOnly;
    bool failCreateFolder = false;
    bool failCreate = false;
    std::size_t writeLimit = SIZE_MAX; // bytes that reach the disk before it is full
    bool failReplace = false;
    std::vector<std::wstring> removed;

    bool FolderExists(const std::wstring& folder) override { return folders.count(folder) != 0; }
    bool CreateFolder(const std::wstring& folder) override {
        if (failCreateFolder) {
            return false;
        }
        folders.insert(folder);
        return true;
    }
    bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
    WriteResult WriteNewFile(const std::wstring& path, const std::string& bytes) override {
        WriteResult result;
        if (files.count(path) != 0) {
            result.alreadyExists = true;
            result.error = 80;
            return result;
        }
        if (failCreate) {
            result.error = 5;
            return result;
        }
        result.created = true;
        files[path] = bytes.substr(0, std::min(bytes.size(), writeLimit));
        result.complete = files[path].size() == bytes.size();
        result.error = result.complete ? 0 : 112;
        return result;
    }
    bool MoveOver(const std::wstring& from, const std::wstring& to, std::uint32_t& error) override {
        if (failReplace || readOnly.count(to) != 0 || readOnly.count(from) != 0) {
            error = 5;
            return false;
        }
        files[to] = files.at(from);
        files.erase(from);
        return true;
    }
    void RemoveFile(const std::wstring& path) override {
        removed.push_back(path);
        files.erase(path);
    }
};

class FakeLabel final : public StatusLabel {
public:
    int textId = -1;
    Colour colour = 0x123456;
    bool visible = true;
    int updates = 0;
    void SetStatusText(int id, Colour textColour) override {
        textId = id;
        colour = textColour;
        ++updates;
    }
    void Show(bool show) override { visible = show; }
};

class FakePage final : public LogSavePage {
public:
    std::wstring box = L"00001";
    bool overwrite = false;
    std::wstring logText = L"00:01.0002 a DOWN\r\n00:01.0090 a UP";
    int folderErrors = 0;
    FakeLabel label;

    std::wstring SequenceText() override { return box; }
    void SetSequenceText(const std::wstring& text) override { box = text; }
    bool OverwriteTicked() override { return overwrite; }
    void ShowFolderError(int textId, int captionId) override {
        EXPECT_EQ(textId, 149);
        EXPECT_EQ(captionId, 150);
        ++folderErrors;
    }
    StatusLabel& LogStatusLabel() override { return label; }
    std::wstring ExpandEnvironment(const std::wstring& text) override {
        std::wstring expanded = text;
        const auto at = expanded.find(L"%APPDATA%");
        if (at != std::wstring::npos) {
            expanded.replace(at, 9, L"C:\\Users\\t\\AppData\\Roaming");
        }
        return expanded;
    }
    std::wstring LogText() override { return logText; }
};

const std::wstring kFolder = L"C:\\Users\\t\\AppData\\Roaming\\Quillmark\\log";

std::string Utf16(const std::u16string& text) {
    std::string bytes;
    for (char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

TEST(EventLogLine, StampSeparatorAndColour) {
    EXPECT_EQ(ComposeLogLine(true, 5, 7, 42, L"a DOWN"), L"05:07.0042 a DOWN");
    EXPECT_EQ(ComposeLogLine(false, 59, 0, 999, L"x"), L"\r\n59:00.0999 x");
    EXPECT_EQ(ComposeLogLine(true, 0, 0, 0, L""), L"00:00.0000 ");
    // Formatting characters in the line text are text, not conversions.
    EXPECT_EQ(ComposeLogLine(true, 1, 2, 3, L"%s %d"), L"01:02.0003 %s %d");
    EXPECT_EQ(LogLineColour(true), 0x0000FFu);
    EXPECT_EQ(LogLineColour(false), 0u);
}

TEST(EventLogLine, ContextMenuPlacement) {
    EXPECT_FALSE(CopyEnabled(4, 4));
    EXPECT_TRUE(CopyEnabled(2, 4));
    const MonitorWorkArea work{0, 0, 1280, 1000};
    EXPECT_EQ(PlaceMenuX(-300, false, work), 0);
    EXPECT_EQ(PlaceMenuX(1500, false, work), 1279);
    EXPECT_EQ(PlaceMenuX(1500, true, work), 1500);
}

TEST(LogFileBytes, Utf16LittleEndianWithoutMarkOrTerminator) {
    EXPECT_EQ(EncodeLogFileBytes(L""), std::string());
    EXPECT_EQ(EncodeLogFileBytes(L"A\r\n\u00e9\u20ac"), Utf16(u"A\r\n\u00e9\u20ac"));
    EXPECT_EQ(EncodeLogFileBytes(L"\U0001F600"), Utf16(u"\U0001F600"));
}

TEST(LogSequenceNumber, ParsingAndFormatting) {
    EXPECT_EQ(ParseSequenceNumber(L"00012"), 12);
    EXPECT_EQ(ParseSequenceNumber(L""), 0);
    EXPECT_EQ(ParseSequenceNumber(L"12ab"), 12);
    EXPECT_EQ(ParseSequenceNumber(L"  -7"), -7);
    EXPECT_EQ(ParseSequenceNumber(L"99999999999999999999"), INT_MAX);
    EXPECT_EQ(FormatSequenceNumber(1), L"00001");
    EXPECT_EQ(FormatSequenceNumber(123456), L"123456");
    EXPECT_EQ(FormatSequenceNumber(2147483647), L"2147483647");
    EXPECT_EQ(LogFilePath(L"C:\\log\\", L"Board", 10), L"C:\\log\\Board00010.log");
    EXPECT_EQ(LogFilePath(L"C:\\log", L"", 10000000), L"C:\\log\\10000000.log");
    // A prefix that makes the path long is kept whole, so the name never loses its number.
    const std::wstring prefix(300, L'p');
    EXPECT_EQ(LogFilePath(L"C:\\log", prefix, 3), L"C:\\log\\" + prefix + L"00003.log");
}

TEST(LogStatusLabel, TextsColoursAndVisibility) {
    FakeLabel label;
    UpdateLogStatus(LogStatusSaved, label);
    EXPECT_EQ(label.textId, 159);
    EXPECT_EQ(label.colour, 0xDCDCDCu);
    EXPECT_TRUE(label.visible);
    UpdateLogStatus(LogStatusFileExists, label);
    EXPECT_EQ(label.textId, 157);
    EXPECT_EQ(label.colour, 0x0000FFu);
    UpdateLogStatus(LogStatusUnknownError, label);
    EXPECT_EQ(label.textId, 158);
    EXPECT_EQ(label.colour, 0x0000FFu);
    UpdateLogStatus(LogStatusNone, label);
    EXPECT_FALSE(label.visible);
    EXPECT_EQ(label.textId, 0);

    CapturedLog log;
    label.visible = true;
    UpdateLogStatus(9, label);
    EXPECT_FALSE(label.visible);
    EXPECT_EQ(log.Text(), L"Invalid log status (9).\n");
    EXPECT_EQ(LogSavingTextDefault(158), L"Not saved, unknown error!");
}

TEST(LogSave, FirstSaveThenExistsThenOverwrite) {
    FakeLogFiles files;
    FakePage page;
    LogSaver saver;
    CapturedLog log;
    saver.OnClick_Save(page, files, L"%APPDATA%\\Quillmark\\log", L"");
    const std::wstring first = kFolder + L"\\00001.log";
    EXPECT_EQ(files.folders.count(kFolder), 1u);
    ASSERT_EQ(files.files.count(first), 1u);
    EXPECT_EQ(files.files[first], Utf16(u"00:01.0002 a DOWN\r\n00:01.0090 a UP"));
    EXPECT_EQ(saver.Status(), LogStatusSaved);
    EXPECT_EQ(page.label.textId, 159);
    EXPECT_EQ(page.box, L"00002");
    EXPECT_EQ(log.Text(), L"Sequence number 00001\n");

    // The previous number typed again without "Overwrite?": refused, nothing changes.
    page.box = L"00001";
    page.logText = L"new";
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(saver.Status(), LogStatusFileExists);
    EXPECT_EQ(page.label.textId, 157);
    EXPECT_EQ(page.box, L"00001");
    EXPECT_EQ(files.files[first], Utf16(u"00:01.0002 a DOWN\r\n00:01.0090 a UP"));

    page.overwrite = true;
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(saver.Status(), LogStatusSaved);
    EXPECT_EQ(files.files[first], Utf16(u"new"));
    EXPECT_EQ(files.files.size(), 1u); // the temporary file is gone
    EXPECT_EQ(page.box, L"00002");
}

TEST(LogSave, NumbersFromTheBox) {
    FakeLogFiles files;
    files.folders.insert(kFolder);
    FakePage page;
    LogSaver saver;
    page.box = L"";
    saver.OnClick_Save(page, files, kFolder, L"Board");
    EXPECT_EQ(files.files.count(kFolder + L"\\Board00000.log"), 1u);
    EXPECT_EQ(page.box, L"00001");
    page.box = L"123456";
    saver.OnClick_Save(page, files, kFolder, L"Board");
    EXPECT_EQ(files.files.count(kFolder + L"\\Board123456.log"), 1u);
    EXPECT_EQ(page.box, L"123457");
    page.box = L"9999999";
    saver.OnClick_Save(page, files, kFolder, L"Board");
    EXPECT_EQ(page.box, L"10000000");
    saver.OnClick_Save(page, files, kFolder, L"Board");
    EXPECT_EQ(files.files.count(kFolder + L"\\Board10000000.log"), 1u);
    EXPECT_EQ(page.box, L"10000001");
    page.box = L"2147483647";
    saver.OnClick_Save(page, files, kFolder, L"Board");
    EXPECT_EQ(saver.SequenceNumber(), INT_MAX);
}

TEST(LogSave, FolderThatCannotBeCreated) {
    FakeLogFiles files;
    files.failCreateFolder = true;
    FakePage page;
    LogSaver saver;
    saver.SetStatus(LogStatusSaved);
    page.box = L"00007";
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(page.folderErrors, 1);
    EXPECT_EQ(saver.Status(), LogStatusSaved);
    EXPECT_EQ(page.label.updates, 0);
    EXPECT_EQ(page.box, L"00007");
    EXPECT_TRUE(files.files.empty());

    files.failCreateFolder = false;
    saver.OnClick_Save(page, files, L"", L""); // an emptied folder setting
    EXPECT_EQ(page.folderErrors, 2);
    EXPECT_TRUE(files.files.empty());
}

TEST(LogSave, ShortWriteIsAFailureAndLeavesNoFile) {
    FakeLogFiles files;
    files.folders.insert(kFolder);
    files.writeLimit = 6;
    FakePage page;
    LogSaver saver;
    CapturedLog log;
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(saver.Status(), LogStatusUnknownError);
    EXPECT_EQ(page.label.textId, 158);
    EXPECT_EQ(page.box, L"00001");
    EXPECT_TRUE(files.files.empty());
    EXPECT_NE(log.Text().find(L"Error writing file \"" + kFolder + L"\\00001.log\", 0x00000070\n"),
              std::wstring::npos);

    // The retry with the same number is not refused as existing.
    files.writeLimit = SIZE_MAX;
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(saver.Status(), LogStatusSaved);
}

TEST(LogSave, FailedOverwriteKeepsTheEarlierLog) {
    FakeLogFiles files;
    files.folders.insert(kFolder);
    const std::wstring path = kFolder + L"\\00001.log";
    files.files[path] = "earlier";
    FakePage page;
    page.overwrite = true;
    LogSaver saver;

    files.writeLimit = 3; // disk full while writing the replacement
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(saver.Status(), LogStatusUnknownError);
    EXPECT_EQ(files.files[path], "earlier");
    EXPECT_EQ(files.files.size(), 1u);

    files.writeLimit = SIZE_MAX;
    files.readOnly.insert(path); // the old file cannot be replaced
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(saver.Status(), LogStatusUnknownError);
    EXPECT_EQ(files.files[path], "earlier");
    EXPECT_EQ(files.files.size(), 1u);
    EXPECT_EQ(page.box, L"00001");

    files.failCreate = true; // the folder refuses new files
    CapturedLog log;
    saver.OnClick_Save(page, files, kFolder, L"");
    EXPECT_EQ(saver.Status(), LogStatusUnknownError);
    EXPECT_EQ(files.files[path], "earlier");
    EXPECT_NE(log.Text().find(L"Error creating file \""), std::wstring::npos);
}

TEST(LogSave, TemporaryNameAlreadyTaken) {
    FakeLogFiles files;
    const std::wstring path = kFolder + L"\\x.log";
    files.files[path + L".0.tmp"] = "someone else's";
    EXPECT_TRUE(SaveLogText(files, path, L"ab", true));
    EXPECT_EQ(files.files[path], Utf16(u"ab"));
    EXPECT_EQ(files.files[path + L".0.tmp"], "someone else's");
}

TEST(LogSave, EmptyLogGivesEmptyFile) {
    FakeLogFiles files;
    EXPECT_TRUE(SaveLogText(files, L"C:\\e.log", L"", false));
    EXPECT_EQ(files.files.at(L"C:\\e.log"), "");
}

} // namespace

namespace {

std::vector<std::string> ReportBytes() {
    return {"<html>report</html>", "\xEF\xBB\xBFScan code\r\n", std::string("l\0o\0g\0", 6),
            "1.000 0x1E 0 0x41\r\n"};
}

const std::wstring kHtml = kFolder + L"\\Board00007.html";
const std::wstring kCsv = kFolder + L"\\Board00007.csv";
const std::wstring kLog = kFolder + L"\\Board00007.log";
const std::wstring kTrace = kFolder + L"\\Board00007.trace";

} // namespace

TEST(ReportSaving, WritesTheFourFilesWithTheSaveNumberAndMovesTheNumberOn) {
    FakeLogFiles files;
    FakePage page;
    page.box = L"7";
    LogSaver saver;
    int built = 0;
    saver.OnClick_Report(page, files, L"%APPDATA%\\Quillmark\\log", L"Board", [&] {
        ++built;
        return ReportBytes();
    });
    EXPECT_EQ(built, 1);
    EXPECT_EQ(files.files.at(kHtml), "<html>report</html>");
    EXPECT_EQ(files.files.at(kCsv), "\xEF\xBB\xBFScan code\r\n");
    EXPECT_EQ(files.files.at(kLog), std::string("l\0o\0g\0", 6));
    EXPECT_EQ(files.files.at(kTrace), "1.000 0x1E 0 0x41\r\n");
    EXPECT_EQ(files.files.size(), 4u); // no temporary file left behind
    EXPECT_EQ(saver.Status(), LogStatusReportSaved);
    EXPECT_EQ(page.label.textId, kTextReportSaved);
    EXPECT_TRUE(page.label.visible);
    EXPECT_EQ(page.box, L"00008");
    EXPECT_EQ(LogSavingTextDefault(kTextReportSaved), L"Report saved");
}

TEST(ReportSaving, AnyFileExistingStopsTheReportUnlessOverwriteIsTicked) {
    for (const std::wstring& taken : {kHtml, kCsv, kLog, kTrace}) {
        FakeLogFiles files;
        files.folders.insert(kFolder);
        files.files[taken] = "earlier";
        FakePage page;
        page.box = L"00007";
        LogSaver saver;
        int built = 0;
        saver.OnClick_Report(page, files, kFolder, L"Board", [&] {
            ++built;
            return ReportBytes();
        });
        EXPECT_EQ(built, 0);
        EXPECT_EQ(files.files.size(), 1u);
        EXPECT_EQ(files.files.at(taken), "earlier");
        EXPECT_EQ(saver.Status(), LogStatusReportExists);
        EXPECT_EQ(page.label.textId, kTextReportExists);
        EXPECT_EQ(page.label.colour, kLogStatusErrorColour);
        EXPECT_EQ(page.box, L"00007");

        page.overwrite = true;
        saver.OnClick_Report(page, files, kFolder, L"Board", ReportBytes);
        EXPECT_EQ(files.files.at(kHtml), "<html>report</html>");
        EXPECT_EQ(files.files.at(kTrace), "1.000 0x1E 0 0x41\r\n");
        EXPECT_EQ(files.files.size(), 4u);
        EXPECT_EQ(saver.Status(), LogStatusReportSaved);
        EXPECT_EQ(page.box, L"00008");
    }
}

TEST(ReportSaving, AFailureOnTheLastFileLeavesTheEarlierFilesAsTheyWere) {
    FakeLogFiles files;
    files.folders.insert(kFolder);
    for (const std::wstring& path : {kHtml, kCsv, kLog, kTrace}) {
        files.files[path] = "earlier";
    }
    files.writeLimit = 100; // the disk fills during the trace
    FakePage page;
    page.box = L"00007";
    page.overwrite = true;
    LogSaver saver;
    saver.OnClick_Report(page, files, kFolder, L"Board", [] {
        std::vector<std::string> bytes = ReportBytes();
        bytes[3].assign(200, '1');
        return bytes;
    });
    EXPECT_EQ(files.files.size(), 4u);
    for (const std::wstring& path : {kHtml, kCsv, kLog, kTrace}) {
        EXPECT_EQ(files.files.at(path), "earlier");
    }
    EXPECT_EQ(saver.Status(), LogStatusUnknownError);
    EXPECT_EQ(page.box, L"00007");
}

TEST(ReportSaving, AFailedWriteLeavesNoFileAndSaysSo) {
    FakeLogFiles files;
    files.folders.insert(kFolder);
    files.writeLimit = 10; // the disk fills during the first file
    FakePage page;
    page.box = L"00007";
    LogSaver saver;
    saver.OnClick_Report(page, files, kFolder, L"Board", ReportBytes);
    EXPECT_TRUE(files.files.empty());
    EXPECT_EQ(saver.Status(), LogStatusUnknownError);
    EXPECT_EQ(page.label.textId, kTextLogUnknownError);
    EXPECT_EQ(page.box, L"00007");

    // The second rename fails: the first file, new in this call, is taken away again.
    files.writeLimit = SIZE_MAX;
    std::vector<FileContent> contents{{kHtml, "a"}, {kCsv, "b"}};
    files.readOnly.insert(kCsv);
    EXPECT_FALSE(WriteFilesWhole(files, contents));
    EXPECT_TRUE(files.files.empty());

    // A missing folder that cannot be made shows the folder message and writes nothing.
    FakeLogFiles noFolder;
    noFolder.failCreateFolder = true;
    FakePage other;
    saver.OnClick_Report(other, noFolder, kFolder, L"Board", ReportBytes);
    EXPECT_EQ(other.folderErrors, 1);
    EXPECT_TRUE(noFolder.files.empty());
}
