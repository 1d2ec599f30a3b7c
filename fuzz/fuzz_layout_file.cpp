// The file loader on any bytes: its UTF-8 decoding, byte-order mark, CR LF handling, line
// splitting, header, both entry versions and the line limit. The bytes are read from memory
// through the same stream code a file goes through, so that no file system call slows the
// search down; opening files is covered by the unit tests.
#include "base/diagnostic_log.h"
#include "fuzz_support.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    InstallFormattingLoggerOnce();
    if (size == 0) {
        return 0;
    }
    static const int kKeySizes[] = {36, 10, 1000000, 13};
    const int keySize = kKeySizes[data[0] % 4];
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));

    KeyboardLayout layout;
    KeyNameTable names;
    bool reachedEnd = false;
    const bool loaded = LoadLayoutStream(stream, keySize, layout, names, &reachedEnd);
    if (loaded && (layout.keys.empty() || !reachedEnd)) {
        std::abort();
    }
    if (layout.keys.size() > 1000) {
        std::abort();
    }
    return 0;
}
