#pragma once
// The project's own small window framework: C++ objects behind existing controls (subclassing)
// and behind modeless dialogs created from templates, with message reflection between them.
#include "shell/message_loop.h"

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

// A modeless dialog created from a template resource. The C++ object is attached during
// creation, so WM_INITDIALOG already reaches ProcessMessage. Also usable as the loop's message
// filter (IsDialogMessageW on this dialog).
class ModelessDialog : public CMessageFilter {
public:
    ModelessDialog() = default;
    virtual ~ModelessDialog();
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    // Null on failure (GetLastError tells why). instance null means the module's instance.
    HWND Create(HWND parent, UINT templateId, HINSTANCE instance = nullptr);
    // The same from a template in memory.
    HWND CreateIndirect(HWND parent, const DLGTEMPLATE* dialogTemplate);
    // Destroys the dialog window if it exists; the object stays usable for a new Create.
    BOOL DestroyWindow();

    HWND Handle() const { return window_; }

    // Registers this dialog with the current thread's message loop as message filter and,
    // when given, the idle handler too. False when the thread has no loop.
    bool AddToMessageLoop(CIdleHandler* idleHandler = nullptr);
    void RemoveFromMessageLoop(CIdleHandler* idleHandler = nullptr);
    BOOL PreTranslateMessage(MSG* message) override;

protected:
    // true when the message was handled, with its result in `result` (for WM_INITDIALOG and the
    // WM_CTLCOLOR messages the dialog procedure's own return value, else DWLP_MSGRESULT).
    virtual bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) = 0;

    // Sends an owner-draw, scroll, notify, command or colour message back to the child control
    // that it concerns, as message + 0x2000. Reflected messages count as handled, except colour
    // messages, which count only when the control returned a brush.
    bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // The child control that a reflectable message concerns, or null.
    HWND ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) const;
    // Its control id, or 0: dialogs reflect only for the controls they own.
    int ReflectionTargetId(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};
