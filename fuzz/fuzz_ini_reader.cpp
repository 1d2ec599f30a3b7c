// The portable INI reader and writer on any file: never a crash, text files written back
// byte for byte, and a write that reads back while leaving other keys alone.
#include "settings/ini_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const IniDocument document = IniDocument::Parse(bytes);
    const std::string written = document.Serialize();

    const IniEncoding encoding = document.Encoding();
    const bool evenUtf16 =
        (encoding == IniEncoding::Utf16Le || encoding == IniEncoding::Utf16Be) && size % 2 == 0;
    // An empty file counts as a new one, which is written with a byte-order mark.
    if (size > 0 &&
        (encoding == IniEncoding::Utf8 || encoding == IniEncoding::Latin1 || evenUtf16) &&
        written != bytes) {
        std::abort();
    }
    if (IniDocument::Parse(written).Serialize() != written) {
        std::abort();
    }

    for (const wchar_t* key : {L"Unpressed", L"KeyDimensions", L"LogFileDirectory"}) {
        for (const wchar_t* section : {L"Layout", L"Logging", L""}) {
            if (const auto raw = document.Find(section, key)) {
                const std::wstring value = ProfileValueText(*raw);
                if (value.size() > 1023) {
                    std::abort();
                }
                ProfileIntFromText(value);
            }
        }
    }

    IniDocument changed = document;
    const auto other = changed.Find(L"Layout", L"KeyDimensions");
    const auto otherSection = changed.Find(L"Logging", L"ShowLog");
    changed.Set(L"Layout", L"Unpressed", L"(01, 02, 03)");
    const IniDocument reread = IniDocument::Parse(changed.Serialize());
    if (reread.Find(L"Layout", L"Unpressed") != L"(01, 02, 03)" ||
        reread.Find(L"Layout", L"KeyDimensions") != other ||
        reread.Find(L"Logging", L"ShowLog") != otherSection) {
        std::abort();
    }
    return 0;
}
