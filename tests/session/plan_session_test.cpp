// A test plan applied by the key test session, unit after unit: the keys it requires, skips
// and times, and the verdict of each unit.
#include "session/key_test_session.h"

#include "layouts/default_layout.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

const wchar_t kLayoutText[] = L"Plan test\n"
                              L"R1, 0x1E, \"\", \"A\", 1\n"
                              L"R1, 0x30, \"\", \"B\", 1\n"
                              L"R1, 0x39, \"\", \"Space\", 1\n"
                              L"R1, 0xE05D, \"\", \"Menu\", 1\n";

constexpr std::int64_t kMs = 1000;

// A view that keeps what a bench window would show: the log lines and every end of a unit.
struct BenchView final : SessionView {
    void FieldChanged(int, const wchar_t*) override {}
    void KeyChanged(const LayoutKey&) override {}
    void LampToRefresh(LockKey) override {}
    void StatusChanged(const LayoutStatusDisplay&) override {}
    void DisplayCleared() override {}
    void LogLinesReady() override {
        for (SessionLogLine& line : session->TakeLogLines()) {
            lines.push_back((line.fault ? L"fault: " : L"") + line.text);
        }
    }
    void UnitEnded(const PlanVerdict& verdict) override { ended.push_back(verdict); }

    KeyTestSession* session = nullptr;
    std::vector<std::wstring> lines;
    std::vector<PlanVerdict> ended;
};

TestPlan Plan(const std::string& json) {
    TestPlan plan;
    PlanError error;
    EXPECT_TRUE(ParseTestPlan(json, plan, error)) << error.Text();
    return plan;
}

class PlanSession : public ::testing::Test {
protected:
    void SetUp() override {
        view_.session = &session_;
        session_.ReportLoadFailures(false);
        session_.SetDefaultLayout(kLayoutText, L"");
        ASSERT_TRUE(session_.SelectLayout(kDefaultLayoutMarker, lastLayout_));
    }
    void Start(const std::string& json, std::int64_t nowUs = 0) {
        session_.SetPlan(Plan(json));
        session_.StartUnit(nowUs);
        view_.lines.clear();
    }
    void Press(ScanCode code, std::int64_t downUs, std::int64_t upUs) {
        Down(code, downUs);
        Up(code, upUs);
    }
    void Down(ScanCode code, std::int64_t us) {
        session_.Feed(RawKeyRecord{static_cast<std::uint16_t>(code & 0xFF),
                                   static_cast<std::uint16_t>(code > 0xFF ? kRawFlagE0 : 0), 0x41,
                                   1},
                      us);
    }
    void Up(ScanCode code, std::int64_t us) {
        session_.Feed(
            RawKeyRecord{static_cast<std::uint16_t>(code & 0xFF),
                         static_cast<std::uint16_t>(kRawFlagBreak | (code > 0xFF ? kRawFlagE0 : 0)),
                         0x41, 1},
            us);
    }
    std::int32_t StateOf(ScanCode code) const { return session_.Layout().FindKey(code)->state; }

    KeyNameTable names_;
    RemapTable remap_;
    BenchView view_;
    KeyTestSession session_{view_, names_, remap_, [] { return 8u; }, [] { return 36; }};
    std::wstring lastLayout_;
};

} // namespace

TEST_F(PlanSession, AUnitPassesByItselfOnceEveryRequiredKeyIsPressedItsTimesAndUp) {
    Start(R"({"layout": "default", "keys": {"0x0039": {"presses": 3}}, "skip": ["0xE05D"]})",
          5000 * kMs);
    EXPECT_EQ(StateOf(0xE05D), Skipped);
    EXPECT_EQ(session_.Coverage().keys, 3u); // a skipped key is not counted
    PlanProgress progress = session_.Progress(5000 * kMs);
    EXPECT_TRUE(progress.running);
    EXPECT_EQ(progress.required, 3u);
    EXPECT_EQ(progress.passed, 0u);

    Press(0xE05D, 5100 * kMs, 5200 * kMs); // skipped: stays so, counts for nothing
    EXPECT_EQ(StateOf(0xE05D), Skipped);
    Press(0x1E, 5300 * kMs, 5400 * kMs);
    Press(0x39, 5500 * kMs, 5600 * kMs);
    Press(0x39, 5700 * kMs, 5800 * kMs);
    progress = session_.Progress(5900 * kMs);
    EXPECT_EQ(progress.passed, 1u);
    EXPECT_EQ(progress.tested, 2u);
    Press(0x30, 6000 * kMs, 6100 * kMs);
    EXPECT_TRUE(view_.ended.empty()); // Space pressed 2 of 3 times

    Down(0x39, 6200 * kMs);
    EXPECT_TRUE(view_.ended.empty()); // a key still down may yet bounce
    Up(0x39, 6300 * kMs);
    ASSERT_EQ(view_.ended.size(), 1u);
    const PlanVerdict& verdict = view_.ended[0];
    EXPECT_TRUE(verdict.pass);
    EXPECT_EQ(verdict.end, PlanEnd::Passed);
    EXPECT_EQ(verdict.Headline(), L"PASS");
    EXPECT_EQ(verdict.required, 3u);
    EXPECT_EQ(verdict.passed, 3u);
    EXPECT_EQ(verdict.durationUs, 1300 * kMs);
    EXPECT_FALSE(session_.UnitRunning());
    ASSERT_NE(session_.LastVerdict(), nullptr);
    EXPECT_TRUE(session_.LastVerdict()->pass);

    // Keys after the end change nothing of the verdict; the next unit starts afresh.
    Press(0x1E, 7000 * kMs, 7003 * kMs);
    Press(0x1E, 7005 * kMs, 7100 * kMs);
    EXPECT_TRUE(session_.LastVerdict()->pass);
    session_.StartUnit(8000 * kMs);
    EXPECT_EQ(StateOf(0x1E), Unpressed);
    EXPECT_EQ(StateOf(0xE05D), Skipped);
    EXPECT_EQ(session_.LastVerdict(), nullptr);
    EXPECT_EQ(session_.Progress(8000 * kMs).passed, 0u);
}

TEST_F(PlanSession, FinishingGivesFailWithEveryCauseAndAFaultDoesNotEndTheTest) {
    Start(R"({"layout": "default", "keys": {"0x0039": {"presses": 3}}})");
    Press(0x1E, 100 * kMs, 200 * kMs);
    Press(0x1E, 205 * kMs, 300 * kMs); // chatter
    EXPECT_TRUE(session_.UnitRunning());
    Press(0x39, 400 * kMs, 500 * kMs);
    EXPECT_EQ(session_.Progress(600 * kMs).faulty, 1u);

    const PlanVerdict verdict = session_.Finish(900 * kMs);
    EXPECT_FALSE(verdict.pass);
    EXPECT_EQ(verdict.end, PlanEnd::Finished);
    EXPECT_EQ(verdict.reasons, (std::vector<std::wstring>{L"A faulty", L"B, Menu untested",
                                                          L"Space pressed 1 of 3 times"}));
    EXPECT_EQ(verdict.Headline(), L"FAIL: A faulty; B, Menu untested; Space pressed 1 of 3 times");
    EXPECT_EQ(verdict.faultyKeys, std::vector<std::wstring>{L"A"});
    EXPECT_EQ(verdict.untestedKeys, (std::vector<std::wstring>{L"B", L"Menu"}));
    EXPECT_EQ(verdict.incompleteKeys, std::vector<std::wstring>{L"Space"});
    EXPECT_EQ(verdict.chatterEvents, 1u);
    EXPECT_EQ(verdict.durationUs, 900 * kMs);
    ASSERT_EQ(view_.ended.size(), 1u);
    EXPECT_EQ(view_.ended[0].Headline(), verdict.Headline());
    // Finished once: asking again gives the same verdict and no second end.
    EXPECT_EQ(session_.Finish(2000 * kMs).Headline(), verdict.Headline());
    EXPECT_EQ(view_.ended.size(), 1u);
}

TEST_F(PlanSession, AKeysOwnThresholdDecidesItsChatterToTheMicrosecond) {
    Start(R"({"layout": "default", "threshold_ms": 8, "keys": {"0x0039": {"threshold_ms": 20}}})");
    Press(0x39, 100 * kMs, 200 * kMs);
    Down(0x39, 219999); // 19.999 ms after the release
    Up(0x39, 300 * kMs);
    Down(0x39, 320 * kMs); // 20 ms: not below the threshold
    Up(0x39, 400 * kMs);
    Press(0x1E, 1000 * kMs, 1100 * kMs);
    Down(0x1E, 1115 * kMs); // 15 ms is chatter only for Space
    Up(0x1E, 1200 * kMs);
    Down(0x1E, 1207999); // 7.999 ms under the plan's 8
    Up(0x1E, 1300 * kMs);

    std::vector<std::wstring> faults;
    for (const std::wstring& line : view_.lines) {
        if (line.rfind(L"fault: ", 0) == 0) {
            faults.push_back(line);
        }
    }
    EXPECT_EQ(faults,
              (std::vector<std::wstring>{L"fault: Space (0x41, BIOS 0x39) CHATTER DETECTED -> 19ms",
                                         L"fault: A (0x41, BIOS 0x1E) CHATTER DETECTED -> 7ms"}));

    // Without the plan the program's threshold holds for every key again.
    session_.ClearPlan();
    view_.lines.clear();
    Press(0x39, 2000 * kMs, 2100 * kMs);
    Press(0x39, 2115 * kMs, 2200 * kMs);
    EXPECT_EQ(view_.lines.size(), 4u); // no chatter line
    EXPECT_EQ(StateOf(0xE05D), Unpressed);
}

TEST_F(PlanSession, TheTimeLimitEndsTheUnitAtItsDeadline) {
    Start(R"({"layout": "default", "time_limit_s": 2})", 1000 * kMs);
    Press(0x1E, 1100 * kMs, 1200 * kMs);
    EXPECT_EQ(session_.Progress(1500 * kMs).timeLeftUs, 1500 * kMs);
    EXPECT_FALSE(session_.CheckTimeLimit(2999999).has_value());
    const std::optional<PlanVerdict> verdict = session_.CheckTimeLimit(3000 * kMs);
    ASSERT_TRUE(verdict.has_value());
    EXPECT_FALSE(verdict->pass);
    EXPECT_EQ(verdict->end, PlanEnd::TimeLimit);
    EXPECT_EQ(verdict->reasons, (std::vector<std::wstring>{L"B, Space, Menu untested",
                                                           L"time limit of 2 s ran out"}));
    EXPECT_EQ(verdict->durationUs, 2000 * kMs);
    EXPECT_EQ(session_.Progress(4000 * kMs).timeLeftUs, 0);
    EXPECT_FALSE(session_.CheckTimeLimit(4000 * kMs).has_value()); // ended already

    // An event after the deadline ends the unit at the deadline, before it counts.
    session_.StartUnit(10000 * kMs);
    Press(0x1E, 10100 * kMs, 10200 * kMs);
    Press(0x30, 10300 * kMs, 10400 * kMs);
    Press(0x39, 10500 * kMs, 10600 * kMs);
    Press(0xE05D, 12000 * kMs, 12100 * kMs);
    ASSERT_EQ(view_.ended.size(), 2u);
    EXPECT_EQ(view_.ended[1].Headline(), L"FAIL: Menu untested; time limit of 2 s ran out");
    EXPECT_EQ(view_.ended[1].durationUs, 2000 * kMs);
}

TEST_F(PlanSession, TheRolloverMinimumAndTheOverflowTakePartInTheVerdict) {
    Start(R"({"name": "Pad", "layout": "default", "skip": ["0x0039", "0xE05D"],
              "min_rollover": 3})");
    Down(0x1E, 100 * kMs);
    Down(0x30, 110 * kMs);
    session_.Feed(RawKeyRecord{0xFF, 0, 0xFF, 1}, 120 * kMs);             // overflow make
    session_.Feed(RawKeyRecord{0xFF, kRawFlagBreak, 0xFF, 1}, 130 * kMs); // its break
    Up(0x1E, 200 * kMs);
    Up(0x30, 210 * kMs);
    EXPECT_EQ(view_.lines,
              (std::vector<std::wstring>{L"A (0x41, BIOS 0x1E) DOWN", L"B (0x41, BIOS 0x30) DOWN",
                                         L"fault: ROLLOVER OVERFLOW with 2 keys held",
                                         L"A (0x41, BIOS 0x1E) UP -> 100ms",
                                         L"B (0x41, BIOS 0x30) UP -> 100ms"}));
    // Both keys passed, but two at once is below the minimum: no end by itself.
    EXPECT_TRUE(view_.ended.empty());
    EXPECT_EQ(session_.Readout()[2].text, L"Rollover 2, overflow at 3");
    const PlanVerdict verdict = session_.Finish(300 * kMs);
    EXPECT_EQ(verdict.Headline(), L"FAIL: rollover 2 below 3, overflow at 3");
    EXPECT_EQ(verdict.overflows, 1u);
    EXPECT_EQ(verdict.overflowAt, 3u);

    // The report: the overflow is no extra code, the rollover tells it, the plan's verdict
    // replaces the coverage's.
    const TestReport report = session_.Report(ReportContext{});
    EXPECT_TRUE(report.extras.empty());
    EXPECT_EQ(report.overflows, 1u);
    const std::string html = WriteReportHtml(report);
    EXPECT_NE(html.find("Rollover: 2 keys (A, B); overflow at 3"), std::string::npos);
    EXPECT_NE(html.find(">FAIL: rollover 2 below 3, overflow at 3</p>"), std::string::npos);
    EXPECT_EQ(html.find("PASS"), std::string::npos);

    // The next unit holds three at once and passes as the last one comes up.
    session_.StartUnit(1000 * kMs);
    Down(0x1E, 1100 * kMs);
    Down(0x30, 1110 * kMs);
    Down(0x39, 1120 * kMs); // skipped keys count in the rollover too
    Up(0x39, 1200 * kMs);
    Up(0x1E, 1210 * kMs);
    EXPECT_EQ(view_.ended.size(), 1u);
    Up(0x30, 1220 * kMs);
    ASSERT_EQ(view_.ended.size(), 2u);
    EXPECT_TRUE(view_.ended[1].pass);
    EXPECT_EQ(view_.ended[1].rollover, 3u);
    EXPECT_EQ(view_.ended[1].overflows, 0u);
    EXPECT_EQ(ReportVerdictLine(session_.Report(ReportContext{})),
              L"PASS: all 2 keys of the plan Pad passed");
}
