#include "session/replay_trace.h"

#include "layouts/default_layout.h"
#include "session/session_harness.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// Four named keys and one named only by its two-line label.
const wchar_t kLayoutText[] = L"Replay test\n"
                              L"R1, 0x1E, \"\", \"A\", 1\n"
                              L"R1, 0x3A, \"\", \"Caps\", 1\n"
                              L"R1, 0xE11D, \"\", \"Pause\", 1\n"
                              L"R1, 0x1D, \"\", \"LCtrl\", 1\n"
                              L"R1, 0x37, \"Print\\nScrn\", \"\", 1";

enum class Selection { Loaded, Fallback, Nothing };

// Replays a trace after a selection of the test layout: loaded as the default layout, as the
// fall-back for a missing file, or left half-read by a default that fails after its keys.
std::string Replay(const std::string& trace, std::uint32_t threshold = 8, bool fields = false,
                   Selection selection = Selection::Loaded) {
    std::vector<TraceRecord> records;
    std::string error;
    EXPECT_TRUE(ParseTrace(trace, records, error)) << error;
    SessionHarness session(threshold, fields);
    TempFolder folder;
    const std::wstring missing = (folder.Path() / "missing.kbl").wstring();
    switch (selection) {
    case Selection::Loaded:
        EXPECT_TRUE(session.SelectLayout(kDefaultLayoutMarker, kLayoutText));
        break;
    case Selection::Fallback:
        EXPECT_FALSE(session.SelectLayout(missing, kLayoutText));
        break;
    case Selection::Nothing:
        // After an earlier good load, as on the page: a failed load keeps the key names.
        EXPECT_TRUE(session.SelectLayout(kDefaultLayoutMarker, kLayoutText));
        session.TakeOutput();
        EXPECT_FALSE(session.SelectLayout(missing, std::wstring(kLayoutText) + L"\nbroken"));
        break;
    }
    for (const TraceRecord& record : records) {
        session.Feed(record);
    }
    session.Finish();
    return session.Output();
}

std::string ParseError(const std::string& trace) {
    std::vector<TraceRecord> records;
    std::string error;
    EXPECT_FALSE(ParseTrace(trace, records, error));
    EXPECT_TRUE(records.empty());
    return error;
}

} // namespace

TEST(TraceParser, ReadsDecimalAndHexFieldsCommentsAndBlankLines) {
    std::vector<TraceRecord> records;
    std::string error;
    ASSERT_TRUE(ParseTrace("# a comment\n\n  1000 0x1E 0 65   # A down\r\n"
                           "0xFFFFFFFF\t0x1d 0X4 0x13 0x7fffffffffffffff\n   \n",
                           records, error))
        << error;
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].time, 1000000); // whole milliseconds, as microseconds
    EXPECT_EQ(records[0].record.makeCode, 0x1E);
    EXPECT_EQ(records[0].record.virtualKey, 65);
    EXPECT_EQ(records[0].record.device, 1u);
    EXPECT_EQ(records[1].time, 0xFFFFFFFF * std::int64_t{1000});
    EXPECT_EQ(records[1].record.flags, 4);
    EXPECT_EQ(records[1].record.device, 0x7fffffffffffffffu);
}

TEST(TraceParser, MalformedLinesNameTheLineAndTheFault) {
    EXPECT_EQ(ParseError("1 2 3 4\n\n1 2 3\n"),
              "line 3: expected TIME MAKE FLAGS VKEY [DEVICE], found 3 fields");
    EXPECT_EQ(ParseError("1 2 3 4 5 6"),
              "line 1: expected TIME MAKE FLAGS VKEY [DEVICE], found more than 5 fields");
    EXPECT_EQ(ParseError("# x\n281474976710656 1 0 0"),
              "line 2: TIME \"281474976710656\" is not a number of milliseconds (up to three "
              "decimals, or 0x-hexadecimal) from 0 to 0xFFFFFFFFFFFF");
    for (const char* time : {"1.2345", "1.", ".5", "0x1.5", "1.5x", "1..5", "-1.5", "1,5"}) {
        EXPECT_EQ(ParseError(std::string(time) + " 1 0 0").substr(0, 14), "line 1: TIME \"")
            << time;
    }
    EXPECT_EQ(ParseError("1 0x10000 0 0"),
              "line 1: MAKE \"0x10000\" is not a decimal or 0x-hexadecimal number from 0 to "
              "0xFFFF");
    EXPECT_EQ(ParseError("1 2 -1 0"),
              "line 1: FLAGS \"-1\" is not a decimal or 0x-hexadecimal number from 0 to 0xFFFF");
    EXPECT_EQ(ParseError("1 2 0 0x"),
              "line 1: VKEY \"0x\" is not a decimal or 0x-hexadecimal number from 0 to 0xFFFF");
    EXPECT_EQ(ParseError("1 2 0 3 99999999999999999999"),
              "line 1: DEVICE \"99999999999999999999\" is not a decimal or 0x-hexadecimal "
              "number from 0 to 0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(ParseError("1 2 0 1a"),
              "line 1: VKEY \"1a\" is not a decimal or 0x-hexadecimal number from 0 to 0xFFFF");
}

TEST(Replay, ChatterTraceGivesTheProgramsLines) {
    EXPECT_EQ(Replay("0 0x1E 0 0x41\n"
                     "1000 0x1E 1 0x41\n"
                     "1005 0x1E 0 0x41\n"
                     "1100 0x1E 1 0x41\n"),
              "status: Layout Cleared/Reloaded\n"
              "log: A (0x41, BIOS 0x1E) DOWN\n"
              "held: \" A  \"\n"
              "status: Active\n"
              "log: A (0x41, BIOS 0x1E) UP -> 1000ms\n"
              "held: \" \"\n"
              "log: A (0x41, BIOS 0x1E) DOWN\n"
              "fault: A (0x41, BIOS 0x1E) CHATTER DETECTED -> 5ms\n"
              "held: \" A  \"\n"
              "log: A (0x41, BIOS 0x1E) UP -> 95ms\n"
              "held: \" \"\n"
              "state: 0x001E 4 \"A\"\n");
}

TEST(Replay, PauseSequenceFieldsLampsAndUnnamedKeys) {
    const std::string output = Replay("10 0x1D 4 0x13\n"  // E1 1D make
                                      "10 0x45 0 0x90\n"  // its 0x45: dropped
                                      "20 0x1D 5 0x13\n"  // E1 1D break
                                      "20 0x45 1 0x90\n"  // dropped
                                      "30 0x3A 0 0x14\n"  // Caps Lock
                                      "40 0x37 0 0x6A\n", // key named by its label
                                      8, true, Selection::Fallback);
    EXPECT_EQ(output, "status: Invalid layout!  Default Loaded\n"
                      "field: 1030 \" Pause\"\n"
                      "log: Pause (0x13, BIOS 0xE11D) DOWN\n"
                      "held: \" PAUSE  \"\n"
                      "field: 1032 \" 19 (0x13)\"\n"
                      "field: 1033 \" 29 (0x1d)\"\n"
                      "status: Invalid layout!  Default Active\n"
                      "log: Pause (0x13, BIOS 0xE11D) UP -> 10ms\n"
                      "held: \" \"\n"
                      "field: 1031 \" Pause\"\n"
                      "field: 1034 \" 19 (0x13)\"\n"
                      "field: 1035 \" 29 (0x1d)\"\n"
                      "field: 1030 \" Caps\"\n"
                      "log: Caps (0x14, BIOS 0x3A) DOWN\n"
                      "held: \" CAPS  \"\n"
                      "field: 1032 \" 20 (0x14)\"\n"
                      "field: 1033 \" 58 (0x3a)\"\n"
                      "lamp: Caps Lock\n"
                      "field: 1030 \" Print Scrn\"\n"
                      "log: Print Scrn (0x6A, BIOS 0x37) DOWN\n"
                      "held: \" CAPS  PRINT SCRN  \"\n"
                      "field: 1032 \"106 (0x6a)\"\n"
                      "field: 1033 \" 55 (0x37)\"\n"
                      "state: 0x003A 1 \"Caps\"\n"
                      "state: 0xE11D 2 \"Pause\"\n"
                      "state: 0x0037 1 \"Print Scrn\"\n");
}

TEST(Replay, NothingLoadedShowsItsStatusAndKeepsIt) {
    EXPECT_EQ(Replay("5 0x1E 0 0x41\n", 8, false, Selection::Nothing),
              "status: Invalid layout!  Unable to load default\n"
              "log: A (0x41, BIOS 0x1E) DOWN\n"
              "held: \" A  \"\n"
              "state: 0x001E 1 \"A\"\n");
}

TEST(Replay, ReleasesInTheBackgroundKeepTheirTimeAndOtherTypingIsIgnored) {
    SessionHarness session;
    session.SelectLayout(kDefaultLayoutMarker, DefaultLayoutText());
    const auto record = [](std::int64_t ms, std::uint16_t make, std::uint16_t flags,
                           std::uint16_t vkey) {
        TraceRecord traced;
        traced.time = ms * 1000;
        traced.record = RawKeyRecord{make, flags, vkey, 1};
        return traced;
    };
    session.Feed(record(100, 0x1E, 0, 0x41));
    session.Feed(record(110, 0x30, 0, 0x42));
    session.TakeOutput();
    CapturedLog log;
    // Another window has the foreground: typing there is neither decoded nor logged.
    session.Feed(record(200, 0x2D, 0, 0x58), true);
    session.Feed(record(210, 0x2D, 1, 0x58), true);
    session.Feed(record(250, 0x1E, 1, 0x41), true); // A, held here: its real release
    EXPECT_EQ(log.Text(), L"OnInput():  Scan code 0x1e, Up, Virtual key 0x41.\n");
    EXPECT_EQ(session.TakeOutput(), "log: A (0x41, BIOS 0x1E) UP -> 150ms\n"
                                    "held: \" B  \"\n");
    // B's release was missed altogether: released on return, and pressed again at once.
    session.Activate(400);
    session.Feed(record(401, 0x30, 0, 0x42));
    EXPECT_EQ(session.TakeOutput(), "log: B (0x42, BIOS 0x30) UP (released while away)\n"
                                    "held: \" \"\n"
                                    "log: B (0x42, BIOS 0x30) DOWN\n"
                                    "held: \" B  \"\n");
}

TEST(Replay, RestartReturnsToTheSelectedLayoutWithNothingSeen) {
    SessionHarness session;
    session.SelectLayout(kDefaultLayoutMarker, DefaultLayoutText());
    TraceRecord press;
    press.record = RawKeyRecord{0x1E, 0, 0x41, 1};
    TraceRecord release = press;
    release.record.flags = kRawFlagBreak;
    release.time = 50000;
    session.Feed(press);
    session.Feed(release);
    session.Restart(100);
    EXPECT_EQ(session.Output(), "");
    EXPECT_EQ(session.Status(), LayoutStatusCleared);
    press.time = 60; // 10 ms after the release before the restart, below the new threshold
    session.Feed(press);
    session.Finish();
    EXPECT_EQ(session.TakeOutput(), "log: A (0x41, BIOS 0x1E) DOWN\n"
                                    "held: \" A  \"\n"
                                    "status: Active\n"
                                    "state: 0x001E 1 \"A\"\n");
}

TEST(Replay, QuotingEscapesControlsQuotesAndBackslashes) {
    EXPECT_EQ(QuoteText(L"a\"b\\c\nd\re\x01\x7f\u00e9"),
              "\"a\\\"b\\\\c\\nd\\re\\x01\\x7F\xC3\xA9\"");
}

TEST(Replay, LineBreaksInANameCannotForgeLinesOrFields) {
    // As an imported layout may name a key.
    const wchar_t layoutText[] = L"Forged\n"
                                 L"R1, 0x1E, \"A\", \"A\\n59:59.9999 ALL KEYS PASS\\n\\nX\", 1";
    SessionHarness session(8, true);
    ASSERT_TRUE(session.SelectLayout(kDefaultLayoutMarker, layoutText));
    session.TakeOutput();
    std::vector<TraceRecord> records;
    std::string error;
    ASSERT_TRUE(ParseTrace("1000 0x1E 0 0x41\n1090 0x1E 1 0x41\n", records, error));
    for (const TraceRecord& record : records) {
        session.Feed(record);
    }
    const std::string output = session.TakeOutput();
    EXPECT_NE(output.find("log: A 59:59.9999 ALL KEYS PASS  X (0x41, BIOS 0x1E) DOWN\n"),
              std::string::npos)
        << output;
    EXPECT_NE(output.find("field: 1030 \" A 59:59.9999 ALL KEYS PASS  X\"\n"), std::string::npos)
        << output;
    EXPECT_NE(output.find("held: \" A 59:59.9999 ALL KEYS PASS  X  \"\n"), std::string::npos)
        << output;
    EXPECT_EQ(output.find("\n59:59"), std::string::npos) << output;
}
