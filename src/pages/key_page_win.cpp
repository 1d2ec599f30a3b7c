#include "pages/key_page_win.h"

#include "ui/static_controls.h"

void IndicatorLamp::SetLit(bool lit) {
    indicator_.SetLit(lit);
}

void IndicatorLamp::Repaint() {
    const HWND window = indicator_.Handle();
    if (window != nullptr) {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }
}
