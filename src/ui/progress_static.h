#pragma once
// A static control drawn as a progress bar with a line of text parts over it; parts marked as
// alarms are drawn in the alarm colour. Takes over an existing static of a dialog template and
// uses the font the dialog gave it.
#include "base/colour.h"
#include "base/progress_parts.h"
#include "ui/gdi_objects.h"
#include "ui/window_base.h"
#include "base/dpi_scale.h"

#include <vector>

class ProgressStatic : public SubclassedWindow {
public:
    struct Colours {
        Colour background;
        Colour frame;
        Colour bar;
        Colour text;
        Colour alarmText;
    };
    explicit ProgressStatic(const Colours& colours);

    // Shows the parts over a bar filled for done of total, and has it repainted.
    void SetProgress(std::vector<ReadoutPart> parts, std::size_t done, std::size_t total);
    const std::vector<ReadoutPart>& Parts() const { return parts_; }
    // Paints into dc as WM_PAINT does (used by WM_PAINT and by tests on memory DCs).
    void Draw(HDC dc) const;
    // The frame line is 1 pixel at 96 DPI.
    void SetDpi(int dpi);

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    Colours colours_;
    OwnedBrush backgroundBrush_;
    OwnedBrush frameBrush_;
    OwnedBrush barBrush_;
    std::vector<ReadoutPart> parts_;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
    std::wstring text_;         // the window text, the parts in words
    bool paintPending_ = false; // invalidated, WM_PAINT not yet seen
    int dpi_ = kBaseDpi;
};
