// Feeds arbitrary bytes to the "Scancode Map" parser: any value a registry can hold must give
// a defined table, never a read outside the value.
#include "base/diagnostic_log.h"
#include "input/remap_table.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        InstallLogger(std::make_unique<NullLogger>());
        return true;
    }();
    (void)quiet;
    // A copy of exactly the input's size, so the sanitizer sees any read past the value.
    std::vector<std::uint8_t> value(data, data + size);
    RemapTable table;
    const bool filled = table.ReadScancodeMap(value.empty() ? nullptr : value.data(), value.size());
    if (filled != !table.Entries().empty()) {
        std::abort();
    }
    if (filled) {
        const std::uint32_t count = static_cast<std::uint32_t>(value[8]) |
                                    (static_cast<std::uint32_t>(value[9]) << 8) |
                                    (static_cast<std::uint32_t>(value[10]) << 16) |
                                    (static_cast<std::uint32_t>(value[11]) << 24);
        if (table.Entries().size() > count - 1 ||
            size / 4 < 3 + static_cast<std::uint64_t>(count)) {
            std::abort();
        }
    }
    for (const auto& [target, source] : table.Entries()) {
        if (table.TranslateRemapped(target) != source) {
            std::abort();
        }
    }
    return 0;
}
