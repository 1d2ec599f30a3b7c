#pragma once
// The DPI of a window and the few DPI functions of newer Windows versions, looked up at run
// time so that the program still starts where they are missing (the system DPI then applies
// to every window).
#include "ui/gdi_objects.h"
#include "base/dpi_scale.h"

#include <windows.h>

// The system's DPI (LOGPIXELSY of the screen), 96 when it cannot be read.
int SystemDpi();
// The window's DPI: its monitor's on Windows 10 1607 and later, else the system DPI.
int WindowDpi(HWND window);
// AdjustWindowRectEx for a window shown at dpi (the system metrics where the DPI-aware variant
// is missing).
bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool hasMenu, DWORD exStyle, int dpi);
// The system's non-client metrics as they are at dpi (fonts scaled from the system DPI where
// the DPI-aware query is missing).
bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);
// The dialog manager leaves DPI changes of this dialog to the program, which scales the
// template's controls and fonts itself (the same on every Windows version).
void TakeOverDialogDpiScaling(HWND dialog);

// WM_DPICHANGED, for SDKs that lack it.
constexpr UINT kDpiChangedMessage = 0x02E0;

// Moves and sizes every direct child of parent from fromDpi to toDpi, and gives those that
// used oldFont the font newFont (null: fonts stay).
void RescaleChildren(HWND parent, int fromDpi, int toDpi, HFONT oldFont, HFONT newFont);

// The DPI of a dialog made from a template, and its template's controls and font at that
// DPI. Back at the DPI it was made at, the dialog's own font is used again, so that a change
// there and back leaves no font behind.
class DialogDpi {
public:
    // At WM_INITDIALOG: the DPI the template was laid out at.
    void Attach(HWND dialog);
    int Dpi() const { return dpi_; }
    // Scales the template's controls and their dialog font to dpi; false when it is the same.
    bool Change(int dpi);

private:
    HWND dialog_ = nullptr;
    int dpi_ = kBaseDpi;
    int createdDpi_ = kBaseDpi;
    HFONT createdFont_ = nullptr;
    OwnedFont scaledFont_;
};
// A copy of font at toDpi where it was made for fromDpi; null when it cannot be made. The
// caller owns it.
HFONT RescaleFont(HFONT font, int fromDpi, int toDpi);
