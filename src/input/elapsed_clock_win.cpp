#include "input/elapsed_clock.h"

#include <windows.h>

namespace {

struct ClockStart {
    bool useCounter = false;
    std::int64_t frequency = 0;
    std::int64_t counter = 0;
    std::uint32_t ticks = 0;

    ClockStart() {
        LARGE_INTEGER value;
        if (QueryPerformanceFrequency(&value) && value.QuadPart > 0) {
            frequency = value.QuadPart;
            QueryPerformanceCounter(&value);
            counter = value.QuadPart;
            useCounter = true;
        } else {
            ticks = GetTickCount();
        }
    }
};

const ClockStart& Start() {
    static const ClockStart start;
    return start;
}

} // namespace

std::uint32_t ElapsedMilliseconds() {
    const ClockStart& start = Start();
    if (start.useCounter) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return CounterElapsedMilliseconds(start.counter, now.QuadPart, start.frequency);
    }
    return TickElapsedMilliseconds(start.ticks, GetTickCount());
}

std::int64_t ElapsedMicroseconds() {
    const ClockStart& start = Start();
    if (start.useCounter) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return CounterElapsedMicroseconds(start.counter, now.QuadPart, start.frequency);
    }
    return static_cast<std::int64_t>(TickElapsedMilliseconds(start.ticks, GetTickCount())) * 1000;
}

std::int64_t CounterToElapsedMicroseconds(std::int64_t counter) {
    const ClockStart& start = Start();
    return start.useCounter ? CounterElapsedMicroseconds(start.counter, counter, start.frequency)
                            : ElapsedMicroseconds();
}

std::int64_t ClockFrequency() {
    return Start().useCounter ? Start().frequency : 0;
}
