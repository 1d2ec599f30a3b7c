#pragma once
// Key codes and decoded raw keyboard records shared by every subsystem.
#include <cstdint>
#include <vector>

// Set-1 make code in the low byte; 0xE0 or 0xE1 in the high byte for prefixed keys.
using ScanCode = std::uint16_t;

// RAWKEYBOARD.Flags bits.
constexpr std::uint16_t kRawFlagBreak = 0x0001;
constexpr std::uint16_t kRawFlagE0 = 0x0002;
constexpr std::uint16_t kRawFlagE1 = 0x0004;

constexpr ScanCode kScanCodePause = 0xE11D;
constexpr ScanCode kScanCodeBreak = 0xE046;

// One decoded raw keyboard record. The engine completes code to the full ScanCode in
// place when it handles the event.
struct KeyEvent {
    std::uint16_t code = 0;
    std::uint16_t flags = 0;
    std::uint16_t virtualKey = 0;
    std::int64_t time = 0; // microseconds of the key-event clock when the record arrived
};
static_assert(sizeof(KeyEvent) <= 16, "the event queue keeps at most 16 bytes per event");

// Append-only: an index posted with a make or break message stays valid for the page's life.
using KeyEventQueue = std::vector<KeyEvent>;

// The full ScanCode of a record: E0 wins over E1.
constexpr ScanCode CompleteScanCode(std::uint16_t makeCode, std::uint16_t flags) {
    if (flags & kRawFlagE0) {
        return static_cast<ScanCode>(makeCode | 0xE000);
    }
    if (flags & kRawFlagE1) {
        return static_cast<ScanCode>(makeCode | 0xE100);
    }
    return makeCode;
}
