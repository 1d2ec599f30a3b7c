// First-start installation of the shipped layouts into the user's layout folder.
#include "layouts/layout_install.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A shipped folder with two layouts (one with an upper-case extension), a file that is
// not a layout and a subfolder that must not be copied.
fs::path MakeShippedFolder(const fs::path& base) {
    const fs::path shipped = base / "program" / "layouts";
    fs::create_directories(shipped / "extra");
    WriteFileBytes(shipped / "iso.kbl", "ISO Board\nR1, 0x01, \"Esc\", \"Esc\", 1\n");
    WriteFileBytes(shipped / "JIS.KBL", "JIS Board\nR1, 0x29, \"a\", \"a\", 1\n");
    WriteFileBytes(shipped / "readme.txt", "not a layout");
    WriteFileBytes(shipped / "extra" / "nested.kbl", "Nested\nR1, 0x02, \"1\", \"1\", 1\n");
    return shipped;
}

int FileCount(const fs::path& folder) {
    int count = 0;
    for (auto it = fs::directory_iterator(folder); it != fs::directory_iterator(); ++it) {
        ++count;
    }
    return count;
}

} // namespace

TEST(LayoutInstall, MissingFolderIsCreatedAndFilledWithTheLayoutsOnly) {
    TempFolder temp;
    const fs::path shipped = MakeShippedFolder(temp.Path());
    const fs::path target = temp.Path() / "AppData" / "Quillmark" / "layouts";
    CapturedLog log;

    const LayoutInstallOutcome outcome = InstallShippedLayouts(shipped, target);

    EXPECT_EQ(outcome.result, LayoutInstallResult::Installed);
    EXPECT_EQ(outcome.copied, 2);
    EXPECT_EQ(FileCount(target), 2);
    EXPECT_EQ(ReadFileBytes(target / "iso.kbl"), ReadFileBytes(shipped / "iso.kbl"));
    EXPECT_EQ(ReadFileBytes(target / "JIS.KBL"), ReadFileBytes(shipped / "JIS.KBL"));
    EXPECT_NE(log.Text().find(L"   Copied 2 of 2 shipped layouts.\n"), std::wstring::npos);
}

TEST(LayoutInstall, ExistingFolderIsNeverTouched) {
    TempFolder temp;
    const fs::path shipped = MakeShippedFolder(temp.Path());

    // Empty: the user removed every layout on purpose.
    const fs::path empty = temp.Path() / "empty";
    fs::create_directory(empty);
    EXPECT_EQ(InstallShippedLayouts(shipped, empty).result, LayoutInstallResult::FolderExists);
    EXPECT_EQ(FileCount(empty), 0);

    // Holding the user's own edit of a shipped file.
    const fs::path edited = temp.Path() / "edited";
    fs::create_directory(edited);
    WriteFileBytes(edited / "iso.kbl", "My ISO\n");
    const LayoutInstallOutcome outcome = InstallShippedLayouts(shipped, edited);
    EXPECT_EQ(outcome.result, LayoutInstallResult::FolderExists);
    EXPECT_EQ(outcome.copied, 0);
    EXPECT_EQ(ReadFileBytes(edited / "iso.kbl"), "My ISO\n");
    EXPECT_EQ(FileCount(edited), 1);

    // A file where the folder should be is not replaced either.
    const fs::path file = temp.Path() / "layouts";
    WriteFileBytes(file, "x");
    EXPECT_EQ(InstallShippedLayouts(shipped, file).result, LayoutInstallResult::FolderExists);
    EXPECT_EQ(ReadFileBytes(file), "x");
}

TEST(LayoutInstall, NothingShippedLeavesTheFolderUncreated) {
    TempFolder temp;
    const fs::path target = temp.Path() / "layouts";
    CapturedLog log;

    const LayoutInstallOutcome missing = InstallShippedLayouts(temp.Path() / "nowhere", target);
    EXPECT_EQ(missing.result, LayoutInstallResult::NothingShipped);
    EXPECT_FALSE(fs::exists(target));
    EXPECT_NE(log.Text().find(L"   No shipped layouts in "), std::wstring::npos);

    // A shipped folder without any layout in it counts as nothing shipped as well, so a
    // later start from a complete installation still fills the folder.
    const fs::path noLayouts = temp.Path() / "program" / "layouts";
    fs::create_directories(noLayouts);
    WriteFileBytes(noLayouts / "readme.txt", "no layouts here");
    EXPECT_EQ(InstallShippedLayouts(noLayouts, target).result, LayoutInstallResult::NothingShipped);
    EXPECT_FALSE(fs::exists(target));
}

TEST(LayoutInstall, UncreatableFolderIsReportedAsFailure) {
    TempFolder temp;
    const fs::path shipped = MakeShippedFolder(temp.Path());
    // A parent that is a file: the folder cannot be created below it.
    WriteFileBytes(temp.Path() / "blocker", "x");
    CapturedLog log;

    const LayoutInstallOutcome outcome =
        InstallShippedLayouts(shipped, temp.Path() / "blocker" / "layouts");

    EXPECT_EQ(outcome.result, LayoutInstallResult::Failed);
    EXPECT_EQ(outcome.copied, 0);
    EXPECT_NE(log.Text().find(L"   Unable to "), std::wstring::npos);
}

TEST(LayoutInstall, ShippedFolderIsBesideTheProgram) {
    const fs::path program = fs::path("tapwise") / "bin" / "Tapwise.exe";
    EXPECT_EQ(ShippedLayoutFolder(program), fs::path("tapwise") / "bin" / "layouts");
}

TEST(LayoutInstall, RealShippedLayoutsInstallCompletely) {
    TempFolder temp;
    const fs::path shipped = fs::path(TAPWISE_SOURCE_DIR) / "layouts";
    const fs::path target = temp.Path() / "layouts";

    const LayoutInstallOutcome outcome = InstallShippedLayouts(shipped, target);

    EXPECT_EQ(outcome.result, LayoutInstallResult::Installed);
    EXPECT_EQ(outcome.copied, FileCount(shipped));
    EXPECT_EQ(FileCount(target), FileCount(shipped));
}
