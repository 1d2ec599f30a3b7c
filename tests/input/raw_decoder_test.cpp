#include "input/raw_decoder.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr std::uint64_t kKeyboard = 0x1234;
constexpr std::uint64_t kSecondKeyboard = 0x5678;

RawKeyRecord Down(std::uint16_t code, std::uint16_t vkey, std::uint16_t prefix = 0,
                  std::uint64_t device = kKeyboard) {
    return RawKeyRecord{code, prefix, vkey, device};
}

RawKeyRecord Up(std::uint16_t code, std::uint16_t vkey, std::uint16_t prefix = 0,
                std::uint64_t device = kKeyboard) {
    return RawKeyRecord{code, static_cast<std::uint16_t>(prefix | kRawFlagBreak), vkey, device};
}

// Feeds records through one decoder the way the window does and keeps what would be posted
// and which devices were identified.
struct DecoderRun {
    RawKeyDecoder decoder;
    KeyEventQueue queue;
    std::vector<DecodeResult> posted;
    std::vector<std::uint64_t> identified;

    DecodeResult Feed(const RawKeyRecord& record, std::int64_t time = 0) {
        const DecodeResult result =
            decoder.Process(record, time, queue, [this](const RawKeyRecord& r) {
                identified.push_back(r.device);
                LogMessage(L"identify 0x%llx\n", static_cast<unsigned long long>(r.device));
            });
        if (result.message != KeyMessage::None) {
            posted.push_back(result);
        }
        return result;
    }
};

} // namespace

TEST(RawKeyDecoder, WritesOneTraceLinePerRecordWithPrefixSuffixes) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    run.Feed(Down(0x1e, 0x41));
    run.Feed(Up(0x48, 0x26, kRawFlagE0));
    run.Feed(Down(0x2a, 0x10));
    EXPECT_EQ(log.Text(), L"OnInput():  Scan code 0x1e, Down, Virtual key 0x41.\n"
                          L"OnInput():  Scan code 0x48, Up, Virtual key 0x26, extended (E0).\n"
                          L"OnInput():  Scan code 0x2a, Down, Virtual key 0x10.\n");
    ASSERT_EQ(run.posted.size(), 3u);
    EXPECT_EQ(run.posted[1].message, KeyMessage::Break);
}

TEST(RawKeyDecoder, PauseSequenceQueuesTwoE1EventsAndDropsBoth45Records) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    run.Feed(Down(0x1d, 0x13, kRawFlagE1), 100);
    run.Feed(Down(0x45, 0x90), 100);
    run.Feed(Up(0x1d, 0x13, kRawFlagE1), 180);
    run.Feed(Up(0x45, 0x90), 180);

    ASSERT_EQ(run.queue.size(), 2u);
    for (const KeyEvent& event : run.queue) {
        EXPECT_EQ(event.code, 0x1d);
        EXPECT_EQ(CompleteScanCode(event.code, event.flags), kScanCodePause);
    }
    EXPECT_EQ(run.queue[0].time, 100u);
    EXPECT_EQ(run.queue[1].time, 180u);
    ASSERT_EQ(run.posted.size(), 2u);
    EXPECT_EQ(run.posted[0].message, KeyMessage::Make);
    EXPECT_EQ(run.posted[0].index, 0u);
    EXPECT_EQ(run.posted[1].message, KeyMessage::Break);
    EXPECT_EQ(run.posted[1].index, 1u);
    EXPECT_EQ(run.decoder.PendingIgnoreCode(), 0);
    EXPECT_EQ(log.Text(), L"OnInput():  Scan code 0x1d, Down, Virtual key 0x13, extended (E1).\n"
                          L"OnInput():  Scan code 0x45, Down, Virtual key 0x90.\n"
                          L"   Ignoring expected 0x45 event.\n"
                          L"OnInput():  Scan code 0x1d, Up, Virtual key 0x13, extended (E1).\n"
                          L"OnInput():  Scan code 0x45, Up, Virtual key 0x90.\n"
                          L"   Ignoring expected 0x45 event.\n");
}

TEST(RawKeyDecoder, PendingIgnoreIsDisarmedByTheVeryNextRecord) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    // A genuine Num Lock straight after E1 1D is taken for the tail of the Pause sequence.
    run.Feed(Down(0x1d, 0x13, kRawFlagE1));
    run.Feed(Down(0x45, 0x90));
    EXPECT_EQ(run.queue.size(), 1u);

    // A record that is not the awaited one: reported, disarmed and queued normally.
    run.Feed(Down(0x1d, 0x13, kRawFlagE1));
    log.Clear();
    run.Feed(Down(0x2a, 0xa0));
    EXPECT_EQ(log.Text(), L"OnInput():  Scan code 0x2a, Down, Virtual key 0xa0.\n"
                          L"   Expected to ignore 0x45, does not match 0x2a, not found.\n");
    EXPECT_EQ(run.decoder.PendingIgnoreCode(), 0);
    ASSERT_EQ(run.queue.size(), 3u);
    EXPECT_EQ(run.queue.back().code, 0x2a);

    // Disarmed: a later 0x45 is Num Lock again.
    log.Clear();
    run.Feed(Down(0x45, 0x90));
    EXPECT_EQ(run.queue.size(), 4u);
    EXPECT_EQ(log.Text(), L"OnInput():  Scan code 0x45, Down, Virtual key 0x90.\n");
}

TEST(RawKeyDecoder, PendingIgnoreComparesTheMakeCodeOnly) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    run.Feed(Up(0x1d, 0x13, kRawFlagE1));
    run.Feed(Up(0x45, 0x90, kRawFlagE0)); // a break with a prefix still matches
    EXPECT_EQ(run.queue.size(), 1u);
    EXPECT_NE(log.Text().find(L"   Ignoring expected 0x45 event.\n"), std::wstring::npos);
}

TEST(RawKeyDecoder, DropsFakeShiftRecordsOfE0Keys) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    // Print Screen as a keyboard may send it: E0 2A, E0 37, then E0 B7, E0 AA.
    run.Feed(Down(0x2a, 0xff, kRawFlagE0));
    run.Feed(Down(0x37, 0x2c, kRawFlagE0));
    run.Feed(Up(0x2a, 0xff, kRawFlagE0)); // a fake shift reported as a break
    run.Feed(Up(0xaa, 0xff, kRawFlagE0));
    run.Feed(Down(0x36, 0xa1, kRawFlagE0)); // E0 36 is a key of its own
    run.Feed(Down(0xaa, 0xff));             // without E0 it is no fake shift

    ASSERT_EQ(run.queue.size(), 3u);
    EXPECT_EQ(CompleteScanCode(run.queue[0].code, run.queue[0].flags), 0xE037);
    EXPECT_EQ(CompleteScanCode(run.queue[1].code, run.queue[1].flags), 0xE036);
    EXPECT_EQ(run.queue[2].code, 0xaa);
    EXPECT_EQ(log.Text(), L"OnInput():  Scan code 0x2a, Down, Virtual key 0xff, extended (E0).\n"
                          L"   Extended LShift make; ignoring.\n"
                          L"OnInput():  Scan code 0x37, Down, Virtual key 0x2c, extended (E0).\n"
                          L"OnInput():  Scan code 0x2a, Up, Virtual key 0xff, extended (E0).\n"
                          L"   Extended LShift make; ignoring.\n"
                          L"OnInput():  Scan code 0xaa, Up, Virtual key 0xff, extended (E0).\n"
                          L"   Extended LShift break; ignoring.\n"
                          L"OnInput():  Scan code 0x36, Down, Virtual key 0xa1, extended (E0).\n"
                          L"OnInput():  Scan code 0xaa, Down, Virtual key 0xff.\n");
}

TEST(RawKeyDecoder, FakeShiftIsDroppedBeforeThePendingIgnoreIsConsulted) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    run.Feed(Down(0x1d, 0x13, kRawFlagE1));
    run.Feed(Down(0x2a, 0xff, kRawFlagE0));
    EXPECT_EQ(run.decoder.PendingIgnoreCode(), 0x45); // still armed
    run.Feed(Down(0x45, 0x90));
    EXPECT_EQ(run.queue.size(), 1u);
}

TEST(RawKeyDecoder, BothPrefixesUseE0ForFakeShiftsAndE1ForPause) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    const auto both = static_cast<std::uint16_t>(kRawFlagE0 | kRawFlagE1);
    run.Feed(Down(0x2a, 0x10, both));
    EXPECT_TRUE(run.queue.empty());
    run.Feed(Down(0x1d, 0x11, both));
    EXPECT_EQ(run.decoder.PendingIgnoreCode(), 0x45);
    ASSERT_EQ(run.queue.size(), 1u);
    EXPECT_EQ(CompleteScanCode(run.queue[0].code, run.queue[0].flags), 0xE01D);
    EXPECT_NE(log.Text().find(L"OnInput():  Scan code 0x1d, Down, Virtual key 0x11, extended "
                              L"(E0), extended (E1).\n"),
              std::wstring::npos);
}

TEST(RawKeyDecoder, IndicesFollowTheQueueAndEventsKeepTheirDecodeTime) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    // Events already queued by an earlier page life stay; indices continue from them.
    run.queue.resize(5);
    run.Feed(Down(0x1e, 0x41), 7);
    run.Feed(Down(0x30, 0x42), 7); // same millisecond, same time
    run.Feed(Up(0x1e, 0x41, 0), 9);
    ASSERT_EQ(run.posted.size(), 3u);
    EXPECT_EQ(run.posted[0].index, 5u);
    EXPECT_EQ(run.posted[1].index, 6u);
    EXPECT_EQ(run.posted[2].index, 7u);
    EXPECT_EQ(run.queue[5].time, run.queue[6].time);
    const KeyEvent& last = run.queue[7];
    EXPECT_EQ(last.code, 0x1e);
    EXPECT_EQ(last.flags, kRawFlagBreak);
    EXPECT_EQ(last.virtualKey, 0x41);
    EXPECT_EQ(last.time, 9u);
}

TEST(RawKeyDecoder, OtherFlagBitsAreCarriedAlong) {
    CapturedLog log;
    DecoderRun run;
    run.decoder.SetCurrentDevice(kKeyboard);
    run.Feed(RawKeyRecord{0x1e, 0x0008 | kRawFlagBreak, 0x41, kKeyboard});
    ASSERT_EQ(run.queue.size(), 1u);
    EXPECT_EQ(run.queue[0].flags, 0x0009);
    EXPECT_EQ(run.posted[0].message, KeyMessage::Break);
}

TEST(RawKeyDecoder, NewDeviceIsIdentifiedBeforeFilteringEvenForDroppedRecords) {
    CapturedLog log;
    DecoderRun run;
    // The very first record is a fake shift: identified first, then dropped.
    run.Feed(Down(0x2a, 0xff, kRawFlagE0));
    run.Feed(Down(0x37, 0x2c, kRawFlagE0));
    run.Feed(Down(0x1e, 0x41, 0, kSecondKeyboard));
    run.Feed(Up(0x1e, 0x41, 0, kSecondKeyboard));
    run.Feed(Up(0x37, 0x2c, kRawFlagE0));

    EXPECT_EQ(run.identified, (std::vector<std::uint64_t>{kKeyboard, kSecondKeyboard, kKeyboard}));
    EXPECT_EQ(run.decoder.CurrentDevice(), kKeyboard);
    const std::wstring& text = log.Text();
    EXPECT_EQ(text.rfind(L"identify 0x1234\nOnInput():  Scan code 0x2a, Down", 0), 0u);
    EXPECT_NE(text.find(L"identify 0x5678\nOnInput():  Scan code 0x1e, Down"), std::wstring::npos);
    EXPECT_EQ(run.queue.size(), 4u);
}

TEST(RawKeyDecoder, WorksWithoutAnIdentifier) {
    RawKeyDecoder decoder;
    KeyEventQueue queue;
    CapturedLog log;
    const DecodeResult result = decoder.Process(Down(0x1e, 0x41), 3, queue, nullptr);
    EXPECT_EQ(result.message, KeyMessage::Make);
    EXPECT_EQ(decoder.CurrentDevice(), kKeyboard);
    EXPECT_FALSE(decoder.IsNewDevice(Down(0x30, 0x42)));
}

TEST(RawKeyDecoder, BackgroundRecordsAreTakenOnlyForReleasesOfKeysItSawGoDown) {
    RawKeyDecoder decoder;
    KeyEventQueue queue;
    decoder.SetCurrentDevice(kKeyboard);
    CapturedLog log;
    // In the foreground: A and Up go down, S goes down and up again.
    decoder.Decode(Down(0x1E, 0x41), 1, queue);
    decoder.Decode(Down(0x48, 0x26, kRawFlagE0), 2, queue);
    decoder.Decode(Down(0x1F, 0x53), 3, queue);
    decoder.Decode(Up(0x1F, 0x53), 4, queue);

    EXPECT_TRUE(decoder.TakesBackgroundRecord(Up(0x48, 0x26, kRawFlagE0)));
    // Typing in another program: presses, releases of keys not down, other prefixes.
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Down(0x1E, 0x41)));
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Up(0x1F, 0x53)));
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Up(0x30, 0x42)));
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Up(0x48, 0x68))); // Num 8, not Up

    // A's release is taken and decoded; a quick re-press and release there is not taken,
    // however long the engine takes to handle the first release.
    ASSERT_TRUE(decoder.TakesBackgroundRecord(Up(0x1E, 0x41)));
    decoder.Decode(Up(0x1E, 0x41), 10, queue);
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Down(0x1E, 0x41)));
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Up(0x1E, 0x41)));

    // Keys the page released on its return are up for the decoder too.
    decoder.KeepDownOnly({});
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Up(0x48, 0x26, kRawFlagE0)));

    // Pause released in the background: its trailing 0x45 is taken too, so that it is
    // dropped as part of the sequence rather than left awaited.
    decoder.Decode(Down(0x1D, 0x13, kRawFlagE1), 20, queue);
    decoder.Decode(Down(0x45, 0x90), 20, queue);
    ASSERT_TRUE(decoder.TakesBackgroundRecord(Up(0x1D, 0x13, kRawFlagE1)));
    decoder.Decode(Up(0x1D, 0x13, kRawFlagE1), 30, queue);
    EXPECT_TRUE(decoder.TakesBackgroundRecord(Up(0x45, 0x90)));
    EXPECT_FALSE(decoder.TakesBackgroundRecord(Down(0x45, 0x90)));
}
