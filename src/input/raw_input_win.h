#pragma once
// Raw keyboard input for one window: the registration, and the reading of each WM_INPUT record
// into the decoder, which queues the event and has the window post itself the make or break
// message.
#include "input/raw_decoder.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>

// The raw input registration flags: no legacy key messages, no application hotkeys,
// application command keys still handled, and input in the background too, so that a key
// held here and released in another window does not stay held (every other background
// record is ignored).
constexpr DWORD kRawInputFlags =
    RIDEV_NOLEGACY | RIDEV_NOHOTKEYS | RIDEV_APPKEYS | RIDEV_INPUTSINK; // 0x730

// The fields decoding needs from a keyboard record.
RawKeyRecord ToRawKeyRecord(const RAWINPUT& record);

class RawInputReader {
public:
    // Runs with the whole record when it comes from another device than the last one, before
    // the record is decoded.
    using DeviceIdentifier = std::function<void(const RAWINPUT& record)>;

    // The queue (and the decoder, when given) are the window's; they must outlive the reader.
    // target may be null until the window exists (SetTarget).
    RawInputReader(HWND target, KeyEventQueue& queue, DeviceIdentifier identifyDevice = {},
                   RawKeyDecoder* decoder = nullptr);

    void SetTarget(HWND target) { target_ = target; }
    // Every record taken (not one that the background rule refused) goes to keep, with its
    // time, before it is decoded.
    using RecordKeeper = std::function<void(const RawKeyRecord& record, std::int64_t timeUs)>;
    void KeepRecordsIn(RecordKeeper keep) { keep_ = std::move(keep); }
    HWND Target() const { return target_; }

    // WM_INPUT: reads the record behind the handle and decodes it. A record that cannot be read
    // or is not a keyboard record is ignored silently. Always 0 (handled).
    LRESULT OnInput(WPARAM inputCode, LPARAM rawInputHandle);
    // Decodes a record already read: time stamp, device check, decoding, and the posted
    // UWM_KEY_MAKE / UWM_KEY_BREAK with the event's index. A background record (another
    // window has the foreground) goes on only when it is the release of a held key.
    void OnRecord(const RAWINPUT& record, bool background = false);
    // Decodes every WM_INPUT already waiting for the target, oldest first, so that each record
    // is time-stamped before the window spends time on the work of earlier events. The order
    // of the events and of their posted messages stays the order of arrival.
    void DecodeWaitingInput();
    // A raw record or a posted key message not yet handled is waiting for the target.
    bool KeyInputWaiting() const;

    // Register the target window for raw keyboard input / remove the registration. Each writes
    // its trace line and, on failure, the error code; false on failure.
    bool EnableRawInput();
    bool DisableRawInput();

    RawKeyDecoder& Decoder() { return *decoder_; }

private:
    HWND target_;
    KeyEventQueue& queue_;
    DeviceIdentifier identifyDevice_;
    RecordKeeper keep_;
    RawKeyDecoder ownDecoder_;
    RawKeyDecoder* decoder_;
    bool draining_ = false;
};
