#include "view/message_font_win.h"

#include "ui/window_dpi.h"

HFONT CreateMessageFont(int pointSize, bool fixedPitch, int dpi) {
    if (dpi <= 0) {
        dpi = SystemDpi();
    }
    const int height = pointSize == 0 ? 0 : -::MulDiv(pointSize, dpi, 72);
    NONCLIENTMETRICSW metrics{};
    if (NonClientMetricsForDpi(metrics, dpi)) {
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
