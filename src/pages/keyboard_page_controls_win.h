#pragma once
// The custom-drawn controls of the keyboard test page with their colours, taken over from the
// dialog template, and the lock lamps with the thread that reads the lock states.
#include "input/lock_indicators_win.h"
#include "input/worker_thread_win.h"
#include "layouts/layout_selection.h"
#include "pages/key_page_win.h"
#include "pages/status_label_win.h"
#include "ui/buttons.h"
#include "ui/deferred_static.h"
#include "ui/gdi_objects.h"
#include "ui/progress_static.h"
#include "ui/static_controls.h"
#include "ui/window_dpi.h"
#include "view/log_viewer_win.h"

#include <windows.h>

// The fields the key engine writes on every event: the six last-key fields (1030-1035), then
// the held-keys line (1054).
constexpr int kKeyFieldCount = 7;
extern const int kKeyFieldIds[kKeyFieldCount];

struct KeyboardPageControls {
    KeyboardPageControls();
    // Takes over every control of the page; the last-key fields start empty and the
    // overwrite box as the setting says.
    void Attach(HWND page);
    void StartLamps();
    // Filled by the first key event's device identification.
    void ClearInterfaceFields(HWND page);
    // A last-key field or the held-keys line, or another control of page.
    void SetField(HWND page, int field, const wchar_t* text);
    void ShowLayoutStatus(const LayoutStatusDisplay& display);
    // The event log, its saving status and the last-key fields emptied.
    void ClearLogAndLastKey();
    // The keyboard group box never shrinks below the design of the template.
    void RememberDesign(HWND page);
    // The keyboard view placed in its group for a width x height layout, the group grown
    // around it and the layout group beside it; the log controls moved down with the group
    // and shown or hidden (the log status only hidden: it shows with a status).
    void PlaceAround(HWND page, HWND view, int width, int height, bool showLog, int margin);
    // The keyboard group with the view in it and the log controls below moved down by dy
    // pixels (up when negative): room above the keyboard for the bench strip.
    void MoveKeyboardAndLog(HWND page, HWND view, int dy);
    // The fonts the settings ask for, made for dpi and given to their controls.
    void CreateFonts(HWND page, int dpi);
    // Lines and bitmaps of the custom-drawn controls for a screen of dpi.
    void ApplyDpi(int dpi);
    // The template's controls scaled to dpi; the log controls keep their distance below the
    // keyboard group, which reflows move. False when the DPI is the same.
    bool ChangeDpi(HWND page, int dpi);
    void CreateBrushes();
    // The controls whose drawing, colour and notification messages go back to them.
    static bool IsReflected(int id);
    // The brush of a background colour of the scheme; the page's own for any other.
    HBRUSH BrushFor(Colour background) const;

    LogViewer log;
    FlatButton clear;
    FlatButton save;
    FlatButton report;
    FlatIndicator numLock;
    FlatIndicator scrollLock;
    FlatIndicator capsLock;
    FlatGroupbox infoGroup;
    FlatGroupbox layoutGroup;
    FlatGroupbox keyboardGroup;
    ColorStatic statusCaption;
    ColorStatic statusText;
    ColorStatic statusError;
    ColorStatic logStatus;
    ProgressStatic readout;
    // Written on every key event, painted once per paint.
    DeferredStatic keyFields[kKeyFieldCount];
    ColorStaticLabel statusLabel;
    ColorStaticLabel logStatusLabel;
    ToggleKeyMonitorThread lockMonitor;
    IndicatorLamp numLamp;
    IndicatorLamp scrollLamp;
    IndicatorLamp capsLamp;
    LockIndicators lamps;
    // Page, dim text, light text, bright text and frame colours.
    OwnedBrush brushes[5];
    OwnedFont heldKeysFont;
    OwnedFont logFont;
    OwnedFont sequenceFont;
    DialogDpi dpi; // the DPI the page is drawn for
    int minimumGroupWidth = 0;
    int minimumGroupHeight = 0;
};
