#include "pages/keyboard_page_controls_win.h"

#include "base/diagnostic_log.h"
#include "base/dpi_scale.h"
#include "pages/keyboard_page.h"
#include "resources/resource.h"
#include "settings/app_settings.h"
#include "ui/colour_scheme.h"
#include "view/message_font_win.h"

#include <utility>
#include <vector>

const int kKeyFieldIds[kKeyFieldCount] = {
    IDC_KBD_DOWN_NAME,   IDC_KBD_UP_NAME,      IDC_KBD_DOWN_WIN_CODE, IDC_KBD_DOWN_BIOS_CODE,
    IDC_KBD_UP_WIN_CODE, IDC_KBD_UP_BIOS_CODE, IDC_KBD_HELD_KEYS};

namespace {

// The readout's bar: a dim green that light text stays readable on; faulty counts in a red
// that stands out on the dark frame.
constexpr Colour kReadoutBar = MakeColour(46, 100, 46);
constexpr Colour kReadoutAlarm = MakeColour(255, 110, 110);

// The colours of the page's brushes, in the order of brushes; the first is the default.
constexpr Colour kBrushColours[5] = {Palette::PageBackground, Palette::DimText, Palette::NormalText,
                                     Palette::BrightText, Palette::MainBackground};
// The log and its controls, which follow the keyboard group down and show with the log.
constexpr int kLogControls[6] = {IDC_KBD_LOG,      IDC_KBD_SAVE,      IDC_KBD_REPORT,
                                 IDC_KBD_SEQUENCE, IDC_KBD_OVERWRITE, IDC_KBD_LOG_STATUS};

void SetFont(HWND control, HFONT font) {
    if (control != nullptr && font != nullptr) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
}

} // namespace

KeyboardPageControls::KeyboardPageControls()
    : clear(Palette::DimText, Palette::MainBackground),
      save(Palette::DimText, Palette::MainBackground),
      report(Palette::DimText, Palette::MainBackground), numLock(Palette::LampOn, Palette::DimText),
      scrollLock(Palette::LampOn, Palette::DimText), capsLock(Palette::LampOn, Palette::DimText),
      infoGroup(Palette::FrameLine, Palette::MainBackground),
      layoutGroup(Palette::FrameLine, Palette::MainBackground),
      keyboardGroup(Palette::FrameLine, Palette::MainBackground),
      statusCaption(Palette::MainBackground), statusText(Palette::MainBackground),
      statusError(Palette::MainBackground), logStatus(Palette::PageBackground),
      readout({Palette::MainBackground, Palette::FrameLine, kReadoutBar, Palette::NormalText,
               kReadoutAlarm}),
      statusLabel(statusText), logStatusLabel(logStatus), numLamp(numLock), scrollLamp(scrollLock),
      capsLamp(capsLock), lamps(lockMonitor, capsLamp, numLamp, scrollLamp) {}

void KeyboardPageControls::Attach(HWND page) {
    if (Settings().Overwrite) {
        ::CheckDlgButton(page, IDC_KBD_OVERWRITE, BST_CHECKED);
    }
    infoGroup.SubclassWindow(::GetDlgItem(page, IDC_KBD_INFO_GROUP));
    layoutGroup.SubclassWindow(::GetDlgItem(page, IDC_KBD_LAYOUT_GROUP));
    keyboardGroup.SubclassWindow(::GetDlgItem(page, IDC_KBD_KEYBOARD_GROUP));
    LogMessage(L"LogViewer::SubclassWindow()\n");
    log.SubclassWindow(::GetDlgItem(page, IDC_KBD_LOG));
    log.LiftTextLimit();
    clear.SubclassWindow(::GetDlgItem(page, IDC_KBD_CLEAR));
    save.SubclassWindow(::GetDlgItem(page, IDC_KBD_SAVE));
    report.SubclassWindow(::GetDlgItem(page, IDC_KBD_REPORT));
    readout.SubclassWindow(::GetDlgItem(page, IDC_KBD_READOUT));
    numLock.SubclassWindow(::GetDlgItem(page, IDC_KBD_NUM_LOCK));
    scrollLock.SubclassWindow(::GetDlgItem(page, IDC_KBD_SCROLL_LOCK));
    capsLock.SubclassWindow(::GetDlgItem(page, IDC_KBD_CAPS_LOCK));
    for (int i = 0; i < kKeyFieldCount; ++i) {
        keyFields[i].SubclassWindow(::GetDlgItem(page, kKeyFieldIds[i]));
        if (kKeyFieldIds[i] != IDC_KBD_HELD_KEYS) {
            ::SetWindowTextW(keyFields[i].Handle(), L"");
        }
    }
    logStatus.SubclassWindow(::GetDlgItem(page, IDC_KBD_LOG_STATUS));
    statusCaption.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS_LABEL));
    statusText.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS));
    statusError.SubclassWindow(::GetDlgItem(page, IDC_KBD_STATUS_ERROR));
}

void KeyboardPageControls::RememberDesign(HWND page) {
    const PixelRect layoutRect = ChildRect(page, layoutGroup.Handle());
    const PixelRect keyboardRect = ChildRect(page, keyboardGroup.Handle());
    minimumGroupWidth = layoutRect.right - keyboardRect.left;
    minimumGroupHeight = keyboardRect.Height();
}

void KeyboardPageControls::PlaceAround(HWND page, HWND view, int width, int height, bool showLog,
                                       int margin) {
    const PixelRect group = ChildRect(page, keyboardGroup.Handle());
    ::MoveWindow(view, group.left + margin, group.top + margin, width, height, TRUE);
    const PixelRect grown =
        KeyboardGroupRect(group, width, height, minimumGroupWidth, minimumGroupHeight, margin);
    ResizeClient(keyboardGroup.Handle(), grown.Width(), grown.Height());
    ::RedrawWindow(keyboardGroup.Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    layoutGroup.StretchToRight(keyboardGroup.Handle(), 0);
    for (int id : kLogControls) {
        HWND control = ::GetDlgItem(page, id);
        const PixelRect rect = ChildRect(page, control);
        ::SetWindowPos(control, nullptr, rect.left, rect.top + grown.bottom - group.bottom, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LogMessage(showLog ? L"Showing log window and controls.\n"
                       : L"Hiding log window and controls.\n");
    for (int id : kLogControls) {
        if (!showLog || id != IDC_KBD_LOG_STATUS) {
            ::ShowWindow(::GetDlgItem(page, id), showLog ? SW_SHOW : SW_HIDE);
        }
    }
}

void KeyboardPageControls::MoveKeyboardAndLog(HWND page, HWND view, int dy) {
    std::vector<HWND> moved{keyboardGroup.Handle(), view};
    for (int id : kLogControls) {
        moved.push_back(::GetDlgItem(page, id));
    }
    for (HWND control : moved) {
        const PixelRect rect = ChildRect(page, control);
        ::SetWindowPos(control, nullptr, rect.left, rect.top + dy, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void KeyboardPageControls::CreateFonts(HWND page, int dpi) {
    const AppSettings& settings = Settings();
    if (settings.PressedKeysFont != 0) {
        heldKeysFont.Reset(CreateMessageFont(settings.PressedKeysFont, false, dpi));
        SetFont(::GetDlgItem(page, IDC_KBD_HELD_KEYS), heldKeysFont.Get());
    }
    logFont.Reset(CreateMessageFont(settings.LogFont, true, dpi));
    SetFont(log.Handle(), logFont.Get());
    if (settings.LogNumberFont != 0) {
        sequenceFont.Reset(CreateMessageFont(settings.LogNumberFont, false, dpi));
        SetFont(::GetDlgItem(page, IDC_KBD_SEQUENCE), sequenceFont.Get());
    }
}

void KeyboardPageControls::ApplyDpi(int dpi) {
    for (FlatButton* button : {&clear, &save, &report}) {
        button->SetDpi(dpi);
    }
    for (FlatGroupbox* group : {&infoGroup, &layoutGroup, &keyboardGroup}) {
        group->SetDpi(dpi);
    }
    readout.SetDpi(dpi);
}

bool KeyboardPageControls::ChangeDpi(HWND page, int newDpi) {
    const int previous = dpi.Dpi();
    // Scaled on its own, the distance below the group comes back exactly when the scale does.
    const int groupBottom = ChildRect(page, keyboardGroup.Handle()).bottom;
    std::vector<std::pair<HWND, int>> below;
    for (int id : kLogControls) {
        HWND control = ::GetDlgItem(page, id);
        below.emplace_back(control, ChildRect(page, control).top - groupBottom);
    }
    if (!dpi.Change(newDpi)) {
        return false;
    }
    const int scaledBottom = ChildRect(page, keyboardGroup.Handle()).bottom;
    for (const auto& [control, distance] : below) {
        const PixelRect rect = ChildRect(page, control);
        ::SetWindowPos(control, nullptr, rect.left,
                       scaledBottom + ScaleBetweenDpi(distance, previous, newDpi), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    minimumGroupWidth = ScaleBetweenDpi(minimumGroupWidth, previous, newDpi);
    minimumGroupHeight = ScaleBetweenDpi(minimumGroupHeight, previous, newDpi);
    ApplyDpi(newDpi);
    return true;
}

void KeyboardPageControls::CreateBrushes() {
    for (int i = 0; i < 5; ++i) {
        brushes[i].Reset(::CreateSolidBrush(kBrushColours[i]));
    }
}

HBRUSH KeyboardPageControls::BrushFor(Colour background) const {
    for (int i = 1; i < 5; ++i) {
        if (background == kBrushColours[i]) {
            return brushes[i].Get();
        }
    }
    return brushes[0].Get();
}

bool KeyboardPageControls::IsReflected(int id) {
    return id == IDC_KBD_CLEAR || id == IDC_KBD_SAVE || id == IDC_KBD_REPORT ||
           id == IDC_KBD_KEYBOARD || id == IDC_KBD_LOG_STATUS || id == IDC_KBD_STATUS_LABEL ||
           id == IDC_KBD_STATUS || id == IDC_KBD_STATUS_ERROR || id == IDC_KBD_FINISH;
}

void KeyboardPageControls::StartLamps() {
    lockMonitor.Start();
    lamps.InitLockIndicators();
}

void KeyboardPageControls::ClearInterfaceFields(HWND page) {
    ::SetDlgItemTextW(page, IDC_KBD_INTERFACE, L"");
    ::SetDlgItemTextW(page, IDC_KBD_INTERFACE_DETAILS, L"");
}

void KeyboardPageControls::SetField(HWND page, int field, const wchar_t* text) {
    // Looking a control up by its number asks the window manager; these are held here.
    for (int i = 0; i < kKeyFieldCount; ++i) {
        if (kKeyFieldIds[i] == field) {
            keyFields[i].SetText(text);
            return;
        }
    }
    ::SetDlgItemTextW(page, field, text);
}

void KeyboardPageControls::ShowLayoutStatus(const LayoutStatusDisplay& display) {
    if (display.visible) {
        statusLabel.SetStatusText(display.textId, display.colour);
    }
    statusLabel.Show(display.visible);
    ::ShowWindow(statusCaption.Handle(), display.visible ? SW_SHOW : SW_HIDE);
}

void KeyboardPageControls::ClearLogAndLastKey() {
    ::SetWindowTextW(log.Handle(), L"");
    ::ShowWindow(logStatus.Handle(), SW_HIDE);
    for (int i = 0; i < kKeyFieldCount; ++i) {
        if (kKeyFieldIds[i] != IDC_KBD_HELD_KEYS) {
            ::SetWindowTextW(keyFields[i].Handle(), L"");
        }
    }
}
