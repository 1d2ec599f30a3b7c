#pragma once
// The owner-drawn buttons of the flat scheme. Each takes over a BS_OWNERDRAW button of a
// dialog template and paints itself in answer to the reflected WM_DRAWITEM (0x202B).
#include "base/colour.h"
#include "ui/align_window.h"
#include "ui/gdi_objects.h"
#include "ui/window_base.h"
#include "base/dpi_scale.h"

// Sent to a tab button to lay out the tab row from that tab on.
constexpr UINT kLayoutTabRowMessage = WM_USER + 100;

// A text button with a thin outline: 1 pixel, 2 while held down.
class FlatButton : public SubclassedWindow, public AlignWindow {
public:
    FlatButton(Colour text, Colour background);
    void Draw(const DRAWITEMSTRUCT& item) const;
    // Outline widths are 96-DPI pixels scaled to dpi.
    void SetDpi(int dpi) { dpi_ = dpi; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }

private:
    Colour text_;
    Colour background_;
    OwnedBrush backgroundBrush_;
    int dpi_ = kBaseDpi;
};

// A colour swatch with a light outline.
class FlatColorButton : public SubclassedWindow {
public:
    explicit FlatColorButton(Colour fill);
    // Shows another colour; the same colour again changes nothing.
    void SetFillColour(Colour fill);
    Colour FillColour() const { return fill_; }
    void Draw(const DRAWITEMSTRUCT& item) const;
    void SetDpi(int dpi) { dpi_ = dpi; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    Colour outline_;
    Colour fill_;
    OwnedBrush fillBrush_;
    int dpi_ = kBaseDpi;
};

// A bitmap button. With a hover image the bitmap holds the normal image above the hover image,
// both of equal height.
class ImageButton : public SubclassedWindow, public AlignWindow {
public:
    // Loads the bitmap resource from the module (instance null: the program).
    ImageButton(UINT bitmapId, bool hasHoverImage, HINSTANCE instance = nullptr);
    // Takes ownership of a bitmap made elsewhere.
    ImageButton(HBITMAP bitmap, bool hasHoverImage);

    // Takes over the button and sizes it to one image (no move).
    bool SubclassWindow(HWND window) override;
    void Draw(const DRAWITEMSTRUCT& item) const;
    bool IsHovering() const { return hovering_; }
    int FrameHeight() const { return frameHeight_; }
    // Shows the images scaled to dpi and sizes the button to one scaled image (no move).
    void SetDpi(int dpi);

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }

private:
    void Measure(bool hasHoverImage);
    void RedrawNow();
    void FitToImage();

    OwnedBitmap bitmap_;
    int width_ = 0;
    int height_ = 0;
    int frameHeight_ = 0;
    bool hovering_ = false;
    int dpi_ = kBaseDpi;
    OwnedBitmap scaled_; // the bitmap at dpi_, none at 96 DPI
};

// One tab of the main window's tab row. The selected tab is open at the bottom so that it
// joins the frame below it.
class TabButton : public SubclassedWindow, public AlignWindow {
public:
    TabButton(Colour text, Colour line, Colour background, Colour selectedBackground,
              bool selected);

    void SetNeighbours(TabButton* left, TabButton* right) {
        left_ = left;
        right_ = right;
    }
    void SetSelected(bool selected);
    bool IsSelected() const { return selected_; }
    // Line width and text margin are 96-DPI pixels scaled to dpi.
    void SetDpi(int dpi);
    void Draw(const DRAWITEMSTRUCT& item) const;
    // Moves this tab to its left neighbour's right edge, widens it to its text, then lets the
    // right neighbour follow.
    void LayoutTabRow();

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }

private:
    Colour text_;
    Colour line_;
    Colour background_;
    Colour selectedBackground_;
    OwnedPen linePen_;
    OwnedBrush backgroundBrush_;
    OwnedBrush selectedBrush_;
    bool selected_;
    TabButton* left_ = nullptr;
    TabButton* right_ = nullptr;
    int dpi_ = kBaseDpi;
};
