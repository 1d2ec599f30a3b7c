// Feeds random raw keyboard record sequences through decoding, the key test engine and the
// key states, with random thresholds and clock jumps.
#include "input/key_names.h"
#include "input/key_replay.h"
#include "layouts/default_layout.h"
#include "layouts/keyboard_layout.h"
#include "logging/diagnostic_log.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

// Two layout texts: the built-in one, and one with duplicate codes and Ctrl+Break but no
// Pause, whose names are longer than the formatting buffer.
struct LayoutTexts {
    std::wstring builtIn;
    std::wstring small;
};

const LayoutTexts& Shared() {
    static const LayoutTexts* texts = [] {
        InstallLogger(std::make_unique<NullLogger>());
        auto* created = new LayoutTexts;
        created->builtIn = DefaultLayoutText();
        created->small = L"Small\n";
        const wchar_t* codes[] = {L"0x1E", L"0x1E", L"0xE046", L"0x3A", L"0x45", L"0x46", L"0x1D"};
        for (const wchar_t* code : codes) {
            created->small += L"R1, " + std::wstring(code) + L", \"\", \"" +
                              std::wstring(1100, L'n') + L"\", 1\n";
        }
        return created;
    }();
    return *texts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    std::uint32_t threshold;
    std::memcpy(&threshold, data, 4);
    const bool small = (data[4] & 1) != 0;
    const bool fields = (data[4] & 2) != 0;
    // The selection loads the layout, falls back to it, or leaves it half-read.
    const int selection = (data[4] >> 2) % 3;
    data += 5;
    size -= 5;
    const LayoutTexts& texts = Shared();
    const std::wstring& text = small ? texts.small : texts.builtIn;
    // Half of the maps hold a mapping to each lock key.
    RemapTable remap;
    const std::uint8_t map[] = {0,    0, 0,    0, 0,    0,    0,    0, 3, 0, 0, 0,
                                0x1E, 0, 0x3A, 0, 0x1D, 0xE0, 0x45, 0, 0, 0, 0, 0};
    if (threshold & 1) {
        remap.ReadScancodeMap(map, sizeof map);
    }
    KeyboardLayout layout;
    KeyNameTable names;
    ReplaySession session(layout, names, remap, threshold, fields, 36);
    if (selection == 0) {
        session.SelectLayout(kDefaultLayoutMarker, text);
    } else {
        session.SelectLayout(std::wstring(), selection == 1 ? text : text + L"\nbroken");
    }
    std::uint32_t time = 0;
    // 8 bytes a record: time step, make code, flags, virtual key, device.
    for (; size >= 8; data += 8, size -= 8) {
        TraceRecord record;
        const std::int16_t step = static_cast<std::int16_t>(data[0] | (data[1] << 8));
        time += static_cast<std::uint32_t>(static_cast<std::int32_t>(step)); // may run backwards
        record.time = time;
        record.record.makeCode = static_cast<std::uint16_t>(data[2] | (data[3] << 8));
        record.record.flags = data[4];
        record.record.virtualKey = static_cast<std::uint16_t>(data[5] | (data[6] << 8));
        record.record.device = data[7] & 3;
        session.Feed(record);
        if (session.Output().size() > (1u << 20)) {
            session.TakeOutput();
        }
    }
    session.Finish();
    for (const LayoutKey& key : layout.keys) {
        if (key.state < Unpressed || key.state > Alarm) {
            std::abort();
        }
    }
    const std::string& output = session.Output();
    if (!output.empty() && output.back() != '\n') {
        std::abort();
    }
    return 0;
}
