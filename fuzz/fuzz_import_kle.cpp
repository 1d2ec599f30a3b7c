// The layout importer on any bytes, seeded with KLE raw data.
#include "import_check.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ImportOptions options;
    options.fallbackName = "fuzz";
    CheckImport(ImportLayout(std::string_view(reinterpret_cast<const char*>(data), size), options));
    return 0;
}
