#include "report/bench_record.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const char kHeader[] = "Date,Time,Unit,Plan,Layout,Verdict,Tested,Required,Faulty keys,"
                       "Untested keys,Chatter events,Rollover,Overflow,Duration (s),Report\r\n";
const char kBom[] = "\xEF\xBB\xBF";

BenchRow PlainRow(const std::wstring& unit = L"U123") {
    BenchRow row;
    row.when = LocalTimeFields{2026, 12, 8, 9, 5, 7};
    row.unit = unit;
    row.plan = L"Keypad";
    row.layout = L"keypad_17.kbl";
    row.passed = true;
    row.tested = 17;
    row.required = 17;
    row.rollover = 6;
    row.durationSeconds = 42;
    row.report = unit + L"_20261208-090507.html";
    return row;
}

} // namespace

TEST(BenchRow, CellsAreQuotedAndGuardedAsInTheReport) {
    BenchRow row = PlainRow(L"=HYPERLINK(\"x\")");
    row.plan = L"Model X, ISO";
    row.layout = L"@layouts\\iso.kbl";
    row.passed = false;
    row.tested = 101;
    row.required = 104;
    row.faultyKeys = {L"-", L"Left Shift"};
    row.untestedKeys = {L",", L"Space", L"Num\n7"};
    row.chatterEvents = 3;
    row.overflow = 1;
    row.report = L"+U.html";
    EXPECT_EQ(FormatBenchRow(row),
              "2026-12-08,09:05:07,\"'=HYPERLINK(\"\"x\"\")\",\"Model X, ISO\",'@layouts\\iso.kbl,"
              "FAIL,101,104,'-; Left Shift,\",; Space; Num\n7\",3,6,1,42,'+U.html\r\n");
}

TEST(BenchRow, KeyListsSplitBackIntoTheSameNames) {
    const std::vector<std::wstring> names = {L";", L"A", L",", L"x;", L"Print Screen"};
    EXPECT_EQ(JoinBenchKeyNames(names), L";; A; ,; x;; Print Screen");
    EXPECT_EQ(SplitKeyNames(JoinBenchKeyNames(names)), names);
    // A name holding the separator loses its space rather than becoming two names.
    EXPECT_EQ(JoinBenchKeyNames({L"Fn; Lock", L"", L"B"}), L"Fn;Lock; B");
    EXPECT_EQ(SplitKeyNames(L"Fn;Lock; B"), (std::vector<std::wstring>{L"Fn;Lock", L"B"}));
    EXPECT_TRUE(SplitKeyNames(L"").empty());
}

TEST(BenchFile, ANewFileStartsWithTheMarkAndHeaderAnExistingOneGetsOnlyTheRow) {
    const std::string row = FormatBenchRow(PlainRow());
    EXPECT_EQ(BenchFileAppendix("", PlainRow()), kBom + std::string(kHeader) + row);
    const std::string existing = kBom + std::string(kHeader) + row;
    EXPECT_EQ(BenchFileAppendix(existing, PlainRow()), row);
    // A file saved again by another program: no mark, LF line ends.
    EXPECT_EQ(BenchFileAppendix("Date,Time,Unit,Plan,Layout,Verdict,Tested,Required,Faulty keys,"
                                "Untested keys,Chatter events,Rollover,Overflow,Duration (s),"
                                "Report\n",
                                PlainRow()),
              row);
}

TEST(BenchFile, ATornLastLineIsEndedBeforeTheNewRow) {
    const std::string start = kBom + std::string(kHeader);
    const std::string row = FormatBenchRow(PlainRow());
    EXPECT_EQ(BenchFileAppendix(start + "2026-12-08,09:0", PlainRow()), "\r\n" + row);
    EXPECT_EQ(BenchFileAppendix(start + "2026-12-08,09:05:07,U1\r", PlainRow()), "\n" + row);
    // Cut inside a quoted cell: the cell is closed first, or the new row would be inside it.
    EXPECT_EQ(BenchFileAppendix(start + "2026-12-08,09:05:07,\"U, 1", PlainRow()), "\"\r\n" + row);
    EXPECT_EQ(BenchFileAppendix(start + "2026-12-08,09:05:07,\"U, 1\n", PlainRow()),
              "\"\r\n" + row);
    // A file cut inside its header gets a whole header after it.
    EXPECT_EQ(BenchFileAppendix(std::string(kBom) + "Date,Ti", PlainRow()),
              "\r\n" + std::string(kHeader) + row);
}

TEST(BenchFile, AppendingTwiceGivesOneHeaderAndTwoRows) {
    TempFolder folder;
    const std::filesystem::path file = folder.Path() / "bench.csv";
    ASSERT_TRUE(AppendBenchRow(file.wstring(), PlainRow(L"U1")));
    ASSERT_TRUE(AppendBenchRow(file.wstring(), PlainRow(L"U2")));
    EXPECT_EQ(ReadFileBytes(file), kBom + std::string(kHeader) + FormatBenchRow(PlainRow(L"U1")) +
                                       FormatBenchRow(PlainRow(L"U2")));
    // A folder where the file should be is not written into.
    EXPECT_FALSE(AppendBenchRow(folder.Path().wstring(), PlainRow()));
}

TEST(BenchReportName, UnitAndTimeMakeAWindowsFileName) {
    const LocalTimeFields time{2026, 1, 2, 3, 4, 5};
    EXPECT_EQ(BenchReportBaseName(L"U123", time), L"U123_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"U123", time, 2), L"U123_20260102-030405-2");
    EXPECT_EQ(BenchReportBaseName(L"a<b>c:d\"e/f\\g|h?i*j", time),
              L"a_b_c_d_e_f_g_h_i_j_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"  SN\t42\x7F ", time), L"SN_42__20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"", time), L"unit_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"   ", time), L"unit_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"Gr\u00FC\u00DFe.v2", time),
              L"Gr\u00FC\u00DFe.v2_20260102-030405");
    // Only a reserved device name before the first dot is a problem; the time keeps a plain
    // "CON" from being one.
    EXPECT_EQ(BenchReportBaseName(L"con.1", time), L"con_.1_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"LPT9.x", time), L"LPT9_.x_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"CON", time), L"CON_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(L"COM0.1", time), L"COM0.1_20260102-030405");
    EXPECT_EQ(BenchReportBaseName(std::wstring(300, L'x'), time),
              std::wstring(100, L'x') + L"_20260102-030405");
}
