// Every test recorded: the raw records a session keeps, the trace text they are written as,
// and a replay of that trace giving back what the test showed.
#include "session/test_files.h"

#include "layouts/default_layout.h"
#include "logging/event_log.h"
#include "session/replay_trace.h"
#include "session/session_harness.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

const wchar_t kLayoutText[] = L"Recording test\n"
                              L"R1, 0x1E, \"\", \"A\", 1\n"
                              L"R1, 0x37, \"\", \"PrtSc\", 1\n"
                              L"R1, 0xE11D, \"\", \"Pause\", 1\n"
                              L"R1, 0x2A, \"\", \"LShift\", 1";

std::vector<TraceRecord> Parse(const std::string& text) {
    std::vector<TraceRecord> records;
    std::string error;
    EXPECT_TRUE(ParseTrace(text, records, error)) << error;
    return records;
}

// The "log:" and "fault:" lines of a recording view's output.
std::string LogLinesOf(const std::string& output) {
    std::string lines;
    for (std::size_t start = 0; start < output.size();) {
        const std::size_t end = output.find('\n', start);
        const std::string line = output.substr(start, end - start + 1);
        if (line.rfind("log: ", 0) == 0 || line.rfind("fault: ", 0) == 0) {
            lines += line;
        }
        start = end + 1;
    }
    return lines;
}

// The log lines of a replay of the records on the test layout.
std::string ReplayedLines(const std::vector<TraceRecord>& records, std::uint32_t threshold = 8) {
    SessionHarness replay(threshold);
    EXPECT_TRUE(replay.SelectLayout(kDefaultLayoutMarker, kLayoutText));
    for (const TraceRecord& record : records) {
        replay.Feed(record);
    }
    return LogLinesOf(replay.TakeOutput());
}

TraceRecord At(std::int64_t microseconds, std::uint16_t make, std::uint16_t flags,
               std::uint16_t vkey, std::uint64_t device = 0x10041) {
    return TraceRecord{microseconds, RawKeyRecord{make, flags, vkey, device}};
}

} // namespace

TEST(TraceTimes, FractionsOfAMillisecondAreExactMicroseconds) {
    const std::vector<TraceRecord> records =
        Parse("1007.999 1 0 0\n1.5 1 0 0\n1.05 1 0 0\n0.001 1 0 0\n0x10 1 0 0\n42 1 0 0\n");
    ASSERT_EQ(records.size(), 6u);
    EXPECT_EQ(records[0].time, 1007999);
    EXPECT_EQ(records[1].time, 1500);
    EXPECT_EQ(records[2].time, 1050);
    EXPECT_EQ(records[3].time, 1);
    EXPECT_EQ(records[4].time, 16000); // hexadecimal: whole milliseconds
    EXPECT_EQ(records[5].time, 42000); // an older trace's whole milliseconds
    EXPECT_EQ(FormatTraceTime(1234567), "1234.567");
    EXPECT_EQ(FormatTraceTime(5), "0.005");
    EXPECT_EQ(FormatTraceTime(0), "0.000");
}

TEST(TraceTimes, TheChatterBoundaryIsExactToTheMicrosecond) {
    const std::string pressedAgain = "0 0x1E 0 0x41\n1000.000 0x1E 1 0x41\n";
    EXPECT_EQ(ReplayedLines(Parse(pressedAgain + "1007.999 0x1E 0 0x41\n")),
              "log: A (0x41, BIOS 0x1E) DOWN\n"
              "log: A (0x41, BIOS 0x1E) UP -> 1000ms\n"
              "log: A (0x41, BIOS 0x1E) DOWN\n"
              "fault: A (0x41, BIOS 0x1E) CHATTER DETECTED -> 7ms\n");
    EXPECT_EQ(ReplayedLines(Parse(pressedAgain + "1008.000 0x1E 0 0x41\n")),
              "log: A (0x41, BIOS 0x1E) DOWN\n"
              "log: A (0x41, BIOS 0x1E) UP -> 1000ms\n"
              "log: A (0x41, BIOS 0x1E) DOWN\n");
    // Another threshold shows what it would have found in the same records.
    EXPECT_NE(ReplayedLines(Parse(pressedAgain + "1008.000 0x1E 0 0x41\n"), 9)
                  .find("CHATTER DETECTED -> 8ms"),
              std::string::npos);
}

TEST(TraceWriter, WhatItWritesReadsBackToTheSameRecords) {
    const std::vector<TraceRecord> records = {
        At(0, 0x1E, 0, 0x41), At(1234567, 0x1E, kRawFlagBreak, 0x41),
        At(1240000, 0x2A, kRawFlagE0, 0xFF, 0), At(1240001, 0x37, kRawFlagE0, 0x2C),
        At(0xFFFFFFFFFFFF, 0xFFFF, 0xFFFF, 0xFFFF, UINT64_MAX)};
    TraceHeader header;
    header.programVersion = L"1.2.3.4";
    header.layoutName = L"Board\nwith a line break \u00e9";
    header.layoutFile = L"C:\\layouts\\board.kbl";
    header.threshold = 12;
    header.clock = L"QPC, 10 MHz";
    const std::string text = WriteTrace(header, records);
    EXPECT_EQ(Parse(text), records);
    // Every header line is a comment, a name's line break included.
    for (const char* line :
         {"# program: 1.2.3.4\r\n", "# layout: Board with a line break \xC3\xA9\r\n",
          "# layout file: C:\\layouts\\board.kbl\r\n", "# chatter threshold: 12 ms\r\n",
          "# clock: QPC, 10 MHz\r\n",
          "# replay: tapwise-cli replay --layout \"C:\\layouts\\board.kbl\" "
          "--threshold 12 <this file>\r\n",
          "\r\n1234.567 0x1E 1 0x41 0x10041\r\n"}) {
        EXPECT_NE(text.find(line), std::string::npos) << line;
    }
    header.layoutFile.clear();
    EXPECT_NE(WriteTrace(header, {}).find("tapwise-cli replay --default --threshold 12"),
              std::string::npos);
}

TEST(TestRecording, ARecordedTestReplaysToTheLinesItShowed) {
    SessionHarness test;
    ASSERT_TRUE(test.SelectLayout(kDefaultLayoutMarker, kLayoutText));
    test.TakeOutput();
    const std::vector<TraceRecord> fed = {
        At(1000000, 0x1E, 0, 0x41),
        At(1094999, 0x1E, kRawFlagBreak, 0x41),
        At(1100500, 0x1E, 0, 0x41), // 5.501 ms after the release: chatter
        At(1150000, 0x1E, kRawFlagBreak, 0x41),
        At(2000000, 0x2A, kRawFlagE0, 0xFF), // Print Screen's fake shift: dropped, kept
        At(2000010, 0x37, kRawFlagE0, 0x2C),
        At(2080000, 0x37, kRawFlagE0 | kRawFlagBreak, 0x2C),
        At(2080010, 0xAA, kRawFlagE0 | kRawFlagBreak, 0xFF),
        At(3000000, 0x1D, kRawFlagE1, 0x13), // Pause: its 0x45 is dropped, kept
        At(3000010, 0x45, 0, 0x90),
        At(3000020, 0x1D, kRawFlagE1 | kRawFlagBreak, 0x13),
        At(3000030, 0x45, kRawFlagBreak, 0x90),
        At(4000000, 0x1E, 0, 0x41, 0x20077), // another keyboard
    };
    for (const TraceRecord& record : fed) {
        test.Feed(record);
    }
    // Typing in another program is refused and not kept; A's release there is taken.
    test.Feed(At(4100000, 0x30, 0, 0x42), true);
    test.Feed(At(4100100, 0x30, kRawFlagBreak, 0x42), true);
    test.Feed(At(4200000, 0x1E, kRawFlagBreak, 0x41, 0x20077), true);

    std::vector<TraceRecord> kept = fed;
    kept.push_back(At(4200000, 0x1E, kRawFlagBreak, 0x41, 0x20077));
    EXPECT_EQ(test.session.Recording(), kept);

    const std::string shown = LogLinesOf(test.TakeOutput());
    ASSERT_NE(shown.find("fault: A (0x41, BIOS 0x1E) CHATTER DETECTED -> 5ms\n"),
              std::string::npos);
    ASSERT_NE(shown.find("log: A (0x41, BIOS 0x1E) UP -> 200ms\n"), std::string::npos);
    EXPECT_EQ(ReplayedLines(Parse(WriteTrace(TraceHeader{}, test.session.Recording()))), shown);
}

TEST(TestRecording, ALayoutLoadBeginsANewRecording) {
    SessionHarness test;
    ASSERT_TRUE(test.SelectLayout(kDefaultLayoutMarker, kLayoutText));
    test.Feed(At(1000, 0x1E, 0, 0x41));
    test.Feed(At(2000, 0x1E, kRawFlagBreak, 0x41));
    ASSERT_EQ(test.session.Recording().size(), 2u);
    test.session.Reload(test.lastLayout); // Clear / Reload
    EXPECT_TRUE(test.session.Recording().empty());
    test.Feed(At(3000, 0x1E, 0, 0x41));
    EXPECT_EQ(test.session.Recording().size(), 1u);
    test.Restart(8);
    EXPECT_TRUE(test.session.Recording().empty());
}

TEST(TestRecording, TheFourFilesOfATest) {
    SessionHarness test;
    ASSERT_TRUE(test.SelectLayout(kDefaultLayoutMarker, kLayoutText));
    test.Feed(At(1000000, 0x1E, 0, 0x41));
    test.Feed(At(1095500, 0x1E, kRawFlagBreak, 0x41));
    ReportContext context;
    context.layoutName = L"Recording test";
    context.threshold = 8;
    context.programVersion = L"9.8.7.6";
    context.clockText = L"QPC, 10 MHz, stamped on the input thread";
    const std::wstring logText = L"12:34.0001 A (0x41, BIOS 0x1E) DOWN\r\n"
                                 L"12:34.0096 A (0x41, BIOS 0x1E) UP -> 95ms";
    const std::vector<std::string> files = RecordedTestFiles(test.session, context, logText);
    ASSERT_EQ(files.size(), kReportFileCount);
    EXPECT_EQ(files[0], WriteReportHtml(test.Report(context)));
    EXPECT_EQ(files[1], WriteReportCsv(test.Report(context)));
    EXPECT_NE(files[1].find(",95.50,95.50\r\n"), std::string::npos) << files[1];
    EXPECT_EQ(files[2], EncodeLogFileBytes(logText));
    EXPECT_EQ(Parse(files[3]), test.session.Recording());
    for (const char* line : {"# program: 9.8.7.6\r\n", "# layout: Recording test\r\n",
                             "# layout file: (the built-in default layout)\r\n",
                             "# clock: QPC, 10 MHz, stamped on the input thread\r\n",
                             "1095.500 0x1E 1 0x41 0x10041\r\n"}) {
        EXPECT_NE(files[3].find(line), std::string::npos) << line;
    }

    const std::vector<FileContent> set = TestFileSet(L"C:\\logs\\Board00007", files);
    ASSERT_EQ(set.size(), 4u);
    EXPECT_EQ(set[0].path, L"C:\\logs\\Board00007.html");
    EXPECT_EQ(set[3].path, L"C:\\logs\\Board00007.trace");
    EXPECT_EQ(set[3].bytes, files[3]);
}
