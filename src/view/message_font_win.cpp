#include "view/message_font_win.h"

namespace {
// The metrics structure as it was before the padded border width was added: accepted by
// every version of Windows.
constexpr UINT kNonClientMetricsSize = 500;

int HeightForPoints(int pointSize) {
    if (pointSize == 0) {
        return 0;
    }
    HDC screen = ::CreateCompatibleDC(nullptr);
    const int pixelsPerInch = screen != nullptr ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ::DeleteDC(screen);
    }
    return -::MulDiv(pointSize, pixelsPerInch, 72);
}
} // namespace

HFONT CreateMessageFont(int pointSize, bool fixedPitch) {
    const int height = HeightForPoints(pointSize);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = kNonClientMetricsSize;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0)) {
        LOGFONTW font = metrics.lfMessageFont;
        if (height == 0) {
            font.lfWidth = 0;
        } else {
            font.lfHeight = height;
        }
        if (fixedPitch) {
            font.lfPitchAndFamily = FIXED_PITCH;
            font.lfFaceName[0] = L'\0';
        }
        if (HFONT made = ::CreateFontIndirectW(&font)) {
            return made;
        }
    }
    const DWORD pitch = fixedPitch ? FIXED_PITCH : DEFAULT_PITCH;
    if (HFONT made = ::CreateFontW(height, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch,
                                   fixedPitch ? nullptr : L"MS Shell Dlg")) {
        return made;
    }
    return ::CreateFontW(height, 0, 0, 0, 0, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, pitch, nullptr);
}
