#include "ui/static_controls.h"

#include "base/diagnostic_log.h"
#include "ui/colour_scheme.h"

#include <string>

namespace {
HINSTANCE ModuleInstance(HINSTANCE instance) {
    if (instance != nullptr) {
        return instance;
    }
    return ::GetModuleHandleW(nullptr);
}

void RedrawNow(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

// WM_PAINT of a control that draws its whole face: nothing without an update rectangle, a
// message when there is no device context, the update rectangle traced when asked for.
template <typename DrawFace>
void PaintFace(HWND window, const wchar_t* className, bool traceUpdate, DrawFace draw) {
    RECT update{};
    if (!::GetUpdateRect(window, &update, FALSE)) {
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(window, &paint);
    if (dc == nullptr) {
        LogMessage(L"%ls::OnPaint() - Error:  No display device context available.\n", className);
        return;
    }
    if (traceUpdate) {
        LogMessage(L"%ls::OnPaint() - Updating (%d, %d, %d, %d).\n", className, update.left,
                   update.top, update.right, update.bottom);
    }
    draw(dc);
    ::EndPaint(window, &paint);
}
} // namespace

ColorStatic::ColorStatic(Colour background)
    : textColour_(Palette::NormalText), background_(background),
      backgroundBrush_(::CreateSolidBrush(background)) {}

bool ColorStatic::SetTextFromResource(UINT stringId, Colour textColour, HINSTANCE instance) {
    const wchar_t* resource = nullptr;
    // Length 0 asks for a read-only pointer into the string table: entries of any length.
    const int length =
        ::LoadStringW(ModuleInstance(instance), stringId, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr) {
        LogMessage(L"Error:  resource ID (%d) not found.\n", static_cast<int>(stringId));
        ::SetWindowTextW(Handle(), L"");
        return false;
    }
    const std::wstring text(resource, static_cast<size_t>(length));
    ::SetWindowTextW(Handle(), text.c_str());
    textColour_ = textColour;
    RedrawNow(Handle());
    return true;
}

bool ColorStatic::ProcessMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    if (message != kReflectedCtlColorStatic) {
        return false;
    }
    HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetBkColor(dc, background_);
    ::SetTextColor(dc, textColour_);
    result = reinterpret_cast<LRESULT>(backgroundBrush_.Get());
    return true;
}

FlatGroupbox::FlatGroupbox(Colour line, Colour fill)
    : line_(line), fill_(fill), linePen_(::CreatePen(PS_SOLID, 2, line)),
      fillBrush_(::CreateSolidBrush(fill)) {}

void FlatGroupbox::Draw(HDC dc) const {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    SelectedObject pen(dc, linePen_.Get());
    SelectedObject brush(dc, fillBrush_.Get());
    // The wide pen is centred on the rectangle's edge: half a line in.
    const int h = ScaleToDpi(2, dpi_) / 2;
    ::Rectangle(dc, client.left + h, client.top + h, client.right - h, client.bottom - h);
}

void FlatGroupbox::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_) {
        return;
    }
    dpi_ = dpi;
    linePen_.Reset(::CreatePen(PS_SOLID, ScaleToDpi(2, dpi), line_));
    if (Handle() != nullptr) {
        ::InvalidateRect(Handle(), nullptr, TRUE);
    }
}

bool FlatGroupbox::ProcessMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_PAINT) {
        return false;
    }
    result = 0;
    PaintFace(Handle(), L"FlatGroupbox", true, [this](HDC dc) { Draw(dc); });
    return true;
}

FlatIndicator::FlatIndicator(Colour on, Colour off)
    : on_(on), off_(off), onBrush_(::CreateSolidBrush(on)), offBrush_(::CreateSolidBrush(off)) {}

bool FlatIndicator::SubclassWindow(HWND window) {
    if (!SubclassedWindow::SubclassWindow(window)) {
        return false;
    }
    ::SetWindowTextW(window, lit_ ? L"On" : L"Off");
    return true;
}

void FlatIndicator::SetLit(bool lit) {
    if (lit != lit_ && Handle() != nullptr) {
        ::SetWindowTextW(Handle(), lit ? L"On" : L"Off");
    }
    lit_ = lit;
}

void FlatIndicator::Draw(HDC dc) const {
    RECT client{};
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, lit_ ? onBrush_.Get() : offBrush_.Get());
}

bool FlatIndicator::ProcessMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_PAINT) {
        return false;
    }
    result = 0;
    PaintFace(Handle(), L"FlatIndicator", false, [this](HDC dc) { Draw(dc); });
    return true;
}
