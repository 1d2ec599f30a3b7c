#pragma once
// The project's own small window framework: C++ objects behind existing controls (subclassing),
// and the message reflection numbers that dialogs (ui/modeless_dialog.h) send back to them.

#include <windows.h>

// A dialog hands the owner-draw and colour notifications of a child control back to that
// control as the message value plus this offset, so that the control can paint itself.
constexpr UINT kReflectionOffset = 0x2000;
constexpr UINT kReflectedCommand = kReflectionOffset + WM_COMMAND;               // 0x2111
constexpr UINT kReflectedNotify = kReflectionOffset + WM_NOTIFY;                 // 0x204E
constexpr UINT kReflectedDrawItem = kReflectionOffset + WM_DRAWITEM;             // 0x202B
constexpr UINT kReflectedMeasureItem = kReflectionOffset + WM_MEASUREITEM;       // 0x202C
constexpr UINT kReflectedCtlColorBtn = kReflectionOffset + WM_CTLCOLORBTN;       // 0x2135
constexpr UINT kReflectedCtlColorStatic = kReflectionOffset + WM_CTLCOLORSTATIC; // 0x2138

// Takes over the window procedure of an existing window (typically a control of a dialog
// template) and routes its messages to ProcessMessage. The object must outlive the window or
// be detached first; the destructor detaches a window that still exists.
class SubclassedWindow {
public:
    SubclassedWindow() = default;
    virtual ~SubclassedWindow();
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    // Fails (false) for a null handle or when the object is already attached.
    virtual bool SubclassWindow(HWND window);
    // Gives the window its previous procedure back; returns the handle (null if none).
    HWND UnsubclassWindow();

    HWND Handle() const { return window_; }

protected:
    // true when the message was handled, with its result in `result`. Unhandled messages go to
    // the window's previous procedure.
    virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;
    // The previous procedure, for handlers that want to add to the default behaviour.
    LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);
    HWND window_ = nullptr;
};
