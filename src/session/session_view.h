#pragma once
// What a keyboard test session shows, and the one seam between the session and whatever shows
// it: the keyboard test page, the command-line replay or a test.
#include "input/key_test_engine.h"
#include "layouts/keyboard_layout.h"
#include "layouts/layout_selection.h"
#include "session/plan_verdict.h"

class SessionView {
public:
    // A last-key field or the held-keys line (kField... numbers) has a new text, valid only
    // during the call.
    virtual void FieldChanged(int field, const wchar_t* text) = 0;
    // A key's test state changed; the key is to be drawn again.
    virtual void KeyChanged(const LayoutKey& key) = 0;
    // A lock key was pressed: its lamp is to show the lock's state now.
    virtual void LampToRefresh(LockKey lock) = 0;
    // The layout status line: its text and colour, or hidden when display.visible is false.
    virtual void StatusChanged(const LayoutStatusDisplay& display) = 0;
    // A layout was loaded, cleared or reloaded: every key is untested, and the event log, its
    // saving status and the last-key fields are to be emptied.
    virtual void DisplayCleared() = 0;
    // Event log lines wait in the session (KeyTestSession::TakeLogLines).
    virtual void LogLinesReady() = 0;
    // A unit's test under a plan ended: by itself (PASS), by Finish or by the time limit. The
    // session is consistent (its report can be written now), but a new unit is best started
    // after the call returns.
    virtual void UnitEnded(const PlanVerdict&) {}

protected:
    ~SessionView() = default;
};
