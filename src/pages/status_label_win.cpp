#include "pages/status_label_win.h"

void ColorStaticLabel::SetStatusText(int textId, Colour colour) {
    if (textId == 0) {
        SetWindowTextW(label_.Handle(), L"");
        return;
    }
    label_.SetTextFromResource(static_cast<UINT>(textId), colour);
}

void ColorStaticLabel::Show(bool visible) {
    ShowWindow(label_.Handle(), visible ? SW_SHOW : SW_HIDE);
}
