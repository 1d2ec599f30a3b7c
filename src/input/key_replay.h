#pragma once
// Replays recorded raw keyboard records through the program's decoding, key test engine
// and key state machine, describing every effect on the page as one text line.
#include "input/key_names.h"
#include "input/key_states.h"
#include "input/key_test_engine.h"
#include "input/raw_decoder.h"
#include "input/remap_table.h"
#include "layouts/keyboard_layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TraceRecord {
    std::uint32_t time = 0; // the clock reading at decoding
    RawKeyRecord record;
};

// Parses a trace: one record per line, "TIME MAKE FLAGS VKEY [DEVICE]", each a decimal or
// 0x-hexadecimal number (DEVICE defaults to 1); "#" starts a comment; blank lines are
// skipped. On the first malformed line returns false, no records, and "line N: <what is
// wrong>".
bool ParseTrace(std::string_view text, std::vector<TraceRecord>& records, std::string& error);

// A string in double quotes, UTF-8, with \\, \", \n, \r and \xHH for other control
// characters.
std::string QuoteText(std::wstring_view text);

class ReplaySession final : private KeyTestPage, private KeyView {
public:
    // layout and names are those of a finished layout load; status is the layout status
    // that load left (1 loaded, 4 default after a failure, 6 nothing loaded).
    ReplaySession(KeyboardLayout& layout, KeyNameTable& names, const RemapTable& remap,
                  std::uint32_t threshold, bool showFields, int status);
    ReplaySession(const ReplaySession&) = delete;
    ReplaySession& operator=(const ReplaySession&) = delete;

    // What the page does after every layout selection: every key back to untested and the
    // status moved on and shown.
    void ClearDisplay();
    // Decodes one record and handles the event it queues, if any.
    void Feed(const TraceRecord& record);
    // One "state:" line per key that is not untested, in layout order.
    void Finish();

    // The lines written so far; TakeOutput hands them over and starts afresh.
    const std::string& Output() const { return output_; }
    std::string TakeOutput();
    int Status() const { return status_; }
    const KeyTestEngine& Engine() const { return engine_; }

private:
    void SetFieldText(int control, const wchar_t* text) override;
    void AppendLine(const wchar_t* text, bool fault) override;
    void NotifyPressed(ScanCode code) override;
    void NotifyReleased(ScanCode code) override;
    void NotifyFault(ScanCode code) override;
    void RefreshLockIndicator(LockKey lock) override;
    int GetLayoutStatus() const override { return status_; }
    void SetLayoutStatus(int status) override { status_ = status; }
    void UpdateLayoutStatus() override;
    void RedrawKey(LayoutKey&) override {}

    void AppendUtf8(std::wstring_view text);

    KeyboardLayout& layout_;
    bool showFields_;
    int status_;
    KeyEventQueue queue_;
    RawKeyDecoder decoder_;
    KeyTestEngine engine_;
    std::string output_;
};

// The text the status line shows for a layout status; empty for 0 (hidden).
const wchar_t* ReplayStatusText(int status);
