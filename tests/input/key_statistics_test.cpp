// The per-key figures as the engine gathers them, read back through the report model that
// the Report button and tapwise-cli both use.
#include "session/replay_trace.h"

#include "layouts/default_layout.h"
#include "session/session_harness.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// A and S; two keys share 0x1F (only the first is tested); Pause without Ctrl+Break.
const wchar_t kLayoutText[] = L"Statistics test\n"
                              L"R1, 0x1E, \"\", \"A\", 1\n"
                              L"R1, 0x1F, \"\", \"S\", 1\n"
                              L"R1, 0x1F, \"\", \"S again\", 1\n"
                              L"R1, 0xE11D, \"\", \"Pause\", 1\n"
                              L"R1, 0x2A, \"\", \"LShift\", 1";

class StatisticsTest : public ::testing::Test {
protected:
    StatisticsTest() { EXPECT_TRUE(session.SelectLayout(kDefaultLayoutMarker, kLayoutText)); }

    // "TIME MAKE FLAGS VKEY" lines, as a trace file holds them.
    void Feed(const std::string& trace) {
        std::vector<TraceRecord> records;
        std::string error;
        ASSERT_TRUE(ParseTrace(trace, records, error)) << error;
        for (const TraceRecord& record : records) {
            session.Feed(record);
        }
    }
    TestReport Report() { return session.Report(ReportContext{}); }
    ReportRow Row(std::size_t index) { return Report().keys.at(index); }

    SessionHarness session;
};

} // namespace

TEST_F(StatisticsTest, RepeatsAreNotPressesAndAHoldRunsFromTheFirstMake) {
    Feed("1000 0x1E 0 0x41\n1500 0x1E 0 0x41\n1533 0x1E 0 0x41\n1600 0x1E 1 0x41\n"
         "2000 0x1E 0 0x41\n2040 0x1E 1 0x41\n");
    const ReportRow a = Row(0);
    EXPECT_EQ(a.presses, 2u);
    EXPECT_EQ(a.chatter, 0u);
    EXPECT_EQ(a.holds, 2u);
    EXPECT_EQ(a.shortestHold, 40000);
    EXPECT_EQ(a.longestHold, 600000);
    EXPECT_EQ(a.state, Pressed);
    EXPECT_EQ(Report().rollover, 1u);
}

TEST_F(StatisticsTest, ChatterCountsItsLinesAndKeepsTheShortestInterval) {
    Feed("1000 0x1E 0 0x41\n1050 0x1E 1 0x41\n"
         "1055 0x1E 0 0x41\n1080 0x1E 1 0x41\n"   // 5 ms: chatter
         "1082 0x1E 0 0x41\n1100 0x1E 1 0x41\n"   // 2 ms: chatter
         "1108 0x1E 0 0x41\n1120 0x1E 1 0x41\n"); // 8 ms: not chatter at threshold 8
    const TestReport report = Report();
    const ReportRow& a = report.keys[0];
    EXPECT_EQ(a.presses, 4u); // the chatter makes wrote DOWN lines too
    EXPECT_EQ(a.chatter, 2u);
    EXPECT_EQ(a.shortestChatter, 2000u);
    EXPECT_EQ(a.shortestHold, 12000);
    EXPECT_EQ(a.longestHold, 50000);
    EXPECT_EQ(a.state, Alarm);
    EXPECT_EQ(report.chatter, 2u);
    ASSERT_EQ(report.chatterEvents.size(), 2u);
    EXPECT_EQ(report.chatterEvents[0].code, 0x1E);
    EXPECT_EQ(report.chatterEvents[0].interval, 5000u);
    EXPECT_EQ(report.chatterEvents[0].name, L"A");
    EXPECT_EQ(report.coverage.faulty, 1u);
    // Every hold and every release-to-press interval, for the timing chart.
    EXPECT_EQ(report.timing.holds, (std::vector<std::int64_t>{50000, 25000, 18000, 12000}));
    EXPECT_EQ(report.timing.gaps, (std::vector<std::int64_t>{5000, 2000, 8000}));
}

TEST_F(StatisticsTest, BreaksWithoutMakesMeasureNothing) {
    // A release of a key never pressed, and a second release after a release.
    Feed("500 0x1E 1 0x41\n1000 0x1E 0 0x41\n1100 0x1E 1 0x41\n1200 0x1E 1 0x41\n");
    const ReportRow a = Row(0);
    EXPECT_EQ(a.presses, 1u);
    EXPECT_EQ(a.holds, 1u);
    EXPECT_EQ(a.shortestHold, 100000);
    EXPECT_EQ(a.longestHold, 100000);
    // A code that only ever went up is not an extra key: it produced no DOWN line.
    Feed("1300 0x76 1 0x87\n");
    EXPECT_TRUE(Report().extras.empty());
}

TEST_F(StatisticsTest, CtrlBreakCountsOnThePauseKeyAndUnknownCodesAreExtras) {
    Feed("1000 0x46 2 0x03\n1090 0x46 3 0x03\n" // Ctrl+Break: E0 0x46
         "2000 0x77 0 0x88\n2010 0x77 1 0x88\n" // not on the layout
         "3000 0x76 0 0x87\n3010 0x76 1 0x87\n3100 0x76 0 0x87\n3300 0x76 1 0x87\n");
    const TestReport report = Report();
    const ReportRow& pause = report.keys[3];
    EXPECT_EQ(pause.code, 0xE11D);
    EXPECT_EQ(pause.presses, 1u);
    EXPECT_EQ(pause.longestHold, 90000);
    EXPECT_EQ(pause.state, Pressed);
    ASSERT_EQ(report.extras.size(), 2u); // in code order
    EXPECT_EQ(report.extras[0].code, 0x76);
    EXPECT_EQ(report.extras[0].presses, 2u);
    EXPECT_EQ(report.extras[0].shortestHold, 10000);
    EXPECT_EQ(report.extras[0].longestHold, 200000);
    EXPECT_FALSE(report.extras[0].onLayout);
    EXPECT_EQ(report.extras[1].code, 0x77);
    EXPECT_EQ(SummaryLine(report),
              "summary: keys 5 tested 1 untested 4 faulty 0 chatter 0 extra 2 rollover 1");
}

TEST_F(StatisticsTest, TwoKeysWithOneCodeCountOnTheFirstOnly) {
    Feed("1000 0x1F 0 0x53\n1070 0x1F 1 0x53\n");
    const TestReport report = Report();
    EXPECT_EQ(report.keys[1].presses, 1u);
    EXPECT_EQ(report.keys[1].state, Pressed);
    EXPECT_EQ(report.keys[2].name, L"S again");
    EXPECT_EQ(report.keys[2].presses, 0u);
    EXPECT_EQ(report.keys[2].state, Unpressed);
    EXPECT_TRUE(report.extras.empty());
}

TEST_F(StatisticsTest, ClearInTheMiddleOfAHoldStartsAfresh) {
    Feed("1000 0x1E 0 0x41\n1010 0x1F 0 0x53\n1020 0x1F 1 0x53\n");
    EXPECT_EQ(Row(1).presses, 1u);
    EXPECT_EQ(Report().rollover, 2u);
    EXPECT_TRUE(session.SelectLayout(kDefaultLayoutMarker, kLayoutText)); // Clear / Reload
    TestReport report = Report();
    EXPECT_EQ(report.keys[1].presses, 0u);
    EXPECT_EQ(report.rollover, 0u);
    EXPECT_TRUE(report.rolloverKeys.empty());
    // A held across the reload: its release is not a hold of this test.
    Feed("1500 0x1E 1 0x41\n");
    EXPECT_EQ(Row(0).holds, 0u);
    EXPECT_EQ(Row(0).presses, 0u);
    // Chatter still counts across the reload, as the chatter rule does.
    Feed("1503 0x1E 0 0x41\n1600 0x1E 1 0x41\n");
    report = Report();
    EXPECT_EQ(report.keys[0].chatter, 1u);
    EXPECT_EQ(report.keys[0].presses, 1u);
    EXPECT_EQ(report.keys[0].longestHold, 97000);
}

TEST_F(StatisticsTest, RolloverKeepsTheKeysOfItsFirstMoment) {
    Feed("1000 0x2A 0 0x10\n1010 0x1E 0 0x41\n1020 0x1F 0 0x53\n" // three held
         "1030 0x1E 1 0x41\n1040 0x1E 0 0x41\n"                   // three again
         "1050 0x1E 1 0x41\n1060 0x1F 1 0x53\n1070 0x2A 1 0x10\n");
    const TestReport report = Report();
    EXPECT_EQ(report.rollover, 3u);
    EXPECT_EQ(report.rolloverKeys, (std::vector<std::wstring>{L"LShift", L"A", L"S again"}));
}

TEST_F(StatisticsTest, AClockThatWentBackGivesTheSignedHoldTheLogLineShows) {
    Feed("1000 0x1E 0 0x41\n990 0x1E 1 0x41\n2000 0x1E 0 0x41\n2050 0x1E 1 0x41\n");
    EXPECT_NE(session.Output().find("A (0x41, BIOS 0x1E) UP -> -10ms\n"), std::string::npos);
    const ReportRow a = Row(0);
    EXPECT_EQ(a.shortestHold, -10000);
    EXPECT_EQ(a.longestHold, 50000);
    const std::string csv = WriteReportCsv(Report());
    EXPECT_NE(csv.find("\r\n0x001E,A,,yes,good,2,0,,-10.00,50.00\r\n"), std::string::npos) << csv;
}
