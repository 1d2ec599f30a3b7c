// Bench mode's flow: which unit may start, what the banner says at each step, and how a unit's
// files and its bench.csv row are written without ever replacing a file.
#include "session/bench_flow.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

// Files in memory; a write to a path in `failing` fails after creating the file.
class MemoryFiles final : public LogFiles {
public:
    bool FolderExists(const std::wstring& folder) override { return folders.count(folder) != 0; }
    bool CreateFolder(const std::wstring& folder) override {
        if (!canCreateFolders) {
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
        files[path] = failing.count(path) != 0 ? bytes.substr(0, 1) : bytes;
        result.created = true;
        result.complete = failing.count(path) == 0;
        result.error = result.complete ? 0 : 112; // disk full
        return result;
    }
    bool MoveOver(const std::wstring&, const std::wstring&, std::uint32_t&) override {
        ADD_FAILURE() << "bench files are never moved over others";
        return false;
    }
    void RemoveFile(const std::wstring& path) override { files.erase(path); }

    std::set<std::wstring> folders;
    std::map<std::wstring, std::string> files;
    std::set<std::wstring> failing;
    bool canCreateFolders = true;
};

const LocalTimeFields kWhen{2026, 12, 8, 1, 15, 9};

std::vector<BenchFile> FourFiles() {
    return {{L".html", "<html>"}, {L".csv", "csv"}, {L".log", "log"}, {L".trace", "trace"}};
}

PlanVerdict Failed() {
    PlanVerdict verdict;
    verdict.end = PlanEnd::Finished;
    verdict.reasons = {L"A, Space untested"};
    verdict.required = 4;
    verdict.tested = 2;
    verdict.untestedKeys = {L"A", L"Space"};
    verdict.incompleteKeys = {L"Enter"};
    verdict.durationUs = 12600000;
    return verdict;
}

} // namespace

TEST(BenchFlow, AUnitStartsOnlyWithAPlanAndAnIdAndEndsOnce) {
    BenchFlow flow;
    EXPECT_FALSE(flow.Start(L"U1")); // no plan yet
    EXPECT_EQ(flow.Banner({}).tone, BenchTone::Problem);
    flow.PlanFailed(L"x.plan.json: line 3, column 14: presses: must be a whole number");
    EXPECT_EQ(flow.Banner({}).detail,
              L"x.plan.json: line 3, column 14: presses: must be a whole number");
    EXPECT_FALSE(flow.Start(L"U1"));

    flow.PlanReady();
    EXPECT_EQ(flow.Banner({}).headline, L"Scan or type the unit");
    EXPECT_FALSE(flow.Start(L" \t\r\n")); // a scanner's bare Enter
    EXPECT_TRUE(flow.Start(L"\x02 U123 \r"));
    EXPECT_EQ(flow.Unit(), L"U123");
    EXPECT_FALSE(flow.Start(L"U124")); // one unit at a time

    PlanProgress progress;
    progress.running = true;
    progress.required = 104;
    progress.passed = 57;
    EXPECT_EQ(flow.Banner(progress).headline, L"Testing U123: 57 / 104");
    EXPECT_EQ(flow.Banner(progress).tone, BenchTone::Testing);

    PlanVerdict pass;
    pass.end = PlanEnd::Passed;
    pass.pass = true;
    EXPECT_TRUE(flow.End(pass));
    EXPECT_FALSE(flow.End(Failed())); // the same end reported again changes nothing
    EXPECT_EQ(flow.Banner({}).headline, L"PASS");
    EXPECT_EQ(flow.Banner({}).tone, BenchTone::Pass);
    flow.Saved(L"U123_20261208-011509");
    EXPECT_EQ(flow.Banner({}).detail,
              L"U123 saved as U123_20261208-011509. Scan or type the next unit.");

    EXPECT_TRUE(flow.Start(L"U124"));
    EXPECT_TRUE(flow.End(Failed()));
    EXPECT_EQ(flow.Banner({}).headline, L"FAIL: A, Space untested");
    EXPECT_EQ(flow.Banner({}).tone, BenchTone::Fail);
    EXPECT_FALSE(flow.Banner({}).detailIsProblem);
    flow.NotSaved(L"the folder D:\\out cannot be created");
    EXPECT_EQ(flow.Banner({}).tone, BenchTone::Fail); // still a FAIL at a glance
    EXPECT_TRUE(flow.Banner({}).detailIsProblem);
    EXPECT_EQ(flow.Banner({}).detail, L"U124: NOT SAVED: the folder D:\\out cannot be created");
}

TEST(BenchFlow, TimeLeftIsShownInMinutesAndSecondsRoundedUp) {
    PlanProgress progress;
    progress.running = true;
    EXPECT_EQ(TimeLeftText(progress), L""); // no limit
    progress.timeLeftUs = 65000000;
    EXPECT_EQ(TimeLeftText(progress), L"Time left: 1:05");
    progress.timeLeftUs = 1;
    EXPECT_EQ(TimeLeftText(progress), L"Time left: 0:01");
    progress.timeLeftUs = 0;
    EXPECT_EQ(TimeLeftText(progress), L"Time left: 0:00");
    progress.running = false;
    EXPECT_EQ(TimeLeftText(progress), L"");
}

TEST(BenchSave, TheFourFilesAndTheRowAreWrittenAndNothingIsEverReplaced) {
    MemoryFiles files;
    std::vector<std::pair<std::wstring, BenchRow>> rows;
    const auto writeRow = [&rows](const std::wstring& path, const BenchRow& row) {
        rows.emplace_back(path, row);
        return true;
    };
    TestPlan plan;
    plan.name = L"Keypad";
    plan.layout = L"keypad.kbl";
    const BenchRow row = MakeBenchRow(L"U/7", plan, Failed(), kWhen);
    EXPECT_EQ(row.untestedKeys, (std::vector<std::wstring>{L"A", L"Space", L"Enter"}));
    EXPECT_EQ(row.durationSeconds, 13u);

    BenchSaveResult result =
        SaveBenchUnit(files, L"D:\\out", L"U/7", kWhen, FourFiles(), row, writeRow);
    ASSERT_TRUE(result.saved) << result.problem;
    EXPECT_TRUE(result.rowWritten);
    EXPECT_EQ(result.baseName, L"U_7_20261208-011509");
    for (const wchar_t* extension : {L".html", L".csv", L".log", L".trace"}) {
        EXPECT_EQ(files.files.count(L"D:\\out\\U_7_20261208-011509" + std::wstring(extension)), 1u);
    }
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].first, L"D:\\out\\bench.csv");
    EXPECT_EQ(rows[0].second.report, L"U_7_20261208-011509.html");

    // The same unit again within the second: new names, the first files untouched.
    files.files[L"D:\\out\\U_7_20261208-011509.html"] = "first";
    result = SaveBenchUnit(files, L"D:\\out\\", L"U/7", kWhen, FourFiles(), row, writeRow);
    ASSERT_TRUE(result.saved);
    EXPECT_EQ(result.baseName, L"U_7_20261208-011509-2");
    EXPECT_EQ(files.files[L"D:\\out\\U_7_20261208-011509.html"], "first");
    EXPECT_EQ(rows.back().second.report, L"U_7_20261208-011509-2.html");
}

TEST(BenchSave, AFailedWriteLeavesNoPartOfTheSetAndNoRow) {
    MemoryFiles files;
    files.folders.insert(L"D:\\out");
    files.files[L"D:\\out\\older.html"] = "kept";
    files.failing.insert(L"D:\\out\\U1_20261208-011509.log");
    int rowsWritten = 0;
    const auto writeRow = [&rowsWritten](const std::wstring&, const BenchRow&) {
        ++rowsWritten;
        return true;
    };
    BenchSaveResult result =
        SaveBenchUnit(files, L"D:\\out", L"U1", kWhen, FourFiles(), BenchRow{}, writeRow);
    EXPECT_FALSE(result.saved);
    EXPECT_NE(result.problem.find(L"00000070"), std::wstring::npos) << result.problem;
    EXPECT_EQ(rowsWritten, 0);
    EXPECT_EQ(files.files.size(), 1u); // only what was there before
    EXPECT_EQ(files.files[L"D:\\out\\older.html"], "kept");

    files.canCreateFolders = false;
    result = SaveBenchUnit(files, L"E:\\missing", L"U1", kWhen, FourFiles(), BenchRow{}, writeRow);
    EXPECT_FALSE(result.saved);
    EXPECT_EQ(result.problem, L"the folder E:\\missing cannot be created");

    files.failing.clear();
    const auto refuseRow = [](const std::wstring&, const BenchRow&) { return false; };
    result = SaveBenchUnit(files, L"D:\\out", L"U1", kWhen, FourFiles(), BenchRow{}, refuseRow);
    EXPECT_TRUE(result.saved);
    EXPECT_FALSE(result.rowWritten);
    EXPECT_EQ(result.problem, L"the row cannot be added to D:\\out\\bench.csv");
}
