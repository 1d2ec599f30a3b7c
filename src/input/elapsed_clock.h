#pragma once
// The process-wide millisecond clock of key events. All key timings are differences of its
// readings, so only its rate matters, not its origin.
#include <cstdint>
#include <string>

// Milliseconds between two performance-counter readings, truncated toward zero and cut to
// 32 bits. Exact for every counter distance (no overflow of the multiplication by 1000);
// 0 for a frequency that is not positive.
std::uint32_t CounterElapsedMilliseconds(std::int64_t start, std::int64_t now,
                                         std::int64_t frequency);

// Milliseconds between two tick-count readings; wraps like the tick count itself.
constexpr std::uint32_t TickElapsedMilliseconds(std::uint32_t start, std::uint32_t now) {
    return now - start;
}

// Microseconds between two performance-counter readings, truncated toward zero; exact for
// every counter distance; 0 for a frequency that is not positive.
std::int64_t CounterElapsedMicroseconds(std::int64_t start, std::int64_t now,
                                        std::int64_t frequency);

// A clock rate as people write it, exact and without trailing zeros: "10 MHz",
// "3.579545 MHz", "2.4 GHz", "1 kHz", "500 Hz".
std::wstring FormatFrequency(std::int64_t hertz);
// How key event times are taken, for reports: "QPC, 10 MHz, stamped on the input thread"
// with the counter's frequency; a frequency of 0 stands for the tick count.
std::wstring ClockDescription(std::int64_t frequency);

// Microseconds since the clock was started: the time of key events.
std::int64_t ElapsedMicroseconds();
// A performance-counter reading taken elsewhere (the moment a record arrived) on the same
// scale as ElapsedMicroseconds.
std::int64_t CounterToElapsedMicroseconds(std::int64_t counter);
// The performance counter's ticks per second; 0 when the tick count is used instead.
std::int64_t ClockFrequency();

// Milliseconds since the clock was started (Windows layer: performance counter, or the tick
// count where there is none). The first call starts the clock; the program makes that call
// first thing in its entry function.
std::uint32_t ElapsedMilliseconds();
