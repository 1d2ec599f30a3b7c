#pragma once
// Per-key figures of one test, gathered by the key test engine as it writes its lines:
// presses, chatter and its shortest interval, shortest and longest hold, and for the whole
// test the largest number of keys held at once. They start afresh with the key states at
// every layout load and Clear / Reload.
#include "base/scan_code.h"

#include <cstdint>
#include <vector>

// Times and intervals in microseconds.
struct KeyCodeStatistics {
    ScanCode code = 0;
    std::uint32_t presses = 0; // DOWN lines
    std::uint32_t chatter = 0; // CHATTER DETECTED lines
    std::int64_t shortestChatter = 0;
    // Signed, as the UP line prints a hold: a clock that went back gives a negative one.
    std::int64_t shortestHold = 0; // valid when holds > 0
    std::int64_t longestHold = 0;
    std::uint32_t holds = 0;
    bool holding = false; // went down since the last reset and is not up yet
};

struct ChatterRecord {
    ScanCode code = 0;
    std::int64_t time = 0; // clock reading of the make, microseconds
    std::int64_t interval = 0;
};

class KeyStatistics {
public:
    KeyStatistics();

    void Reset();

    // A make that wrote a DOWN line.
    void OnPress(ScanCode code);
    // A make that wrote a CHATTER DETECTED line.
    void OnChatter(ScanCode code, std::int64_t time, std::int64_t interval);
    // The UP line of a key that was held; a hold that began before the last reset is not a
    // measurement of this test.
    void OnRelease(ScanCode code, std::int64_t duration);
    // A press after a seen release of the same key: the interval the chatter rule checks.
    void OnGap(std::int64_t interval) { gaps_.push_back(interval); }
    // The held-keys line after a key was added to it.
    void OnHeldKeys(const std::vector<ScanCode>& held);
    // The keyboard reported a rollover overflow while held keys were down.
    void OnOverflow(std::size_t held);

    // Codes in the order they first went down since the reset.
    const std::vector<KeyCodeStatistics>& Codes() const { return codes_; }
    // null when the code did nothing since the reset.
    const KeyCodeStatistics* Find(ScanCode code) const;
    const std::vector<ChatterRecord>& ChatterEvents() const { return chatterEvents_; }
    // Every hold (OnRelease) and every release-to-press interval (OnGap), in order.
    const std::vector<std::int64_t>& Holds() const { return holds_; }
    const std::vector<std::int64_t>& Gaps() const { return gaps_; }
    std::size_t Rollover() const { return rolloverKeys_.size(); }
    // The keys held at the first moment the rollover was reached, in the held-keys order.
    const std::vector<ScanCode>& RolloverKeys() const { return rolloverKeys_; }
    // ROLLOVER OVERFLOW lines since the reset.
    std::size_t Overflows() const { return overflows_; }
    // The fewest keys held at an overflow plus one: the key the keyboard could not report;
    // 0 without an overflow.
    std::size_t OverflowAt() const { return overflowAt_; }

private:
    KeyCodeStatistics& Entry(ScanCode code);

    // Slot of each code in codes_ plus one; 0 for a code without an entry. A flat table keeps
    // the per-event cost to one index, and a reset clears only the slots in use.
    std::vector<std::uint16_t> slots_;
    std::vector<KeyCodeStatistics> codes_;
    std::vector<ChatterRecord> chatterEvents_;
    std::vector<std::int64_t> holds_;
    std::vector<std::int64_t> gaps_;
    std::vector<ScanCode> rolloverKeys_;
    std::size_t overflows_ = 0;
    std::size_t overflowAt_ = 0;
};
