#include "ui/buttons.h"

#include "base/diagnostic_log.h"
#include "ui/colour_scheme.h"

#include <algorithm>
#include <string>

namespace {
constexpr UINT kCentredLine = DT_SINGLELINE | DT_VCENTER | DT_CENTER;

void RedrawAtOnce(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

// A reflected WM_DRAWITEM: the button draws the item its lParam describes.
template <class Button> LRESULT DrawReflectedItem(const Button& button, LPARAM lParam) {
    if (lParam != 0) {
        button.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    }
    return TRUE;
}

// A reflected WM_CTLCOLORBTN of the flat buttons: their colours on an opaque background.
LRESULT FlatButtonColours(WPARAM wParam, Colour text, Colour background, HBRUSH brush) {
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkColor(dc, background);
    ::SetTextColor(dc, text);
    ::SetBkMode(dc, OPAQUE);
    return reinterpret_cast<LRESULT>(brush);
}

// The outlined rectangle of the flat buttons, drawn over a background-filled item rectangle.
void DrawOutlinedItem(const DRAWITEMSTRUCT& item, Colour text, Colour background, HBRUSH brush,
                      int dpi) {
    HDC dc = item.hDC;
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, background);
    ::SetBkMode(dc, OPAQUE);
    SelectedObject selectedBrush(dc, brush);
    const RECT& r = item.rcItem;
    ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
    const bool held = (item.itemState & ODS_SELECTED) != 0;
    OwnedPen pen(::CreatePen(PS_SOLID, ScaleToDpi(held ? 2 : 1, dpi), text));
    SelectedObject selectedPen(dc, pen.Get());
    const int inset = held ? ScaleToDpi(1, dpi) : 0;
    ::Rectangle(dc, r.left + inset, r.top + inset, r.right, r.bottom);
}
} // namespace

FlatButton::FlatButton(Colour text, Colour background)
    : text_(text), background_(background), backgroundBrush_(::CreateSolidBrush(background)) {}

void FlatButton::Draw(const DRAWITEMSTRUCT& item) const {
    DrawOutlinedItem(item, text_, background_, backgroundBrush_.Get(), dpi_);
    std::wstring text = WindowText(item.hwndItem, 254);
    RECT rect = item.rcItem;
    ::DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &rect, kCentredLine);
}

bool FlatButton::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case kReflectedCtlColorBtn:
        result = FlatButtonColours(wParam, text_, background_, backgroundBrush_.Get());
        return true;
    case kReflectedDrawItem:
        result = DrawReflectedItem(*this, lParam);
        return true;
    default:
        return false;
    }
}

FlatColorButton::FlatColorButton(Colour fill)
    : outline_(Palette::NormalText), fill_(fill), fillBrush_(::CreateSolidBrush(fill)) {}

void FlatColorButton::SetFillColour(Colour fill) {
    if (fill == fill_) {
        return;
    }
    fill_ = fill;
    fillBrush_.Reset(::CreateSolidBrush(fill));
    if (Handle() != nullptr) {
        RedrawAtOnce(Handle());
    }
}

void FlatColorButton::Draw(const DRAWITEMSTRUCT& item) const {
    DrawOutlinedItem(item, outline_, fill_, fillBrush_.Get(), dpi_);
}

bool FlatColorButton::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case kReflectedCtlColorBtn:
        result = FlatButtonColours(wParam, outline_, fill_, fillBrush_.Get());
        return true;
    case kReflectedDrawItem:
        result = DrawReflectedItem(*this, lParam);
        return true;
    default:
        return false;
    }
}

ImageButton::ImageButton(UINT bitmapId, bool hasHoverImage, HINSTANCE instance) {
    if (instance == nullptr) {
        instance = ::GetModuleHandleW(nullptr);
    }
    bitmap_.Reset(static_cast<HBITMAP>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(bitmapId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
    Measure(hasHoverImage);
}

ImageButton::ImageButton(HBITMAP bitmap, bool hasHoverImage) : bitmap_(bitmap) {
    Measure(hasHoverImage);
}

void ImageButton::Measure(bool hasHoverImage) {
    BITMAP info{};
    if (bitmap_ && ::GetObjectW(bitmap_.Get(), sizeof(info), &info) == sizeof(info)) {
        width_ = info.bmWidth;
        height_ = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    }
    frameHeight_ = hasHoverImage ? height_ / 2 : 0;
}

bool ImageButton::SubclassWindow(HWND window) {
    LogMessage(L"ImageButton::SubclassWindow()\n");
    if (!SubclassedWindow::SubclassWindow(window)) {
        return false;
    }
    FitToImage();
    return true;
}

void ImageButton::FitToImage() {
    const int height = frameHeight_ != 0 ? frameHeight_ : height_;
    ::SetWindowPos(Handle(), nullptr, 0, 0, ScaleToDpi(width_, dpi_), ScaleToDpi(height, dpi_),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ImageButton::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) {
        return;
    }
    dpi_ = dpi;
    scaled_.Reset();
    if (bitmap_ && dpi != kBaseDpi) {
        // Each image is scaled on its own, so that the hover image starts exactly one scaled
        // frame down.
        const int frames = frameHeight_ != 0 ? 2 : 1;
        const int frame = frameHeight_ != 0 ? frameHeight_ : height_;
        const int scaledWidth = ScaleToDpi(width_, dpi);
        const int scaledFrame = ScaleToDpi(frame, dpi);
        HDC screen = ::GetDC(nullptr);
        HDC source = ::CreateCompatibleDC(screen);
        HDC target = ::CreateCompatibleDC(screen);
        scaled_.Reset(::CreateCompatibleBitmap(screen, scaledWidth, scaledFrame * frames));
        if (source != nullptr && target != nullptr && scaled_) {
            SelectedObject from(source, bitmap_.Get());
            SelectedObject to(target, scaled_.Get());
            ::SetStretchBltMode(target, HALFTONE);
            ::SetBrushOrgEx(target, 0, 0, nullptr);
            for (int i = 0; i < frames; ++i) {
                ::StretchBlt(target, 0, i * scaledFrame, scaledWidth, scaledFrame, source, 0,
                             i * frame, width_, frame, SRCCOPY);
            }
        }
        if (target != nullptr) {
            ::DeleteDC(target);
        }
        if (source != nullptr) {
            ::DeleteDC(source);
        }
        ::ReleaseDC(nullptr, screen);
    }
    if (Handle() != nullptr) {
        FitToImage();
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void ImageButton::RedrawNow() {
    RedrawAtOnce(Handle());
}

void ImageButton::Draw(const DRAWITEMSTRUCT& item) const {
    if (!bitmap_) {
        return;
    }
    HDC source = ::CreateCompatibleDC(item.hDC);
    if (source == nullptr) {
        return;
    }
    {
        SelectedObject selected(source, scaled_ ? scaled_.Get() : bitmap_.Get());
        const RECT& r = item.rcItem;
        const int frame = scaled_ ? ScaleToDpi(frameHeight_, dpi_) : frameHeight_;
        ::BitBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, source, 0,
                 hovering_ ? frame : 0, SRCCOPY);
    }
    ::DeleteDC(source);
}

bool ImageButton::ProcessMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_MOUSEMOVE:
        if (!hovering_ && frameHeight_ != 0) {
            LogMessage(L"Mouse entered client area, displaying hover image...\n");
            hovering_ = true;
            TRACKMOUSEEVENT track{};
            track.cbSize = sizeof(track);
            track.dwFlags = TME_LEAVE;
            track.hwndTrack = Handle();
            ::TrackMouseEvent(&track);
            RedrawNow();
        }
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        LogMessage(L"Mouse left client area, displaying normal image...\n");
        hovering_ = false;
        RedrawNow();
        result = 0;
        return true;
    case kReflectedDrawItem:
        result = DrawReflectedItem(*this, lParam);
        return true;
    default:
        return false;
    }
}

TabButton::TabButton(Colour text, Colour line, Colour background, Colour selectedBackground,
                     bool selected)
    : text_(text), line_(line), background_(background), selectedBackground_(selectedBackground),
      linePen_(::CreatePen(PS_SOLID, 2, line)), backgroundBrush_(::CreateSolidBrush(background)),
      selectedBrush_(::CreateSolidBrush(selectedBackground)), selected_(selected) {}

void TabButton::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) {
        return;
    }
    dpi_ = dpi;
    linePen_.Reset(::CreatePen(PS_SOLID, ScaleToDpi(2, dpi), line_));
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

void TabButton::SetSelected(bool selected) {
    selected_ = selected;
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
        ::UpdateWindow(Handle());
    }
}

void TabButton::Draw(const DRAWITEMSTRUCT& item) const {
    const std::wstring caption = WindowText(item.hwndItem, 98);
    const RECT& r = item.rcItem;
    LogMessage(L"TabButton::OnDrawItem() - Control ID %d \"%ls\", (%d, %d, %d, %d).\n",
               static_cast<int>(item.CtlID), caption.c_str(), r.left, r.top, r.right, r.bottom);
    HDC dc = item.hDC;
    ::SetBkMode(dc, OPAQUE);
    ::SetTextColor(dc, text_);
    ::FillRect(dc, &r, selected_ ? selectedBrush_.Get() : backgroundBrush_.Get());
    ::SetBkColor(dc, selected_ ? selectedBackground_ : background_);
    {
        SelectedObject pen(dc, linePen_.Get());
        // The wide pen is centred on its line: half a line in from each edge.
        const int h = ScaleToDpi(2, dpi_) / 2;
        if (left_ == nullptr || selected_) {
            ::MoveToEx(dc, r.left + h, r.bottom, nullptr);
            ::LineTo(dc, r.left + h, r.top);
        }
        ::MoveToEx(dc, r.left, r.top + h, nullptr);
        ::LineTo(dc, r.right, r.top + h);
        if (right_ == nullptr || selected_) {
            ::MoveToEx(dc, r.right - h, r.top - h, nullptr);
            ::LineTo(dc, r.right - h, r.bottom);
        }
        if (!selected_) {
            ::MoveToEx(dc, r.right - h, r.bottom - h, nullptr);
            ::LineTo(dc, r.left, r.bottom - h);
        }
    }
    ::SetTextColor(dc, text_);
    const std::wstring text = WindowText(item.hwndItem, 254);
    RECT textRect = r;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, kCentredLine);
}

void TabButton::LayoutTabRow() {
    HWND window = Handle();
    HWND parent = ::GetParent(window);
    RECT rect{};
    ::GetWindowRect(window, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    int x = rect.left;
    if (left_ != nullptr && left_->Handle() != nullptr) {
        RECT leftRect{};
        ::GetWindowRect(left_->Handle(), &leftRect);
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&leftRect), 2);
        x = leftRect.right;
    }
    const std::wstring text = WindowText(window, 48);
    SIZE extent{};
    HDC dc = ::GetDC(window);
    if (dc != nullptr) {
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        ::ReleaseDC(window, dc);
    }
    const int width = std::max(static_cast<int>(extent.cx) + ScaleToDpi(5, dpi_),
                               static_cast<int>(rect.right - rect.left));
    ::SetWindowPos(window, nullptr, x, rect.top, width, rect.bottom - rect.top,
                   SWP_NOACTIVATE | SWP_NOZORDER);
    if (right_ != nullptr && right_->Handle() != nullptr) {
        ::SendMessageW(right_->Handle(), kLayoutTabRowMessage, 0, 0);
    }
}

bool TabButton::ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case kLayoutTabRowMessage:
        LayoutTabRow();
        result = 0;
        return true;
    case kReflectedDrawItem:
        result = DrawReflectedItem(*this, lParam);
        return true;
    case kReflectedCtlColorBtn: {
        const std::wstring text = WindowText(Handle(), 98);
        LogMessage(L"TabButton::OnCtlColorBtn() - button ID %d \"%ls\".\n",
                   ::GetDlgCtrlID(Handle()), text.c_str());
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, Palette::NormalText);
        ::SetBkColor(dc, selected_ ? selectedBackground_ : background_);
        result =
            reinterpret_cast<LRESULT>(selected_ ? selectedBrush_.Get() : backgroundBrush_.Get());
        return true;
    }
    default:
        return false;
    }
}
