#include "input/key_statistics.h"

KeyStatistics::KeyStatistics() : slots_(0x10000, 0) {}

void KeyStatistics::Reset() {
    for (const KeyCodeStatistics& entry : codes_) {
        slots_[entry.code] = 0;
    }
    codes_.clear();
    chatterEvents_.clear();
    holds_.clear();
    gaps_.clear();
    rolloverKeys_.clear();
    overflows_ = 0;
    overflowAt_ = 0;
}

KeyCodeStatistics& KeyStatistics::Entry(ScanCode code) {
    std::uint16_t& slot = slots_[code];
    if (slot == 0) {
        codes_.push_back(KeyCodeStatistics{});
        codes_.back().code = code;
        // At most 65536 codes exist, so the slot never overflows past the last one.
        slot = static_cast<std::uint16_t>(codes_.size());
    }
    return codes_[slot - 1u];
}

const KeyCodeStatistics* KeyStatistics::Find(ScanCode code) const {
    const std::uint16_t slot = slots_[code];
    return slot == 0 ? nullptr : &codes_[slot - 1u];
}

void KeyStatistics::OnPress(ScanCode code) {
    KeyCodeStatistics& entry = Entry(code);
    ++entry.presses;
    entry.holding = true;
}

void KeyStatistics::OnChatter(ScanCode code, std::int64_t time, std::int64_t interval) {
    KeyCodeStatistics& entry = Entry(code);
    if (entry.chatter == 0 || interval < entry.shortestChatter) {
        entry.shortestChatter = interval;
    }
    ++entry.chatter;
    chatterEvents_.push_back(ChatterRecord{code, time, interval});
}

void KeyStatistics::OnRelease(ScanCode code, std::int64_t duration) {
    const std::uint16_t slot = slots_[code];
    if (slot == 0 || !codes_[slot - 1u].holding) {
        return;
    }
    KeyCodeStatistics& entry = codes_[slot - 1u];
    entry.holding = false;
    if (entry.holds == 0 || duration < entry.shortestHold) {
        entry.shortestHold = duration;
    }
    if (entry.holds == 0 || duration > entry.longestHold) {
        entry.longestHold = duration;
    }
    ++entry.holds;
    holds_.push_back(duration);
}

void KeyStatistics::OnHeldKeys(const std::vector<ScanCode>& held) {
    if (held.size() > rolloverKeys_.size()) {
        rolloverKeys_ = held;
    }
}

void KeyStatistics::OnOverflow(std::size_t held) {
    ++overflows_;
    if (overflowAt_ == 0 || held + 1 < overflowAt_) {
        overflowAt_ = held + 1;
    }
}
