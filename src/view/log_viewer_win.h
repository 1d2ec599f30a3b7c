#pragma once
// The event log view: the page's read-only RichEdit20W control, subclassed. Lines are stamped
// and queued, then written with their colours in one update; a context menu copies the
// selection.
#include "logging/log_line_queue.h"
#include "ui/window_base.h"

#include <richedit.h>

#include <cstdint>
#include <string>

class LogViewer : public SubclassedWindow {
public:
    // Lifts the control's text limit (kLogViewTextLimit) so a long run never loses lines.
    void LiftTextLimit();

    // Appends one line stamped with the local time now and gives the view the focus.
    bool AppendLine(const std::wstring& text, bool fault);
    // The same with a given time (the stamp uses its minute, second and milliseconds).
    bool AppendLineAt(const std::wstring& text, bool fault, const SYSTEMTIME& time);

    // Queues a line stamped with the local time now; `now` is the key clock, for the limit of
    // how long lines wait while key input keeps coming.
    void QueueLine(const std::wstring& text, bool fault, std::uint32_t now);
    void QueueLineAt(const std::wstring& text, bool fault, const SYSTEMTIME& time,
                     std::uint32_t now);
    const LogLineQueue& Queued() const { return queued_; }
    // Writes every queued line in one update: inserted with their colours, scrolled, the
    // focus on the view, the caret hidden, painted once.
    void WriteQueuedLines();

    // The view's text, queued lines included.
    std::wstring Text();

    LRESULT OnRightButtonUp(LPARAM position);
    void OnCopy();

    // Disables "&Copy" (not greyed) in the popup while nothing is selected.
    static void PrepareContextMenu(HMENU popup, const CHARRANGE& selection);
    // The point at which the menu opens: moved onto the nearest monitor when it lies on none.
    static POINT PlaceContextMenu(POINT screenPoint);

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    LogLineQueue queued_;
};
