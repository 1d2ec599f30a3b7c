// The colour rule on any value text: never a crash, a colour only when three numbers were
// found, the default kept otherwise, and every colour it writes reads back the same.
#include "base/diagnostic_log.h"
#include "settings/ini_file.h"
#include "settings/settings_store.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Answers every read with the fuzzer's text, as the profile functions would return it.
class TextProfile final : public SettingsProfile {
public:
    explicit TextProfile(std::wstring text) : text_(std::move(text)) {}
    std::wstring ReadText(const wchar_t*, const wchar_t*, const wchar_t*) override {
        return ProfileValueText(text_);
    }
    std::int32_t ReadInt(const wchar_t*, const wchar_t*, std::int32_t value) override {
        return value;
    }
    bool WriteText(const wchar_t*, const wchar_t*, const std::wstring&, std::uint32_t&) override {
        return true;
    }
    void ExpandEnvironment(std::wstring&) override {}

private:
    std::wstring text_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool quiet = [] {
        InstallLogger(std::make_unique<NullLogger>());
        return true;
    }();
    (void)quiet;

    // Two bytes a character, so that any code unit (NUL, surrogates, blanks) can occur.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    }
    const Colour fallback = 0x00A0B0C0;
    TextProfile profile(text);
    Colour colour = 0xFFFFFFFF;
    const bool parsed = ReadColourSetting(profile, L"Layout", L"Unpressed", fallback, colour);
    if (!parsed && colour != fallback) {
        std::abort();
    }
    if (colour > 0xFFFFFF) {
        std::abort();
    }
    Colour again = 0;
    if (!ParseColourText(FormatColourText(colour), again) || again != colour) {
        std::abort();
    }
    return 0;
}
