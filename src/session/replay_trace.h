#pragma once
// Replays recorded raw keyboard records through the program's decoding, key test engine
// and key state machine, describing every effect on the page as one text line.
#include "input/key_states.h"
#include "input/key_test_engine.h"
#include "input/raw_decoder.h"
#include "input/remap_table.h"
#include "layouts/key_names.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_selection.h"
#include "report/report_model.h"

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

class ReplaySession final : private KeyTestPage,
                            private KeyView,
                            private LayoutPage,
                            private StatusLabel {
public:
    // Layouts are loaded into layout and names with keySize pixels per key unit.
    ReplaySession(KeyboardLayout& layout, KeyNameTable& names, const RemapTable& remap,
                  std::uint32_t threshold, bool showFields, int keySize);
    ReplaySession(const ReplaySession&) = delete;
    ReplaySession& operator=(const ReplaySession&) = delete;

    // The page's layout selection: the layout file at path (defaultText for the default
    // layout marker), falling back to defaultText; then every key back to untested and the
    // status moved on and shown. true only when the requested layout itself was loaded.
    bool SelectLayout(const std::wstring& path, const std::wstring& defaultText);
    // Decodes one record and handles the event it queues, if any. A background record (another
    // window had the foreground) is taken only when the page would take it.
    void Feed(const TraceRecord& record, bool background = false);
    // The page is active again: keys whose release it missed are released at time.
    void Activate(std::uint32_t time);
    // Back to the moment the layout selection ended: every key untested, no event seen, the
    // status as the selection left it, no output; threshold replaces the chatter threshold.
    void Restart(std::uint32_t threshold);
    // One "state:" line per key that is not untested, in layout order.
    void Finish();

    // The lines written so far; TakeOutput hands them over and starts afresh.
    const std::string& Output() const { return output_; }
    std::string TakeOutput();
    int Status() const { return selector_.Status(); }
    const KeyTestEngine& Engine() const { return engine_; }
    const KeyboardLayout& Layout() const { return layout_; }
    // The test so far as the report shows it.
    TestReport Report(const ReportContext& context) const;

private:
    // KeyTestPage
    void SetFieldText(int control, const wchar_t* text) override;
    void AppendLine(const wchar_t* text, bool fault) override;
    void NotifyPressed(ScanCode code) override;
    void NotifyReleased(ScanCode code) override;
    void NotifyFault(ScanCode code) override;
    void RefreshLockIndicator(LockKey lock) override;
    int GetLayoutStatus() const override { return selector_.Status(); }
    void SetLayoutStatus(int status) override;
    // The selector shows the status whenever it moves it on.
    void UpdateLayoutStatus() override {}
    // KeyView
    void RedrawKey(LayoutKey&) override {}
    // LayoutPage: only the status line has a line of output.
    bool LoadLayoutFile(const std::wstring& path) override;
    bool LoadLayoutString(const std::wstring& text) override;
    void ResetKeyStates() override;
    void EmptyEventLog() override {}
    void HideLogStatus() override {}
    void ClearLastKeyFields() override {}
    StatusLabel& LayoutStatusText() override { return *this; }
    void ShowStatusCaption(bool) override {}
    void PostLayoutChanged() override {}
    void HighlightLayoutEntry(int) override {}
    void FocusPage() override {}
    // StatusLabel
    void SetStatusText(int textId, Colour colour) override;
    void Show(bool) override {}

    void AppendUtf8(std::wstring_view text);

    KeyboardLayout& layout_;
    KeyNameTable& names_;
    bool showFields_;
    int keySize_;
    LayoutSelector selector_;
    std::uint32_t threshold_;
    KeyEventQueue queue_;
    RawKeyDecoder decoder_;
    KeyTestEngine engine_;
    std::string output_;
};
