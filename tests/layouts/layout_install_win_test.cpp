// The Windows side of the first-start layout installation.
#include "layouts/layout_install_win.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <filesystem>

TEST(LayoutInstallWin, ProgramFilePathNamesTheRunningProgram) {
    const std::filesystem::path program = ProgramFilePath();
    ASSERT_TRUE(program.is_absolute());
    std::wstring file = program.filename().wstring();
    std::transform(file.begin(), file.end(), file.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    EXPECT_EQ(file, L"tapwise-win-tests.exe");
    EXPECT_TRUE(std::filesystem::exists(program));
}

TEST(LayoutInstallWin, ExistingFolderStaysUntouched) {
    TempFolder temp;
    WriteFileBytes(temp.Path() / "mine.kbl", "Mine\n");
    const LayoutInstallOutcome outcome = InstallLayoutsBesideProgram(temp.Path().wstring());
    EXPECT_EQ(outcome.result, LayoutInstallResult::FolderExists);
    EXPECT_EQ(ReadFileBytes(temp.Path() / "mine.kbl"), "Mine\n");
}
