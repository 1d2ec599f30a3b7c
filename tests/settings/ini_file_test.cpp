#include "settings/environment.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

std::optional<std::wstring> FindIn(const std::string& bytes, const wchar_t* section,
                                   const wchar_t* key) {
    return IniDocument::Parse(bytes).Find(section, key);
}

std::string SetIn(const std::string& bytes, const wchar_t* section, const wchar_t* key,
                  const wchar_t* value) {
    IniDocument document = IniDocument::Parse(bytes);
    document.Set(section, key, value);
    return document.Serialize();
}

} // namespace

TEST(IniDocument, LooksUpTheFirstSectionAndFirstKeyOfAName) {
    const std::string text = "top=before\r\n"
                             "[Sec]\r\n"
                             "  Key A = value a  \r\n"
                             "plain line\r\n"
                             "dup=first\r\n"
                             "dup=second\r\n"
                             "eq==x\r\n"
                             " [ Spaced ] trailing\r\n"
                             "k=v\r\n"
                             "[SEC]\r\n"
                             "late=ignored\r\n"
                             "[Open\r\n"
                             "o=1\r\n";
    EXPECT_EQ(FindIn(text, L"", L"top"), L"before");
    EXPECT_EQ(FindIn(text, L"sec", L"KEY A"), L" value a  ");
    EXPECT_EQ(FindIn(text, L"Sec", L"dup"), L"first");
    EXPECT_EQ(FindIn(text, L"Sec", L"eq"), L"=x");
    EXPECT_EQ(FindIn(text, L"Sec", L"plain line"), std::nullopt);
    EXPECT_EQ(FindIn(text, L"Sec", L"late"), std::nullopt);
    EXPECT_EQ(FindIn(text, L"Spaced", L"k"), L"v");
    EXPECT_EQ(FindIn(text, L"Open", L"o"), std::nullopt);
    EXPECT_EQ(FindIn(text, L"Sec", L"top"), std::nullopt);
    EXPECT_EQ(FindIn(text, L"None", L"k"), std::nullopt);
}

TEST(IniDocument, EndsLinesAtCrLfCrOrLf) {
    const std::string text = "[A]\rx=1\ny=2\r\nz=3";
    EXPECT_EQ(FindIn(text, L"A", L"x"), L"1");
    EXPECT_EQ(FindIn(text, L"A", L"y"), L"2");
    EXPECT_EQ(FindIn(text, L"A", L"z"), L"3");
}

TEST(IniDocument, ReadsEveryEncodingAndWritesItBackByteForByte) {
    const std::string files[] = {
        "; comment\r\n\r\n[A]\nx = \xC3\xA9\r\n\ty=2\r  \r\nlast",                // UTF-8
        "\xEF\xBB\xBF[A]\r\nx=\xC3\xA9\r\n",                                      // UTF-8 with mark
        std::string("\xFF\xFE[\0A\0]\0\r\0\n\0x\0=\0\xE9\0\x3D\xD8\x00\xDE", 22), // UTF-16LE
        std::string("\xFE\xFF\0[\0A\0]\0\n\0x\0=\0\xE9", 16),                     // UTF-16BE
        "[A]\r\nx=\xE9\xFF\r\n",                                                  // not UTF-8
    };
    for (const std::string& file : files) {
        EXPECT_EQ(IniDocument::Parse(file).Serialize(), file);
        EXPECT_EQ(ProfileValueText(FindIn(file, L"a", L"X").value_or(L"")).substr(0, 1), L"\x00E9");
    }
    EXPECT_EQ(IniDocument::Parse(files[4]).Encoding(), IniEncoding::Latin1);
    EXPECT_EQ(FindIn(files[2], L"A", L"x"), std::wstring(L"\x00E9") + L"\U0001F600");
}

TEST(IniDocument, SetReplacesOnlyTheValueOfTheKeyLine) {
    const std::string before = "; keep me\r\n[Layout]\n  Unpressed = (01, 02, 03)  \r\n"
                               "B=2\r\n\r\n[Logging]\r\nC=3";
    EXPECT_EQ(SetIn(before, L"layout", L"UNPRESSED", L"(A0, A0, A0)"),
              "; keep me\r\n[Layout]\n  Unpressed =(A0, A0, A0)\r\nB=2\r\n\r\n[Logging]\r\nC=3");
}

TEST(IniDocument, SetAddsAKeyAfterTheLastLineOfItsSection) {
    EXPECT_EQ(SetIn("[Layout]\r\nA=1\r\n\r\n[Logging]\r\nC=3\r\n", L"Layout", L"N", L"new"),
              "[Layout]\r\nA=1\r\nN=new\r\n\r\n[Logging]\r\nC=3\r\n");
    EXPECT_EQ(SetIn("[Layout]\nA=1", L"Layout", L"N", L"new"), "[Layout]\nA=1\r\nN=new\r\n");
    EXPECT_EQ(SetIn("[Layout]\r\n", L"Layout", L"N", L""), "[Layout]\r\nN=\r\n");
    EXPECT_EQ(SetIn("[Layout]\nA=1\n[Logging]\nB=2", L"Layout", L"N", L"x"),
              "[Layout]\nA=1\nN=x\r\n[Logging]\nB=2");
}

TEST(IniDocument, SetAddsAMissingSectionAtTheEnd) {
    EXPECT_EQ(SetIn("[Layout]\r\nA=1", L"Logging", L"B", L"2"),
              "[Layout]\r\nA=1\r\n[Logging]\r\nB=2\r\n");
}

TEST(IniDocument, NewDocumentIsUtf16WithByteOrderMark) {
    const std::string bytes = SetIn("", L"L", L"k", L"\x00E9");
    EXPECT_EQ(bytes, std::string("\xFF\xFE[\0L\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0", 22));
}

TEST(IniDocument, Latin1FileTakesCharactersBeyondItsRangeWithoutLoss) {
    const std::string bytes = SetIn("[A]\r\nx=\xE9\r\n", L"A", L"y", L"\x4E2D");
    const IniDocument document = IniDocument::Parse(bytes);
    EXPECT_EQ(document.Encoding(), IniEncoding::Utf16Le);
    EXPECT_EQ(document.Find(L"A", L"x"), L"\x00E9");
    EXPECT_EQ(document.Find(L"A", L"y"), L"\x4E2D");
}

TEST(ProfileValue, TrimsUnquotesAndCutsLikeTheProfileFunctions) {
    EXPECT_EQ(ProfileValueText(L"  a b \t"), L"a b");
    EXPECT_EQ(ProfileValueText(L" \"quoted\" "), L"quoted");
    EXPECT_EQ(ProfileValueText(L"'single'"), L"single");
    EXPECT_EQ(ProfileValueText(L"\"in\"side\""), L"in\"side");
    EXPECT_EQ(ProfileValueText(L"\"half"), L"\"half");
    EXPECT_EQ(ProfileValueText(L"\""), L"\"");
    EXPECT_EQ(ProfileValueText(std::wstring(L"1\0 2", 4)), L"1");
    EXPECT_EQ(ProfileValueText(std::wstring(1100, L'x')).size(), 1023u);
}

TEST(ProfileInt, ConvertsLikeThePlatformIntegerRead) {
    const std::pair<const wchar_t*, std::int32_t> cases[] = {
        {L"12", 12},
        {L"-5", -5},
        {L"+7", 7},
        {L"012", 12},
        {L"102abc", 102},
        {L"1 2", 1},
        {L"0x10", 16},
        {L"0X10", 0},
        {L"0xfg", 15},
        {L"0b101", 5},
        {L"0o17", 15},
        {L"0o8", 0},
        {L"0x", 0},
        {L"-0x10", -16},
        {L"abc", 0},
        {L"- 5", 0},
        {L"+-5", 0},
        {L"+", 0},
        {L"\t 9", 9},
        {L"2147483648", -2147483647 - 1},
        {L"-2147483649", 2147483647},
        {L"4294967297", 1},
        {L"0xffffffff", -1},
        {L"99999999999999999999", 1661992959},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ProfileIntFromText(text), expected) << text;
    }
}

TEST(IniFileProfile, ReadsDefaultsForMissingFileAndTrimsOnlyTheDefaultsEnd) {
    TempFolder folder;
    IniFileProfile profile(folder.Path() / "none.ini");
    EXPECT_EQ(profile.ReadText(L"A", L"k", L"  def  "), L"  def");
    EXPECT_EQ(profile.ReadInt(L"A", L"k", 77), 77);
}

TEST(IniFileProfile, IntegerReadUsesTheFirst29CharactersAndDefaultsForEmptyValue) {
    TempFolder folder;
    const auto path = folder.Path() / "a.ini";
    WriteFileBytes(path, "[A]\r\nlong=" + std::string(28, '0') + "12\r\nempty=\r\nq=\"7\"\r\n");
    IniFileProfile profile(path);
    EXPECT_EQ(profile.ReadInt(L"A", L"long", 77), 1);
    EXPECT_EQ(profile.ReadInt(L"A", L"empty", 77), 77);
    EXPECT_EQ(profile.ReadInt(L"A", L"q", 77), 7);
}

TEST(IniFileProfile, WriteKeepsTheRestOfTheFileExactly) {
    TempFolder folder;
    const auto path = folder.Path() / "a.ini";
    const std::string before = "# notes\n[Layout]\nA=1\n\n[Logging]\nB=2\n";
    WriteFileBytes(path, before);
    IniFileProfile profile(path);
    std::uint32_t error = 0;
    ASSERT_TRUE(profile.WriteText(L"Logging", L"B", L"3", error));
    EXPECT_EQ(ReadFileBytes(path), "# notes\n[Layout]\nA=1\n\n[Logging]\nB=3\n");
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "a.ini.new"));
}

TEST(IniFileProfile, WriteToAFolderFailsWithAccessDenied) {
    TempFolder folder;
    std::filesystem::create_directory(folder.Path() / "dir.ini");
    IniFileProfile profile(folder.Path() / "dir.ini");
    std::uint32_t error = 0;
    EXPECT_FALSE(profile.WriteText(L"A", L"k", L"v", error));
    EXPECT_EQ(error, 5u);
    EXPECT_EQ(profile.ReadText(L"A", L"k", L"d"), L"d");
}

TEST(IniFileProfile, EachLoadReadsTheFileAsItIsThenAndWritesAreSeenAtOnce) {
    TempFolder folder;
    const auto path = folder.Path() / "a.ini";
    WriteFileBytes(path, "[Layout]\r\nChatterThreshold=12\r\n");
    IniFileProfile profile(path);
    AppSettings settings;
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.ChatterThreshold, 12);

    // Edited by hand between two loads of the same profile.
    WriteFileBytes(path, "[Layout]\r\nChatterThreshold=30\r\nKeyDimensions=40\r\n");
    LoadSettings(profile, settings);
    EXPECT_EQ(settings.ChatterThreshold, 30);
    EXPECT_EQ(settings.KeyDimensions, 40);

    std::uint32_t error = 0;
    ASSERT_TRUE(profile.WriteText(L"Layout", L"KeyDimensions", L"50", error));
    EXPECT_EQ(profile.ReadInt(L"Layout", L"KeyDimensions", 0), 50);
    EXPECT_EQ(profile.ReadInt(L"Layout", L"ChatterThreshold", 0), 30);
}

TEST(EnvironmentExpansion, ReplacesKnownNamesAndKeepsEverythingElse) {
    const EnvironmentLookup lookup = [](const std::wstring& name) -> std::optional<std::wstring> {
        if (name == L"APPDATA") {
            return L"C:\\Roaming";
        }
        if (name == L"EMPTY") {
            return L"";
        }
        return std::nullopt;
    };
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L""},
        {L"%APPDATA%\\Quillmark\\log", L"C:\\Roaming\\Quillmark\\log"},
        {L"%APPDATA%%APPDATA%", L"C:\\RoamingC:\\Roaming"},
        {L"a%EMPTY%b", L"ab"},
        {L"%UNKNOWN%\\x", L"%UNKNOWN%\\x"},
        {L"%UNKNOWN%APPDATA%", L"%UNKNOWN%APPDATA%"},
        {L"%%APPDATA%", L"%%APPDATA%"},
        {L"50% off", L"50% off"},
        {L"%APPDATA", L"%APPDATA"},
        {L"%", L"%"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ExpandEnvironmentReferences(text, lookup), expected) << text;
    }
}
