#include "pages/key_page_win.h"

#include "ui/static_controls.h"
#include "view/keyboard_window_win.h"

void KeyboardViewRedraw::RedrawKey(LayoutKey& key) {
    view_.DrawKey(view_.BufferDC(), key);
    view_.RepaintKey(key);
}

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
