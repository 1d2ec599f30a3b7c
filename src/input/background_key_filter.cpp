#include "input/background_key_filter.h"

#include <algorithm>

bool BackgroundKeyFilter::Take(const RawKeyRecord& record, bool background) {
    if (background) {
        if ((record.flags & kRawFlagBreak) == 0) {
            return false;
        }
        const bool awaited = pendingIgnoreCode_ != 0 && record.makeCode == pendingIgnoreCode_;
        if (!awaited && !IsDown(CompleteScanCode(record.makeCode, record.flags))) {
            return false;
        }
    }
    Follow(record);
    ++taken_;
    return true;
}

void BackgroundKeyFilter::Follow(const RawKeyRecord& record) {
    const bool e0 = (record.flags & kRawFlagE0) != 0;
    const bool e1 = (record.flags & kRawFlagE1) != 0;
    // The decoder's own rules: these records are dropped and change nothing.
    if (e0 && (record.makeCode == 0x2A || record.makeCode == 0xAA)) {
        return;
    }
    if (pendingIgnoreCode_ != 0) {
        const bool ignored = record.makeCode == pendingIgnoreCode_;
        pendingIgnoreCode_ = 0;
        if (ignored) {
            return;
        }
    }
    if (e1 && record.makeCode == 0x1D) {
        pendingIgnoreCode_ = 0x45;
    }
    const ScanCode code = CompleteScanCode(record.makeCode, record.flags);
    if ((record.flags & kRawFlagBreak) != 0) {
        down_.erase(code);
    } else {
        // A typematic repeat keeps the number of the first press.
        down_.emplace(code, taken_);
    }
}

void BackgroundKeyFilter::KeepDownOnly(const std::vector<ScanCode>& held, std::uint64_t handled) {
    for (auto key = down_.begin(); key != down_.end();) {
        const bool keep =
            key->second >= handled || std::find(held.begin(), held.end(), key->first) != held.end();
        key = keep ? std::next(key) : down_.erase(key);
    }
}
