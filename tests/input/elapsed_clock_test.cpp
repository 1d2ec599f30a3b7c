#include "input/elapsed_clock.h"

#include <gtest/gtest.h>

#include <limits>

TEST(ElapsedClock, CounterReadingsTruncateTowardZero) {
    EXPECT_EQ(CounterElapsedMilliseconds(500, 500, 10'000'000), 0u);
    EXPECT_EQ(CounterElapsedMilliseconds(0, 9'999, 10'000'000), 0u);
    EXPECT_EQ(CounterElapsedMilliseconds(0, 10'000, 10'000'000), 1u);
    EXPECT_EQ(CounterElapsedMilliseconds(1'000, 1'000 + 3'579'545 * 2 + 3'579, 3'579'545), 2000u);
    // Only the distance counts, not where the counter started.
    EXPECT_EQ(CounterElapsedMilliseconds(std::numeric_limits<std::int64_t>::max() - 30'000,
                                         std::numeric_limits<std::int64_t>::max(), 10'000'000),
              3u);
}

TEST(ElapsedClock, CounterDistancesBeyondTheProductRangeStayExact) {
    // 40 days at 3 GHz: the distance times 1000 no longer fits 64 bits.
    const std::int64_t frequency = 3'000'000'000;
    const std::int64_t fortyDays = 40LL * 24 * 3600 * frequency + frequency / 2;
    const std::uint64_t expected = 40ULL * 24 * 3600 * 1000 + 500;
    EXPECT_EQ(CounterElapsedMilliseconds(0, fortyDays, frequency),
              static_cast<std::uint32_t>(expected));
}

TEST(ElapsedClock, ResultIsCutTo32Bits) {
    const std::int64_t frequency = 1000;
    EXPECT_EQ(CounterElapsedMilliseconds(0, 0x1'0000'0005LL, frequency), 5u);
}

TEST(ElapsedClock, NonPositiveFrequencyGivesZero) {
    EXPECT_EQ(CounterElapsedMilliseconds(0, 1'000'000, 0), 0u);
    EXPECT_EQ(CounterElapsedMilliseconds(0, 1'000'000, -5), 0u);
}

TEST(ElapsedClock, TickReadingsWrapLikeTheTickCount) {
    EXPECT_EQ(TickElapsedMilliseconds(1000, 1250), 250u);
    EXPECT_EQ(TickElapsedMilliseconds(0xFFFFFF00u, 0x00000010u), 0x110u);
}

TEST(ElapsedClock, MicrosecondsAreExactForLongRunsAndFastCounters) {
    EXPECT_EQ(CounterElapsedMicroseconds(0, 79, 10'000'000), 7);
    EXPECT_EQ(CounterElapsedMicroseconds(100, 80'100, 10'000'000), 8'000);
    EXPECT_EQ(CounterElapsedMicroseconds(0, 1, 0), 0);
    // 30 days of a 3 GHz counter: the product with a million would overflow 64 bits.
    const std::int64_t frequency = 3'000'000'000;
    const std::int64_t thirtyDays = 30LL * 24 * 3600;
    EXPECT_EQ(CounterElapsedMicroseconds(0, thirtyDays * frequency + 1'500, frequency),
              thirtyDays * 1'000'000 + 0);
    EXPECT_EQ(CounterElapsedMicroseconds(0, thirtyDays * frequency + 3'000, frequency),
              thirtyDays * 1'000'000 + 1);
}

TEST(ElapsedClock, FrequenciesAreWrittenExactlyInTheirLargestUnit) {
    EXPECT_EQ(FormatFrequency(10'000'000), L"10 MHz");
    EXPECT_EQ(FormatFrequency(3'579'545), L"3.579545 MHz");
    EXPECT_EQ(FormatFrequency(2'400'000'000), L"2.4 GHz");
    EXPECT_EQ(FormatFrequency(2'742'187'500), L"2.7421875 GHz");
    EXPECT_EQ(FormatFrequency(1'000), L"1 kHz");
    EXPECT_EQ(FormatFrequency(1'000'001), L"1.000001 MHz");
    EXPECT_EQ(FormatFrequency(500), L"500 Hz");
    EXPECT_EQ(ClockDescription(10'000'000), L"QPC, 10 MHz, stamped on the input thread");
    EXPECT_EQ(ClockDescription(0), L"tick count, stamped on the input thread");
}
