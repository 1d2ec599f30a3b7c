#pragma once
// Choosing the active layout: loading with the fall-back to the built-in default, the layout
// status with its transitions, and what the keyboard test page is told afterwards.
#include "layouts/layout_library.h"
#include "layouts/layout_parser.h"
#include "logging/status_label.h"

#include <string>

enum LayoutStatus : int {
    LayoutStatusNone = 0,
    LayoutStatusLoaded = 1,
    LayoutStatusCleared = 2,
    LayoutStatusActive = 3,
    LayoutStatusDefaultLoaded = 4,
    LayoutStatusDefaultCleared = 5,
    LayoutStatusNoLayout = 6,
    LayoutStatusDefaultActive = 7,
};

// String-table ids of the status texts.
constexpr int kTextLayoutLoaded = 151;        // "Layout loaded"
constexpr int kTextLayoutCleared = 152;       // "Layout Cleared/Reloaded"
constexpr int kTextLayoutActive = 153;        // "Active"
constexpr int kTextLayoutInvalid = 154;       // "Invalid layout!  Default Loaded"
constexpr int kTextLayoutDefaultActive = 155; // "Invalid layout!  Default Active"
constexpr int kTextLayoutNoDefault = 156;     // "Invalid layout!  Unable to load default"

constexpr Colour kLayoutStatusNormalColour = MakeColour(220, 220, 220);
constexpr Colour kLayoutStatusErrorColour = MakeColour(255, 0, 0);

// The English texts of ids 151 to 156; empty for other ids.
std::wstring LayoutStatusTextDefault(int id);

struct LayoutStatusDisplay {
    bool visible = false;
    int textId = 0;
    Colour colour = kLayoutStatusNormalColour;
};

// Text and colour of a status; false (nothing shown) for 0 and for values outside 0 to 7.
bool DescribeLayoutStatus(int status, LayoutStatusDisplay& display);
// 1 or 3 become 2, 4 or 7 become 5, others stay.
int LayoutStatusAfterClear(int status);
// 1 or 2 become 3, 4 or 5 become 7, others stay.
int LayoutStatusAfterKeyPress(int status);

// What selecting a layout needs of the keyboard test page and its keyboard view.
class LayoutPage {
public:
    virtual ~LayoutPage() = default;
    virtual bool LoadLayoutFile(const std::wstring& path) = 0;
    virtual bool LoadLayoutString(const std::wstring& text) = 0;
    // Every key back to unpressed, the picture redrawn.
    virtual void ResetKeyStates() = 0;
    virtual void EmptyEventLog() = 0;
    virtual void HideLogStatus() = 0;
    // The six last-key fields.
    virtual void ClearLastKeyFields() = 0;
    virtual StatusLabel& LayoutStatusText() = 0;
    virtual void ShowStatusCaption(bool visible) = 0;
    // Posts UWM_LAYOUT_CHANGED to the page's parent.
    virtual void PostLayoutChanged() = 0;
    // Selects list item `index` (the library's entry of the same index).
    virtual void HighlightLayoutEntry(int index) = 0;
    // Gives the keyboard focus to the page itself.
    virtual void FocusPage() = 0;
    // Why the last LoadLayoutFile failed, when the page knows.
    virtual const LayoutLoadFailure* LastLoadFailure() const { return nullptr; }
    // Shows the user why a chosen layout was not loaded (one line in the event log).
    virtual void ReportLoadFailure(const std::wstring& line) { (void)line; }
};

class LayoutSelector {
public:
    void SetDefaultLayout(std::wstring text, std::wstring name);
    const std::wstring& DefaultLayoutName() const { return defaultName_; }

    LayoutLibrary& Library() { return library_; }
    const LayoutLibrary& Library() const { return library_; }
    // Builds the library from the expanded layout folder.
    void BuildLibrary(const std::wstring& folder, const LayoutLibrary::NameReader& readName);

    int Status() const { return status_; }

    // Loads the layout at path (the default for the marker), falling back to the default;
    // clears the display, announces the change, records it in lastLayout and highlights the
    // loaded entry. true only when the requested layout itself was loaded.
    bool SelectLayout(LayoutPage& page, const std::wstring& path, std::wstring& lastLayout);
    void ClearKeyboardDisplay(LayoutPage& page);
    void UpdateLayoutStatus(LayoutPage& page);
    // A key was pressed: the status moves on to active (redrawn only when it changed).
    void OnKeyPress(LayoutPage& page);
    // The list's selection changed to `index` (-1: none).
    void OnSelectionChange(LayoutPage& page, int index, std::wstring& lastLayout);

private:
    LayoutLibrary library_;
    std::wstring defaultText_;
    std::wstring defaultName_;
    int status_ = LayoutStatusNone;
};
