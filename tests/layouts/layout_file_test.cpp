#include "layouts/layout_parser.h"

#include "base/utf8.h"
#include "layout_test_util.h"
#include "layouts/key_names.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct FileLoad {
    bool loaded = false;
    bool reachedEnd = false;
    KeyboardLayout layout;
    KeyNameTable names;
    std::wstring log;
};

class LayoutFileLoader : public ::testing::Test {
protected:
    std::wstring Write(const std::string& bytes, const char* fileName = "layout.kbl") {
        const std::filesystem::path path = folder_.Path() / fileName;
        WriteFileBytes(path, bytes);
        return path.wstring();
    }

    FileLoad Load(const std::string& bytes, int keyDimensions = 36) {
        return LoadPath(Write(bytes), keyDimensions);
    }

    FileLoad LoadPath(const std::wstring& path, int keyDimensions = 36) {
        FileLoad result;
        CapturedLog log;
        result.loaded =
            LoadLayoutFile(path, keyDimensions, result.layout, result.names, &result.reachedEnd);
        result.log = log.Text();
        return result;
    }

    std::wstring Start(const std::wstring& path) const {
        return L"Loading keyboard layout \"" + path + L"\"...\n";
    }

    TempFolder folder_;
};

const char kEsc[] = "R1, 0x01, \"Esc\", \"Esc\", 1\n";

std::string Repeat(const std::string& text, int count) {
    std::string result;
    for (int i = 0; i < count; ++i) {
        result += text;
    }
    return result;
}

} // namespace

TEST_F(LayoutFileLoader, HeaderGivesNameAndVersion) {
    const std::wstring path = Write(std::string("My Board\n") + kEsc);
    FileLoad load = LoadPath(path);
    ASSERT_TRUE(load.loaded);
    EXPECT_EQ(load.layout.name, L"My Board");
    EXPECT_EQ(load.log, Start(path));
    EXPECT_EQ(ReadLayoutName(path), L"My Board");

    load = Load(std::string("A, B, 4\r\n") + kEsc);
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.layout.name, L"A, B"); // cut at the last comma, nothing trimmed
}

TEST_F(LayoutFileLoader, UnknownVersionFailsAtTheFirstBodyLine) {
    const std::wstring path = Write("Name, ISO\n\n");
    FileLoad load = LoadPath(path);
    EXPECT_FALSE(load.loaded);
    EXPECT_EQ(load.layout.name, L"Name");
    EXPECT_EQ(load.log, Start(path) + L"   Error:  Unknown version number (0).\n"
                                      L"   Error:  Line 2 invalid.\n");
    load = Load(std::string("Name,5\n") + kEsc);
    EXPECT_NE(
        load.log.find(L"   Error:  Unknown version number (5).\n   Error:  Line 2 invalid.\n"),
        std::wstring::npos);
    // Without a body line the version is never examined.
    load = Load("Name, 7\n");
    EXPECT_FALSE(load.loaded);
    EXPECT_TRUE(load.reachedEnd);
}

TEST_F(LayoutFileLoader, HeaderOnlyOrEmptyFailsWithoutAnError) {
    std::wstring path = Write("Only a header\n");
    FileLoad load = LoadPath(path);
    EXPECT_FALSE(load.loaded);
    EXPECT_TRUE(load.reachedEnd);
    EXPECT_EQ(load.log, Start(path));
    EXPECT_EQ(load.names.Entries().size(), 127u);

    path = Write("");
    load = LoadPath(path);
    EXPECT_FALSE(load.loaded);
    EXPECT_EQ(load.log, Start(path));
    EXPECT_EQ(ReadLayoutName(path), L"");

    path = Write("\xEF\xBB\xBF");
    EXPECT_FALSE(LoadPath(path).loaded);
    EXPECT_EQ(LoadPath(path).log, Start(path));
}

TEST_F(LayoutFileLoader, MissingFileCannotBeOpened) {
    const std::wstring path = (folder_.Path() / "missing.kbl").wstring();
    const FileLoad load = LoadPath(path);
    EXPECT_FALSE(load.loaded);
    EXPECT_FALSE(load.reachedEnd);
    EXPECT_EQ(load.log, Start(path) + L"    Error:  Unable to open file.\n");
    EXPECT_EQ(ReadLayoutName(path), L"");
    const std::wstring folder = folder_.Path().wstring();
    EXPECT_EQ(LoadPath(folder).log, Start(folder) + L"    Error:  Unable to open file.\n");
}

TEST_F(LayoutFileLoader, InvalidLineIsReportedByNumberOnly) {
    const std::wstring path =
        Write(std::string("N\n") + kEsc + "\n// c\nR1, 0x02, \"b\", \"b\", 1x3\n");
    const FileLoad load = LoadPath(path);
    EXPECT_FALSE(load.loaded);
    EXPECT_EQ(load.log, Start(path) + L"Invalid height, must be 0.25, 0.5 or 1.\n"
                                      L"   Error:  Line 5 invalid.\n");
    EXPECT_EQ(load.layout.keys.size(), 1u);
    EXPECT_TRUE(load.names.Entries().empty());
}

TEST_F(LayoutFileLoader, ByteOrderMarkIsSkippedAndCarriageReturnLineFeedIsOneLineEnd) {
    const std::wstring path =
        Write("\xEF\xBB\xBFN\xC3\xA9\r\nR1, 0x01, \"a\", \"a\", 1\r\nbad\r\n");
    const FileLoad load = LoadPath(path);
    EXPECT_EQ(load.layout.name, L"N\u00E9");
    EXPECT_EQ(load.log, Start(path) + L"Invalid line, wrong number of fields.\n"
                                      L"   Error:  Line 3 invalid.\n");
    EXPECT_EQ(ReadLayoutName(path), L"N\u00E9");
}

TEST_F(LayoutFileLoader, LoneCarriageReturnCutsTheRestOfItsLine) {
    const FileLoad load = Load("N\rX\nR1, 0x01, \"a\", \"a\", 1\rjunk\n");
    ASSERT_TRUE(load.loaded) << load.log;
    EXPECT_EQ(load.layout.name, L"NX");
    EXPECT_EQ(load.layout.keys.size(), 1u);
}

TEST_F(LayoutFileLoader, LongLinesAreReadInPiecesOf1023Characters) {
    // 1023 spaces and a line end: one empty line; "bad" is line 3.
    std::wstring path = Write("N\n" + std::string(1023, ' ') + "\nbad\n");
    EXPECT_EQ(LoadPath(path).log, Start(path) + L"Invalid line, wrong number of fields.\n"
                                                L"   Error:  Line 3 invalid.\n");
    // 1024 characters: the rest after the first 1023, " bad", is line 3.
    path = Write("N\n" + std::string(1023, ' ') + " bad\n");
    EXPECT_EQ(LoadPath(path).log, Start(path) + L"Invalid line, wrong number of fields.\n"
                                                L"   Error:  Line 3 invalid.\n");
    path = Write("N\n" + std::string(1023, ' ') + "\xC3\xA9\n");
    EXPECT_EQ(LoadPath(path).log, Start(path) + L"Invalid line, wrong number of fields.\n"
                                                L"   Error:  Line 3 invalid.\n");
    // A 100,000-character line fails at its first piece.
    path = Write("N\n" + std::string(100000, 'x') + "\n");
    EXPECT_EQ(LoadPath(path).log, Start(path) + L"Invalid line, wrong number of fields.\n"
                                                L"   Error:  Line 2 invalid.\n");
    // The header is read in a piece too; the rest is the first body line.
    path = Write(std::string(1030, 'n') + "\n");
    const FileLoad load = LoadPath(path);
    EXPECT_EQ(load.layout.name, std::wstring(1023, L'n'));
}

TEST_F(LayoutFileLoader, AtMostAThousandLinesHeaderIncluded) {
    FileLoad load = Load("N\n" + Repeat(kEsc, 999));
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.layout.keys.size(), 999u);
    // Line 1001 fails even when it is empty.
    std::wstring path = Write("N\n" + Repeat(kEsc, 999) + "\n");
    load = LoadPath(path);
    EXPECT_FALSE(load.loaded);
    EXPECT_EQ(load.log, Start(path) + L"   Error:  Maximum lines exceeded.\n");
    path = Write("N\n" + Repeat("\n", 5000));
    EXPECT_EQ(LoadPath(path).log, Start(path) + L"   Error:  Maximum lines exceeded.\n");
}

TEST_F(LayoutFileLoader, VersionThreeGivesPositionsDirectly) {
    const FileLoad load = Load("Old, 3\n0x1E, \"A & B\", \"A\", 1.5, 2, 1.25, 0.75\n"
                               "BL, \"x\", \"\", 0, 0, 1, 1\n");
    ASSERT_TRUE(load.loaded) << load.log;
    ASSERT_EQ(load.layout.keys.size(), 2u);
    const LayoutKey& a = KeyAt(load.layout, 0);
    EXPECT_EQ(a.scanCode, 0x1E);
    EXPECT_EQ(a.label, L"A & B"); // no ampersand doubling
    EXPECT_EQ(a.left, 54);
    EXPECT_EQ(a.top, 72);
    EXPECT_EQ(a.right, 99);
    EXPECT_EQ(a.bottom, 99);
    EXPECT_EQ(KeyAt(load.layout, 1).scanCode, 0); // BL is not special here
    EXPECT_EQ(load.layout.width, 99);

    const std::wstring path = Write("Old, 3\n0x1E, \"A\", \"A\", 1, 2, 1\n");
    EXPECT_EQ(LoadPath(path).log, Start(path) + L"   Error:  Line 2 invalid.\n");
}

TEST_F(LayoutFileLoader, BadBytesNeverStopTheReader) {
    // Invalid UTF-8 becomes U+FFFD; a NUL ends its line.
    const char withNul[] = "R1, 0x02, \"b\", \"b\", 1\0garbage\n";
    FileLoad load = Load(std::string("N\xFF\n") + "R1, 0x01, \"\xC3\x28\", \"a\", 1\n" +
                         std::string(withNul, sizeof withNul - 1));
    ASSERT_TRUE(load.loaded) << load.log;
    EXPECT_EQ(load.layout.name, L"N\uFFFD");
    EXPECT_EQ(KeyAt(load.layout, 0).label, L"\uFFFD(");
    EXPECT_EQ(load.layout.keys.size(), 2u);
    // An unclosed quote and an unclosed comment.
    load = Load("N\nR1, 0x01, \"a, \"a\", 1\nR1, 0x02, \"b\", \"b\", 1 /* open\n");
    EXPECT_FALSE(load.loaded);
}
