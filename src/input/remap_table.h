#pragma once
// The system-wide key remapping of the "Scancode Map" registry value, read backwards: from
// the code Windows reports to the code of the physical key that produced it.
#include "base/scan_code.h"

#include <cstddef>
#include <cstdint>
#include <map>

class RemapTable {
public:
    // Parses the raw bytes of a "Scancode Map" value into the table, which is emptied
    // first; true when it then holds at least one mapping. Format faults are reported in
    // the diagnostic log and leave the table empty.
    bool ReadScancodeMap(const std::uint8_t* data, std::size_t size);

    // The physical key behind a reported code, or the code itself when it is no target.
    ScanCode TranslateRemapped(ScanCode code) const;

    void Clear() { targets_.clear(); }
    const std::map<ScanCode, ScanCode>& Entries() const { return targets_; }

private:
    std::map<ScanCode, ScanCode> targets_; // target -> source
};
