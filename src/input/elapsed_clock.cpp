#include "input/elapsed_clock.h"

std::uint32_t CounterElapsedMilliseconds(std::int64_t start, std::int64_t now,
                                         std::int64_t frequency) {
    if (frequency <= 0) {
        return 0;
    }
    // Whole seconds and the remainder separately: (now - start) * 1000 would overflow after a
    // few weeks with a counter running at several GHz.
    const std::int64_t delta = now - start;
    const std::int64_t seconds = delta / frequency;
    const std::int64_t rest = delta % frequency;
    const std::int64_t milliseconds = seconds * 1000 + rest * 1000 / frequency;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(milliseconds));
}

std::int64_t CounterElapsedMicroseconds(std::int64_t start, std::int64_t now,
                                        std::int64_t frequency) {
    if (frequency <= 0) {
        return 0;
    }
    const std::int64_t delta = now - start;
    return delta / frequency * 1000000 + delta % frequency * 1000000 / frequency;
}
