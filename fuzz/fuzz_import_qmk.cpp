// The QMK importer on any bytes: a keyboard definition, optionally followed by a NUL byte
// and a keymap (keymap.json or keymap.c).
#include "import_check.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    ImportOptions options;
    std::string_view definition = input;
    if (split != std::string_view::npos) {
        definition = input.substr(0, split);
        options.keymap = std::string(input.substr(split + 1));
        options.hasKeymap = true;
    }
    CheckImport(ImportLayout(definition, options));
    return 0;
}
