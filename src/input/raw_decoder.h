#pragma once
// Turns raw keyboard records into queued key events, dropping the artefact records of
// multi-byte scan code sequences (fake shifts around E0 keys, the 0x45 of the Pause key).
#include "base/scan_code.h"

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The fields of one RAWINPUT keyboard record that decoding needs; device is the raw
// input device handle as an opaque value.
struct RawKeyRecord {
    std::uint16_t makeCode = 0;
    std::uint16_t flags = 0;
    std::uint16_t virtualKey = 0;
    std::uint64_t device = 0;

    bool operator==(const RawKeyRecord&) const = default;
};

enum class KeyMessage { None, Make, Break };

struct DecodeResult {
    KeyMessage message = KeyMessage::None; // which message to post, None when dropped
    std::size_t index = 0;                 // the event's index in the queue
};

class RawKeyDecoder {
public:
    // A record from another device than the last must be identified first, before any
    // filtering: the caller checks this, identifies the device and calls SetCurrentDevice.
    bool IsNewDevice(const RawKeyRecord& record) const { return record.device != currentDevice_; }

    // Decodes one record that arrived at timeUs (microseconds of the key-event clock).
    DecodeResult Decode(const RawKeyRecord& record, std::int64_t timeUs, KeyEventQueue& queue);

    // The whole handling of one record: a record from another device is handed to
    // identifyDevice (may be empty) before anything else, even when it is then dropped, and
    // becomes the current device; then the record is decoded.
    DecodeResult Process(const RawKeyRecord& record, std::int64_t timeUs, KeyEventQueue& queue,
                         const std::function<void(const RawKeyRecord&)>& identifyDevice);

    // Raw input that arrives while another window has the foreground is what the user types
    // there. Only the release of a key that this decoder itself saw go down and not yet up is
    // taken (and the record the decoder awaits to end that key's sequence), so that it gets
    // its real time; every other record is neither decoded, logged, identified nor counted.
    // The decision does not wait for the key test engine, which learns of events only when
    // their posted messages are handled.
    bool TakesBackgroundRecord(const RawKeyRecord& record) const;
    // Whether the last decoded event of this code (complete, prefix included) was a make.
    bool IsDown(ScanCode code) const { return down_.test(code); }
    // Keys released where no record of it arrived (the tester let them go): every key not in
    // held is up as far as the decoder knows.
    void KeepDownOnly(const std::vector<ScanCode>& held);

    std::uint64_t CurrentDevice() const { return currentDevice_; }
    void SetCurrentDevice(std::uint64_t device) { currentDevice_ = device; }
    std::uint16_t PendingIgnoreCode() const { return pendingIgnoreCode_; }

private:
    std::uint16_t pendingIgnoreCode_ = 0;
    std::uint64_t currentDevice_ = 0;
    std::bitset<0x10000> down_; // by complete code
};
