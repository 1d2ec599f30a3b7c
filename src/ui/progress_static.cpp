#include "ui/progress_static.h"

namespace {

// Space between two text parts, and before the first, in average character widths.
constexpr int kPartGap = 2;

} // namespace

ProgressStatic::ProgressStatic(const Colours& colours)
    : colours_(colours), backgroundBrush_(::CreateSolidBrush(colours.background)),
      frameBrush_(::CreateSolidBrush(colours.frame)), barBrush_(::CreateSolidBrush(colours.bar)) {}

void ProgressStatic::SetProgress(std::vector<ReadoutPart> parts, std::size_t done,
                                 std::size_t total) {
    parts_ = std::move(parts);
    done_ = done;
    total_ = total;
    // Only a change goes to the window manager: most key events leave the words as they are.
    std::wstring text = ReadoutText(parts_);
    if (Handle() != nullptr && text != text_) {
        text_ = std::move(text);
        ::SetWindowTextW(Handle(), text_.c_str());
    }
    // Painted with the next WM_PAINT: a burst of key events draws the readout once, and asks
    // for that paint once (each request is a round trip to the window manager).
    if (Handle() != nullptr && !paintPending_) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
        paintPending_ = true;
    }
}

void ProgressStatic::Draw(HDC dc) const {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, backgroundBrush_.Get());
    RECT inner = client;
    for (int line = ScaleToDpi(1, dpi_); line > 0; --line) {
        ::FrameRect(dc, &inner, frameBrush_.Get());
        ::InflateRect(&inner, -1, -1);
    }
    RECT filled = inner;
    filled.right = inner.left + ProgressFill(inner.right - inner.left, done_, total_);
    if (filled.right > filled.left) {
        ::FillRect(dc, &filled, barBrush_.Get());
    }

    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(Handle(), WM_GETFONT, 0, 0));
    HGDIOBJ previousFont = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    const int previousMode = ::SetBkMode(dc, TRANSPARENT);
    const COLORREF previousColour = ::GetTextColor(dc);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    int x = inner.left + kPartGap * metrics.tmAveCharWidth;
    const int y = inner.top + (inner.bottom - inner.top - metrics.tmHeight) / 2;
    for (const ReadoutPart& part : parts_) {
        ::SetTextColor(dc, part.alarm ? colours_.alarmText : colours_.text);
        const int length = static_cast<int>(part.text.size());
        ::TextOutW(dc, x, y, part.text.c_str(), length);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, part.text.c_str(), length, &extent);
        x += extent.cx + kPartGap * metrics.tmAveCharWidth;
    }
    ::SetTextColor(dc, previousColour);
    ::SetBkMode(dc, previousMode);
    if (previousFont != nullptr) {
        ::SelectObject(dc, previousFont);
    }
}

void ProgressStatic::SetDpi(int dpi) {
    if (dpi > 0 && dpi != dpi_) {
        dpi_ = dpi;
        if (Handle() != nullptr) {
            ::InvalidateRect(Handle(), nullptr, FALSE);
        }
    }
}

bool ProgressStatic::ProcessMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_SHOWWINDOW:
        paintPending_ = false;
        return false;
    case WM_PAINT: {
        paintPending_ = false;
        PAINTSTRUCT paint{};
        HDC dc = ::BeginPaint(Handle(), &paint);
        if (dc != nullptr) {
            Draw(dc);
            ::EndPaint(Handle(), &paint);
        }
        result = 0;
        return true;
    }
    case WM_ERASEBKGND:
        // The whole face is painted in WM_PAINT; erasing first would flicker.
        result = 1;
        return true;
    default:
        return false;
    }
}
