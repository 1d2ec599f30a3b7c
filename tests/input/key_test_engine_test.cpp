#include "input/key_test_engine.h"

#include "input/key_states.h"
#include "layouts/layout_selection.h"
#include "settings/app_settings.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

// Records every effect on the page, in order, as one line each.
class RecordingPage final : public KeyTestPage, public KeyView {
public:
    explicit RecordingPage(KeyboardLayout& layout) : layout_(layout) {}

    void SetFieldText(int control, const wchar_t* text) override {
        fields[control] = text;
        if (control == kFieldHeldKeys) {
            effects.push_back(L"held [" + std::wstring(text) + L"]");
        }
    }
    void AppendLine(const wchar_t* text, bool fault) override {
        effects.push_back((fault ? L"FAULT " : L"line ") + std::wstring(text));
    }
    void NotifyPressed(ScanCode code) override {
        effects.push_back(L"pressed " + std::to_wstring(code));
        ::NotifyPressed(layout_, this, code);
    }
    void NotifyReleased(ScanCode code) override {
        effects.push_back(L"released " + std::to_wstring(code));
        ::NotifyReleased(layout_, this, code);
    }
    void NotifyFault(ScanCode code) override {
        effects.push_back(L"fault " + std::to_wstring(code));
        ::NotifyFault(layout_, this, code);
    }
    void RefreshLockIndicator(LockKey lock) override {
        effects.push_back(std::wstring(L"lamp ") + LockKeyName(lock));
    }
    int GetLayoutStatus() const override { return status; }
    void SetLayoutStatus(int value) override { status = value; }
    void UpdateLayoutStatus() override { effects.push_back(L"status " + std::to_wstring(status)); }
    void RedrawKey(LayoutKey&) override { ++redraws; }

    std::vector<std::wstring> Take() {
        std::vector<std::wstring> taken;
        taken.swap(effects);
        return taken;
    }

    std::vector<std::wstring> effects;
    std::map<int, std::wstring> fields;
    int status = 2;
    int redraws = 0;

private:
    KeyboardLayout& layout_;
};

LayoutKey MakeKey(ScanCode code, const wchar_t* name) {
    LayoutKey key;
    key.scanCode = code;
    key.name = name;
    return key;
}

class EngineTest : public ::testing::Test {
protected:
    EngineTest() {
        for (const auto& [code, name] : std::initializer_list<std::pair<ScanCode, const wchar_t*>>{
                 {0x1E, L"A"}, {0x2A, L"LShift"}, {0xE048, L"Up"}, {0x3A, L"Caps"}}) {
            layout.keys.push_back(MakeKey(code, name));
        }
        layout.ComputeExtent();
        names.Rebuild(layout);
    }

    // Queues a record as decoding would (make code and flags as received) and handles it.
    // Make and Break take whole milliseconds, MakeUs and BreakUs the clock's microseconds.
    void MakeUs(std::uint16_t make, std::uint16_t vkey, std::int64_t time,
                std::uint16_t flags = 0) {
        queue.push_back(KeyEvent{make, flags, vkey, time});
        engine.OnKeyMake(queue.size() - 1);
    }
    void BreakUs(std::uint16_t make, std::uint16_t vkey, std::int64_t time,
                 std::uint16_t flags = 0) {
        queue.push_back(
            KeyEvent{make, static_cast<std::uint16_t>(flags | kRawFlagBreak), vkey, time});
        engine.OnKeyBreak(queue.size() - 1);
    }
    void Make(std::uint16_t make, std::uint16_t vkey, std::int64_t ms, std::uint16_t flags = 0) {
        MakeUs(make, vkey, ms * 1000, flags);
    }
    void Break(std::uint16_t make, std::uint16_t vkey, std::int64_t ms, std::uint16_t flags = 0) {
        BreakUs(make, vkey, ms * 1000, flags);
    }
    std::int32_t StateOf(ScanCode code) { return layout.FindKey(code)->state; }

    KeyboardLayout layout;
    KeyNameTable names;
    RemapTable remap;
    KeyEventQueue queue;
    RecordingPage page{layout};
    std::uint32_t threshold = 8;
    KeyTestEngine engine{queue, names, remap, page, [this] { return threshold; }};
};

using Effects = std::vector<std::wstring>;

} // namespace

TEST_F(EngineTest, PressAndReleaseWriteTheirLinesFieldsAndStates) {
    Make(0x1E, 0x41, 1000);
    EXPECT_EQ(page.Take(), (Effects{L"line A (0x41, BIOS 0x1E) DOWN", L"pressed 30", L"held [ A  ]",
                                    L"status 3"}));
    EXPECT_EQ(page.fields[kFieldLastDownName], L" A");
    EXPECT_EQ(page.fields[kFieldLastDownWinCode], L" 65 (0x41)");
    EXPECT_EQ(page.fields[kFieldLastDownBiosCode], L" 30 (0x1e)");
    EXPECT_EQ(StateOf(0x1E), Depressed);

    Break(0x1E, 0x41, 1095);
    EXPECT_EQ(page.Take(),
              (Effects{L"released 30", L"line A (0x41, BIOS 0x1E) UP -> 95ms", L"held [ ]"}));
    EXPECT_EQ(page.fields[kFieldLastUpName], L" A");
    EXPECT_EQ(page.fields[kFieldLastUpWinCode], L" 65 (0x41)");
    EXPECT_EQ(page.fields[kFieldLastUpBiosCode], L" 30 (0x1e)");
    EXPECT_EQ(StateOf(0x1E), Pressed);
    EXPECT_EQ(page.redraws, 2);
}

TEST_F(EngineTest, ChatterBoundaryIsStrictlyBelowTheThreshold) {
    CapturedLog log;
    Make(0x1E, 0x41, 900);
    Break(0x1E, 0x41, 1000);
    page.Take();
    Make(0x1E, 0x41, 1007); // 7 ms at threshold 8: chatter
    EXPECT_EQ(page.Take(), (Effects{L"line A (0x41, BIOS 0x1E) DOWN", L"fault 30",
                                    L"FAULT A (0x41, BIOS 0x1E) CHATTER DETECTED -> 7ms",
                                    L"pressed 30", L"held [ A  ]"}));
    EXPECT_EQ(log.Text(), L">>> Fault detected, key depressed 7ms after release.\n");
    EXPECT_EQ(StateOf(0x1E), AlarmDepressed);
    Break(0x1E, 0x41, 1050);
    EXPECT_EQ(StateOf(0x1E), Alarm);
    page.Take();
    log.Clear();

    Make(0x1E, 0x41, 1058); // exactly 8 ms: no fault
    EXPECT_EQ(page.Take(),
              (Effects{L"line A (0x41, BIOS 0x1E) DOWN", L"pressed 30", L"held [ A  ]"}));
    EXPECT_EQ(log.Text(), L"");
    EXPECT_EQ(StateOf(0x1E), AlarmDepressed); // the fault stays visible
}

TEST_F(EngineTest, TheExactIntervalDecidesAndTheLineShowsItTruncated) {
    CapturedLog log;
    MakeUs(0x1E, 0x41, 900000);
    BreakUs(0x1E, 0x41, 1000000);
    page.Take();
    MakeUs(0x1E, 0x41, 1007999); // 7.999 ms: chatter, shown as 7 ms
    EXPECT_EQ(page.Take()[2], L"FAULT A (0x41, BIOS 0x1E) CHATTER DETECTED -> 7ms");
    EXPECT_EQ(log.Text(), L">>> Fault detected, key depressed 7ms after release.\n");
    BreakUs(0x1E, 0x41, 1102998); // held 94.999 ms
    EXPECT_EQ(page.Take()[1], L"line A (0x41, BIOS 0x1E) UP -> 94ms");
    log.Clear();
    MakeUs(0x1E, 0x41, 1110998); // 8.000 ms: no fault
    EXPECT_EQ(page.Take().size(), 3u);
    EXPECT_EQ(log.Text(), L"");
    // A hold that ran backwards by 1.5 ms keeps its sign.
    BreakUs(0x1E, 0x41, 1109498);
    EXPECT_EQ(page.Take()[1], L"line A (0x41, BIOS 0x1E) UP -> -1ms");
    const KeyStatistics& figures = engine.Statistics();
    EXPECT_EQ(figures.Find(0x1E)->shortestChatter, 7999);
    EXPECT_EQ(figures.Find(0x1E)->shortestHold, -1500);
    EXPECT_EQ(figures.Gaps(), (std::vector<std::int64_t>{7999, 8000}));
}

TEST_F(EngineTest, ThresholdIsReadAtEachMake) {
    Make(0x1E, 0x41, 0);
    Break(0x1E, 0x41, 100);
    threshold = 0; // no interval is below 0
    Make(0x1E, 0x41, 100);
    Break(0x1E, 0x41, 200);
    threshold = 4000000000u;
    page.Take();
    Make(0x1E, 0x41, 3000000); // 50 minutes later, still below the threshold
    EXPECT_EQ(page.Take()[2], L"FAULT A (0x41, BIOS 0x1E) CHATTER DETECTED -> 2999800ms");
}

TEST_F(EngineTest, IntervalsBeyondThirtyTwoBitsAreExactAndPrintAsThirtyTwoBits) {
    // Past 2^32 ms of the clock the gap is still the true one.
    Make(0x1E, 0x41, 0x100000000);
    Break(0x1E, 0x41, 0x100000002);
    page.Take();
    Make(0x1E, 0x41, 0x100000008);
    EXPECT_EQ(page.Take()[2], L"FAULT A (0x41, BIOS 0x1E) CHATTER DETECTED -> 6ms");
    Break(0x1E, 0x41, 0x100000010);
    page.Take();
    Make(0x1E, 0x41, 4);
    page.Take();
    // Hold times of 2^31 ms and more come out negative through %d.
    Break(0x1E, 0x41, 0x80000004u);
    EXPECT_EQ(page.Take()[1], L"line A (0x41, BIOS 0x1E) UP -> -2147483648ms");
    // Time running backwards: a negative interval, so no chatter.
    Make(0x1E, 0x41, 0x80000000u);
    EXPECT_EQ(page.Take()[0], L"line A (0x41, BIOS 0x1E) DOWN");
    Break(0x1E, 0x41, 0x7FFFFFFFu);
    EXPECT_EQ(page.Take()[1], L"line A (0x41, BIOS 0x1E) UP -> -1ms");
}

TEST_F(EngineTest, TypematicRepeatsRefreshFieldsOnly) {
    Make(0x1E, 0x41, 100);
    page.Take();
    page.fields.clear();
    Make(0x1E, 0x41, 600);
    Make(0x1E, 0x41, 633);
    EXPECT_TRUE(page.Take().empty());
    EXPECT_EQ(page.fields[kFieldLastDownName], L" A");
    EXPECT_EQ(page.fields[kFieldLastDownBiosCode], L" 30 (0x1e)");
    Break(0x1E, 0x41, 700);
    EXPECT_EQ(page.Take()[1], L"line A (0x41, BIOS 0x1E) UP -> 600ms");
}

TEST_F(EngineTest, ExtendedCodesAreCompletedInTheQueue) {
    Make(0x48, 0x26, 10, kRawFlagE0);
    EXPECT_EQ(queue.back().code, 0xE048);
    EXPECT_EQ(page.Take()[0], L"line Up (0x26, BIOS 0xE048) DOWN");
    EXPECT_EQ(page.fields[kFieldLastDownBiosCode], L" 72 (0x48)");
    EXPECT_EQ(page.fields[kFieldLastDownWinCode], L" 38 (0x26)");
    EXPECT_EQ(StateOf(0xE048), Depressed);
    // E1: Pause; the field drops the prefix byte, the line keeps it.
    Make(0x1D, 0x13, 20, kRawFlagE1);
    EXPECT_EQ(page.Take()[0], L"line Pause (0x13, BIOS 0xE11D) DOWN");
    EXPECT_EQ(page.fields[kFieldLastDownBiosCode], L" 29 (0x1d)");
    // Both prefixes: E0 wins.
    Make(0x1C, 0x0D, 30, kRawFlagE0 | kRawFlagE1);
    EXPECT_EQ(page.Take()[0], L"line Numpad Enter (0x0D, BIOS 0xE01C) DOWN");
}

TEST_F(EngineTest, HeldKeysLineKeepsPressOrderAndUpperCase) {
    Make(0x2A, 0x10, 0);
    Make(0x1E, 0x41, 5);
    EXPECT_EQ(page.fields[kFieldHeldKeys], L" LSHIFT  A  ");
    Make(0x2A, 0x10, 500); // repeat: no rewrite, no duplicate
    Break(0x1E, 0x41, 600);
    EXPECT_EQ(page.fields[kFieldHeldKeys], L" LSHIFT  ");
    Break(0x2A, 0x10, 700);
    EXPECT_EQ(page.fields[kFieldHeldKeys], L" ");
}

TEST_F(EngineTest, UnknownCodesAndBreaksWithoutMakes) {
    CapturedLog log;
    // Never seen: the duration is the event's own time; the view reports the bad move.
    Break(0x1E, 0x41, 1234);
    EXPECT_EQ(page.Take(),
              (Effects{L"released 30", L"line A (0x41, BIOS 0x1E) UP -> 1234ms", L"held [ ]"}));
    EXPECT_EQ(log.Text(), L"NotifyReleased:  Invalid state, key hasn't been pressed!\n");
    EXPECT_EQ(StateOf(0x1E), Unpressed);
    // Two breaks: the second measures from the first.
    Break(0x1E, 0x41, 1300);
    EXPECT_EQ(page.Take()[1], L"line A (0x41, BIOS 0x1E) UP -> 66ms");

    // A code with no name anywhere: the line starts with a space.
    Make(0x36, 0xA1, 50, kRawFlagE0);
    EXPECT_EQ(page.Take()[0], L"line  (0xA1, BIOS 0xE036) DOWN");
    EXPECT_EQ(page.fields[kFieldLastDownName], L" ");
    Make(0x00, 0x00, 60);
    EXPECT_EQ(page.Take()[0], L"line  (0x00, BIOS 0x00) DOWN");
    Make(0xFFFF, 0xFFFF, 70);
    EXPECT_EQ(page.Take()[0], L"line  (0xFFFF, BIOS 0xFFFF) DOWN");
    EXPECT_EQ(page.fields[kFieldLastDownWinCode], L"65535 (0xffff)");
    EXPECT_EQ(page.fields[kFieldLastDownBiosCode], L"4351 (0x10ff)");
    // An index that was never queued is not an event: nothing happens.
    engine.OnKeyMake(queue.size());
    engine.OnKeyBreak(queue.size() + 100);
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(EngineTest, LockLampsFollowTranslatedCodes) {
    page.status = 3;
    Make(0x3A, 0x14, 0);
    EXPECT_EQ(page.Take().back(), L"lamp Caps Lock");
    const std::pair<std::uint16_t, const wchar_t*> cases[] = {
        {0x58, L"lamp Caps Lock"},   {0x45, L"lamp Num Lock"},    {0xC5, L"lamp Num Lock"},
        {0x46, L"lamp Scroll Lock"}, {0xC6, L"lamp Scroll Lock"},
    };
    for (const auto& [make, lamp] : cases) {
        Make(make, 0, 100);
        EXPECT_EQ(page.Take().back(), lamp) << make;
    }
    // Repeats refresh too; prefixed codes and breaks do not.
    Make(0x3A, 0x14, 200);
    EXPECT_EQ(page.Take(), (Effects{L"lamp Caps Lock"}));
    Make(0x45, 0x90, 300, kRawFlagE0);
    Break(0x3A, 0x14, 400);
    for (const std::wstring& effect : page.Take()) {
        EXPECT_EQ(effect.find(L"lamp"), std::wstring::npos) << effect;
    }

    // Caps Lock moved to Left Ctrl: a Left Ctrl press refreshes the Caps Lock lamp.
    const std::uint8_t map[] = {0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0x1D, 0, 0x3A, 0, 0, 0, 0, 0};
    CapturedLog log;
    ASSERT_TRUE(remap.ReadScancodeMap(map, sizeof map));
    Make(0x1D, 0x11, 500);
    EXPECT_EQ(page.Take().back(), L"lamp Caps Lock");
}

TEST_F(EngineTest, LayoutStatusMovesOnTheFirstPress) {
    const std::pair<int, int> moves[] = {{0, 0}, {1, 3}, {2, 3}, {3, 3},
                                         {4, 7}, {5, 7}, {6, 6}, {7, 7}};
    for (const auto& [from, to] : moves) {
        EXPECT_EQ(LayoutStatusAfterKeyPress(from), to) << from;
    }
    page.status = 5;
    Make(0x1E, 0x41, 0);
    EXPECT_EQ(page.Take().back(), L"status 7");
    Make(0x30, 0x42, 10);
    EXPECT_EQ(page.Take().back(), L"held [ A  B  ]"); // no status update once active
    page.status = 2;
    Break(0x1E, 0x41, 20); // breaks leave the status alone
    EXPECT_EQ(page.status, 2);
}

TEST_F(EngineTest, TimingsSurviveALayoutReset) {
    Make(0x1E, 0x41, 0);
    Break(0x1E, 0x41, 100);
    layout.ResetKeyStates();
    page.Take();
    CapturedLog log;
    Make(0x1E, 0x41, 103);
    EXPECT_EQ(page.Take()[2], L"FAULT A (0x41, BIOS 0x1E) CHATTER DETECTED -> 3ms");
    EXPECT_EQ(log.Text(), L"NotifyFault:  Invalid state.\n"
                          L">>> Fault detected, key depressed 3ms after release.\n");
    EXPECT_EQ(StateOf(0x1E), Depressed);
}

TEST_F(EngineTest, KeysWhoseReleaseWasMissedAreReleasedOnReturn) {
    // A and LShift held, then the page loses the foreground; A is released elsewhere.
    Make(0x2A, 0xA0, 1000);
    Make(0x1E, 0x41, 1010);
    page.Take();
    engine.ReleaseKeysMissedWhileAway(5000000, nullptr);
    EXPECT_EQ(page.Take(),
              (Effects{L"released 42",
                       L"line LShift (0xA0, BIOS 0x2A) UP (released "
                       L"while away)",
                       L"held [ A  ]", L"released 30",
                       L"line A (0x41, BIOS 0x1E) UP (released while away)", L"held [ ]"}));
    EXPECT_EQ(StateOf(0x1E), Pressed);
    EXPECT_FALSE(engine.IsHeld(0x1E));

    // The next real press, soon after the made-up release time: a normal DOWN, no chatter.
    CapturedLog log;
    Make(0x1E, 0x41, 5002);
    EXPECT_EQ(page.Take(),
              (Effects{L"line A (0x41, BIOS 0x1E) DOWN", L"pressed 30", L"held [ A  ]"}));
    EXPECT_EQ(log.Text(), L"");
    EXPECT_EQ(StateOf(0x1E), Depressed);
    // Its release measures from this press, and the chatter rule is back for the next one.
    Break(0x1E, 0x41, 5102);
    EXPECT_EQ(page.Take()[1], L"line A (0x41, BIOS 0x1E) UP -> 100ms");
    Make(0x1E, 0x41, 5105);
    EXPECT_EQ(page.Take()[2], L"FAULT A (0x41, BIOS 0x1E) CHATTER DETECTED -> 3ms");
}

TEST_F(EngineTest, KeysStillDownOnReturnStayHeld) {
    Make(0x2A, 0xA0, 0);
    Make(0x48, 0x26, 5, kRawFlagE0);
    page.Take();
    std::vector<std::pair<ScanCode, std::uint16_t>> asked;
    engine.ReleaseKeysMissedWhileAway(900000, [&](ScanCode code, std::uint16_t virtualKey) {
        asked.emplace_back(code, virtualKey);
        return code == 0x2A;
    });
    EXPECT_EQ(asked,
              (std::vector<std::pair<ScanCode, std::uint16_t>>{{0x2A, 0xA0}, {0xE048, 0x26}}));
    EXPECT_EQ(page.Take(),
              (Effects{L"released 57416", L"line Up (0x26, BIOS 0xE048) UP (released while away)",
                       L"held [ LSHIFT  ]"}));
    EXPECT_TRUE(engine.IsHeld(0x2A));
    // Its repeat is still a repeat, its release an ordinary UP from the first press.
    Make(0x2A, 0xA0, 950);
    EXPECT_TRUE(page.Take().empty());
    Break(0x2A, 0xA0, 1000);
    EXPECT_EQ(page.Take()[1], L"line LShift (0xA0, BIOS 0x2A) UP -> 1000ms");
    // Nothing held: a return writes nothing.
    engine.ReleaseKeysMissedWhileAway(2000000, nullptr);
    EXPECT_TRUE(page.Take().empty());
}

TEST_F(EngineTest, ForgettingAllKeysStartsAfresh) {
    Make(0x1E, 0x41, 0);
    Break(0x1E, 0x41, 100);
    Make(0x2A, 0xA0, 100);
    engine.ForgetAllKeys();
    EXPECT_TRUE(engine.Held().empty());
    EXPECT_TRUE(engine.Timings().empty());
    page.Take();
    Make(0x1E, 0x41, 101); // no release on record: no chatter
    EXPECT_EQ(page.Take()[0], L"line A (0x41, BIOS 0x1E) DOWN");
    EXPECT_EQ(page.fields[kFieldHeldKeys], L" A  ");
}

TEST(KeyLineFormat, MatchesPrintfForEveryWidth) {
    const unsigned values[] = {0, 1, 9, 10, 99, 100, 255, 256, 999, 1000, 4351, 65535};
    for (unsigned value : values) {
        wchar_t expected[64];
        std::swprintf(expected, 64, L"%3d (0x%02x)", static_cast<int>(value), value);
        wchar_t buffer[64];
        BoundedText text(buffer, 64);
        FormatCodeField(text, value);
        EXPECT_STREQ(text.Text(), expected);

        std::swprintf(expected, 64, L"%ls (0x%02X, BIOS 0x%02X) UP -> %dms", L"K", value, value,
                      static_cast<std::int32_t>(value * 40503u));
        BoundedText line(buffer, 64);
        FormatKeyLine(line, KeyLineKind::Up, L"K", static_cast<std::uint16_t>(value),
                      static_cast<ScanCode>(value), value * 40503u);
        EXPECT_STREQ(line.Text(), expected);
    }
}

TEST(KeyLineFormat, OverLongNamesAreCutToTheBuffer) {
    const std::wstring longName(5000, L'x');
    wchar_t buffer[kFormatBufferSize + 1];
    buffer[kFormatBufferSize] = L'#'; // guard just past the buffer
    BoundedText line(buffer, kFormatBufferSize);
    FormatKeyLine(line, KeyLineKind::Chatter, longName, 0x41, 0x1E, 5);
    EXPECT_EQ(line.Length(), kFormatBufferSize - 1);
    const std::wstring text = line.Text();
    const std::wstring suffix = L" (0x41, BIOS 0x1E) CHATTER DETECTED -> 5ms";
    EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
    EXPECT_EQ(buffer[kFormatBufferSize], L'#');

    BoundedText field(buffer, kFormatBufferSize);
    FormatNameField(field, longName);
    EXPECT_EQ(field.Length(), kFormatBufferSize - 1);
    EXPECT_EQ(field.Text()[0], L' ');

    KeyboardLayout layout;
    for (ScanCode code = 1; code <= 3; ++code) {
        LayoutKey key;
        key.scanCode = code;
        key.name = std::wstring(600, L'q');
        layout.keys.push_back(key);
    }
    KeyNameTable names;
    names.Rebuild(layout);
    BoundedText held(buffer, kFormatBufferSize);
    FormatHeldKeys(held, HeldKeys{1, 2, 3}, names);
    EXPECT_EQ(held.Length(), kFormatBufferSize - 1);
    EXPECT_EQ(std::wstring(held.Text()).substr(0, 3), L" QQ");
    EXPECT_EQ(buffer[kFormatBufferSize], L'#');
}

TEST(KeyTestEngineSettings, WithoutASourceTheSettingIsReadAtEachMake) {
    KeyboardLayout layout;
    KeyNameTable names;
    RemapTable remap;
    KeyEventQueue queue;
    RecordingPage page{layout};
    KeyTestEngine engine(queue, names, remap, page, nullptr);
    const std::int32_t saved = Settings().ChatterThreshold;
    // gap in milliseconds; the queue holds microseconds.
    const auto pressAgainAfter = [&](std::int64_t gap) {
        const std::int64_t start = queue.empty() ? 0 : queue.back().time + 1000000;
        queue.push_back(KeyEvent{0x1E, 0, 0x41, start});
        engine.OnKeyMake(queue.size() - 1);
        queue.push_back(KeyEvent{0x1E, kRawFlagBreak, 0x41, start + 50000});
        engine.OnKeyBreak(queue.size() - 1);
        queue.push_back(KeyEvent{0x1E, 0, 0x41, start + 50000 + gap * 1000});
        page.Take();
        engine.OnKeyMake(queue.size() - 1);
        queue.push_back(KeyEvent{0x1E, kRawFlagBreak, 0x41, start + 100000 + gap * 1000});
        engine.OnKeyBreak(queue.size() - 1);
        for (const std::wstring& effect : page.Take()) {
            if (effect.rfind(L"FAULT", 0) == 0) {
                return true;
            }
        }
        return false;
    };
    Settings().ChatterThreshold = 8;
    EXPECT_TRUE(pressAgainAfter(7));
    EXPECT_FALSE(pressAgainAfter(8));
    Settings().ChatterThreshold = 20;
    EXPECT_TRUE(pressAgainAfter(19));
    // Below 0 the check is off: read unsigned, every second press would be a fault.
    Settings().ChatterThreshold = -1;
    EXPECT_FALSE(pressAgainAfter(100000));
    EXPECT_FALSE(pressAgainAfter(0));
    Settings().ChatterThreshold = saved;
}

TEST_F(EngineTest, AReleaseMadeUpOnReturnIsNoHoldMeasurement) {
    Make(0x1E, 0x41, 1000);
    engine.ReleaseKeysMissedWhileAway(9000000, nullptr);
    Break(0x1E, 0x41, 9500); // a stray break after the made-up release
    const KeyCodeStatistics* a = engine.Statistics().Find(0x1E);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->presses, 1u);
    EXPECT_EQ(a->holds, 0u);
    // The next real press and release are measured as usual.
    Make(0x1E, 0x41, 10000);
    Break(0x1E, 0x41, 10080);
    EXPECT_EQ(a->presses, 2u);
    EXPECT_EQ(a->holds, 1u);
    EXPECT_EQ(a->longestHold, 80000);
}
