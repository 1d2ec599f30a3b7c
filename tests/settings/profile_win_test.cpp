// The platform's profile functions against the same expectations as the portable INI
// file, and both side by side on the same files.
#include "settings/environment.h"
#include "settings/ini_file.h"
#include "settings/profile_win.h"
#include "store_contract.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct WinProfileMaker {
    static std::unique_ptr<SettingsProfile> Make(const std::filesystem::path& path) {
        return std::make_unique<WinProfile>(path.wstring());
    }
};

struct Query {
    const wchar_t* section;
    const wchar_t* key;
};

const std::string kSampleFiles[] = {
    "top=before\r\n[Sec]\r\n  Key A = value a  \r\nkey b=\"quoted\"\r\nkeyc=\"half\r\n"
    "keyd='single'\r\nkeye=\"in\"side\"\r\n;comment=1\r\nplain\r\nkeyg==x\r\n"
    " [ Sp Sec ] tail\r\nk=sp\r\n[SEC]\r\nkeyh=second\r\n[Dup]\r\nx=1\r\nx=2\r\n"
    "[Tab]\r\n\tt\t=\tv\t\r\n[E]\r\nempty=\r\nsp=   \r\n",
    "[Layout]\rA=1\rB=0x1F\nC=-12abc\r\nD=\"  5 \"\r\nE=99999999999999999999\r\n"
    "F=0b101\r\nG=0o17\r\nH=- 3\r\nI=+8",
    "\xEF\xBB\xBF[Layout]\r\nA=\xC3\xA9t\xC3\xA9\r\nB=7\r\n",
    std::string("\xFF\xFE[\0L\0a\0y\0o\0u\0t\0]\0\r\0\n\0A\0=\0\xE9\0\x3D\xD8\x00\xDE\r\0\n\0", 36),
    "[Layout]\r\nA=" + std::string(1100, 'a') + "\r\nB=\"" + std::string(1030, 'b') +
        "\"\r\nC=   " + std::string(40, '1') + "\r\n",
    std::string("[Layout]\r\nA=1\0B=2\r\nC=3\r\n", 24),
};

const Query kQueries[] = {
    {L"", L"top"},      {L"Sec", L"Key A"}, {L"sec", L"KEY A"}, {L"Sec", L"key b"},
    {L"Sec", L"keyc"},  {L"Sec", L"keyd"},  {L"Sec", L"keye"},  {L"Sec", L";comment"},
    {L"Sec", L"plain"}, {L"Sec", L"keyg"},  {L"Sp Sec", L"k"},  {L"Sec", L"keyh"},
    {L"Dup", L"x"},     {L"Tab", L"t"},     {L"E", L"empty"},   {L"E", L"sp"},
    {L"Sec", L"none"},  {L"Layout", L"A"},  {L"Layout", L"B"},  {L"Layout", L"C"},
    {L"Layout", L"D"},  {L"Layout", L"E"},  {L"Layout", L"F"},  {L"Layout", L"G"},
    {L"Layout", L"H"},  {L"Layout", L"I"},  {L"layout", L"a"},
};

} // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Platform, SettingsStoreContract, WinProfileMaker);

TEST(PortableProfile, ReadsWhatThePlatformReadsFromTheSameFiles) {
    TempFolder folder;
    const auto path = folder.Path() / "same.ini";
    for (std::size_t f = 0; f < std::size(kSampleFiles); ++f) {
        WriteFileBytes(path, kSampleFiles[f]);
        WinProfile platform(path.wstring());
        IniFileProfile portable(path);
        for (const Query& query : kQueries) {
            SCOPED_TRACE(
                FormatWide(L"file %d [%ls] %ls", static_cast<int>(f), query.section, query.key));
            EXPECT_EQ(portable.ReadText(query.section, query.key, L"<d>"),
                      platform.ReadText(query.section, query.key, L"<d>"));
            EXPECT_EQ(portable.ReadInt(query.section, query.key, 77),
                      platform.ReadInt(query.section, query.key, 77));
        }
    }
}

TEST(PortableProfile, WritesWhatThePlatformWritesFromTheSameStart) {
    struct Write {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* value;
    };
    const Write writes[] = {
        {L"Layout", L"A", L"one"},  {L"layout", L"b", L"2"},
        {L"Logging", L"C", L"x y"}, {L"Layout", L"New", L"(FF, A0, A0)"},
        {L"Fresh", L"K", L""},      {L"Layout", L"U", L"\x00E9\x4E2D"},
    };
    TempFolder folder;
    for (std::size_t f = 0; f < std::size(kSampleFiles) + 1; ++f) {
        const auto platformPath = folder.Path() / ("p" + std::to_string(f) + ".ini");
        const auto portablePath = folder.Path() / ("q" + std::to_string(f) + ".ini");
        if (f < std::size(kSampleFiles)) { // the last round starts without a file
            WriteFileBytes(platformPath, kSampleFiles[f]);
            WriteFileBytes(portablePath, kSampleFiles[f]);
        }
        WinProfile platform(platformPath.wstring());
        IniFileProfile portable(portablePath);
        // The platform squeezes text into the ANSI code page in a file without a byte-order
        // mark, where the portable writer keeps every character; compare only where both can.
        const std::string start = ReadFileBytes(platformPath);
        const bool unicode =
            start.empty() || start.rfind("\xFF\xFE", 0) == 0 || start.rfind("\xEF\xBB\xBF", 0) == 0;
        for (const Write& write : writes) {
            if (!unicode &&
                std::wstring_view(write.value)
                        .find_first_not_of(L" ()+,-0123456789ABCDEFabcdefghijklmnopqrstuvwxyz") !=
                    std::wstring_view::npos) {
                continue;
            }
            std::uint32_t error = 0;
            ASSERT_TRUE(platform.WriteText(write.section, write.key, write.value, error));
            ASSERT_TRUE(portable.WriteText(write.section, write.key, write.value, error));
        }
        std::vector<Query> queries(std::begin(kQueries), std::end(kQueries));
        for (const Write& write : writes) {
            queries.push_back({write.section, write.key});
        }
        for (const Query& query : queries) {
            SCOPED_TRACE(
                FormatWide(L"file %d [%ls] %ls", static_cast<int>(f), query.section, query.key));
            // Each file read by the platform, and the portable file by both readers.
            const std::wstring expected = platform.ReadText(query.section, query.key, L"<d>");
            EXPECT_EQ(WinProfile(portablePath.wstring()).ReadText(query.section, query.key, L"<d>"),
                      expected);
            EXPECT_EQ(portable.ReadText(query.section, query.key, L"<d>"), expected);
        }
    }
}

TEST(PlatformProfile, NewFileIsUnicodeSoPathsKeepEveryCharacter) {
    TempFolder folder;
    const auto path = folder.Path() / "sub" / "new.ini";
    WinProfile profile(path.wstring());
    std::uint32_t error = 0;
    ASSERT_TRUE(profile.WriteText(L"Logging", L"LogFileDirectory", L"C:\\\x0416\x4E2D", error));
    EXPECT_EQ(ReadFileBytes(path).substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(profile.ReadText(L"Logging", L"LogFileDirectory", L""), L"C:\\\x0416\x4E2D");
}

TEST(PlatformEnvironment, ExpandsLikeThePortableExpansion) {
    ScopedEnvironment appData("APPDATA", L"C:\\Users\\Ann\\AppData\\Roaming");
    ScopedEnvironment empty("TAPWISE_TEST_EMPTY", L"");
    ScopedEnvironment wide("TAPWISE_TEST_WIDE", L"\x00E9\x4E2D");
    const wchar_t* cases[] = {
        L"",
        L"%APPDATA%\\Quillmark\\log",
        L"%APPDATA%%TAPWISE_TEST_WIDE%",
        L"%TAPWISE_TEST_UNKNOWN%\\x",
        L"%TAPWISE_TEST_UNKNOWN%APPDATA%",
        L"50% off",
        L"%APPDATA",
        L"%",
        L"a%TAPWISE_TEST_WIDE%b",
    };
    for (const wchar_t* text : cases) {
        std::wstring platform = text;
        ExpandEnvironment(platform);
        EXPECT_EQ(ExpandEnvironmentReferences(text, ProcessEnvironmentVariable), platform) << text;
    }
}

TEST(PlatformEnvironment, SettingsFileLivesInTheRoamingApplicationData) {
    std::wstring appData = L"%APPDATA%";
    ExpandEnvironment(appData);
    EXPECT_EQ(SettingsFilePath(), appData + L"\\Quillmark\\Tapwise.ini");
}
