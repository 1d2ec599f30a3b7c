#pragma once
// The main window: a borderless pop-up with its own title strip, caption buttons, a logo, the
// LAYOUT and SETTINGS tabs over a flat frame, and the two pages inside the frame. It loads the
// settings when it starts, writes them when it is destroyed, and fits itself around the
// keyboard test page after every layout load.
#include "pages/keyboard_dlg_win.h"
#include "pages/settings_dlg_win.h"
#include "ui/buttons.h"
#include "ui/gdi_objects.h"
#include "ui/message_loop.h"
#include "ui/modeless_dialog.h"
#include "ui/static_controls.h"
#include "ui/window_base.h"
#include "ui/window_dpi.h"

class CMainDlg : public ModelessDialog, public CIdleHandler {
public:
    CMainDlg();
    ~CMainDlg() override;

    // Creates the main window from its template as a hidden modeless dialog without owner;
    // null on failure. Its initialisation loads the settings and creates both pages.
    HWND Create(UINT templateId);

    BOOL OnIdle() override { return FALSE; }

    // The DPI the window is drawn for: its screen's, or less where it would not fit that
    // screen's work area otherwise.
    int Dpi() const { return dialogDpi_.Dpi(); }
    CKeyboardDlg& KeyboardPage() { return keyboardPage_; }
    CSettingsDlg& SettingsPage() { return settingsPage_; }
    // What writes the settings file (tests count the writes instead); false with the platform
    // error code on failure.
    using SettingsWriter = bool (*)(std::uint32_t& error);
    void SetSettingsWriter(SettingsWriter writer) { settingsWriter_ = writer; }
    // The error box of a failed settings write at close (tests record it instead).
    using ErrorBox = void (*)(HWND owner, const std::wstring& text, const std::wstring& caption);
    void SetErrorBox(ErrorBox box) { errorBox_ = box; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void InitMainWindow();
    void SetIcons();
    void AttachCaptionButtons();
    void CreatePages();
    void StackPagesOverTheFrame();
    void KeepRoomForTheLayoutList();
    void AlignTabsAndPage();
    void ShowPagesWithSettings();
    void OnDestroy();
    void OnPaint();
    LRESULT OnNcHitTest(LPARAM lParam);
    void OnReflowLayout();
    // The window moved to a screen of another scale (or the scale changed): everything is
    // drawn and laid out for the new DPI inside the rectangle Windows suggests.
    void OnDpiChanged(int dpi, const RECT* suggested);
    void ApplyDpiToControls();
    // Draws and lays out everything for dpi (the window is reflowed by the caller).
    void ScaleTo(int dpi);
    // A length of the window's design, meant at 96 DPI, on this window's screen.
    int Scaled(int length) const { return ScaleToDpi(length, dialogDpi_.Dpi()); }
    void ShowLayoutName();
    bool OnCommand(int id);
    void OnLogo();
    void OnMinimize();
    void ShowKeyboardPage();
    void ShowSettingsPage();
    // The close command: pages first, then the window; the loop ends with the command's id.
    void CloseDialog(int id);
    // Writes the settings unless the end of the session already did.
    // At a normal close a failure is shown in the error box; at the end of the session (when
    // no box may wait for the user) only in the diagnostic log.
    void WriteSettingsOnce(bool showFailure);
    LRESULT OnCtlColor(UINT message, HDC dc, HWND control) override;

    TabButton firstTab_;
    TabButton secondTab_;
    FlatGroupbox frame_;
    CKeyboardDlg keyboardPage_;
    CSettingsDlg settingsPage_;
    ImageButton logoButton_;
    ImageButton minimizeButton_;
    ImageButton restoreButton_;
    ImageButton closeButton_;
    Colour textColour_;
    Colour backgroundColour_;
    OwnedBrush backgroundBrush_; // made last in initialisation: it also says "initialised"
    OwnedBitmap titleBitmap_;
    OwnedBitmap scaledTitle_; // the title at the window's DPI, none at 96 DPI
    DialogDpi dialogDpi_;
    int titleWidth_ = 0;
    int titleHeight_ = 0;
    int dragStripHeight_ = 0;
    int minimumFrameWidth_ = 0;
    bool fitting_ = false; // a reflow is shrinking the keyboard to fit the screen
    OwnedPen borderPen_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    SettingsWriter settingsWriter_;
    ErrorBox errorBox_;
    bool settingsWritten_ = false;
};
