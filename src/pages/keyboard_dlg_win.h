#pragma once
// The LAYOUT page: a view of the keyboard test session. It hands the session the raw input
// and the button clicks, and shows what the session reports: the keyboard view, the event
// log, the lamps, the fields, the layout list and the log saving controls.
#include "input/input_thread_win.h"
#include "input/key_record_inbox.h"
#include "input/remap_table.h"
#include "logging/log_files_win.h"
#include "logging/log_saving.h"
#include "pages/bench_panel_win.h"
#include "pages/input_language_win.h"
#include "pages/keyboard_page_controls_win.h"
#include "pages/layout_list_win.h"
#include "pages/log_write_pacer_win.h"
#include "report/report_model.h"
#include "session/bench_flow.h"
#include "session/key_test_session.h"
#include "ui/align_window.h"
#include "ui/gdi_objects.h"
#include "ui/message_loop.h"
#include "ui/modeless_dialog.h"
#include "view/keyboard_window_win.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CKeyboardDlg : public ModelessDialog,
                     public CIdleHandler,
                     public AlignWindow,
                     private SessionView {
public:
    CKeyboardDlg();
    ~CKeyboardDlg() override;

    // Creates the page (template 204) as a hidden child of the main window.
    HWND Create(HWND parent);
    // Fits the keyboard view to the active layout, the group boxes and log controls around it
    // and the page around them; shows or hides the log controls as ShowLog says.
    void Reflow();
    // Draws the layout with smaller keys when it is larger than maxWidth x maxHeight; true
    // when its size changed (the caller reflows again).
    bool FitKeyboard(int maxWidth, int maxHeight);
    // The page and everything on it drawn for a screen of this DPI (the caller reflows).
    void SetDpi(int dpi);
    int Dpi() const { return controls_.dpi.Dpi(); }
    // Shows the active input language in the language field.
    void UpdateInputLanguage() { language_.Update(); }
    // Takes the state colours and the show-log switch from the settings.
    void ApplySettings();
    // The page can see key releases again (back in the foreground, or raw input on again after
    // an edit box): keys released meanwhile where it could not see them are released now.
    void ReleaseKeysMissedWhileAway();

    BOOL OnIdle() override { return FALSE; }

    KeyboardWindow& View() { return keyboardView_; }
    const KeyboardLayout& Layout() const { return session_.Layout(); }
    const KeyTestSession& Session() const { return session_; }
    const ProgressStatic& Readout() const { return controls_.readout; }
    // Key records enter the page here (tests and the timing program hand records in too).
    InputThread& Input() { return input_; }
    const KeyRecordInbox& Inbox() const { return inbox_; }
    // The text an initialisation error box would show, for a page that must not block (tests).
    using ErrorBox = void (*)(HWND owner, const std::wstring& text, const std::wstring& caption);
    void SetErrorBox(ErrorBox box) { errorBox_ = box; }

protected:
    bool ProcessMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HWND AlignedWindow() const override { return Handle(); }
    LRESULT OnCtlColor(UINT message, HDC dc, HWND control) override;

private:
    void OnInitDialog();
    void AttachControls();
    void CreateFonts();
    void PrepareLayouts();
    void LoadLastLayout();
    void EnableRawInputAtStart();
    void OnDestroy();
    bool OnCommand(int id, UINT code);
    void OnClick_Clear();
    void OnClick_Save();
    // Writes the test report files beside the logs, with the Save button's rules.
    void OnClick_Report();
    void OnLayoutChoice();
    // After a selection: the main window re-fits, the list shows what was loaded, and a line
    // that explains a failed load is in view at once.
    void AfterLayoutSelection();
    // UWM_KEY_RECORDS: every record waiting in the inbox decoded and handled, in arrival order.
    void TakeKeyRecords();
    void UpdateReadout();
    void IdentifyDevice(std::uint64_t device);
    void UpdateLogStatus() { logSaver_.UpdateLogStatus(controls_.logStatusLabel); }

    // Bench mode (keyboard_dlg_bench_win.cpp): the strip above the keyboard while the setting
    // is on, the plan it names, and unit after unit.
    void ApplyBenchSettings();
    void EnterBenchMode();
    void LeaveBenchMode();
    void LoadBenchPlan();
    void OnUnitEntered();
    void OnClick_Finish();
    void OnBenchTimer();
    void SaveUnitFiles(const PlanVerdict& verdict);
    // The banner and the time left as the flow and the unit stand now.
    void ShowBench();
    void FocusUnitBoxWhenIdle();

    // SessionView
    void FieldChanged(int field, const wchar_t* text) override {
        controls_.SetField(Handle(), field, text);
    }
    void KeyChanged(const LayoutKey& key) override;
    void LampToRefresh(LockKey lock) override { controls_.lamps.RefreshLockIndicator(lock); }
    void StatusChanged(const LayoutStatusDisplay& display) override {
        controls_.ShowLayoutStatus(display);
    }
    void DisplayCleared() override;
    void LogLinesReady() override;
    void UnitEnded(const PlanVerdict& verdict) override;

    static constexpr UINT_PTR kBenchTimerId = 22;
    static constexpr UINT kBenchTimerMs = 200; // the time left and the time limit

    KeyboardPageControls controls_;
    LogSaver logSaver_; // the sequence number (from 1) and the log status
    bool showLog_ = true;
    RemapTable remapTable_;
    KeyTestSession session_;
    KeyboardWindow keyboardView_;
    KeyRecordInbox inbox_;
    std::vector<StampedKeyRecord> batch_; // storage for the records taken from the inbox
    LogWritePacer pacer_;
    std::unique_ptr<WinLogSavePage> logSavePage_;
    WinLogFiles logFiles_;
    ErrorBox errorBox_ = nullptr;
    BenchPanel benchPanel_;
    BenchFlow benchFlow_;

    LayoutList layoutList_;
    InputLanguageField language_;
    // Last: its thread ends before anything it reaches is destroyed.
    InputThread input_;
};
