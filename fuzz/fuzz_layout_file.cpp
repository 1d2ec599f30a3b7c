// The file loader and the file name reader on any bytes written to a file: the reader's
// UTF-8 decoding, byte-order mark, CR LF handling and line splitting get raw input here.
#include "input/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_parser.h"
#include "logging/diagnostic_log.h"
#include "logging/utf8.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

// Formats every message, as the file logger would, and keeps nothing.
class FormattingLogger final : public Logger {
public:
    void Write(const wchar_t* format, va_list arguments) override {
        FormatWideV(format, arguments);
    }
};

const std::string& FilePath() {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("tapwise_fuzz_layout_" + std::to_string(getpid()) + ".kbl"))
                                        .string();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        InstallLogger(std::make_unique<FormattingLogger>());
        std::atexit([] { std::remove(FilePath().c_str()); });
        return true;
    }();
    (void)quiet;
    if (size == 0) {
        return 0;
    }
    static const int kKeySizes[] = {36, 10, 1000000, 13};
    const int keySize = kKeySizes[data[0] % 4];
    std::FILE* file = std::fopen(FilePath().c_str(), "wb");
    if (file == nullptr) {
        std::abort();
    }
    std::fwrite(data + 1, 1, size - 1, file);
    std::fclose(file);

    const std::wstring path = DecodeUtf8(FilePath());
    KeyboardLayout layout;
    KeyNameTable names;
    bool reachedEnd = false;
    const bool loaded = LoadLayoutFile(path, keySize, layout, names, &reachedEnd);
    if (loaded && (layout.keys.empty() || !reachedEnd)) {
        std::abort();
    }
    if (layout.keys.size() > 1000) {
        std::abort();
    }
    ReadLayoutName(path);
    return 0;
}
