#pragma once
// The event log view: the page's read-only RichEdit20W control, subclassed. Lines are appended
// with a time stamp and their colour; a context menu copies the selection.
#include "ui/window_base.h"

#include <richedit.h>

#include <string>

class LogViewer : public SubclassedWindow {
public:
    // Appends one line stamped with the local time now and gives the view the focus.
    bool AppendLine(const std::wstring& text, bool fault);
    // The same with a given time (the stamp uses its minute, second and milliseconds).
    bool AppendLineAt(const std::wstring& text, bool fault, const SYSTEMTIME& time);

    std::wstring Text() const;

    LRESULT OnRightButtonUp(LPARAM position);
    void OnCopy();

    // Disables "&Copy" (not greyed) in the popup while nothing is selected.
    static void PrepareContextMenu(HMENU popup, const CHARRANGE& selection);
    // The point at which the menu opens: moved onto the nearest monitor when it lies on none.
    static POINT PlaceContextMenu(POINT screenPoint);

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
};
