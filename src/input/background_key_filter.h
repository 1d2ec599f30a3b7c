#pragma once
// Which raw keyboard records may be taken while another application has the foreground. What
// the user types in other programs is theirs: only the release of a key that went down here
// (while this program had the foreground) is taken, so that the key gets its real release
// time; nothing else is decoded, logged, counted, kept or used to identify a device.
//
// The filter follows the records it takes the way the decoder will (fake shift records and the
// tail of the Pause sequence are no keys), so that it can decide on the input thread, at the
// moment a record arrives, without waiting for the window that decodes it. Not thread-safe.
#include "base/scan_code.h"
#include "input/raw_decoder.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

class BackgroundKeyFilter {
public:
    // Every record passes here in arrival order; true when it is taken. A record that arrives
    // while this program has the foreground is always taken.
    bool Take(const RawKeyRecord& record, bool background);

    // How many records were taken so far.
    std::uint64_t Taken() const { return taken_; }
    bool IsDown(ScanCode code) const { return down_.count(code) != 0; }

    // The window that handles the taken records found keys released where it could not see
    // it: after handling the first `handled` taken records it holds only the keys in held.
    // Every other key is up, except one that went down in a record taken after those (the
    // window has not seen it yet).
    void KeepDownOnly(const std::vector<ScanCode>& held, std::uint64_t handled);

private:
    void Follow(const RawKeyRecord& record);

    std::uint16_t pendingIgnoreCode_ = 0;
    // Keys down, each with the number of the taken record that pressed it.
    std::unordered_map<ScanCode, std::uint64_t> down_;
    std::uint64_t taken_ = 0;
};
