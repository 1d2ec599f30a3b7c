#include "view/keyboard_window_win.h"

#include "base/diagnostic_log.h"
#include "ui/window_dpi.h"
#include "view/message_font_win.h"

#include <algorithm>
#include <cstdlib>

namespace {
RECT ToRect(const PixelRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// A solid fill without creating a brush: an opaque empty text line.
void FillSolid(HDC dc, const PixelRect& r, Colour colour) {
    const RECT rect = ToRect(r);
    const COLORREF previous = ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}

// Labels grow no faster than the keys they sit on: the 96-DPI label font's height times the
// scale, rounded down, since text widths grow a little faster than font heights.
// smallerBy takes that many 96-DPI pixels off the height.
HFONT MakeLabelFont(int pointSize, int dpi, int smallerBy = 0) {
    HFONT base = CreateMessageFont(pointSize, false, kBaseDpi);
    LOGFONTW font{};
    if ((dpi == kBaseDpi && smallerBy == 0) || base == nullptr ||
        ::GetObjectW(base, sizeof(font), &font) == 0) {
        return base;
    }
    ::DeleteObject(base);
    const int sign = font.lfHeight < 0 ? -1 : 1;
    font.lfHeight = sign * (std::abs(font.lfHeight) - smallerBy) * dpi / kBaseDpi;
    font.lfWidth = font.lfWidth * dpi / kBaseDpi;
    return ::CreateFontIndirectW(&font);
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

// Faces are top-down 32-bit DIBs.
BITMAPINFO FaceInfo(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}
} // namespace

KeyboardWindow::KeyboardWindow(Colour outline, Colour background, Colour label)
    : KeyboardWindow(ownLayout_, outline, background, label) {}

KeyboardWindow::KeyboardWindow(KeyboardLayout& layout, Colour outline, Colour background,
                               Colour label)
    : outline_(outline), background_(background), label_(label),
      labelFont_(CreateMessageFont(0, false)), outlinePen_(::CreatePen(PS_SOLID, 1, outline)),
      bufferDC_(::CreateCompatibleDC(nullptr)), faceDC_(::CreateCompatibleDC(nullptr)),
      layout_(layout) {}

KeyboardWindow::~KeyboardWindow() {
    UnsubclassWindow();
    cache_.Clear();
    if (bufferDC_ != nullptr) {
        if (bufferDefaultBitmap_ != nullptr) {
            ::SelectObject(bufferDC_, bufferDefaultBitmap_);
        }
        ::DeleteDC(bufferDC_);
    }
    buffer_.Reset();
    if (faceDC_ != nullptr) {
        ::DeleteDC(faceDC_);
    }
}

void KeyboardWindow::ReplaceLabelFont(HFONT font) {
    if (font != nullptr) {
        labelFont_.Reset(font);
    }
}

void KeyboardWindow::SetLabelPointSize(int pointSize) {
    labelPointSize_ = pointSize;
    ReplaceLabelFont(MakeLabelFont(pointSize, dpi_));
    compactFont_.Reset(dpi_ != kBaseDpi ? MakeLabelFont(pointSize, dpi_, 1) : nullptr);
}

bool KeyboardWindow::SubclassWindow(HWND window) {
    if (!SubclassedWindow::SubclassWindow(window)) {
        return false;
    }
    SetDpi(WindowDpi(window));
    return true;
}

void KeyboardWindow::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) {
        return;
    }
    dpi_ = dpi;
    SetLabelPointSize(labelPointSize_);
    // Faces carry the scaled margin and outline.
    cache_.Clear();
    RedrawAll();
    InvalidateAll();
}

void KeyboardWindow::Execute(HDC dc, const std::vector<PaintOp>& plan, Colour fill) {
    SelectedObject pen(dc, outlinePen_.Get());
    for (const PaintOp& op : plan) {
        const PixelRect& r = op.rect;
        const Colour colour = op.role == PaintRole::Fill         ? fill
                              : op.role == PaintRole::Background ? background_
                                                                 : outline_;
        switch (op.kind) {
        case PaintOp::Kind::FillRect:
            FillSolid(dc, r, colour);
            break;
        case PaintOp::Kind::OutlinedRect: {
            SelectedObject brush(dc, ::GetStockObject(DC_BRUSH));
            const COLORREF previous = ::SetDCBrushColor(dc, colour);
            ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
            ::SetDCBrushColor(dc, previous);
            break;
        }
        case PaintOp::Kind::Run: {
            // LineTo leaves out its end point, so go one pixel beyond the run's last pixel.
            int dx = Sign(r.right - r.left);
            const int dy = Sign(r.bottom - r.top);
            if (dx == 0 && dy == 0) {
                dx = 1;
            }
            ::MoveToEx(dc, r.left, r.top, nullptr);
            ::LineTo(dc, r.right + dx, r.bottom + dy);
            break;
        }
        case PaintOp::Kind::Pixel:
            ::SetPixelV(dc, r.left, r.top, colour);
            break;
        }
    }
}

void KeyboardWindow::DrawKeyFace(HDC dc, const PixelRect& rect, Colour fill) {
    Execute(dc, KeyFacePlan(rect, ScaleToDpi(1, dpi_)), fill);
}

void KeyboardWindow::DrawTwoRowKey(HDC dc, const PixelRect& upper, const PixelRect& lower,
                                   Colour fill) {
    Execute(dc, TwoRowKeyPlan(upper, lower, ScaleToDpi(1, dpi_)), fill);
}

PixelRect KeyboardWindow::MeasureLabel(HDC dc, const PixelRect& rect, const std::wstring& label,
                                       bool& compact) const {
    RECT block = ToRect(rect);
    ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &block, DT_CALCRECT);
    compact = false;
    // Text widths do not grow quite in step with the font: a label that just fits its key at
    // 96 DPI may not at another scale, and is then drawn a size smaller.
    if (compactFont_ &&
        (block.right - block.left > rect.Width() || block.bottom - block.top > rect.Height())) {
        SelectedObject smaller(dc, compactFont_.Get());
        block = ToRect(rect);
        ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &block, DT_CALCRECT);
        compact = true;
    }
    return CentreBlock(rect, block.right - block.left, block.bottom - block.top);
}

PixelRect KeyboardWindow::LabelBlock(const LayoutKey& key) {
    const PixelRect area = LabelArea(ScreenShape(key));
    if (bufferDC_ == nullptr) {
        return area;
    }
    SelectedObject font(bufferDC_, labelFont_.Get());
    bool compact = false;
    return MeasureLabel(bufferDC_, area, key.label, compact);
}

void KeyboardWindow::DrawKeyLabel(HDC dc, const PixelRect& rect, const std::wstring& label,
                                  Colour colour) {
    // RedrawAll selects the font once for all keys; selecting it is not free.
    HFONT font = labelFont_.Get();
    SelectedObject selectedFont(dc, ::GetCurrentObject(dc, OBJ_FONT) == font ? nullptr : font);
    const COLORREF previousColour = ::SetTextColor(dc, colour);
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    bool compact = false;
    RECT centred = ToRect(MeasureLabel(dc, rect, label, compact));
    // A label wider or taller than its key (a long name from an imported board on a one-unit
    // key) is cut at the key's edge rather than drawn over its neighbours.
    centred.left = std::max(centred.left, static_cast<LONG>(rect.left));
    centred.top = std::max(centred.top, static_cast<LONG>(rect.top));
    centred.right = std::min(centred.right, static_cast<LONG>(rect.right));
    centred.bottom = std::min(centred.bottom, static_cast<LONG>(rect.bottom));
    {
        SelectedObject smaller(dc, compact ? compactFont_.Get() : nullptr);
        ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &centred, 0);
    }
    ::SetBkMode(dc, previousMode);
    ::SetTextColor(dc, previousColour);
}

void KeyboardWindow::DrawKey(HDC target, const LayoutKey& layoutKey) {
    // At 96 DPI the layout's own rectangles are the screen's.
    const LayoutKey scaled = dpi_ != kBaseDpi ? ScreenShape(layoutKey) : LayoutKey{};
    const LayoutKey& key = dpi_ != kBaseDpi ? scaled : layoutKey;
    if (target == nullptr || !IsDrawable(key)) {
        return;
    }
    const Colour fill = FillColourForState(colours_, key.state);
    if (IsTwoRowShaped(key)) {
        DrawTwoRowKey(target, UpperPart(key), LowerPart(key), fill);
        DrawKeyLabel(target, LabelArea(key), layoutKey.label,
                     LabelColourForState(label_, key.state));
        return;
    }
    const PixelRect rect = KeyRect(key);
    const KeyImageKey cacheKey{rect.Width(), rect.Height(), key.state};
    const CachedFace* face = cache_.Find(cacheKey);
    if (face == nullptr) {
        cache_.Add(cacheKey, RenderFace(target, rect.Width(), rect.Height(), fill));
        face = cache_.Find(cacheKey);
        if (face == nullptr) {
            LogMessage(L"   DrawKey(\"%ls\", state %d) - key missing from cache following add.\n",
                       layoutKey.label.c_str(), static_cast<int>(key.state));
            return;
        }
    }
    const BITMAPINFO info = FaceInfo(face->width, face->height);
    ::SetDIBitsToDevice(target, rect.left, rect.top, static_cast<DWORD>(face->width),
                        static_cast<DWORD>(face->height), 0, 0, 0, static_cast<UINT>(face->height),
                        face->bits, &info, DIB_RGB_COLORS);
    DrawKeyLabel(target, rect, layoutKey.label, LabelColourForState(label_, key.state));
}

CachedFace KeyboardWindow::RenderFace(HDC target, int width, int height, Colour fill) {
    CachedFace face;
    const BITMAPINFO info = FaceInfo(width, height);
    void* bits = nullptr;
    HBITMAP made = ::CreateDIBSection(target, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (made == nullptr || bits == nullptr || faceDC_ == nullptr) {
        if (made != nullptr) {
            ::DeleteObject(made);
        }
        return face;
    }
    {
        SelectedObject selected(faceDC_, made);
        DrawKeyFace(faceDC_, {0, 0, width, height}, fill);
    }
    ::GdiFlush();
    face.bitmap = made;
    face.bits = bits;
    face.width = width;
    face.height = height;
    return face;
}

void KeyboardWindow::RepaintKey(const LayoutKey& key) {
    if (Handle() == nullptr) {
        return;
    }
    // Until the next paint the invalid area only grows, and each request for it is a round
    // trip to the window manager: a burst over the same keys asks once.
    const PixelRect bounds = KeyBounds(dpi_ != kBaseDpi ? ScreenShape(key) : key);
    if (!pendingRepaint_.IsEmpty() && Contains(pendingRepaint_, bounds)) {
        return;
    }
    pendingRepaint_ = Enclosing(pendingRepaint_, bounds);
    const RECT area = ToRect(pendingRepaint_);
    ::InvalidateRect(Handle(), &area, TRUE);
}

void KeyboardWindow::RedrawAll() {
    if (bufferDC_ == nullptr) {
        return;
    }
    RECT client{};
    if (Handle() != nullptr) {
        ::GetClientRect(Handle(), &client);
    }
    FillSolid(bufferDC_, {client.left, client.top, client.right, client.bottom}, background_);
    SelectedObject font(bufferDC_, labelFont_.Get());
    for (const LayoutKey& key : layout_.keys) {
        DrawKey(bufferDC_, key);
    }
}

void KeyboardWindow::InvalidateAll() {
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void KeyboardWindow::ResetKeyStates() {
    layout_.ResetKeyStates();
    RedrawAll();
    InvalidateAll();
}

void KeyboardWindow::SetStateColours(Colour unpressed, Colour depressed, Colour pressed,
                                     Colour alarm) {
    colours_ = {unpressed, depressed, pressed, alarm};
    cache_.Clear();
    RedrawAll();
    InvalidateAll();
}

void KeyboardWindow::OnSize(int width, int height) {
    LogMessage(L"KeyboardWindow::OnSize(%d, %d) - reallocating and drawing keyboard buffer.\n",
               width, height);
    if (bufferDC_ == nullptr) {
        return;
    }
    if (bufferDefaultBitmap_ != nullptr) {
        ::SelectObject(bufferDC_, bufferDefaultBitmap_);
        bufferDefaultBitmap_ = nullptr;
    }
    buffer_.Reset();
    HDC windowDC = ::GetDC(Handle());
    if (windowDC != nullptr) {
        buffer_.Reset(::CreateCompatibleBitmap(windowDC, width, height));
        ::ReleaseDC(Handle(), windowDC);
    }
    if (buffer_) {
        bufferDefaultBitmap_ = ::SelectObject(bufferDC_, buffer_.Get());
    }
    RedrawAll();
    InvalidateAll();
}

void KeyboardWindow::OnPaint() {
    pendingRepaint_ = PixelRect{};
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Handle(), &paint);
    if (dc == nullptr) {
        LogMessage(L"KeyboardWindow::OnPaint():  No display device context available.\n");
        return;
    }
    // The paint rectangle encloses the update region (asking for it apart is another round
    // trip to the window manager).
    const RECT& update = paint.rcPaint;
    if (!::IsRectEmpty(&update)) {
        ::BitBlt(dc, update.left, update.top, update.right - update.left,
                 update.bottom - update.top, bufferDC_, update.left, update.top, SRCCOPY);
    }
    ::EndPaint(Handle(), &paint);
}

bool KeyboardWindow::ProcessMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_SIZE:
        OnSize(static_cast<int>(LOWORD(lParam)), static_cast<int>(HIWORD(lParam)));
        result = 0;
        return true;
    case WM_SHOWWINDOW:
        pendingRepaint_ = PixelRect{};
        return false;
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    default:
        return false;
    }
}
