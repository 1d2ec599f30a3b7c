#pragma once
// The key test engine: what the keyboard test page does with each queued key event. It
// tracks every key's timing, applies the chatter rule, writes the event log lines, the
// last-key fields and the held-keys line, moves the key states and the layout status, and
// asks for a lock lamp's refresh. Everything it changes on the page goes through
// KeyTestPage, which the program, the tests and the command line each implement.
#include "base/scan_code.h"
#include "input/bounded_text.h"
#include "input/key_statistics.h"
#include "input/remap_table.h"
#include "layouts/key_names.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

// Controls of the keyboard test page that the engine writes.
constexpr int kFieldLastDownName = 1030;
constexpr int kFieldLastUpName = 1031;
constexpr int kFieldLastDownWinCode = 1032;
constexpr int kFieldLastDownBiosCode = 1033;
constexpr int kFieldLastUpWinCode = 1034;
constexpr int kFieldLastUpBiosCode = 1035;
constexpr int kFieldHeldKeys = 1054;

enum class LockKey { CapsLock, NumLock, ScrollLock };

// The virtual key whose toggle bit a lock lamp shows, and the lamp's control.
constexpr int LockVirtualKey(LockKey lock) {
    return lock == LockKey::CapsLock ? 0x14 : lock == LockKey::NumLock ? 0x90 : 0x91;
}
constexpr int LockLampControl(LockKey lock) {
    return lock == LockKey::CapsLock ? 1026 : lock == LockKey::NumLock ? 1024 : 1025;
}
const wchar_t* LockKeyName(LockKey lock);

// The engine's own record of a key code, apart from the key's display state.
struct KeyTiming {
    // ReleasedAway: the release happened where the page could not see it; its time is
    // unknown, so the next press is not checked for chatter.
    enum Phase : std::int32_t { NeverSeen = 0, Held = 1, Released = 2, ReleasedAway = 3 };
    std::int32_t phase = NeverSeen;
    std::int64_t time = 0;        // microseconds. Held: start of the hold; Released: time of the
                                  // last break; ReleasedAway: when the page noticed
    std::uint16_t virtualKey = 0; // of the make that began the hold
};

using KeyTimingTable = std::map<ScanCode, KeyTiming>;
// In the order the keys went down; each code at most once.
using HeldKeys = std::vector<ScanCode>;

// Texts passed to the page are valid only during the call.
class KeyTestPage {
public:
    virtual void SetFieldText(int control, const wchar_t* text) = 0;
    // fault: the line is shown in red.
    virtual void AppendLine(const wchar_t* text, bool fault) = 0;
    virtual void NotifyPressed(ScanCode code) = 0;
    virtual void NotifyReleased(ScanCode code) = 0;
    virtual void NotifyFault(ScanCode code) = 0;
    virtual void RefreshLockIndicator(LockKey lock) = 0;
    virtual int GetLayoutStatus() const = 0;
    virtual void SetLayoutStatus(int status) = 0;
    // Shows the status line for the current value.
    virtual void UpdateLayoutStatus() = 0;

protected:
    ~KeyTestPage() = default;
};

// Which lamp a press of this (already translated) code refreshes, if any.
bool LockKeyOfCode(ScanCode code, LockKey& lock);

// Every text the engine writes is bounded by this buffer size (terminator included).
constexpr std::size_t kFormatBufferSize = 1024;

enum class KeyLineKind { Down, Chatter, Up, UpWhileAway };

// The make code a keyboard sends instead of a key when it cannot report one more key held
// (raw input's KEYBOARD_OVERRUN_MAKE_CODE: the HID ErrorRollOver usage, the PS/2 overrun).
constexpr ScanCode kOverrunMakeCode = 0xFF;

// "ROLLOVER OVERFLOW with N keys held"
void FormatOverflowLine(BoundedText& out, std::size_t held);

// The whole milliseconds a log line shows for an interval in microseconds: truncated toward
// zero, so 7999 us is 7 ms and a negative interval keeps its sign.
constexpr std::int64_t WholeMilliseconds(std::int64_t microseconds) {
    return microseconds / 1000;
}

// One event log line: "%s (0x%02X, BIOS 0x%02X) DOWN", "... CHATTER DETECTED -> %dms",
// "... UP -> %dms" or "... UP (released while away)" (no interval: the release time is
// unknown). milliseconds is printed as "%d" prints a 32-bit value. An over-long name is cut
// so the codes and the interval always show.
void FormatKeyLine(BoundedText& out, KeyLineKind kind, const std::wstring& name,
                   std::uint16_t virtualKey, ScanCode code, std::int64_t milliseconds);
// " %s"
void FormatNameField(BoundedText& out, const std::wstring& name);
// "%3d (0x%02x)"
void FormatCodeField(BoundedText& out, unsigned value);
// A space, then each held key's name followed by two spaces, all upper-cased.
void FormatHeldKeys(BoundedText& out, const HeldKeys& held, KeyNameTable& names);

class KeyTestEngine {
public:
    // Whole milliseconds, read at every make, so a settings change takes effect at the next
    // press; without one the ChatterThreshold setting is read. A re-press is chatter when the
    // exact interval in microseconds is below threshold x 1000.
    using ThresholdSource = std::function<std::uint32_t()>;

    KeyTestEngine(KeyEventQueue& queue, KeyNameTable& names, const RemapTable& remap,
                  KeyTestPage& page, ThresholdSource threshold);
    KeyTestEngine(const KeyTestEngine&) = delete;
    KeyTestEngine& operator=(const KeyTestEngine&) = delete;

    // Handlers of the page's make and break messages; index is the event's queue position.
    void OnKeyMake(std::size_t index);
    void OnKeyBreak(std::size_t index);

    // Whether the last event of this code (complete, prefix included) was a make.
    bool IsHeld(ScanCode code) const;

    // Says whether a key is still down right now, by its code and virtual key.
    using KeyDownQuery = std::function<bool(ScanCode code, std::uint16_t virtualKey)>;
    // The page is active again after a time in which releases could not reach it (another
    // window had the foreground, or raw input was off for an edit box). Every key held here
    // that stillDown (if given) does not report as down is released at timeUs: its state and
    // the held-keys line follow, and an "UP (released while away)" line is written.
    void ReleaseKeysMissedWhileAway(std::int64_t timeUs, const KeyDownQuery& stillDown);

    // Back to a new engine: no key seen, none held (tools that replay many sessions).
    void ForgetAllKeys();

    // Chatter thresholds that replace the threshold source, in microseconds (a test plan's):
    // allKeysUs for every key (negative: the source's), and keysUs for single keys. They
    // apply to the chatter rule and the key's CHATTER DETECTED line.
    void SetThresholds(std::int64_t allKeysUs, std::map<ScanCode, std::int64_t> keysUs);
    // The threshold source for every key again.
    void ClearThresholds() { SetThresholds(-1, {}); }
    // The threshold the next press of the code is checked against, in microseconds.
    std::int64_t ThresholdUsFor(ScanCode code) const {
        if (allKeysThresholdUs_ < 0 && keyThresholdsUs_.empty()) {
            return static_cast<std::int64_t>(threshold_()) * 1000;
        }
        return SetThresholdUsFor(code);
    }

    const KeyTimingTable& Timings() const { return timings_; }
    const HeldKeys& Held() const { return held_; }
    const KeyStatistics& Statistics() const { return statistics_; }
    // With the key states, at every layout load: the timings and held keys stay.
    void ResetStatistics() { statistics_.Reset(); }

private:
    KeyEvent* CompleteCode(std::size_t index);
    // A make of the overrun code: one red line, counted.
    void OnOverflow();
    // ThresholdUsFor when SetThresholds gave any.
    std::int64_t SetThresholdUsFor(ScanCode code) const;
    void WriteCodeFields(int winControl, int biosControl, const KeyEvent& event);
    void RewriteHeldKeys();

    KeyEventQueue& queue_;
    KeyNameTable& names_;
    const RemapTable& remap_;
    KeyTestPage& page_;
    ThresholdSource threshold_;
    std::int64_t allKeysThresholdUs_ = -1;
    std::map<ScanCode, std::int64_t> keyThresholdsUs_;
    KeyTimingTable timings_;
    HeldKeys held_;
    KeyStatistics statistics_;
    wchar_t buffer_[kFormatBufferSize];
};
