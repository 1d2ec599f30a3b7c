#pragma once
// A key test session with a recording view, driven the way tapwise-cli replay drives it.
#include "layouts/key_names.h"
#include "session/key_test_session.h"
#include "session/replay_trace.h"

#include <cstdint>
#include <string>

struct SessionHarness {
    explicit SessionHarness(std::uint32_t chatterThreshold = 8, bool fields = false,
                            int keySize = 36)
        : threshold(chatterThreshold), view(fields),
          session(
              view, names, remap, [this] { return threshold; }, [this] { return this->keySize; }),
          keySize(keySize) {
        view.Attach(session);
        session.ReportLoadFailures(false);
    }

    // A selection with the given text as the built-in layout.
    bool SelectLayout(const std::wstring& path, const std::wstring& defaultText) {
        session.SetDefaultLayout(defaultText, std::wstring());
        return session.SelectLayout(path, lastLayout);
    }
    void Feed(const TraceRecord& record, bool background = false) {
        session.Feed(record.record, record.time, background);
    }
    // time in milliseconds.
    void Activate(std::int64_t time) { session.ReleaseKeysMissedWhileAway(time * 1000, nullptr); }
    void Restart(std::uint32_t chatterThreshold) {
        threshold = chatterThreshold;
        session.Restart();
        view.Clear();
    }
    void Finish() { view.WriteKeyStates(session.Layout()); }
    const std::string& Output() const { return view.Output(); }
    std::string TakeOutput() { return view.TakeOutput(); }
    int Status() const { return session.Status(); }
    TestReport Report(const ReportContext& context) const { return session.Report(context); }

    KeyNameTable names;
    RemapTable remap;
    std::uint32_t threshold;
    RecordingView view;
    KeyTestSession session;
    int keySize;
    std::wstring lastLayout;
};
