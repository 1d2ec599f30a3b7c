#pragma once
// The flat static controls: a coloured label, a filled group frame and a lock-key lamp. Each
// takes over an existing static or group-box control of a dialog template.
#include "base/colour.h"
#include "ui/align_window.h"
#include "ui/gdi_objects.h"
#include "ui/window_base.h"
#include "base/dpi_scale.h"

// A text label with its own colours; answers the reflected WM_CTLCOLORSTATIC.
class ColorStatic : public SubclassedWindow, public AlignWindow {
public:
    explicit ColorStatic(Colour background);

    // Shows a string-table entry in the given colour. A missing entry empties the label and
    // keeps the previous colour.
    bool SetTextFromResource(UINT stringId, Colour textColour, HINSTANCE instance = nullptr);

    Colour TextColour() const { return textColour_; }
    Colour Background() const { return background_; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }

private:
    Colour textColour_;
    Colour background_;
    OwnedBrush backgroundBrush_;
};

// A group box drawn as a 2-pixel frame filled with a colour; its caption is never drawn.
class FlatGroupbox : public SubclassedWindow, public AlignWindow {
public:
    FlatGroupbox(Colour line, Colour fill);

    // Paints into dc as WM_PAINT does (used by WM_PAINT and by tests on memory DCs).
    void Draw(HDC dc) const;
    // The 2-pixel frame line is meant at 96 DPI.
    void SetDpi(int dpi);

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }

private:
    int dpi_ = kBaseDpi;
    Colour line_;
    Colour fill_;
    OwnedPen linePen_;
    OwnedBrush fillBrush_;
};

// A lamp: its whole client area in the on or off colour.
class FlatIndicator : public SubclassedWindow {
public:
    FlatIndicator(Colour on, Colour off);

    bool SubclassWindow(HWND window) override;
    // The owner invalidates and updates the lamp after a change. The window text says "On" or
    // "Off", for whatever reads the screen other than eyes.
    void SetLit(bool lit);
    bool IsLit() const { return lit_; }
    void Draw(HDC dc) const;

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    Colour on_;
    Colour off_;
    OwnedBrush onBrush_;
    OwnedBrush offBrush_;
    bool lit_ = false;
};
