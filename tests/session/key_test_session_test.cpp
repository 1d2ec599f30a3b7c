#include "session/key_test_session.h"

#include "layouts/default_layout.h"
#include "layouts/layout_file_load.h"
#include "session/session_harness.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const wchar_t kLayoutText[] = L"Session test\n"
                              L"R1, 0x1E, \"\", \"A\", 1\n"
                              L"R1, 0x30, \"\", \"B\", 1\n"
                              L"R1, 0x3A, \"\", \"Caps\", 1\n"
                              L"R1, 0x1D, \"\", \"LCtrl\", 1\n";

// time in milliseconds.
TraceRecord Record(std::int64_t time, std::uint16_t make, std::uint16_t flags, std::uint16_t vkey) {
    TraceRecord record;
    record.time = time * 1000;
    record.record = RawKeyRecord{make, flags, vkey, 1};
    return record;
}

// A view as the page is one: log lines stay in the session until it takes them.
struct PageLikeView final : SessionView {
    void FieldChanged(int field, const wchar_t* text) override {
        if (field == kFieldHeldKeys) {
            held.push_back(text);
        }
    }
    void KeyChanged(const LayoutKey&) override { ++keysDrawn; }
    void LampToRefresh(LockKey) override { ++lamps; }
    void StatusChanged(const LayoutStatusDisplay& display) override {
        status = display.visible ? LayoutStatusTextDefault(display.textId) : L"";
    }
    void DisplayCleared() override { ++clears; }
    void LogLinesReady() override { ++linesReady; }

    std::vector<std::wstring> held;
    std::wstring status;
    int keysDrawn = 0;
    int lamps = 0;
    int clears = 0;
    int linesReady = 0;
};

class LibraryFixture : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(folder_.Path() / "a.kbl", "ANSI Compact\n\nR1, 0x1E, \"A\", \"A\", 1\n");
        WriteFileBytes(folder_.Path() / "c.kbl", "ansi\n\nR1, 0x1E, \"A\", \"A\", 1\n");
        WriteFileBytes(folder_.Path() / "broken.json", "[[\"Q\",\n\"W\" \"E\"]]");
        session_.SetDefaultLayout(DefaultLayoutText(), L"104 Key ANSI");
        session_.Selector().BuildLibrary(folder_.Path().wstring(), ReadAnyLayoutName);
    }
    std::wstring Path(const char* file) const { return (folder_.Path() / file).wstring(); }

    TempFolder folder_;
    KeyNameTable names_;
    RemapTable remap_;
    PageLikeView view_;
    KeyTestSession session_{view_, names_, remap_, [] { return 8u; }, [] { return 36; }};
    std::wstring lastLayout_;
};

} // namespace

TEST_F(LibraryFixture, ALayoutFileIsLoadedClearedAndItsListEntryNamed) {
    EXPECT_TRUE(session_.SelectLayout(Path("c.kbl"), lastLayout_));
    EXPECT_EQ(session_.Layout().name, L"ansi");
    EXPECT_EQ(lastLayout_, Path("c.kbl"));
    ASSERT_GE(session_.LoadedEntry(), 0);
    EXPECT_EQ(session_.Selector().Library().At(session_.LoadedEntry())->path, Path("c.kbl"));
    EXPECT_EQ(view_.clears, 1);
    EXPECT_EQ(view_.status, L"Layout Cleared/Reloaded");
    EXPECT_TRUE(session_.TakeLogLines().empty());
}

TEST_F(LibraryFixture, AFileThatFailsFallsBackToTheDefaultAndSaysWhyInTheLog) {
    EXPECT_FALSE(session_.SelectLayout(Path("broken.json"), lastLayout_));
    EXPECT_EQ(session_.Layout().name, L"104 Key ANSI");
    EXPECT_EQ(lastLayout_, kDefaultLayoutMarker);
    EXPECT_EQ(session_.LoadedEntry(), 0);
    EXPECT_EQ(view_.status, L"Invalid layout!  Default Loaded");
    // The reason comes after the clear that empties the log, so it stays in view.
    const std::vector<SessionLogLine> lines = session_.TakeLogLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].fault);
    EXPECT_EQ(lines[0].text.rfind(L"Layout \"broken.json\" not loaded: invalid JSON at line 2", 0),
              0u)
        << lines[0].text;

    session_.Feed(Record(100, 0x1E, 0, 0x41).record, 100000);
    EXPECT_EQ(view_.status, L"Invalid layout!  Default Active");
    EXPECT_EQ(session_.Status(), LayoutStatusDefaultActive);
}

TEST(KeyTestSession, ClearInTheMiddleOfAHoldStartsAFreshTestAndTheReleaseStillEndsTheHold) {
    SessionHarness harness;
    ASSERT_TRUE(harness.SelectLayout(kDefaultLayoutMarker, kLayoutText));
    harness.Feed(Record(100, 0x1E, 0, 0x41));
    harness.Feed(Record(120, 0x30, 0, 0x42));
    harness.Feed(Record(150, 0x30, 1, 0x42));
    harness.TakeOutput();

    harness.session.Reload(harness.lastLayout);
    EXPECT_EQ(harness.TakeOutput(), "status: Layout Cleared/Reloaded\n");
    EXPECT_EQ(harness.session.Coverage().tested, 0u);
    EXPECT_EQ(harness.session.Report(ReportContext{}).keys.at(1).presses, 0u);
    // A was held across the reload: its release is timed from its press and shown, but a
    // release alone does not test the key of the new test.
    harness.Feed(Record(300, 0x1E, 1, 0x41));
    harness.Finish();
    EXPECT_EQ(harness.TakeOutput(), "log: A (0x41, BIOS 0x1E) UP -> 200ms\n"
                                    "held: \" \"\n");
}

TEST(KeyTestSession, KeysMissedWhileAwayAreReleasedUnlessStillDown) {
    SessionHarness harness;
    ASSERT_TRUE(harness.SelectLayout(kDefaultLayoutMarker, kLayoutText));
    harness.Feed(Record(100, 0x1E, 0, 0x41));
    harness.Feed(Record(110, 0x1D, 0, 0x11));
    harness.TakeOutput();

    harness.session.ReleaseKeysMissedWhileAway(
        500000, [](ScanCode, std::uint16_t virtualKey) { return virtualKey == 0x11; });
    EXPECT_EQ(harness.TakeOutput(), "log: A (0x41, BIOS 0x1E) UP (released while away)\n"
                                    "held: \" LCTRL  \"\n");
    // The release time is unknown, so a new press at once is no chatter.
    harness.Feed(Record(501, 0x1E, 0, 0x41));
    harness.Finish();
    EXPECT_EQ(harness.TakeOutput(), "log: A (0x41, BIOS 0x1E) DOWN\n"
                                    "held: \" LCTRL  A  \"\n"
                                    "state: 0x001E 1 \"A\"\n"
                                    "state: 0x001D 1 \"LCtrl\"\n");
}

TEST(KeyTestSession, ABurstWaitsInTheLogQueueWhileFieldsAndKeysFollowAtOnce) {
    KeyNameTable names;
    RemapTable remap;
    PageLikeView view;
    KeyTestSession session(
        view, names, remap, [] { return 8u; }, [] { return 36; });
    session.SetDefaultLayout(kLayoutText, L"");
    std::wstring lastLayout;
    ASSERT_TRUE(session.SelectLayout(kDefaultLayoutMarker, lastLayout));
    for (std::uint32_t i = 0; i < 20; ++i) {
        session.Feed(RawKeyRecord{0x1E, 0, 0x41, 1}, (1000 + 20 * i) * 1000);
        session.Feed(RawKeyRecord{0x1E, kRawFlagBreak, 0x41, 1}, (1010 + 20 * i) * 1000);
    }
    session.Feed(RawKeyRecord{0x3A, 0, 0x14, 1}, 2000000); // a lock key asks for its lamp
    EXPECT_EQ(view.linesReady, 41);
    EXPECT_EQ(view.keysDrawn, 41);
    EXPECT_EQ(view.lamps, 1);
    ASSERT_EQ(view.held.size(), 41u);
    EXPECT_EQ(view.held.back(), L" CAPS  ");

    const std::vector<SessionLogLine> lines = session.TakeLogLines();
    ASSERT_EQ(lines.size(), 41u);
    EXPECT_EQ(lines[0].text, L"A (0x41, BIOS 0x1E) DOWN");
    EXPECT_EQ(lines[1].text, L"A (0x41, BIOS 0x1E) UP -> 10ms");
    EXPECT_EQ(lines[39].text, L"A (0x41, BIOS 0x1E) UP -> 10ms");
    EXPECT_EQ(lines[40].text, L"Caps (0x14, BIOS 0x3A) DOWN");
    EXPECT_TRUE(session.TakeLogLines().empty());
    const std::vector<ReadoutPart> readout = session.Readout();
    ASSERT_EQ(readout.size(), 3u);
    EXPECT_EQ(readout[0].text, L"Tested 2 / 4"); // A, and Caps still held
    EXPECT_EQ(readout[1].text, L"Faulty 0");
}

TEST(KeyTestSession, AWideLayoutIsScaledToFitAndKeepsItsKeyStates) {
    TempFolder folder;
    // One row of 60 keys from a KLE file: 2160 pixels wide at 36.
    std::string json = "[[";
    for (int i = 0; i < 60; ++i) {
        json += i ? ",\"A\"" : "\"A\"";
    }
    WriteFileBytes(folder.Path() / "wide.json", json + "]]");
    CapturedLog log;
    SessionHarness harness;
    ASSERT_TRUE(harness.SelectLayout((folder.Path() / "wide.json").wstring(), kLayoutText));
    KeyTestSession& session = harness.session;
    EXPECT_EQ(session.Layout().width, 60 * 36);
    EXPECT_FALSE(session.FitWithin(60 * 36, 36));
    std::next(session.Layout().keys.begin(), 3)->state = Pressed;

    ASSERT_TRUE(session.FitWithin(1000, 500));
    EXPECT_EQ(session.KeySize(), 16);
    EXPECT_EQ(session.Layout().width, 960);
    EXPECT_EQ(session.Layout().height, 16);
    EXPECT_EQ(std::next(session.Layout().keys.begin(), 3)->state, Pressed);
    EXPECT_NE(log.Text().find(L"Layout drawn with 16-pixel keys to fit the screen (KeyDimensions "
                              L"36).\n"),
              std::wstring::npos);
    // Nothing fits: the smallest key size.
    ASSERT_TRUE(session.FitWithin(100, 100));
    EXPECT_EQ(session.KeySize(), 10);
    EXPECT_EQ(session.Layout().width, 600);
    // The next load starts from the configured size again.
    session.Reload(harness.lastLayout);
    EXPECT_EQ(session.KeySize(), 36);
}
