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

std::wstring FormatFrequency(std::int64_t hertz) {
    struct Unit {
        std::int64_t size;
        int digits;
        const wchar_t* name;
    };
    static const Unit units[] = {
        {1'000'000'000, 9, L" GHz"}, {1'000'000, 6, L" MHz"}, {1'000, 3, L" kHz"}, {1, 0, L" Hz"}};
    const Unit* unit = &units[3];
    for (const Unit& candidate : units) {
        if (hertz >= candidate.size) {
            unit = &candidate;
            break;
        }
    }
    std::wstring text = std::to_wstring(hertz / unit->size);
    std::wstring fraction;
    if (unit->digits > 0) {
        // The remainder is below the unit, so it has at most `digits` digits.
        fraction = std::to_wstring(hertz % unit->size);
        fraction.insert(0, static_cast<std::size_t>(unit->digits) - fraction.size(), L'0');
    }
    while (!fraction.empty() && fraction.back() == L'0') {
        fraction.pop_back();
    }
    if (!fraction.empty()) {
        text += L'.' + fraction;
    }
    return text + unit->name;
}

std::wstring ClockDescription(std::int64_t frequency) {
    return (frequency > 0 ? L"QPC, " + FormatFrequency(frequency) : std::wstring(L"tick count")) +
           L", stamped on the input thread";
}
