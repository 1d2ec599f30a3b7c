#pragma once
// KeyboardWindow: the picture of a layout (the session's active one). Everything is drawn into an
// off-screen buffer; painting copies the invalid part of it to the screen. Faces of ordinary keys
// are cached by size and state, so a key press costs one copy and one label.
#include "base/dpi_scale.h"
#include "layouts/key_geometry.h"
#include "layouts/keyboard_layout.h"
#include "settings/app_settings.h"
#include "ui/align_window.h"
#include "ui/gdi_objects.h"
#include "ui/window_base.h"
#include "view/key_image_cache_win.h"

#include <string>

class KeyboardWindow : public SubclassedWindow, public AlignWindow {
public:
    // Draws layout, which must outlive the window.
    KeyboardWindow(KeyboardLayout& layout, Colour outline, Colour background, Colour label);
    // Draws a layout of its own.
    KeyboardWindow(Colour outline, Colour background, Colour label);
    ~KeyboardWindow() override;

    // The layout stays in 96-DPI pixels; the view draws it scaled to its window's DPI. A new
    // DPI makes the label font, the key faces and the buffer anew (the caller resizes the
    // window to the new view size).
    void SetDpi(int dpi);
    int Dpi() const { return dpi_; }
    // The size of the picture on the screen: the layout's size at the view's DPI.
    int ViewWidth() const { return ScaleToDpi(layout_.width, dpi_); }
    int ViewHeight() const { return ScaleToDpi(layout_.height, dpi_); }
    // A key's rectangle (or L shape) on the screen.
    LayoutKey ScreenShape(const LayoutKey& key) const { return ScaledKeyShape(key, dpi_); }

    KeyboardLayout& Layout() { return layout_; }
    const KeyboardLayout& Layout() const { return layout_; }

    // Draws one key with its label into target (the buffer, in the program).
    void DrawKey(HDC target, const LayoutKey& key);
    // Invalidates the key's area of the window, for an L-shaped key its bounding box.
    void RepaintKey(const LayoutKey& key);
    void RedrawAll();
    void ResetKeyStates();
    void SetStateColours(Colour unpressed, Colour depressed, Colour pressed, Colour alarm);
    // Takes ownership of a new label font (null keeps the current one).
    void ReplaceLabelFont(HFONT font);
    // Labels in a message font of this point size (0: the message font's own), made for the
    // view's DPI now and after every DPI change.
    void SetLabelPointSize(int pointSize);

    // Takes over the control and takes its window's DPI.
    bool SubclassWindow(HWND window) override;

    HDC BufferDC() const { return bufferDC_; }
    HFONT LabelFont() const { return labelFont_.Get(); }
    // Where the key's label is drawn on the screen, in the font it is drawn in.
    PixelRect LabelBlock(const LayoutKey& key);
    std::size_t CachedFaceCount() const { return cache_.Size(); }
    const StateColours& Colours() const { return colours_; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }

private:
    void OnSize(int width, int height);
    void OnPaint();
    // Draws a face into a new DIB section; an empty face when the bitmap cannot be made.
    CachedFace RenderFace(HDC target, int width, int height, Colour fill);
    void DrawKeyFace(HDC dc, const PixelRect& rect, Colour fill);
    void DrawTwoRowKey(HDC dc, const PixelRect& upper, const PixelRect& lower, Colour fill);
    void DrawKeyLabel(HDC dc, const PixelRect& rect, const std::wstring& label, Colour colour);
    // The label's block centred in rect with dc's font, or with the compact font (compact
    // set) when it does not fit with that one.
    PixelRect MeasureLabel(HDC dc, const PixelRect& rect, const std::wstring& label,
                           bool& compact) const;
    void Execute(HDC dc, const std::vector<PaintOp>& plan, Colour fill);
    void InvalidateAll();

    // Invalidated since the last paint (empty: nothing asked for).
    PixelRect pendingRepaint_;
    Colour outline_;
    Colour background_;
    Colour label_;
    StateColours colours_;
    OwnedFont labelFont_;
    OwnedFont compactFont_; // a size smaller, for labels too wide at a scale other than 100 %
    OwnedPen outlinePen_;
    OwnedBitmap buffer_;
    HDC bufferDC_ = nullptr;
    HGDIOBJ bufferDefaultBitmap_ = nullptr;
    // Holds a new face while it is rendered.
    HDC faceDC_ = nullptr;

    KeyboardLayout ownLayout_;
    KeyboardLayout& layout_;
    KeyImageCache cache_;
    int dpi_ = kBaseDpi;
    int labelPointSize_ = 0;
};
