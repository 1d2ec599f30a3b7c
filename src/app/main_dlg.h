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

class CMainDlg : public ModelessDialog, public CIdleHandler {
public:
    CMainDlg();
    ~CMainDlg() override;

    // Creates the main window from its template as a hidden modeless dialog without owner;
    // null on failure. Its initialisation loads the settings and creates both pages.
    HWND Create(UINT templateId);

    BOOL OnIdle() override { return FALSE; }

    CKeyboardDlg& KeyboardPage() { return keyboardPage_; }
    CSettingsDlg& SettingsPage() { return settingsPage_; }
    // What writes the settings file (tests count the writes instead).
    using SettingsWriter = bool (*)();
    void SetSettingsWriter(SettingsWriter writer) { settingsWriter_ = writer; }

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
    void ShowLayoutName();
    bool OnCommand(int id);
    void OnLogo();
    void OnMinimize();
    void ShowKeyboardPage();
    void ShowSettingsPage();
    // The close command: pages first, then the window; the loop ends with the command's id.
    void CloseDialog(int id);
    // Writes the settings unless the end of the session already did.
    void WriteSettingsOnce();
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
    int titleWidth_ = 0;
    int titleHeight_ = 0;
    int dragStripHeight_ = 0;
    int minimumFrameWidth_ = 0;
    bool fitting_ = false; // a reflow is shrinking the keyboard to fit the screen
    OwnedPen borderPen_;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    SettingsWriter settingsWriter_;
    bool settingsWritten_ = false;
};
