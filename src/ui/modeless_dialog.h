#pragma once
#include "ui/colour_scheme.h"
#include "ui/message_loop.h"
#include "ui/window_base.h"

#include <windows.h>

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
    // The tail every dialog's message handling shares: the messages of a control that
    // `reflected` names go back to it, and the colour messages go to OnCtlColor.
    bool ReflectOrColour(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                         bool (*reflected)(int id));
    // The brush (as the result) for a WM_CTLCOLOR message, or a button's reflected one.
    virtual LRESULT OnCtlColor(UINT message, HDC dc, HWND control);
    // Sets the scheme's colours of this dialog for a colour message into dc.
    ControlColours ApplySchemeColours(SchemeDialog dialog, UINT message, HDC dc,
                                      HWND control) const;
    // The child control that a reflectable message concerns, or null.
    HWND ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) const;
    // Its control id, or 0: dialogs reflect only for the controls they own.
    int ReflectionTargetId(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
};
