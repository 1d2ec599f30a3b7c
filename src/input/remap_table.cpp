#include "input/remap_table.h"

#include "base/diagnostic_log.h"

namespace {

std::uint32_t ReadLittleEndian32(const std::uint8_t* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | (static_cast<std::uint32_t>(bytes[1]) << 8) |
           (static_cast<std::uint32_t>(bytes[2]) << 16) |
           (static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::uint16_t ReadLittleEndian16(const std::uint8_t* bytes) {
    return static_cast<std::uint16_t>(bytes[0] | (bytes[1] << 8));
}

constexpr std::size_t kHeaderSize = 12; // version, flags, count

} // namespace

bool RemapTable::ReadScancodeMap(const std::uint8_t* data, std::size_t size) {
    targets_.clear();
    if (data == nullptr || size < kHeaderSize) {
        LogMessage(L"Scan Code Map is invalid (%d bytes).\n", static_cast<int>(size));
        return false;
    }
    const std::uint32_t count = ReadLittleEndian32(data + 8);
    LogMessage(L"Scan Code Map contains %d entries.\n", static_cast<int>(count));
    // size / 4 < count + 3 without forming count + 3, which wraps for the largest counts.
    const std::uint64_t words = size / 4;
    if (words < 3 || words - 3 < count) {
        LogMessage(L"Scan Code Map is too short (%d bytes).\n", static_cast<int>(size));
        return false;
    }
    // Last to first, so that of two mappings with one target the earlier one stays.
    for (std::uint32_t i = count > 1 ? count - 1 : 0; i > 0; --i) {
        const std::uint8_t* mapping = data + kHeaderSize + 4 * static_cast<std::size_t>(i - 1);
        targets_[ReadLittleEndian16(mapping)] = ReadLittleEndian16(mapping + 2);
    }
    return !targets_.empty();
}

ScanCode RemapTable::TranslateRemapped(ScanCode code) const {
    const auto found = targets_.find(code);
    return found == targets_.end() ? code : found->second;
}
