#include "report/bench_summary.h"

#include "layouts/key_names.h"
#include "layouts/layout_parser.h"

#include <gtest/gtest.h>

namespace {

const std::string kHeader = "Date,Time,Unit,Plan,Layout,Verdict,Tested,Required,Faulty keys,"
                            "Untested keys,Chatter events,Rollover,Overflow,Duration (s),Report";

struct Read {
    std::vector<BenchRecord> records;
    std::vector<std::string> problems;
};

Read ReadText(const std::string& text, const std::string& name = "bench.csv") {
    Read read;
    ReadBenchFile(text, name, read.records, read.problems);
    return read;
}

BenchRow Row(const std::wstring& unit, bool passed, const std::wstring& layout,
             std::vector<std::wstring> faulty = {}, std::vector<std::wstring> untested = {}) {
    BenchRow row;
    row.when = LocalTimeFields{2026, 12, 8, 10, 0, 0};
    row.unit = unit;
    row.layout = layout;
    row.passed = passed;
    row.faultyKeys = std::move(faulty);
    row.untestedKeys = std::move(untested);
    return row;
}

} // namespace

TEST(BenchRead, RowsComeBackAsWrittenWhateverTheirText) {
    BenchRow row = Row(L"=1+1, \"quoted\"", false, L"-iso.kbl", {L"-", L"Num\n7"}, {L";"});
    row.when = LocalTimeFields{2026, 12, 8, 23, 59, 1};
    row.plan = L"''@plan"; // read back with its own apostrophes
    row.tested = 101;
    row.required = 104;
    row.chatterEvents = 4;
    row.rollover = 6;
    row.overflow = 2;
    row.durationSeconds = 4294967295u;
    row.report = L"U_20261208-235901.html";
    const Read read = ReadText("\xEF\xBB\xBF" + kHeader + "\r\n" + FormatBenchRow(row));
    EXPECT_TRUE(read.problems.empty());
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(FormatBenchRow(read.records[0].row), FormatBenchRow(row));
    EXPECT_EQ(read.records[0].row.faultyKeys, row.faultyKeys);
    EXPECT_EQ(read.records[0].row.unit, row.unit);
    EXPECT_EQ(read.records[0].row.plan, row.plan);
}

TEST(BenchRead, ColumnsAreFoundByNameAndLineEndsMayBeBare) {
    // No mark, LF line ends, the columns in another order and one more of them.
    const Read read = ReadText("Date,Verdict,Unit,Time,Plan,Layout,Tested,Required,Faulty keys,"
                               "Untested keys,Chatter events,Rollover,Overflow,Duration (s),"
                               "Report,Operator\n"
                               "2026-12-08,FAIL,U7,10:00:00,P,default,3,4,,A,0,1,0,9,r.html,Ann\n"
                               "\n"
                               "08.12.2026,PASS,U8,10:01,P,default,4,4,,,0,1,0, 9 ,r2.html\n");
    EXPECT_TRUE(read.problems.empty()) << read.problems.front();
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[0].row.unit, L"U7");
    EXPECT_FALSE(read.records[0].row.passed);
    EXPECT_EQ(read.records[0].row.untestedKeys, std::vector<std::wstring>{L"A"});
    EXPECT_EQ(read.records[0].row.when.minute, 0);
    EXPECT_EQ(read.records[0].row.when.hour, 10);
    EXPECT_TRUE(read.records[1].row.passed);
    EXPECT_EQ(read.records[1].row.durationSeconds, 9u);
    // A date a spreadsheet rewrote is no reason to lose the row.
    EXPECT_EQ(read.records[1].row.when.year, 0);
}

TEST(BenchRead, BadRowsAreNamedByFileAndLineAndTheRestIsRead) {
    const std::string good = "2026-12-08,10:00:00,U1,P,default,PASS,4,4,,,0,1,0,9,r.html\r\n";
    const Read read =
        ReadText(kHeader + "\r\n" + good +                             // line 2
                     "2026-12-08,10:00:00,U2,P,default,PASS,4,4\r\n" + // 3
                     "2026-12-08,10:00:00,U3,P,default,OK,4,4,,,0,1,0,9,r\r\n" +
                     "2026-12-08,10:00:00,U4,P,default,PASS,4,x,,,0,1,0,9,r\r\n" +
                     "2026-12-08,\"10:00\"x,U5,P,default,PASS,4,4,,,0,1,0,9,r\r\n" +
                     "2026-12-08,10:00:00,\"U\n6\",P,default,FAIL,4,4,,,0,1,0,9,r\r\n" + good + // 9
                     "2026-12-08,10:00:00,\"U8,P,default,PASS,4,4,,,0,1,0,9,r\r\n",
                 "x/bench-2.csv");
    EXPECT_EQ(read.problems, (std::vector<std::string>{
                                 "x/bench-2.csv:3: 8 cells where 15 are expected",
                                 "x/bench-2.csv:4: Verdict is 'OK', not PASS or FAIL",
                                 "x/bench-2.csv:5: Required is 'x', not a whole number",
                                 "x/bench-2.csv:6: text after the closing quote of a cell",
                                 "x/bench-2.csv:10: a quoted cell opened on line 10 is not closed",
                             }));
    ASSERT_EQ(read.records.size(), 3u);
    EXPECT_EQ(read.records[1].row.unit, L"U\n6");
    EXPECT_EQ(read.records[2].row.unit, L"U1");
}

TEST(BenchRead, AFileWithoutTheHeaderIsNotRead) {
    Read read = ReadText("Name,Score\r\nAnn,3\r\n", "notes.csv");
    EXPECT_TRUE(read.records.empty());
    ASSERT_EQ(read.problems.size(), 1u);
    EXPECT_EQ(read.problems[0].rfind("notes.csv: not a bench file", 0), 0u) << read.problems[0];
    read = ReadText("Date,Time,Unit,Verdict\r\n2026-12-08,10:00:00,U1,PASS\r\n", "old.csv");
    EXPECT_EQ(read.problems,
              std::vector<std::string>{"old.csv:1: the header has no column 'Plan'"});
    EXPECT_TRUE(read.records.empty());
    read = ReadText("", "empty.csv");
    EXPECT_EQ(read.problems.size(), 1u);
}

TEST(BenchSummary, CountsUnitsKeysAndTheMostUsedLayout) {
    const std::vector<BenchRow> rows = {
        Row(L"U1", true, L"iso.kbl"),
        Row(L"U2", false, L"iso.kbl", {L"Space"}, {L"A", L"B"}),
        Row(L"U3", false, L"iso.kbl", {L"Space", L"A"}),
        Row(L"U4", false, L"ansi.kbl", {L"Enter"}, {L"Space"}),
        Row(L"U5", true, L"ansi.kbl"),
        Row(L"U6", true, L"iso.kbl"),
    };
    const BenchSummary summary = SummariseBench(rows);
    EXPECT_EQ(summary.tested, 6u);
    EXPECT_EQ(summary.passed, 3u);
    EXPECT_EQ(summary.failed, 3u);
    EXPECT_EQ(PassRateText(summary), "50.0%");
    ASSERT_EQ(summary.keys.size(), 4u);
    EXPECT_EQ(summary.keys[0].name, L"Space");
    EXPECT_EQ(summary.keys[0].faulty, 2u);
    EXPECT_EQ(summary.keys[0].untested, 1u);
    EXPECT_EQ(summary.keys[1].name, L"A");
    EXPECT_EQ(summary.keys[1].Total(), 2u);
    EXPECT_EQ(summary.keys[2].name, L"B"); // one each: by name
    EXPECT_EQ(summary.keys[3].name, L"Enter");
    EXPECT_EQ(summary.layout, L"iso.kbl");
    EXPECT_EQ(summary.layoutUnits, 4u);
    // The picture of the layout counts only the units tested on it.
    ASSERT_EQ(summary.layoutKeys.size(), 3u);
    EXPECT_EQ(summary.layoutKeys[1].name, L"Space");
    EXPECT_EQ(summary.layoutKeys[1].Total(), 2u);
    EXPECT_EQ(summary.layoutKeys[2].name, L"B");

    EXPECT_EQ(PassRateText(SummariseBench(
                  {Row(L"a", true, L""), Row(L"b", true, L""), Row(L"c", false, L"")})),
              "66.7%");
    EXPECT_EQ(PassRateText(SummariseBench({})), "-");
    EXPECT_TRUE(SummariseBench({}).layout.empty());
}

TEST(BenchSummary, ATestFoundTwiceIsCountedOnce) {
    const std::string file = kHeader + "\r\n" + FormatBenchRow(Row(L"U1", true, L"default")) +
                             FormatBenchRow(Row(L"U2", false, L"default", {L"A"})) +
                             // The same unit again a second later: a new test.
                             "2026-12-08,10:00:01,U2,,default,FAIL,0,0,A,,0,0,0,0,\r\n";
    std::vector<BenchRecord> records;
    std::vector<std::string> problems;
    ReadBenchFile(file, "bench.csv", records, problems);
    ReadBenchFile(file, "copy/bench.csv", records, problems);
    // A copy saved without the mark and with LF line ends holds the same tests.
    std::string copy = file;
    for (std::size_t at; (at = copy.find("\r\n")) != std::string::npos;) {
        copy.erase(at, 1);
    }
    ReadBenchFile(copy, "bench-old.csv", records, problems);
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(records.size(), 9u);
    const BenchSummary summary = SummariseBench(UniqueBenchRows(records));
    EXPECT_EQ(summary.tested, 3u);
    EXPECT_EQ(summary.failed, 2u);
    ASSERT_EQ(summary.keys.size(), 1u);
    EXPECT_EQ(summary.keys[0].faulty, 2u);
}

namespace {

BenchPicture PictureOf(const std::wstring& layoutText) {
    KeyboardLayout layout;
    KeyNameTable names;
    EXPECT_TRUE(LoadLayoutText(layoutText, 36, layout, names));
    const TestReport keys = BuildTestReport(layout, KeyStatistics(), names.Entries(), {});
    return BenchPicture{layout.name, keys.width, keys.height, keys.keys, L""};
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

} // namespace

TEST(BenchSummaryPage, KeysAreColouredByHowOftenTheyFailedAndTextIsEscaped) {
    const std::vector<BenchRow> rows = {
        Row(L"U1", false, L"pad.kbl", {L"<s>"}, {L"A & B"}),
        Row(L"U2", false, L"pad.kbl", {L"<s>"}),
        Row(L"U3", false, L"pad.kbl", {L"<s>"}, {L"Gone"}),
        Row(L"U4", true, L"pad.kbl"),
    };
    const BenchPicture picture = PictureOf(L"Pad <i>\"one\"</i>\n"
                                           L"R1, 0x1E, \"<s>\", \"\", 1\n"
                                           L"R1, 0x1F, \"A & B\", \"A & B\", 1\n"
                                           L"R1, 0x20, \"C\", \"\", 1\n");
    const std::string html =
        WriteBenchSummaryHtml(SummariseBench(rows), picture, {L"x/bench<1>.csv"});
    for (const char* external : {" src=", " href=", "url(", "@import", "<link", "<script"}) {
        EXPECT_EQ(html.find(external), std::string::npos) << external;
    }
    EXPECT_EQ(html.find("<s>"), std::string::npos);
    EXPECT_EQ(html.find("<i>"), std::string::npos);
    EXPECT_NE(html.find("Failures by key on Pad &lt;i&gt;&quot;one&quot;&lt;/i&gt;"),
              std::string::npos);
    EXPECT_NE(html.find("x/bench&lt;1&gt;.csv"), std::string::npos);
    EXPECT_NE(html.find("<b>4</b>units tested"), std::string::npos);
    EXPECT_NE(html.find("<b>25.0%</b>pass rate"), std::string::npos);
    // Three failures: the darkest step, and white text on it; one failure: the lightest of
    // three steps; none: the neutral colour.
    EXPECT_NE(html.find("<title>&lt;s&gt;: failed on 3 of 4 units (faulty 3, untested 0)</title>"
                        "<rect x=\"1\" y=\"1\" width=\"34\" height=\"34\" rx=\"3\" "
                        "fill=\"#a50f1e\""),
              std::string::npos);
    EXPECT_NE(html.find("fill=\"#fff\">&lt;s&gt;</text>"), std::string::npos);
    EXPECT_NE(html.find("<title>A &amp; B: failed on 1 of 4 units (faulty 0, untested 1)</title>"
                        "<rect x=\"37\" y=\"1\" width=\"34\" height=\"34\" rx=\"3\" "
                        "fill=\"#ffe08a\""),
              std::string::npos);
    EXPECT_NE(html.find("<title>C: no failures</title><rect x=\"73\" y=\"1\" width=\"34\" "
                        "height=\"34\" rx=\"3\" fill=\"#e8e8e8\""),
              std::string::npos);
    // The legend has a swatch for no failures and one for each of the three steps.
    EXPECT_EQ(Count(html, "<span><i style=\"background:"), 4u);
    EXPECT_NE(html.find("</i>3</span></p>"), std::string::npos);
    // Seven failures at most: five steps, the last for six or seven.
    const std::string wide = WriteBenchSummaryHtml(
        SummariseBench(std::vector<BenchRow>(7, Row(L"U", false, L"pad.kbl", {L"C"}))), picture,
        {});
    EXPECT_EQ(Count(wide, "<span><i style=\"background:"), 6u);
    EXPECT_NE(wide.find("</i>6&ndash;7</span></p>"), std::string::npos);
    // A key not on the layout is still in the table.
    EXPECT_NE(html.find("<tr><td>Gone</td>"), std::string::npos);
}

TEST(BenchSummaryPage, AMissingLayoutLeavesTheFiguresAndSaysWhy) {
    BenchPicture picture;
    picture.missing = L"the layout \"<x>.kbl\" was not found.";
    const std::string html =
        WriteBenchSummaryHtml(SummariseBench({Row(L"U1", false, L"<x>.kbl", {L"A"})}), picture, {});
    EXPECT_NE(html.find("<b>1</b>failed"), std::string::npos);
    EXPECT_NE(html.find("No keyboard picture: the layout &quot;&lt;x&gt;.kbl&quot; was not found."),
              std::string::npos);
    EXPECT_EQ(html.find("<svg"), std::string::npos);
    EXPECT_NE(html.find("<tr><td>A</td>"), std::string::npos);
}
