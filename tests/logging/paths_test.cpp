#include "logging/paths.h"

#include <gtest/gtest.h>

TEST(AppendBackslash, EndsThePathInExactlyOneBackslash) {
    std::wstring path;
    AppendBackslash(path);
    EXPECT_EQ(path, L"\\");
    path = L"C:\\Users\\ann\\AppData\\Roaming";
    AppendBackslash(path);
    EXPECT_EQ(path, L"C:\\Users\\ann\\AppData\\Roaming\\");
    AppendBackslash(path);
    EXPECT_EQ(path, L"C:\\Users\\ann\\AppData\\Roaming\\");
    path = L"C:/data/";
    AppendBackslash(path);
    EXPECT_EQ(path, L"C:/data/\\"); // only a backslash counts
}

TEST(DiagnosticLogLocation, FolderUnderTheApplicationDataFolder) {
    EXPECT_EQ(DiagnosticLogFolder(L"C:\\Users\\ann\\AppData\\Roaming", kMakerName, kModuleName),
              L"C:\\Users\\ann\\AppData\\Roaming\\Quillmark\\Tollgate\\");
    EXPECT_EQ(DiagnosticLogFolder(L"D:\\", kMakerName, kModuleName), L"D:\\Quillmark\\Tollgate\\");
    // No application-data folder: the root of the current drive.
    EXPECT_EQ(DiagnosticLogFolder(L"", kMakerName, kModuleName), L"\\Quillmark\\Tollgate\\");
}

TEST(DiagnosticLogLocation, FileNamedAfterTheLocalStartTime) {
    EXPECT_EQ(DiagnosticLogFileName(kModuleName, LocalTimeFields{2013, 7, 4, 9, 15, 2}),
              L"Tollgate-20130704-091502.log");
    EXPECT_EQ(DiagnosticLogFileName(kModuleName, LocalTimeFields{2026, 12, 31, 23, 59, 59}),
              L"Tollgate-20261231-235959.log");
    const std::wstring longModule(400, L'm');
    EXPECT_EQ(DiagnosticLogFileName(longModule, LocalTimeFields{2013, 7, 4, 9, 15, 2}).size(),
              254u);
}

TEST(DiagnosticLogSwitch, OnlyAFourByteDwordOfOneSwitchesTheFileOn) {
    constexpr std::uint32_t kRegSz = 1;
    constexpr std::uint32_t kRegBinary = 3;
    constexpr std::uint32_t kRegDword = 4;
    constexpr std::uint32_t kRegDwordBigEndian = 5;
    EXPECT_TRUE(IsDiagnosticLogSwitchOn({true, kRegDword, 4, 1}));
    EXPECT_FALSE(IsDiagnosticLogSwitchOn({false, kRegDword, 4, 1})); // not read
    EXPECT_FALSE(IsDiagnosticLogSwitchOn({true, kRegDword, 4, 0}));
    EXPECT_FALSE(IsDiagnosticLogSwitchOn({true, kRegDword, 4, 2}));
    EXPECT_FALSE(IsDiagnosticLogSwitchOn({true, kRegDword, 1, 1})); // a short DWORD
    EXPECT_FALSE(IsDiagnosticLogSwitchOn({true, kRegSz, 4, 0x31}));
    EXPECT_FALSE(IsDiagnosticLogSwitchOn({true, kRegBinary, 4, 1}));
    EXPECT_FALSE(IsDiagnosticLogSwitchOn({true, kRegDwordBigEndian, 4, 1}));
}
