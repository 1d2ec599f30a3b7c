#include "input/background_key_filter.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

RawKeyRecord Down(std::uint16_t code, std::uint16_t prefix = 0) {
    return RawKeyRecord{code, prefix, 0, 1};
}

RawKeyRecord Up(std::uint16_t code, std::uint16_t prefix = 0) {
    return RawKeyRecord{code, static_cast<std::uint16_t>(prefix | kRawFlagBreak), 0, 1};
}

} // namespace

TEST(BackgroundKeyFilter, TakesEverythingInTheForegroundAndOnlyReleasesOfKeysDownHereBehind) {
    BackgroundKeyFilter filter;
    EXPECT_TRUE(filter.Take(Down(0x1E), false));
    EXPECT_TRUE(filter.Take(Down(0x1C, kRawFlagE0), false)); // Numpad Enter
    // Typing elsewhere.
    EXPECT_FALSE(filter.Take(Down(0x30), true));
    EXPECT_FALSE(filter.Take(Up(0x30), true));
    EXPECT_FALSE(filter.Take(Down(0x1E), true));
    // Enter is not Numpad Enter.
    EXPECT_FALSE(filter.Take(Up(0x1C), true));
    EXPECT_TRUE(filter.Take(Up(0x1C, kRawFlagE0), true));
    EXPECT_TRUE(filter.Take(Up(0x1E), true));
    // Released once: the same key's next release elsewhere is the other program's.
    EXPECT_FALSE(filter.Take(Up(0x1E), true));
    EXPECT_EQ(filter.Taken(), 4u);
}

TEST(BackgroundKeyFilter, FollowsThePauseSequenceAndIgnoresFakeShifts) {
    BackgroundKeyFilter filter;
    // Pause pressed here, released elsewhere: E1 1D and its trailing 0x45 are both taken, so
    // the decoder ends the sequence as it began it.
    EXPECT_TRUE(filter.Take(Down(0x1D, kRawFlagE1), false));
    EXPECT_TRUE(filter.Take(Down(0x45), false));
    EXPECT_FALSE(filter.IsDown(0x45));
    EXPECT_TRUE(filter.Take(Up(0x1D, kRawFlagE1), true));
    EXPECT_TRUE(filter.Take(Up(0x45), true));
    // Num Lock pressed elsewhere afterwards is not awaited any more.
    EXPECT_FALSE(filter.Take(Up(0x45), true));
    // A fake shift around an E0 key is no key: its release elsewhere is not taken.
    EXPECT_TRUE(filter.Take(Down(0x2A, kRawFlagE0), false));
    EXPECT_FALSE(filter.IsDown(0xE02A));
    EXPECT_FALSE(filter.Take(Up(0x2A, kRawFlagE0), true));
}

TEST(BackgroundKeyFilter, KeepsKeysPressedAfterWhatTheWindowHasHandled) {
    BackgroundKeyFilter filter;
    filter.Take(Down(0x1E), false); // record 0
    filter.Take(Down(0x1F), false); // record 1
    filter.Take(Down(0x20), false); // record 2, not yet handled by the window
    // The window handled two records and holds S only: A was released where it could not see.
    filter.KeepDownOnly({0x1F}, 2);
    EXPECT_FALSE(filter.IsDown(0x1E));
    EXPECT_TRUE(filter.IsDown(0x1F));
    EXPECT_TRUE(filter.IsDown(0x20));
    EXPECT_FALSE(filter.Take(Up(0x1E), true));
    EXPECT_TRUE(filter.Take(Up(0x20), true));
}

TEST(BackgroundKeyFilter, DecidesAsTheDecoderWouldOnAnySequence) {
    // The decoder sees exactly the records the filter takes; wherever it would have to decide a
    // background record itself, the two agree.
    std::mt19937 random(20);
    const std::uint16_t codes[] = {0x1D, 0x1E, 0x2A, 0x36, 0x45, 0x48, 0xAA};
    const std::uint16_t flags[] = {0, kRawFlagE0, kRawFlagE1, kRawFlagE0 | kRawFlagE1};
    CapturedLog quiet;
    for (int run = 0; run < 50; ++run) {
        BackgroundKeyFilter filter;
        RawKeyDecoder decoder;
        KeyEventQueue queue;
        for (int i = 0; i < 400; ++i) {
            RawKeyRecord record{codes[random() % 7],
                                static_cast<std::uint16_t>(flags[random() % 4] | (random() % 2)), 0,
                                1};
            const bool background = random() % 3 == 0;
            const bool taken = filter.Take(record, background);
            if (background) {
                ASSERT_EQ(taken, decoder.TakesBackgroundRecord(record))
                    << "run " << run << " record " << i;
            }
            if (taken) {
                decoder.Decode(record, 0, queue);
            }
        }
    }
}
