#include "logging/logger_choice_win.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

namespace {

// A registry key of its own under HKCU for each test, removed afterwards, and a private
// application-data folder: the user's real switch and folder are never touched.
class LoggerChoice : public ::testing::Test {
protected:
    void SetUp() override {
        subKey_ = L"Software\\Tapwise Tests\\LoggerChoice-" +
                  std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
        source_.subKey = subKey_;
        source_.appDataFolder = appData_.Path().wstring();
    }

    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str());
        // Goes only once no other test's key is left in it.
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tapwise Tests");
    }

    void SetValue(DWORD type, const void* data, DWORD size) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, L"ErrorLog", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    void SetDword(DWORD value) { SetValue(REG_DWORD, &value, sizeof(value)); }

    bool LogFolderExists() const { return std::filesystem::exists(appData_.Path() / L"Quillmark"); }

    std::vector<std::filesystem::path> LogFiles() const {
        std::vector<std::filesystem::path> files;
        const auto folder = appData_.Path() / L"Quillmark" / L"Tollgate";
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
            files.push_back(entry.path());
        }
        return files;
    }

    void ExpectNullLogger(const char* what) {
        SCOPED_TRACE(what);
        auto logger = ChooseDiagnosticLogger(source_);
        ASSERT_NE(logger, nullptr);
        EXPECT_NE(dynamic_cast<NullLogger*>(logger.get()), nullptr);
        EXPECT_FALSE(LogFolderExists());
    }

    TempFolder appData_;
    std::wstring subKey_;
    DiagnosticLogSource source_;
};

} // namespace

TEST_F(LoggerChoice, NoKeyOrNoValueChoosesTheNullLogger) {
    ExpectNullLogger("no key");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
    ExpectNullLogger("no value");
}

TEST_F(LoggerChoice, ValuesOfAnotherTypeSizeOrNumberChooseTheNullLogger) {
    SetValue(REG_SZ, L"1", 4);
    ExpectNullLogger("REG_SZ \"1\"");
    SetDword(2);
    ExpectNullLogger("REG_DWORD 2");
    SetDword(0);
    ExpectNullLogger("REG_DWORD 0");
    const DWORD one = 1;
    SetValue(REG_BINARY, &one, sizeof(one));
    ExpectNullLogger("REG_BINARY 01 00 00 00");
    const unsigned long long wide = 1;
    SetValue(REG_QWORD, &wide, sizeof(wide));
    ExpectNullLogger("REG_QWORD 1");
    const unsigned char shortOne = 1;
    SetValue(REG_DWORD, &shortOne, 1);
    ExpectNullLogger("REG_DWORD of one byte");
}

TEST_F(LoggerChoice, DwordOneWritesADatedFileInTheTollgateFolder) {
    SetDword(1);
    auto logger = ChooseDiagnosticLogger(source_);
    auto* file = dynamic_cast<FileLogger*>(logger.get());
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->IsOpen());
    auto previous = InstallLogger(std::move(logger));
    LogMessage(L"Setting thread affinity...  ");
    LogMessage(L"Ok.\n");
    LogMessage(L"Layout %ls\n", L"\u00c5\u65e5");

    const auto files = LogFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::wstring name = files[0].filename().wstring();
    EXPECT_TRUE(std::regex_match(name, std::wregex(L"Tollgate-20[0-9]{6}-[0-9]{6}\\.log"))) << name;
    // Already on disk while the file is still open.
    EXPECT_EQ(ReadFileBytes(files[0]),
              "Setting thread affinity...  Ok.\r\nLayout \xc3\x85\xe6\x97\xa5\r\n");
    InstallLogger(std::move(previous)); // closes the file
}

TEST_F(LoggerChoice, FolderThatCannotBeMadeLeavesLoggingSilentlyOff) {
    SetDword(1);
    // The application-data "folder" is a file, so nothing can be made below it.
    const auto blocker = appData_.Path() / L"blocker";
    WriteFileBytes(blocker, "x");
    source_.appDataFolder = blocker.wstring();
    auto logger = ChooseDiagnosticLogger(source_);
    auto* file = dynamic_cast<FileLogger*>(logger.get());
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->IsOpen());
    auto previous = InstallLogger(std::move(logger));
    LogMessage(L"dropped\n");
    InstallLogger(std::move(previous));
}
