// Feeds random raw keyboard record sequences through decoding, the key test engine and the
// key states, with random thresholds, clock jumps, records that arrive while another window
// has the foreground, and returns to the foreground.
#include "base/diagnostic_log.h"
#include "layouts/default_layout.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "session/key_test_session.h"
#include "session/replay_trace.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace {

// Two layout texts: the built-in one, and one with duplicate codes and Ctrl+Break but no
// Pause, where two codes have names longer than the formatting buffer.
struct LayoutTexts {
    std::wstring builtIn;
    std::wstring small;
};

const LayoutTexts& Texts() {
    static const LayoutTexts* texts = [] {
        InstallLogger(std::make_unique<NullLogger>());
        auto* created = new LayoutTexts;
        created->builtIn = DefaultLayoutText();
        created->small = L"Small\n";
        const std::wstring longName(1100, L'n');
        const std::pair<const wchar_t*, std::wstring> keys[] = {
            {L"0x1E", longName}, {L"0x1E", L"A"},      {L"0xE046", longName}, {L"0x3A", L"Caps"},
            {L"0x45", L"Num"},   {L"0x46", L"Scroll"}, {L"0x1D", L"Ctrl"}};
        for (const auto& [code, name] : keys) {
            created->small += L"R1, " + std::wstring(code) + L", \"\", \"" + name + L"\", 1\n";
        }
        return created;
    }();
    return *texts;
}

// A session with its layout selected, kept across inputs: loading a layout costs far more
// than an input's records, and the choices that shape it are few.
struct PreparedSession {
    KeyNameTable names;
    KeyNameTable namesAfterLoad; // lookups of unnamed codes add entries; they are undone
    RemapTable remap;
    std::uint32_t threshold = 8;
    std::unique_ptr<RecordingView> view;
    std::unique_ptr<KeyTestSession> session;

    void Restart(std::uint32_t chatterThreshold) {
        threshold = chatterThreshold;
        session->Restart();
        view->Clear();
    }
};

// choice: bit 0 the small layout, bit 1 the fields shown, bit 2 the remap table, then the
// selection: 0 loads the layout, 1 falls back to it, 2 leaves it half-read.
PreparedSession& SessionFor(unsigned choice) {
    static std::array<std::unique_ptr<PreparedSession>, 24> prepared;
    std::unique_ptr<PreparedSession>& slot = prepared[choice];
    if (!slot) {
        slot = std::make_unique<PreparedSession>();
        // Half of the maps hold a mapping to each lock key.
        const std::uint8_t map[] = {0,    0, 0,    0, 0,    0,    0,    0, 3, 0, 0, 0,
                                    0x1E, 0, 0x3A, 0, 0x1D, 0xE0, 0x45, 0, 0, 0, 0, 0};
        if (choice & 4) {
            slot->remap.ReadScancodeMap(map, sizeof map);
        }
        PreparedSession* session = slot.get();
        slot->view = std::make_unique<RecordingView>((choice & 2) != 0);
        slot->session = std::make_unique<KeyTestSession>(
            *slot->view, slot->names, slot->remap, [session] { return session->threshold; },
            [] { return 36; });
        slot->view->Attach(*slot->session);
        slot->session->ReportLoadFailures(false);
        const std::wstring& text = (choice & 1) ? Texts().small : Texts().builtIn;
        const unsigned selection = choice >> 3;
        std::wstring lastLayout;
        if (selection == 0) {
            slot->session->SetDefaultLayout(text, std::wstring());
            slot->session->SelectLayout(kDefaultLayoutMarker, lastLayout);
        } else {
            slot->session->SetDefaultLayout(selection == 1 ? text : text + L"\nbroken",
                                            std::wstring());
            slot->session->SelectLayout(std::wstring(), lastLayout);
        }
        slot->namesAfterLoad = slot->names;
    }
    return *slot;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) {
        return 0;
    }
    std::uint32_t threshold;
    std::memcpy(&threshold, data, 4);
    const unsigned small = data[4] & 1;
    const unsigned fields = (data[4] >> 1) & 1;
    const unsigned selection = static_cast<unsigned>(data[4] >> 2) % 3;
    data += 5;
    size -= 5;
    PreparedSession& prepared =
        SessionFor(small | fields << 1 | (threshold & 1) << 2 | selection << 3);
    KeyTestSession& session = *prepared.session;
    RecordingView& view = *prepared.view;
    prepared.Restart(threshold);
    std::int64_t time = 0;
    // 8 bytes a record: time step in microseconds, make code, flags, virtual key, then the device
    // in bits 0-1, the record arriving in the background in bit 2, and a return to the foreground
    // before it when bits 3 and 4 are both set.
    for (; size >= 8; data += 8, size -= 8) {
        TraceRecord record;
        const std::int16_t step = static_cast<std::int16_t>(data[0] | (data[1] << 8));
        time += step; // may run backwards
        record.time = time;
        record.record.makeCode = static_cast<std::uint16_t>(data[2] | (data[3] << 8));
        record.record.flags = data[4];
        record.record.virtualKey = static_cast<std::uint16_t>(data[5] | (data[6] << 8));
        record.record.device = data[7] & 3;
        if ((data[7] & 0x18) == 0x18) {
            // the page came back to the foreground first
            session.ReleaseKeysMissedWhileAway(time, nullptr);
        }
        session.Feed(record.record, record.time, (data[7] & 4) != 0);
        if (view.Output().size() > (1u << 20)) {
            view.TakeOutput();
        }
    }
    view.WriteKeyStates(session.Layout());
    for (const LayoutKey& key : session.Layout().keys) {
        if (key.state < Unpressed || key.state > Alarm) {
            std::abort();
        }
    }
    for (ScanCode code : session.Engine().Held()) {
        if (!session.Engine().IsHeld(code)) {
            std::abort();
        }
    }
    const std::string& output = view.Output();
    if (!output.empty() && output.back() != '\n') {
        std::abort();
    }
    // What this input allocated goes with it, so that the fuzzer's leak check stays quiet.
    prepared.Restart(0);
    if (prepared.names.Entries().size() != prepared.namesAfterLoad.Entries().size()) {
        prepared.names = prepared.namesAfterLoad;
    }
    return 0;
}
