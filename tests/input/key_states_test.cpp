#include "input/key_states.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingView final : public KeyView {
public:
    void RedrawKey(LayoutKey& key) override { redrawn.push_back(key.scanCode); }
    std::vector<ScanCode> redrawn;
};

LayoutKey MakeKey(ScanCode code, const wchar_t* name) {
    LayoutKey key;
    key.scanCode = code;
    key.name = name;
    return key;
}

KeyboardLayout MakeLayout(std::initializer_list<ScanCode> codes) {
    KeyboardLayout layout;
    for (ScanCode code : codes) {
        layout.keys.push_back(MakeKey(code, L""));
    }
    layout.ComputeExtent();
    return layout;
}

struct Step {
    KeyNotification notification;
    std::int32_t expected;
    const wchar_t* message; // L"" for none
};

void RunSequence(std::int32_t start, std::initializer_list<Step> steps) {
    KeyboardLayout layout = MakeLayout({0x1E});
    layout.keys.front().state = start;
    RecordingView view;
    std::int32_t state = start;
    for (const Step& step : steps) {
        CapturedLog log;
        NotifyKey(layout, &view, 0x1E, step.notification);
        EXPECT_EQ(layout.keys.front().state, step.expected)
            << "from " << state << " on " << static_cast<int>(step.notification);
        EXPECT_EQ(log.Text(), step.message);
        state = layout.keys.front().state;
    }
    EXPECT_EQ(view.redrawn.size(), steps.size()); // redrawn whenever the key was found
}

} // namespace

TEST(KeyStateMachine, EveryCellOfTheTransitionTable) {
    using N = KeyNotification;
    const wchar_t* const alreadyPressed = L"NotifyPressed:  key already pressed.\n";
    const wchar_t* const notPressed = L"NotifyReleased:  Invalid state, key hasn't been pressed!\n";
    const wchar_t* const alreadyReleased =
        L"NotifyReleased:  Invalid state, key is already released.\n";
    const wchar_t* const faultInvalid = L"NotifyFault:  Invalid state.\n";
    struct Cell {
        std::int32_t from;
        N notification;
        std::int32_t to;
        const wchar_t* message;
    };
    const Cell cells[] = {
        {Unpressed, N::Pressed, Depressed, nullptr},
        {Unpressed, N::Released, Unpressed, notPressed},
        {Unpressed, N::Fault, Unpressed, faultInvalid},
        {Depressed, N::Pressed, Depressed, alreadyPressed},
        {Depressed, N::Released, Pressed, nullptr},
        {Depressed, N::Fault, AlarmDepressed, nullptr},
        {Pressed, N::Pressed, Depressed, nullptr},
        {Pressed, N::Released, Pressed, alreadyReleased},
        {Pressed, N::Fault, Alarm, nullptr},
        {AlarmDepressed, N::Pressed, AlarmDepressed, alreadyPressed},
        {AlarmDepressed, N::Released, Alarm, nullptr},
        {AlarmDepressed, N::Fault, AlarmDepressed, nullptr},
        {Alarm, N::Pressed, AlarmDepressed, nullptr},
        {Alarm, N::Released, Alarm, alreadyReleased},
        {Alarm, N::Fault, Alarm, nullptr},
        // A key a test plan skips stays skipped, silently.
        {Skipped, N::Pressed, Skipped, nullptr},
        {Skipped, N::Released, Skipped, nullptr},
        {Skipped, N::Fault, Skipped, nullptr},
        {6, N::Pressed, 6, L"NotifyPressed:  Invalid state.\n"},
        {-1, N::Released, -1, L"NotifyReleased:  Invalid state.\n"},
        {99, N::Fault, 99, faultInvalid},
    };
    for (const Cell& cell : cells) {
        const KeyTransition transition = TransitionFor(cell.from, cell.notification);
        EXPECT_EQ(transition.state, cell.to)
            << cell.from << " " << static_cast<int>(cell.notification);
        if (cell.message == nullptr) {
            EXPECT_EQ(transition.message, nullptr) << cell.from;
        } else {
            ASSERT_NE(transition.message, nullptr) << cell.from;
            EXPECT_STREQ(transition.message, cell.message);
        }
    }
}

TEST(KeyStateMachine, PressReleaseAndChatterSequences) {
    using N = KeyNotification;
    // Press, release.
    RunSequence(Unpressed, {{N::Pressed, Depressed, L""}, {N::Released, Pressed, L""}});
    // Press, release, chatter press (fault then press), release: ends in Alarm.
    RunSequence(Unpressed, {{N::Pressed, Depressed, L""},
                    {N::Released, Pressed, L""},
                    {N::Fault, Alarm, L""},
                    {N::Pressed, AlarmDepressed, L""},
                    {N::Released, Alarm, L""}});
    // A faulty key pressed again slowly keeps its fault.
    RunSequence(Alarm, {{N::Pressed, AlarmDepressed, L""}, {N::Released, Alarm, L""}});
    // A key reset while down: its release is invalid and it stays untested, still redrawn.
    RunSequence(Unpressed,
        {{N::Released, Unpressed, L"NotifyReleased:  Invalid state, key hasn't been pressed!\n"}});
    // A chatter fault after a reset: reported, then the press counts as a good one.
    RunSequence(Unpressed, {{N::Fault, Unpressed, L"NotifyFault:  Invalid state.\n"},
                    {N::Pressed, Depressed, L""},
                    {N::Released, Pressed, L""}});
}

TEST(KeyStateMachine, PauseAndBreakShareOneKey) {
    KeyboardLayout pauseOnly = MakeLayout({0x1D, kScanCodePause});
    EXPECT_EQ(SubstitutePauseBreak(pauseOnly, kScanCodeBreak), kScanCodePause);
    EXPECT_EQ(SubstitutePauseBreak(pauseOnly, kScanCodePause), kScanCodePause);
    EXPECT_EQ(SubstitutePauseBreak(pauseOnly, 0x1D), 0x1D);
    RecordingView view;
    NotifyPressed(pauseOnly, &view, kScanCodeBreak);
    EXPECT_EQ(pauseOnly.keys.back().state, Depressed);
    EXPECT_EQ(pauseOnly.keys.front().state, Unpressed);

    KeyboardLayout breakOnly = MakeLayout({0x1D, kScanCodeBreak});
    EXPECT_EQ(SubstitutePauseBreak(breakOnly, kScanCodePause), kScanCodeBreak);
    NotifyPressed(breakOnly, &view, kScanCodePause);
    EXPECT_EQ(breakOnly.keys.back().state, Depressed);
    // Left Ctrl is never taken for the Pause key's 0x1D.
    NotifyPressed(breakOnly, &view, 0x1D);
    EXPECT_EQ(breakOnly.keys.front().state, Depressed);

    KeyboardLayout both = MakeLayout({kScanCodePause, kScanCodeBreak});
    EXPECT_EQ(SubstitutePauseBreak(both, kScanCodePause), kScanCodePause);
    EXPECT_EQ(SubstitutePauseBreak(both, kScanCodeBreak), kScanCodeBreak);
    // Neither key: each code becomes the other and still finds nothing.
    KeyboardLayout neither = MakeLayout({0x1E});
    EXPECT_EQ(SubstitutePauseBreak(neither, kScanCodePause), kScanCodeBreak);
    EXPECT_EQ(SubstitutePauseBreak(neither, kScanCodeBreak), kScanCodePause);
}

TEST(KeyStateMachine, OnlyTheFirstKeyWithTheCodeChangesAndMissingCodesAreSilent) {
    KeyboardLayout layout = MakeLayout({0x1E, 0x30, 0x1E});
    RecordingView view;
    CapturedLog log;
    NotifyPressed(layout, &view, 0x1E);
    EXPECT_EQ(layout.keys.front().state, Depressed);
    EXPECT_EQ(layout.keys.back().state, Unpressed);
    ASSERT_EQ(view.redrawn.size(), 1u);

    NotifyReleased(layout, &view, 0xE036);
    NotifyFault(layout, &view, 0xFFFF);
    NotifyPressed(layout, nullptr, 0x0000);
    EXPECT_EQ(view.redrawn.size(), 1u);
    EXPECT_EQ(log.Text(), L"");
}
