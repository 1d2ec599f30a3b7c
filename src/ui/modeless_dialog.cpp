#include "ui/modeless_dialog.h"

ModelessDialog::~ModelessDialog() {
    // The derived part is gone by now, so the window's last messages must not reach it.
    if (window_ != nullptr) {
        HWND window = window_;
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        window_ = nullptr;
        ::DestroyWindow(window);
    }
}

HWND ModelessDialog::Create(HWND parent, UINT templateId, HINSTANCE instance) {
    if (window_ != nullptr) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    if (instance == nullptr) {
        instance =
            Module().Instance() != nullptr ? Module().Instance() : ::GetModuleHandleW(nullptr);
    }
    return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent,
                                &ModelessDialog::DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND ModelessDialog::CreateIndirect(HWND parent, const DLGTEMPLATE* dialogTemplate) {
    if (window_ != nullptr) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return nullptr;
    }
    return ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), dialogTemplate, parent,
                                        &ModelessDialog::DialogProc,
                                        reinterpret_cast<LPARAM>(this));
}

BOOL ModelessDialog::DestroyWindow() {
    if (window_ == nullptr) {
        return FALSE;
    }
    return ::DestroyWindow(window_);
}

bool ModelessDialog::AddToMessageLoop(CIdleHandler* idleHandler) {
    CMessageLoop* loop = Module().GetMessageLoop();
    if (loop == nullptr) {
        return false;
    }
    loop->AddMessageFilter(this);
    if (idleHandler != nullptr) {
        loop->AddIdleHandler(idleHandler);
    }
    return true;
}

void ModelessDialog::RemoveFromMessageLoop(CIdleHandler* idleHandler) {
    CMessageLoop* loop = Module().GetMessageLoop();
    if (loop == nullptr) {
        return;
    }
    loop->RemoveMessageFilter(this);
    if (idleHandler != nullptr) {
        loop->RemoveIdleHandler(idleHandler);
    }
}

BOOL ModelessDialog::PreTranslateMessage(MSG* message) {
    return window_ != nullptr && ::IsDialogMessageW(window_, message);
}

int ModelessDialog::ReflectionTargetId(UINT message, WPARAM wParam, LPARAM lParam) const {
    HWND target = ReflectionTarget(message, wParam, lParam);
    return target != nullptr && target != window_ ? ::GetDlgCtrlID(target) : 0;
}

HWND ModelessDialog::ReflectionTarget(UINT message, WPARAM wParam, LPARAM lParam) const {
    switch (message) {
    case WM_COMMAND:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return reinterpret_cast<HWND>(lParam);
    case WM_NOTIFY:
        return lParam != 0 ? reinterpret_cast<const NMHDR*>(lParam)->hwndFrom : nullptr;
    case WM_PARENTNOTIFY: {
        const UINT event = LOWORD(wParam);
        if (event == WM_CREATE || event == WM_DESTROY) {
            return reinterpret_cast<HWND>(lParam);
        }
        return ::GetDlgItem(window_, HIWORD(wParam));
    }
    case WM_DRAWITEM:
        // wParam 0 means a menu item, which has no control to go back to.
        return wParam != 0 && lParam != 0
                   ? reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem
                   : nullptr;
    case WM_MEASUREITEM:
        return wParam != 0 && lParam != 0
                   ? ::GetDlgItem(window_,
                                  reinterpret_cast<const MEASUREITEMSTRUCT*>(lParam)->CtlID)
                   : nullptr;
    case WM_COMPAREITEM:
        return lParam != 0 ? reinterpret_cast<const COMPAREITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    case WM_DELETEITEM:
        return lParam != 0 ? reinterpret_cast<const DELETEITEMSTRUCT*>(lParam)->hwndItem : nullptr;
    default:
        return nullptr;
    }
}

bool ModelessDialog::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam,
                                         LRESULT& result) {
    HWND target = ReflectionTarget(message, wParam, lParam);
    if (target == nullptr || target == window_) {
        return false;
    }
    result = ::SendMessageW(target, message + kReflectionOffset, wParam, lParam);
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        return result != 0;
    }
    return true;
}

INT_PTR CALLBACK ModelessDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    ModelessDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<ModelessDialog*>(lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        if (self != nullptr) {
            self->window_ = window;
        }
    } else {
        self = reinterpret_cast<ModelessDialog*>(::GetWindowLongPtrW(window, DWLP_USER));
    }
    if (self == nullptr) {
        return FALSE;
    }
    LRESULT result = 0;
    const bool handled = self->ProcessMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(window, DWLP_USER, 0);
        self->window_ = nullptr;
    }
    if (!handled) {
        return FALSE;
    }
    switch (message) {
    // These return their result directly rather than through DWLP_MSGRESULT.
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return static_cast<INT_PTR>(result);
    default:
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, static_cast<LONG_PTR>(result));
        return TRUE;
    }
}

bool ModelessDialog::ReflectOrColour(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                                     bool (*reflected)(int id)) {
    if (reflected(ReflectionTargetId(message, wParam, lParam)) &&
        ReflectNotification(message, wParam, lParam, result)) {
        return true;
    }
    switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case kReflectedCtlColorBtn:
        result = OnCtlColor(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    default:
        return false;
    }
}

LRESULT ModelessDialog::OnCtlColor(UINT, HDC, HWND) {
    return 0;
}

ControlColours ModelessDialog::ApplySchemeColours(SchemeDialog dialog, UINT message, HDC dc,
                                                  HWND control) const {
    ColourMessage kind = ColourMessage::Dialog;
    if (message == WM_CTLCOLORSTATIC) {
        kind = ColourMessage::Static;
    } else if (message == WM_CTLCOLORBTN || message == kReflectedCtlColorBtn) {
        kind = ColourMessage::Button;
    }
    const int id = control != nullptr && control != Handle() ? ::GetDlgCtrlID(control) : 0;
    const ControlColours colours = SchemeColours(dialog, kind, id);
    ::SetBkColor(dc, colours.background);
    ::SetTextColor(dc, colours.text);
    return colours;
}
