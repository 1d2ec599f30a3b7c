#pragma once
// A view of a key test session that describes every effect on the page as one text line: what
// tapwise-cli replay prints and the session tests read. The trace itself: trace_record.h.
#include "input/raw_decoder.h"
#include "session/key_test_session.h"
#include "session/session_view.h"
#include "session/trace_record.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A string in double quotes, UTF-8, with \\, \", \n, \r and \xHH for other control
// characters.
std::string QuoteText(std::wstring_view text);

// Writes, in order, one line per effect:
//   status: <status text>      log: <line>      fault: <line shown in red>
//   held: "<held keys>"        lamp: Caps Lock | Num Lock | Scroll Lock
//   field: <control id> "<text>"   (only with showFields)
class RecordingView final : public SessionView {
public:
    explicit RecordingView(bool showFields = false) : showFields_(showFields) {}
    // The session whose log lines are taken as soon as they are ready.
    void Attach(KeyTestSession& session) { session_ = &session; }

    // One "state:" line per key that is not untested, in layout order.
    void WriteKeyStates(const KeyboardLayout& layout);
    // The lines written so far; TakeOutput hands them over and starts afresh.
    const std::string& Output() const { return output_; }
    std::string TakeOutput();
    void Clear() { output_.clear(); }

    void FieldChanged(int field, const wchar_t* text) override;
    void KeyChanged(const LayoutKey&) override {}
    void LampToRefresh(LockKey lock) override;
    void StatusChanged(const LayoutStatusDisplay& display) override;
    void DisplayCleared() override {}
    void LogLinesReady() override;

private:
    void AppendUtf8(std::wstring_view text);

    bool showFields_;
    KeyTestSession* session_ = nullptr;
    std::string output_;
};
